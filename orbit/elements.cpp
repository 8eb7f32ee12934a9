// Element sets and state vectors.
#include "elements.h"

#include <algorithm>
#include <cmath>

#include "astcon.h"
#include "frames.h"
#include "kepler.h"
#include "parabola.h"
#include "records.h"

namespace {

// Below this sine of the inclination the orbit lies in the ecliptic to
// within about 2 arcseconds: z / (r sin i) is then a ratio of two rounding
// errors (arcsin near 1 resolves i only to some 1e-8 rad), so the argument
// of latitude is taken from the position in the plane of the node instead.
constexpr double kEclipticSinI = 1e-5;

// Perifocal frame (x to perihelion, z along the angular momentum) to
// equatorial J2000.
void perifocal_to_equatorial(const ElementSet& el, double& x, double& y, double& z) {
  ROTATE(x, y, z, -el.peri, 3);
  ROTATE(x, y, z, -el.i, 1);
  ROTATE(x, y, z, -el.node, 3);
  ROTATE(x, y, z, -ASTCON::OBLIQ, 1);
}

// The Stumpff functions c0, c1 and c3 of x = alpha s^2, by their series
// near 0, where the closed forms lose their digits, and in closed form
// beyond.
struct Stumpff {
  double c0, c1, c3;
};
Stumpff stumpff(double x) {
  if (std::fabs(x) < 0.1) {
    // Terms of c1 = sum (-x)^n / (2n+1)!, c3 = sum (-x)^n / (2n+3)!, c0 =
    // sum (-x)^n / (2n)!, to below the last digit.
    double t0 = 1.0, t1 = 1.0, t3 = 1.0 / 6.0;
    Stumpff c{1.0, 1.0, 1.0 / 6.0};
    for (int n = 1; n <= 12; ++n) {
      t0 *= -x / ((2.0 * n - 1.0) * (2.0 * n));
      t1 *= -x / ((2.0 * n) * (2.0 * n + 1.0));
      t3 *= -x / ((2.0 * n + 2.0) * (2.0 * n + 3.0));
      c.c0 += t0;
      c.c1 += t1;
      c.c3 += t3;
    }
    return c;
  }
  if (x > 0.0) {
    const double w = std::sqrt(x);
    return {std::cos(w), std::sin(w) / w, (w - std::sin(w)) / (x * w)};
  }
  const double w = std::sqrt(-x);
  return {std::cosh(w), std::sinh(w) / w, (std::sinh(w) - w) / (-x * w)};
}

// True anomaly (radians, -pi to pi) of a state at distance r (AU) with
// D = P.V and angular momentum h, for any eccentricity e:
// tan(nu/2) = e sin nu / (e + e cos nu), with e sin nu = h D / r and
// e cos nu = h^2 / r - 1.
double near_parabolic_anomaly(double r, double D, double h, double e) {
  return 2.0 * std::atan2(h * D, r * (e - 1.0) + h * h);
}

// Time from perihelion to the state, in units of 1/k day, by the universal
// variable s of the motion from perihelion (r0 = q, r.v = 0 there), exact
// for any orbit and free of the cancellations of the anomalies near e = 1:
// r.v = e s c1(alpha s^2) at the state, and the time is
// q s c1(alpha s^2) + s^3 c3(alpha s^2). Newton's steps for s, whose
// derivative c0 stays near 1 wherever the band's orbits go (alpha s^2 is
// small), start from the parabola's s = D / e.
double near_parabolic_time(double q, double e, double alpha, double D) {
  const double G1 = D / e;
  double s = G1;
  for (int pass = 0; pass < 50; ++pass) {
    const Stumpff c = stumpff(alpha * s * s);
    const double step = (s * c.c1 - G1) / c.c0;
    s -= step;
    if (!(std::fabs(step) > 1e-16 * std::fabs(s))) break;
  }
  const Stumpff c = stumpff(alpha * s * s);
  return q * s * c.c1 + s * s * s * c.c3;
}

// Osculating elements of s at t0 with the fifth value a (comet_form 0) or q.
void state_to_elements(const StateVector& s, JulianDate t0, std::int32_t comet_form,
                       ElementSet& el) {
  constexpr double mu = ASTCON::SUNMU;
  constexpr double k = ASTCON::GAUSSK;
  constexpr double pi = ASTCON::PI;

  // Ecliptic position P and velocity V.
  double x = s.x, y = s.y, z = s.z;
  double vx = s.vx, vy = s.vy, vz = s.vz;
  ROTATE(x, y, z, ASTCON::OBLIQ, 1);
  ROTATE(vx, vy, vz, ASTCON::OBLIQ, 1);

  const double r = std::sqrt((x * x + y * y) + z * z);
  const double v2 = (vx * vx + vy * vy) + vz * vz;
  const double D = (x * vx + y * vy) + z * vz;

  const double hx = y * vz - z * vy;
  const double hy = z * vx - x * vz;
  const double hz = x * vy - y * vx;
  const double h = std::sqrt((hx * hx + hy * hy) + hz * hz);

  const double alpha = 2.0 / r - v2 / mu;  // reciprocal semimajor axis
  // A circular orbit can leave 1 - h^2 alpha a rounding below zero.
  const double e = std::sqrt(std::max(1.0 - h * h * alpha, 0.0));
  const double q = h * h / (1.0 + e);
  // The osculating semimajor axis, also in the parabolic band (where it is
  // very large, or infinite for alpha exactly 0).
  const double a = 1.0 / alpha;

  if (h == 0.0) {
    // Motion along the radius: no orbit plane and no perihelion direction.
    // The angles are 0 and the perihelion time is the date of the state;
    // e = 1 and q = 0 follow from the formulas.
    el = {e, 0.0, 0.0, 0.0, comet_form == 0 ? a : q, t0};
    return;
  }

  // Inclination in [0, pi] (h >= |hz| holds in rounded arithmetic too).
  const double inc = pi / 2.0 - std::asin(hz / h);
  // Node; an orbit exactly in the ecliptic has none, and gets 0.
  const double node = (hx == 0.0 && hy == 0.0) ? 0.0 : std::atan2(hx, -hy);
  const double cos_u = (x * std::cos(node) + y * std::sin(node)) / r;
  double sin_u;
  if (std::fabs(std::sin(inc)) >= kEclipticSinI) {
    sin_u = z / (r * std::sin(inc));
  } else {
    sin_u = ((y * std::cos(node) - x * std::sin(node)) * std::cos(inc) + z * std::sin(inc)) / r;
  }
  const double u = std::atan2(sin_u, cos_u);  // argument of latitude

  double nu, tp;  // true anomaly, perihelion time
  if (e <= 0.9999999) {
    double E;  // eccentric anomaly
    if (e == 0.0) {
      E = u;  // a circle: perihelion taken at the ascending node
    } else {
      const double cos_E = (1.0 - r * alpha) / e;
      const double sin_E = std::sqrt(std::fabs(alpha)) * D / e;
      E = std::atan2(sin_E, cos_E);
    }
    nu = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    const double M = E - e * std::sin(E);
    tp = t0 - M * std::pow(a, 1.5) / k;
  } else if (e >= 1.0000001) {
    const double C = (1.0 - r * alpha) / e;
    // At perihelion C is 1 and C^2 - 1 can come out a rounding below zero.
    const double radicand = C * C - 1.0;
    double F = radicand > 0.0 ? std::log(C + std::sqrt(radicand)) : 0.0;
    if (D < 0.0) F = -F;
    nu = 2.0 * std::atan(std::sqrt((e + 1.0) / (e - 1.0)) * std::tanh(F / 2.0));
    const double M = e * std::sinh(F) - F;
    tp = t0 - M * std::pow(std::fabs(a), 1.5) / k;
  } else if (e == 1.0 || std::isnan(e)) {
    // The parabola itself (and an e that is not a number): Barker's equation.
    nu = 2.0 * std::atan(D / std::sqrt(2.0 * q));
    const double t = std::tan(nu / 2.0);
    tp = t0 - std::sqrt(2.0 * q * q * q) * (t + t * t * t / 3.0) / k;
  } else {
    // Near the parabola, where the anomalies of the ellipse and the
    // hyperbola lose their digits. The parabola's own formulas would leave
    // out e - 1 here, and that moves the perihelion time and the true
    // anomaly far from perihelion (1e-7 in e put a comet of q 0.005 AU
    // 1.5e-4 AU off half a year out, when carried back from these elements);
    // the exact forms hold for any e near 1.
    nu = near_parabolic_anomaly(r, D, h, e);
    tp = t0 - near_parabolic_time(q, e, alpha, D) / k;
  }

  el.e = e;
  el.i = positive_angle(inc);
  el.node = positive_angle(node);
  el.peri = positive_angle(u - nu);
  el.aq = comet_form == 0 ? a : q;
  el.tp = tp;
}

}  // namespace

