#!/usr/bin/env bash
# Checks the package folder as a plant's IT department checks a download: it holds the archives,
# a bill of materials for each and SHA256SUMS, nothing else; the sums hold; each bill of materials
# is SPDX 2.3 naming every part with the version installed here and a licence; every member has
# the commit's time, owner 0 and a fixed mode, as has the .exe's header; the programs name the
# commit; the .exe verifies when a certificate was given and carries no signature otherwise.
# Usage: release_files_test.sh <packages folder> [<certificate the .exe was signed with>]
# SPDX-License-Identifier: MIT
set -euo pipefail
packages=$(realpath "$1")
cert=${2-}
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"
export LC_ALL=C TZ=UTC0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder=Zaro_MainPictureExt
holds() { jq -e "$@" >/dev/null; }

mapfile -t archives < <(cd "$packages" && ls -- *.tar.gz *.zip 2>/dev/null)
check "two archives: ${archives[*]}" test "${#archives[@]}" -eq 2
expected=$({ echo SHA256SUMS; for a in "${archives[@]}"; do echo "$a"; echo "$a.spdx.json"; done; } |
  sort)
check "the package folder holds only the archives, their bills of materials and SHA256SUMS" \
  test "$(cd "$packages" && find . -mindepth 1 -printf '%P\n' | sort)" = "$expected"
check "sha256sum -c SHA256SUMS passes over every file" \
  bash -c "cd '$packages' && sha256sum -c --strict --quiet SHA256SUMS &&
    test \"\$(cut -c67- SHA256SUMS | sort)\" = \"\$(ls | grep -vx SHA256SUMS | sort)\""

# The commit the programs must name and whose time the files carry, where the sources are a
# checkout.
checkout="$(dirname "$0")/../.."
version=$(version_pattern "$checkout")
commit_time=$(git -C "$checkout" log -1 --format=%ct HEAD 2>/dev/null || true)

