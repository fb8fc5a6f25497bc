#!/usr/bin/env bash
# What a user meets first on Linux: --version and --help answer without touching a file, and a
# start without a display or without the platform plugin says why in one line of its own.
# Usage: start_test.sh <program file> <sample project folder>
# SPDX-License-Identifier: MIT
set -euo pipefail
exe=$1
sample=$2
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
plant="$work/plant"
prog="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config"
lay_out_plant "$sample" "$plant" "$exe"

snapshot() { (cd "$plant" && find . -printf '%p %s %T@\n' | sort); }

# run <description> <status> <stdout pattern, '' for none> <stderr pattern, '' for none>
#     <environment entries...> -- <args...>
run() {
  local what=$1 expected=$2 out_pattern=$3 err_pattern=$4
  shift 4
  local environment=()
  while [ "$1" != -- ]; do environment+=("$1"); shift; done
  shift
  local status=0
  local before
  before=$(snapshot)
  timeout -s KILL 20 env -i PATH=/usr/bin:/bin "XDG_RUNTIME_DIR=$work" "${environment[@]}" \
    "$prog" "$@" >"$work/out" 2>"$work/err" || status=$?
  if [ "$status" -ne "$expected" ]; then fail "$what: exit status $status"
  elif { [ -n "$out_pattern" ] && ! grep -qE "$out_pattern" "$work/out"; } ||
    { [ -z "$out_pattern" ] && [ -s "$work/out" ]; }; then
    fail "$what: standard output"; cat "$work/out"
  elif [ -n "$err_pattern" ] && { [ "$(wc -l <"$work/err")" -ne 1 ] || ! grep -qE "$err_pattern" "$work/err"; }; then
    fail "$what: standard error is not one line of ours"; cat "$work/err"
  elif [ -z "$err_pattern" ] && [ -s "$work/err" ]; then fail "$what: standard error"; cat "$work/err"
  elif [ "$(snapshot)" != "$before" ]; then fail "$what: the plant's files changed"
  else echo "ok   $what"
  fi
}

run "--version names the commit" 0 \
  "^Zaro_MainPictureExt_Config $(version_pattern "$(dirname "$0")/../..")\$" '' -- --version
run "--help" 0 '^Usage: Zaro_MainPictureExt_Config .*/EXTERNAL=SILENT' '' -- --help
run "no DISPLAY" 1 '' '^Zaro_MainPictureExt_Config: .*no display is available \(DISPLAY is not set\)' -- /EXTERNAL=Q7XCFG
run "an unreachable display" 1 '' 'no display is available \(cannot connect to DISPLAY=:65000\)' DISPLAY=:65000 --
run "a platform plugin that is not installed" 1 '' \
  "Qt's platform plugin \"nonexistent\" is not installed" DISPLAY=:65000 QT_QPA_PLATFORM=nonexistent --
if ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland*" >/dev/null; then
  run "a Wayland session without XWayland or Qt's Wayland plugin" 1 '' \
    "plugin \"wayland\" is not installed; install the package qt6-wayland\.\$" \
    WAYLAND_DISPLAY=wayland-0 XDG_SESSION_TYPE=wayland --
else
  echo "skip a Wayland session without Qt's Wayland plugin: the plugin is installed here"
fi

finish
