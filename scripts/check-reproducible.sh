#!/bin/sh
# The Windows zip built twice from this commit, in two folders, must come out the same
# bytes: the driver and korvan-host.exe carry no time stamp, the zip's entries are in one
# order with the last commit's date. (The Debian packages are made with
# SOURCE_DATE_EPOCH and are the same already.)
# Usage: check-reproducible.sh WORK   (within a Wine session: resources compile under Wine)
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$1"
work=$(cd "$1" && pwd)
for side in first second; do
  rm -rf "$work/$side"
  cmake -S "$source" -B "$work/$side/build" -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVAN_TESTS=OFF > /dev/null
  cmake --build "$work/$side/build" -j"${JOBS:-2}" --target korvan_drv korvan-host > /dev/null
  "$source/scripts/make-zip.sh" "$work/$side/build" "$work/$side/staging" "$work/$side/dist" > /dev/null
done
first=$(ls "$work/first/dist/"*.zip)
second=$(ls "$work/second/dist/"*.zip)
if ! cmp "$first" "$second"; then
  echo "check-reproducible: two builds of one commit made different zips:" >&2
  for binary in Korvan.drv korvan-host.exe; do
    cmp -l "$work/first/staging/"*/"$binary" "$work/second/staging/"*/"$binary" | head -n 5 >&2 || true
  done
  exit 1
fi
echo "check-reproducible: $(basename "$first") the same bytes from two builds ($(wc -c < "$first") bytes)"
