// A reference orbit for the integrators' tests: a heliocentric orbit under
// the Sun and the perturbing bodies, integrated here by a method of its own
// and in plain vectors, so that COWELL, ENCKE and RKD can be checked against
// something that shares none of their code.
//
// What it is:
// - the acceleration is summed here from PLEPHX positions (body relative to
//   the Sun) and the PERTRB.MASS table: the Sun's pull, and for each body
//   its direct pull on the object minus its pull on the Sun (the indirect
//   term); Newtonian point masses, nothing else. Mercury (PlanetIndex 1) is
//   in or out by a switch (the force model's FORCE leaves it out, FORCE1
//   takes it); PlanetIndex 3 is the Earth-Moon barycentre (body 13) unless
//   nplanet is 10, when it is the Earth (3) and index 10 the Moon;
// - it is worked in days and AU/day (GM of the Sun = k^2), not in the
//   Gaussian time variable, and the state vectors are converted at the ends;
// - the steps are the classical fourth-order Runge-Kutta formulas with a
//   fixed step: n equal steps from t0 to t1, n = ceil(|t1 - t0| / max_step);
// - the bodies of a stage date are kept for the next stage of the same date
//   (the two middle stages of a step, the end of one step and the start of
//   the next), which changes no value.
//
// How it was checked (tests/integrate/reference_orbit_test.cpp):
// - with no bodies it reproduces KEPLER for a main-belt orbit over 40 years
//   and for an eccentric comet through perihelion;
// - its acceleration at one date matches a sum written out term by term
//   from the same PLEPHX positions;
// - Richardson: for Ceres carried 40 years with 10 bodies from the DE405
//   file, halving the step from 1 day to 0.5 day moves the place by about
//   0.0001 arcsecond (the test asks for less than 0.001), and the change
//   falls about 16-fold per halving (2, 1, 0.5, 0.25 days), as the order
//   says. A step of 1 day is thus ample for main-belt orbits; eccentric
//   orbits need steps small beside the perihelion passage (0.005 day for
//   q = 0.3 AU agrees with KEPLER to 1e-10 AU).
// The caller loads PERTRB.MASS (MASS(3) as the ephemeris program sets it for
// nplanet), names the JPL file and sets PLNSRC.IMEAN = 0. A date outside the
// file throws std::runtime_error: the reference never falls back.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "astcon.h"
#include "plephx.h"
#include "records.h"
#include "types.h"

namespace reference_orbit {

using Vec3 = std::array<double, 3>;

struct Bodies {
  bool mercury = true;  // PlanetIndex 1 included
  int nplanet = 10;     // last PlanetIndex, 1 to 10 (0: the Sun alone)
};

// Heliocentric positions (AU) of the bodies 1 to nplanet at date t; the
// entries of bodies left out are not used.
inline std::array<Vec3, 10> body_positions(JulianDate t, const Bodies& b) {
  std::array<Vec3, 10> p{};
  for (int j = b.mercury ? 1 : 2; j <= b.nplanet; ++j) {
    const BodyNumber target = (j == 3 && b.nplanet < 10) ? 13 : j;
    BodyState rrd{};
    if (PLEPHX(t, target, 11, rrd) != 0)
      throw std::runtime_error("reference orbit: date outside the planetary file");
    p[static_cast<std::size_t>(j - 1)] = {rrd[0], rrd[1], rrd[2]};
  }
  return p;
}

// Acceleration in AU/day^2 at the heliocentric position r (AU) with the
// bodies at the positions p.
inline Vec3 acceleration(const Vec3& r, const std::array<Vec3, 10>& p, const Bodies& b) {
  const double k2 = ASTCON::GAUSSK * ASTCON::GAUSSK;
  const double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  Vec3 a{};
  for (int i = 0; i < 3; ++i) a[i] = -k2 * r[i] / (rr * rr * rr);
  for (int j = b.mercury ? 1 : 2; j <= b.nplanet; ++j) {
    const Vec3& q = p[static_cast<std::size_t>(j - 1)];
    const double m = k2 * PERTRB.MASS(j);
    const Vec3 d = {q[0] - r[0], q[1] - r[1], q[2] - r[2]};
    const double dd = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    const double qq = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
    for (int i = 0; i < 3; ++i) a[i] += m * (d[i] / (dd * dd * dd) - q[i] / (qq * qq * qq));
  }
  return a;
}

// The integrator. State: position AU, velocity AU/day.
class Orbit {
 public:
  explicit Orbit(Bodies b) : b_(b) {}

