#!/bin/sh
# Installs what is missing, builds and starts the program. Until the window
# exists this runs quorvel-cli on the sample file.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" native >/dev/null
echo "The window is not built yet; showing the sample with quorvel-cli:"
echo "  quorvel-cli show samples/fruit.csv --columns 3"
"$root/build/native/quorvel-cli" show "$root/samples/fruit.csv" --columns 3
