#!/bin/sh
# Times the Windows program under Wine on the 1,000,000-row file: from OK in
# the open dialog to the grid painted, scrolling to the last row, and a sort
# and a split by the prefecture column through the window.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/windows-ready.sh"
"$root/scripts/build.sh" native >/dev/null
data="$root/build/bench-data"
mkdir -p "$data"
[ -f "$data/1m.csv" ] || "$root/build/native/bench/quorvel-bench-gen" 1000000 "$data/1m.csv"
prefix="$root/build/windows/wineprefix"
"$root/scripts/run-e2e.sh" "$prefix" "$root/build/windows/tests/quorvel_e2e.exe" "$root/build/windows/Quorvel.exe" \
  "$root/build/bench-window" --bench-open "$data/1m.csv" | grep -a -E "open:|through"
rm -rf "$root/build/bench-window"
