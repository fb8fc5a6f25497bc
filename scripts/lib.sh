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

# build_release <checkout> <output folder>: builds both release archives of a checkout, their
# bills of materials, SHA256SUMS and symbols, and copies them to <output folder>/packages and
# <output folder>/symbols. Without the tests: they add nothing to the archives. Each step's
# output goes to <output folder>/build.log.
build_release() {
  local checkout=$1 out=$2
  mkdir -p "$out"
  if ! (cd "$checkout" && rm -rf build/packages build/symbols &&
    cmake --preset release -DBUILD_TESTING=OFF -DZARO_BUILD_BENCHMARKS=OFF &&
    cmake --build --preset package-linux -j "$(nproc)" &&
    cmake --preset windows -DBUILD_TESTING=OFF &&
    cmake --build --preset package-windows -j "$(nproc)") >"$out/build.log" 2>&1; then
    tail -n 30 "$out/build.log" >&2
    return 1
  fi
  rm -rf "$out/packages" "$out/symbols"
  cp -r "$checkout/build/packages" "$checkout/build/symbols" "$out/"
}

# clone_head <folder>: a clone of this checkout's commit, uncommitted changes left out.
clone_head() {
  git rev-parse --is-inside-work-tree >/dev/null 2>&1 || refuse "not a git checkout"
  if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "$(basename "$0"): building commit $(git rev-parse --short=12 HEAD); uncommitted" \
      "changes are not in it" >&2
  fi
  git clone -q --no-checkout "$PWD" "$1"
  git -C "$1" checkout -q --detach "$(git rev-parse HEAD)"
}

# What a release build needs.
ensure_release_packages() {
  ensure_packages g++ cmake make qt6-base-dev g++-mingw-w64-x86-64-posix zip git
}
