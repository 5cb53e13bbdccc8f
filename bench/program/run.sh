#!/bin/bash
# Times a 12-megapixel JPEG from LoadPicture to the painted preview and
# measures the memory of the picture in both windows (win64 build, wine64):
# the process's resident anonymous memory, read from /proc at two checkpoints.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
corpus=$(realpath "${GLIMMORA_CORPUS:-$root/../shared/corpus}")
picture="Z:$corpus/generated/large/landscape_4000x3000_q90.jpg"
cd "$root"
scripts/wine-session.sh "$build" bash -c '
    out=$(mktemp)
    (cd "$1/bin" && "$WINE64" load_bench.exe "$2" 5 >"$out" 2>/dev/null) &
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
' _ "$build" "${picture//\//\\}"
