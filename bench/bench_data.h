// The real data of the benchmarks, found when they run: the folder named by
// the environment variable TEST_DATA_DIR, else ../shared/data beside the
// project (BENCH_DEFAULT_DATA_DIR, set by bench/CMakeLists.txt). A benchmark
// whose file is absent reports an error (State::SkipWithError), which makes
// the script that runs it fail.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace bench_data {

inline std::filesystem::path data_dir() {
  const char* dir = std::getenv("TEST_DATA_DIR");
  return dir && *dir ? std::filesystem::path(dir) : std::filesystem::path(BENCH_DEFAULT_DATA_DIR);
}

// The file `name` of the data folder's de405/ (whether or not it is there).
inline std::filesystem::path de405_path(std::string_view name) {
  return data_dir() / "de405" / name;
}

}  // namespace bench_data
