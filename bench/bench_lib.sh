# shellcheck shell=bash
# Sourced by the benchmark scripts after they set `root` (the project): the
# data folder, taken when the script runs, and the run of a Google Benchmark
# program that fails when one of its benchmarks reports an error.

# The data folder: TEST_DATA_DIR, else ../shared/data beside the project, as
# an absolute path. Exported, so that the benchmark programs
# (bench/bench_data.h) read the same.
TEST_DATA_DIR=$(realpath -m "${TEST_DATA_DIR:-$root/../shared/data}")
export TEST_DATA_DIR

# need FILE...: fails with one line naming the first file that is missing.
need() {
  local f
  for f in "$@"; do
    [[ -r $f ]] || { echo "missing $f (set TEST_DATA_DIR to the data folder)" >&2; exit 1; }
  done
}

# build_target BUILD TARGET [CMAKE-OPTION...]: a Release build of TARGET in
# the folder BUILD, quietly.
build_target() {
  local build=$1 target=$2
  shift 2
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$build" -j4 --target "$target" >/dev/null
}

# run_benchmark PROGRAM [ARG...]: runs the benchmark program, its table on
# standard output, and fails when any benchmark reported an error (Google
# Benchmark shows "ERROR OCCURRED" in the table but exits 0).
run_benchmark() {
  local json
  json=$(mktemp)
  "$@" --benchmark_out="$json" --benchmark_out_format=json
  if grep -q '"error_occurred": true' "$json"; then
    echo "$(basename "$1"): a benchmark reported an error:" \
      "$(grep -m1 '"error_message"' "$json" | sed 's/^ *"error_message": "\(.*\)",*$/\1/')" >&2
    rm -f "$json"
    exit 1
  fi
  rm -f "$json"
}
