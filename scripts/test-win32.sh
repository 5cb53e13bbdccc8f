#!/bin/bash
# The shipped 32-bit build's stage, everything emulated (wine32 through
# qemu-user) in a 32-bit Wine prefix of its own below build/win32-tests: the
# library's corpus tests through dist/win32/SKY32DEM.DLL and the short walk
# of dist/win32 (e2e_walk_tests, ShortWalk.*).
#   test-win32.sh BUILD
set -uo pipefail
build=$1
start=$(date +%s)
scripts/i386-emulation.sh on || exit 1
trap 'scripts/i386-emulation.sh off' EXIT
echo "== win32 stage (wine32 through qemu-user, private Xvfb)"
GLIM_WINEARCH=win32 scripts/wine-session.sh "$build/win32-tests" \
    ctest --test-dir "$build/win32-tests" --output-on-failure -j 2
status=$?
echo "win32 stage: $(( $(date +%s) - start )) s"
exit $status
