// Near-parabolic orbits.
#include "parabola.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <tuple>

#include "astcon.h"
#include "frames.h"
#include "kepler.h"
#include "orbit_checks.h"

namespace {

using namespace orbit_checks;

constexpr double kPi = ASTCON::PI;
constexpr double k = ASTCON::GAUSSK;
constexpr JulianDate kTp = 2455000.5;

TEST(Eorbit, QuotedCometOneThousandDaysOut) {
  double r, nu;
  EORBIT(0.5, 0.981, 1000.0, r, nu);
  EXPECT_NEAR(nu * ASTCON::RADDEG, 156.8, 0.05);
  EXPECT_NEAR(r, 10.05, 0.005);
}

TEST(Eorbit, QuotedCometTenThousandDaysOutStops) {
  double r, nu;
  EXPECT_EQ(stop_output([&] { EORBIT(0.5, 0.981, 10000.0, r, nu); }), kParabolaStop);
}

TEST(Eorbit, AtPerihelion) {
  for (double e : {0.981, 1.0, 1.019}) {
    double r = -1, nu = -1;
    EORBIT(0.7, e, 0.0, r, nu);
    EXPECT_EQ(r, 0.7);
    EXPECT_EQ(nu, 0.0);
  }
}

// Before perihelion the anomaly lies in (pi, 2 pi), after it in (0, pi), and
// the orbit is symmetric about perihelion.
TEST(Eorbit, BeforeAndAfterPerihelion) {
  for (double e : {0.985, 0.99999999, 0.999999995, 1.0, 1.00000001, 1.015}) {
    for (double dt : {0.5, 30.0, 400.0}) {
      double r_after, nu_after, r_before, nu_before;
      EORBIT(1.1, e, dt, r_after, nu_after);
      EORBIT(1.1, e, -dt, r_before, nu_before);
      EXPECT_GT(nu_after, 0.0);
      EXPECT_LT(nu_after, kPi);
      EXPECT_GT(nu_before, kPi);
      EXPECT_LT(nu_before, 2 * kPi);
      EXPECT_NEAR(nu_before, 2 * kPi - nu_after, 1e-13) << "e " << e << ", dt " << dt;
      EXPECT_NEAR(r_before, r_after, 1e-13 * r_after) << "e " << e << ", dt " << dt;
    }
  }
}

// For e = 1, and inside the band 0.99999999 < e < 1.00000001 where the
// parabola is used alone, s = tan(nu/2) solves Barker's equation
// s + s^3/3 = k sqrt((1 + e)/q) dt / (2 q).
TEST(Eorbit, ParabolaSolvesBarkersEquation) {
  for (double e : {1.0, 0.999999995, 1.000000005}) {
    for (double dt : {-2000.0, -3.0, 0.01, 77.0, 5000.0}) {
      const double q = 0.35;
      double r, nu;
      EORBIT(q, e, dt, r, nu);
      const double s = std::tan(nu / 2);
      const double rhs = k * std::sqrt((1 + e) / q) / (2 * q) * dt;
      EXPECT_NEAR(s + s * s * s / 3, rhs, 1e-12 * std::fabs(rhs)) << "e " << e << ", dt " << dt;
      EXPECT_NEAR(r, q * (1 + e) / (1 + e * std::cos(nu)), 1e-14 * r);
    }
  }
}

// ------------------------------------------------------------ PARABOLA

// Unit vector toward perihelion in equatorial J2000, from the element angles.
void perihelion_direction(double i, double node, double peri, double& x, double& y, double& z) {
  x = std::cos(peri) * std::cos(node) - std::sin(peri) * std::sin(node) * std::cos(i);
  y = std::cos(peri) * std::sin(node) + std::sin(peri) * std::cos(node) * std::cos(i);
  z = std::sin(peri) * std::sin(i);
  ROTATE(x, y, z, -ASTCON::OBLIQ, 1);
}

TEST(Parabola, PerihelionState) {
  const ElementSet el{0.995, 2.6, 4.0, 1.3, 0.29, kTp};  // retrograde
  StateVector s;
  PARABOLA(el, kTp, s);
  double px, py, pz;
  perihelion_direction(el.i, el.node, el.peri, px, py, pz);
  EXPECT_NEAR(s.x, el.aq * px, 1e-15);
  EXPECT_NEAR(s.y, el.aq * py, 1e-15);
  EXPECT_NEAR(s.z, el.aq * pz, 1e-15);
  EXPECT_NEAR(speed(s), std::sqrt((1 + el.e) / el.aq), 1e-14);
  EXPECT_NEAR(s.x * s.vx + s.y * s.vy + s.z * s.vz, 0.0, 1e-14);
}

// Eccentricity, and days from perihelion.
class ParabolaAgainstKepler : public testing::TestWithParam<std::tuple<double, double>> {};

// Both methods from the same perihelion state: the series and the universal
// variables agree across the band in which the near-parabolic method serves.
TEST_P(ParabolaAgainstKepler, SameState) {
  const auto [e, dt] = GetParam();
  const ElementSet el{e, 0.8, 2.2, 5.1, 0.6, kTp};
  StateVector peri, by_series, by_kepler;
  PARABOLA(el, kTp, peri);
  PARABOLA(el, kTp + dt, by_series);
  KEPLER(peri, kTp, by_kepler, kTp + dt);
  // Within 1e-8 of e = 1 the parabola alone serves and leaves out terms of
  // relative size (1 - e) tan^2(nu/2).
  const bool parabola_alone = e != 1.0 && std::fabs(e - 1.0) < 1e-8;
  const double tol = parabola_alone ? 1e-7 : 1e-10;
  EXPECT_LT(position_gap(by_series, by_kepler), tol * radius(by_kepler));
  EXPECT_LT(velocity_gap(by_series, by_kepler), tol * speed(by_kepler));
}

INSTANTIATE_TEST_SUITE_P(Band, ParabolaAgainstKepler,
                         testing::Combine(testing::Values(0.9801, 0.99, 0.999, 0.99999999,
                                                          0.999999995, 1.0, 1.00000001, 1.001, 1.01,
                                                          1.0199),
                                          testing::Values(-300.0, -40.0, 2.0, 150.0, 400.0)),
                         [](const testing::TestParamInfo<std::tuple<double, double>>& i) {
                           std::ostringstream os;
                           os.precision(10);
                           os << "e" << std::get<0>(i.param) << "_dt" << std::get<1>(i.param);
                           std::string n = os.str();
                           for (char& ch : n)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return n;
                         });

// ------------------------------------------------------------ failures

TEST(Eorbit, InputWithoutAnOrbitStops) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    double q, e, dt;
  } cases[] = {{0.0, 1.0, 10.0},  {-0.5, 0.99, 10.0}, {0.0, 1.0, 0.0},  {nan, 0.99, 10.0},
               {inf, 0.99, 10.0}, {0.5, nan, 10.0},   {0.5, 0.99, nan}, {0.5, 0.99, inf}};
  for (const Case& c : cases) {
    double r, nu;
    EXPECT_EQ(stop_output([&] { EORBIT(c.q, c.e, c.dt, r, nu); }), kParabolaStop)
        << "q " << c.q << ", e " << c.e << ", dt " << c.dt;
  }
}

TEST(Parabola, StopsLikeEorbit) {
  const ElementSet el{0.981, 0.1, 0.2, 0.3, 0.5, kTp};
  StateVector s;
  EXPECT_EQ(stop_output([&] { PARABOLA(el, kTp + 10000.0, s); }), kParabolaStop);
}

// Far from perihelion and just outside the band of the parabola alone the
// series meets its largest values of s; every such call ends, with a finite
// result or the stop.
TEST(Eorbit, FarOutCallsEnd) {
  for (double e : {0.99999998, 1.00000002, 0.9999, 1.0001, 1.019}) {
    for (double dt : {1e4, -1e6, 1e9, -1e12}) {
      double r = 0, nu = 0;
      const Captured c = capture([&] { EORBIT(0.5, e, dt, r, nu); });
      if (c.stopped) {
        EXPECT_EQ(c.out, kParabolaStop);
      } else {
        EXPECT_TRUE(std::isfinite(r) && r > 0) << "e " << e << ", dt " << dt;
        EXPECT_TRUE(nu >= 0 && nu < 2 * kPi) << "e " << e << ", dt " << dt;
      }
    }
  }
}

}  // namespace
