#!/bin/sh
# Builds the Windows programs and packs them: dist/Quorvel-VERSION-win64.zip
# (Quorvel.exe, quorvel-cli.exe, Readme.txt, SHA256SUMS).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" windows >/dev/null
"$root/scripts/make-package.sh" "$root/build/windows" "$root/dist"
