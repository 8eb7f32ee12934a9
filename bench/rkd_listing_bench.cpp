// RKD listings with ten perturbing bodies from the DE405 file of 1960-2060:
// the whole of START_RKD and RKDINT, with the listing filled by a sink that
// does what the window mode of the listing does per entry (two-body motion
// to the entry's date and the Sun seen from the Earth through PLEPHX).
//   - 499 lines of a main-belt asteroid whose first listed time lies 98
//     years after the epoch of its elements;
//   - comets started at perihelion, 30 daily lines some years away: one of
//     q = 0.01 AU listed 2 years on, and the Kreutz sungrazer C/2011 W3
//     (q = 0.0055 AU) listed 20, 10 and 2 years before and after. Their
//     first step, some 1e-5 day, has an error estimate of 0; a run whose
//     steps stay that short stops after ten million of them (the benchmark
//     then reports an error);
//   - comets as kestle makes them (peri 30, node 40, inc 50, perihelion
//     2023 Feb 25.0) with q 0.005 to 0.3 AU and e 0.9 to 1.05, started at
//     perihelion, 0.1 day and 30 days before it, 30 lines 12.5 days apart
//     from one year after perihelion: near the Sun every step is short and
//     held to its tolerance (the slowest, q 0.005 and e 0.9, goes round the
//     Sun every 4 days);
//   - (99942) Apophis from its MPCORB elements of 2019 July 2.0, daily
//     lines from 2029 April 14 to 2030 August 13, through and after its
//     approach to the Earth of April 13.
// Counters: force evaluations, RKD steps, RK7 carries of the element files
// (both files are written to a scratch sink, not to disk).
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
#include "stop.h"

namespace {

constexpr double R = ASTCON::RADDEG;
constexpr JulianDate kEpoch = 2437300.5;             // 1961 January 1.0
constexpr JulianDate kFirst = kEpoch + 98 * 365.25;  // 2059 January 1.0
constexpr double kSpacing = 0.75;                    // days: the file ends in 2060
constexpr std::int32_t kLines = 499;

// Ceres's elements of 2023, set at the epoch above: a main-belt orbit.
const ElementSet kOrbit{0.0788175,    10.58634 / R, 80.26013 / R,
                        73.47045 / R, 2.7671817,    kEpoch - 17.21569 / 0.21411523};

// C/2011 W3 (Lovejoy), MPC elements: perihelion 2011 December 16.0 TT,
// J2000 ecliptic; the epoch of the comets is their perihelion.
constexpr JulianDate kPerihelion = 2455911.5;
const ElementSet kLovejoy{0.999929, 134.355 / R, 326.368 / R, 53.550 / R, 0.005551, kPerihelion};
// The same orbit with q = 0.01 AU and e = 0.999.
const ElementSet kCometQ001{0.999, 134.355 / R, 326.368 / R, 53.550 / R, 0.01, kPerihelion};
constexpr std::int32_t kCometLines = 30;

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

// Records for a listing of `lines` lines from `first`, `spacing` days apart;
// false, with the benchmark marked as failed, when the DE405 file is absent.
bool setup(benchmark::State& state, JulianDate first, double spacing, std::int32_t lines) {
  const std::string de405 = bench_data::de405_path("de405_1960-2060_le.bin").string();
  if (!std::filesystem::exists(de405)) {
    state.SkipWithError(("no DE405 file " + de405).c_str());
    return false;
  }
  reset_records();
  reset_ephemeris_reader();
  JPLNAM.JPLFILE = de405;
  PLNSRC.IMEAN = 0;
  load_de405_masses(10);
  FILES.STFILE = "start.ele";
  FILES.ENDFIL = "end.ele";
  for (std::int32_t i = 1; i <= lines + 1; ++i) POSNS.TJD(i) = first + spacing * (i - 1);
  return true;
}

// START_RKD and RKDINT from the orbit `el` at `epoch` through the listing
// that setup() laid, as often as the benchmark asks, with the counters.
void run_listing(benchmark::State& state, const ElementSet& el, std::int32_t form, JulianDate epoch,
                 std::int32_t lines) {
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
  ELEM2XV(el, epoch, form, s0);
  ListingWork sink;
  const double direction = POSNS.TJD(1) >= epoch ? 3.0 : -3.0;
  for (auto _ : state) {
    force1 = force = 0;
    double H = 0;
    START_RKD(s0.x, s0.y, s0.z, epoch, direction, H, counted);
    try {
      RKDINT(s0, epoch, lines, H, sink, counted1, counted);
    } catch (const ProgramStop&) {
      state.SkipWithError("the RKD integration stopped");
      break;
    }
    benchmark::DoNotOptimize(sink.last_saved);
  }
  state.counters["force_evaluations"] = static_cast<double>(force1 + force);
  state.counters["rkd_steps"] = static_cast<double>(force1 / 9);
  state.counters["rk7_carries"] = static_cast<double>((force - 2) / 7);
}

void BM_RkdListing98Years(benchmark::State& state) {
  if (setup(state, kFirst, kSpacing, kLines)) run_listing(state, kOrbit, 0, kEpoch, kLines);
}
BENCHMARK(BM_RkdListing98Years)->Unit(benchmark::kMillisecond);

void BM_RkdCometQ001TwoYearsOn(benchmark::State& state) {
  if (setup(state, kPerihelion + 2 * 365.25, 1.0, kCometLines))
    run_listing(state, kCometQ001, 1, kPerihelion, kCometLines);
}
BENCHMARK(BM_RkdCometQ001TwoYearsOn)->Unit(benchmark::kMillisecond);

// The argument: years from the perihelion to the first listed time.
void BM_RkdKreutz(benchmark::State& state) {
  const double years = static_cast<double>(state.range(0));
  if (setup(state, kPerihelion + years * 365.25, 1.0, kCometLines))
    run_listing(state, kLovejoy, 1, kPerihelion, kCometLines);
}
BENCHMARK(BM_RkdKreutz)
    ->Arg(-20)
    ->Arg(-10)
    ->Arg(-2)
    ->Arg(2)
    ->Arg(10)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond);

