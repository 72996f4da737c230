#!/bin/sh
# Sets up a Wine prefix for the Windows build's tests and program: code
# page 932, readable Japanese fonts, no window-manager stalls.
#   wine-prefix.sh PREFIX
set -e
# Wine takes only an absolute prefix path.
mkdir -p "$1"
prefix=$(cd "$1" && pwd)
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LOCPATH="$prefix/locale" WINEDLLOVERRIDES="mscoree,mshtml="
# A wineserver that stays up between the test programs: each Wine start
# then takes a fraction of a second, and no short-lived server holds the
# callers' output pipes open after its program ended.
# The prefix's services start with the first program and then stay as long
# as the server: start them here, away from any caller's pipes.
start_server() {
  wineserver -p </dev/null >/dev/null 2>&1 || true  # fails if one already runs
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
# The caption buttons (minimise, maximise, close) are drawn with the
# Marlett font's symbols. Wine finds its own TrueType fonts only in the
# prefix's Fonts folder: without Marlett there, a Japanese prefix draws
# the letters "0 1 r" in a Japanese font instead.
install_marlett() {
  fonts="$prefix/drive_c/windows/Fonts"
  [ -f "$fonts/marlett.ttf" ] && return 0
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/marlett.ttf"
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Marlett (TrueType)' \
    /t REG_SZ /d marlett.ttf /f >/dev/null 2>&1
}
if [ -f "$prefix/.quorvel-ready" ]; then
  if [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ]; then
    install_marlett
    wineserver -k 2>/dev/null || true  # the font list is read at a server's start
  fi
  start_server
  exit 0
fi
mkdir -p "$prefix/locale"
# Without a generated locale Wine can still take code page 932 from the
# name, but file names with Japanese characters then fail.
localedef -i ja_JP -f UTF-8 "$prefix/locale/ja_JP.UTF-8" >/dev/null 2>&1 || test -d "$prefix/locale/ja_JP.UTF-8"
wineboot -i >/dev/null 2>&1
reg() { wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS Gothic' /t REG_SZ /d IPAGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS PGothic' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /t REG_SZ /d IPAPGothic
reg 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d IPAGothic
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
install_marlett
wineserver -w
touch "$prefix/.quorvel-ready"
start_server
