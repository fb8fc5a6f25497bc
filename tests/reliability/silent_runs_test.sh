#!/usr/bin/env bash
# Silent runs of the built program on the sample project: with hostile files, command lines and
# environments, killed at random moments, and run again on an unchanged project. Each run must
# end by itself with status 0 or 1 and no sanitizer report, and every line of Program.ini must
# survive (only the status word's line may change or be added).
# Usage: silent_runs_test.sh <program file> <sample project folder>
# SPDX-License-Identifier: MIT
set -euo pipefail
exe=$1
sample=$2
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"

work=$(mktemp -d)
running=
holder=
mounted=
# The process holding the folder locks, in a group of its own.
release_locks() {
  [ -z "$holder" ] || { kill -KILL -- "-$holder"; wait "$holder"; } 2>/dev/null || true
  holder=
}
# Every way out ends the run under way (timeout passes the signal on), releases the locks, undoes
# the mount and removes the work folder.
cleanup() {
  [ -z "$running" ] || kill -KILL "$running" 2>/dev/null || true
  release_locks
  [ -z "$mounted" ] || timeout 10 umount -l "$mounted" || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM HUP
chmod 755 "$work"
plant="$work/plant"
ini="$plant/parameter/Program.ini"
cfg="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg"
# The file's lines but the status word of [Machine1], the one line a run may change.
without_status_word() {
  sed -E '/^[ \t]*\[/h; /^ZaroMainPictureStatus=/{x; /^[ \t]*\[[ \t]*Machine1[ \t]*\]/I{x; d}; x}' "$1"
}

# The runs' own files (as root the runs are nobody's), so that saves replace them as they would
# for the plant's user.
layout() {
  lay_out_plant "$sample" "$plant" "$exe"
  chmod -R a+rwX "$plant"
  [ "$(id -u)" -ne 0 ] || chown -R 65534:65534 "$plant"
}

# As root the run drops to nobody, so that the service log falls back to standard error.
run() {  # run <expected status, or statuses for a run that may be killed> <description> <env entry> <args...>
  local expected=$1 what=$2 first_env=$3
  shift 3
  local prog="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config"
  local as=()
  [ "$(id -u)" -ne 0 ] || as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  # As root in a mount namespace of its own, where the service log lies in $work/var-log.
  # shellcheck disable=SC2016  # the inner shell expands them
  [ -z "${as_root:-}" ] || as=(unshare --mount --propagation private -- bash -c \
    'mount --bind "$0" /var/log && exec "$@"' "$work/var-log")
  timeout -s KILL "${limit:-60}" "${as[@]}" env -i "$first_env" PATH=/usr/bin:/bin "$prog" "$@" \
    >"$work/out" 2>"$work/err" &
  running=$!
  status=0
  wait "$running" || status=$?
  running=
  case " $expected " in *" $status "*) ;; *) fail "$what: exit status $status, not $expected"; head -c 2000 "$work/err"; return ;; esac
  if grep -aq "Sanitizer\|runtime error" "$work/err"; then fail "$what: sanitizer report"; head -c 2000 "$work/err"; return; fi
  echo "ok   $what (status $status)"
}

# Program.ini with hostile bytes in front of the sample's own lines.
with_program_ini() {  # with_program_ini <description> <expected status> <command writing the bytes>
  local what=$1 expected=$2
  shift 2
  layout
  { "$@"; cat "$sample/parameter/Program.ini"; } >"$ini"
  cp "$ini" "$work/before"
  run "$expected" "$what" X=a-b_c /EXTERNAL=SILENT
  if diff -a <(without_status_word "$work/before") <(without_status_word "$ini") | grep -aq '^<'; then
    fail "$what: a line of Program.ini was lost or changed"
  fi
}

