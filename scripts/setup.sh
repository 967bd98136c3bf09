#!/usr/bin/env bash
# Installs the Debian packages that building and testing Kestrix need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
  wine wine32:i386 wine64 wine64-tools libwine-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  cmake make googletest
  xvfb xauth x11-apps imagemagick
  fonts-ipafont-gothic fonts-ipafont-mincho locales
)
# The help file: chmcmd (HTML Help from HTML) and cmark (the reference's
# Markdown as HTML), without what they recommend (a whole Pascal compiler).
lean_packages=(fp-utils cmark)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
missing=() lean_missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${lean_packages[@]}"; do installed "$p" || lean_missing+=("$p"); done

if ((${#missing[@]} + ${#lean_missing[@]})); then
  echo "setup: installing ${missing[*]} ${lean_missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  $SUDO apt-get update -qq
  if ((${#missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
  if ((${#lean_missing[@]})); then
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${lean_missing[@]}" >/dev/null
  fi
fi

# Wine takes its ANSI code page from the locale: the control is made for
# code page 932, so the Japanese UTF-8 locale must exist.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "setup: generating the ja_JP.UTF-8 locale"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
