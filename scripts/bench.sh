#!/usr/bin/env bash
# Builds KestrixBench and runs it once under Wine in each bitness, 32-bit
# first, printing its lines.
#   bash scripts/bench.sh [seconds-per-sample [rounds]]
#   KX_BENCH_BITS=64 bash scripts/bench.sh ...   # one bitness only
# Works as root, without DISPLAY and without stdin: the same builds as
# scripts/test.sh (build/ and build64/), a private Xvfb display and a warm
# wine server from scripts/wine-env.sh. Exits with 0 when every bench ran
# (whether its goals hold or not), 1 when something broke.
if [ -z "${KX_BENCH_ONE:-}" ]; then
  rc=0
  bits_list=${KX_BENCH_BITS:-32 64}
  # shellcheck source=wine-vars.sh
  source "$(dirname "${BASH_SOURCE[0]}")/wine-vars.sh"
  [ "${KX_SKIP_SETUP:-0}" = 1 ] || bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" </dev/null
  if ! kx_runs_32bit; then
    echo "bench: WARNING: this kernel runs no 32-bit programs (32-bit emulation is off): the 32-bit bench is SKIPPED" >&2
    bits_list=${bits_list//32/}
  fi
  for bits in $bits_list; do
    echo "bench: ${bits}-bit"
    KX_BENCH_ONE=1 KX_BITS=$bits KX_BUILD_DIR= bash "${BASH_SOURCE[0]}" "$@" || rc=1
  done
  exit "$rc"
fi

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
"$KX_WINE" "$exe" "$@" </dev/null 2>&1 | tr -d '\r' || rc=$?
exit "$rc"
