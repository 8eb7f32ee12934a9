#include "step_bound.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "astcon.h"
#include "kepler.h"

namespace {

constexpr double kStartupSteps = 8;  // RK7 steps of each start-up
constexpr double kTwoYears = 730.5;  // days
constexpr double kSpanPower = -0.2;  // how the bounds shrink with the span
// Steps per tau at the closest passage to the Sun, both methods (header).
constexpr double kStepsPerTau = 19;
// The longest step over two years for the pull of Mercury (ENCKE) and of
// Venus (COWELL), days.
constexpr double kMercuryStep = 12;
constexpr double kVenusStep = 45;

struct Span {
  JulianDate from, to;
};

// The dates that an integration with the step D covers, start-ups included.
Span integrated_span(JulianDate epoch, JulianDate first, JulianDate last, double D) {
  const double startup = kStartupSteps * D;
  if (first > epoch) return {epoch - startup, last + D};
  // The backward leg ends at the first step at or before first - D; the
  // forward leg starts up from there.
  return {first - 2 * D - startup, std::max(epoch + startup, last + D)};
}

double dot(const StateVector& a) {
  return a.x * a.vx + a.y * a.vy + a.z * a.vz;
}

double radius(const StateVector& s) {
  return std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
}

// The two-body orbit through a state, Gaussian units.
struct Conic {
  double alpha;  // 1/a (0 for a parabola, negative for a hyperbola)
  double e;      // eccentricity
  double q;      // perihelion distance, AU
};

Conic conic_of(const StateVector& s) {
  const double r = radius(s);
  const double v2 = s.vx * s.vx + s.vy * s.vy + s.vz * s.vz;
  const double rv = dot(s);
  const double hx = s.y * s.vz - s.z * s.vy, hy = s.z * s.vx - s.x * s.vz,
               hz = s.x * s.vy - s.y * s.vx;
  const double p = hx * hx + hy * hy + hz * hz;  // h^2, the semi-latus rectum
  const double c = v2 - 1 / r;
  const double ex = c * s.x - rv * s.vx, ey = c * s.y - rv * s.vy, ez = c * s.z - rv * s.vz;
  const double e = std::sqrt(ex * ex + ey * ey + ez * ez);
  return {2 / r - v2, e, p / (1 + e)};
}

// An ellipse: alpha > 0 and e < 1.
bool is_ellipse(const Conic& c) {
  return c.alpha > 0 && c.e < 1;
}

// Period of an ellipse, days.
double period(const Conic& c) {
  return 2 * ASTCON::PI / (ASTCON::GAUSSK * std::pow(c.alpha, 1.5));
}

// Whether a perihelion passage falls between the state a at ta and the
// state b at tb (ta < tb).
bool perihelion_within(const Conic& c, const StateVector& a, JulianDate ta, const StateVector& b,
                       JulianDate tb) {
  if (dot(a) <= 0 && dot(b) >= 0) return true;  // falling, then rising
  if (!is_ellipse(c)) return false;
  const double P = period(c);
  if (tb - ta >= P) return true;
  // The mean anomaly at ta, from e cos E = 1 - r / a and e sin E =
  // (r . v) / sqrt(a), and the days to the next perihelion.
  const double ecosE = 1 - radius(a) * c.alpha, esinE = dot(a) * std::sqrt(c.alpha);
  const double M = std::atan2(esinE, ecosE) - esinE;
  const double to_next = (M < 0 ? -M : 2 * ASTCON::PI - M) / (2 * ASTCON::PI) * P;
  return ta + to_next <= tb;
}

struct Limit {
  double step;  // days
  StepLimit by;
  double closest;  // AU
};

// The longest step that the bound allows for an integration made with the
// step D.
Limit bound_for(FixedStepKind method, std::int32_t nplanet, const StateVector& s0, const Conic& c,
                JulianDate epoch, JulianDate first, JulianDate last, double D) {
  const Span span = integrated_span(epoch, first, last, D);
  StateVector a, b;
  KEPLER(s0, epoch, a, span.from);
  KEPLER(s0, epoch, b, span.to);
  const double r =
      perihelion_within(c, a, span.from, b, span.to) ? c.q : std::min(radius(a), radius(b));
  // Days to turn by one radian there: 2 r / (k v), v^2 = 2 / r - 1 / a.
  const double tau = 2 * r / (ASTCON::GAUSSK * std::sqrt(2 / r - c.alpha));
  const double days = span.to - span.from;
  const double g = is_ellipse(c) ? 1 + days / period(c) * (1 + c.e) / (1 - c.e) : 1;
  Limit limit{tau / (kStepsPerTau * std::pow(g, 0.2)), StepLimit::Sun, r};

  // The innermost body's pull on the Sun.
  const double span_factor = std::pow(std::max(days, 1.0) / kTwoYears, kSpanPower);
  if (method == FixedStepKind::Encke) {
    const double step = kMercuryStep * span_factor;
    if (step < limit.step) limit = {step, StepLimit::Mercury, r};
  } else if (nplanet >= 2) {
    const double step = kVenusStep * span_factor;
    if (step < limit.step) limit = {step, StepLimit::Venus, r};
  }
  return limit;
}

bool finite_state(const StateVector& s) {
  return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z) && std::isfinite(s.vx) &&
         std::isfinite(s.vy) && std::isfinite(s.vz);
}

}  // namespace

StepBound longest_fixed_step(FixedStepKind method, std::int32_t nplanet, const StateVector& s0,
                             JulianDate epoch, JulianDate first, JulianDate last) {
  constexpr double kNone = std::numeric_limits<double>::infinity();
  if (!finite_state(s0) || !std::isfinite(epoch) || !std::isfinite(first) || !std::isfinite(last) ||
      radius(s0) == 0)
    return {kNone, StepLimit::Sun, 0};
  last = std::max(last, first);
  const Conic c = conic_of(s0);
  const auto limit = [&](double D) {
    return bound_for(method, nplanet, s0, c, epoch, first, last, D);
  };
  // The bound shrinks as the step grows (the span and its start-ups grow
  // with it), so the steps that serve are those up to one longest step:
  // found by halving an interval of the logarithm of the step, between one
  // far below the bound of a step of 0 days and that bound itself.
  const Limit at_zero = limit(0);
  if (!(at_zero.step > 0)) return {kNone, StepLimit::Sun, 0};
  double good = at_zero.step * 1e-12, bad = at_zero.step;
  Limit best = limit(good);
  if (const Limit l = limit(bad); l.step >= bad) return {bad, l.by, l.closest};
  for (int i = 0; i < 60; ++i) {
    const double mid = std::sqrt(good * bad);
    const Limit l = limit(mid);
    if (l.step >= mid) {
      good = mid;
      best = l;
    } else {
      bad = mid;
    }
  }
  return {good, best.by, best.closest};
}
