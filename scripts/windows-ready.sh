#!/bin/sh
# Makes the Windows program ready to run here: installs what is missing,
# builds the Windows build and sets up its Wine prefix.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" windows >/dev/null
"$root/scripts/wine-prefix.sh" "$root/build/windows/wineprefix"
