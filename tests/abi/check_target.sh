#!/bin/sh
# The driver module is built for the processor its build names.
# Usage: check_target.sh DRIVER CLASS MACHINE [FLAG]
set -eu
header=$(readelf -h "$1")
for expected in "$2" "$3" ${4:+"$4"}; do
  if ! printf '%s\n' "$header" | grep -q -- "$expected"; then
    echo "$1: expected \"$expected\" in its ELF header:" >&2
    printf '%s\n' "$header" >&2
    exit 1
  fi
done
echo "$1: $2, $3 ${4:-}"
