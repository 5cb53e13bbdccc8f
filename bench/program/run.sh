#!/bin/bash
# Figures of the program under wine64 (win64 build): start to drawn window,
# a 20,000-file folder in the list with the type-ahead jump, and a
# 12-megapixel JPEG from LoadPicture to the painted preview with the memory of
# the picture in both windows (the process's resident anonymous memory, read
# from /proc at two checkpoints, since Wine reports no private-memory counter).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
corpus=$(realpath "${GLIMMORA_CORPUS:-$root/../shared/corpus}")
picture="Z:$corpus/generated/large/landscape_4000x3000_q90.jpg"
folder="$build/bench-20000"
if [ ! -d "$folder" ]; then
    mkdir -p "$folder"
    (cd "$folder" && seq -f "F%05g.BMP" 0 19999 | xargs touch)
fi
cd "$root"
cp dist/win64/SKY32DEM.DLL "$build/bin/" 2>/dev/null || true
scripts/wine-session.sh "$build" bash -c '
    cd "$1/bin"
    "$WINE64" start_bench.exe GLIMR32.EXE 10 2>/dev/null
    "$WINE64" list_bench.exe "Z:${3//\//\\}" 2>/dev/null
    out=$(mktemp)
    "$WINE64" load_bench.exe "$2" 5 >"$out" 2>/dev/null &
    anon() { awk "/RssAnon/ {print \$2}" "/proc/$(pgrep -n -x load_bench.exe)/status"; }
    for mark in before after; do
        until grep -q "checkpoint $mark" "$out"; do sleep 0.1; done
        sleep 0.5
        eval "$mark=$(anon)"
    done
    wait
    grep -v checkpoint "$out"
    echo "resident anonymous memory with the picture in both windows: $(( (after - before) / 1024 )) MiB more than with none"
    rm -f "$out"
' _ "$build" "${picture//\//\\}" "$folder"
