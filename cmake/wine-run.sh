#!/bin/sh
# Runs a Windows program under Wine with its output passed on through a file: the background
# processes the first program of a Wine session starts would otherwise keep the caller's pipe
# open, and a test runner would wait for them. Wine maps file names through the Unix locale's
# character set: a UTF-8 one, whatever the caller has.
# SPDX-License-Identifier: MIT
export LC_ALL=C.UTF-8
out=$(mktemp)
"${ZARO_WINE:-wine}" "$@" >"$out" 2>&1
status=$?
cat "$out"
rm -f "$out"
exit "$status"
