// Cost of one KEPLER call over a long interval, for an elliptic and a
// hyperbolic heliocentric state (Gaussian units, equatorial J2000).
#include <benchmark/benchmark.h>

#include "kepler.h"
#include "types.h"

namespace {

constexpr JulianDate kT0 = 2451545.0;

// A main-belt orbit (a = 2.83 AU, e = 0.21) carried 36525 days, some 21
// periods, so that the whole-period reduction takes part.
void BM_KeplerEllipseCentury(benchmark::State& state) {
  const StateVector s0{1.9, 1.2, 0.4, -0.45, 0.54, 0.17};
  StateVector s;
  for (auto _ : state) {
    KEPLER(s0, kT0, s, kT0 + 36525.0);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_KeplerEllipseCentury);

// A hyperbolic orbit (a = -5.6 AU, e = 1.19) carried 36525 days forward
// (argument 1) and back (argument 0): the two branches of the hyperbolic
// start.
void BM_KeplerHyperbolaCentury(benchmark::State& state) {
  const StateVector s0{0.9, -0.6, 0.3, 0.6, 1.2, -0.4};
  const double span = state.range(0) ? 36525.0 : -36525.0;
  StateVector s;
  for (auto _ : state) {
    KEPLER(s0, kT0, s, kT0 + span);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_KeplerHyperbolaCentury)->Arg(1)->Arg(0);

}  // namespace
