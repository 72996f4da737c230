#!/bin/sh
# Prints, in one run, every speed figure beside its target and beside the
# peers: Miller, an awk one-liner, and the floors (cp of the file, a bare
# loop writing the same pieces). Natively, then the Windows build under
# Wine.   bench/run.sh [--native]   (--native: leave out the Wine part)
set -eu
native_only=${1:-}
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" native >/dev/null
bin="$root/build/native"
data="$root/build/bench-data"
mkdir -p "$data"
[ -f "$data/1m.csv" ] || "$bin/bench/quorvel-bench-gen" 1000000 "$data/1m.csv"
[ -f "$data/100k.csv" ] || "$bin/bench/quorvel-bench-gen" 100000 "$data/100k.csv"
[ -f "$data/10k.csv" ] || "$bin/bench/quorvel-bench-gen" 10000 "$data/10k.csv"
[ -f "$data/2400k.csv" ] || "$bin/bench/quorvel-bench-gen" 2400000 "$data/2400k.csv"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

now() { date +%s.%N; }
calc() { echo "$1" | bc -l; }
# The best of N runs of a command in a fresh folder holding a copy of the
# file, in seconds:   best N FOLDER COMMAND...
# Every run's time is kept in FOLDER.runs, for `runs FOLDER` to print.
best() {
  n=$1 dir=$2; shift 2
  fastest=""
  all=""
  for _ in $(seq "$n"); do
    rm -rf "$dir"; mkdir -p "$dir"; cp "$data/1m.csv" "$dir/"; sync
    start=$(now); (cd "$dir" && "$@" >/dev/null); end=$(now)
    t=$(calc "$end - $start")
    all="$all $(printf '%.3f' "$t")"
    if [ -z "$fastest" ] || [ "$(calc "$t < $fastest")" = 1 ]; then fastest=$t; fi
  done
  rm -rf "$dir"
  echo "$all" > "$dir.runs"
  echo "$fastest"
}
runs() { printf '(every run:%s s)' "$(cat "$1.runs")"; }
verdict() {  # value target at-most|at-least
  if [ "$3" = at-most ]; then ok=$(calc "$1 <= $2"); else ok=$(calc "$1 >= $2"); fi
  [ "$ok" = 1 ] && echo met || echo "NOT met"
}

echo "== machine"
echo "cores: $(nproc); $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'); $(date -u +%Y-%m-%dT%H:%MZ)"
size=$(stat -c %s "$data/1m.csv")
printf 'file: 1,000,000 rows, %.1f MB\n' "$(calc "$size / 1000000")"

echo "== floor: cp of the file (best of 5, every run beside it)"
copy=$(best 5 "$work/cp" cp 1m.csv copy.csv)
printf '  cp: %.3f s = %.0f MB/s %s\n' "$copy" "$(calc "$size / 1000000 / $copy")" "$(runs "$work/cp")"

echo "== load, in process (three runs, the best beside cp)"
"$bin/bench/quorvel-bench-load" "$data/1m.csv" 8 1500 | tee "$work/load.txt"
load=$(sed -n 's/^load (best of the three): .* in \([0-9.]*\) s.*/\1/p' "$work/load.txt")
printf '  load / cp: %.2f x\n' "$(calc "$load / $copy")"

echo "== sort and split, in process"
mkdir "$work/trials"
"$bin/bench/quorvel-bench-split" "$data/1m.csv" "$data/100k.csv" "$work/trials"
rm -rf "$work/trials"

echo "== split by prefecture, whole command (load and split, 47 pieces), best of 5 (every run beside it), side by side"
field=$(printf '都道府県' | iconv -f utf-8 -t cp932)
q=$(best 5 "$work/q" "$bin/quorvel-cli" split 1m.csv --columns 8 --key 2)
a=$(best 5 "$work/a" awk -F, 'NR > 1 { print > ("awk_" $3 ".csv") }' 1m.csv)
m=$(best 3 "$work/m" mlr --icsv --ocsv split -g "$field" 1m.csv)
printf '  quorvel-cli split: %.3f s %s\n' "$q" "$(runs "$work/q")"
printf '  mlr split -g:      %.3f s = %.1f x quorvel (target >= 10 x: %s) %s\n' "$m" "$(calc "$m / $q")" \
  "$(verdict "$(calc "$m / $q")" 10 at-least)" "$(runs "$work/m")"
printf '  awk one-liner:     %.3f s = %.1f x quorvel (target >= 2 x: %s) %s\n' "$a" "$(calc "$a / $q")" \
  "$(verdict "$(calc "$a / $q")" 2 at-least)" "$(runs "$work/a")"
printf '  cp of the file:    %.3f s = %.2f x quorvel\n' "$copy" "$(calc "$copy / $q")"

