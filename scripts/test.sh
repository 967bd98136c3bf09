#!/usr/bin/env bash
# Builds Kestrix for 32-bit and 64-bit Windows and runs the whole test suite
# in both, each under Wine in a prefix of its own bitness.
#   bash scripts/test.sh [ctest arguments, e.g. -R Bench]
#   KX_TEST_BITS=64 bash scripts/test.sh ...   # one bitness only
# Works from a fresh clone, as root, without DISPLAY and without stdin. Both
# builds come first: the 64-bit suite's cross-bitness tests use the 32-bit
# build's control and programs. Each suite runs even when the other failed;
# the exit status is 0 only when every suite passed.
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

rc=0
for bits in $bits_list; do
  echo "test: the ${bits}-bit suite"
  KX_BITS=$bits KX_BUILD_DIR= KX_SKIP_SETUP=1 bash "$here/test-bits.sh" "$@" </dev/null || rc=1
done
# The packages: built, installed and uninstalled under Wine's cmd in a fresh
# prefix of each bitness.
echo "test: the release packages"
bash "$here/test-release.sh" </dev/null || rc=1
exit "$rc"
