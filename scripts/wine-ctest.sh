#!/bin/sh
# Runs the win64 tests under Wine: wineserver and its helpers are started first, so that
# each test costs a fraction of a second instead of waiting for Wine to settle, and Wine's
# desktop is held for the whole run (tests/wine/desktop_holder.cpp says why).
# Arguments go to ctest (e.g. -R level_bar).
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
bin="$root/build/win64/bin"
[ -f "$bin/desktop_holder.exe" ] || { echo "wine-ctest: $bin/desktop_holder.exe is missing: build the win64 preset first"; exit 1; }
"$root/scripts/wineprefix.sh" "$WINEPREFIX" null
# a server already serving the prefix (a run by hand) is used as it is
/usr/lib/wine/wineserver -p 2>/dev/null || true

# The first program on the server starts Wine's services and desktop, which keep its output:
# the holder's goes to a file.
log="$root/build/win64/desktop_holder.log"
(cd "$bin" && exec /usr/lib/wine/wine64 desktop_holder.exe) >"$log" 2>&1 &
holder=$!
tenths=0
until grep -q "the desktop is up" "$log"; do
    if ! kill -0 $holder 2>/dev/null || [ $tenths -ge 1200 ]; then
        echo "wine-ctest: gave up after $((tenths / 10)) s waiting for desktop_holder.exe to bring Wine's desktop up (explorer.exe /desktop): $(tail -1 "$log")"
        /usr/lib/wine/wineserver -k || true
        exit 1
    fi
    sleep 0.1
    tenths=$((tenths + 1))
done

status=0
ctest --test-dir "$root/build/win64" --output-on-failure "$@" || status=$?
/usr/lib/wine/wineserver -k || true
exit $status
