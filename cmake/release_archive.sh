#!/usr/bin/env bash
# Makes a release archive that any build of the same commit makes byte for byte: every member
# with the commit's time, owner and group 0, mode 0644 (the program 0755), in a fixed order, and
# no entry for the folder itself, so that unpacking over a plant leaves the folder's owner and mode
# as they are. Beside it in the package folder: its bill of materials and SHA256SUMS over all
# there; the program's symbols go to the symbols folder.
# Usage: release_archive.sh <linux-<cpu>|win64> <product version> <epoch> <package folder>
#          <symbols folder> <staging folder> <objdump> <c++ compiler> <program> <README.txt>
#          <INI file> <text files...>
# SPDX-License-Identifier: MIT
set -euo pipefail
system=$1 product_version=$2 epoch=$3 out=$4 symbols=$5 stage=$6 objdump=$7 compiler=$8
program=$9 readme=${10} ini=${11}
shift 11
export LC_ALL=C TZ=UTC0
umask 022
here=$(cd "$(dirname "$0")" && pwd)

die() { echo "release_archive.sh: $*" >&2; exit 1; }

folder=Zaro_MainPictureExt
base="Zaro_MainPictureExt_Config-${product_version%%+*}-$system"
case $system in
  win64) archive="$base.zip" sbom_system=windows ;;
  linux-*) archive="$base.tar.gz" sbom_system=linux ;;
  *) die "no such system: $system" ;;
esac

# deb_versions: fills in each @deb:<package>@ with the version this machine has installed.
deb_versions() {
  local text package version
  text=$(cat)
  while read -r package; do
    version=$(dpkg-query -W -f='${Version}' "$package" 2>/dev/null) ||
      die "the package $package named in a text is not installed"
    text=${text//@deb:$package@/$version}
  done < <(grep -o '@deb:[a-z0-9.+-]*@' <<<"$text" | sort -u | sed 's/^@deb://; s/@$//')
  printf '%s\n' "$text"
}

rm -rf "$stage"
mkdir -p "$stage/$folder" "$out" "$symbols/$base"
into="$stage/$folder"
install -m 0755 "$program" "$into/"
install -m 0644 "$readme" "$into/README.txt"
install -m 0644 "$ini" "$into/Zaro_MainPictureExt_Config.ini.default"
for text in "$@"; do
  copy="$into/$(basename "$text")"
  # Notepad before Windows 10 shows a file of LF line ends as one line.
  if [ "$system" = win64 ]; then
    deb_versions <"$text" | sed 's/$/\r/' >"$copy"
  else
    deb_versions <"$text" >"$copy"
  fi
  chmod 0644 "$copy"
done
(cd "$stage" && find "$folder" -type f | sort) >"$stage/members"
while read -r member; do touch -h -d "@$epoch" "$stage/$member"; done <"$stage/members"

rm -f "$out/$archive.part"
if [ "$system" = win64 ]; then
  # No extra fields (owner, times in another form): only the DOS time, read in UTC.
  (cd "$stage" && zip -X -q -9 "$out/$archive.part" -@ <members)
  mv "$out/$archive.part" "$out/$archive"
else
  tar --create --format=gnu --no-recursion --owner=0 --group=0 --numeric-owner \
    --mtime="@$epoch" --no-acls --no-xattrs --no-selinux -C "$stage" -T "$stage/members" |
    gzip -9 -n >"$out/$archive.part"
  mv "$out/$archive.part" "$out/$archive"
fi

cp "$program.debug" "$symbols/$base/"
copyright=$(grep -m1 '^Copyright ' "$into/LICENSE" | tr -d '\r') || die "LICENSE has no copyright line"
bash "$here/sbom.sh" "$out/$archive" "$into/$(basename "$program")" "$product_version" "$epoch" \
  "$copyright" "$sbom_system" "$objdump" "$compiler" >"$out/$archive.spdx.json.part"
mv "$out/$archive.spdx.json.part" "$out/$archive.spdx.json"

(cd "$out" && find . -maxdepth 1 -type f \( -name '*.tar.gz' -o -name '*.zip' -o -name '*.spdx.json' \) \
  -printf '%f\n' | sort | xargs -r sha256sum -- >SHA256SUMS.part && mv SHA256SUMS.part SHA256SUMS)
echo "Made $out/$archive, its bill of materials and SHA256SUMS; symbols in $symbols/$base"
