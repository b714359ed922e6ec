#!/bin/sh
# Runs a 32-bit test program under the project's 32-bit Wine (scripts/wine32.sh). WINEPREFIX
# may be set by the caller; otherwise the prefix sits beside the program's bin folder.
if [ -z "$WINEPREFIX" ]; then
    bin=$(cd "$(dirname "$1")" && pwd)
    WINEPREFIX="$(dirname "$bin")/wineprefix"
fi
export WINEPREFIX
exec "$(dirname "$0")/../scripts/wine32.sh" "$@"
