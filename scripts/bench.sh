#!/usr/bin/env bash
# Builds KestrixBench and runs it once under Wine, printing its lines.
#   bash scripts/bench.sh [seconds-per-sample [rounds]]
# Works as root, without DISPLAY and without stdin: the same build as
# scripts/test.sh (build folder $KX_BUILD_DIR, default build/), a private
# Xvfb display and a warm wine server from scripts/wine-env.sh. Exits with
# the bench's status: 0 when it ran (whether its goal holds or not), 1 when
# something broke.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kx_build --target KestrixBench KxKeepAlive

# shellcheck source=wine-env.sh
source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD" --xvfb

exe="$KX_BUILD/bench/KestrixBench.exe"
if [ ! -f "$exe" ]; then
  echo "bench: $exe was not built" >&2
  exit 1
fi

# The server is already up with its output to /dev/null (wine-env.sh), so
# the pipe through tr is not held open by Wine's services.
rc=0
wine "$exe" "$@" </dev/null 2>&1 | tr -d '\r' || rc=$?
exit "$rc"
