#!/bin/sh
# Prepares the project's 32-bit Wine, once per machine, as root (called by scripts/setup.sh):
# an i386 Debian 12 tree with Wine in /var/cache/printadmin-wine32/i386 and, where the kernel
# cannot run 32-bit code, user-mode CPU emulation for i386 programs. Only Debian's packages:
# bookworm's qemu 7.2 is far too slow for Wine, so qemu-user comes from trixie through a
# private apt configuration in the cache (the machine's apt sources stay as they are).
# The marker .ready is written last, once the tree ran a Windows program; without it the
# tree is rebuilt.
set -e
scripts=$(cd "$(dirname "$0")" && pwd)
. "$scripts/wine32-common.sh"

if w32_ready; then
    [ "$(w32_mode)" = qemu ] && w32_binfmt
    exit 0
fi
[ "$(id -u)" = 0 ] || w32_fail "the 32-bit Wine in $W32_CACHE is not set up; run scripts/setup.sh as root once (it needs Debian's archive, ~0.9 GB)"
for tool in mmdebstrap arch-test flock unshare; do
    command -v $tool >/dev/null || w32_fail "$tool is missing; run scripts/setup.sh as root"
done
mkdir -p "$W32_CACHE" 2>/dev/null && touch "$W32_CACHE/.lock" 2>/dev/null ||
    w32_fail "cannot write in $W32_CACHE, where the 32-bit Wine is kept (PRINTADMIN_WINE32_CACHE moves it)"
exec 9>"$W32_CACHE/.lock"
flock 9
w32_ready && exit 0 # another clone finished it while we waited
start=$(date +%s)

# The archive the machine's apt already uses.
archive=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -1)
[ -n "$archive" ] || archive=$(sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) bookworm .*/\2/p' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -1)
[ -n "$archive" ] || archive=http://deb.debian.org/debian

# The first error a log holds, else its last line: the reason in the one line that fails.
first_error() {
    { grep -m1 -E '^(E|W): |error' "$1" || tail -1 "$1"; } 2>/dev/null | cut -c1-200
}

# qemu-i386 of trixie: only its 14 MB static binary is kept.
fetch_qemu() {
    [ -x "$W32_QEMU" ] && return 0
    echo "setup-wine32: fetching qemu-user from trixie (71 MB)"
    apt=$W32_CACHE/apt
    rm -rf "$apt"
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/deb"
    echo "deb $archive trixie main" >"$apt/sources.list"
    set -- -o Dir::Etc::sourcelist="$apt/sources.list" -o Dir::Etc::sourceparts=- \
        -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Architectures=amd64 -q
    apt-get "$@" update >"$apt/log" 2>&1 ||
        w32_fail "cannot read trixie's package list from $archive (network?): $(first_error "$apt/log")"
    (cd "$apt/deb" && apt-get "$@" download qemu-user) >>"$apt/log" 2>&1 ||
        w32_fail "cannot download qemu-user from $archive (network?): $(first_error "$apt/log")"
    dpkg-deb --fsys-tarfile "$apt"/deb/qemu-user_*.deb | tar -x -C "$apt/deb" ./usr/bin/qemu-i386
    mv "$apt/deb/usr/bin/qemu-i386" "$W32_QEMU.new"
    mv "$W32_QEMU.new" "$W32_QEMU"
    rm -rf "$apt"
}

# A Windows program in a scratch prefix, the way the suites will run them.
probe() { # mode
    probe=$W32_CACHE/probe-prefix
    rm -rf "$probe"
    code=0
    out=$(WINEPREFIX="$probe" W32_MODE=$1 timeout 600 "$scripts/wine32.sh" cmd /c echo probe-ok 2>&1) || code=$?
    WINEPREFIX="$probe" W32_MODE=$1 "$scripts/wine32.sh" wineserver -k 2>/dev/null || true
    rm -rf "$probe"
    case "$out" in *probe-ok*) return 0 ;; esac
    if [ $code = 124 ]; then
        echo "setup-wine32: the 32-bit Wine does not run in $1 mode: a new prefix and cmd /c echo gave no answer in 600 s"
    else
        echo "setup-wine32: the 32-bit Wine does not run in $1 mode: $(echo "$out" | grep -v '^$' | tail -1)"
    fi
    return 1
}

# The kernel may execute i386 programs (a stock PC); some machines refuse them outright or
# fault on 32-bit code later, so native counts only once Wine ran a program that way.
# An existing qemu registration is disabled while asking, so it does not count as native.
native=no
if [ -f "$W32_BINFMT/qemu-i386" ]; then
    echo 0 >"$W32_BINFMT/qemu-i386"
    arch-test -n i386 >/dev/null 2>&1 && native=yes
    echo 1 >"$W32_BINFMT/qemu-i386"
else
    arch-test -n i386 >/dev/null 2>&1 && native=yes
fi
[ $native = yes ] || { fetch_qemu; w32_binfmt; } # mmdebstrap runs the tree's package scripts

echo "setup-wine32: building the i386 tree with Wine in $W32_TREE (1-7 min)"
rm -rf "$W32_TREE" "$W32_TREE.new"
mmdebstrap --quiet --arch=i386 --variant=apt --include=wine,wine32,fonts-wine \
    bookworm "$W32_TREE.new" "$archive" >"$W32_CACHE/mmdebstrap.log" 2>&1 ||
    { rm -rf "$W32_TREE.new"; w32_fail "mmdebstrap could not build the i386 tree from $archive (network?): $(first_error "$W32_CACHE/mmdebstrap.log"), see $W32_CACHE/mmdebstrap.log"; }
mv "$W32_TREE.new" "$W32_TREE"

mode=
if [ $native = yes ] && [ ! -f "$W32_BINFMT/qemu-i386" ] && probe native; then
    mode=native
else
    fetch_qemu
    w32_binfmt
    probe qemu && mode=qemu
fi
[ -n "$mode" ] || w32_fail "the i386 tree in $W32_TREE cannot run a Windows program (see above)"
printf 'mode=%s\nwine=%s\nqemu=%s\narchive=%s\n' "$mode" "$(W32_MODE=$mode "$scripts/wine32.sh" --version 2>&1)" \
    "$([ -x "$W32_QEMU" ] && "$W32_QEMU" --version | head -1)" "$archive" >"$W32_READY.new"
mv "$W32_READY.new" "$W32_READY"
echo "setup-wine32: ready in $(( $(date +%s) - start )) s: $(du -sh "$W32_CACHE" | cut -f1) in $W32_CACHE, Wine runs $mode"
