#!/usr/bin/env bash
# The .exe of a build given a certificate: it verifies against that certificate, and removing the
# signature gives back the unsigned program's bytes, so that a signed release can be compared with
# a rebuild of its commit.
# Usage: signature_test.sh <program> <certificate>
# SPDX-License-Identifier: MIT
set -euo pipefail
program=$1
cert=$2
# shellcheck source=tests/support/checks.sh
. "$(dirname "$0")/../support/checks.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

check "the .exe verifies against the certificate it was signed with" \
  quietly osslsigncode verify -CAfile "$cert" -in "$program"
check "its signature removed, the unsigned bytes are left" \
  bash -c "osslsigncode remove-signature -in '$program' -out '$work/removed.exe' >/dev/null &&
    cmp '$work/removed.exe' '$program.unsigned'"
finish
