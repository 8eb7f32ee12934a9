// Cost of one planet request from the JPL file: Jupiter relative to the Sun
// at dates inside one data record (the record is read once, then cached), as
// the force model asks during an integration.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_data.h"
#include "jplread.h"
#include "plephx.h"
#include "records.h"

namespace {

void BM_PlephxJupiterFromSun(benchmark::State& state) {
  const std::string path = bench_data::de405_path("de405_2000-2040_le.bin").string();
  if (!std::filesystem::exists(path)) {
    state.SkipWithError(("no DE405 file " + path).c_str());
    return;
  }
  reset_records();
  reset_ephemeris_reader();
  JPLNAM.JPLFILE.assign(path);
  // Dates spread over one 32-day record (2454992.5 to 2455024.5), each a new
  // normalised time so that the Chebyshev values are worked out every time.
  constexpr int kDates = 256;
  double dates[kDates];
  for (int k = 0; k < kDates; ++k) dates[k] = 2454992.5 + 0.001 + 31.99 * k / kDates;
  BodyState r;
  int k = 0;
  for (auto _ : state) {
    PLEPHX(dates[k], 5, 11, r);
    benchmark::DoNotOptimize(r);
    k = (k + 1) % kDates;
  }
  state.counters["record_reads"] = static_cast<double>(ephemeris_record_reads());
  reset_ephemeris_reader();
}
BENCHMARK(BM_PlephxJupiterFromSun);

}  // namespace