// Kestle's comets; the arguments: q in units of 0.0001 AU, e in units of
// 0.001, days from the epoch to perihelion in tenths.
constexpr JulianDate kKestlePerihelion = 2460000.5;
void BM_RkdCometNearTheSun(benchmark::State& state) {
  const double q = static_cast<double>(state.range(0)) * 1e-4;
  const double e = static_cast<double>(state.range(1)) * 1e-3;
  const double before = static_cast<double>(state.range(2)) * 0.1;
  const ElementSet el{e, 50 / R, 40 / R, 30 / R, q, kKestlePerihelion};
  if (setup(state, kKestlePerihelion + 365.25, 12.5, kCometLines))
    run_listing(state, el, 1, kKestlePerihelion - before, kCometLines);
}
BENCHMARK(BM_RkdCometNearTheSun)
    ->ArgsProduct({{50, 100, 200, 1000, 3000}, {900, 1000, 1050}, {0, 1, 300}})
    ->Unit(benchmark::kMillisecond);

// (99942) Apophis, MPCORB elements of epoch 2019 July 2.0 TT (K1972).
constexpr JulianDate kApophisEpoch = 2458666.5;
const ElementSet kApophis{0.1914724,     3.33690 / R, 204.05444 / R,
                          126.67983 / R, 0.9225169,   kApophisEpoch - 236.64021 / 1.11235295};
constexpr std::int32_t kApophisLines = 486;
void BM_RkdApophisApproach(benchmark::State& state) {
  if (setup(state, 2462240.5, 1.0, kApophisLines))
    run_listing(state, kApophis, 0, kApophisEpoch, kApophisLines);
}
BENCHMARK(BM_RkdApophisApproach)->Unit(benchmark::kMillisecond);

}  // namespace
