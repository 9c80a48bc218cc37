#!/bin/sh
# Installs the Debian packages a make target needs, when they are missing.
# Usage: install-deps.sh GROUP...   (groups: build demo arm windows gui fuzz bench package)
# As root it runs apt-get; otherwise it prints the exact command and fails.
set -eu

packages_for() {
  case "$1" in
    build) echo "cmake make g++ libgtest-dev googletest" ;;
    # make demo: the driver, its GTK dialog module, korvan-host and korvan-sim only.
    demo)  echo "cmake make g++ libgtk-3-dev" ;;
    arm)   echo "g++-arm-linux-gnueabi qemu-user libc6:armel libstdc++6:armel" ;;
    # The -posix thread flavour has std::mutex; 32-bit Wine alone, without wine64. The
    # dialogs under Xvfb: Wine's own fonts (the title bar's buttons) and a Chinese one.
    windows) echo "g++-mingw-w64-i686-posix wine wine32:i386 fonts-wine fonts-wqy-microhei xvfb xauth" ;;
    gui)   echo "libgtk-3-dev xvfb xauth fonts-wqy-microhei" ;;
    fuzz)  echo "clang libclang-rt-14-dev" ;;
    bench) echo "libbenchmark-dev" ;;
    # make package and make test-package: Debian's packaging tools, lintian, a clean root.
    package) echo "dpkg-dev lintian mmdebstrap python3" ;;
    *) echo "install-deps.sh: unknown group $1" >&2; exit 2 ;;
  esac
}

missing=""
foreign=""
for group in "$@"; do
  for package in $(packages_for "$group"); do
    case "$package" in *:*) foreign="$foreign ${package#*:}" ;; esac
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
      "install ok installed") ;;
      *) missing="$missing $package" ;;
    esac
  done
done

[ -z "$missing" ] && exit 0

# Multiarch packages (name:arch) need their architecture added first.
add_arches=""
for arch in $foreign; do
  if ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    case " $add_arches " in *" $arch "*) ;; *) add_arches="$add_arches $arch" ;; esac
  fi
done

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages:$missing" >&2
  echo "Install them with:" >&2
  for arch in $add_arches; do echo "  sudo dpkg --add-architecture $arch" >&2; done
  echo "  sudo apt-get update && sudo apt-get install -y$missing" >&2
  exit 1
fi

echo "Installing:$missing"
for arch in $add_arches; do dpkg --add-architecture "$arch"; done
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
