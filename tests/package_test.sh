#!/bin/sh
# The package as a user gets it: unpacked into a folder whose name holds
# 表, both programs run from there under Wine. The window starts and ends
# with exit code 0; the command-line tool splits the sample file; the
# checksums hold; both programs and --version carry the VERSION file's.
#   package_test.sh PREFIX BUILD_DIR DRIVER.exe WORK
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$1 build=$2 driver=$3 work=$4
version=$(head -n 1 "$root/VERSION")
rm -rf "$work"
mkdir -p "$work"
zip=$("$root/scripts/make-package.sh" "$build" "$work/dist")
[ "$(basename "$zip")" = "Quorvel-$version-win64.zip" ] || { echo "package named $zip"; exit 1; }
folder="$work/配布 表"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
[ "$(cd "$folder" && ls | sort | tr '\n' ' ')" = "Quorvel.exe Readme.txt SHA256SUMS quorvel-cli.exe " ] ||
  { echo "the package holds: $(ls "$folder")"; exit 1; }
(cd "$folder" && sha256sum -c --quiet SHA256SUMS)

run() { "$root/scripts/wine-run.sh" "$prefix" "$@"; }
winpath() { WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LOCPATH="$prefix/locale" winepath -w "$1"; }
got=$(run "$folder/quorvel-cli.exe" --version | tr -d '\r')
[ "$got" = "quorvel-cli $version" ] || { echo "--version says: $got"; exit 1; }
for program in Quorvel.exe quorvel-cli.exe; do
  got=$(run "$driver" --version-of "$(winpath "$folder/$program")" | tr -d '\r')
  [ "$got" = "$version" ] || { echo "$program's version resource says: $got"; exit 1; }
done

cp "$root/samples/fruit.csv" "$folder/"
run "$folder/quorvel-cli.exe" split "$(winpath "$folder/fruit.csv")" --columns 3 --key 2 >/dev/null
[ "$(ls "$folder" | grep -c '^fruit_')" = 2 ] || { echo "the split wrote: $(ls "$folder")"; exit 1; }

run "$driver" --start-stop "$(winpath "$folder/Quorvel.exe")"
echo "package $(basename "$zip"): unpacked into a folder with 表, both programs run"
