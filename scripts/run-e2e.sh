#!/bin/sh
# Runs the end-to-end window driver under Wine, on a virtual display when
# none is set:  run-e2e.sh PREFIX DRIVER.exe QUORVEL.exe WORKDIR [ARGS...]
# Arguments that are absolute Linux paths reach the driver as Windows paths.
# Screenshots that the driver leaves in WORKDIR are turned into PNG files.
set -eu
prefix=$1 driver=$2 program=$3 work=$4
shift 4
rm -rf "$work"
mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
winpath() { WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LOCPATH="$prefix/locale" winepath -w "$1" 2>/dev/null; }
args=""
for arg in "$@"; do
  case "$arg" in /*) arg=$(winpath "$arg") ;; esac
  args="$args$(printf '%s' "$arg" | sed "s/'/'\\\\''/g; s/^/'/; s/\$/'/") "
done
eval "set -- $args"
wprogram=$(winpath "$program")
wwork=$(winpath "$work")
status=0
if [ -z "${DISPLAY:-}" ]; then
  # Wine's desktop process belongs to the display it started on: a server
  # left from another display (or from winepath above) must go first.
  "$here/wine-stop.sh" "$prefix"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine-run.sh" "$prefix" "$driver" "$wprogram" "$wwork" "$@" || status=$?
else
  "$here/wine-run.sh" "$prefix" "$driver" "$wprogram" "$wwork" "$@" || status=$?
fi
for bmp in "$work"/*.bmp; do
  [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
exit $status
