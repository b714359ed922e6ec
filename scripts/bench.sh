#!/bin/sh
# The page's cost against the bare dialog manager's, under Wine with the null display
# driver: builds binpanel_bench in the win64 build and prints its figures.
#   scripts/bench.sh [SCALE]   SCALE multiplies the iterations (default 1)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target binpanel_bench -j2 >/dev/null
"$root/scripts/wineprefix.sh" "$root/build/win64/wineprefix" null
# Wine's helper processes keep an inherited pipe open: the figures go through a file.
out=$(mktemp)
status=0
"$root/cmake/wine-run.sh" "$root/build/win64/bin/binpanel_bench.exe" "$@" >"$out" 2>&1 </dev/null || status=$?
cat "$out"
rm -f "$out"
exit $status
