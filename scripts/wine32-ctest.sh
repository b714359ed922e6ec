#!/bin/sh
# Runs the win32 tests (build/win32) against the shipped binaries in dist/win32 under the
# project's 32-bit Wine. One wineserver and its helpers serve the whole suite: each Wine
# start would otherwise bring Wine's services up again. Arguments go to ctest (e.g. -R soak).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win32/wineprefix"
"$root/scripts/setup-wine32.sh"
"$root/scripts/wine32.sh" --prefix
# a server already serving the prefix (a run by hand) is used as it is
"$root/scripts/wine32.sh" wineserver -p 2>/dev/null || true
"$root/scripts/wine32.sh" cmd /c exit >/dev/null 2>&1 || true
status=0
ctest --test-dir "$root/build/win32" --output-on-failure "$@" || status=$?
"$root/scripts/wine32.sh" wineserver -k || true
exit $status
