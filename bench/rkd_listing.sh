#!/usr/bin/env bash
# Wall time, force evaluations and steps of RKD listings with ten perturbing
# bodies from the DE405 file of 1960-2060 (bench/rkd_listing_bench.cpp drives
# START_RKD and RKDINT with a sink that does the listing's per-entry work):
# 499 lines of a main-belt asteroid whose first listed time lies 98 years
# after its epoch, which should take no more than a few tenths of a second;
# 30 lines of comets started at a perihelion of 0.01 AU (2 years on) or
# 0.0055 AU (20, 10 and 2 years before and after), a few milliseconds each;
# 30 lines of comets of q 0.005 to 0.3 AU and e 0.9 to 1.05 a year after
# perihelion, from an epoch at perihelion, 0.1 day and 30 days before it
# (the arguments: q in 0.0001 AU, e in 0.001, days before in tenths), up to
# about half a second for q 0.005 and e 0.9, which goes round the Sun every
# 4 days; and Apophis, daily lines for 16 months after its approach to the
# Earth of 2029 April 13, some 25 milliseconds.
#
# Usage: bench/rkd_listing.sh [build folder] [other rkd_listing_bench]
#   (default build folder: build-bench). Given another build's benchmark
#   program (of an earlier commit, say), the main-belt listing of both then
#   runs in turn, five times each, 20 listings a time, for a side-by-side
#   comparison of their mean times.
# The data folder is TEST_DATA_DIR, else ../shared/data beside the project.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/bench_lib.sh"
build=${1:-$root/build-bench}
other=${2:-}
need "$TEST_DATA_DIR/de405/de405_1960-2060_le.bin"
[[ -z $other || -x $other ]] || { echo "no benchmark program $other" >&2; exit 1; }

build_target "$build" rkd_listing_bench -DBUILD_BENCHMARKS=ON

run_benchmark "$build/bench/rkd_listing_bench" --benchmark_min_time=2 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_counters_tabular=true \
  --benchmark_filter='^BM_Rkd(Listing98Years|CometQ001TwoYearsOn|Kreutz)'
# The 45 comets near the Sun and Apophis, each timed once for a few tenths of
# a second (a few minutes at the settings above).
run_benchmark "$build/bench/rkd_listing_bench" --benchmark_min_time=0.3 \
  --benchmark_counters_tabular=true --benchmark_filter='^BM_Rkd(CometNearTheSun|Apophis)'

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

# Side by side with the other program: this build's mean, then the other's,
# five rounds.
if [[ -n $other ]]; then
  echo
  echo "Main-belt listing, mean ms of 20 listings: this build, then $other"
  for _ in 1 2 3 4 5; do
    for program in "$build/bench/rkd_listing_bench" "$other"; do
      "$program" --benchmark_filter='^BM_RkdListing98Years$' --benchmark_min_time=0.000001 \
        --benchmark_repetitions=20 --benchmark_report_aggregates_only=true 2>/dev/null |
        awk -v p="$program" '$1 ~ /_mean$/ { printf "%10s ms  %s\n", $2, p }'
    done
  done
fi
