#!/usr/bin/env bash
# Shows that the release is reproducible: two clean clones of this
# repository's HEAD, in two different folders, each run scripts/release.sh;
# their zips, Windows Installer packages and debug files must be
# byte-identical. Prints both runs' SHA-256 sums; exit 0
# when they agree, 1 when they do not (with the first differing bytes).
#   bash scripts/check-reproducible.sh
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/kx-repro.XXXXXX")
kx_on_exit 'rm -rf "$work"'
for run in one second-run-elsewhere; do
  git clone -q "$KX_ROOT" "$work/$run/Kestrix"
  echo "check-reproducible: release in $work/$run/Kestrix"
  bash "$work/$run/Kestrix/scripts/release.sh" >"$work/$run.log" 2>&1 || { cat "$work/$run.log" >&2; exit 1; }
  echo "== $run"
  cat "$work/$run/Kestrix/dist/SHA256SUMS"
done
if cmp -s "$work/one/Kestrix/dist/SHA256SUMS" "$work/second-run-elsewhere/Kestrix/dist/SHA256SUMS"; then
  echo "check-reproducible: the same bytes"
  exit 0
fi
for zip in "$work/one/Kestrix/dist/"*.zip "$work/one/Kestrix/dist/"*.msi "$work/one/Kestrix/dist/"*.debug; do
  other="$work/second-run-elsewhere/Kestrix/dist/$(basename "$zip")"
  cmp "$zip" "$other" || true
done
echo "check-reproducible: the releases differ" >&2
exit 1
