#!/bin/sh
# Installs the Debian packages a make target needs, when they are missing.
# Usage: install-deps.sh GROUP...   (groups: build arm gui fuzz bench)
# As root it runs apt-get; otherwise it prints the exact command and fails.
set -eu

packages_for() {
  case "$1" in
    build) echo "cmake make g++ libgtest-dev googletest" ;;
    arm)   echo "g++-arm-linux-gnueabi qemu-user libc6:armel libstdc++6:armel" ;;
    gui)   echo "libgtk-3-dev xvfb xauth fonts-wqy-microhei" ;;
    fuzz)  echo "clang libclang-rt-14-dev" ;;
    bench) echo "libbenchmark-dev" ;;
    *) echo "install-deps.sh: unknown group $1" >&2; exit 2 ;;
  esac
}

missing=""
needs_armel=no
for group in "$@"; do
  for package in $(packages_for "$group"); do
    case "$package" in *:armel) needs_armel=yes ;; esac
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in
      "install ok installed") ;;
      *) missing="$missing $package" ;;
    esac
  done
done

[ -z "$missing" ] && exit 0

add_armel=no
if [ "$needs_armel" = yes ] && ! dpkg --print-foreign-architectures | grep -qx armel; then
  add_armel=yes
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages:$missing" >&2
  echo "Install them with:" >&2
  [ "$add_armel" = yes ] && echo "  sudo dpkg --add-architecture armel" >&2
  echo "  sudo apt-get update && sudo apt-get install -y$missing" >&2
  exit 1
fi

echo "Installing:$missing"
[ "$add_armel" = yes ] && dpkg --add-architecture armel
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# shellcheck disable=SC2086
apt-get install -y -qq --no-install-recommends $missing
