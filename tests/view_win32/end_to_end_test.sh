#!/usr/bin/env bash
# Runs the Windows program under Wine on a fresh copy of the sample project on Wine's drive C:.
# Usage: end_to_end_test.sh <program .exe> <sample project folder> <wine> <Wine prefix>
#   <the INI file shipped>
# SPDX-License-Identifier: MIT
set -euo pipefail
exe=$1
sample=$2
wine=$3
prefix=$4
shipped_ini=$5
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# Neither the engines a new prefix would ask for nor menu entries in the home folder.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8  # Wine maps file names through the locale's character set
# shellcheck source=tests/support/processes.sh
. "$(dirname "$0")/../support/processes.sh"
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"
drive_c="$prefix/drive_c"
[ -d "$drive_c" ] || timeout 600 "$wine" wineboot -i >/dev/null 2>&1

plant="$drive_c/zaro-e2e-$$"
cleanup_paths+=("$plant")
prog="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.exe"
ini="$plant/parameter/Program.ini"
cfg="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg"
own_ini="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini"
service_log="$drive_c/MorvikServicePack.log"

# Wine's desktop takes the display of the first program of a session: give it one before any.
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  display_file=$(mktemp)
  cleanup_paths+=("$display_file")
  start_display "$display_file"
  export DISPLAY=$display
fi

layout() {
  rm -f "$service_log"
  lay_out_plant "$sample" "$plant" "$exe"
  cp "$shipped_ini" "$own_ini"
}

run() {  # run <args...>: exit status in $status
  start "$wine" "$prog" "$@" >/dev/null 2>&1
  wait_end "$started" 120
}

# Silent run: the word is written back unchanged, the edit is stamped in the machine's file.
layout
run /EXTERNAL=SILENT
check "silent run exits 0" test "$status" -eq 0
check "Program.ini keeps every byte" cmp -s "$sample/parameter/Program.ini" "$ini"
check "S_Prog stamped standalone" grep -aq $'^S_Prog=1.0.3 - Standalone\r$' "$cfg"
check "S_Editor is a code" grep -aqE $'^S_Editor=[0-9A-F]+\r$' "$cfg"
check "the tool's own INI file keeps every byte" cmp -s "$shipped_ini" "$own_ini"
check "nothing for the service log" test ! -e "$service_log"

# No Program.ini: the fault goes to C:\MorvikServicePack.log with the Windows path.
layout
rm "$ini"
run /EXTERNAL=SILENT
check "failed save exits 1" test "$status" -eq 1
check "the fault is in C:\\MorvikServicePack.log" grep -aq \
  "^! Fault Zaro_MainPictureExt_Config: File not found: " "$service_log"
check "the fault names the Windows path" grep -aqF \
  "\\ZARO-E2E-$$\\PARAMETER\\PROGRAM.INI" "$service_log"
check "no Program.ini is made up" test ! -e "$ini"

# No configuration file: the run ends before the word is touched.
layout
rm "$cfg"
run /EXTERNAL=SILENT
check "missing configuration file exits 1" test "$status" -eq 1
check "Program.ini untouched" cmp -s "$sample/parameter/Program.ini" "$ini"

# Program.ini in UTF-8 with its mark: Windows finds no section on its first line and would add a
# second one, so nothing is written and the save is reported.
layout
printf '\357\273\277[Machine1]\r\nZaroMainPictureStatus=5\r\n' >"$ini"
cp "$ini" "$plant/utf8.ini"
run /EXTERNAL=SILENT
check "UTF-8 Program.ini: the run exits 1" test "$status" -eq 1
check "UTF-8 Program.ini: reported as not saved" grep -aq \
  "^! Fault Zaro_MainPictureExt_Config: File not saved: " "$service_log"
check "UTF-8 Program.ini keeps every byte" cmp -s "$plant/utf8.ini" "$ini"

