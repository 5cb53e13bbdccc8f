#!/bin/bash
# Checks the release folders: the program imports SKY32DEM.DLL by ordinal
# only (1, 5, 7, 8, 15, 17, 25), the shipped program is a GUI program for
# subsystem 4.0, no runtime DLL of the compiler is needed, and every
# executable imports only what scripts/allowed-imports.txt lists for it:
# the 32-bit executables nothing newer than Windows 2000.
set -uo pipefail
export LC_ALL=C
failed=0
fail() { echo "check-binaries: $*" >&2; failed=1; }
allowed=$(dirname "$0")/allowed-imports.txt

# One line per import: "DLL Function", or "DLL #ordinal". An ordinal is
# read from the thunk (hex, high bit set), which both targets print alike;
# the second column is decimal in the 32-bit dump.
imports() {
    awk 'function hex(s,  n, i) { n = 0; for (i = 1; i <= length(s); i++)
             n = n * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1; return n }
         /^The Import Tables/ {f=1; next} /^[A-Z]/ {f=0}
         f && /DLL Name:/ {dll=toupper($3); next}
         f && dll != "" && /^\t[0-9a-f]+\t/ {
             if ($3 == "<none>") print dll " #" hex(substr($1, 2)); else print dll " " $3 }'
}

# The list's lines for one file: those without a prefix, "win64" ones in
# dist/win64, "library" ones in SKY32DEM.DLL.
allowed_for() {
    awk -v target="$1" -v file="$2" '/^#/ || NF == 0 {next}
        $1 == "win64" { if (target == "win64") print $2 " " $3; next }
        $1 == "library" { if (file == "SKY32DEM.DLL") print $2 " " $3; next }
        { print $1 " " $2 }' "$allowed" | sort -u
}

for target in win64 win32; do
    exe="dist/$target/GLIMR32.EXE"
    [ -f "$exe" ] || { fail "$exe missing"; continue; }
    objdump=x86_64-w64-mingw32-objdump
    [ "$target" = win32 ] && objdump=i686-w64-mingw32-objdump
    dump=$($objdump -p "$exe")
    # The first column is the thunk: the high bit marks an import by ordinal.
    ordinals=$(echo "$dump" | awk '/DLL Name: SKY32DEM.DLL/{f=1; next} /DLL Name:/{f=0} f && /^\t8[0-9a-f]+\t/ {print $1}' |
        sed 's/^8//' | while read -r o; do echo $((16#$o)); done | sort -n | tr '\n' ' ')
    [ "$ordinals" = "1 5 7 8 15 17 25 " ] || fail "$target imports SKY32DEM ordinals '$ordinals'"
    named=$(awk '/DLL Name: SKY32DEM.DLL/{f=1; next} /DLL Name:/{f=0} f && /^\t[0-7][0-9a-f]*\t/' <<<"$dump")
    if [ -n "$named" ]; then
        fail "$target imports SKY32DEM by name"
    fi
    if grep -qiE 'DLL Name: (libstdc|libgcc|libwinpthread)' <<<"$dump"; then
        fail "$target needs a compiler runtime DLL"
    fi
    for file in GLIMR32.EXE GLUNINST.EXE SKY32DEM.DLL; do
        [ -f "dist/$target/$file" ] || { fail "dist/$target/$file missing"; continue; }
        unlisted=$($objdump -p "dist/$target/$file" | imports | sort -u |
            comm -23 - <(allowed_for "$target" "$file"))
        [ -z "$unlisted" ] || fail "$target/$file imports what is not allowed: "$unlisted
    done
done
dump=$(i686-w64-mingw32-objdump -p dist/win32/GLIMR32.EXE 2>/dev/null)
grep -q 'Magic.*(PE32)' <<<"$dump" || fail "win32 program is not PE32"
grep -qE 'MajorSubsystemVersion\s+4' <<<"$dump" || fail "win32 subsystem version is not 4"
grep -qE 'Subsystem\s+00000002' <<<"$dump" || fail "win32 program is not a GUI program"

if [ $failed = 0 ]; then echo "check-binaries: passed"; fi
exit $failed
