#!/bin/sh
# Runs every fuzz target of a libFuzzer build for SECONDS each (default 60), from its
# seed corpus in fuzz/corpus/ and what earlier runs added in BUILD_DIR, and prints per target the executions, the
# coverage (libFuzzer's cov: edges and ft: features) and the crashes found. A target
# that crashes is started again for the rest of its time; every crash, leak, time-out
# or out-of-memory input is copied into fuzz/regressions/<target>/, which `make test`
# replays. Exits with 1 when anything was found.
# Usage: run-fuzz.sh BUILD_DIR [SECONDS]
set -u
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-60}
targets="config_blob drive_replies command_text property_text argument_list"
work=$build/fuzz-work
most_restarts=5
found_any=0

# The last value of a libFuzzer status field ("cov:", "ft:") in a log.
last_field() {
  grep -o "$1 [0-9]*" "$2" | tail -n 1 | cut -d' ' -f2
}

run_target() {
  target=$1
  corpus=$work/corpus/$target
  artifacts=$work/artifacts/$target
  mkdir -p "$corpus" "$artifacts"
  dictionary=""
  [ -f "fuzz/dict/$target.dict" ] && dictionary="-dict=fuzz/dict/$target.dict"
  executions=0 cov=0 ft=0 runs=0
  end=$(( $(date +%s) + seconds ))
  while [ "$runs" -le "$most_restarts" ]; do
    left=$(( end - $(date +%s) ))
    [ "$left" -gt 0 ] || break
    log=$work/$target.$runs.log
    # shellcheck disable=SC2086
    "$build/fuzz/fuzz_$target" -max_total_time="$left" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$artifacts/" $dictionary "$corpus" "fuzz/corpus/$target" > "$log" 2>&1
    status=$?
    done_units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    executions=$(( executions + ${done_units:-0} ))
    cov=$(last_field "cov:" "$log"); cov=${cov:-0}
    ft=$(last_field "ft:" "$log"); ft=${ft:-0}
    runs=$(( runs + 1 ))
    [ "$status" -eq 0 ] && break
  done
  crashes=0
  for input in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
    [ -f "$input" ] || continue
    crashes=$(( crashes + 1 ))
    mkdir -p "fuzz/regressions/$target"
    cp "$input" "fuzz/regressions/$target/"
  done
  [ "$crashes" -gt 0 ] && found_any=1
  printf '%-14s %12s %8s %10s %8s\n' "$target" "$executions" "$cov" "$ft" "$crashes"
}

# The corpus grown by earlier runs is kept; their findings and logs are not.
rm -rf "$work/artifacts" "$work"/*.log
mkdir -p "$work"
echo "Fuzzing each target for $seconds s (logs in $work)"
printf '%-14s %12s %8s %10s %8s\n' target executions cov: ft: crashes
for target in $targets; do
  run_target "$target"
done
if [ "$found_any" -ne 0 ]; then
  echo "Crash inputs were copied into fuzz/regressions/; see the logs in $work"
  exit 1
fi
