// Time of one MPCORB name search through a whole file, driven by
// bench/mpcorb_search.sh: MPCORB_BENCH_FILE names the file and
// MPCORB_BENCH_NAME the name that only its last line holds.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "mpcorb.h"
#include "records.h"
#include "textio.h"

namespace {

void BM_NameSearchToLastLine(benchmark::State& state) {
  const char* file = std::getenv("MPCORB_BENCH_FILE");
  const char* name = std::getenv("MPCORB_BENCH_NAME");
  if (!file || !name) {
    state.SkipWithError("MPCORB_BENCH_FILE and MPCORB_BENCH_NAME are not set");
    return;
  }
  // The file name must fit the 32 characters of MPCFILE: work beside it.
  const std::filesystem::path path = std::filesystem::absolute(file);
  std::filesystem::current_path(path.parent_path());
  Text<32> mpcfile;
  mpcfile = path.filename().string();
  const std::string answer = std::string(name) + "\n";

  ElementSet el;
  for (auto _ : state) {
    std::FILE* in = fmemopen(const_cast<char*>(answer.data()), answer.size(), "r");
    std::FILE* out = std::fopen("/dev/null", "w");
    console().attach(in, out);
    GET_MPC_ELEMENTS(mpcfile, 2, el, OBJECT.H, OBJECT.G);
    console().attach(stdin, stdout);
    std::fclose(in);
    std::fclose(out);
    benchmark::DoNotOptimize(el);
  }
  if (OBJECT.NAME.view().substr(9, 16) != std::string(name).append(16, ' ').substr(0, 16))
    state.SkipWithError("the search did not find the last line");
}

}  // namespace

BENCHMARK(BM_NameSearchToLastLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
