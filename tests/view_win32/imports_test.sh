#!/usr/bin/env bash
# The program starts on a bare Windows only when it imports nothing but the system's own DLLs:
# no MinGW runtime (libstdc++, libgcc, libwinpthread) that would have to lie beside it. Its header
# asks for what Windows grants only on request: address randomisation, no execution of data, and
# no legacy handling on a Remote Desktop host.
# Usage: imports_test.sh <objdump> <program .exe>
# SPDX-License-Identifier: MIT
set -euo pipefail
system_dlls=" kernel32.dll user32.dll gdi32.dll comctl32.dll msvcrt.dll advapi32.dll "
header=$("$1" -p "$2")
imports=$(sed -n 's/.*DLL Name: //p' <<<"$header" | tr '[:upper:]' '[:lower:]')
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
flags=$(sed -n '/^DllCharacteristics/,/^SizeOf/p' <<<"$header")
for flag in DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE; do
  if grep -qw "$flag" <<<"$flags"; then
    echo "ok   header flag $flag"
  else
    echo "FAIL header lacks $flag"; failures=$((failures + 1))
  fi
done
[ "$failures" -eq 0 ]
