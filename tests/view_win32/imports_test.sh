#!/usr/bin/env bash
# The program starts on a bare Windows only when it imports nothing but the system's own DLLs:
# no MinGW runtime (libstdc++, libgcc, libwinpthread) that would have to lie beside it.
# Usage: imports_test.sh <objdump> <program .exe>
# SPDX-License-Identifier: MIT
set -euo pipefail
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll msvcrt.dll advapi32.dll "
imports=$("$1" -p "$2" | sed -n 's/.*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
if [ -z "$imports" ]; then
  echo "FAIL no imports read from $2"
  exit 1
fi
failures=0
for dll in $imports; do
  case $system_dlls in
    *" $dll "*) echo "ok   imports $dll" ;;
    *) echo "FAIL imports $dll, which is no system DLL"; failures=$((failures + 1)) ;;
  esac
done
[ "$failures" -eq 0 ]