random_bytes() { printf x; LC_ALL=C awk 'BEGIN { srand(1031); for (i = 0; i < 1048576; i++) printf "%c", int(rand() * 256) }'; }
nul_bytes() { printf '[Machine1\0]\0\r\nZaroMainPictureStatus=1\0 2\r\n\0\0\r\n'; }
long_line() { head -c 10485760 /dev/zero | tr '\0' '='; printf '\r\n'; }
many_sections() { seq 1 100000 | sed 's/.*/[&]\r/'; }
open_headers() { printf '[Machine7\r\n[Project\r\nZaroMainPictureStatus\r\nNumberOfMachines 9\r\n'; }

with_program_ini "random bytes" 0 random_bytes
with_program_ini "NUL bytes" 0 nul_bytes
with_program_ini "a 10 MiB line" 0 long_line
with_program_ini "100 000 sections" 0 many_sections
with_program_ini "headers without ] and keys without =" 0 open_headers

# The same file in UTF-16 LE: read and saved in its encoding; the word is stored already, so the
# file is not even rewritten.
layout
{ printf '\xff\xfe'; iconv -f WINDOWS-1252 -t UTF-16LE "$sample/parameter/Program.ini"; } >"$ini"
cp "$ini" "$work/before"
run 0 "UTF-16 LE Program.ini" X=a-b_c /EXTERNAL=SILENT
cmp -s "$work/before" "$ini" || fail "UTF-16 LE Program.ini was changed"

# UTF-16 BE cannot be read: the save fails and says so, the file stays byte for byte.
layout
{ printf '\xfe\xff'; iconv -f WINDOWS-1252 -t UTF-16BE "$sample/parameter/Program.ini"; } >"$ini"
cp "$ini" "$work/before"
run 1 "UTF-16 BE Program.ini" X=a-b_c /EXTERNAL=SILENT
cmp -s "$work/before" "$ini" || fail "UTF-16 BE Program.ini was changed"
grep -q "File not saved: " "$work/err" || fail "UTF-16 BE Program.ini: the failed save was not reported"
cmp -s "$sample/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg" "$cfg" ||
  fail "UTF-16 BE Program.ini: an edit that was not saved was stamped"

# A stamp that cannot be saved fails the run with one report for its two entries; the word (no
# entry yet, so it is written) is saved all the same.
layout
grep -av '^ZaroMainPictureStatus=' "$sample/parameter/Program.ini" >"$ini"
chmod a-w "$cfg"
cp "$cfg" "$work/before"
run 1 "read-only configuration file" X=a-b_c /EXTERNAL=SILENT
[ "$(grep -c "File not saved: " "$work/err")" = 1 ] || fail "read-only .cfg: not reported once"
grep -q "ZARO_MAINPICTUREEXT.CFG" "$work/err" || fail "read-only .cfg: the report names another file"
grep -aq '^ZaroMainPictureStatus=0' "$ini" || fail "read-only .cfg: the word was not saved"
cmp -s "$work/before" "$cfg" || fail "read-only .cfg was changed"

# An error while no log takes an entry (the base folder is closed to the run): the run ends at
# once, says so on standard error, and saves nothing.
layout
{ printf '[Machine1]\r\nZaroMainPictureStatus=40000\r\n'; cat "$sample/parameter/Program.ini"; } >"$ini"
cp "$ini" "$work/before"
chmod a-w "$plant"
run 1 "an error that no log takes" X=a-b_c /EXTERNAL=SILENT
chmod u+w "$plant"
grep -q "The program ends\.$" "$work/err" || fail "an error that no log takes: the end was not reported"
cmp -s "$work/before" "$ini" || fail "an error that no log takes: Program.ini was changed"

# A FIFO as the configuration log: the error is one that no log takes, at once.
layout
{ printf '[Machine1]\r\nZaroMainPictureStatus=40000\r\n'; cat "$sample/parameter/Program.ini"; } >"$ini"
mkfifo -m 666 "$plant/Q7Xcfglog.txt"
limit=15 run 1 "a FIFO as the configuration log" X=a-b_c /EXTERNAL=SILENT
grep -q "The program ends\.$" "$work/err" || fail "a FIFO as the configuration log: the end was not reported"