bool perihelion_state(const ElementSet& el, std::int32_t iq, StateVector& s) {
  constexpr double mu = ASTCON::SUNMU;
  const double e = el.e;
  double q, vp;  // perihelion distance (AU) and speed (AU per 1/k day)
  if (iq == 0) {
    const double a = el.aq;
    q = (1.0 - e) * a;
    vp = std::sqrt(mu * (1.0 + e) / ((1.0 - e) * a));
  } else {
    q = el.aq;
    vp = std::sqrt(mu * q * (1.0 + e)) / q;
  }
  if (!(q > 0.0) || !std::isfinite(q) || !std::isfinite(vp)) return false;

  s.x = q;
  s.y = 0.0;
  s.z = 0.0;
  perifocal_to_equatorial(el, s.x, s.y, s.z);
  s.vx = 0.0;
  s.vy = vp;
  s.vz = 0.0;
  perifocal_to_equatorial(el, s.vx, s.vy, s.vz);
  return true;
}

void ELEM2XV(const ElementSet& el, JulianDate t, std::int32_t iq, StateVector& s) {
  // e = 1 in the a form (q = 0, infinite speed), or any other element set
  // without a real perihelion, has no state to propagate.
  StateVector peri;
  if (!perihelion_state(el, iq, peri)) kepler_failure_stop();
  SEL_ORB(peri, el.tp, s, t, iq);
}

void XV2ELEM(const StateVector& s, JulianDate t0, ElementSet& el) {
  state_to_elements(s, t0, OBJECT.ICOMET, el);
}

void SEL_ORB(const StateVector& s0, JulianDate t0, StateVector& s, JulianDate t, std::int32_t iq) {
  const StateVector in = s0;  // s may be s0
  if (iq == 0) {
    KEPLER(in, t0, s, t);
    return;
  }
  // Comet form: the fifth value is q whatever OBJECT.ICOMET says.
  ElementSet el;
  state_to_elements(in, t0, 1, el);
  if (el.e > 0.98 && el.e < 1.02) {
    PARABOLA(el, t, s);
  } else {
    KEPLER(in, t0, s, t);
  }
}
