#!/bin/sh
# The Debian packages as a user gets them.
#   amd64: installed with apt into a clean Debian 12 root (minbase) that never saw the
#   source, without recommended packages (no GTK); from the installed paths the
#   programs answer, find the driver and the catalog by themselves, and the demo runs
#   to the end. Purged, the package leaves no file or folder of its own behind.
#   armel: its architecture and contents; its programs, unpacked anywhere, find their
#   driver and data and answer under qemu.
# The root is made once with mmdebstrap and kept as a tarball in the build folder.
# Runs as root (chroot, mounts). Usage: test-package.sh [BUILD_ROOT [DIST]]
set -eu
source=$(cd "$(dirname "$0")/.." && pwd)
root_dir=$(realpath -m "${1:-$source/build-package}")
dist=$(realpath -m "${2:-$source/dist}")
mirror=${DEBIAN_MIRROR:-http://deb.debian.org}
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root_dir/amd64/CMakeCache.txt" 2>/dev/null || true)
amd64=$dist/korvan_${version}_amd64.deb
armel=$dist/korvan_${version}_armel.deb
tarball=$root_dir/debian12-root.tar
failures=0

fail() { echo "test-package: $*" >&2; failures=$((failures + 1)); }
step() { echo "== $*"; }

[ "$(id -u)" -eq 0 ] || { echo "test-package: run as root (a chroot with /proc and /dev mounted)" >&2; exit 1; }
for package in "$amd64" "$armel"; do
  [ -f "$package" ] || { echo "test-package: $package is missing (make package)" >&2; exit 1; }
done

# What both packages must hold, besides their driver.
common="./usr/bin/korvan-host ./usr/bin/korvan-sim ./usr/share/korvan/vlt5000-parameters.csv
  ./usr/share/korvan/demo.archive ./usr/include/korvan/host_abi.h ./usr/share/pkgconfig/korvan.pc
  ./usr/share/man/man1/korvan-host.1.gz ./usr/share/man/man1/korvan-sim.1.gz
  ./usr/share/doc/korvan/copyright ./usr/share/doc/korvan/changelog.gz"

check_contents() {  # package, architecture, paths that must be there, paths that must not
  package=$1
  [ "$(dpkg-deb -f "$package" Architecture)" = "$2" ] || fail "$package: architecture $(dpkg-deb -f "$package" Architecture), not $2"
  [ "$(dpkg-deb -f "$package" Version)" = "$version" ] || fail "$package: version $(dpkg-deb -f "$package" Version), not $version"
  dpkg-deb -f "$package" Depends | grep -q 'libc6' || fail "$package: Depends has no libc6"
  dpkg-deb -f "$package" Depends | grep -q 'gtk' && fail "$package: GTK is a dependency, not a recommendation"
  dpkg-deb -c "$package" | awk '{ print $6 }' >"$work/contents"
  for path in $3; do grep -qx "$path" "$work/contents" || fail "$package: no $path"; done
  for path in $4; do grep -qx "$path" "$work/contents" && fail "$package: holds $path"; done
  return 0
}

work=$(mktemp -d)
chroot_dir=$work/root
cleanup() {
  # The mounts live in their own namespace and are gone; --one-file-system keeps the
  # removal inside the root in any case.
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

step "armel: $(basename "$armel")"
check_contents "$armel" armel "$common ./usr/lib/korvan/Korvan_ARMV4.drv" "./usr/lib/korvan/Korvan.gtk.so ./usr/lib/korvan/Korvan.drv"
dpkg-deb -x "$armel" "$work/armel"
for binary in usr/bin/korvan-host usr/bin/korvan-sim usr/lib/korvan/Korvan_ARMV4.drv; do
  readelf -h "$work/armel/$binary" | grep -q 'Machine: *ARM' || fail "armel: $binary is not an ARM program"
  readelf -h "$work/armel/$binary" | grep -q 'soft-float ABI' || fail "armel: $binary is not soft-float"
done
if command -v qemu-arm >/dev/null; then
  host="qemu-arm $work/armel/usr/bin/korvan-host"
  [ "$(qemu-arm "$work/armel/usr/bin/korvan-sim" --version)" = "korvan-sim $version" ] || fail "armel: korvan-sim --version"
  $host --archive "$work/armel.archive" init >/dev/null || fail "armel: korvan-host init found no driver in ../lib/korvan"
  $host params 520 | grep -q '^520' || fail "armel: korvan-host params found no catalog in ../share/korvan"
else
  echo "(qemu-arm missing: the armel programs are not run)"
fi

step "amd64: $(basename "$amd64")"
check_contents "$amd64" amd64 "$common ./usr/lib/korvan/Korvan.drv ./usr/lib/korvan/Korvan.gtk.so" ""
dpkg-deb -f "$amd64" Recommends | grep -q 'libgtk-3-0' || fail "amd64: GTK is not recommended"

if [ ! -f "$tarball" ]; then
  step "making a Debian 12 minbase root: $tarball"
  mkdir -p "$root_dir"
  started=$(date +%s)
  mmdebstrap --quiet --variant=minbase --format=tar bookworm "$tarball.part" \
    "deb $mirror/debian bookworm main" "deb $mirror/debian bookworm-updates main" \
    "deb $mirror/debian-security bookworm-security main"
  mv "$tarball.part" "$tarball"
  echo "   made in $(($(date +%s) - started)) s"
fi
mkdir "$chroot_dir"
tar -C "$chroot_dir" -xf "$tarball"
cp "$amd64" "$chroot_dir/tmp/"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"

# Inside the root: install with apt, run the programs from their installed paths, purge
# and look for what is left. Folders that were there before the install may stay.
cat >"$chroot_dir/tmp/in-root.sh" <<INROOT
set -eu
export DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root
problems=0
problem() { echo "test-package: \$*" >&2; problems=\$((problems + 1)); }
find / -xdev -type d | sort >/tmp/folders-before
apt-get update -qq
apt-get install -y -qq --no-install-recommends /tmp/$(basename "$amd64") >/tmp/apt.log 2>&1 || { cat /tmp/apt.log; exit 1; }
dpkg -L korvan | grep -vx /. | sort >/tmp/installed
[ "\$(korvan-host --version)" = "korvan-host $version" ] || problem "korvan-host --version"
[ "\$(korvan-sim --version)" = "korvan-sim $version" ] || problem "korvan-sim --version"
cd /tmp
korvan-host --archive /tmp/plant.archive init >/dev/null || problem "korvan-host init: no driver found by itself"
korvan-host --archive /tmp/plant.archive add 520 >/dev/null || problem "korvan-host add 520: no catalog found"
korvan-host demo --driver /usr/lib/korvan/Korvan.drv >/tmp/demo.log 2>&1 || { tail -20 /tmp/demo.log; problem "korvan-host demo exited \$?"; }
echo "   demo: \$(grep -c . /tmp/demo.log) lines, the last: \$(tail -1 /tmp/demo.log)"
dpkg --purge korvan >/dev/null
while read -r path; do
  if [ -e "\$path" ] || [ -L "\$path" ]; then
    grep -qx "\$path" /tmp/folders-before || problem "left behind after purge: \$path"
  fi
done </tmp/installed
echo "   installed \$(grep -c . /tmp/installed) paths; purged"
exit \$problems
INROOT

step "installing into the root, running, purging"
unshare --mount --propagation private sh -c '
  root=$1
  mount -t proc proc "$root/proc"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs tmpfs "$root/run"
  exec chroot "$root" sh /tmp/in-root.sh' sh "$chroot_dir" || fail "amd64: in the Debian 12 root (see above)"

if [ "$failures" -ne 0 ]; then
  echo "test-package: $failures failed" >&2
  exit 1
fi
echo "test-package: both packages passed"
