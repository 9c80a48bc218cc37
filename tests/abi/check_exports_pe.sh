#!/bin/sh
# The Windows DLL exports the fifteen entry points by their plain names and nothing
# else, and imports from system DLLs only (libgcc and libstdc++ are linked in).
# Usage: check_exports_pe.sh OBJDUMP DRIVER
set -eu
objdump=$1
driver=$2
expected="SvrCollectDevData SvrDevIOCtrl SvrDoHelp SvrEditCustomProperty SvrEditProperties SvrEnumPropertyValue SvrExitDevRun SvrGetChannel SvrGetDevInfo SvrGetProperty SvrInitDevRun SvrInitDevSet SvrSetProperty SvrSetRunIDispatch SvrSetSetIDispatch"
system_dlls="KERNEL32.dll USER32.dll GDI32.dll COMCTL32.dll OLEAUT32.dll ole32.dll msvcrt.dll ADVAPI32.dll"
table=$("$objdump" -p "$driver")
# The export directory's name table: lines "[index] name".
actual=$(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\] \([^[:space:]]*\)$/\1/p' |
  sort | tr '\n' ' ' | sed 's/ $//')
if [ "$actual" != "$expected" ]; then
  echo "exported: $actual"
  echo "expected: $expected"
  exit 1
fi
imports=$(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort -u)
for dll in $imports; do
  # Import libraries spell the names as they like (COMCTL32.DLL): compared case-blind.
  case " $(echo "$system_dlls" | tr '[:upper:]' '[:lower:]') " in
    *" $(echo "$dll" | tr '[:upper:]' '[:lower:]') "*) ;;
    *) echo "imports $dll, which is no system DLL"; exit 1 ;;
  esac
done
echo "exports: the fifteen entry points; imports:" $imports
