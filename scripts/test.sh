#!/usr/bin/env bash
# Builds Kestrix for 32-bit and 64-bit Windows and runs the whole test suite
# in both, each under Wine in a prefix of its own bitness.
#   bash scripts/test.sh [ctest arguments, e.g. -R Bench]
#   KX_TEST_BITS=64 bash scripts/test.sh ...   # one bitness only
# Works from a fresh clone, as root, without DISPLAY and without stdin. Both
# builds come first: the 64-bit suite's cross-bitness tests use the 32-bit
# build's control and programs. The suites and the release checks then run
# at once, each even when another fails; the exit status is 0 only when
# every one passed.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bits_list=${KX_TEST_BITS:-32 64}

# shellcheck source=wine-vars.sh
source "$here/wine-vars.sh"
bash "$here/setup.sh" </dev/null
if ! kx_runs_32bit; then
  # Nothing 32-bit runs here, Wine's build steps included: say so loudly
  # rather than fail every 32-bit check for a reason that is not ours.
  echo "test: WARNING: this kernel runs no 32-bit programs (32-bit emulation is off:" \
       "ia32_emulation=on brings it back); the 32-bit build, its suite and every" \
       "check that runs a 32-bit program are SKIPPED" >&2
  bits_list=${bits_list//32/}
fi

for bits in $bits_list; do
  echo "test: building the ${bits}-bit Kestrix"
  KX_BITS=$bits KX_BUILD_DIR= KX_SKIP_SETUP=1 bash "$here/build.sh" </dev/null
done

# The suites and the release checks run at once: each has its own Wine
# prefixes, wine server and display, and most of their time is Wine's
# waiting, not the processor's. Each one's output follows when it ends.
logs=$(mktemp -d "${TMPDIR:-/tmp}/kx-test.XXXXXX")
names=() pids=()
# Whatever ends this run ends the ones still running (each stops its own
# Wine servers and displays on TERM).
stop_all() {
  local pid
  for pid in "${pids[@]}"; do [ -z "$pid" ] || kill "$pid" 2>/dev/null || true; done
  wait || true
  rm -rf "$logs"
}
trap stop_all EXIT
trap 'exit 130' INT TERM
start() { # name, command...
  local name=$1
  shift
  echo "test: $name: started"
  "$@" </dev/null >"$logs/${#names[@]}" 2>&1 &
  names+=("$name") pids+=($!)
}
for bits in $bits_list; do
  start "the ${bits}-bit suite" env KX_BITS="$bits" KX_BUILD_DIR= KX_SKIP_SETUP=1 bash "$here/test-bits.sh" "$@"
done
# The packages: built, installed and uninstalled under Wine's cmd in a fresh
# prefix of each bitness.
start "the release packages" bash "$here/test-release.sh"

rc=0
for i in "${!pids[@]}"; do
  status=0
  wait "${pids[$i]}" || status=$?
  pids[$i]=
  echo "test: ${names[$i]}: exit status $status"
  cat "$logs/$i"
  [ "$status" = 0 ] || rc=1
done
exit "$rc"
