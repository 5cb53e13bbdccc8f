#!/bin/bash
# Screenshots for the README: the browser window with a picture, stretched,
# and the full-screen view. Needs `make dist`.
#   scripts/screenshots.sh PICTURE OUTDIR
set -euo pipefail
picture=$(realpath "$1")
out=$(realpath "$2")
mkdir -p "$out"
scripts/wine-session.sh build/win64 bash -c '
    set -euo pipefail
    exe=$(scripts/install.sh dist/win64)
    cd "$(dirname "$exe")"
    "$WINE64" "$exe" "$(/usr/lib/wine/wine64 winepath -w "$1" 2>/dev/null)" &
    for _ in $(seq 100); do
        xdotool search --name "^Glimmora32 - \[" >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 1.5
    import -window root -crop 604x474+0+0 "$2/browser.png"
    xdotool key alt+s; sleep 1
    import -window root -crop 604x474+0+0 "$2/stretched.png"
    xdotool key alt+f; sleep 1
    import -window root "$2/fullview.png"
    xdotool key Escape; sleep 0.5
' _ "$picture" "$out"
echo "screenshots in $out"
