#!/usr/bin/env bash
# Checks the release archives as a plant engineer uses them: the list of files; the first
# installation into a copy of the sample project as README.txt describes it, whose program runs a
# silent run there (the .zip under Wine) and leaves the shipped INI file as it is in either
# language; the update, unpacked over that plant, which replaces the program and keeps the
# plant's customised INI file; and on Linux an update as root over a folder of another user.
# Usage: archives_test.sh <packages folder> <sample project folder> [wine]
# SPDX-License-Identifier: MIT
set -euo pipefail
packages=$1
sample=$2
wine=${3:-wine}
# Wine in the checkout's build/wine, made on first use: nothing in the home folder (HOME may be
# unset or read-only), neither the user's prefix nor Wine's menu entries, and no question for the
# .NET and HTML engines.
WINEPREFIX="$(cd "$(dirname "$0")/../.." && pwd)/build/wine"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export LC_ALL=C.UTF-8  # Wine maps file names through the locale's character set
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"

work=$(mktemp -d)
used_wine=false
cleanup() {
  # Wine leaves its server and helper processes of the prefix behind: end them with the test.
  if $used_wine; then "${wine%wine}wineserver" -k 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
archives=0

folder=Zaro_MainPictureExt
shipped_ini="$sample/$folder/Zaro_MainPictureExt_Config.ini"

# The Windows archive ships the INI file in UTF-16 LE behind its mark, so that its keys with "ä"
# match on every ANSI code page.
utf16_ini="$work/utf16.ini"
{ printf '\377\376'; iconv -f CP1252 -t UTF-16LE "$shipped_ini"; } >"$utf16_ini"

# edit_ini <file> <sed script>: edits an INI file in its own encoding.
edit_ini() {
  if cmp -s -n 2 "$1" "$utf16_ini"; then
    { printf '\377\376'; tail -c +3 "$1" | iconv -f UTF-16LE -t UTF-8 | sed "$2" |
      iconv -f UTF-8 -t UTF-16LE; } >"$work/edited"
    cat "$work/edited" >"$1"
  else
    sed -i "$2" "$1"
  fi
}

# check_archive <archive> <file list> <its INI file's content> <program file>
#   <command that runs a program...>
check_archive() {
  local archive=$1 expected=$2 expected_ini=$3 program=$4
  shift 4
  local name
  name=$(basename "$archive")
  archives=$((archives + 1))
  check "$name holds exactly: $(echo "$expected" | tr '\n' ' ')" \
    test "$(list_of "$archive")" = "$expected"

  local plant="$work/plant"
  rm -rf "$plant"
  cp -r "$sample" "$plant"
  rm "$plant/$folder/Zaro_MainPictureExt_Config.ini" "$plant/README.md"
  local ini="$plant/$folder/Zaro_MainPictureExt_Config.ini"
  unpack "$archive" "$plant"
  cp -n "$ini.default" "$ini"
  check "$name: the first installation's INI file holds the sample's texts" \
    cmp -s "$expected_ini" "$ini"
  local language status
  for language in 1031 1033; do
    edit_ini "$ini" "s/^Language=.*\r\$/Language=$language\r/"
    cp "$ini" "$work/ini-before"
    status=0
    timeout -s KILL 60 "$@" "$plant/$folder/$program" /EXTERNAL=SILENT >"$work/out" 2>&1 ||
      status=$?
    check "$name: silent run in $language exits 0" test "$status" -eq 0
    check "$name: the INI file keeps every byte in $language" cmp -s "$work/ini-before" "$ini"
  done

  # The update: every file of the archive replaced without asking, as `unzip` and Explorer do
  # when told yes.
  edit_ini "$ini" 's/^Caption_CheckEffizienz_=.*\r$/Caption_CheckEffizienz_=Effizienz der Anlage\r/'
  cp "$ini" "$work/ini-before"
  echo "an older program" >"$plant/$folder/$program"
  unpack "$archive" "$plant"
  check "$name: the update keeps the customised INI file" cmp -s "$work/ini-before" "$ini"
  check "$name: the update replaces the program" \
    bash -c "! grep -q 'an older program' '$plant/$folder/$program'"
  status=0
  timeout -s KILL 60 "$@" "$plant/$folder/$program" /EXTERNAL=SILENT >"$work/out" 2>&1 || status=$?
  check "$name: the updated program runs" test "$status" -eq 0
  check "$name: Program.ini keeps every byte" \
    cmp -s "$sample/parameter/Program.ini" "$plant/parameter/Program.ini"
  check "$name: the edit is stamped" \
    grep -aq $'^S_Prog=1.0.3 - Standalone\r$' "$plant/$folder/Zaro_MainPictureExt.cfg"
}

list_of() {
  case $1 in
    *.zip) unzip -Z1 "$1" ;;
    *.tar.gz) tar -tzf "$1" ;;
  esac | sort
}
unpack() {
  case $1 in
    *.zip) unzip -q -o "$1" -d "$2" ;;
    *.tar.gz) tar -xzf "$1" -C "$2" ;;
  esac
}

