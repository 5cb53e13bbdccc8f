#!/bin/sh
# Installs every Debian package the build and the tests need; quick when nothing is missing.
set -eu

# fonts-wine holds Marlett, the title-bar glyphs; wine only recommends it.
PACKAGES="
cmake make git python3
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
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
