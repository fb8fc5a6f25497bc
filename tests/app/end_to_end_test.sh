#!/usr/bin/env bash
# Runs the built program on a fresh copy of the sample project, as on a plant.
# Usage: end_to_end_test.sh <program file> <sample project folder>
# SPDX-License-Identifier: MIT
set -euo pipefail
exe=$1
sample=$2
# shellcheck source=tests/support/processes.sh
. "$(dirname "$0")/../support/processes.sh"
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"

work=$(mktemp -d)
cleanup_paths+=("$work")
chmod 755 "$work"
plant="$work/plant"
prog="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config"
ini="$plant/parameter/Program.ini"
cfg="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg"

layout() {
  lay_out_plant "$sample" "$plant" "$exe"
  chmod -R a+rwX "$plant"
}

# A process that cannot write the service log: as root, drop to nobody.
unprivileged=()
[ "$(id -u)" -ne 0 ] || unprivileged=(setpriv --reuid=65534 --regid=65534 --clear-groups)

run() {  # run <args...>: exit status in $status, standard error in $work/err
  start "${unprivileged[@]}" env -i X=a-b_c PATH=/usr/bin:/bin "$prog" "$@" \
    >/dev/null 2>"$work/err"
  wait_end "$started" 60
}

# Silent run (the value in any letter case): the word is written back unchanged, the edit is
# stamped, nothing else moves.
layout
run /external=silent
check "silent run exits 0" test "$status" -eq 0
check "Program.ini keeps every byte" cmp -s "$sample/parameter/Program.ini" "$ini"
check "S_Prog stamped standalone" grep -aq $'^S_Prog=1.0.3 - Standalone\r$' "$cfg"
check "S_Editor from the first environment entry" grep -aq $'^S_Editor=666768\r$' "$cfg"
check "the rest of the configuration file is untouched" \
  cmp -s <(without_stamp "$sample/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg") \
  <(without_stamp "$cfg")
check "silent run says nothing" test ! -s "$work/err"
# The sample's own INI file lists every key the window looks for: a wrong key would be added.
check "the tool's own INI file keeps every byte" \
  cmp -s "$sample/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini" \
  "$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini"

# No Program.ini to save into: reported, not stamped, failure status. The service log
# is not writable here, so the report reaches standard error.
layout
rm "$ini"
run /EXTERNAL=SILENT
check "failed save exits 1" test "$status" -eq 1
check "failed save is reported on standard error" grep -q \
  "^! Fault Zaro_MainPictureExt_Config: File not found: " "$work/err"
check "the report names the expected file" grep -q "PARAMETER/PROGRAM.INI" "$work/err"
check "the edit that was not saved is not stamped" \
  cmp -s "$sample/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg" "$cfg"
check "no Program.ini is made up" test ! -e "$ini"

# No configuration file: the run ends before the word is touched.
layout
rm "$cfg"
run /EXTERNAL=SILENT
check "missing configuration file exits 1" test "$status" -eq 1
check "missing configuration file is reported" grep -q "File not found: " "$work/err"
check "Program.ini untouched" cmp -s "$sample/parameter/Program.ini" "$ini"

# A window without a display (a value that only starts like SILENT asks for one): a clear message
# and the failure status, no abort.
layout
run /EXTERNAL=SILENT2
check "no display exits 1" test "$status" -eq 1
check "no display is explained" grep -q "no display is available" "$work/err"

# Integrated window run on a virtual display, driven as a user would: the window opens from the
# configurator's copy (word 6), a click ticks the first box, OK saves into the local file (word 5).
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null; then
  layout
  sed -i "s|^SaveAndRestore=.*\r\$|SaveAndRestore=$plant/SaveAndRestore\r|" \
    "$plant/parameter/q7xconfiguration.ini"
  start_display "$work/display"
  export DISPLAY=$display  # for xdotool
  mkdir -m 700 "$work/xdg"
  window_run() {  # window_run <name part> <xdotool steps...>: exit status in $status
    local part=$1
    shift
    # The caller's platform choice must not take the window off this display.
    start env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" XDG_RUNTIME_DIR="$work/xdg" \
      "$prog" /EXTERNAL=Q7XCFG "/LOGFILE=$work/cfg log.txt" >/dev/null 2>"$work/err"
    local pid=$started id
    id=$(window_of 20 --name "$part")
    check "the window \"$part\" opened" test -n "$id"
    [ -z "$id" ] || check "the steps on \"$part\" ran" "$@" "$id"
    wait_end "$pid" 20
  }
  tick_and_ok() {
    xdotool mousemove --window "$1" 114 56 click 1 mousemove --window "$1" 616 542 click 1
  }
  window_run " - integriert" tick_and_ok
  check "integrated OK exits 0" test "$status" -eq 0
  check "the copy's bit 1 and the ticked bit 0 saved into the local word" \
    grep -aq $'^ZaroMainPictureStatus=7\r$' "$ini"
  check "the configurator's copy is left alone" \
    grep -aq $'^ZaroMainPictureStatus=6\r$' "$plant/SaveAndRestore/parameter/program.ini"
  check "S_Prog stamped integrated" grep -aq $'^S_Prog=1.0.3 - Integrated\r$' "$cfg"
  cancel_confirmed() {
    xdotool mousemove --window "$1" 734 542 click 1
    local box
    box=$(window_of 20 --name "^Cancel\?$")
    # Escape has no answer in a Yes/No box; "y" is Yes.
    [ -n "$box" ] && timeout 20 xdotool windowfocus --sync "$box" key Escape key y
  }
  window_run " - integriert" cancel_confirmed
  check "confirmed cancel exits 0" test "$status" -eq 0
  check "the cancel is logged to the LOGFILE" \
    grep -aq $'Konfigurations-EXE wurde abgebrochen:     Zaro_MainPictureExt\r$' "$work/cfg log.txt"
else
  echo "skip integrated window run: Xvfb and xdotool are not installed"
fi

[ "$failures" -eq 0 ] || cat "$work/err"
finish
