#!/bin/sh
# Packs a Windows build for handing out: OUT/Quorvel-VERSION-win64.zip with
# Quorvel.exe, quorvel-cli.exe, Readme.txt and SHA256SUMS of the three.
#   make-package.sh BUILD_DIR OUT_DIR
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1 out=$2
version=$(head -n 1 "$root/VERSION")
name="Quorvel-$version-win64"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$build/Quorvel.exe" "$build/quorvel-cli.exe" "$build/Readme.txt" "$stage/"
(cd "$stage" && sha256sum Quorvel.exe quorvel-cli.exe Readme.txt > SHA256SUMS)
mkdir -p "$out"
rm -f "$out/$name.zip"
(cd "$stage" && zip -q -X "$out/$name.zip" Quorvel.exe quorvel-cli.exe Readme.txt SHA256SUMS)
echo "$out/$name.zip"