# The streaming split: every run printed, since this machine's figures
# move by 2 x from one run to the next.
#   timed DIR FILE COMMAND...: seconds and peak memory (KB) of one run in a
#   fresh folder holding FILE
timed() {
  dir=$1 file=$2; shift 2
  rm -rf "$dir"; mkdir -p "$dir"; ln "$data/$file" "$dir/$file" 2>/dev/null || cp "$data/$file" "$dir/"; sync
  (cd "$dir" && /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null)
  cat "$work/time.txt"
}
echo "== streaming split: 2,400,000 rows by prefecture (47 pieces), whole command, every run"
size=$(stat -c %s "$data/2400k.csv")
printf 'file: 2,400,000 rows, %.1f MB\n' "$(calc "$size / 1000000")"
for run in 1 2 3; do
  rm -rf "$work/f"; mkdir -p "$work/f"; sync
  floor=$("$bin/bench/quorvel-bench-floor" "$data/2400k.csv" 47 "$work/f")
  set -- $(timed "$work/q" 2400k.csv "$bin/quorvel-cli" split 2400k.csv --columns 8 --key 2)
  q=$1 rss=$2
  set -- $(timed "$work/a" 2400k.csv awk -F, 'NR > 1 { print > ("awk_" $3 ".csv") }' 2400k.csv)
  a=$1
  printf '  run %s: quorvel-cli %.3f s, peak %.1f MB (target <= 96: %s); I/O floor %.3f s = %.2f x floor (target <= 2.0: %s); awk %.3f s = %.2f x quorvel (target >= 2: %s)\n' \
    "$run" "$q" "$(calc "$rss / 1024")" "$(verdict "$(calc "$rss / 1024")" 96 at-most)" "$floor" "$(calc "$q / $floor")" \
    "$(verdict "$(calc "$q / $floor")" 2.0 at-most)" "$a" "$(calc "$a / $q")" "$(verdict "$(calc "$a / $q")" 2 at-least)"
done
for run in 1 2; do
  set -- $(timed "$work/q" 2400k.csv "$bin/quorvel-cli" split 2400k.csv --columns 8 --key 2)
  q=$1
  set -- $(timed "$work/m" 2400k.csv mlr --icsv --ocsv split -g "$field" 2400k.csv)
  m=$1
  printf '  run %s: quorvel-cli %.3f s; mlr split -g %.3f s = %.1f x quorvel (target >= 10: %s)\n' "$run" "$q" "$m" \
    "$(calc "$m / $q")" "$(verdict "$(calc "$m / $q")" 10 at-least)"
done
rm -rf "$work/m" "$work/a" "$work/f"

# beside_loop FILE PIECES ARGS...: three runs of quorvel-cli split FILE
# ARGS, each beside a bare create-write-close loop of the same PIECES.
beside_loop() {
  file=$1 pieces=$2; shift 2
  for run in 1 2 3; do
    figures=$(timed "$work/q" "$file" "$bin/quorvel-cli" split "$file" "$@")
    q=${figures% *} rss=${figures#* }
    rm -f "$work/q/$file"; rm -rf "$work/l"; mkdir -p "$work/l"; sync
    loop=$("$bin/bench/quorvel-bench-floor" --loop "$work/q" "$work/l")
    printf '  run %s: quorvel-cli %.3f s, peak %.1f MB; bare create-write-close loop of the same %s pieces %.3f s = %.2f x\n' \
      "$run" "$q" "$(calc "$rss / 1024")" "$pieces" "$loop" "$(calc "$q / $loop")"
  done
}
echo "== streaming split: the same file in chunks of 1,000,000 rows with --header, every run"
beside_loop 2400k.csv 3 --columns 8 --chunk 1000000 --header
echo "== streaming split: 100,000 distinct keys (100,000 rows by id), every run"
beside_loop 100k.csv 100,000 --columns 8 --key 0
rm -rf "$work/q" "$work/l"

[ "$native_only" = --native ] && exit 0

echo "== the Windows build under Wine"
"$root/scripts/windows-ready.sh" >/dev/null
prefix="$root/build/windows/wineprefix"
wbin="$root/build/windows/bench"
winpath() { WINEPREFIX="$prefix" winepath -w "$1" 2>/dev/null; }
run_wine() { "$root/scripts/wine-run.sh" "$prefix" "$@"; }
echo "-- load (three runs)"
run_wine "$wbin/quorvel-bench-load.exe" "$(winpath "$data/1m.csv")" 8 1000 | tr -d '\r'
echo "-- many pieces: 10,000 rows split by id beside a bare create-write-close loop of the same files"
mkdir "$work/wine"
run_wine "$wbin/quorvel-bench-split.exe" --pieces "$(winpath "$data/10k.csv")" "$(winpath "$work/wine")" 1.2 | tr -d '\r'
"$root/scripts/wine-stop.sh" "$prefix" >/dev/null 2>&1 || true