# A window run on a virtual display, as a user: the sample's word 5 ticks the first box; a click
# unticks it and OK saves 4.
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
  window_run() {  # window_run <steps>: starts the program, runs the steps on its window
    layout
    start "$wine" "$prog" >/dev/null 2>&1
    local pid=$started
    id=$(window_of 60 --name "^Erweiterte Konfiguration Zaro_MainPictureExt - standalone$")
    if [ -n "$id" ]; then
      # The client area (792 x 573 at 96 DPI) sits at the bottom centre of what X shows.
      eval "$(xdotool getwindowgeometry --shell "$id")"
      dx=$(((WIDTH - 792) / 2))
      dy=$((HEIGHT - 573 - dx))
      timeout 20 xdotool windowfocus --sync "$id" || true
      "$@"
    fi
    wait_end "$pid" 30
  }
  click() { xdotool mousemove --window "$id" $((dx + $1)) $((dy + $2)) click 1; }
  focus_box() {  # focus_box [<old box>]: waits for a "Cancel?" box (not the old one) and focuses it
    local _
    box=
    for _ in $(seq 200); do
      box=$(xdotool search --onlyvisible --name '^Cancel\?$' 2>/dev/null | grep -vx "${1:-}" |
        head -n 1 || true)
      [ -n "$box" ] && break
      sleep 0.1
    done
    [ -n "$box" ] &&
      timeout 20 xdotool mousemove --window "$box" 60 15 click 1 windowfocus --sync "$box"
  }

  tick_and_ok() { click 234 56 && click 616 542; }
  window_run tick_and_ok
  check "the window opened" test -n "$id"
  check "OK exits 0" test "$status" -eq 0
  check "the unticked box is saved: word 4" grep -aq $'^ZaroMainPictureStatus=4\r$' "$ini"
  check "S_Prog stamped" grep -aq $'^S_Prog=1.0.3 - Standalone\r$' "$cfg"

  # Cancel: the Yes/No box has no Escape answer (it would take No and keep the window open);
  # "y" is Yes, which logs the cancel and ends the run.
  cancel_escape_yes() {
    click 734 542
    focus_box && xdotool key Escape
    focus_box "$box" && xdotool key y
  }
  window_run cancel_escape_yes
  check "Escape is no answer, Yes after it ends the run with 0" test "$status" -eq 0
  check "the cancel is logged" grep -aq \
    $'^Konfigurations-EXE wurde abgebrochen:     Zaro_MainPictureExt\r$' "$plant/Q7Xcfglog.txt"
  check "Program.ini untouched by the cancel" cmp -s "$sample/parameter/Program.ini" "$ini"

  # The box's own loop hands the window a session's end while Cancel's question is open: it is
  # refused without a second box, and Yes to the one question ends the run.
  end_session_while_asking() {
    local ending
    click 734 542
    focus_box || return 0
    "$wine" wineboot --end-session >/dev/null 2>&1 &
    ending=$!
    timeout 30 tail --pid="$ending" -f /dev/null || kill "$ending"
    wait "$ending" || true
    boxes_while_asking=$(xdotool search --onlyvisible --name '^Cancel\?$' | wc -l || true)
    timeout 20 xdotool windowfocus --sync "$box" key y || true
  }
  boxes_while_asking=
  window_run end_session_while_asking
  check "a session's end while the question is open asks nothing" test "$boxes_while_asking" = 1
  check "Yes to the one question ends the run with 0" test "$status" -eq 0
else
  echo "skip window run: needs a display (or Xvfb) and xdotool"
fi

# Log-off and shutdown ask first, as the close box does (wineboot --end-session sends the same
# messages as Windows): No refuses the session's end and keeps the window; Yes logs the cancel and
# the program ends with the session.
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
  end_session_no_then_yes() {
    local answer ending
    for answer in n y; do
      "$wine" wineboot --end-session >/dev/null 2>&1 &
      ending=$!
      focus_box && xdotool key "$answer"
      timeout 30 tail --pid="$ending" -f /dev/null || kill "$ending"
      ending_status=0
      wait "$ending" || ending_status=$?
      [ "$answer" = y ] || window_kept=$(xdotool search --onlyvisible --name "standalone$" || true)
    done
  }
  window_kept='' ending_status=1
  window_run end_session_no_then_yes
  check "No to the session's end keeps the window" test -n "$window_kept"
  check "Yes to the session's end ends the run with 0" test "$status" -eq 0 -a "$ending_status" -eq 0
  check "the session's end logs the cancel" grep -aq \
    $'^Konfigurations-EXE wurde abgebrochen:     Zaro_MainPictureExt\r$' "$plant/Q7Xcfglog.txt"
fi

