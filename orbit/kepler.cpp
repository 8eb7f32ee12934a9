// Two-body propagation by universal variables.
#include "kepler.h"

#include <cfloat>
#include <cmath>

#include "astcon.h"
#include "stop.h"
#include "textio.h"

namespace {

// Convergence limit of the corrections to s: 1e-12 as the single-precision
// constant it was kept in, widened to double.
constexpr double kEpsilon = 9.999999960041972e-13;
// How far the plain Newton step -phi/phi1 at the point of a pass may lie
// above kEpsilon when the pass ends the solution (see at_root).
constexpr double kRootSlack = 2.0;
constexpr int kNewtonPasses = 6;
constexpr int kLaguerrePasses = 20;
constexpr double kLaguerreOrder = 5.0;
// Bounds of the bracketed search: doublings of the first bracket (more
// than the range of a double needs) and steps inside it (Newton steps, or
// halvings, which cannot take more than the bits of the double range).
constexpr int kMaxWidenings = 2100;
constexpr int kMaxBracketSteps = 2200;

// The G functions of the universal variable s and the universal Kepler
// function with its derivatives, for one value of s.
struct KeplerTerms {
  double g0, g1, g2, g3;
  double phi;   // r0 G1 + u G2 + mu G3 - dtau: zero at the solution
  double phi1;  // its derivative in s: the radius at s
  double phi2;
  double phi3;
};

KeplerTerms evaluate(double s, double r0, double u, double alpha, double dtau) {
  constexpr double mu = ASTCON::SUNMU;
  double c0, c1, c2, c3;
  STUMPFF(alpha * s * s, c0, c1, c2, c3);
  KeplerTerms k;
  k.g0 = c0;
  k.g1 = s * c1;
  k.g2 = s * s * c2;
  k.g3 = s * s * s * c3;
  k.phi = r0 * k.g1 + u * k.g2 + mu * k.g3 - dtau;
  k.phi1 = r0 * k.g0 + u * k.g1 + mu * k.g2;
  k.phi2 = (mu - r0 * alpha) * k.g1 + u * k.g0;
  k.phi3 = (mu - r0 * alpha) * k.g0 - u * alpha * k.g1;
  return k;
}

// Whether a pass that started at the point of k and made the correction d
// ends the solution: d below kEpsilon, and that point solves the equation,
// its plain Newton step -phi/phi1 (phi1 is the radius, positive) below
// kRootSlack kEpsilon too. The second and third corrections of a Newton pass
// divide phi by phi1 + d phi2 / 2 (+ d^2 phi3 / 6); where the first of these
// sums nearly vanishes, the next correction is huge and the last one tiny at
// a point that is no root (an inbound hyperbola, q 0.1 AU and e 1.05, over
// 191 days: phi 0.249 at phi1 0.279, d -2.2e-13). At a root the corrections
// of either kind of pass equal the Newton step to 1.4e-11 of themselves
// (measured over 8 million orbits, q 0.005 to 30 AU, e 0 to 5, and
// instants), so the slack never refuses a correction below kEpsilon there
// and every solution found at a root stays as it was.
bool at_root(double d, const KeplerTerms& k) {
  return std::fabs(d) < kEpsilon && std::fabs(k.phi) < kRootSlack * kEpsilon * k.phi1;
}

// Starting value of s when alpha is exactly 0 (a parabola in floating
// point) over a long step, where the hyperbolic start would need an infinite
// semimajor axis. With alpha = 0 the universal Kepler equation is the cubic
// r0 s + u s^2 / 2 + mu s^3 / 6 = dtau, whose one real root Cardano's
// formula gives: s = w - u with w^3 + p w + q = 0.
double parabolic_start(double r0, double u, double dtau) {
  const double p = 6.0 * r0 - 3.0 * u * u;  // 3 h^2 for a parabola, not negative
  const double q = 2.0 * u * u * u - 6.0 * r0 * u - 6.0 * dtau;
  const double root = std::sqrt(std::fmax(q * q / 4.0 + p * p * p / 27.0, 0.0));
  return std::cbrt(-q / 2.0 + root) + std::cbrt(-q / 2.0 - root) - u;
}

// Starting value s0 of the universal variable; an elliptic orbit first loses
// the whole periods of dtau.
double starting_value(double r0, double u, double alpha, double& dtau) {
  constexpr double mu = ASTCON::SUNMU;
  constexpr double twopi = 2.0 * ASTCON::PI;
  if (std::fabs(dtau / r0) <= 0.2) {
    return dtau / r0 - dtau * dtau * u / (2.0 * r0 * r0 * r0);
  }
  if (alpha == 0.0) return parabolic_start(r0, u, dtau);
  if (alpha < 0.0) {
    const double a = mu / alpha;
    const double n = std::sqrt(-mu / (a * a * a));
    const double ch = 1.0 - r0 / a;
    const double sh = u / std::sqrt(-a * mu);
    const double e = std::sqrt(ch * ch - sh * sh);
    const double m = n * dtau;
    if (m >= 0.0) return std::log((2.0 * m + 1.8 * e) / (ch + sh)) / std::sqrt(-alpha);
    return -std::log((-2.0 * m + 1.8 * e) / (ch - sh)) / std::sqrt(-alpha);
  }
  // alpha > 0, or not a number (then everything below is too, and the
  // passes cannot converge).
  const double a = mu / alpha;
  const double n = std::sqrt(mu / (a * a * a));
  const double ec = 1.0 - r0 / a;
  const double es = u / (n * a * a);
  const double e = std::sqrt(ec * ec + es * es);
  // Whole periods, truncated toward zero so that the rest keeps the sign of
  // dtau. The count stays a double: more periods than a 32-bit count holds
  // (a short period over a very long step) are still removed.
  const double periods = std::trunc(n * dtau / twopi);
  dtau = dtau - periods * twopi / n;
  const double y = n * dtau - es;
  const double sigma = es * std::cos(y) + ec * std::sin(y) >= 0.0 ? 1.0 : -1.0;
  const double x = y + 0.85 * sigma * e;
  return x / std::sqrt(alpha);
}

// The universal Kepler function Phi(s) = r0 G1 + u G2 + mu G3 - dtau has the
// radius as its derivative, so it increases with s and has exactly one root,
// on the side of s = 0 given by the sign of dtau. When the passes above give
// up (their start lies too far from the root, as the hyperbolic start does
// for a parabola whose alpha is a rounding error away from 0, or for an
// inbound hyperbola over a step of some weeks), the root is bracketed and
// found by Newton steps that fall back to halving the bracket whenever they
// would leave it. The search starts from the parabolic start when the
// parabola is close to the orbit over this step (|alpha| s^2 small), else
// from the passes' own start. Returns false, with no solution, only for a
// state that has none: not a number, or at the Sun.
bool bracketed_solution(double r0, double u, double alpha, double dtau, double start, double& s,
                        KeplerTerms& k) {
  if (!(r0 > 0.0) || !std::isfinite(r0) || !std::isfinite(u) || !std::isfinite(alpha) ||
      !std::isfinite(dtau))
    return false;
  // Worked in t = d s, d the sign of dtau: psi(t) = d Phi(d t) rises from
  // -|dtau| at t = 0 with slope r, and its root lies at t >= 0.
  const double d = dtau < 0.0 ? -1.0 : 1.0;
  const auto psi_at = [&](double t) {
    k = evaluate(d * t, r0, u, alpha, dtau);
    return d * k.phi;
  };
  const auto solved = [&](double t) {
    s = d * t;
    psi_at(t);
    return std::isfinite(k.phi1) && k.phi1 > 0.0 && std::isfinite(k.g3);
  };
  if (dtau == 0.0) return solved(0.0);

  // Widen [lo, hi] until it encloses the root. A value that is not a finite
  // number (the G functions overflow far out on a hyperbola) lies beyond it.
  double lo = 0.0, hi = std::fmax(std::fabs(dtau) / r0, DBL_MIN);
  double psi = psi_at(hi);
  for (int n = 0; psi < 0.0; ++n) {
    if (n == kMaxWidenings) return false;
    lo = hi;
    hi = 2.0 * hi;
    psi = psi_at(hi);
  }
  if (psi == 0.0) return solved(hi);

  const double parabolic = d * parabolic_start(r0, u, dtau);
  const double guess = std::fabs(alpha) * parabolic * parabolic < 0.1 ? parabolic : d * start;
  double t = guess > lo && guess < hi ? guess : lo + (hi - lo) / 2.0;
  for (int n = 0; n < kMaxBracketSteps; ++n) {
    psi = psi_at(t);
    if (psi == 0.0) break;
    if (psi < 0.0) {
      lo = t;
    } else {
      hi = t;  // also for a value that is not a finite number
    }
    const double newton = t - psi / k.phi1;
    const bool inside = std::isfinite(psi) && newton > lo && newton < hi;
    const double next = inside ? newton : lo + (hi - lo) / 2.0;
    // No double left between the ends of the bracket: t is one of them.
    if (next <= lo || next >= hi) break;
    const bool settled = std::fabs(next - t) <= 4.0 * DBL_EPSILON * std::fabs(t);
    t = next;
    if (settled) break;
  }
  return solved(t);
}

}  // namespace

