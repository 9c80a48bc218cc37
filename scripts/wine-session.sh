#!/bin/sh
# Runs a command with the Windows build's Wine: a 32-bit prefix kept under the build
# folder (made on first use, with no crash dialog to wait on), a Chinese locale so
# that the default code page is 936, and one persistent wineserver for the whole
# command, shut down at the end (before any pty it used goes away).
# Usage: wine-session.sh BUILD_DIR COMMAND [ARGUMENT...]
set -eu
build=$(cd "$1" && pwd)
shift
export WINEPREFIX="$build/wine-prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=zh_CN.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i > /dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f > /dev/null 2>&1
  wineserver -w
fi
# Chinese in the system's own fonts (message boxes, title bars): linked to WenQuanYi
# Micro Hei, without which Wine draws each such character as a box. Once per prefix.
if ! grep -q '=str(7):"wqy-microhei.ttc,' "$WINEPREFIX/system.reg"; then
  for face in 'Tahoma' 'Microsoft Sans Serif' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f > /dev/null 2>&1
  done
  wineserver -w
fi
# Wine's symbol font for the title bars' buttons: this Wine looks for its own fonts
# on a path it cannot open, so the prefix's font folder gets a link to it.
marlett=/usr/share/wine/fonts/marlett.ttf
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -e "$fonts/marlett.ttf" ]; then ln -s "$marlett" "$fonts/"; fi
# The server and Wine's services are started apart, with their streams away from the
# caller's pipes: otherwise the first program's output stays open as long as they run.
wineserver -p < /dev/null > /dev/null 2>&1
wine cmd /c exit 0 < /dev/null > /dev/null 2>&1 || true
status=0
"$@" || status=$?
wineserver -k > /dev/null 2>&1 || true
exit "$status"
