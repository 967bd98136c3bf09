#!/usr/bin/env bash
# Installs what is missing, configures (once) and builds Kestrix.
#   bash scripts/build.sh [extra cmake --build arguments]
# KX_BITS=64 builds for 64-bit Windows (default 32). Build folder:
# $KX_BUILD_DIR, default build/ (32 bits) or build64/ (64 bits) in the
# repository. A 64-bit build also learns where the 32-bit one is
# ($KX_BUILD32_DIR, default build/): the tests that cross bitness use it.
# KX_SKIP_SETUP=1 skips scripts/setup.sh; KX_JOBS sets the parallel jobs
# (default 2).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bits="${KX_BITS:-32}"
case "$bits" in
  32) arch=i686; build="${KX_BUILD_DIR:-$root/build}"; extra=() ;;
  64) arch=x86_64; build="${KX_BUILD_DIR:-$root/build64}"
      extra=(-DKX_BUILD32_DIR="${KX_BUILD32_DIR:-$root/build}") ;;
  *) echo "build: KX_BITS must be 32 or 64, not $bits" >&2; exit 2 ;;
esac
toolchain="$root/cmake/mingw-$arch.cmake"

# shellcheck source=lock.sh
source "$root/scripts/lock.sh"
kx_lock_build_dir "$build"
trap kx_unlock_build_dir EXIT

if [ "${KX_SKIP_SETUP:-0}" != 1 ]; then
  bash "$root/scripts/setup.sh" </dev/null
fi

# A cache made without the mingw toolchain (or for another source tree)
# cannot be reused: configure again from scratch in that case.
cache="$build/CMakeCache.txt"
if [ -f "$cache" ]; then
  if ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=.*cmake/mingw-$arch\\.cmake\$" "$cache" ||
     ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$root" "$cache"; then
    echo "build: $cache was made for another setup; configuring again" >&2
    rm -rf "$cache" "$build/CMakeFiles"
  fi
fi
# Configure when there is no cache, or when a previous configure failed
# before writing the build system (cmake --build cannot recover from that).
if [ ! -f "$cache" ] || { [ ! -f "$build/Makefile" ] && [ ! -f "$build/build.ninja" ]; }; then
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" "${extra[@]}" </dev/null
fi

cmake --build "$build" -j"${KX_JOBS:-2}" "$@" </dev/null
