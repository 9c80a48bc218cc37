#!/bin/sh
# The Windows zip, made from the Windows build: the driver, korvan-host.exe and the
# parameter catalog side by side (the program finds both beside itself), the user's
# guide README-Windows.txt, and the licence; CRLF line ends in the texts.
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
# The same bytes from every build of one commit: strip stamps the binaries, and the zip
# dates its entries, with the last commit's time (the changelog's outside a git
# checkout); the entries go in one order.
stamp=$(git -C "$source" log -1 --format=%ct 2>/dev/null ||
  dpkg-parsechangelog -l "$source/packaging/deb/changelog" -S Timestamp)
for binary in Korvan.drv korvan-host.exe; do
  SOURCE_DATE_EPOCH=$stamp i686-w64-mingw32-strip -o "$folder/$binary" "$build/$binary"
done
cp "$source/tools/korvan-sim/data/vlt5000-parameters.csv" "$folder/"
crlf() { sed 's/$/\r/'; }
# UTF-8 with its mark, so that every Notepad shows the guide's Chinese words.
{ printf '\357\273\277'; crlf < "$source/packaging/README-Windows.txt"; } > "$folder/README-Windows.txt"
crlf < "$source/LICENSE" > "$folder/LICENSE.txt"
rm -f "$dist/$name.zip"
# Python's zipfile, not cmake's tar: that one stamps each entry with its own access and
# change times too, which differ between two builds.
python3 - "$staging" "$name" "$dist/$name.zip" "$stamp" << 'ZIP'
import os, sys, time, zipfile
staging, name, out, stamp = sys.argv[1:]
when = time.gmtime(int(stamp))[:6]
with zipfile.ZipFile(out, "w") as archive:
    for file in sorted(os.listdir(os.path.join(staging, name))):
        entry = zipfile.ZipInfo(name + "/" + file, date_time=when)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.external_attr = 0o644 << 16
        with open(os.path.join(staging, name, file), "rb") as content:
            archive.writestr(entry, content.read())
ZIP
echo "$dist/$name.zip: $(wc -c < "$dist/$name.zip") bytes"
