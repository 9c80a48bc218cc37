#!/bin/sh
# Plays the scripted host session through both builds of the driver and fails when
# their transcripts differ in a single byte.
set -eu
native=$1
arm=$2
out=$native/transcripts
mkdir -p "$out"
# Without a display the driver's dialogs cannot open, in either build.
env -u DISPLAY -u WAYLAND_DISPLAY "$native/korvan-transcript" "$native/Korvan.drv" > "$out/x86-64.txt"
env -u DISPLAY -u WAYLAND_DISPLAY timeout 600 qemu-arm "$arm/korvan-transcript" "$arm/Korvan_ARMV4.drv" > "$out/armv4.txt"
if ! cmp -s "$out/x86-64.txt" "$out/armv4.txt"; then
  echo "transcripts differ between x86-64 and ARM:" >&2
  diff "$out/x86-64.txt" "$out/armv4.txt" | head -n 40 >&2
  exit 1
fi
echo "transcripts identical: $(wc -l < "$out/x86-64.txt") lines, $(wc -c < "$out/x86-64.txt") bytes"