void kepler_failure_stop() {
  say({"Kepler equation solution failed in 20 iterations"});
  throw ProgramStop(StopKind::TwoBody);
}

void STUMPFF(double x, double& c0, double& c1, double& c2, double& c3) {
  if (!std::isfinite(x)) {
    // Quartering an infinite argument never brings it below 0.1; there are no
    // values to give, and the Kepler passes that asked fail on them.
    c0 = c1 = c2 = c3 = std::nan("");
    return;
  }
  int m = 0;
  while (std::fabs(x) >= 0.1) {  // at most about 520 quarterings for a finite x
    x = x / 4.0;
    ++m;
  }
  // The nested series, from the innermost factor out:
  // c2 = (1 - (x/12)(1 - (x/30)(1 - (x/56)(1 - (x/90)(1 - (x/132)(1 - x/182)))))) / 2,
  // c3 = (1 - (x/20)(1 - (x/42)(1 - (x/72)(1 - (x/110)(1 - (x/156)(1 - x/210)))))) / 6.
  constexpr double c2_divisors[] = {182.0, 132.0, 90.0, 56.0, 30.0, 12.0};
  constexpr double c3_divisors[] = {210.0, 156.0, 110.0, 72.0, 42.0, 20.0};
  double t2 = 1.0, t3 = 1.0;
  for (double d : c2_divisors) t2 = 1.0 - (x / d) * t2;
  for (double d : c3_divisors) t3 = 1.0 - (x / d) * t3;
  c2 = t2 / 2.0;
  c3 = t3 / 6.0;
  c1 = 1.0 - x * c3;
  c0 = 1.0 - x * c2;
  // Back to the full argument by the double-angle relations.
  for (int i = 0; i < m; ++i) {
    const double b0 = c0, b1 = c1, b2 = c2, b3 = c3;
    c3 = (b2 + b0 * b3) / 4.0;
    c2 = b1 * b1 / 2.0;
    c1 = b0 * b1;
    c0 = 2.0 * b0 * b0 - 1.0;
  }
}

