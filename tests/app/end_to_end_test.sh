#!/usr/bin/env bash
# Runs the built program on a fresh copy of the sample project, as on a plant.
# Usage: end_to_end_test.sh <program file> <sample project folder>
set -euo pipefail
exe=$1
sample=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
plant="$work/plant"
prog="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config"
ini="$plant/parameter/Program.ini"
cfg="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg"
failures=0

check() {  # check <description> <command...>
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}

layout() {
  rm -rf "$plant"
  cp -r "$sample" "$plant"
  cp "$exe" "$plant/Zaro_MainPictureExt/"
  chmod -R a+rwX "$plant"
}

# A process that cannot write the service log: as root, drop to nobody.
unprivileged() {
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
  else
    "$@"
  fi
}

run() {  # run <args...>: exit status in $status, standard error in $work/err
  status=0
  unprivileged env -i X=a-b_c PATH=/usr/bin:/bin "$prog" "$@" 2>"$work/err" || status=$?
}

without_stamp() { grep -av '^S_Prog=\|^S_Editor=' "$1"; }

# Silent run: the word is written back unchanged, the edit is stamped, nothing else moves.
layout
run /EXTERNAL=SILENT
check "silent run exits 0" test "$status" -eq 0
check "Program.ini keeps every byte" cmp -s "$sample/parameter/Program.ini" "$ini"
check "S_Prog stamped standalone" grep -aq $'^S_Prog=1.0.3 - Standalone\r$' "$cfg"
check "S_Editor from the first environment entry" grep -aq $'^S_Editor=666768\r$' "$cfg"
check "the rest of the configuration file is untouched" \
  cmp -s <(without_stamp "$sample/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg") \
  <(without_stamp "$cfg")
check "silent run says nothing" test ! -s "$work/err"

# No Program.ini to save into: reported, stamped all the same, failure status. The service log
# is not writable here, so the report reaches standard error.
layout
rm "$ini"
run /EXTERNAL=SILENT
check "failed save exits 1" test "$status" -eq 1
check "failed save is reported on standard error" grep -q \
  "^! Fault Zaro_MainPictureExt_Config: File not found: " "$work/err"
check "the report names the expected file" grep -q "PARAMETER/PROGRAM.INI" "$work/err"
check "the edit is stamped all the same" grep -aq '^S_Prog=1.0.3 - Standalone' "$cfg"
check "no Program.ini is made up" test ! -e "$ini"

# No configuration file: the run ends before the word is touched.
layout
rm "$cfg"
run /EXTERNAL=SILENT
check "missing configuration file exits 1" test "$status" -eq 1
check "missing configuration file is reported" grep -q "File not found: " "$work/err"
check "Program.ini untouched" cmp -s "$sample/parameter/Program.ini" "$ini"

# A window without a display: a clear message and the failure status, no abort.
layout
run
check "no display exits 1" test "$status" -eq 1
check "no display is explained" grep -q "no display is available" "$work/err"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; cat "$work/err"; exit 1; }
