#!/usr/bin/env bash
# Builds Kestrix the same way as scripts/test.sh and lists what was built.
#   bash scripts/demo.sh
# (The demo programs do not exist yet; once they do, this script runs them
# under Wine through scripts/wine-env.sh.)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build="${KX_BUILD_DIR:-$root/build}"

KX_BUILD_DIR="$build" bash "$root/scripts/build.sh"

echo
echo "Built in $build:"
find "$build" \( -path "$build/wineprefix" -o -name CMakeFiles \) -prune -o \
     -type f \( -iname '*.ocx' -o -iname '*.exe' -o -iname '*.dll' -o -iname '*.tlb' \) \
     -printf '%P\t%s bytes\n' | sort
