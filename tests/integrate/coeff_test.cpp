#include "coeff.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "astcon.h"
#include "kepler.h"
#include "multistep.h"

namespace {

struct Ratio {
  double num, den;
};

// Orders 0 to 10 of the four families, exact rationals from their generating
// functions (tools/multistep_coefficients.py); the first orders agree with
// the tables of Henrici (1962) and Herrick (1971).
const Ratio kExact[4][11] = {
    // Stormer
    {{1, 1},
     {0, 1},
     {1, 12},
     {1, 12},
     {19, 240},
     {3, 40},
     {863, 12096},
     {275, 4032},
     {33953, 518400},
     {8183, 129600},
     {3250433, 53222400}},
    // Cowell
    {{1, 1},
     {-1, 1},
     {1, 12},
     {0, 1},
     {-1, 240},
     {-1, 240},
     {-221, 60480},
     {-19, 6048},
     {-9829, 3628800},
     {-407, 172800},
     {-330157, 159667200}},
    // Adams-Bashforth
    {{1, 1},
     {1, 2},
     {5, 12},
     {3, 8},
     {251, 720},
     {95, 288},
     {19087, 60480},
     {5257, 17280},
     {1070017, 3628800},
     {25713, 89600},
     {26842253, 95800320}},
    // Adams-Moulton
    {{1, 1},
     {-1, 2},
     {-1, 12},
     {-1, 24},
     {-19, 720},
     {-3, 160},
     {-863, 60480},
     {-275, 24192},
     {-33953, 3628800},
     {-8183, 1036800},
     {-3250433, 479001600}},
};

TEST(Coeff, FourFamiliesMatchTheExactValues) {
  CoeffTable SC{}, AD{};
  COEFF(8, SC, AD);
  const char* names[] = {"Stormer", "Cowell", "Adams-Bashforth", "Adams-Moulton"};
  for (int f = 0; f < 4; ++f) {
    const auto& row = f < 2 ? SC[f] : AD[f - 2];
    for (int i = 0; i <= 10; ++i) {
      const double exact = kExact[f][i].num / kExact[f][i].den;
      EXPECT_NEAR(row[i], exact, 1e-15) << names[f] << " order " << i;
    }
  }
}

TEST(Coeff, WritesOnlyRowsZeroAndOneUpToOrderNPlusTwo) {
  CoeffTable SC{}, AD{};
  for (auto* t : {&SC, &AD})
    for (auto& row : *t) row.fill(7.0);
  COEFF(3, SC, AD);
  for (const auto* t : {&SC, &AD}) {
    for (int k = 0; k < 13; ++k)
      for (int i = 0; i < 13; ++i)
        if (k > 1 || i > 5) {
          EXPECT_EQ((*t)[k][i], 7.0) << k << "," << i;
        }
  }
  EXPECT_NEAR(SC[0][5], 3.0 / 40, 1e-16);
  EXPECT_NEAR(AD[1][5], -3.0 / 160, 1e-16);
  EXPECT_THROW(COEFF(11, SC, AD), std::invalid_argument);
  EXPECT_THROW(COEFF(-1, SC, AD), std::invalid_argument);
}

// The start sums built from the exact two-body accelerations at T0, T0 - H,
// ..., T0 - 8H give back the start state: the velocity formula and the
// corrector taken at T0 before the first step.
TEST(SummedMultistep, StartSumsGiveBackTheStartState) {
  const StateVector s0{2.1, -1.3, 0.4, 0.25, 0.48, 0.07};
  const JulianDate T0 = 2451545.0;
  for (const double H : {2.0, -3.0}) {
    const double HK = ASTCON::GAUSSK * H;
    std::array<Vec3, 9> acc{};
    for (int i = 0; i <= 8; ++i) {
      StateVector s;
      KEPLER(s0, T0, s, T0 - i * H);
      const double r = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
      const double c = -HK * HK / (r * r * r);
      acc[i] = {c * s.x, c * s.y, c * s.z};
    }
    SummedMultistep ms;
    ms.start(HK, acc, {s0.x, s0.y, s0.z}, {s0.vx, s0.vy, s0.vz});
    const Vec3 x = ms.position(), v = ms.velocity();
    EXPECT_NEAR(x[0], s0.x, 1e-15) << H;
    EXPECT_NEAR(x[1], s0.y, 1e-15) << H;
    EXPECT_NEAR(x[2], s0.z, 1e-15) << H;
    EXPECT_NEAR(v[0], s0.vx, 1e-14) << H;
    EXPECT_NEAR(v[1], s0.vy, 1e-14) << H;
    EXPECT_NEAR(v[2], s0.vz, 1e-14) << H;

    // The prediction of the next position is a ninth-order extrapolation:
    // close to the two-body position one step on.
    StateVector next;
    KEPLER(s0, T0, next, T0 + H);
    const Vec3 p = ms.predict();
    EXPECT_NEAR(p[0], next.x, 1e-11) << H;
    EXPECT_NEAR(p[1], next.y, 1e-11) << H;
    EXPECT_NEAR(p[2], next.z, 1e-11) << H;
  }
}

}  // namespace
