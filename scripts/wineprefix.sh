#!/bin/sh
# Makes a Wine prefix for the 64-bit build if it is not there yet.
#   scripts/wineprefix.sh PREFIX null   headless: Wine's null display driver (tests, headless demo)
#   scripts/wineprefix.sh PREFIX x11    a real display (interactive demo; the demo sets the window management)
set -e
prefix=$1
driver=${2:-null}
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
[ -f "$prefix/.ready" ] && exit 0
mkdir -p "$prefix"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
if [ "$driver" = null ]; then
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
fi
/usr/lib/wine/wineserver -w
touch "$prefix/.ready"
