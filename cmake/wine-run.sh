#!/bin/sh
# Runs a 64-bit Windows program under Wine with the build's own headless prefix.
# WINEPREFIX may be set by the caller; otherwise the prefix sits beside the program's bin folder.
if [ -z "$WINEPREFIX" ]; then
    bin=$(cd "$(dirname "$1")" && pwd)
    WINEPREFIX="$(dirname "$bin")/wineprefix"
fi
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export LC_ALL=C
exec /usr/lib/wine/wine64 "$@"
