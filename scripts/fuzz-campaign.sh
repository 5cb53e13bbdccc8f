#!/bin/bash
# A long fuzzing campaign: each libFuzzer target of the native build runs with
# its sanitizers until it has used MINUTES of CPU time, JOBS at a time, at low
# priority. Inputs it finds stay in OUT/work/NAME, crashing inputs in
# OUT/artifacts, and OUT/summary.tsv gets one line per target.
#
#   scripts/fuzz-campaign.sh [-m MINUTES] [-j JOBS] [-o OUT] [NAME...]
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=30
jobs=2
out=$root/out/fuzz
while getopts "m:j:o:" option; do
    case $option in
    m) minutes=$OPTARG ;;
    j) jobs=$OPTARG ;;
    o) out=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))

bin=$root/build/native/bin
corpus=$root/../shared/corpus
declare -A seeds=(
    [pcx_decode]="pcx generated/pcx" [info_bmp]="bmp generated/bmp"
    [info_gif]="gif generated/gif" [info_jpeg]="jpeg generated/jpeg" [info_png]="png"
    [info_tiff]="tiff generated/tiff" [info_pcx]="pcx generated/pcx"
    [structure]="bmp gif jpeg png tiff generated/gif generated/bmp generated/jpeg" [reduce]="pcx"
    [message_text]="" [ini_lines]="" [tiff_layout]="")
declare -A maxlen=([reduce]=4096 [tiff_layout]=4096)
# tiff_layout composes its files from its input: long inputs from the start.
declare -A options=([tiff_layout]="-len_control=0")
names=("$@")
[ ${#names[@]} -gt 0 ] || names=(pcx_decode structure reduce info_tiff info_jpeg info_png
    info_gif info_bmp info_pcx message_text ini_lines tiff_layout)

mkdir -p "$out/artifacts" "$out/logs"
# The binaries are copied so that a rebuild does not change a running campaign.
mkdir -p "$out/bin"
limit=$((minutes * 60))

cpu_seconds() { # user + system time of a process, in seconds
    awk -v hz="$(getconf CLK_TCK)" '{ print int(($14 + $15) / hz) }' "/proc/$1/stat" 2>/dev/null
}

run_target() {
    local name=$1 exe=$out/bin/fuzz_$1
    cp "$bin/fuzz_$name" "$exe" || return 1
    local dirs=()
    for seed in ${seeds[$name]}; do dirs+=("$corpus/$seed"); done
    [ -d "$root/tests/fuzz-inputs/$name" ] && dirs+=("$root/tests/fuzz-inputs/$name")
    mkdir -p "$out/work/$name"
    local started=$SECONDS
    ASAN_OPTIONS=detect_leaks=1 nice -n 19 "$exe" -max_len="${maxlen[$name]:-131072}" \
        -rss_limit_mb=2048 -timeout=20 -print_final_stats=1 ${options[$name]:-} \
        -artifact_prefix="$out/artifacts/$name-" "$out/work/$name" "${dirs[@]}" \
        >"$out/logs/$name.log" 2>&1 &
    local pid=$! used=0
    while kill -0 "$pid" 2>/dev/null; do
        used=$(cpu_seconds "$pid") || break
        [ -n "$used" ] && [ "$used" -ge "$limit" ] && kill -INT "$pid"
        sleep 5
    done
    wait "$pid"
    local status=$?
    local execs
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/logs/$name.log" | grep -o '[0-9]*$')
    local found
    found=$(ls "$out/artifacts" | grep -c "^$name-")
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$name" "${used:-0}" "$((SECONDS - started))" \
        "${execs:-?}" "$found" "$status" >>"$out/summary.tsv"
}

[ -f "$out/summary.tsv" ] || printf 'target\tcpu_s\twall_s\texecs\tartifacts\texit\n' >"$out/summary.tsv"
for name in "${names[@]}"; do
    [ -x "$bin/fuzz_$name" ] || { echo "no fuzz_$name in $bin" >&2; continue; }
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    run_target "$name" &
done
wait
column -t "$out/summary.tsv"
