#!/bin/bash
# Checks the release folders: the program imports SKY32DEM.DLL by ordinal
# only (1, 5, 7, 8, 15, 17, 25), the shipped program is a GUI program for
# subsystem 4.0, and no runtime DLL of the compiler is needed.
set -uo pipefail
failed=0
fail() { echo "check-binaries: $*" >&2; failed=1; }

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
done
dump=$(i686-w64-mingw32-objdump -p dist/win32/GLIMR32.EXE 2>/dev/null)
grep -q 'Magic.*(PE32)' <<<"$dump" || fail "win32 program is not PE32"
grep -qE 'MajorSubsystemVersion\s+4' <<<"$dump" || fail "win32 subsystem version is not 4"
grep -qE 'Subsystem\s+00000002' <<<"$dump" || fail "win32 program is not a GUI program"

if [ $failed = 0 ]; then echo "check-binaries: passed"; fi
exit $failed
