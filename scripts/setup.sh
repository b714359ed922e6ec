#!/bin/sh
# Installs what the builds and tests need on a Debian 12 machine, only what is missing, then
# the project's 32-bit Wine (scripts/setup-wine32.sh: once per machine, kept outside the clone).
#   scripts/setup.sh            everything
#   scripts/setup.sh --host     only the host's packages (the 64-bit demo needs no more)
# PRINTADMIN_SKIP_WIN32=1 leaves the 32-bit Wine out as well.
set -e
PACKAGES="locales cmake g++ make googletest fonts-wine mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine wine64 python3 xvfb xauth x11-apps x11-utils imagemagick clang libclang-rt-14-dev mmdebstrap arch-test nasm"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    [ "$(id -u)" = 0 ] || { echo "setup: missing$missing; run scripts/setup.sh as root once" >&2; exit 1; }
    echo "setup: installing$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
# The demo's Wine runs in Italian (scripts/demo.sh); glibc needs the locale generated.
if ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
    echo "setup: generating the it_IT.UTF-8 locale"
    sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -qx 'it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' >>/etc/locale.gen
    locale-gen >/dev/null
fi
[ "$1" = --host ] || [ "$PRINTADMIN_SKIP_WIN32" = 1 ] || "$(dirname "$0")/setup-wine32.sh"
