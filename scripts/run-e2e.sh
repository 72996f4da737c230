#!/bin/sh
# Runs the end-to-end window driver under Wine, on a virtual display when
# none is set:  run-e2e.sh PREFIX DRIVER.exe QUORVEL.exe WORKDIR [ARGS...]
set -eu
prefix=$1 driver=$2 program=$3 work=$4
shift 4
rm -rf "$work"
mkdir -p "$work"
here=$(cd "$(dirname "$0")" && pwd)
winpath() { WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LOCPATH="$prefix/locale" winepath -w "$1" 2>/dev/null; }
wprogram=$(winpath "$program")
wwork=$(winpath "$work")
if [ -z "${DISPLAY:-}" ]; then
  # Wine's desktop process belongs to the display it started on: a server
  # left from another display must go first.
  "$here/wine-stop.sh" "$prefix"
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$here/wine-run.sh" "$prefix" "$driver" "$wprogram" "$wwork" "$@"
fi
exec "$here/wine-run.sh" "$prefix" "$driver" "$wprogram" "$wwork" "$@"
