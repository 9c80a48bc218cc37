#!/bin/sh
# The driver module exports the fifteen entry points and no other symbol of its own.
set -eu
driver=$1
expected="SvrCollectDevData SvrDevIOCtrl SvrDoHelp SvrEditCustomProperty SvrEditProperties SvrEnumPropertyValue SvrExitDevRun SvrGetChannel SvrGetDevInfo SvrGetProperty SvrInitDevRun SvrInitDevSet SvrSetProperty SvrSetRunIDispatch SvrSetSetIDispatch"
# Defined dynamic symbols (section index not UND) with global or weak binding.
actual=$(readelf -W --dyn-syms "$driver" |
  awk '$1 ~ /^[0-9]+:$/ && $7 != "UND" && ($5 == "GLOBAL" || $5 == "WEAK") { sub(/@.*/, "", $8); print $8 }' |
  sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
  echo "exported: $actual"
  echo "expected: $expected"
  exit 1
fi
echo "exports: the fifteen entry points"
