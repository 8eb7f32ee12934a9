// Wall time and force evaluations of a 499-line listing that begins 98 years
// after the epoch of (1) Ceres: COWELL with DEL 1 day, ENCKE with DEL 2 days,
// and RKD. The planets come from the mean elements (no
// DE405 file reaches 2121), the eight of NPLANET 8; the listing lines are one
// day apart and filled as the window mode of the listing fills them, by
// two-body motion from the nearest step.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

#include "astcon.h"
#include "celem.h"
#include "cowell.h"
#include "elements.h"
#include "encke.h"
#include "force.h"
#include "kepler.h"
#include "listing_sink.h"
#include "records.h"
#include "rkd.h"
#include "tav.h"
#include "textio.h"

namespace {

constexpr JulianDate kEpoch = 2460000.5;           // 2023 Feb. 25.0 TT
constexpr JulianDate kJD0 = kEpoch + 98 * 365.25;  // first listed time
constexpr std::int32_t kNPOS = 499;

class WindowFill : public ListingSink {
 public:
  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override {
    while (COUNT <= kGridSize && std::abs(t - POSNS.TJD(COUNT)) < del) {
      StateVector e;
      KEPLER(s, t, e, POSNS.TJD(COUNT));
      benchmark::DoNotOptimize(e);
      ++COUNT;
    }
  }
  void save(const StateVector&, JulianDate, const Text<30>&) override {}
};

StateVector setup() {
  reset_records();
  reset_mean_elements();
  for (int k = 1; k <= 10; ++k) PERTRB.MASS(k) = kDe405Mass.at(k - 1);
  PERTRB.NPLANET = 8;
  PLNSRC.IMEAN = 1;
  FILES.STFILE = "";
  FILES.ENDFIL = "";
  for (int i = 1; i <= kNPOS + 1; ++i) POSNS.TJD(i) = kJD0 + (i - 1);
  // (1) Ceres, MPCORB elements of epoch K232P.
  const double d = 1 / ASTCON::RADDEG;
  const ElementSet el{0.0788175,    10.58634 * d, 80.26013 * d,
                      73.47045 * d, 2.7671817,    kEpoch - 17.21569 / 0.21411523};
  StateVector s;
  ELEM2XV(el, kEpoch, 0, s);
  return s;
}

void BM_CowellDel1(benchmark::State& state) {
  const StateVector s0 = setup();
  std::int64_t forces = 0;
  const AccelerationFn counted = [&](double x, double y, double z, double S, double& ax, double& ay,
                                     double& az, JulianDate T) {
    ++forces;
    FORCE(x, y, z, S, ax, ay, az, T);
  };
  for (auto _ : state) {
    forces = 0;
    WindowFill sink;
    StateVector s;
    JulianDate tout = kJD0;
    COWLS(s0, kEpoch, s, 1.0, kNPOS, tout, sink, counted);
    benchmark::DoNotOptimize(s);
  }
  state.counters["force_evaluations"] = static_cast<double>(forces);
}
BENCHMARK(BM_CowellDel1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EnckeDel2(benchmark::State& state) {
  const StateVector s0 = setup();
  std::int64_t forces = 0, deviations = 0;
  const AccelerationFn counted = [&](double x, double y, double z, double S, double& ax, double& ay,
                                     double& az, JulianDate T) {
    ++forces;
    FORCE(x, y, z, S, ax, ay, az, T);
  };
  const DeviationFn counted_rhs = [&](double XR, double YR, double ZR, double DX, double DY,
                                      double DZ, double S, JulianDate T, double& AX, double& AY,
                                      double& AZ) {
    ++deviations;
    RHS(XR, YR, ZR, DX, DY, DZ, S, T, AX, AY, AZ);
  };
  for (auto _ : state) {
    forces = deviations = 0;
    WindowFill sink;
    StateVector s;
    JulianDate tout = kJD0;
    ENCKE(s0, kEpoch, s, 2.0, kNPOS, tout, sink, counted, counted_rhs);
    benchmark::DoNotOptimize(s);
  }
  // The RK7 start-up's FORCE calls and the steps' RHS calls.
  state.counters["force_evaluations"] = static_cast<double>(forces + deviations);
  state.counters["rhs_evaluations"] = static_cast<double>(deviations);
}
BENCHMARK(BM_EnckeDel2)->Unit(benchmark::kMillisecond)->Iterations(3);

// RKD as the ephemeris program starts it: START_RKD under FORCE, the steps
// under FORCE1, the element-file steps under FORCE (none here).
void BM_Rkd(benchmark::State& state) {
  const StateVector s0 = setup();
  std::int64_t forces = 0;
  const auto counting =
      [&](void (*f)(double, double, double, double, double&, double&, double&, JulianDate)) {
        return AccelerationFn([&forces, f](double x, double y, double z, double S, double& ax,
                                           double& ay, double& az, JulianDate T) {
          ++forces;
          f(x, y, z, S, ax, ay, az, T);
        });
      };
  const AccelerationFn force = counting(FORCE), force1 = counting(FORCE1);
  for (auto _ : state) {
    forces = 0;
    WindowFill sink;
    double H = 0;
    START_RKD(s0.x, s0.y, s0.z, kEpoch, 3.0, H, force);
    RKDINT(s0, kEpoch, kNPOS, H, sink, force1, force);
  }
  state.counters["force_evaluations"] = static_cast<double>(forces);
}
BENCHMARK(BM_Rkd)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
