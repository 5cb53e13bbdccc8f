#!/bin/sh
# Installs every Debian package the build and the tests need; quick when nothing is missing.
#   setup.sh [--win32]   --win32: also what the emulated 32-bit stage needs
set -eu

if [ "${1:-}" = --win32 ]; then
    "$0"
    say() { echo "setup --win32: $*" >&2; }
    [ "$(id -u)" = 0 ] || { say "not root: cannot install wine32:i386 and qemu-user"; exit 1; }
    export DEBIAN_FRONTEND=noninteractive
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        apt-get update -qq
    fi
    # qemu-user 10 from bookworm-backports (statically linked): Debian 12's
    # 7.2 kills wine32's desktop process. Pinned: nothing else comes from there.
    sources=/etc/apt/sources.list.d/glimmora-bookworm-backports.sources
    if [ ! -f "$sources" ]; then
        printf '%s\n' "# qemu-user only: see /etc/apt/preferences.d/glimmora-qemu-user" \
            "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: bookworm-backports" \
            "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" \
            >"$sources"
        printf '%s\n' "# Nothing from bookworm-backports but qemu-user." \
            "Package: *" "Pin: release n=bookworm-backports" "Pin-Priority: -1" "" \
            "Package: qemu-user" "Pin: release n=bookworm-backports" "Pin-Priority: 990" \
            >/etc/apt/preferences.d/glimmora-qemu-user
        apt-get update -qq
    fi
    qemu=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
    if ! dpkg --compare-versions "${qemu:-0}" ge 1:10 ||
        ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "ok installed"; then
        say "installing qemu-user (bookworm-backports) and wine32:i386"
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends qemu-user wine32:i386 >/dev/null
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    if [ ! -e "$binfmt/register" ]; then
        mount -t binfmt_misc binfmt_misc "$binfmt" ||
            { say "cannot mount binfmt_misc on $binfmt: i386 programs will not run"; exit 1; }
    fi
    # Debian registers no i386 emulator on amd64; one registered before for
    # another emulator (qemu-user-static 7.2) goes. F: the emulator is opened
    # now, so it also serves inside other mount namespaces.
    emulator=/usr/bin/qemu-i386
    entry=$binfmt/qemu-i386
    if [ -e "$entry" ] && ! grep -qx "interpreter $emulator" "$entry"; then
        echo -1 >"$entry"
    fi
    if [ ! -e "$entry" ]; then
        printf '%s\n' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$emulator:F" \
            >"$binfmt/register" || { say "cannot register the i386 emulator"; exit 1; }
    fi
    # Left off: while it is on, every new 64-bit prefix also sets up its
    # 32-bit side through the emulator. scripts/i386-emulation.sh turns it on
    # for the 32-bit stage only.
    echo 0 >"$entry"
    # The 32-bit prefix is made in the build folder now (seconds with qemu 10):
    # the copy kept here before goes.
    rm -rf "${XDG_CACHE_HOME:-$HOME/.cache}/glimmora32/win32-session"
    exit 0
fi

# fonts-wine holds Marlett, the title-bar glyphs; wine only recommends it.
PACKAGES="
cmake make git python3
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
g++-mingw-w64-i686-win32
googletest
wine64 fonts-wine
xvfb x11-utils xdotool imagemagick
clang libclang-rt-14-dev
libjpeg-turbo-progs
"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" != 0 ]; then
    echo "Missing packages. Install them as root with:" >&2
    echo "  apt-get update && apt-get install -y --no-install-recommends$missing" >&2
    exit 1
fi

echo "setup: installing$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
