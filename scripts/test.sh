#!/usr/bin/env bash
# Builds Kestrix and runs the whole test suite under Wine.
#   bash scripts/test.sh [ctest arguments, e.g. -R Bench]
# Works from a fresh clone, as root, without DISPLAY and without stdin:
# installs missing packages, configures build/ once, builds, then runs
# ctest with a private Xvfb display, a prepared Wine prefix and a warm
# wine server (scripts/wine-env.sh), and exits with ctest's status.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kx_build

# shellcheck source=wine-env.sh
source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD" --xvfb

# ctest runs in the background so that a TERM or INT reaches this script
# at once; the exit chain then stops ctest before the wine session.
ctest --test-dir "$KX_BUILD" --output-on-failure --no-tests=error --timeout 120 "$@" </dev/null &
ctest_pid=$!
kx_on_exit 'kill "$ctest_pid" 2>/dev/null'
rc=0
wait "$ctest_pid" || rc=$?
exit "$rc"
