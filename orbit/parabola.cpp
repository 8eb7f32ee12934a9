// Near-parabolic orbits: the parabola in closed form, corrected by a series
// in gamma = (1 - e) / (1 + e).
#include "parabola.h"

#include <cmath>

#include "astcon.h"
#include "elements.h"
#include "frames.h"
#include "kepler.h"
#include "stop.h"
#include "textio.h"

namespace {

constexpr double kTolerance = 1e-11;  // terms of the series, changes of s
constexpr double kMaxTerm = 10000.0;
constexpr int kMaxTerms = 50;
constexpr int kMaxOuterPasses = 50;
// The Newton solve of s + s^3/3 = q3 starts from the s of the previous pass
// and converges in a few passes wherever the series tests let it run (|s|
// below about 10^3); this bound only keeps it finite, and a solve that
// meets it gives up the series as its other limits do.
constexpr int kMaxNewtonPasses = 100;

[[noreturn]] void no_convergence() {
  say({"No convergence for near parabolic approximation"});
  throw ProgramStop(StopKind::TwoBody);
}

// s = tan(nu/2) solving s + s^3/3 = q2 exactly (Barker's equation).
double parabolic_solution(double q2, double dt) {
  double s = 2.0 / (3.0 * std::fabs(q2));
  const double c = std::pow(std::tan(std::atan(s) / 2.0), 0.3333333333333333);
  s = 2.0 / std::tan(2.0 * std::atan(c));
  return dt < 0.0 ? -s : s;
}

// Newton solve of s + s^3/3 = q3 from the current s; false when it does not
// settle.
bool solve_cubic(double q3, double& s) {
  for (int pass = 0; pass < kMaxNewtonPasses; ++pass) {
    const double s1 = s;
    s = (2.0 * s * s * s / 3.0 + q3) / (s * s + 1.0);
    if (std::fabs(s - s1) <= kTolerance) return true;
  }
  return false;
}

// Where the series gives up: the perihelion state carried from the
// perihelion time to t by the universal variables, which solve the same
// two-body motion at any distance from perihelion.
void by_universal_variables(const ElementSet& el, JulianDate t, StateVector& s) {
  StateVector peri;
  if (!std::isfinite(t - el.tp) || !perihelion_state(el, 1, peri)) no_convergence();
  KEPLER(peri, el.tp, s, t);
}

}  // namespace

bool EORBIT(double q, double e, double dt, double& r, double& nu) {
  // A perihelion distance that is not positive (or not a number) describes
  // no orbit: the radius and the speed at perihelion would be meaningless.
  if (!(q > 0.0) || !std::isfinite(q)) return false;

  const double q1 = ASTCON::GAUSSK * std::sqrt((1.0 + e) / q) / (2.0 * q);
  const double gamma = (1.0 - e) / (1.0 + e);
  if (dt == 0.0) {
    r = q;
    nu = 0.0;
    return true;
  }
  const double q2 = q1 * dt;
  double s = parabolic_solution(q2, dt);

  // The parabola alone only for e = 1 itself: it leaves out e - 1, which
  // far from perihelion moves the place however near e lies to 1 (1e-8 in
  // e: 4e-4 AU for q 0.005 AU eight years out), while the series converges
  // the sooner the nearer e is to 1.
  if (e != 1.0) {
    for (int pass = 1;; ++pass) {
      const double s0 = s;
      double z = 1.0;
      const double y = s * s;
      double g1 = -y * s;
      double q3 = q2 + 2.0 * gamma * s * y / 3.0;
      for (;;) {
        z = z + 1.0;
        g1 = -g1 * gamma * y;
        const double z1 = (z - (z + 1.0) * gamma) / (2.0 * z + 1.0);
        const double f = z1 * g1;
        q3 = q3 + f;
        // The failure tests come before the end test: the 51st term fails
        // even when it is small. A term that is not a number never ends the
        // series and so fails there too.
        if (z > kMaxTerms) return false;
        if (std::fabs(f) > kMaxTerm) return false;
        if (std::fabs(f) <= kTolerance) break;
      }
      if (pass > kMaxOuterPasses) return false;
      if (!solve_cubic(q3, s)) return false;
      if (!(std::fabs(s - s0) > kTolerance)) break;
    }
  }

  nu = 2.0 * std::atan(s);
  r = q * (1.0 + e) / (1.0 + e * std::cos(nu));
  nu = positive_angle(nu);
  return true;
}

void PARABOLA(const ElementSet& el, JulianDate t, StateVector& s) {
  const double e = el.e, inc = el.i, node = el.node, peri = el.peri, q = el.aq;
  double r, nu;
  if (!EORBIT(q, e, t - el.tp, r, nu)) {
    by_universal_variables(el, t, s);
    return;
  }

  // Position: perifocal frame to ecliptic, then to equatorial J2000.
  double x = r * std::cos(nu), y = r * std::sin(nu), z = 0.0;
  ROTATE(x, y, z, -peri, 3);
  ROTATE(x, y, z, -inc, 1);
  ROTATE(x, y, z, -node, 3);
  ROTATE(x, y, z, -ASTCON::OBLIQ, 1);

  // Velocity in the ecliptic frame (AU per 1/k day, GM = 1), then turned.
  const double p = r * (1.0 + e * std::cos(nu));  // semi-latus rectum
  const double w = std::sqrt(1.0 / p);
  const double A = e * std::cos(peri) + std::cos(peri + nu);
  const double B = e * std::sin(peri) + std::sin(peri + nu);
  double vx = -w * (std::cos(node) * B + std::sin(node) * std::cos(inc) * A);
  double vy = -w * (std::sin(node) * B - std::cos(node) * std::cos(inc) * A);
  double vz = w * std::sin(inc) * A;
  ROTATE(vx, vy, vz, -ASTCON::OBLIQ, 1);

  s = {x, y, z, vx, vy, vz};
}
