#!/bin/sh
# The Windows DLL's collection calls under Wine against the paced simulated drive of
# the Linux build on COM11 at 9600 8E1, then the Linux driver's figures of the same run.
# Usage: bench-windows.sh LINUX-BUILD WINDOWS-BUILD [CALLS]   (within a Wine session)
set -eu
linux=$1
windows=$2
calls=${3:-300}
link=$WINEPREFIX/dosdevices/com11
rm -f "$link"
"$linux/korvan-sim" --pty --link "$link" --framing 8E1 < /dev/null > /dev/null 2>&1 &
sim=$!
trap 'kill $sim 2> /dev/null || true; wait $sim 2> /dev/null || true; rm -f "$link"' EXIT
"$(dirname "$0")/wait-for-paths.sh" -p "$sim" "$link"
wine "$windows/wire_bench_win.exe" "$windows/Korvan.drv" "$windows/Korvan-sleepwait.drv" COM11 "$calls"
echo
echo "Linux, the same calls:"
"$linux/wire_bench" "$linux/Korvan.drv" "$linux/Korvan-sleepwait.drv" "$calls"
