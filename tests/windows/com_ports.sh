#!/bin/sh
# Runs a Windows program against four simulated drives, each on a pseudo-terminal
# linked as a COM port of the Wine prefix: COM5 answers cleanly, COM6 drops every
# reply, COM7 spoils every check character and COM8 refuses every request. The ports
# are named to the program in KORVAN_COM_PORTS.
# Usage: com_ports.sh KORVAN-SIM COMMAND [ARGUMENT...]   (within a Wine session)
set -eu
sim=$1
shift
devices=$WINEPREFIX/dosdevices
pids=""
stop() {
  for pid in $pids; do kill "$pid" 2> /dev/null || true; done
  for pid in $pids; do wait "$pid" 2> /dev/null || true; done
  rm -f "$devices/com5" "$devices/com6" "$devices/com7" "$devices/com8"
}
trap stop EXIT
for port in "com5" "com6 --drop 1" "com7 --corrupt-bcc 1" "com8 --refuse 1"; do
  name=${port%% *}
  faults=${port#"$name"}
  rm -f "$devices/$name"
  # shellcheck disable=SC2086
  "$sim" --pty --link "$devices/$name" --no-pacing $faults < /dev/null > /dev/null 2>&1 &
  pids="$pids $!"
done
"$(dirname "$0")/../../scripts/wait-for-paths.sh" "$devices/com5" "$devices/com6" "$devices/com7" "$devices/com8"
KORVAN_COM_PORTS=COM5,COM6,COM7,COM8 "$@"
