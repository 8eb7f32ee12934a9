#!/usr/bin/env bash
# A name search that matches only the last line of a full-size MPCORB file
# (39 header lines and 1.5 million object lines, built from the real rows
# under shared/data/mpc in a temporary folder), timed against grep -c over
# the same file. The search should take no more than twice grep's time.
#
# Usage: bench/mpcorb_search.sh [build folder]   (default: build-bench)
# The data folder is TEST_DATA_DIR, else ../shared/data beside the project.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/bench_lib.sh"
build=${1:-$root/build-bench}
data=$TEST_DATA_DIR/mpc
lines=1500000
name="Zzyzx Lastline"   # in no real row

need "$data"/NEA_2019-07.txt "$data"/Distant_2019-05.txt
if grep -q "$name" "$data"/NEA_2019-07.txt "$data"/Distant_2019-05.txt; then
  echo "the benchmark name occurs in the real rows" >&2
  exit 1
fi

build_target "$build" mpcorb_search_bench -DBUILD_BENCHMARKS=ON

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
file=$tmp/MPCORB.DAT

# Header, then the real rows over and over, then the one row with the name.
{
  echo "                                   MPCORB benchmark file built from real rows"
  for k in $(seq 2 39); do echo "header line $k"; done
  awk -v n=$((lines - 1)) '
    { row[NR] = $0 }
    END { for (k = 0; k < n; ++k) print row[k % NR + 1] }' \
    "$data"/NEA_2019-07.txt "$data"/Distant_2019-05.txt
  head -1 "$data"/NEA_2019-07.txt |
    awk -v nm="$name" '{ printf "%s%-19s%s\n", substr($0, 1, 175), nm, substr($0, 195) }'
} >"$file"
echo "file: $(wc -l <"$file") lines, $(du -m "$file" | cut -f1) MB"

# Mean wall time in ms of a command over 5 runs, after one run that fills
# the page cache.
mean_ms() {
  "$@" >/dev/null
  local start end
  start=$(date +%s%N)
  for _ in 1 2 3 4 5; do "$@" >/dev/null; done
  end=$(date +%s%N)
  echo $(((end - start) / 5000000))
}

grep_ms=$(mean_ms grep -c "$name" "$file")
[[ $(grep -c "$name" "$file") == 1 ]] || { echo "grep does not find one line" >&2; exit 1; }

csv=$(MPCORB_BENCH_FILE=$file MPCORB_BENCH_NAME=$name \
  "$build"/bench/mpcorb_search_bench --benchmark_format=csv 2>/dev/null)
if grep -q error_occurred <<<"$csv" && grep -q ',true,' <<<"$csv"; then
  echo "$csv" >&2
  exit 1
fi
search_ms=$(awk -F, '/^"BM_NameSearchToLastLine/ { printf "%d", $4 }' <<<"$csv")

echo "grep -c:     $grep_ms ms"
echo "name search: $search_ms ms"
if ((search_ms <= 2 * grep_ms)); then
  echo "within twice grep's time"
else
  echo "SLOWER than twice grep's time"
fi
