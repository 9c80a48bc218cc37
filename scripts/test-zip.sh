#!/bin/sh
# The Windows zip as a user gets it: unpacked into a folder of its own (with a space in
# its name), run under a fresh 32-bit Wine prefix from another folder: korvan-host.exe
# answers its version, makes an archive, adds a channel from the catalog beside it, and
# reads a parameter through the driver beside it from the Linux build's simulated drive
# on a COM port.
# Usage: test-zip.sh ZIP LINUX_BUILD
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
zip=$(realpath "$1")
sim=$(realpath "$2")/korvan-sim
work=$(mktemp -d /tmp/korvan-zip-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/any folder"
(cd "$work/any folder" && cmake -E tar xf "$zip")
host=$(ls -d "$work/any folder"/korvan-*-win32)/korvan-host.exe
version=$(basename "$zip" | sed -n 's/^korvan-\(.*\)-win32\.zip$/\1/p')
# The guide is plain text with CRLF line ends, as Notepad shows it.
guide=$(dirname "$host")/README-Windows.txt
[ "$(grep -c "$(printf '\r')\$" "$guide")" = "$(wc -l < "$guide")" ] || { echo "test-zip: $guide lacks CRLF ends" >&2; exit 1; }
! grep -q '^```' "$guide" || { echo "test-zip: $guide holds Markdown" >&2; exit 1; }

"$source/scripts/wine-session.sh" "$work" sh -s "$host" "$sim" "$version" "$source" << 'SESSION'
set -eu
host=$1 sim=$2 version=$3 source=$4
cd "$WINEPREFIX/.."
fail() { echo "test-zip: $*" >&2; exit 1; }
answer=$(wine "$host" --version | tr -d '\r')
[ "$answer" = "korvan-host $version" ] || fail "--version answered '$answer'"
link=$WINEPREFIX/dosdevices/com5
"$sim" --pty --link "$link" --no-pacing < /dev/null > /dev/null 2>&1 &
pid=$!
trap 'kill $pid 2> /dev/null || true; wait $pid 2> /dev/null || true' EXIT
"$source/scripts/wait-for-paths.sh" -p "$pid" "$link" || fail "no simulated drive on COM5"
wine "$host" --archive drive.archive init > /dev/null || fail "init failed"
wine "$host" --archive drive.archive add 520 > /dev/null || fail "add 520 failed"
read=$(wine "$host" --archive drive.archive --port COM5 exec "READ(202,-1,3,F)" --var F:float=0 | tr -d '\r') ||
  fail "exec failed: $read"
echo "$read" | grep -q "READ(202,-1,3,F) -> 0 done" || fail "exec answered: $read"
echo "test-zip: $(basename "$host") $version from the zip: version, init, add 520 and a READ through COM5 work"
SESSION
