# shellcheck shell=bash
# Prepares Wine for running Kestrix's Windows programs (tests, demos).
#
# Source it, giving the build folder:
#   source scripts/wine-env.sh <build-dir> [--xvfb]
# (always give it: a script that sources it without arguments passes its
# own arguments on), or source it with no arguments from an interactive
# shell and call
#   kx_wine_env <build-dir> [--xvfb]
#
#   --xvfb   always start a private Xvfb display (what the tests use, so they
#            never touch the user's display). Without it the current DISPLAY
#            is used, and a private Xvfb is started only if none is set.
#
# It then
#   - exports WINEPREFIX=<build-dir>/wineprefix, WINEARCH (win32 or win64,
#     by the build folder's bitness), KX_WINE (the loader for its programs),
#     WINEDEBUG=-all, WINEDLLOVERRIDES, LC_ALL=ja_JP.UTF-8 (Wine takes its
#     ANSI code page from the locale: the control needs code page 932), and
#     DISPLAY;
#   - creates and prepares the prefix the first time (registry settings,
#     fonts; a marker file records that it was done), and a second one,
#     <build-dir>/wineprefix-unreg, where nothing is ever registered;
#   - starts a persistent wine server and a keep-alive Windows process
#     (<build-dir>/tests/KxKeepAlive.exe), both with output to /dev/null;
#   - takes the build folder's lock (scripts/lock.sh) unless this run holds
#     it already, so two runs never stop each other's wine server;
#   - adds kx_wine_env_cleanup to the caller's exit chain (scripts/lib.sh;
#     an EXIT trap when there is none): it stops the keep-alive, the wine
#     servers of the two prefixes it started (whatever WINEPREFIX the caller
#     has by then) and the Xvfb it started, and releases the lock.
#
# Hang trap: Wine's service processes inherit the stdout of the process that
# starts them. Everything here that can start them writes to /dev/null, so a
# pipe read by the caller (ctest, CI, `| tee`) is never held open by Wine.
#
# Environment knobs: KX_XVFB_SCREEN (default 1024x768x24),
# KX_KEEPALIVE_SECONDS (keep-alive's own lifetime, a safety net if this
# shell dies without its trap; default 21600), KX_WINE_QUIET=1 (no progress
# lines).

# shellcheck source=lock.sh
source "$(dirname "${BASH_SOURCE[0]}")/lock.sh"
# shellcheck source=wine-vars.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-vars.sh"

# Bumped whenever the preparation below changes, so old prefixes are redone.
KX_PREFIX_VERSION=3

_kx_say() {
  [ "${KX_WINE_QUIET:-0}" = 1 ] || echo "wine-env: $*" >&2
}

# Starts a private Xvfb on a free display number; sets DISPLAY and
# KX_XVFB_PID.
_kx_start_xvfb() {
  if ! command -v Xvfb >/dev/null 2>&1; then
    echo "wine-env: Xvfb is not installed (run scripts/setup.sh)" >&2
    return 1
  fi
  local dispfile
  dispfile=$(mktemp "${TMPDIR:-/tmp}/kx-xvfb.XXXXXX") || return 1
  # -displayfd: Xvfb picks a free display itself and writes its number
  # once it accepts connections.
  Xvfb -displayfd 3 -screen 0 "${KX_XVFB_SCREEN:-1024x768x24}" -nolisten tcp \
    3>"$dispfile" </dev/null >/dev/null 2>&1 &
  KX_XVFB_PID=$!
  echo "$KX_XVFB_PID" >"$KX_BUILD_DIR/.kestrix-xvfb.pid"
  local i
  for ((i = 0; i < 100; i++)); do
    [ -s "$dispfile" ] && break
    if ! kill -0 "$KX_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  local num
  num=$(tr -dc '0-9' <"$dispfile")
  rm -f "$dispfile"
  if [ -z "$num" ]; then
    echo "wine-env: Xvfb did not start" >&2
    kill "$KX_XVFB_PID" 2>/dev/null
    KX_XVFB_PID=
    return 1
  fi
  export DISPLAY=":$num"
  _kx_say "private Xvfb on DISPLAY=$DISPLAY (pid $KX_XVFB_PID)"
}

