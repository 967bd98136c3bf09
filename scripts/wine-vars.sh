# shellcheck shell=bash
# The Wine environment of a build folder, in one place (sourced by
# wine-env.sh and wine-run):
#   kx_wine_vars <build-dir>
# The folder's bitness (the file kx-bits that CMake writes there; 32 when
# it is missing) chooses the prefix kind and the loader:
#   32: WINEARCH=win32, KX_WINE=wine (Debian's 32-bit loader)
#   64: WINEARCH=win64, KX_WINE=/usr/lib/wine/wine64 (64-bit programs must
#       start with it: /usr/bin/wine hands them to start.exe, outside the
#       caller's process tree, where no timeout or kill reaches them)
# It exports WINEPREFIX=<build-dir>/wineprefix, WINEARCH, KX_WINE, KX_BITS,
# WINEDEBUG (default -all), WINEDLLOVERRIDES (no Mono or Gecko prompts, no
# menu entries or file associations in the user's home) and
# LC_ALL=ja_JP.UTF-8 (Wine takes its ANSI code page from the locale: the
# control needs 932).
# kx_runs_32bit: true when this machine runs Wine's 32-bit loader. A kernel
# built or booted without 32-bit emulation (ia32_emulation=off) refuses it
# with "Exec format error": then nothing 32-bit can run, and every wine
# command goes through the 64-bit loader (scripts/wine64-only on PATH).
_kx_wine64_only="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-only"
kx_runs_32bit() {
  if [ -z "${KX_RUNS_32BIT:-}" ]; then
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then KX_RUNS_32BIT=1; else KX_RUNS_32BIT=0; fi
    export KX_RUNS_32BIT
  fi
  [ "$KX_RUNS_32BIT" = 1 ]
}

# kx_wine_path: where nothing 32-bit runs, puts scripts/wine64-only first on
# PATH, so that wine, wine-stable and the tools that start them (wineboot,
# winepath, regedit) use the 64-bit loader.
kx_wine_path() {
  kx_runs_32bit && return 0
  case ":$PATH:" in
    *":$_kx_wine64_only:"*) ;;
    *) export PATH="$_kx_wine64_only:$PATH" ;;
  esac
}

kx_wine_vars() {
  kx_wine_path
  export WINEPREFIX="$1/wineprefix"
  KX_BITS=$(tr -dc '0-9' <"$1/kx-bits" 2>/dev/null || true)
  export KX_BITS="${KX_BITS:-32}"
  if [ "$KX_BITS" = 64 ]; then
    export WINEARCH=win64
    export KX_WINE=/usr/lib/wine/wine64
  else
    export WINEARCH=win32
    export KX_WINE=wine
  fi
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
  export LC_ALL=ja_JP.UTF-8
}
