#!/bin/sh
# Starts the program under Wine on a virtual display, works it through a
# session with the sample file and saves screenshots of the main window,
# the open dialog, the column dialog and the confirmation box as PNG files
# in build/screenshots, for people to look at.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/windows-ready.sh"
prefix="$root/build/windows/wineprefix"
out="$root/build/screenshots"
rm -rf "$out"
mkdir -p "$out"
wout=$(WINEPREFIX="$prefix" WINEDEBUG=-all winepath -w "$out")
"$root/scripts/run-e2e.sh" "$prefix" "$root/build/windows/tests/quorvel_e2e.exe" \
  "$root/build/windows/Quorvel.exe" "$root/build/screenshots-work" --screenshots "$wout" >/dev/null || true
for bmp in "$out"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
"$root/scripts/wine-stop.sh" "$prefix"
ls "$out"
