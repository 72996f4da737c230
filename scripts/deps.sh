#!/bin/sh
# Installs with apt-get whatever the build, the tests and the program need
# and this machine lacks. Installs nothing when all is there.
#   deps.sh            install what is missing
#   deps.sh --list     print the packages, one a line
#   deps.sh --programs print the programs the scripts and tests call
set -eu
# Installed without recommendations: a package listed here must bring each
# program below itself or through its dependencies (scripts/check-deps.py
# checks that). "wine" brings the wine, wineboot and wineserver commands;
# "wine64" alone has none of them. "fonts-wine" (only recommended by Wine)
# holds Marlett, with which Wine draws the caption buttons. "python3-xlib"
# serves the window test's drop of a file, as a file manager drops one.
packages="cmake make g++ googletest g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xauth
  fonts-ipafont-gothic locales imagemagick miller clang-14 libclang-rt-14-dev python3 python3-xlib bc time zip unzip"
# Every program that a script, a test or a benchmark calls, beyond the
# shell's own and coreutils.
programs="cmake ctest make g++ gcc x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-gcc-posix
  x86_64-w64-mingw32-windres wine wineboot wineserver winepath Xvfb xvfb-run xauth localedef
  convert import mlr clang-14 clang++-14 python3 bc awk iconv dpkg-query zip unzip sha256sum
  /usr/bin/time /usr/bin/python3"
case "${1:-}" in
  --list) for p in $packages; do echo "$p"; done; exit 0 ;;
  --programs) for p in $programs; do echo "$p"; done; exit 0 ;;
esac
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
