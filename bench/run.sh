#!/bin/sh
# Builds the native benchmarks, generates the files once and prints the
# figures: load, sort and split, and the same split by Miller and awk.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" native >/dev/null
bin="$root/build/native"
data="$root/build/bench-data"
mkdir -p "$data"
[ -f "$data/1m.csv" ] || "$bin/bench/quorvel-bench-gen" 1000000 "$data/1m.csv"
[ -f "$data/100k.csv" ] || "$bin/bench/quorvel-bench-gen" 100000 "$data/100k.csv"

echo "== load"
"$bin/bench/quorvel-bench-load" "$data/1m.csv"

echo "== sort and split"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/trials"
"$bin/bench/quorvel-bench-split" "$data/1m.csv" "$data/100k.csv" "$work/trials"
rm -rf "$work/trials"

echo "== split by prefecture, whole command (load and split), best of three, side by side"
now() { date +%s.%N; }
run_in() {  # folder, command...: the best of three runs, in seconds
  dir=$1; shift
  best=""
  for _ in 1 2 3; do
    rm -rf "$dir"; mkdir -p "$dir"; cp "$data/1m.csv" "$dir/"; sync
    start=$(now); (cd "$dir" && "$@" >/dev/null); end=$(now)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}
field=$(printf '都道府県' | iconv -f utf-8 -t cp932)
q=$(run_in "$work/q" "$bin/quorvel-cli" split 1m.csv --columns 8 --key 2)
m=$(run_in "$work/m" mlr --icsv --ocsv split -g "$field" 1m.csv)
a=$(run_in "$work/a" awk -F, 'NR > 1 { print > ("awk_" $3 ".csv") }' 1m.csv)
printf 'quorvel-cli split: %.3f s\nmlr split -g:      %.3f s (%.1f x quorvel)\nawk:               %.3f s (%.1f x quorvel)\n' \
  "$q" "$m" "$(echo "$m / $q" | bc -l)" "$a" "$(echo "$a / $q" | bc -l)"
