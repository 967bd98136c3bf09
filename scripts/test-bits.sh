#!/usr/bin/env bash
# Builds Kestrix in one bitness and runs its whole test suite under Wine.
#   KX_BITS=32|64 bash scripts/test-bits.sh [ctest arguments, e.g. -R Bench]
# (scripts/test.sh runs it for both.) Works as root, without DISPLAY and
# without stdin: installs missing packages, configures the build folder
# once (build/ or build64/), builds, then runs ctest with a private Xvfb
# display, a prepared Wine prefix of that bitness and a warm wine server
# (scripts/wine-env.sh), and exits with ctest's status.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kx_build

# shellcheck source=wine-env.sh
source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD" --xvfb

# ctest runs in the background so that a TERM or INT reaches this script
# at once; the exit chain then stops ctest before the wine session.
# The tests that cross bitness run 32-bit programs.
skip=()
kx_runs_32bit || skip=(-E '^CrossBitnessTests\.')
# A test that fails is run once more and fails only when it fails again: a
# Wine process that dies while starting (seen: no output at all, 0.04 s)
# must not fail the run; a fault of ours fails both times.
ctest --test-dir "$KX_BUILD" --output-on-failure --no-tests=error --timeout 120 --repeat until-pass:2 \
  "${skip[@]}" "$@" </dev/null &
ctest_pid=$!
kx_on_exit 'kill "$ctest_pid" 2>/dev/null'
rc=0
wait "$ctest_pid" || rc=$?
exit "$rc"
