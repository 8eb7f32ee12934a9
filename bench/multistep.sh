#!/usr/bin/env bash
# Wall time and force evaluations of the multistep methods over a 499-line
# listing 98 years from the epoch: COWELL with DEL 1, ENCKE with DEL 2, and
# RKD beside them, with the DE405 file (argument 0) and with mean planets
# (argument 1); bench/multistep_bench.cpp says how.
#
# Usage: bench/multistep.sh [build folder]   (default: build-bench)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j4 --target multistep_bench >/dev/null
"$build"/bench/multistep_bench --benchmark_counters_tabular=true
