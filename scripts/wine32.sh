#!/bin/sh
# Runs one 32-bit Windows program with the project's 32-bit Wine (scripts/setup-wine32.sh)
# and a headless prefix of its own: WINEARCH=win32, Wine's null display driver from the
# first boot. The prefix is WINEPREFIX if set, else build/win32/wineprefix of this clone.
#   scripts/wine32.sh PROGRAM [ARGS...]    e.g. dist/win32/Quelaunch.exe q=coda1
#   scripts/wine32.sh wineserver ARGS...   the prefix's server (-p to keep it up, -k to stop it)
#   scripts/wine32.sh --prefix             only make the prefix if it is not there yet
#   scripts/wine32.sh --version
# Exit code: the program's; 125 when the 32-bit Wine cannot run here, with one line saying why.
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine32-common.sh"
[ $# -gt 0 ] || { sed -n '2,9s/^# \{0,1\}//p' "$0" >&2; exit 2; }
w32_ready || [ -n "$W32_MODE" ] || w32_fail "the 32-bit Wine in $W32_CACHE is not set up; run scripts/setup.sh as root once (it needs Debian's archive)"
mode=${W32_MODE:-$(w32_mode)}

# C unless a caller asks for another locale (the demo runs in Italian)
export WINEARCH=win32 LC_ALL="${PRINTADMIN_WINE32_LOCALE:-C}"
export WINEPREFIX="${WINEPREFIX:-$root/build/win32/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ "$mode" = qemu ]; then
    w32_binfmt
    # qemu looks up the tree's /lib/ld-linux.so.2 and libraries under this prefix.
    export QEMU_LD_PREFIX="$W32_TREE"
    run() { "$W32_TREE/usr/lib/wine/$@"; }
else
    # A kernel that runs i386 code: the tree's programs run in it as a chroot, in a mount
    # namespace of their own that shows the host's folders they need at the same paths.
    # Each step that the machine may refuse (a container, a user who is not root) ends the
    # run with one line naming it, instead of every tool's own complaint.
    err=$(unshare -m true 2>&1) ||
        w32_fail "cannot make a mount namespace for the i386 tree (${err:-unshare -m failed}): root is needed, and a container must allow unshare"
    run() {
        unshare -m sh -c '
            tree=$1; shift
            fail() { echo "wine32: $*" >&2; exit 125; }
            for dir in /proc /dev /tmp "$WINEPREFIX" "$PWD" "$W32_ROOT" "$W32_PROGDIR"; do
                [ -d "$dir" ] || continue
                err=$({ mkdir -p "$tree$dir" && mount --rbind "$dir" "$tree$dir"; } 2>&1) ||
                    fail "cannot show $dir inside the i386 tree $tree ($err)"
            done
            cd "$PWD" 2>/dev/null || true
            err=$(chroot "$tree" /bin/true 2>&1) ||
                fail "cannot run the programs of the i386 tree $tree in a chroot (${err:-chroot $tree /bin/true failed})"
            exec chroot "$tree" /bin/sh -c "cd \"\$0\" 2>/dev/null; exec /usr/lib/wine/\"\$@\"" "$PWD" "$@"
        ' sh "$W32_TREE" "$@"
    }
    export W32_ROOT="$root" W32_PROGDIR="$(cd "$(dirname -- "$1")" 2>/dev/null && pwd)"
fi

case "$1" in
    --version) run wine --version; exit ;;
    wineserver) shift; mkdir -p "$WINEPREFIX"; run wineserver "$@"; exit ;;
esac

# A new prefix: the null driver is in user.reg before the first boot (Wine ignores the file
# without its first line), so no X11 window is ever tried.
if [ ! -f "$WINEPREFIX/.ready" ]; then
    mkdir -p "$WINEPREFIX" 2>/dev/null && touch "$WINEPREFIX/.lock" 2>/dev/null ||
        w32_fail "cannot write the 32-bit prefix $WINEPREFIX"
    exec 9>"$WINEPREFIX/.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/.ready" ]; then
        printf 'WINE REGISTRY Version 2\n\n[Software\\\\Wine\\\\Drivers]\n"Graphics"="null"\n' >"$WINEPREFIX/user.reg"
        code=0
        (run wine wineboot -u) >"$WINEPREFIX/boot.log" 2>&1 || code=$?
        [ $code = 125 ] && w32_fail "$(sed -n 's/^wine32: //p' "$WINEPREFIX/boot.log" | tail -1)"
        run wineserver -w
        [ -f "$WINEPREFIX/system.reg" ] ||
            w32_fail "the 32-bit prefix $WINEPREFIX did not boot: $(grep -v '^$' "$WINEPREFIX/boot.log" | tail -1)"
        touch "$WINEPREFIX/.ready"
    fi
    exec 9>&-
fi
[ "$1" = --prefix ] && exit 0
run wine "$@"
