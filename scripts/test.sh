#!/usr/bin/env bash
# Builds Kestrix and runs the whole test suite under Wine.
#   bash scripts/test.sh [ctest arguments, e.g. -R Bench]
# Works from a fresh clone, as root, without DISPLAY and without stdin:
# installs missing packages, configures build/ once, builds, then runs
# ctest with a private Xvfb display, a prepared Wine prefix and a warm
# wine server (scripts/wine-env.sh), and exits with ctest's status.
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

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh" "$build" --xvfb

# ctest runs in the background so that a TERM or INT reaches this script
# at once; the exit trap then stops ctest and the wine session.
ctest --test-dir "$build" --output-on-failure --no-tests=error --timeout 120 "$@" </dev/null &
ctest_pid=$!
trap 'kill "$ctest_pid" 2>/dev/null || true; kx_wine_env_cleanup' EXIT
rc=0
wait "$ctest_pid" || rc=$?
exit "$rc"
