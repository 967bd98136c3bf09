# shellcheck shell=bash
# The Wine environment of a build folder, in one place (sourced by
# wine-env.sh and wine-run):
#   kx_wine_vars <build-dir>
# exports WINEPREFIX=<build-dir>/wineprefix, WINEARCH=win32, WINEDEBUG
# (default -all), WINEDLLOVERRIDES (no Mono or Gecko prompts, no menu
# entries or file associations in the user's home) and LC_ALL=ja_JP.UTF-8
# (Wine takes its ANSI code page from the locale: the control needs 932).
kx_wine_vars() {
  export WINEPREFIX="$1/wineprefix"
  export WINEARCH=win32
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
  export LC_ALL=ja_JP.UTF-8
}
