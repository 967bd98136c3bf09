#!/usr/bin/env bash
# Registers the build's Kestrix.OCX in the build's Wine prefix and runs a
# VBScript with Wine's cscript there, printing what it prints.
#   bash scripts/run-script.sh [--64] script.vbs [script arguments...]
# Builds what is missing first (scripts/build.sh). The prefix is
# build/wineprefix (build64/wineprefix with --64); the registration stays
# there, pointing into the build folder.
if [ "${1:-}" = --64 ]; then
  export KX_BITS=64
  shift
fi
if [ $# -lt 1 ] || [ ! -f "$1" ]; then
  echo "usage: bash scripts/run-script.sh [--64] script.vbs [arguments...]" >&2
  exit 2
fi
script=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
shift
args=("$@")
set --
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kx_build --target Kestrix KxKeepAlive

# shellcheck source=wine-env.sh
source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD" --xvfb

# Z: is the root of the Unix file system in a Wine prefix.
winpath() { printf 'Z:%s' "${1//\//\\}"; }
ocx="$KX_BUILD/prg/Kestrix/Kestrix.OCX"
if ! "$KX_WINE" regsvr32 /s "$(winpath "$ocx")" </dev/null >/dev/null 2>&1; then
  echo "run-script: $ocx could not be registered" >&2
  exit 1
fi
"$KX_WINE" cscript //nologo "$(winpath "$script")" "${args[@]}" </dev/null 2>&1 | tr -d '\r'
