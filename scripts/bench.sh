#!/usr/bin/env bash
# Builds KestrixBench and runs it once under Wine, printing its lines.
#   bash scripts/bench.sh [seconds-per-sample [rounds]]
# Works as root, without DISPLAY and without stdin: the same build as
# scripts/test.sh (build folder $KX_BUILD_DIR, default build/), a private
# Xvfb display and a warm wine server from scripts/wine-env.sh. Exits with
# the bench's status: 0 when it ran (whether its goal holds or not), 1 when
# something broke.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build="${KX_BUILD_DIR:-$root/build}"

# One run at a time in a build folder, held until this script ends (as
# scripts/test.sh does): a test run must not rebuild or stop the wine
# server under the bench, nor the bench under it.
if [ -f "$root/scripts/lock.sh" ]; then
  # shellcheck source=lock.sh
  source "$root/scripts/lock.sh"
  kx_lock_build_dir "$build"
  trap kx_unlock_build_dir EXIT
fi

KX_BUILD_DIR="$build" bash "$root/scripts/build.sh" --target KestrixBench KxKeepAlive

# shellcheck source=wine-env.sh
source "$root/scripts/wine-env.sh" "$build" --xvfb

exe="$build/bench/KestrixBench.exe"
if [ ! -f "$exe" ]; then
  echo "bench: $exe was not built" >&2
  exit 1
fi

# The server is already up with its output to /dev/null (wine-env.sh), so
# the pipe through tr is not held open by Wine's services.
rc=0
wine "$exe" "$@" </dev/null 2>&1 | tr -d '\r' || rc=$?
exit "$rc"
