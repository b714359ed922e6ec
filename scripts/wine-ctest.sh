#!/bin/sh
# Runs the win64 tests under Wine: wineserver and its helpers are started first, so that
# each test costs a fraction of a second instead of waiting for Wine to settle.
# Arguments go to ctest (e.g. -R level_bar).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
"$root/scripts/wineprefix.sh" "$WINEPREFIX" null
# a server already serving the prefix (a run by hand) is used as it is
/usr/lib/wine/wineserver -p 2>/dev/null || true
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 || true
status=0
ctest --test-dir "$root/build/win64" --output-on-failure "$@" || status=$?
/usr/lib/wine/wineserver -k || true
exit $status
