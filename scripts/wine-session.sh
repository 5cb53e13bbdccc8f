#!/bin/bash
# Runs a command inside a private Wine session: own WINEPREFIX below the build
# folder, own Xvfb, a persistent wineserver. Stops only what it started.
#   wine-session.sh BUILD_DIR COMMAND [ARGS...]
set -euo pipefail

build_dir=$(realpath "$1")
shift

export WINEPREFIX="$build_dir/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"
export XDG_DATA_HOME="$build_dir/xdg-data"
export WINE64=/usr/lib/wine/wine64
# GLIM_WINEARCH=win32: a 32-bit prefix run by the i386 loader (wine32).
if [ "${GLIM_WINEARCH:-win64}" = win32 ]; then
    export WINEARCH=win32
    WINE64=/usr/lib/wine/wine
fi
export PATH="/usr/lib/wine:$PATH"
mkdir -p "$XDG_DATA_HOME"

xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ "${GLIM_PRIVATE_X:-1}" = 1 ]; then
    display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        sleep 0.1
    done
    display_number=$(head -n1 "$display_file")
    rm -f "$display_file"
    [ -n "$display_number" ] || { echo "wine-session: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$display_number"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-session: creating prefix $WINEPREFIX"
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p
# A Wine virtual desktop: windows get frames in screenshots, and closing a
# window does not wait for a window manager that is not there. Without it,
# what the screen shows as read through GDI misses the full-screen view.
if [ ! -f "$WINEPREFIX/.virtual-desktop" ]; then
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
        >/dev/null 2>&1
    touch "$WINEPREFIX/.virtual-desktop"
    # "reg" has started the desktop without it: start again with it.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p
fi
# Wine here looks for its own fonts (fonts-wine) beside its data folder, not
# in it: the caption buttons' glyphs need Marlett in the prefix.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi
# A network share for the tests: \\localhost\glimshare is a scratch folder.
mkdir -p "$build_dir/share" "$WINEPREFIX/dosdevices/unc/localhost"
ln -sfn "$build_dir/share" "$WINEPREFIX/dosdevices/unc/localhost/glimshare"
# Wine's own programs by their file, so that the loader starts each directly
# and not through start.exe (a second process; a minute each emulated).
system32="$WINEPREFIX/drive_c/windows/system32"
# Start Wine's own services now, detached from our output: a test runner
# would otherwise wait for them to close its pipes.
"$WINE64" "$system32/cmd.exe" /c exit </dev/null >/dev/null 2>&1 || true

set +e
"$@"
status=$?
set -e
exit $status
