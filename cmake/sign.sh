#!/usr/bin/env bash
# Authenticode-signs a program in place (SHA-256, time-stamped when a server is given); the
# program is left as it was where signing fails. The unsigned program stays beside it
# (<program>.unsigned): the signature removed again must give back its bytes.
# Usage: sign.sh <osslsigncode> <program> <certificate> <key> [<password file> [<time-stamp URL>]]
# SPDX-License-Identifier: MIT
set -euo pipefail
osslsigncode=$1 program=$2 cert=$3 key=$4 password_file=${5-} timestamp_url=${6-}
args=(sign -h sha256 -certs "$cert" -key "$key" -n Zaro_MainPictureExt_Config
  -in "$program" -out "$program.signed")
[ -z "$password_file" ] || args+=(-readpass "$password_file")
[ -z "$timestamp_url" ] || args+=(-ts "$timestamp_url")
rm -f "$program.signed"
"$osslsigncode" "${args[@]}" >/dev/null
cp "$program" "$program.unsigned"
mv -f "$program.signed" "$program"
echo "Signed $program with $cert"
