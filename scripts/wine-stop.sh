#!/bin/sh
# Stops the wineserver of a prefix: wine-stop.sh PREFIX
WINEPREFIX="$1" wineserver -k >/dev/null 2>&1
exit 0
