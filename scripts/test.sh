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

KX_BUILD_DIR="$build" bash "$root/scripts/build.sh"

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh" "$build" --xvfb

rc=0
ctest --test-dir "$build" --output-on-failure --timeout 120 "$@" </dev/null || rc=$?
exit "$rc"
