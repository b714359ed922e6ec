# Sourced by the 32-bit Wine scripts: where the machine-wide 32-bit Wine lives and how its
# i386 programs get executed. The cache sits outside every clone and is shared by all of them
# (PRINTADMIN_WINE32_CACHE moves it, e.g. to time a setup from scratch beside a working one).
W32_CACHE=${PRINTADMIN_WINE32_CACHE:-/var/cache/printadmin-wine32}
W32_TREE=$W32_CACHE/i386
W32_QEMU=$W32_CACHE/qemu-i386
W32_READY=$W32_CACHE/.ready
W32_BINFMT=/proc/sys/fs/binfmt_misc

# One line saying what is missing and how to get it. Exit code 125: the 32-bit Wine cannot
# run here, as opposed to a program that ran and failed.
w32_fail() {
    echo "wine32: $*" >&2
    exit 125
}

# How the tree's programs run, as recorded when the tree was verified: qemu or native.
w32_mode() {
    sed -n 's/^mode=//p' "$W32_READY" 2>/dev/null
}

# The tree is there and was verified; a tree whose loader vanished counts as missing.
w32_ready() {
    [ -f "$W32_READY" ] && [ -x "$W32_TREE/usr/lib/wine/wine" ] &&
        [ -f "$W32_TREE/usr/lib/i386-linux-gnu/wine/i386-windows/kernel32.dll" ]
}

# i386 ELF programs go to qemu-i386 (F: the kernel opens the interpreter once, so it also
# serves programs inside the tree). The registration ends with the machine, so every run
# checks it.
w32_binfmt() {
    entry=$W32_BINFMT/qemu-i386
    [ -x "$W32_QEMU" ] || w32_fail "$W32_QEMU is missing; run scripts/setup.sh as root"
    if [ -f "$entry" ] && grep -qx enabled "$entry" && grep -qx "interpreter $W32_QEMU" "$entry"; then
        return 0
    fi
    [ "$(id -u)" = 0 ] || w32_fail "i386 programs are not registered with $W32_QEMU (binfmt_misc); run scripts/setup.sh as root once after each restart"
    if [ ! -f "$W32_BINFMT/register" ]; then
        err=$(mount -t binfmt_misc binfmt_misc "$W32_BINFMT" 2>&1) ||
            w32_fail "cannot mount binfmt_misc on $W32_BINFMT, which runs i386 programs through $W32_QEMU ($err)"
    fi
    if [ -f "$entry" ]; then
        echo "wine32: replacing the i386 registration of $(sed -n 's/^interpreter //p' "$entry") by $W32_QEMU" >&2
        { echo -1 >"$entry"; } 2>/dev/null || w32_fail "cannot remove the i386 registration $entry (binfmt_misc refused)"
    fi
    { printf '%s' ":qemu-i386:M::\\x7fELF\\x01\\x01\\x01\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x02\\x00\\x03\\x00:\\xff\\xff\\xff\\xff\\xff\\xfe\\xfe\\x00\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xff\\xfe\\xff\\xff\\xff:$W32_QEMU:F" \
        >"$W32_BINFMT/register"; } 2>/dev/null || w32_fail "cannot register $W32_QEMU for i386 programs with binfmt_misc (refused here)"
}