# Links that the plant's owner (nobody) planted lead a run as root nowhere: to root's files and to
# no file; every save and the log refused and reported, no file outside the plant changed.
outside="$work/outside"
if [ "$(id -u)" -ne 0 ]; then
  echo "skip links planted for a run as root: planting them needs root"
elif ! unshare --mount --propagation private -- true 2>/dev/null; then
  echo "skip links planted for a run as root: no mount namespace here"
else
  for word in 0 40000; do
    layout
    rm -rf "$outside" "$work/var-log"
    mkdir -p "$outside" "$work/var-log"
    printf '[Machine1]\r\nZaroMainPictureStatus=%s\r\n' "$word" >"$outside/root-600"
    printf '[Info]\r\n' >"$outside/root-440"
    chmod 600 "$outside/root-600"
    chmod 440 "$outside/root-440"
    ln -sf "$outside/root-600" "$ini"
    ln -sf "$outside/root-440" "$cfg"
    ln -sf "$outside/own.ini" "$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini"
    ln -sf "$outside/log.txt" "$plant/Q7Xcfglog.txt"
    chown -h 65534:65534 "$ini" "$cfg" "$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini" \
      "$plant/Q7Xcfglog.txt"
    before=$(cd "$outside" && ls -l --time-style=+ . && cat ./*)
    as_root=1 run 1 "links planted for a run as root, stored word $word" X=a-b_c /EXTERNAL=SILENT
    [ "$(cd "$outside" && ls -l --time-style=+ . && cat ./*)" = "$before" ] ||
      fail "links planted for a run as root, stored word $word: a file outside the plant changed"
    cat "$work/var-log/MorvikServicePack.log" "$work/err" 2>/dev/null | grep -aq "not saved\|The program ends" ||
      fail "links planted for a run as root, stored word $word: the refusal was not reported"
  done
fi

# Command lines.
# Command lines.
layout
run 0 "a 100 KiB command line" X=a-b_c "$(head -c 102400 /dev/zero | tr '\0' 'q')" /EXTERNAL=SILENT
run 1 "an unmatched quote (standalone, no display)" X=a-b_c '/EXTERNAL="SILENT'
grep -q "no display" "$work/err" || fail "unmatched quote: no clear message"
run 0 "control and non-ASCII characters" X=a-b_c $'/EXTERNAL=SILENT /LOGFILE=\x01\x7f\xc3\xa4\xff "'

# A second run on an unchanged project replaces no file.
layout
run 0 "first run" X=a-b_c /EXTERNAL=SILENT
identity() { stat -c '%i %Y' "$ini" "$cfg" "$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini"; }
# Time stamps from long ago, so that a rewrite shows whatever the clock's resolution.
touch -d 2001-01-01 "$ini" "$cfg" "$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini"
before=$(identity)
run 0 "second run" X=a-b_c /EXTERNAL=SILENT
[ "$(identity)" = "$before" ] || fail "the second run replaced files it did not change"

# Another process holds flocks on both folders and on the files, as anyone who may only read them
# can: no save waits for them (each one would hold a save up 5 s), neither a run whose files need
# no change nor one that must write (an incomplete own INI file, a new stamp).
own="$plant/Zaro_MainPictureExt/Zaro_MainPictureExt_Config.ini"
setsid flock "$plant/parameter" flock "$plant/Zaro_MainPictureExt" flock "$ini" flock "$own" \
  flock "$cfg" sleep 300 &
holder=$!
for _ in $(seq 100); do flock -n "$cfg" true || break; sleep 0.1; done
flock -n "$cfg" true && fail "the locks were not taken"
limit=4 run 0 "an unchanged project while a reader holds flocks" X=a-b_c /EXTERNAL=SILENT
grep -av '^TTT_' "$own" >"$work/own"
cat "$work/own" >"$own"
limit=4 run 0 "saves while a reader holds flocks" X=d /EXTERNAL=SILENT
grep -aq '^TTT_' "$own" || fail "saves while a reader holds flocks: the own INI file was not saved"
release_locks

# Program.ini writable where the run cannot make a file (the Windows profile functions write it
# there): written in place.
layout
grep -av '^ZaroMainPictureStatus=' "$sample/parameter/Program.ini" >"$ini"
chmod a-w "$plant/parameter"
inode=$(stat -c %i "$ini")
run 0 "writable Program.ini in a read-only folder" X=a-b_c /EXTERNAL=SILENT
grep -aq '^ZaroMainPictureStatus=0' "$ini" || fail "read-only folder: the word was not saved"
[ "$(stat -c %i "$ini")" = "$inode" ] || fail "read-only folder: Program.ini was replaced"
chmod u+w "$plant/parameter"

# Program.ini bind-mounted into the project (a single-file volume), of the run's own user, so
# that only the mount stops a rename: written in place.
layout
grep -av '^ZaroMainPictureStatus=' "$sample/parameter/Program.ini" >"$work/volume.ini"
if [ "$(id -u)" -ne 0 ]; then
  echo "skip bind-mounted Program.ini: mounting needs root"
elif ! command -v mount >/dev/null; then
  echo "skip bind-mounted Program.ini: no mount command (Debian package mount)"
elif chown 65534:65534 "$work/volume.ini" &&
  timeout 10 mount --bind "$work/volume.ini" "$ini" 2>/dev/null; then
  mounted=$ini
  run 0 "bind-mounted Program.ini" X=a-b_c /EXTERNAL=SILENT
  grep -aq '^ZaroMainPictureStatus=0' "$work/volume.ini" ||
    fail "bind-mounted Program.ini: the word was not saved"
  timeout 10 umount "$ini" && mounted=
else
  echo "skip bind-mounted Program.ini: this system refuses bind mounts"
fi

# Runs killed at random moments (the editor code alternates, so each run rewrites the
# configuration file): no file is torn, and the next run leaves no temporary file behind. The
# limits span 1.2 times a whole run, however fast this machine is, so some kills land mid-run
# and some runs finish.
layout
started=$(date +%s%N)
run 0 "a run timed" X=d /EXTERNAL=SILENT
run_ms=$((($(date +%s%N) - started) / 1000000 + 1))
kills=0
finished=0
for i in $(seq 100); do
  env=X=a-b_c
  [ $((i % 2)) -eq 0 ] && env=X=d
  ms=$((i * 37 % 100 * run_ms * 12 / 1000 + 1))
  limit=$(printf '%d.%03d' $((ms / 1000)) $((ms % 1000))) run "0 137" "run $i, killed after $ms ms" "$env" /EXTERNAL=SILENT \
    >/dev/null
  case $status in 137) kills=$((kills + 1)) ;; 0) finished=$((finished + 1)) ;; esac
  cmp -s <(without_stamp "$sample/Zaro_MainPictureExt/Zaro_MainPictureExt.cfg") \
    <(without_stamp "$cfg") || fail "the configuration file was torn by kill $i"
  [ "$(grep -ac $'^S_Editor=\\(66676869\\|666768\\|69\\)\r$' "$cfg")" = 1 ] ||
    fail "the editor stamp was torn by kill $i"
  cmp -s "$sample/parameter/Program.ini" "$ini" || fail "Program.ini was changed by run $i"
done 2>/dev/null  # the shell announces each kill
echo "$kills runs killed mid-run, $finished finished"
[ "$kills" -gt 0 ] || fail "no kill landed before its run ended"
[ "$finished" -gt 0 ] || fail "no run finished before its kill: the kills never reached a save"
run 0 "run after $kills kills" X=a-b_c /EXTERNAL=SILENT
litter=$(find "$plant" -name '.ini_write.*')
[ -z "$litter" ] || fail "temporary files left: $litter"
grep -aq $'^S_Editor=666768\r$' "$cfg" || fail "the last run's stamp is missing"

finish
