#!/bin/sh
# Runs a Windows program under Wine in the given prefix, with code page 932:
#   wine-run.sh PREFIX PROGRAM.exe [ARGS...]
prefix=$1
shift
# The generated ja_JP.UTF-8 locale gives Wine code page 932 and UTF-8 file
# names underneath, so that Japanese paths reach the disk.
export WINEPREFIX="$prefix" WINEDEBUG=${QUORVEL_WINEDEBUG:--all} LC_ALL=ja_JP.UTF-8 LOCPATH="$prefix/locale" WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
