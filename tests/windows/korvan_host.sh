#!/bin/sh
# korvan-host.exe as a person runs it under Wine: archives kept in files between runs,
# and simulated drives of the Linux build on pseudo-terminals linked as COM13 (answers
# cleanly, tracing what it sends) and COM14 (drops every reply) of the Wine prefix.
# Usage: korvan_host.sh KORVAN-SIM KORVAN-HOST.EXE   (within a Wine session)
set -eu
sim=$1
host=$2
devices=$WINEPREFIX/dosdevices
work=$(mktemp -d)
pids=""
stop() {
  for pid in $pids; do kill "$pid" 2> /dev/null || true; done
  for pid in $pids; do wait "$pid" 2> /dev/null || true; done
  rm -f "$devices/com13" "$devices/com14"
  rm -rf "$work"
}
trap stop EXIT
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }

# Runs korvan-host.exe in the work folder: its output, less the CRs of its line ends, in
# out and err, its exit status in $status.
run() {
  status=0
  (cd "$work" && wine "$host" "$@" > out.raw 2> err.raw) || status=$?
  tr -d '\r' < "$work/out.raw" > "$work/out"
  tr -d '\r' < "$work/err.raw" > "$work/err"
}
expect_status() {  # what, wanted
  [ "$status" = "$2" ] || fail "$1: exit status $status, not $2: $(cat "$work/err")"
}

rm -f "$devices/com13" "$devices/com14"
"$sim" --pty --link "$devices/com13" --no-pacing --trace < /dev/null > "$work/drive.log" 2>&1 &
drive=$!
pids="$pids $drive"
"$sim" --pty --link "$devices/com14" --no-pacing --drop 1 < /dev/null > /dev/null 2>&1 &
pids="$pids $!"
"$(dirname "$0")/../../scripts/wait-for-paths.sh" -p "$drive" "$devices/com13" "$devices/com14"

# Properties set in one run are there in the next; the save keeps the file it replaced.
run --archive device.archive init
expect_status init 0
cp "$work/device.archive" "$work/initial.archive"
run --archive device.archive set address=3 wait=350
expect_status set 0
run --archive device.archive props
expect_status props 0
printf '设备地址 = 3    (device address)\n通讯等待时间 = 350    (communication wait time, ms)\n' > "$work/props"
cmp -s "$work/out" "$work/props" || fail "props in the next run: $(cat "$work/out")"
cmp -s "$work/device.archive.bak" "$work/initial.archive" || fail "the .bak is not the archive the set replaced"

# A channel from the parameter catalog beside the program.
run --archive device.archive set address=1
run --archive device.archive add 520
expect_status "add 520" 0
[ "$(cat "$work/out")" = 'added parameter 520 "Motor current" uint32, conversion -2, ro' ] ||
  fail "add 520: $(cat "$work/out")"

# --trace: the requests the driver wrote and the replies it read, decoded.
run --archive device.archive --port COM13 --trace run --count 2
expect_status "run --trace" 0
[ "$(grep -c ' -> 02 0E 01 .*| adr=0x01 ak=1 pnu=520 ' "$work/out")" = 2 ] &&
  [ "$(grep -c ' <- 02 0E 01 .*| adr=0x01 ak=2 pnu=520 ' "$work/out")" = 2 ] ||
  fail "the trace lacks two requests and two replies for parameter 520: $(cat "$work/out")"

# Device commands with host variables: a value written from one and read back into
# another, and the drive's text into a text variable.
run --archive device.archive --port COM13 exec 'WRITE(207,-2,4,0,V)' 'READ(207,-2,4,R)' 'READ(621,0,5,T)' \
  --var V:float=4.25 --var R:float=0 --var T:text=none
expect_status exec 0
grep -qx 'R = 4.25 (float)' "$work/out" && grep -qx 'T = "VLT5005 380-500V  " (text)' "$work/out" ||
  fail "exec: $(cat "$work/out")"

