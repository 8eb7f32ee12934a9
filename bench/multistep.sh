#!/usr/bin/env bash
# Wall time and force evaluations of the multistep methods over a 499-line
# listing 98 years from the epoch: COWELL with DEL 1, ENCKE with DEL 2, and
# RKD beside them, with the DE405 file (argument 0) and with mean planets
# (argument 1); bench/multistep_bench.cpp says how.
#
# Usage: bench/multistep.sh [build folder]   (default: build-bench)
# The data folder is TEST_DATA_DIR, else ../shared/data beside the project.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/bench_lib.sh"
build=${1:-$root/build-bench}
need "$TEST_DATA_DIR/de405/de405_1960-2060_le.bin"

build_target "$build" multistep_bench -DBUILD_BENCHMARKS=ON
run_benchmark "$build"/bench/multistep_bench --benchmark_counters_tabular=true
