#!/usr/bin/env bash
# Builds Kestrix the same way as scripts/test.sh and lists what was built.
#   bash scripts/demo.sh
# (The demo programs do not exist yet; once they do, this script runs them
# under Wine through scripts/wine-env.sh.)
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build="${KX_BUILD_DIR:-$root/build}"

# One run at a time in a build folder (held until this script ends).
# shellcheck source=lock.sh
source "$root/scripts/lock.sh"
kx_lock_build_dir "$build"
trap kx_unlock_build_dir EXIT

KX_BUILD_DIR="$build" bash "$root/scripts/build.sh"

echo
echo "Built in $build:"
find "$build" \( -path "$build/wineprefix" -o -name CMakeFiles \) -prune -o \
     -type f \( -iname '*.ocx' -o -iname '*.exe' -o -iname '*.dll' -o -iname '*.tlb' \) \
     -printf '%P\t%s bytes\n' | sort
