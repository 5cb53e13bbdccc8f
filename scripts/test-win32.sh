#!/bin/bash
# The shipped 32-bit build's stage: the short walk of dist/win32 and the
# library's corpus tests through the 32-bit DLL, in a 32-bit Wine prefix of
# its own (below build/win32-tests), everything emulated.
set -uo pipefail
build=$1
start=$(date +%s)
echo "== win32 stage (wine32 through qemu-user, private Xvfb)"
GLIM_WINEARCH=win32 scripts/wine-session.sh "$build/win32-tests" \
    ctest --test-dir "$build/win32-tests" --output-on-failure -j 2
status=$?
echo "win32 stage: $(( $(date +%s) - start )) s"
exit $status