# Only files: an entry for the folder would give it the archive's owner and mode when root unpacks.
files() { printf "$folder/%s\n" "$@" | sort; }
texts=(README.txt LICENSE THIRD-PARTY-NOTICES CHANGELOG.md)

# check_update_as_root <archive>: root updates a plant whose folder belongs to its user, mode
# 2775, as README.txt says and then plainly; the folder stays the plant's, and after README.txt's
# way so do the files, and the plant's user can run the program.
check_update_as_root() {
  local archive=$1 name plant="$work/owned" dir status=0 owner
  name=$(basename "$archive")
  if [ "$(id -u)" -ne 0 ]; then
    echo "skip $name: an update as root (the test does not run as root)"
    return
  fi
  dir="$plant/$folder"
  rm -rf "$plant"
  cp -r "$sample" "$plant"
  chmod 0755 "$work"
  chown -R nobody: "$plant"
  chmod 2775 "$dir"
  owner=$(stat -c %U "$dir")
  runuser -u "$owner" -- tar -xzf - -C "$plant" <"$archive"
  (cd "$dir" && runuser -u "$owner" -- cp -n Zaro_MainPictureExt_Config.ini.default \
    Zaro_MainPictureExt_Config.ini)
  check "$name: after an update as root the README.txt way the folder is still nobody's, 2775" \
    test "$(stat -c '%U %a' "$dir")" = "nobody 2775"
  check "$name: ... and every file in it is nobody's" test -z "$(find "$dir" ! -user nobody)"
  runuser -u nobody -- timeout -s KILL 60 env -i PATH=/usr/bin:/bin \
    "$dir/Zaro_MainPictureExt_Config" /EXTERNAL=SILENT >"$work/out" 2>&1 || status=$?
  check "$name: ... and the plant's user's silent run saves" test "$status" -eq 0
  tar -xzf "$archive" -C "$plant"
  check "$name: a plain tar -xzf as root also leaves the folder nobody's, 2775" \
    test "$(stat -c '%U %a' "$dir")" = "nobody 2775"
}

for archive in "$packages"/Zaro_MainPictureExt_Config-1.0.3-linux-*.tar.gz; do
  [ -e "$archive" ] || continue
  check_archive "$archive" \
    "$(files "${texts[@]}" Zaro_MainPictureExt_Config Zaro_MainPictureExt_Config.ini.default)" \
    "$shipped_ini" Zaro_MainPictureExt_Config env
  check_update_as_root "$archive"
done
archive="$packages/Zaro_MainPictureExt_Config-1.0.3-win64.zip"
if [ -e "$archive" ]; then
  used_wine=true
  mkdir -p "$WINEPREFIX"
  [ -f "$WINEPREFIX/system.reg" ] || timeout -s KILL 600 "$wine" wineboot -i >/dev/null 2>&1
  check_archive "$archive" \
    "$(files "${texts[@]}" Zaro_MainPictureExt_Config.exe Zaro_MainPictureExt_Config.ini.default)" \
    "$utf16_ini" Zaro_MainPictureExt_Config.exe "$wine"
  for text in "${texts[@]}"; do
    check "the Windows $text has CR LF line ends" \
      bash -c "unzip -p '$archive' $folder/$text | grep -qv \$'\\r\$' && exit 1 || exit 0"
  done
  copyright=$(unzip -p "$archive" $folder/LICENSE | grep -m1 '^Copyright ' | tr -d '\r')
  check "the .exe's version resource carries LICENSE's line: $copyright" \
    bash -c "unzip -p '$archive' $folder/Zaro_MainPictureExt_Config.exe | strings -el | grep -qxF '$copyright'"
fi

check "both archives were made" test "$archives" -eq 2
finish
