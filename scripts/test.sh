#!/bin/sh
# Installs what is missing, builds every build and runs every test: the
# native unit tests, the same tests under sanitizers, and the Windows build's
# tests under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

for build in native asan windows; do
  echo "== $build build"
  "$root/scripts/build.sh" "$build" >/dev/null
  echo "== $build tests"
  ctest --test-dir "$root/build/$build" --output-on-failure
done
echo "== all tests passed"
