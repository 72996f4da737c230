#!/bin/sh
# Builds the fuzz targets with clang and libFuzzer and runs each for the
# given number of seconds, starting from its checked-in seed corpus;
# prints executions and findings per target. New inputs go to
# build/fuzz-corpus/TARGET, findings to build/fuzz-findings/TARGET.
#   fuzz/run.sh SECONDS [TARGET...]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=${*:-token_reader token_stream piece_name piece_line sort sort_ranks text_encoding}
"$root/scripts/deps.sh"
CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$root/build/fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_FUZZ=ON -DQUORVEL_TESTS=OFF -DQUORVEL_BENCH=OFF >/dev/null
cmake --build "$root/build/fuzz" -j "$(nproc)" >/dev/null
for target in $targets; do
  work="$root/build/fuzz-corpus/$target"
  # sort_ranks reads the same inputs as sort, token_stream as token_reader,
  # and each shares its seeds.
  seeds="$root/fuzz/corpus/$target"
  [ "$target" = sort_ranks ] && seeds="$root/fuzz/corpus/sort"
  [ "$target" = token_stream ] && seeds="$root/fuzz/corpus/token_reader"
  findings="$root/build/fuzz-findings/$target"
  mkdir -p "$work" "$findings"
  log="$root/build/fuzz-$target.log"
  (cd "$findings" && "$root/build/fuzz/fuzz/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
     -max_len=4096 -timeout=10 -rss_limit_mb=4096 "$work" "$seeds" >"$log" 2>&1) || true
  runs=$(grep -a "stat::number_of_executed_units" "$log" | awk '{print $2}')
  found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  echo "$target: ${runs:-?} executions in $seconds s, $found findings"
done
