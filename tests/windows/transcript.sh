#!/bin/sh
# Plays the scripted host session through the Windows build under Wine, its simulated
# drive on the Linux side of two COM ports (COM9 the drive's line, COM10 the line that
# steers it), and through the Linux build; the transcripts must be identical.
# Usage: transcript.sh LINUX_BUILD WINDOWS_BUILD   (within a Wine session)
set -eu
linux=$1
windows=$2
out=$windows/transcripts
devices=$WINEPREFIX/dosdevices
mkdir -p "$out"
# A link left by a run that was killed may point at a pty that is someone else's by now,
# which the simulated drive would refuse to take over.
rm -f "$devices/com9" "$devices/com10"
"$linux/korvan-transcript-drive" "$devices/com9" "$devices/com10" < /dev/null > /dev/null 2> "$out/drive.log" &
drive=$!
trap 'kill "$drive" 2> /dev/null || true; wait "$drive" 2> /dev/null || true' EXIT
"$(dirname "$0")/../../scripts/wait-for-paths.sh" -p "$drive" "$devices/com9" "$devices/com10" || { cat "$out/drive.log" >&2; exit 1; }
# Without a display the driver's dialogs cannot open, in either build.
env -u DISPLAY -u WAYLAND_DISPLAY KORVAN_TRANSCRIPT_PORTS=COM9,COM10 \
  wine "$windows/korvan-transcript.exe" "$windows/Korvan.drv" > "$out/win32.txt"
env -u DISPLAY -u WAYLAND_DISPLAY -u LC_ALL "$linux/korvan-transcript" "$linux/Korvan.drv" > "$out/x86-64.txt"
if ! cmp -s "$out/x86-64.txt" "$out/win32.txt"; then
  echo "transcripts differ between x86-64 and Windows:" >&2
  diff "$out/x86-64.txt" "$out/win32.txt" | head -n 40 >&2
  exit 1
fi
echo "transcripts identical: $(wc -l < "$out/win32.txt") lines, $(wc -c < "$out/win32.txt") bytes"
