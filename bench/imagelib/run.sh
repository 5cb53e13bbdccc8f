#!/bin/bash
# Benchmarks SKY32DEM.DLL (win64 build) under wine64 and prints a table.
#   bench/imagelib/run.sh [BUILD_DIR]     (default build/win64)
# Uses the corpus' 4000x3000 pictures (12 megapixels) and a PCX made from
# them with ImageMagick; compares with djpeg and ImageMagick run natively.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath "${1:-$root/build/win64}")
corpus=$(realpath "${GLIMMORA_CORPUS:-$root/../shared/corpus}")
work="$build/imagelib-bench"
mkdir -p "$work"
dll="$build/bin/SKY32DEM.DLL"
[ -f "$dll" ] || { echo "run.sh: $dll missing: build win64 first" >&2; exit 1; }
convert=/usr/bin/convert

jpeg="$corpus/generated/large/$(ls "$corpus/generated/large" | grep -i '\.jpg$' | head -n1)"
png="$corpus/generated/large/$(ls "$corpus/generated/large" | grep -i '\.png$' | head -n1)"
tiff="$corpus/generated/large/$(ls "$corpus/generated/large" | grep -i '\.tif' | head -n1)"
pcx="$work/large.pcx"
[ -f "$pcx" ] || "$convert" "$png" "$pcx"

x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -static -o "$work/imagelib_bench.exe" \
    $(printf -- '-I%s ' "$root"/imagelib/core/*/) "$here/bench.cpp" "$root"/imagelib/core/*/*.cpp \
    -lole32 -lwindowscodecs -luuid -lgdi32
cp "$dll" "$work/"

tail -n +2 "$corpus/manifest.tsv" | cut -f1 | sed "s|^|Z:$corpus/|" > "$work/corpus.txt"

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export PATH="/usr/lib/wine:$PATH"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine64 wineboot -i > /dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p
(cd "$work" && wine64 imagelib_bench.exe "Z:$jpeg" "Z:$png" "Z:$tiff" "Z:$pcx" "Z:$work/corpus.txt") \
    | tr -d '\r' > "$work/results.txt"
wineserver -k || true

best() { # best of three wall-clock seconds of a command
    local b=999
    for _ in 1 2 3; do
        local s e
        s=$(date +%s.%N)
        "$@" > /dev/null 2>&1
        e=$(date +%s.%N)
        b=$(echo "if ($e - $s < $b) $e - $s else $b" | bc -l)
    done
    printf '%.4f' "$b"
}
djpeg_time=$(best djpeg -bmp -outfile /dev/null "$jpeg")
quantize_time=$(best "$convert" "$png" -dither FloydSteinberg -colors 256 "bmp3:$work/q.bmp")
im_decode_png=$(best "$convert" "$png" rgb:/dev/null)
im_pcx=$(best "$convert" "$pcx" rgb:/dev/null)

get() { awk -v k="$1" '$1 == k { print $2 }' "$work/results.txt"; }
ratio() { echo "scale=2; $1 / $2" | bc -l; }
printf '%-44s %10s %10s %8s\n' "measurement (12 MP unless noted)" "ours s" "other s" "ratio"
for f in jpeg png tiff; do
    printf '%-44s %10s %10s %8s\n' "$f: reader ordinal vs bare WIC" "$(get ${f}_library)" \
        "$(get ${f}_wic)" "$(ratio "$(get ${f}_library)" "$(get ${f}_wic)")"
done
printf '%-44s %10s %10s %8s\n' "tiff: own reader (forced) vs bare WIC" "$(get tiff_fallback)" \
    "$(get tiff_fallback_wic)" "$(ratio "$(get tiff_fallback)" "$(get tiff_fallback_wic)")"
printf '%-44s %10s %10s %8s\n' "jpeg: reader ordinal vs djpeg (native)" "$(get jpeg_library)" \
    "$djpeg_time" "$(ratio "$(get jpeg_library)" "$djpeg_time")"
reduce=$(echo "$(get png_res8_dither) - $(get png_library)" | bc -l)
printf '%-44s %10s %10s %8s\n' "png to 8 bits dithered, whole read vs convert" \
    "$(get png_res8_dither)" "$quantize_time" "$(ratio "$(get png_res8_dither)" "$quantize_time")"
printf '%-44s %10.4f %10s %8s\n' "  reduction alone vs convert minus its decode" "$reduce" \
    "$(echo "$quantize_time - $im_decode_png" | bc -l | xargs printf '%.4f')" \
    "$(ratio "$reduce" "$(echo "$quantize_time - $im_decode_png" | bc -l)")"
printf '%-44s %10s %10s %8s\n' "pcx decode vs ImageMagick (native)" "$(get pcx_library)" "$im_pcx" \
    "$(ratio "$(get pcx_library)" "$im_pcx")"
printf '%-44s %10s\n' "info query per file, ms ($(get info_files) files)" \
    "$(echo "$(get info_per_file) * 1000" | bc -l | xargs printf '%.4f')"
