#!/usr/bin/env bash
# A whole tav run that prints a 499-line ASTRM listing of Ceres with the
# DE405 file (the Kepler solution, geocentric, daily from 2023 Jan 1), timed
# against the same run with NPOS = 1, which is little more than the start-up:
# the dialogue, the MPCORB search and the first records of the JPL file.
# The console goes to /dev/null.
#
# Usage: bench/listing_run.sh [build folder]   (default: build-bench)
# The data folder is TEST_DATA_DIR, else ../shared/data beside the project.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/bench/bench_lib.sh"
build=$(realpath -m "${1:-$root/build-bench}")
de405=$TEST_DATA_DIR/de405/de405_2000-2040_le.bin
need "$de405"

build_target "$build" tav

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$root"/run/tavastrm.ini "$root"/run/MPCORB.DAT "$tmp"/
ln -s "$de405" "$tmp"/JPLEPH.405

# Answers: no capture file, the ASTRM file, NPOS, the first date, the JPL
# file, Ceres by number, no other ephemeris.
answers() {
  printf '\n3\nnpos\n%d\nyear\n2023\nplanet\njpl\n\n1\n1\nn\n' "$1"
}
answers 499 >"$tmp"/long.in
answers 1 >"$tmp"/short.in
lines=$(cd "$tmp" && "$build"/tav/tav <long.in | grep -ac '^ 20[0-9][0-9]-')
[[ $lines == 499 ]] || { echo "the listing has $lines lines, not 499" >&2; exit 1; }

# Mean wall time in ms of a run over 20 runs, after one that fills the page
# cache.
mean_ms() {
  (cd "$tmp" && "$build"/tav/tav <"$1" >/dev/null)
  local start end
  start=$(date +%s%N)
  for _ in $(seq 20); do (cd "$tmp" && "$build"/tav/tav <"$1" >/dev/null); done
  end=$(date +%s%N)
  echo "scale=1; ($end - $start) / 20000000" | bc
}

echo "NPOS = 499: $(mean_ms long.in) ms"
echo "NPOS = 1:   $(mean_ms short.in) ms"