void KEPLER(const StateVector& s0, JulianDate t0, StateVector& s, JulianDate t) {
  constexpr double mu = ASTCON::SUNMU;
  const StateVector in = s0;  // s may be s0
  double dtau = (t - t0) * ASTCON::GAUSSK;
  if (dtau == 0.0) {
    s = in;
    return;
  }

  const double r0 = std::sqrt((in.x * in.x + in.y * in.y) + in.z * in.z);
  const double v02 = (in.vx * in.vx + in.vy * in.vy) + in.vz * in.vz;
  const double u = (in.x * in.vx + in.y * in.vy) + in.z * in.vz;
  const double alpha = 2.0 * mu / r0 - v02;  // reciprocal semimajor axis

  const double start = starting_value(r0, u, alpha, dtau);

  // Quartic Newton passes. Where at_root refuses a tiny correction, the
  // passes stay stuck at that point (as they do at the instants around it,
  // on corrections of some 1e-9), and the Laguerre-Conway passes take over
  // after the sixth.
  double sv = start;
  KeplerTerms k{};
  bool converged = false;
  for (int pass = 0; pass < kNewtonPasses && !converged; ++pass) {
    k = evaluate(sv, r0, u, alpha, dtau);
    double d = -k.phi / k.phi1;
    d = -k.phi / (k.phi1 + d * k.phi2 / 2.0);
    d = -k.phi / (k.phi1 + d * k.phi2 / 2.0 + d * d * k.phi3 / 6.0);
    sv = sv + d;
    converged = at_root(d, k);
  }

  // Laguerre-Conway passes of order 5, again from the starting value.
  if (!converged) {
    constexpr double L = kLaguerreOrder;
    sv = start;
    for (int pass = 0; pass < kLaguerrePasses && !converged; ++pass) {
      k = evaluate(sv, r0, u, alpha, dtau);
      const double sign = k.phi1 >= 0.0 ? 1.0 : -1.0;
      const double root = std::sqrt(
          std::fabs((L - 1.0) * (L - 1.0) * k.phi1 * k.phi1 - (L - 1.0) * L * k.phi * k.phi2));
      const double d = -L * k.phi / (k.phi1 + sign * root);
      sv = sv + d;
      converged = at_root(d, k);
    }
  }
  // Only where both kinds of pass give up: the bracketed search, from the
  // same reduced dtau.
  if (!converged) {
    double s_root = 0.0;
    if (!bracketed_solution(r0, u, alpha, dtau, start, s_root, k)) kepler_failure_stop();
  }

  // f and g functions from the last evaluation (after the passes, s before
  // its final, below epsilon, correction; after the bracketed search, s
  // itself).
  const double f = 1.0 - mu * k.g2 / r0;
  const double g = dtau - mu * k.g3;
  const double fdot = -mu * k.g1 / (k.phi1 * r0);
  const double gdot = 1.0 - mu * k.g2 / k.phi1;
  s.x = f * in.x + g * in.vx;
  s.y = f * in.y + g * in.vy;
  s.z = f * in.z + g * in.vz;
  s.vx = fdot * in.x + gdot * in.vx;
  s.vy = fdot * in.y + gdot * in.vy;
  s.vz = fdot * in.z + gdot * in.vz;
}
