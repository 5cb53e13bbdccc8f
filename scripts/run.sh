#!/bin/bash
# make run: opens the viewer on a picture. Without a display it runs under a
# private Xvfb in a Wine virtual desktop, saves out/screenshot.png once the
# window is drawn, and closes the program.
set -euo pipefail
build=$1
picture=${2:-}
root=$(pwd)
if [ -z "$picture" ]; then
    picture="$root/resources/sample/sample.jpg"
fi

if [ -n "${DISPLAY:-}" ] && [ "${GLIM_HEADLESS:-0}" != 1 ]; then
    GLIM_PRIVATE_X=0 exec scripts/wine-session.sh "$build/win64" \
        bash -c 'exe=$(scripts/install.sh dist/win64); cd "$(dirname "$exe")"; "$WINE64" "$exe" "$(winepath -w "$1")"' _ "$picture"
fi

mkdir -p out
exec scripts/wine-session.sh "$build/win64" bash -c '
    set -euo pipefail
    exe=$(scripts/install.sh dist/win64)
    cd "$(dirname "$exe")"
    "$WINE64" explorer /desktop=Glimmora,800x600 "$exe" "$(/usr/lib/wine/wine64 winepath -w "$1" 2>/dev/null)" &
    for _ in $(seq 100); do
        if xdotool search --name "^Glimmora32 - " >/dev/null 2>&1; then break; fi
        sleep 0.1
    done
    sleep 1.5
    import -window root "$2"
    echo "screenshot: $2"
' _ "$picture" "$root/out/screenshot.png"
