#!/bin/sh
# Runs a Windows program under Wine in the given prefix, never the user's own: Wine makes it on
# first use, and writes nothing into the home folder (no menu entries) nor asks for its .NET and
# HTML engines. The output passes through files: the background processes the first program of a
# Wine session starts would otherwise keep the caller's pipe open, and a test runner would wait
# for them. Wine's own messages go to stderr: test discovery reads the cases from stdout. Wine
# maps file names through the Unix locale's character set: a UTF-8 one, whatever the caller has.
# Usage: wine-run.sh <prefix> <program> [arguments]
# SPDX-License-Identifier: MIT
export LC_ALL=C.UTF-8
export WINEPREFIX="$1"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
shift
out=$(mktemp)
err=$(mktemp)
"${ZARO_WINE:-wine}" "$@" >"$out" 2>"$err"
status=$?
cat "$out"
cat "$err" >&2
if [ "$status" -ne 0 ] && [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no display; windows need one, e.g. xvfb-run -a ctest --preset windows" >&2
fi
rm -f "$out" "$err"
exit "$status"
