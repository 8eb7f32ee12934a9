// Encke's deviation acceleration against the plain difference of the two
// Sun terms, its planetary terms against the force model, and its stops.
#include "encke.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "console_script.h"
#include "force.h"
#include "integration_fixture.h"
#include "multistep.h"
#include "stop.h"
#include "stop_checks.h"

namespace {

// -P/|P|^3 + R/|R|^3 in long double, P = R + D: what Encke's form must give
// without its cancellation.
Vec3 plain_difference(const Vec3& R, const Vec3& D) {
  long double p[3], r[3];
  for (int k = 0; k < 3; ++k) {
    r[k] = R[k];
    p[k] = static_cast<long double>(R[k]) + D[k];
  }
  const long double rp = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
  const long double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  Vec3 a{};
  for (int k = 0; k < 3; ++k)
    a[k] = static_cast<double>(-p[k] / (rp * rp * rp) + r[k] / (rr * rr * rr));
  return a;
}

Vec3 rhs(const Vec3& R, const Vec3& D, double S, JulianDate T) {
  Vec3 a{};
  RHS(R[0], R[1], R[2], D[0], D[1], D[2], S, T, a[0], a[1], a[2]);
  return a;
}

TEST(EnckeRhs, TwoBodyTermAgainstThePlainDifference) {
  sun_alone();
  struct Case {
    const char* what;
    Vec3 R, D;
    double S;
  };
  const Case cases[] = {
      {"zero deviation: exactly zero", {2.1, -1.3, 0.4}, {0, 0, 0}, 1},
      // (D/2 + R).D is exactly 0: q = 0 and f = 3 with D not zero; the
      // object lies as far from the Sun as the reference point.
      {"q exactly 0, D not 0", {1, 0, 0}, {-2, 0, 0}, 1},
      {"tiny deviation", {2.1, -1.3, 0.4}, {1e-9, -2e-9, 5e-10}, 1},
      {"small deviation", {2.1, -1.3, 0.4}, {1e-4, 3e-5, -2e-4}, 0.5},
      {"large deviation", {2.1, -1.3, 0.4}, {-0.7, 0.9, 0.2}, 2},
      {"scale -1 as 1", {2.1, -1.3, 0.4}, {1e-4, 3e-5, -2e-4}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Vec3 a = rhs(c.R, c.D, c.S, 2451545.0);
    const Vec3 e = plain_difference(c.R, c.D);
    const double scale = std::sqrt(e[0] * e[0] + e[1] * e[1] + e[2] * e[2]);
    // For small q the power formula 1 - (1 + 2q)^-1.5 loses digits: the
    // error stays at the rounding of the Sun's whole pull, S^2/|R|^2 x 1e-15.
    const double r2 = c.R[0] * c.R[0] + c.R[1] * c.R[1] + c.R[2] * c.R[2];
    const double tol = c.S * c.S * std::max(1e-12 * scale, 1e-15 / r2);
    for (int k = 0; k < 3; ++k) {
      if (scale == 0.0) {
        EXPECT_EQ(a[k], 0.0);
      } else {
        EXPECT_NEAR(a[k], c.S * c.S * e[k], tol) << k;
      }
    }
  }
}

// The planetary terms are those of FORCE1 (Mercury included) at the
// object's position: RHS plus the reference point's Sun term is FORCE1.
// With NPLANET 1 that is Mercury alone, which FORCE leaves out.
TEST(EnckeRhs, PlanetaryTermsAreThoseOfTheForceModelWithMercury) {
  sun_alone();
  load_de405_masses();
  PLNSRC.IMEAN = 1;  // mean planets: no file needed
  const JulianDate T = 2455000.5;
  const Vec3 R{2.1, -1.3, 0.4}, D{3e-3, -1e-3, 2e-3};
  const double S = 0.03;
  for (const int n : {1, 8}) {
    SCOPED_TRACE("NPLANET " + std::to_string(n));
    PERTRB.NPLANET = n;
    reset_mean_elements();
    CELEM(T);
    const Vec3 a = rhs(R, D, S, T);
    Vec3 sun{}, f1{}, f{};
    sun_only(R[0], R[1], R[2], S, sun[0], sun[1], sun[2], T);
    FORCE1(R[0] + D[0], R[1] + D[1], R[2] + D[2], S, f1[0], f1[1], f1[2], T);
    FORCE(R[0] + D[0], R[1] + D[1], R[2] + D[2], S, f[0], f[1], f[2], T);
    for (int k = 0; k < 3; ++k) {
      EXPECT_NEAR(a[k] + sun[k], f1[k], 1e-16) << k;
      if (n == 1) {
        EXPECT_GT(std::abs(a[k] + sun[k] - f[k]), 1e-14) << k;
      }
    }
  }
}

TEST(EnckeRhs, ZeroDistancesStopTheRun) {
  sun_alone();
  load_de405_masses();
  PLNSRC.IMEAN = 1;
  PERTRB.NPLANET = 8;
  const JulianDate T = 2455000.5;
  reset_mean_elements();
  CELEM(T);
  StateVector jupiter;
  ELEM2XV(PERTRB.PEL(5), T, 0, jupiter);
  struct Case {
    const char* what;
    Vec3 R, D;
  };
  const Case cases[] = {
      {"reference point at the Sun", {0, 0, 0}, {1, 0, 0}},
      {"object at the Sun", {2.1, -1.3, 0.4}, {-2.1, 1.3, -0.4}},
      {"object at Jupiter", {jupiter.x, jupiter.y, jupiter.z}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConsoleScript con;
    EXPECT_EQ(testing_support::stop_kind([&] { rhs(c.R, c.D, 1, T); }), StopKind::Integration);
    EXPECT_NE(con.output().find("The object is at the Sun or at a perturbing body on JD"),
              std::string::npos);
  }
}

}  // namespace
