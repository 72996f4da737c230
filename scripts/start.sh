#!/bin/sh
# Installs what is missing, builds the Windows program and starts it under
# Wine (code page 932, Japanese fonts), on a virtual display when no
# display is set.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" windows >/dev/null
# A prefix of the program's own, apart from the tests' (which associate
# text files and web addresses with a recorder).
prefix="$root/build/windows/program-prefix"
"$root/scripts/wine-prefix.sh" "$prefix"
if [ -z "${DISPLAY:-}" ]; then
  display=:$(( $$ % 50 + 50 ))
  Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; "$root/scripts/wine-stop.sh" "$prefix"' EXIT INT TERM
  export DISPLAY="$display"
  sleep 1
  echo "No display is set: Quorvel runs on the virtual display $DISPLAY."
  echo "Take a screenshot with: DISPLAY=$DISPLAY import -window root shot.png"
fi
echo "Starting Quorvel.exe under Wine (sample files in $root/samples)."
"$root/scripts/wine-run.sh" "$prefix" "$root/build/windows/Quorvel.exe"
