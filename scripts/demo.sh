#!/usr/bin/env bash
# Shows the demo programs: builds everything and starts Demlet1 (which
# starts Demlet2) from the build's demo folder, where both programs sit with
# Kestrix.OCX and Kestrix.manifest. Nothing is registered: each program's
# own manifest names the Kestrix assembly beside it.
#   bash scripts/demo.sh          the 32-bit programs and control
#   bash scripts/demo.sh --64     the 64-bit ones (build64/, a win64 prefix)
# With DISPLAY set the programs open on your display: drop files on
# Demlet1's form and Demlet2 shows their names; the script ends when
# Demlet1 is closed. Without a display they run on a private virtual display:
# DemoStage.exe places the windows and drops three files on Demlet1's form
# (nobody can there), screenshots are saved in <build>/demos/screenshots,
# and the programs are ended.
for arg in "$@"; do
  case "$arg" in
    --64) export KX_BITS=64 ;;
    --32) export KX_BITS=32 ;;
    *) echo "usage: bash scripts/demo.sh [--64]" >&2; exit 2 ;;
  esac
done
set --
# Where the kernel runs no 32-bit programs, the 64-bit demo is the one that can run.
if [ -z "${KX_BITS:-}" ]; then
  bash "$(dirname "${BASH_SOURCE[0]}")/setup.sh" </dev/null
  # shellcheck source=wine-vars.sh
  source "$(dirname "${BASH_SOURCE[0]}")/wine-vars.sh"
  if ! kx_runs_32bit; then
    echo "demo: this kernel runs no 32-bit programs (32-bit emulation is off): showing the 64-bit programs" >&2
    export KX_BITS=64
  fi
fi
# shellcheck source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
kx_build

interactive=1
[ -n "${DISPLAY:-}" ] || interactive=0
# shellcheck source=wine-env.sh
if [ "$interactive" = 1 ]; then
  source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD"
else
  source "$KX_ROOT/scripts/wine-env.sh" "$KX_BUILD" --xvfb
fi

demo="$KX_BUILD/demos"
cd "$demo"
rm -f Kestrix1.Dbg

if [ "$interactive" = 1 ]; then
  echo "demo: Demlet1 and Demlet2 are starting on $DISPLAY; drop files on Demlet1's form."
  echo "demo: close Demlet1 and every Demlet2 to end (the trace: $demo/Kestrix1.Dbg)."
  "$KX_WINE" Demlet1.exe </dev/null >/dev/null 2>&1 || true
  # Copies of Demlet2 outlive Demlet1: once the keep-alive has gone, the
  # prefix's wine server ends with the last of them.
  kx_wine_stop_keepalive
  wineserver -w </dev/null >/dev/null 2>&1 || true
  exit 0
fi

shots="$demo/screenshots"
mkdir -p "$shots"
rm -f "$shots"/*.png
"$KX_WINE" Demlet1.exe </dev/null >/dev/null 2>&1 &
demlet1_pid=$!
rc=0
rects=$("$KX_WINE" stage/DemoStage.exe </dev/null 2>"$shots/stage.log" | tr -d '\r') || rc=$?
if [ "$rc" != 0 ]; then
  echo "demo: staging failed ($rc):" >&2
  cat "$shots/stage.log" >&2
fi
import -window root "$shots/screen.png"
n=0
while read -r name x y w h; do
  [ -n "$name" ] || continue
  n=$((n + 1))
  file="$shots/$name.png"
  [ "$name" = Demlet2 ] && [ "$n" -gt 2 ] && file="$shots/$name-$n.png"
  convert "$shots/screen.png" -crop "${w}x${h}+${x}+${y}" +repage "$file"
done <<<"$rects"
# The programs end with the virtual display (the Wine session is ours).
kill "$demlet1_pid" 2>/dev/null || true
echo "demo: screenshots in $shots:"
ls -1 "$shots"/*.png
exit "$rc"