  // Carries s (Gaussian velocity units, as StateVector holds it) from t0 to
  // t1 in equal steps of at most max_step days.
  StateVector carry(const StateVector& s, JulianDate t0, JulianDate t1, double max_step) {
    Vec3 r = {s.x, s.y, s.z};
    Vec3 v = {s.vx * ASTCON::GAUSSK, s.vy * ASTCON::GAUSSK, s.vz * ASTCON::GAUSSK};
    const double span = t1 - t0;
    const auto n = static_cast<std::int64_t>(std::ceil(std::fabs(span) / max_step));
    for (std::int64_t k = 0; k < n; ++k) {
      // Dates from t0 and k, so that no rounding accumulates over the steps.
      const JulianDate ta = t0 + span * static_cast<double>(k) / static_cast<double>(n);
      const JulianDate tb =
          k + 1 == n ? t1 : t0 + span * static_cast<double>(k + 1) / static_cast<double>(n);
      step(r, v, ta, tb);
    }
    return {r[0], r[1], r[2], v[0] / ASTCON::GAUSSK, v[1] / ASTCON::GAUSSK, v[2] / ASTCON::GAUSSK};
  }

  // The states at each of the dates, in order, carried from s at t0 (each
  // date from the one before it, the first from t0).
  std::vector<StateVector> at_dates(const StateVector& s, JulianDate t0,
                                    const std::vector<JulianDate>& dates, double max_step) {
    std::vector<StateVector> out;
    StateVector cur = s;
    JulianDate t = t0;
    for (JulianDate d : dates) {
      cur = carry(cur, t, d, max_step);
      t = d;
      out.push_back(cur);
    }
    return out;
  }

  // Acceleration at r and date t, AU/day^2 (for tests of the sum itself).
  Vec3 accel(const Vec3& r, JulianDate t) { return acceleration(r, bodies_at(t), b_); }

  std::int64_t body_evaluations() const { return evaluations_; }

 private:
  const std::array<Vec3, 10>& bodies_at(JulianDate t) {
    for (Cached& c : cache_)
      if (c.valid && c.t == t) return c.p;
    Cached& c = cache_[next_];
    next_ = (next_ + 1) % cache_.size();
    c = {true, t, body_positions(t, b_)};
    ++evaluations_;
    return c.p;
  }

  void step(Vec3& r, Vec3& v, JulianDate ta, JulianDate tb) {
    const double h = tb - ta;
    const JulianDate tm = ta + h / 2;
    auto f = [&](const Vec3& rr, JulianDate t) { return acceleration(rr, bodies_at(t), b_); };
    auto add = [](const Vec3& a, const Vec3& b, double c) {
      return Vec3{a[0] + c * b[0], a[1] + c * b[1], a[2] + c * b[2]};
    };
    // y' = (v, a(r)); four stages.
    const Vec3 k1r = v, k1v = f(r, ta);
    const Vec3 k2r = add(v, k1v, h / 2), k2v = f(add(r, k1r, h / 2), tm);
    const Vec3 k3r = add(v, k2v, h / 2), k3v = f(add(r, k2r, h / 2), tm);
    const Vec3 k4r = add(v, k3v, h), k4v = f(add(r, k3r, h), tb);
    for (int i = 0; i < 3; ++i) {
      r[i] += h / 6 * (k1r[i] + 2 * k2r[i] + 2 * k3r[i] + k4r[i]);
      v[i] += h / 6 * (k1v[i] + 2 * k2v[i] + 2 * k3v[i] + k4v[i]);
    }
  }

  struct Cached {
    bool valid = false;
    JulianDate t = 0;
    std::array<Vec3, 10> p{};
  };
  Bodies b_;
  std::array<Cached, 3> cache_{};
  std::size_t next_ = 0;
  std::int64_t evaluations_ = 0;
};

// Angle in arcseconds between two positions as seen from a third point
// (for instance two heliocentric positions of the object seen from the
// Earth): the size of a difference on the sky.
inline double arcsec_between(const Vec3& a, const Vec3& b, const Vec3& from = {0, 0, 0}) {
  const Vec3 u = {a[0] - from[0], a[1] - from[1], a[2] - from[2]};
  const Vec3 w = {b[0] - from[0], b[1] - from[1], b[2] - from[2]};
  const Vec3 c = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
  const double cross = std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]);
  const double dot = u[0] * w[0] + u[1] * w[1] + u[2] * w[2];
  return std::atan2(cross, dot) * ASTCON::RADDEG * 3600.0;
}

inline Vec3 position(const StateVector& s) {
  return {s.x, s.y, s.z};
}

}  // namespace reference_orbit
