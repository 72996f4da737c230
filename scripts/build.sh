#!/bin/sh
# Configures and builds one of the builds: build.sh native|windows|asan
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
case "$1" in
  native)  cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null ;;
  windows) cmake -S "$root" -B "$root/build/windows" -DCMAKE_BUILD_TYPE=Release \
             -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null ;;
  asan)    cmake -S "$root" -B "$root/build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
             -DQUORVEL_SANITIZE=ON -DQUORVEL_BENCH=OFF >/dev/null ;;
  *) echo "usage: build.sh native|windows|asan" >&2; exit 2 ;;
esac
cmake --build "$root/build/$1" -j "$jobs"
