#!/usr/bin/env bash
# Wall time, force evaluations and steps of RKD listings with ten perturbing
# bodies from the DE405 file of 1960-2060 (bench/rkd_listing_bench.cpp drives
# START_RKD and RKDINT with a sink that does the listing's per-entry work):
# 499 lines of a main-belt asteroid whose first listed time lies 98 years
# after its epoch, which should take no more than a few tenths of a second,
# and 30 lines of comets started at a perihelion of 0.01 AU (2 years on) or
# 0.0055 AU (20, 10 and 2 years before and after), a few milliseconds to a
# few tens each.
#
# Usage: bench/rkd_listing.sh [build folder]   (default: build-bench)
# The data folder is TEST_DATA_DIR, else ../shared/data beside the project.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/bench_lib.sh"
build=${1:-$root/build-bench}
need "$TEST_DATA_DIR/de405/de405_1960-2060_le.bin"

build_target "$build" rkd_listing_bench -DBUILD_BENCHMARKS=ON

run_benchmark "$build/bench/rkd_listing_bench" --benchmark_min_time=2 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_counters_tabular=true

# Where the time goes, when valgrind is at hand: the functions with the most
# instructions in one run of the main-belt listing.
if command -v valgrind >/dev/null && command -v callgrind_annotate >/dev/null; then
  tmp=$(mktemp -d)
  trap 'rm -rf "$tmp"' EXIT
  valgrind --tool=callgrind --callgrind-out-file="$tmp/cg.out" \
    "$build/bench/rkd_listing_bench" --benchmark_min_time=0.001 \
    --benchmark_filter=BM_RkdListing98Years >/dev/null 2>&1
  echo
  echo "Instructions by function (one run, callgrind):"
  callgrind_annotate --inclusive=no "$tmp/cg.out" 2>/dev/null |
    grep -E '^ *[0-9,]+ \( *[0-9.]+%\)' | sed -n '2,9p' | cut -c1-120
fi