# Commissioning: the drive found on its line (and none where none answers), a backup,
# three changes by exec, the changes seen, a restore that
# writes nothing, one that writes them, and nothing left to see.
run --port COM13 scan --plain
expect_status scan 0
grep -q '^found: address 1  9600 baud 8E1  unit type VLT5005 380-500V  software 3.12$' "$work/out" ||
  fail "scan: $(cat "$work/out")"
run --port COM14 scan --bauds 9600 --addresses 1-3
expect_status "scan of a silent line" 3
run --archive device.archive --port COM13 backup drive.csv
expect_status backup 0
run --archive device.archive --port COM13 exec 'WRITE(1,0,2,0,2)' 'WRITE(202,-1,3,0,60)' 'WRITE(208,-2,4,0,5.5)'
expect_status "three changes" 0
run --archive device.archive --port COM13 diff drive.csv
expect_status diff 3
[ "$(grep -c ' → ' "$work/out")" = 3 ] && grep -qx '208 Ramp-down time 1: 3.00 s → 5.50 s' "$work/out" ||
  fail "diff: $(cat "$work/out")"
run --archive device.archive --port COM13 restore drive.csv
expect_status restore 0
grep -q '^3 to write, 0 skipped; nothing written' "$work/out" || fail "restore: $(cat "$work/out")"
run --archive device.archive --port COM13 restore drive.csv --apply
expect_status "restore --apply" 0
run --archive device.archive --port COM13 diff drive.csv
expect_status "diff after the restore" 0

# Collected while the motor runs: the last value is the one in the drive's last reply
# for parameter 520 (factor 0.01).
run --archive device.archive --port COM13 --control 0x047C --reference 1 exec 'ZELK_WRITE(3=1)'
expect_status "motor start" 0
run --archive device.archive --port COM13 run --count 20 --json
expect_status "run --count 20" 0
[ "$(grep -c '^{"round":' "$work/out")" = 20 ] || fail "run --count 20 showed $(grep -c '^{"round":' "$work/out") rounds"
collected=$(tail -n 1 "$work/out" | sed -n 's/.*{"k":5,[^}]*"value":\([^,]*\),.*/\1/p')

kill "$drive"  # its trace is complete once it has gone
wait "$drive" || true
replied=$(grep ' TX .*pnu=520 ' "$work/drive.log" | tail -n 1 | sed -n 's/.*pwe=0x[0-9A-F]* (\([0-9]*\)).*/\1/p')
expected=$(awk -v raw="$replied" 'BEGIN { printf "%.10g", raw / 100 }')
[ -n "$replied" ] && [ "$collected" = "$expected" ] && [ "$replied" -gt 0 ] ||
  fail "collected motor current '$collected', the drive's last reply $replied × 0.01"

# A drive that does not answer: the exchanges fail with status 3.
run --archive device.archive --port COM14 run --count 2 --plain
expect_status "a silent drive's run" 3
grep -q '2 of 2 exchanges failed: 2 × 2 no reply' "$work/err" || fail "silent drive: $(cat "$work/err")"
run --archive device.archive --port COM14 exec 'READ(207,-2,4,R)' --var R:float=0
expect_status "a silent drive's exec" 3

# A file that is not an archive is refused with one line and left byte for byte.
printf 'plant notes\r\nline 2\r\n' > "$work/notes.txt"
cp "$work/notes.txt" "$work/notes.copy"
run --archive notes.txt set address=2
expect_status "a file that is no archive" 1
[ "$(wc -l < "$work/err")" = 1 ] && grep -q 'is not a Korvan archive' "$work/err" || fail "no archive: $(cat "$work/err")"
cmp -s "$work/notes.txt" "$work/notes.copy" && [ ! -e "$work/notes.txt.bak" ] || fail "the file that is no archive changed"

[ "$failed" = 0 ] &&
  echo "korvan-host.exe: properties, add and run, trace, exec, commissioning, silent drive, foreign file: ok"
exit "$failed"
