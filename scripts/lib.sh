# Shared by the scripts: installs the Debian packages a script needs when they are missing.
# shellcheck shell=bash
# SPDX-License-Identifier: MIT

ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if [ "$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null)" != "install ok installed" ]; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local line="apt-get install -y --no-install-recommends ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them as root with:" >&2
    echo "  apt-get update && $line" >&2
    exit 1
  fi
  echo "Installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  $line
}

# Wine for the Windows program: a private prefix under build/, made on first use, quiet, without
# the .NET and HTML engines (their installers would ask on a fresh prefix) and without the menu
# entries Wine would write into the home folder. Wine maps file names through the Unix locale's
# character set, so it gets a UTF-8 one whatever the caller has (a fresh machine has none).
use_wine_prefix() {
  export LC_ALL=C.UTF-8
  export WINEPREFIX="$PWD/build/wine"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# The leading comment of the calling script is its usage text.
usage() {
  sed -n '2,/^[^#]/{/SPDX-License-Identifier/d;s/^# \{0,1\}//p}' "scripts/$(basename "$0")"
}

# refuse <why>: says why and how to call the script, and ends with status 2.
refuse() {
  echo "$(basename "$0"): $1" >&2
  usage >&2
  exit 2
}

# For scripts whose arguments go to the program: program options start with "/".
check_program_options() {
  local arg
  for arg in "$@"; do
    case "$arg" in
      --help | -h) usage; exit 0 ;;
      /*) ;;
      *) refuse "not a program option (those start with /): $arg" ;;
    esac
  done
}
