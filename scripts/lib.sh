# shellcheck shell=bash
# What every command in scripts/ starts with. Source it first:
#   source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
# It sets strict mode, KX_ROOT (the repository), KX_BITS (32 or 64: the
# bitness to build, default 32) and KX_BUILD (the build folder:
# $KX_BUILD_DIR, default build/ for 32 bits and build64/ for 64), changes
# to KX_ROOT, and offers
#   kx_on_exit CMD...   adds CMD to the one EXIT chain (run last added first;
#                       nothing here replaces another part's handler)
#   kx_build [ARGS...]  takes the build folder's lock for the rest of the run
#                       and builds (scripts/build.sh ARGS)
#   kx_version          prints Kestrix's version, as the top CMakeLists.txt
#                       says it (empty when it says none)
set -euo pipefail

KX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KX_BITS="${KX_BITS:-32}"
case "$KX_BITS" in
  32) KX_BUILD="${KX_BUILD_DIR:-$KX_ROOT/build}" ;;
  64) KX_BUILD="${KX_BUILD_DIR:-$KX_ROOT/build64}" ;;
  *) echo "KX_BITS must be 32 or 64, not $KX_BITS" >&2; exit 2 ;;
esac
export KX_BITS
cd "$KX_ROOT"

# shellcheck source=lock.sh
source "$KX_ROOT/scripts/lock.sh"

_kx_exit_chain=()
kx_on_exit() {
  _kx_exit_chain=("$*" "${_kx_exit_chain[@]}")
  trap _kx_run_exit_chain EXIT
}
_kx_run_exit_chain() {
  local cmd
  for cmd in "${_kx_exit_chain[@]}"; do
    eval "$cmd" || true
  done
}

kx_build() {
  # One run at a time in a build folder: a test run must not rebuild or
  # stop the wine server under another run, nor the other way round.
  kx_lock_build_dir "$KX_BUILD"
  kx_on_exit kx_unlock_build_dir
  KX_BUILD_DIR="$KX_BUILD" KX_BITS="$KX_BITS" bash "$KX_ROOT/scripts/build.sh" "$@"
}

kx_version() {
  sed -n 's/^project(Kestrix VERSION \([0-9.]*\) .*/\1/p' "$KX_ROOT/CMakeLists.txt"
}
