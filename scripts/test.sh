#!/bin/sh
# Installs what is missing, builds every build and runs every test: the
# native unit tests, the same tests under sanitizers, and the Windows build's
# tests under Wine.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
# A program that no listed package brings fails here, on every machine.
python3 "$root/scripts/check-deps.py"

for build in native asan windows; do
  echo "== $build build"
  "$root/scripts/build.sh" "$build" >/dev/null
  echo "== $build tests"
  if [ "$build" = windows ] && [ -z "${DISPLAY:-}" ]; then
    # One virtual display for the whole Wine session, window tests included.
    "$root/scripts/wine-stop.sh" "$root/build/windows/wineprefix"
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$root/build/$build" --output-on-failure
  else
    ctest --test-dir "$root/build/$build" --output-on-failure
  fi
done
echo "== all tests passed"
