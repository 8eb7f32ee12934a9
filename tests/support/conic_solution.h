// An independent two-body solution for the tests: the state at a date of an
// orbit given by its perihelion distance and eccentricity, from the
// classical anomalies worked in long double, in forms that keep their
// digits near e = 1:
// - e = 1: Barker's equation D + D^3/3 = k dt / sqrt(2 q^3), D = tan(nu/2);
// - e < 1: Kepler's equation as (1 - e) sin E + (E - sin E) = M, with
//   tan(nu/2) = sqrt((1 + e)/(1 - e)) tan(E/2);
// - e > 1: the hyperbolic one as (e - 1) sinh F + (sinh F - F) = M, with
//   tan(nu/2) = sqrt((e + 1)/(e - 1)) tanh(F/2);
// E - sin E and sinh F - F by their series for small anomalies. Then
// r = q (1 + e)/(1 + e cos nu), and the velocity sqrt(1/p) (-sin nu,
// e + cos nu) with p = q (1 + e). Gaussian units (GM = 1, AU, AU per 1/k
// day), as the two-body library.
#pragma once

#include <cmath>

#include "astcon.h"
#include "types.h"

namespace testing_support {

using Real = long double;

// E - sin E (sign -1) or sinh E - E (sign +1).
inline Real anomaly_less_sine(Real E, Real sign) {
  if (std::fabs(E) > 0.5L) return sign < 0 ? E - std::sin(E) : std::sinh(E) - E;
  Real term = E * E * E / 6, sum = 0;
  for (int n = 3; std::fabs(term) > 1e-40L; n += 2) {
    sum += term;
    term *= sign * E * E / ((n + 1) * (n + 2));
  }
  return sum;
}

// Position (x toward perihelion, y 90 degrees ahead of it in the direction
// of motion) and velocity in the orbit plane.
struct PlaneState {
  Real x, y, vx, vy;
};

// The state at dt days from perihelion (negative before it) of the orbit of
// perihelion distance q (AU) and eccentricity e.
inline PlaneState conic_plane_state(Real q, Real e, Real dt) {
  const Real k = ASTCON::GAUSSK;
  const Real W = k * dt / std::sqrt(2 * q * q * q);
  Real D = std::cbrt(3 * W);  // Barker's D by Newton (the cubic increases)
  for (int i = 0; i < 200; ++i) D -= (D + D * D * D / 3 - W) / (1 + D * D);
  Real nu = 2 * std::atan(D);
  if (e < 1) {
    const Real f = std::sqrt((1 - e) / (1 + e));
    // Kepler's equation for the mean anomaly brought within half a
    // revolution of 0 (whole revolutions change no place), by Newton's
    // method from E = +/-pi: E - e sin E is convex on 0 to pi (concave on
    // -pi to 0), so the steps close in on the root from one side and never
    // overshoot it, however many revolutions lie behind and however near e
    // lies to 1 (from Barker's anomaly they could wander off once the orbit
    // had gone round: 2 AU off for q 0.05 AU, e 0.96, 720 days on).
    const Real half_turn = std::acos(Real{-1});
    Real M = k * dt * std::pow((1 - e) / q, 1.5L);
    M -= 2 * half_turn * std::round(M / (2 * half_turn));
    Real E = std::copysign(half_turn, M);
    for (int i = 0; i < 200; ++i)
      E -= ((1 - e) * std::sin(E) + anomaly_less_sine(E, -1) - M) /
           ((1 - e) * std::cos(E) + 2 * std::sin(E / 2) * std::sin(E / 2));
    nu = 2 * std::atan(std::tan(E / 2) / f);
  } else if (e > 1) {
    const Real f = std::sqrt((e - 1) / (e + 1)), M = k * dt * std::pow((e - 1) / q, 1.5L);
    // From beyond the root, for the same reason: (e - 1) sinh F alone
    // reaches M at F = asinh(M / (e - 1)), and e sinh F - F is convex for
    // F > 0 (concave below).
    Real F = std::asinh(M / (e - 1));
    for (int i = 0; i < 200; ++i)
      F -= ((e - 1) * std::sinh(F) + anomaly_less_sine(F, 1) - M) /
           ((e - 1) * std::cosh(F) + 2 * std::sinh(F / 2) * std::sinh(F / 2));
    nu = 2 * std::atan(std::tanh(F / 2) / f);
  }
  const Real p = q * (1 + e), r = p / (1 + e * std::cos(nu)), w = 1 / std::sqrt(p);
  return {r * std::cos(nu), r * std::sin(nu), -w * std::sin(nu), w * (e + std::cos(nu))};
}

// The state at date t of the comet-form element set el (fifth value q,
// angles on the ecliptic of J2000), heliocentric equatorial J2000: the plane
// state along the unit vectors P (toward perihelion) and Q (90 degrees
// ahead), which come from the angles and the obliquity 0.4090928042 rad by
// the textbook formulas, all in long double.
inline StateVector conic_state(const ElementSet& el, JulianDate t) {
  const PlaneState ps = conic_plane_state(el.aq, el.e, Real{t} - Real{el.tp});
  const Real cw = std::cos(Real{el.peri}), sw = std::sin(Real{el.peri});
  const Real cn = std::cos(Real{el.node}), sn = std::sin(Real{el.node});
  const Real ci = std::cos(Real{el.i}), si = std::sin(Real{el.i});
  const Real ce = std::cos(0.4090928042L), se = std::sin(0.4090928042L);
  // Ecliptic P and Q, then turned to the equator.
  const Real P[3] = {cw * cn - sw * sn * ci, cw * sn + sw * cn * ci, sw * si};
  const Real Q[3] = {-sw * cn - cw * sn * ci, -sw * sn + cw * cn * ci, cw * si};
  const auto equatorial = [&](Real a, Real b, int row) {
    const Real v[3] = {a * P[0] + b * Q[0], a * P[1] + b * Q[1], a * P[2] + b * Q[2]};
    const Real out[3] = {v[0], ce * v[1] - se * v[2], se * v[1] + ce * v[2]};
    return static_cast<double>(out[row]);
  };
  return {equatorial(ps.x, ps.y, 0),   equatorial(ps.x, ps.y, 1),   equatorial(ps.x, ps.y, 2),
          equatorial(ps.vx, ps.vy, 0), equatorial(ps.vx, ps.vy, 1), equatorial(ps.vx, ps.vy, 2)};
}

}  // namespace testing_support
