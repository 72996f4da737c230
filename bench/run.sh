#!/bin/sh
# Builds the native benchmarks, generates the 1,000,000-row file once and
# prints the figures.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" native >/dev/null
data="$root/build/bench-data"
mkdir -p "$data"
[ -f "$data/1m.csv" ] || "$root/build/native/bench/quorvel-bench-gen" 1000000 "$data/1m.csv"
"$root/build/native/bench/quorvel-bench-load" "$data/1m.csv"
