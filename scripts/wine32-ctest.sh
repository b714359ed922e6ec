#!/bin/sh
# Runs the win32 tests (build/win32) against the shipped binaries in dist/win32 under the
# project's 32-bit Wine. One wineserver and its helpers serve the whole suite: each Wine
# start would otherwise bring Wine's services up again; Wine's desktop is held for the whole
# run (tests/wine/desktop_holder.cpp says why). Arguments go to ctest (e.g. -R soak).
# Exit code 125: the 32-bit Wine cannot be set up or started here, and no test ran; the
# last line (wine32: ...) says why.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win32/wineprefix"
bin="$root/build/win32/bin"
[ -f "$bin/desktop_holder.exe" ] || { echo "wine32-ctest: $bin/desktop_holder.exe is missing: build the win32 preset first"; exit 1; }
"$root/scripts/setup-wine32.sh" || exit $?
"$root/scripts/wine32.sh" --prefix || exit $?
# a server already serving the prefix (a run by hand) is used as it is
"$root/scripts/wine32.sh" wineserver -p 2>/dev/null || true

# The first program on the server starts Wine's services and desktop, which keep its output:
# the holder's goes to a file. It is also the first 32-bit program of the run: what keeps
# the 32-bit Wine from running shows here, once.
log="$root/build/win32/desktop_holder.log"
(cd "$bin" && exec "$root/scripts/wine32.sh" desktop_holder.exe) >"$log" 2>&1 &
holder=$!
tenths=0
until grep -q "the desktop is up" "$log"; do
    if ! kill -0 $holder 2>/dev/null || [ $tenths -ge 1200 ]; then
        why=$(sed -n 's/^wine32: //p' "$log" | tail -1)
        [ -n "$why" ] || why="gave up after $((tenths / 10)) s waiting for desktop_holder.exe to bring Wine's desktop up (explorer.exe /desktop): $(grep -v '^$' "$log" | tail -1)"
        "$root/scripts/wine32.sh" wineserver -k 2>/dev/null || true
        echo "wine32: $why"
        exit 125
    fi
    sleep 0.1
    tenths=$((tenths + 1))
done

status=0
ctest --test-dir "$root/build/win32" --output-on-failure "$@" || status=$?
"$root/scripts/wine32.sh" wineserver -k || true
exit $status
