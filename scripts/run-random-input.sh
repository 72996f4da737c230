#!/bin/sh
# Random real input for the window under Wine, for SECONDS, from SEED:
#   run-random-input.sh SECONDS [SEED]
# In a prefix of its own whose only drives are its C: and a scratch D:
# holding the files it opens, so nothing it does reaches other files.
# Prints the figures; the log of every action (which replays the run with
# the same seed) and screenshots of hangs stay in build/windows/random-d.
set -eu
seconds=$1
seed=${2:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
prefix="$root/build/windows/random-prefix"
scratch="$root/build/windows/random-d"
"$root/scripts/wine-prefix.sh" "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LOCPATH="$prefix/locale"
# C: and D: only.
for drive in "$prefix"/dosdevices/*; do
  case "$(basename "$drive")" in c:) ;; *) rm -f "$drive" ;; esac
done
rm -rf "$scratch"
mkdir -p "$scratch"
ln -s "$scratch" "$prefix/dosdevices/d:"
# A crash ends the program with its code instead of waiting in a dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
programs="$prefix/drive_c/quorvel"
mkdir -p "$programs"
cp "$root/build/windows/Quorvel.exe" "$root/build/windows/Readme.txt" \
   "$root/build/windows/tests/quorvel_random_input.exe" "$programs/"
# The files: good, UTF-8, bad, binary, empty, over the row cap, quoted.
cp "$root/samples/fruit.csv" "$scratch/good.csv"
printf '\357\273\277id,名前\r\n1,東京\r\n2,𠮷野\r\n' > "$scratch/utf8.csv"
printf 'a,"b\r\n\201,\000"x""\r\n\377\376,,,\r' > "$scratch/bad.csv"
head -c 65536 /dev/urandom > "$scratch/binary.bin"
: > "$scratch/empty.csv"
# Over the row cap at up to five columns: a preview.
awk 'BEGIN { for (i = 0; i < 2700000; i++) printf "k%d,v\r\n", i % 7 }' > "$scratch/huge.csv"
printf 'k,v\r\n"a,b","c""d"\r\n"e\r\nf",g\r\n' > "$scratch/quoted.csv"
"$root/scripts/wine-stop.sh" "$prefix"
status=0
xvfb-run -a -s "-screen 0 1280x1024x24" wine 'C:\quorvel\quorvel_random_input.exe' 'C:\quorvel\Quorvel.exe' 'D:\' \
  "$seed" "$seconds" | tr -d '\r' || status=$?
"$root/scripts/wine-stop.sh" "$prefix"
grep -a "CRASH\|HANG" "$scratch/random_input.log" || true
exit $status
