#!/bin/sh
# Waits until every PATH exists (a simulated drive's link appears once its line is
# ready), for at most a minute, however slowly a loaded machine starts the program
# that makes it; gives up early when one of the PIDs given with -p has ended.
# Usage: wait-for-paths.sh [-p PID]... PATH...
set -eu
pids=""
while [ "$#" -gt 0 ] && [ "$1" = "-p" ]; do
  pids="$pids $2"
  shift 2
done
tries=0
for path in "$@"; do
  while [ ! -e "$path" ]; do
    for pid in $pids; do
      kill -0 "$pid" 2> /dev/null || { echo "wait-for-paths: the program for $path has ended" >&2; exit 1; }
    done
    tries=$((tries + 1))
    [ "$tries" -le 1200 ] || { echo "wait-for-paths: no $path after a minute" >&2; exit 1; }
    sleep 0.05
  done
done