# Creates the prefix and applies the settings the tests rely on, once.
_kx_prepare_prefix() {
  local marker="$WINEPREFIX/.kestrix-prefix"
  local want
  want="$KX_PREFIX_VERSION $(wine --version 2>/dev/null)"
  if [ -f "$marker" ] && [ "$(cat "$marker")" = "$want" ]; then
    return 0
  fi
  _kx_say "preparing the Wine prefix $WINEPREFIX (once)"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Creating the prefix starts a wine server and Wine's services: all of
  # it writes to /dev/null.
  if ! timeout 300 wineboot -i </dev/null >/dev/null 2>&1; then
    echo "wine-env: wineboot -i failed for $WINEPREFIX" >&2
    return 1
  fi

  # Debian's Wine does not load these from its data folder: without Marlett
  # caption buttons draw as letters.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  mkdir -p "$fonts"
  for f in marlett tahoma tahomabd; do
    if [ -f "/usr/share/wine/fonts/$f.ttf" ]; then
      cp -f "/usr/share/wine/fonts/$f.ttf" "$fonts/"
    else
      echo "wine-env: warning: /usr/share/wine/fonts/$f.ttf not found" >&2
    fi
  done

  # Managed=N: without a window manager Wine otherwise takes seconds to
  # destroy a top-level window. No crash dialog: a crash must fail a test,
  # not hang it. Japanese UI fonts, under their English and their Japanese
  # names (forms ask for "ＭＳ ゴシック", the version dialog also for
  # "ＭＳ Ｐ明朝"), map to the IPA fonts. The file is UTF-16, so the
  # Japanese names survive whatever the code page.
  printf '%s\r\n' \
    'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' \
    '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' \
    '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"MS UI Gothic"="IPAPGothic"' \
    '"MS PGothic"="IPAPGothic"' \
    '"MS Gothic"="IPAGothic"' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' \
    '"ＭＳ ゴシック"="IPAGothic"' \
    '"ＭＳ ＵＩ Gothic"="IPAPGothic"' \
    '"MS PMincho"="IPAPMincho"' \
    '"MS Mincho"="IPAMincho"' \
    '"ＭＳ Ｐ明朝"="IPAPMincho"' \
    '"ＭＳ 明朝"="IPAMincho"' '' |
    iconv -f UTF-8 -t UTF-16 >"$WINEPREFIX/drive_c/kestrix-prefix.reg"
  if ! timeout 120 "$KX_WINE" regedit /S 'C:\kestrix-prefix.reg' </dev/null >/dev/null 2>&1; then
    echo "wine-env: regedit failed" >&2
    return 1
  fi
  # Stopping the server writes the registry to disk; only then is the
  # prefix marked as prepared.
  wineserver -k >/dev/null 2>&1
  wineserver -w >/dev/null 2>&1
  if ! grep -q '"ShowCrashDialog"=dword:00000000' "$WINEPREFIX/user.reg"; then
    echo "wine-env: the registry settings did not reach $WINEPREFIX/user.reg" >&2
    return 1
  fi
  echo "$want" >"$marker"
}

# Starts the persistent server and the keep-alive process of $WINEPREFIX.
_kx_start_server() {
  wineserver -p </dev/null >/dev/null 2>&1
  local keepalive="$KX_BUILD_DIR/tests/KxKeepAlive.exe"
  if [ ! -f "$keepalive" ]; then
    _kx_say "warning: $keepalive not built; running without keep-alive (slower)"
    return 0
  fi
  local ready="$WINEPREFIX/.kestrix-keepalive-ready"
  rm -f "$ready"
  # Z: is the root of the Unix file system in a Wine prefix.
  local ready_win="Z:${ready//\//\\}"
  "$KX_WINE" "$keepalive" "${KX_KEEPALIVE_SECONDS:-21600}" "$ready_win" \
    </dev/null >/dev/null 2>&1 &
  local pid=$!
  KX_KEEPALIVE_PIDS+=("$pid")
  # Wait until it has brought up the desktop process, so that no test
  # starts it (and hands it its own output pipe).
  local i
  for ((i = 0; i < 600; i++)); do
    [ -e "$ready" ] && break
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "wine-env: the keep-alive process exited early" >&2
      return 1
    fi
    sleep 0.05
  done
  if [ ! -e "$ready" ]; then
    echo "wine-env: the keep-alive process did not get ready in 30 s" >&2
    return 1
  fi
}

# Ends the keep-alive processes (a wine server may then end with the last
# program of its prefix).
KX_KEEPALIVE_PIDS=()
kx_wine_stop_keepalive() {
  local pid
  for pid in "${KX_KEEPALIVE_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  KX_KEEPALIVE_PIDS=()
  return 0
}

