#!/bin/sh
# The Windows zip, made from the Windows build: the driver, korvan-host.exe and the
# parameter catalog side by side (the program finds both beside itself), the README's
# Windows sections as text, and the licence; CRLF line ends in the texts.
# Usage: make-zip.sh WINDOWS_BUILD STAGING DIST
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
mkdir -p "$2" "$3"
staging=$(cd "$2" && pwd)
dist=$(cd "$3" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "make-zip: no version in $build/CMakeCache.txt" >&2; exit 1; }
name=korvan-$version-win32
folder=$staging/$name
rm -rf "$folder"
mkdir -p "$folder"
for binary in Korvan.drv korvan-host.exe; do
  i686-w64-mingw32-strip -o "$folder/$binary" "$build/$binary"
done
cp "$source/tools/korvan-sim/data/vlt5000-parameters.csv" "$folder/"
crlf() { sed 's/$/\r/'; }
# The README's sections about Windows: korvan-host.exe, then the DLL and its port.
awk '/^### korvan-host.exe on Windows/ { keep = 1 } /^## The channel dialog/ { keep = 0 }
     /^## The Windows DLL/ { keep = 1 } /^## Map of the sources/ { keep = 0 } keep' \
  "$source/README.md" | crlf > "$folder/README-Windows.txt"
crlf < "$source/LICENSE" > "$folder/LICENSE.txt"
rm -f "$dist/$name.zip"
(cd "$staging" && cmake -E tar cf "$dist/$name.zip" --format=zip "$name")
echo "$dist/$name.zip: $(wc -c < "$dist/$name.zip") bytes"
