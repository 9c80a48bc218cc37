#!/bin/sh
# Builds the Debian package of one Linux build into dist/: korvan_VERSION_ARCH.deb.
# Usage: make-deb.sh amd64|armel [BUILD_ROOT [DIST]]   (defaults build-package, dist)
#
# The build is configured for installing (KORVAN_INSTALL_LAYOUT, no tests) with
# Debian's hardening flags, installed into a staging root with `cmake --install`,
# stripped; Depends come from dpkg-shlibdeps (the GTK dialog module's libraries only
# recommended), the control file from dpkg-gencontrol with packaging/deb/; lintian must
# find no error. armel is cross-built and its libraries are looked up in Debian's
# armel packages installed beside the machine's own (multiarch).
set -eu
arch=$1
source=$(cd "$(dirname "$0")/.." && pwd)
root=$(realpath -m "${2:-$source/build-package}")
dist=$(realpath -m "${3:-$source/dist}")
build=$root/$arch
work=$root/deb-$arch
stage=$work/root

case "$arch" in
  amd64) toolchain="" triplet=x86_64-linux-gnu driver=Korvan.drv ;;
  armel) toolchain=-DCMAKE_TOOLCHAIN_FILE=$source/cmake/arm-linux-gnueabi.cmake triplet=arm-linux-gnueabi
         driver=Korvan_ARMV4.drv ;;
  *) echo "make-deb.sh: no package for architecture $arch (amd64 or armel)" >&2; exit 2 ;;
esac
[ "$arch" = amd64 ] && tools="" || tools=$triplet-
export DEB_HOST_ARCH=$arch DEB_BUILD_MAINT_OPTIONS=hardening=+all CC=${tools}gcc

# Configure once with Debian's flags (CMake keeps them in its cache).
if [ ! -f "$build/CMakeCache.txt" ]; then
  mkdir -p "$root"
  cppflags=$(dpkg-buildflags --get CPPFLAGS)
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
    cmake -S "$source" -B "$build" $toolchain -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
      -DKORVAN_INSTALL_LAYOUT=ON -DKORVAN_TESTS=OFF >"$build.configure.log" || { cat "$build.configure.log"; exit 1; }
fi
targets="korvan_drv korvan-host korvan-sim"
grep -q '^KORVAN_GUI:BOOL=ON' "$build/CMakeCache.txt" && targets="$targets korvan_gtk_dialogs"
# shellcheck disable=SC2086
cmake --build "$build" -j"${JOBS:-2}" --target $targets

# The version is CMake's project version; the changelog's latest entry must name it.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
logged=$(dpkg-parsechangelog -l "$source/packaging/deb/changelog" -S Version)
if [ "$version" != "$logged" ]; then
  echo "make-deb.sh: CMakeLists.txt says version $version, packaging/deb/changelog $logged" >&2
  exit 1
fi
# File times in the package: those of the release's changelog entry.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$source/packaging/deb/changelog" -S Timestamp)
export SOURCE_DATE_EPOCH

rm -rf "$stage"
mkdir -p "$stage"
DESTDIR=$stage cmake --install "$build" >/dev/null
usr=$stage/usr
chmod 0644 "$usr"/lib/korvan/*
for binary in "$usr"/bin/* "$usr"/lib/korvan/*; do
  ${tools}strip --remove-section=.comment --remove-section=.note --strip-unneeded "$binary"
done
gzip -9n "$usr"/share/man/man1/*.1
doc=$usr/share/doc/korvan
install -d "$doc"
install -m 0644 "$source/packaging/deb/copyright" "$doc/copyright"
gzip -9nc "$source/packaging/deb/changelog" >"$doc/changelog.gz"

# The control file: Depends from the programs and the driver, the dialog module's
# libraries (GTK) only recommended.
mkdir -p "$work/debian" "$stage/DEBIAN"
cp "$source/packaging/deb/control" "$source/packaging/deb/changelog" "$work/debian/"
rm -f "$work/debian/substvars"
gui_module=""
[ -f "$usr/lib/korvan/Korvan.gtk.so" ] && gui_module="-dRecommends $usr/lib/korvan/Korvan.gtk.so"
# Debian's armel symbols file of libstdc++ leaves out the ARM EABI's own symbols
# (__aeabi_atexit): their lookup warnings are not shown there.
warnings=3
[ "$arch" = armel ] && warnings=2
# shellcheck disable=SC2086
(cd "$work" && dpkg-shlibdeps --warnings=$warnings -Tdebian/substvars -e"$usr/bin/korvan-host" -e"$usr/bin/korvan-sim" \
   -e"$usr/lib/korvan/$driver" $gui_module)
grep -q '^shlibs:Recommends=' "$work/debian/substvars" || echo 'shlibs:Recommends=' >>"$work/debian/substvars"
(cd "$work" && dpkg-gencontrol -pkorvan -P"$stage" -Tdebian/substvars)
(cd "$stage" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"

mkdir -p "$dist"
package=$dist/korvan_${version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build "$stage" "$package" >/dev/null
echo "$package: $(du -k "$package" | cut -f1) KiB"
lintian --fail-on error "$package"