kx_wine_env_cleanup() {
  local -
  set +e
  kx_wine_stop_keepalive
  if [ "${KX_WINESERVER_OURS:-0}" = 1 ]; then
    # The servers this run started, by their prefixes: the caller may have
    # switched WINEPREFIX since.
    WINEPREFIX="$KX_OWN_PREFIX" wineserver -k </dev/null >/dev/null 2>&1
    WINEPREFIX="$KX_UNREG_PREFIX" wineserver -k </dev/null >/dev/null 2>&1
    KX_WINESERVER_OURS=0
  fi
  KX_WINE_ENV_READY=0
  if [ -n "${KX_XVFB_PID:-}" ]; then
    kill "$KX_XVFB_PID" 2>/dev/null
    wait "$KX_XVFB_PID" 2>/dev/null
    rm -f "$KX_BUILD_DIR/.kestrix-xvfb.pid"
    KX_XVFB_PID=
  fi
  kx_unlock_build_dir
  return 0
}

kx_wine_env() {
  # The caller may run with errexit/pipefail: failures here are handled.
  local -
  set +e +o pipefail
  local build="" xvfb=0 arg
  for arg in "$@"; do
    case "$arg" in
      --xvfb) xvfb=1 ;;
      -*) echo "wine-env: unknown option $arg" >&2; return 2 ;;
      *) build="$arg" ;;
    esac
  done
  if [ -z "$build" ]; then
    echo "usage: source scripts/wine-env.sh <build-dir> [--xvfb]" >&2
    return 2
  fi
  mkdir -p "$build"
  KX_BUILD_DIR=$(cd "$build" && pwd)
  export KX_BUILD_DIR

  kx_wine_vars "$KX_BUILD_DIR"
  KX_OWN_PREFIX="$WINEPREFIX"
  KX_UNREG_PREFIX="$KX_BUILD_DIR/wineprefix-unreg"
  if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "wine-env: warning: the ja_JP.UTF-8 locale is not generated" \
         "(run scripts/setup.sh); Wine may not get code page 932" >&2
  fi

  # Into the caller's exit chain (scripts/lib.sh) when it has one.
  if declare -F kx_on_exit >/dev/null; then
    kx_on_exit kx_wine_env_cleanup
  else
    trap kx_wine_env_cleanup EXIT
  fi
  trap 'exit 130' INT
  trap 'exit 143' TERM

  # Another run using this build folder (and its prefix) finishes first.
  kx_lock_build_dir "$KX_BUILD_DIR" || return 1

  # A server left running for this prefix (a run that was killed) may be
  # tied to a display that is gone: start from a clean state.
  wineserver -k </dev/null >/dev/null 2>&1
  WINEPREFIX="$KX_UNREG_PREFIX" wineserver -k </dev/null >/dev/null 2>&1
  # Likewise an Xvfb that such a run started.
  local stale
  stale=$(cat "$KX_BUILD_DIR/.kestrix-xvfb.pid" 2>/dev/null)
  if [ -n "$stale" ] && grep -qa Xvfb "/proc/$stale/cmdline" 2>/dev/null; then
    kill "$stale" 2>/dev/null
  fi
  rm -f "$KX_BUILD_DIR/.kestrix-xvfb.pid"

  if [ "$xvfb" = 1 ] || [ -z "${DISPLAY:-}" ]; then
    _kx_start_xvfb || return 1
  fi

  KX_WINESERVER_OURS=1
  _kx_prepare_prefix || return 1
  # The second prefix, where nothing is ever registered: the tests of
  # registration-free use run there (wine-run --prefix wineprefix-unreg).
  # Prepared the same way, its server and keep-alive started here with
  # their output to /dev/null, so that no test starts Wine's services there.
  WINEPREFIX="$KX_UNREG_PREFIX" _kx_prepare_prefix || return 1
  WINEPREFIX="$KX_UNREG_PREFIX" _kx_start_server || return 1
  _kx_start_server || return 1
  # Tells scripts/wine-run that the server and services are up with safe
  # output, so it may run programs directly.
  export KX_WINE_ENV_READY=1
  _kx_say "ready (WINEPREFIX=$WINEPREFIX DISPLAY=$DISPLAY)"
}

if [ $# -gt 0 ]; then
  kx_wine_env "$@"
fi