# check_sbom <archive> <program in the unpacked archive>: prints the bill's time of creation.
# shellcheck disable=SC2016 # the $ names in the filters are jq's
check_sbom() {
  local archive=$1 program=$2 sbom="$packages/$1.spdx.json"
  check "$archive: its bill of materials is well-formed SPDX 2.3 describing the program" \
    holds --arg name "$archive" '.spdxVersion == "SPDX-2.3" and .dataLicense == "CC0-1.0" and
      .SPDXID == "SPDXRef-DOCUMENT" and (.documentNamespace | startswith("https://")) and
      .documentDescribes == ["SPDXRef-Program"] and
      ([.packages[] | select(.SPDXID == "SPDXRef-Program")][0].packageFileName == $name)' "$sbom"
  check "$archive: every component has a version and a licence" \
    holds '[.packages[] | .versionInfo, .licenseDeclared, .licenseConcluded] |
      all(type == "string" and . != "" and . != "NOASSERTION" and . != "NONE")' "$sbom"
  check "$archive: every relationship joins listed parts, each part linked" \
    holds '([.packages[].SPDXID] + ["SPDXRef-DOCUMENT"]) as $ids |
      (.relationships | all(.spdxElementId as $a | .relatedSpdxElement as $b |
        ($ids | index($a)) and ($ids | index($b)))) and
      ([.packages[].SPDXID] - [.relationships[].relatedSpdxElement] == [])' "$sbom"
  check "$archive: the program's checksum is the archived program's" \
    test "$(jq -r '.packages[] | select(.SPDXID == "SPDXRef-Program") |
      .checksums[] | select(.algorithm == "SHA256") | .checksumValue' "$sbom")" = \
    "$(sha256sum "$program" | cut -c1-64)"
  check "$archive: the program's version names the commit" \
    grep -qE "^$version\$" <<<"$(jq -r '.packages[0].versionInfo' "$sbom")"
  local name package_version
  while IFS=$'\t' read -r name package_version; do
    check "$archive: $name $package_version is the version installed here" \
      test "$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null)" = "$package_version"
    check "$archive: THIRD-PARTY-NOTICES names $name's version" \
      grep -qF "$package_version" "$(dirname "$program")/THIRD-PARTY-NOTICES"
  done < <(jq -r '.packages[] | select(.SPDXID != "SPDXRef-Program") |
    [.name, .versionInfo] | @tsv' "$sbom")
  check "$archive: THIRD-PARTY-NOTICES has every version filled in" \
    bash -c "! grep -q '@deb:' '$(dirname "$program")/THIRD-PARTY-NOTICES'"
}

for archive in "${archives[@]}"; do
  # The time every file must carry: the bill's, which the other checks tie to the build.
  epoch=$(date -d "$(jq -r .creationInfo.created "$packages/$archive.spdx.json")" +%s)
  [ -z "$commit_time" ] || [ -n "${SOURCE_DATE_EPOCH-}" ] ||
    check "$archive: its time is the commit's" test "$epoch" = "$commit_time"
  into="$work/$archive.d"
  mkdir -p "$into"
  case $archive in
    *.tar.gz)
      tar -xzf "$packages/$archive" -C "$into"
      program="$into/$folder/Zaro_MainPictureExt_Config"
      check_sbom "$archive" "$program"
      check "$archive: no time in the gzip header" \
        test "$(od -An -tu4 -j4 -N4 "$packages/$archive" | tr -d ' ')" = 0
      # Each member: type and mode, owner/group, time; only files, none of the folder.
      check "$archive: every member a file with mode 0644 (the program 0755), 0/0, the commit's time" \
        test "$(tar -tvzf "$packages/$archive" --numeric-owner --full-time |
          awk -v t="$(date -d "@$epoch" '+%Y-%m-%d %H:%M:%S')" '
            { ok = $2 == "0/0" && $4 " " $5 == t &&
                   $1 == ($6 ~ /_Config$/ ? "-rwxr-xr-x" : "-rw-r--r--") }
            !ok { print "bad: " $0 }
            END { if (NR != 6) print NR " members" }')" = ""
      check "$archive: --version names the commit" \
        grep -qE "^Zaro_MainPictureExt_Config $version\$" <<<"$("$program" --version)"
      ;;
    *.zip)
      unzip -q "$packages/$archive" -d "$into"
      program="$into/$folder/Zaro_MainPictureExt_Config.exe"
      check_sbom "$archive" "$program"
      # DOS times count in two seconds; zip rounds up.
      dos=$(date -d "@$(((epoch + 1) / 2 * 2))" '+%Y%m%d.%H%M%S')
      check "$archive: every member a file with mode 0644 (the program 0755), the commit's time, no extra fields" \
        test "$(zipinfo -T "$packages/$archive" | awk -v t="$dos" '
          NF == 8 { ok = $7 == t && $1 == ($8 ~ /\.exe$/ ? "-rwxr-xr-x" : "-rw-r--r--")
                    if (!ok) print "bad: " $0; n++ }
          END { if (n != 6) print n " members" }')$(zipinfo -v "$packages/$archive" |
          grep 'length of extra field' | grep -v ' 0 bytes' || true)" = ""
      header=$(od -An -tu4 -j60 -N4 "$program" | tr -d ' ')
      check "$archive: the .exe's header carries the commit's time" \
        test "$(od -An -tu4 -j$((header + 8)) -N4 "$program" | tr -d ' ')" = "$epoch"
      check "$archive: the .exe's version resource names the commit" \
        grep -qE "^$version\$" <<<"$(strings -el "$program")"
      if [ -n "$cert" ]; then
        check "$archive: the .exe is signed with the given certificate" \
          quietly osslsigncode verify -CAfile "$cert" -in "$program"
      else
        # The size of the certificate table (PE32+ data directory 4).
        check "$archive: the .exe carries no signature (none was asked for)" \
          test "$(od -An -tu4 -j$((header + 24 + 112 + 4 * 8 + 4)) -N4 "$program" | tr -d ' ')" = 0
      fi
      ;;
  esac
done
finish
