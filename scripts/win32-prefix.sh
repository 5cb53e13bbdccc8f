#!/bin/bash
# The 32-bit Wine prefix that the shipped build's stage starts from: created
# once (emulated, it takes many minutes) and copied below each build folder.
#   win32-prefix.sh path            where it is kept
#   win32-prefix.sh create          creates it, prepared as wine-session.sh does
#   win32-prefix.sh copy BUILD_DIR  BUILD_DIR/wineprefix from it, unless there
set -euo pipefail
here=$(dirname "$(realpath "$0")")
home="${XDG_CACHE_HOME:-$HOME/.cache}/glimmora32/win32-session"
case "${1:-}" in
path)
    echo "$home/wineprefix"
    ;;
create)
    rm -rf "$home"
    mkdir -p "$home"
    "$here/i386-emulation.sh" on
    trap '"$here/i386-emulation.sh" off' EXIT
    GLIM_WINEARCH=win32 GLIM_VIRTUAL_DESKTOP=0 "$here/wine-session.sh" "$home" true
    [ -f "$home/wineprefix/system.reg" ]
    ;;
copy)
    build_dir=$2
    if [ ! -f "$build_dir/wineprefix/system.reg" ]; then
        rm -rf "$build_dir/wineprefix"
        mkdir -p "$build_dir"
        cp -a "$home/wineprefix" "$build_dir/wineprefix"
    fi
    ;;
*)
    echo "usage: $0 path|create|copy BUILD_DIR" >&2
    exit 2
    ;;
esac
