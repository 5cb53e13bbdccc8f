#!/bin/bash
# The shipped 32-bit build's stage: the library's corpus tests through
# dist/win32/SKY32DEM.DLL, in a 32-bit Wine prefix of its own (below
# build/win32-tests), everything emulated.
#   test-win32.sh BUILD [--walk]
# --walk: also the short walk of dist/win32. It does not pass here: under
# qemu-user the 32-bit desktop process (explorer.exe) dies in a new thread
# (a fault the emulator reports with trap -1, which Wine cannot place), and
# no program gets a window.
set -uo pipefail
build=$1
tests=imagelib
if [ "${2:-}" = --walk ]; then
    cmake --build "$build/win32-tests" -j 2 --target e2e_walk_tests || exit 1
    tests=.
fi
start=$(date +%s)
scripts/i386-emulation.sh on || exit 1
trap 'scripts/i386-emulation.sh off' EXIT
echo "== win32 stage (wine32 through qemu-user, private Xvfb)"
scripts/win32-prefix.sh copy "$build/win32-tests" || exit 1
GLIM_WINEARCH=win32 GLIM_VIRTUAL_DESKTOP=0 scripts/wine-session.sh "$build/win32-tests" \
    ctest --test-dir "$build/win32-tests" --output-on-failure -j 2 -R "$tests"
status=$?
echo "win32 stage: $(( $(date +%s) - start )) s"
exit $status