# A system whose ANSI code page has no "ä" (1251, Cyrillic): the shipped INI file is UTF-16 LE, so
# its keys with "ä" are found and nothing is appended, in either language. Wine takes the code page
# from the locale, made here in a folder of the test's own. The runs get a copy of the prefix:
# Wine rewrites a prefix's locale settings, its code page among them, to the running program's.
locales=$(mktemp -d)
cleanup_paths+=("$locales")
if localedef -i ru_RU -f UTF-8 "$locales/ru_RU.UTF-8" >/dev/null 2>&1; then
  cyrillic_prefix="${prefix%/}-cp1251-$$"
  cleanup_paths+=("$cyrillic_prefix")
  cp -a "$prefix" "$cyrillic_prefix"
  cyrillic=(env WINEPREFIX="$cyrillic_prefix" LOCPATH="$locales" LC_ALL=ru_RU.UTF-8 "$wine")
  # Into a file: the first program of a Wine session leaves processes that hold a pipe open.
  start "${cyrillic[@]}" reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP \
    >"$locales/acp.txt" 2>&1
  wait_end "$started" 120
  check "Wine runs at code page 1251" grep -q 'ACP.*1251' "$locales/acp.txt"
  for language in 1031 1033; do
    layout
    { printf '\377\376'; tail -c +3 "$shipped_ini" | iconv -f UTF-16LE -t UTF-8 |
      sed "s/^Language=.*\r\$/Language=$language\r/" | iconv -f UTF-8 -t UTF-16LE; } >"$own_ini"
    cp "$own_ini" "$plant/own-before.ini"
    start "${cyrillic[@]}" "$prog" /EXTERNAL=SILENT >/dev/null 2>&1
    wait_end "$started" 120
    check "code page 1251, $language: the silent run exits 0" test "$status" -eq 0
    check "code page 1251, $language: the keys are found, nothing appended" \
      cmp -s "$plant/own-before.ini" "$own_ini"
  done
  # Without the own INI file: the first start makes it, the next ones find every key they read.
  layout
  rm "$own_ini"
  sizes=()
  for _ in 1 2 3; do
    start "${cyrillic[@]}" "$prog" /EXTERNAL=SILENT >/dev/null 2>&1
    wait_end "$started" 120
    sizes+=("$(stat -c %s "$own_ini" 2>/dev/null || echo none)")
  done
  check "code page 1251, no own INI file: the third start adds nothing (${sizes[*]} bytes)" \
    test "${sizes[0]}" = "${sizes[2]}"
  key=$'^Caption_CheckAuswurfAufTats\u00e4chliche_='
  caption=$(iconv -f UTF-16LE -t UTF-8 "$own_ini" 2>/dev/null | grep -c "$key" || true)
  check "code page 1251, no own INI file: the caption with \"ä\" is there once" test "$caption" = 1
  # An own INI file in the ANSI code page cannot hold the keys with "ä": they are not written.
  layout
  tail -c +3 "$shipped_ini" | iconv -f UTF-16LE -t CP1252 >"$own_ini"
  cp "$own_ini" "$plant/own-before.ini"
  start "${cyrillic[@]}" "$prog" /EXTERNAL=SILENT >/dev/null 2>&1
  wait_end "$started" 120
  check "code page 1251, an own INI file in Windows-1252: nothing appended" \
    cmp -s "$plant/own-before.ini" "$own_ini"
  WINEPREFIX="$cyrillic_prefix" "${wine%wine}wineserver" -k 2>/dev/null || true
else
  echo "skip code page 1251: localedef lacks the ru_RU sources (Debian package locales)"
fi

# Windows 7 and 8.1: the program imports nothing they lack and runs on Wine set to Windows 7. The
# prefix's version goes back to Wine's default on every way out of the run.
newer_names='GetDpiFor(Window|System|Monitor)|AdjustWindowRectExForDpi|EnableNonClientDpiScaling'
newer_names+='|(Set|Get)(Thread|Process)DpiAwareness(Context)?|GetWindowDpiAwarenessContext'
newer_names+='|GetSystemMetricsForDpi|SystemParametersInfoForDpi|GetSystemTimePreciseAsFileTime'
newer_names+='|CreateFile2|SHCORE\.dll|api-ms-win-[a-z0-9-]+\.dll'
newer=$(x86_64-w64-mingw32-objdump -p "$exe" | grep -owiE "$newer_names" | sort -u | tr '\n' ' ' || true)
check "imports nothing Windows 7 lacks${newer:+ (imports $newer)}" test -z "$newer"
# Without an execution level a 32-bit build would be virtualised: its writes into the plant could
# land in the user's VirtualStore.
check "the manifest asks to run as its invoker" grep -aq '<requestedExecutionLevel level="asInvoker"' "$exe"
silent_run_on_windows_7() (
  trap '"$wine" winecfg -v win10 >/dev/null 2>&1' EXIT
  "$wine" winecfg -v win7 >/dev/null 2>&1
  "$wine" reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion' /v CurrentVersion |
    grep -q ' 6\.1' || exit 1
  layout
  run /EXTERNAL=SILENT
  [ "$status" -eq 0 ] && grep -aq $'^S_Prog=1.0.3 - Standalone\r$' "$cfg"
)
check "a silent run on Windows 7 exits 0 and stamps" silent_run_on_windows_7

finish
