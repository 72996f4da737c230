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
"$root/scripts/run-e2e.sh" "$prefix" "$root/build/windows/tests/quorvel_e2e.exe" \
  "$root/build/windows/Quorvel.exe" "$root/build/screenshots-work" \
  "$root/build/windows/tests/quorvel_shell_recorder.exe" --screenshots "$out" >/dev/null || true
cp "$root/build/screenshots-work"/main_window_*.png "$out/" 2>/dev/null || true
for bmp in "$out"/*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
"$root/scripts/wine-stop.sh" "$prefix"
ls "$out"
