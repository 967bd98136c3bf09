#!/bin/sh
# Runs a tool that stamps its output with the current time (widl, chmcmd)
# with the clock stopped at SOURCE_DATE_EPOCH, so that a release's files
# depend on the sources alone. Without SOURCE_DATE_EPOCH it just runs it.
#   scripts/at-source-date.sh tool [arguments...]
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  exec "$@"
fi
exec env TZ=UTC faketime "$(TZ=UTC date -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')" "$@"
