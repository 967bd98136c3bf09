#!/bin/sh
# Kestrix.chm, the help file shipped beside the OCX, from the users'
# reference: the whole reference as reference.html (the default topic) and
# its Errors section alone as errors.html (the topic of the error messages'
# Help button). HTML Help opens topics by file name; no context numbers.
#   sh docs/make-chm.sh <reference.md> <output folder>
# Needs cmark and chmcmd (Debian: cmark, fp-utils).
set -eu
src=$1
out=$2
mkdir -p "$out"

# A topic page: the title and the HTML body read from stdin.
page() {
  printf '<!DOCTYPE html>\n<html lang="ja">\n<head>\n'
  printf '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">\n'
  printf '<title>%s</title>\n</head>\n<body>\n' "$1"
  cat
  printf '</body>\n</html>\n'
}

cmark "$src" | page "Kestrix reference" >"$out/reference.html"
# From the "## Errors" heading to the next second-level heading.
awk '/^## / { on = ($0 == "## Errors") } on' "$src" | cmark | page "Kestrix errors" >"$out/errors.html"

cat >"$out/Kestrix.hhp" <<'HHP'
[OPTIONS]
Compatibility=1.1 or later
Compiled file=Kestrix.chm
Default topic=reference.html
Display compile progress=No
Language=0x411 Japanese
Title=Kestrix

[FILES]
reference.html
errors.html
HHP

cd "$out"
# KX_TIME_LAUNCHER (a release build's) runs chmcmd at the source's date.
${KX_TIME_LAUNCHER:-} chmcmd --no-html-scan Kestrix.hhp >chmcmd.log 2>&1 || { cat chmcmd.log >&2; exit 1; }
[ -s Kestrix.chm ] || { echo "make-chm: chmcmd wrote no Kestrix.chm" >&2; exit 1; }
# Two time stamps no stopped clock fixes, since they count the clock's
# ticks: the file header's (offset 16, four bytes) and the #SYSTEM entry of
# code 10 (four bytes, just before the entry of code 9, the "HHA Version"
# text). A release writes the source's date in both.
put_stamp() { # offset, then the four bytes' order: big or little
  t=$((SOURCE_DATE_EPOCH & 0xFFFFFFFF))
  shifts="24 16 8 0"
  [ "$2" = little ] && shifts="0 8 16 24"
  bytes=
  for shift in $shifts; do
    bytes="$bytes\\$(printf '%03o' $(((t >> shift) & 0xFF)))"
  done
  # shellcheck disable=SC2059 # the octal escapes are the format
  printf "$bytes" | dd of=Kestrix.chm bs=1 seek="$1" count=4 conv=notrunc 2>/dev/null
}
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
  put_stamp 16 big
  hha=$(grep -obUa 'HHA Version' Kestrix.chm | head -1 | cut -d: -f1)
  [ -n "$hha" ] || { echo "make-chm: no #SYSTEM version entry in Kestrix.chm" >&2; exit 1; }
  put_stamp $((hha - 8)) little
fi
