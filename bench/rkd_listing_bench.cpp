// A 499-line RKD listing of a main-belt asteroid whose first listed time lies
// 98 years after the epoch of its elements, with ten perturbing bodies from
// the DE405 file of 1960-2060: the whole of START_RKD and RKDINT, with the
// listing filled by a sink that does what the window mode of the listing
// does per entry (two-body motion to the entry's date and the Sun seen from
// the Earth through PLEPHX). Counters: force evaluations, RKD steps, RK7
// carries of the element files (both files are written to a scratch
// sink, not to disk).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "astcon.h"
#include "bench_data.h"
#include "de405_masses.h"
#include "elements.h"
#include "force.h"
#include "jplread.h"
#include "plephx.h"
#include "records.h"
#include "rkd.h"

namespace {

constexpr double R = ASTCON::RADDEG;
constexpr JulianDate kEpoch = 2437300.5;             // 1961 January 1.0
constexpr JulianDate kFirst = kEpoch + 98 * 365.25;  // 2059 January 1.0
constexpr double kSpacing = 0.75;                    // days: the file ends in 2060
constexpr std::int32_t kLines = 499;

// Ceres's elements of 2023, set at the epoch above: a main-belt orbit.
const ElementSet kOrbit{0.0788175,    10.58634 / R, 80.26013 / R,
                        73.47045 / R, 2.7671817,    kEpoch - 17.21569 / 0.21411523};

class ListingWork : public ListingSink {
 public:
  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override {
    while (COUNT <= kGridSize && std::fabs(t - POSNS.TJD(COUNT)) < del) {
      StateVector e;
      SEL_ORB(s, t, e, POSNS.TJD(COUNT), 0);
      BodyState sun{};
      PLEPHX(POSNS.TJD(COUNT), 11, 3, sun);
      POSNS.RA(COUNT) = std::atan2(e.y + sun[1], e.x + sun[0]);
      ++COUNT;
    }
  }
  void save(const StateVector& s, JulianDate, const Text<30>&) override { last_saved = s; }
  StateVector last_saved;
};

void setup(const std::string& de405) {
  reset_records();
  reset_ephemeris_reader();
  JPLNAM.JPLFILE = de405;
  PLNSRC.IMEAN = 0;
  load_de405_masses(10);
  FILES.STFILE = "start.ele";
  FILES.ENDFIL = "end.ele";
  for (std::int32_t i = 1; i <= kLines + 1; ++i) POSNS.TJD(i) = kFirst + kSpacing * (i - 1);
}

void BM_RkdListing98Years(benchmark::State& state) {
  const std::string de405 = bench_data::de405_path("de405_1960-2060_le.bin").string();
  if (!std::filesystem::exists(de405)) {
    state.SkipWithError(("no DE405 file " + de405).c_str());
    return;
  }
  setup(de405);
  std::int64_t force1 = 0, force = 0;
  const AccelerationFn counted1 = [&](double x, double y, double z, double S, double& ax,
                                      double& ay, double& az, JulianDate T) {
    ++force1;
    FORCE1(x, y, z, S, ax, ay, az, T);
  };
  const AccelerationFn counted = [&](double x, double y, double z, double S, double& ax, double& ay,
                                     double& az, JulianDate T) {
    ++force;
    FORCE(x, y, z, S, ax, ay, az, T);
  };
  StateVector s0;
  ELEM2XV(kOrbit, kEpoch, 0, s0);
  ListingWork sink;
  for (auto _ : state) {
    force1 = force = 0;
    double H = 0;
    START_RKD(s0.x, s0.y, s0.z, kEpoch, 3.0, H, counted);
    RKDINT(s0, kEpoch, kLines, H, sink, counted1, counted);
    benchmark::DoNotOptimize(sink.last_saved);
  }
  state.counters["force_evaluations"] = static_cast<double>(force1 + force);
  state.counters["rkd_steps"] = static_cast<double>(force1 / 9);
  state.counters["rk7_carries"] = static_cast<double>((force - 2) / 7);
}
BENCHMARK(BM_RkdListing98Years)->Unit(benchmark::kMillisecond);

}  // namespace
