# What the shell tests report with: one line per check ("ok   ..." or "FAIL ..."), the failures
# counted, and the verdict as the exit status.
# shellcheck shell=bash
# SPDX-License-Identifier: MIT

failures=0

# fail <what>: a failed check.
fail() {
  echo "FAIL $*"
  failures=$((failures + 1))
}

# check <description> <command...>: ok or FAIL by the command's exit status.
check() {
  local what=$1
  shift
  if "$@"; then echo "ok   $what"; else fail "$what"; fi
}

# quietly <command...>: runs a talkative command, its output shown only when it fails.
quietly() {
  local out
  out=$("$@" 2>&1) || { printf '%s\n' "$out"; return 1; }
}

# lay_out_plant <sample project> <plant> <file...>: a fresh copy of the sample project with the
# files (the program) in its program folder.
lay_out_plant() {
  local sample=$1 plant=$2
  shift 2
  rm -rf "$plant"
  cp -r "$sample" "$plant"
  cp "$@" "$plant/Zaro_MainPictureExt/"
}

# The configuration file's lines but the edit stamp, which every run rewrites.
without_stamp() { grep -av '^S_Prog=\|^S_Editor=' "$1"; }

# version_pattern <checkout>: the extended regular expression of the version the programs built
# from a checkout must print: 1.0.3, and the commit where the sources are a git checkout.
version_pattern() {
  local commit
  if commit=$(git -C "$1" rev-parse --short=12 HEAD 2>/dev/null); then
    echo "1\.0\.3\+g$commit(\.dirty)?"
  else
    echo '1\.0\.3'
  fi
}

# The test's verdict: exit status 1 when a check failed.
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
}
