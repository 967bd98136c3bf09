#!/usr/bin/env bash
# Pictures of the control's three property pages and its version dialog,
# as the form runtime's designer shows them over Demlet1's form, taken on
# the test display: docs/page1-target-controls.png, page2-target-events.png,
# page3-options.png and version-dialog.png.
#   bash scripts/page-shots.sh
# KX_BITS=64 takes them from the 64-bit build (default 32); build folder:
# $KX_BUILD_DIR, default build/ (build64/ for 64 bits) in the repository.
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kx_build --target KxPageShots KxKeepAlive

# shellcheck source=wine-env.sh
source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD" --xvfb

exe_dir="$KX_BUILD/tests/pages"
shots=$(mktemp -d "${TMPDIR:-/tmp}/kx-shots.XXXXXX")
# Z: is the root of the Unix file system in a Wine prefix.
rc=0
(cd "$exe_dir" && "$KX_WINE" KxPageShots.exe "Z:${shots//\//\\}") </dev/null 2>&1 | tr -d '\r' || rc=$?
if [ "$rc" -eq 0 ]; then
  mkdir -p "$KX_ROOT/docs"
  for f in "$shots"/*.bmp; do
    convert "$f" "$KX_ROOT/docs/$(basename "${f%.bmp}").png"
    echo "page-shots: docs/$(basename "${f%.bmp}").png"
  done
fi
rm -rf "$shots"
exit "$rc"
