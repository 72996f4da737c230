#!/bin/sh
# Installs with apt-get whatever the build, the tests and the program need
# and this machine lacks. Installs nothing when all is there.
set -eu
packages="cmake make g++ googletest g++-mingw-w64-x86-64-posix wine64 xvfb xauth
  fonts-ipafont-gothic locales imagemagick miller clang-14 libclang-rt-14-dev python3"
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
