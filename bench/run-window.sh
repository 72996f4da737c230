#!/bin/sh
# Times the Windows program under Wine: the 1,000,000-row file from OK in
# the open dialog to the grid painted, Ctrl+End to its last row, a sort and
# a split by the prefecture column through the window; the same file
# opened by lines (Ctrl+L), and in process the load with and without the
# check of its lines against the rows; then the
# 2,400,000-row file, over the grid's cap, opened as a preview and split
# whole through the window, beside quorvel-cli's native time for the same
# split, and the ways to read the file into memory under Wine. Every run is
# printed:  run-window.sh [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-2}
"$root/scripts/windows-ready.sh"
"$root/scripts/build.sh" native >/dev/null
data="$root/build/bench-data"
mkdir -p "$data"
[ -f "$data/1m.csv" ] || "$root/build/native/bench/quorvel-bench-gen" 1000000 "$data/1m.csv"
[ -f "$data/2400k.csv" ] || "$root/build/native/bench/quorvel-bench-gen" 2400000 "$data/2400k.csv"
prefix="$root/build/windows/wineprefix"
driver="$root/build/windows/tests/quorvel_e2e.exe"
program="$root/build/windows/Quorvel.exe"
work="$root/build/bench-window"
run=1
while [ "$run" -le "$runs" ]; do
  echo "-- run $run"
  "$root/scripts/run-e2e.sh" "$prefix" "$driver" "$program" "$work" --bench-open "$data/1m.csv" |
    grep -a -E "open:|through" | tee "$work.open"
  "$root/scripts/run-e2e.sh" "$prefix" "$driver" "$program" "$work" --bench-open-lines "$data/1m.csv" |
    grep -a -E "open by lines" | tee "$work.lines"
  tokens=$(tr -d '\r' < "$work.open" | sed -n 's/.*painted in \([0-9.]*\) s;.*/\1/p')
  lines=$(tr -d '\r' < "$work.lines" | sed -n 's/.*painted in \([0-9.]*\) s$/\1/p')
  [ -n "$tokens" ] && [ -n "$lines" ] &&
    echo "open by lines / 開く: $(echo "$lines / $tokens" | bc -l | cut -c1-4) x (target at most 1.2 x)"
  # The line check of 開く, in process under Wine: the same load with it
  # and without it, three runs each.
  wfile=$(WINEPREFIX="$prefix" WINEDEBUG=-all winepath -w "$data/1m.csv" 2>/dev/null)
  for check in "" --no-line-check; do
    "$root/scripts/wine-run.sh" "$prefix" "$root/build/windows/bench/quorvel-bench-load.exe" "$wfile" 8 1500 $check \
      2>/dev/null | tr -d '\r' | grep -E "^reading|^  load"
  done
  "$root/scripts/run-e2e.sh" "$prefix" "$driver" "$program" "$work" --bench-preview "$data/2400k.csv" |
    grep -a -E "open of|through"
  # The same split natively: 8 columns, by the third.
  rm -rf "$work" && mkdir -p "$work" && cp "$data/2400k.csv" "$work/bench.csv"
  seconds=$( { /usr/bin/time -f %e "$root/build/native/quorvel-cli" split "$work/bench.csv" --columns 8 --key 2 \
      >/dev/null; } 2>&1 | tail -1)
  echo "quorvel-cli split of the same file, natively: $seconds s"
  echo "reading the 1,000,000-row file into memory under Wine:"
  "$root/scripts/wine-run.sh" "$prefix" "$root/build/windows/bench/quorvel-bench-read.exe" \
    "$(WINEPREFIX="$prefix" WINEDEBUG=-all winepath -w "$data/1m.csv" 2>/dev/null)" 1 2>/dev/null | tr -d '\r'
  rm -rf "$work"
  run=$((run + 1))
done
