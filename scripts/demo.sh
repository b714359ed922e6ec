#!/bin/sh
# The main job: the host program PrintAdmin showing Binpanel's page against the simulated
# printers of standins/devobj/demo.ini. With a reachable display it opens the window;
# without one it runs the scripted tour headless, writes PNG screenshots to out/ and
# prints the device calls the tour made. Arguments go to PrintAdmin.exe.
#   scripts/demo.sh --win32   the headless tour with the shipped 32-bit files of dist/win32,
#                             under the project's 32-bit Wine (set up on first use)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "$1" = --win32 ]; then
    shift
    scripts/setup.sh
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 -j2
    rm -rf out
    mkdir -p out
    start=$(date +%s)
    status=0
    # The host runs from dist/win32, so it loads the shipped Binpanel.dll beside it.
    (cd dist/win32 && WINEPREFIX="$root/build/win32/wineprefix" PRINTADMIN_WINE32_LOCALE=it_IT.UTF-8 \
        "$root/scripts/wine32.sh" PrintAdmin.exe \
        --tour '..\..\out' "$@") || status=$?
    "$root/scripts/wine32.sh" wineserver -k 2>/dev/null || true
    echo
    echo "demo: 32-bit tour, screenshots in $root/out ($(( $(date +%s) - start )) s):"
    ls -l out/*.png | awk '{ printf "  %8d  %s\n", $5, $NF }'
    echo "demo: the device calls are also in out/device-calls.txt"
    exit $status
fi
scripts/setup.sh --host
for preset in win64 win32; do
    cmake --preset $preset >/dev/null
    cmake --build --preset $preset -j2
done

export WINEDEBUG="-all,err+module" WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C
program=build/win64/bin/PrintAdmin.exe
# The host runs in Italian, as its users do: the property sheet's own buttons too. The
# Italian locale keeps the ANSI code page 1252 that the texts are written in.
italian=it_IT.UTF-8

if [ -n "$DISPLAY" ] && timeout 10 xwd -root -silent >/dev/null 2>&1; then
    export WINEPREFIX="$root/build/win64/wineprefix-x11"
    echo "demo: display $DISPLAY, opening PrintAdmin (prefix $WINEPREFIX)"
    scripts/wineprefix.sh "$WINEPREFIX" x11
    # Under a window manager Wine's windows must be managed, or they can't be moved or
    # stacked; on a bare X server each hide or destroy of a managed window waits 2 s instead.
    managed=N
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && managed=Y
    echo "demo: window manager $( [ $managed = Y ] && echo found, managed || echo absent, unmanaged) windows"
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f >/dev/null 2>&1
    LC_ALL=$italian exec /usr/lib/wine/wine64 "$program" --scenario standins/devobj/demo.ini "$@"
fi

[ -n "$DISPLAY" ] && echo "demo: display $DISPLAY not reachable, running headless"
export WINEPREFIX="$root/build/win64/wineprefix"
scripts/wineprefix.sh "$WINEPREFIX" null
rm -rf out
mkdir -p out
start=$(date +%s)
status=0
LC_ALL=$italian /usr/lib/wine/wine64 "$program" --tour out "$@" || status=$?
echo
echo "demo: screenshots in $root/out ($(( $(date +%s) - start )) s):"
ls -l out/*.png | awk '{ printf "  %8d  %s\n", $5, $NF }'
echo "demo: the device calls are also in out/device-calls.txt"
exit $status
