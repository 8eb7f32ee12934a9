// Wall time and force evaluations of a 499-line listing whose first listed
// time lies 98 years after the epoch, by COWELL with DEL 1 day, ENCKE with
// DEL 2 days and RKD, each filling the listing through the ephemeris
// program's own GridSink (the window mode of XVPOS), no element files.
// Two settings (the benchmark's argument):
//   0  the RKD benchmark's (bench/rkd_listing_bench.cpp): Ceres's elements
//      set at 1961 January 1, lines 0.75 day apart from 2059 January 1, ten
//      perturbing bodies from the DE405 file of 1960-2060;
//   1  Ceres at its epoch of 2023 February 25, lines a day apart from 2121,
//      which no DE405 file reaches: the eight mean planets.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "astcon.h"
#include "bench_data.h"
#include "celem.h"
#include "cowell.h"
#include "de405_masses.h"
#include "elements.h"
#include "encke.h"
#include "force.h"
#include "jplread.h"
#include "positions.h"
#include "records.h"
#include "rkd.h"

namespace {

constexpr std::int32_t kNPOS = 499;

struct Setting {
  JulianDate epoch, first;
  double spacing;  // days between listed lines
};
constexpr Setting kSettings[] = {
    {2437300.5, 2437300.5 + 98 * 365.25, 0.75},  // DE405, ten bodies
    {2460000.5, 2460000.5 + 98 * 365.25, 1.0},   // mean planets, eight
};

// The DE405 file of 1960-2060 of the data folder.
std::string de405_file() {
  return bench_data::de405_path("de405_1960-2060_le.bin").string();
}

// Sets the records for the setting and returns Ceres's state at its epoch;
// false when the DE405 file is needed and absent.
bool setup(int which, StateVector& s0, JulianDate& epoch, JulianDate& first) {
  const Setting& k = kSettings[which];
  reset_records();
  reset_mean_elements();
  reset_ephemeris_reader();
  load_de405_masses(which == 0 ? 10 : 8);
  if (which == 0) {
    const std::string de405 = de405_file();
    if (!std::filesystem::exists(de405)) return false;
    JPLNAM.JPLFILE = de405;
    PLNSRC.IMEAN = 0;
  } else {
    PLNSRC.IMEAN = 1;
  }
  POSNS.NCENTER = 3;
  OBSERV.OLAT = 95.0;
  FILES.STFILE = "";
  FILES.ENDFIL = "";
  for (int i = 1; i <= kNPOS + 1; ++i) POSNS.TJD(i) = k.first + k.spacing * (i - 1);
  // (1) Ceres, MPCORB elements of epoch K232P, set at the setting's epoch.
  const double d = 1 / ASTCON::RADDEG;
  const ElementSet el{0.0788175,    10.58634 * d, 80.26013 * d,
                      73.47045 * d, 2.7671817,    k.epoch - 17.21569 / 0.21411523};
  ELEM2XV(el, k.epoch, 0, s0);
  epoch = k.epoch;
  first = k.first;
  return true;
}

// setup() for the benchmark's argument; false, with the benchmark marked as
// skipped, when the DE405 file is absent.
bool prepared(benchmark::State& state, StateVector& s0, JulianDate& epoch, JulianDate& first) {
  if (setup(static_cast<int>(state.range(0)), s0, epoch, first)) return true;
  state.SkipWithError(("no DE405 file " + de405_file()).c_str());
  return false;
}

// An acceleration that counts its calls.
AccelerationFn counting(std::int64_t& n, Acceleration* f) {
  return [&n, f](double x, double y, double z, double S, double& ax, double& ay, double& az,
                 JulianDate T) {
    ++n;
    f(x, y, z, S, ax, ay, az, T);
  };
}

void BM_CowellDel1(benchmark::State& state) {
  StateVector s0;
  JulianDate epoch = 0, first = 0;
  if (!prepared(state, s0, epoch, first)) return;
  std::int64_t forces = 0;
  const AccelerationFn counted = counting(forces, FORCE);
  for (auto _ : state) {
    forces = 0;
    GridSink sink;
    StateVector s;
    JulianDate tout = first;
    COWLS(s0, epoch, s, 1.0, kNPOS, tout, sink, counted);
    benchmark::DoNotOptimize(s);
  }
  state.counters["force_evaluations"] = static_cast<double>(forces);
}
BENCHMARK(BM_CowellDel1)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EnckeDel2(benchmark::State& state) {
  StateVector s0;
  JulianDate epoch = 0, first = 0;
  if (!prepared(state, s0, epoch, first)) return;
  std::int64_t forces = 0, deviations = 0;
  const AccelerationFn counted = counting(forces, FORCE);
  const DeviationFn counted_rhs = [&](double XR, double YR, double ZR, double DX, double DY,
                                      double DZ, double S, JulianDate T, double& AX, double& AY,
                                      double& AZ) {
    ++deviations;
    RHS(XR, YR, ZR, DX, DY, DZ, S, T, AX, AY, AZ);
  };
  for (auto _ : state) {
    forces = deviations = 0;
    GridSink sink;
    StateVector s;
    JulianDate tout = first;
    ENCKE(s0, epoch, s, 2.0, kNPOS, tout, sink, counted, counted_rhs);
    benchmark::DoNotOptimize(s);
  }
  // The RK7 start-up's FORCE calls and the steps' RHS calls.
  state.counters["force_evaluations"] = static_cast<double>(forces + deviations);
  state.counters["rhs_evaluations"] = static_cast<double>(deviations);
}
BENCHMARK(BM_EnckeDel2)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// RKD as the ephemeris program starts it: START_RKD under FORCE, the steps
// under FORCE1, the element-file steps under FORCE (none here).
void BM_Rkd(benchmark::State& state) {
  StateVector s0;
  JulianDate epoch = 0, first = 0;
  if (!prepared(state, s0, epoch, first)) return;
  std::int64_t forces = 0;
  const AccelerationFn force = counting(forces, FORCE), force1 = counting(forces, FORCE1);
  for (auto _ : state) {
    forces = 0;
    GridSink sink;
    double H = 0;
    START_RKD(s0.x, s0.y, s0.z, epoch, 3.0, H, force);
    RKDINT(s0, epoch, kNPOS, H, sink, force1, force);
  }
  state.counters["force_evaluations"] = static_cast<double>(forces);
}
BENCHMARK(BM_Rkd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
