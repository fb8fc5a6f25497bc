#!/usr/bin/env bash
# Writes the software bill of materials of a release archive (SPDX 2.3, JSON) to standard output:
# the program and what it contains or links, each with the exact version of the Debian package
# this machine built it from. Ends with an error, writing nothing, where a part cannot be traced
# to an installed package or has no licence known here.
# Usage: sbom.sh <archive file> <program file> <product version> <epoch> <copyright line>
#          <linux|windows> <objdump> [<c++ compiler, for windows>]
# SPDX-License-Identifier: MIT
set -euo pipefail
archive=$1 program=$2 version=$3 epoch=$4 copyright=$5 system=$6 objdump=$7 compiler=${8-}
export LC_ALL=C

die() { echo "sbom.sh: $*" >&2; exit 1; }

# licence <binary package>: its SPDX licence expression, declared then concluded (how this
# program uses it).
licence() {
  case $1 in
    libqt6*) echo "LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only|LGPL-3.0-only" ;;
    libstdc++6 | libgcc-s1 | g++-mingw-w64-* | gcc-mingw-w64-*)
      echo "GPL-3.0-or-later WITH GCC-exception-3.1|GPL-3.0-or-later WITH GCC-exception-3.1" ;;
    libc6) echo "LGPL-2.1-or-later|LGPL-2.1-or-later" ;;
    mingw-w64-*-dev) echo "LicenseRef-MinGW-w64-runtime|LicenseRef-MinGW-w64-runtime" ;;
    *) die "no licence known for the package $1: add it to cmake/sbom.sh" ;;
  esac
}

# package_of <file>: the installed package (without architecture) that holds the file.
package_of() {
  local found
  found=$(dpkg-query -S "$1" 2>/dev/null | sed -n 's/^\([^:, ]*\)\(:[a-z0-9]*\)\{0,1\}: .*/\1/p' |
    sort -u)
  if [ -z "$found" ] || [ "$(echo "$found" | wc -l)" -ne 1 ]; then
    die "no single installed package holds $1"
  fi
  echo "$found"
}

# The parts, as "package<TAB>how it is linked".
parts=()
case $system in
  linux)
    multiarch=$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)
    while read -r soname; do
      parts+=("$(package_of "*/$multiarch/$soname")"$'\t'DYNAMIC_LINK)
    done < <("$objdump" -p "$program" | sed -n 's/^ *NEEDED *//p')
    [ ${#parts[@]} -gt 0 ] || die "$program links no library: not a dynamically linked program"
    ;;
  windows)
    # What the static link takes in besides the program's own code; the DLLs it imports are
    # Windows' own.
    for library in libstdc++.a libgcc.a libgcc_eh.a libmingw32.a libmingwex.a libmsvcrt.a \
      libwinpthread.a crt2.o; do
      file=$("$compiler" -print-file-name="$library")
      [ -e "$file" ] || die "the compiler does not know $library"
      parts+=("$(package_of "$(realpath "$file")")"$'\t'STATIC_LINK)
    done
    ;;
  *) die "no such system: $system" ;;
esac
mapfile -t parts < <(printf '%s\n' "${parts[@]}" | sort -u)

id_of() { echo "SPDXRef-Package-$(echo "$1" | tr -c 'A-Za-z0-9.\n' '-')"; }
quote() { local s=${1//\\/\\\\}; printf '"%s"' "${s//\"/\\\"}"; }

name=$(basename "$archive")
created=$(date -u -d "@$epoch" +%Y-%m-%dT%H:%M:%SZ)
architecture=$(dpkg --print-architecture)
packages=""
relationships=""
extracted=""
for part in "${parts[@]}"; do
  package=${part%%$'\t'*}
  how=${part#*$'\t'}
  deb_version=$(dpkg-query -W -f='${Version}' "$package")
  source_name=$(dpkg-query -W -f='${source:Package}' "$package")
  source_version=$(dpkg-query -W -f='${source:Version}' "$package")
  [ -n "$deb_version" ] || die "$package has no version"
  licences=$(licence "$package")
  declared=${licences%%|*}
  concluded=${licences#*|}
  [[ $concluded == *LicenseRef-MinGW-w64-runtime* ]] &&
    extracted=',
  "hasExtractedLicensingInfos": [{
    "licenseId": "LicenseRef-MinGW-w64-runtime",
    "name": "MinGW-w64 runtime licence",
    "extractedText": "Public domain, and the Zope Public License 2.1 and permissive notices given in full in THIRD-PARTY-NOTICES and in COPYING.MinGW-w64-runtime of the MinGW-w64 sources."
  }]'
  packages+=$(printf ',
    {
      "SPDXID": "%s",
      "name": "%s",
      "versionInfo": "%s",
      "supplier": "Organization: Debian",
      "downloadLocation": "https://snapshot.debian.org/package/%s/%s/",
      "filesAnalyzed": false,
      "licenseDeclared": "%s",
      "licenseConcluded": "%s",
      "copyrightText": "NOASSERTION",
      "externalRefs": [{
        "referenceCategory": "PACKAGE-MANAGER",
        "referenceType": "purl",
        "referenceLocator": "pkg:deb/debian/%s@%s?arch=%s&distro=debian-12"
      }]
    }' "$(id_of "$package")" "$package" "$deb_version" "$source_name" "$source_version" \
    "$declared" "$concluded" "$package" "$deb_version" "$architecture")
  relationships+=$(printf ',
    {"spdxElementId": "SPDXRef-Program", "relationshipType": "%s", "relatedSpdxElement": "%s"}' \
    "$how" "$(id_of "$package")")
done

cat <<EOF
{
  "spdxVersion": "SPDX-2.3",
  "dataLicense": "CC0-1.0",
  "SPDXID": "SPDXRef-DOCUMENT",
  "name": $(quote "$name"),
  "documentNamespace": "https://spdx.org/spdxdocs/$name-$(sha256sum "$archive" | cut -c1-64)",
  "creationInfo": {
    "created": "$created",
    "creators": ["Tool: Zaro_MainPictureExt_Config release build (cmake/sbom.sh)"],
    "comment": $(quote "Built on Debian 12 ($architecture). $([ "$system" = windows ] &&
      echo "Besides what is listed the program imports only DLLs of Windows:" \
        "$("$objdump" -p "$program" | sed -n 's/.*DLL Name: //p' | sort | paste -sd ' ')." ||
      echo "The listed libraries are not in the archive: the system installs them.")")
  },
  "documentDescribes": ["SPDXRef-Program"],
  "packages": [
    {
      "SPDXID": "SPDXRef-Program",
      "name": "$(basename "$program")",
      "versionInfo": $(quote "$version"),
      "packageFileName": $(quote "$name"),
      "primaryPackagePurpose": "APPLICATION",
      "downloadLocation": "NOASSERTION",
      "filesAnalyzed": false,
      "checksums": [{"algorithm": "SHA256", "checksumValue": "$(sha256sum "$program" | cut -c1-64)"}],
      "licenseDeclared": "MIT",
      "licenseConcluded": "MIT",
      "copyrightText": $(quote "$copyright")
    }$packages
  ],
  "relationships": [
    {"spdxElementId": "SPDXRef-DOCUMENT", "relationshipType": "DESCRIBES", "relatedSpdxElement": "SPDXRef-Program"}$relationships
  ]$extracted
}
EOF
