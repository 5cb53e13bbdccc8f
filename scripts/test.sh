#!/bin/bash
# Runs every test: the Windows tests under wine64 in a private session, the
# native image-core tests and fuzz runs, the resource generator's tests, and
# the shipped 32-bit build's stage (emulated).
set -uo pipefail
build=$1
failed=0

echo "== win64 tests (wine64, private Xvfb)"
scripts/wine-session.sh "$build/win64" \
    ctest --test-dir "$build/win64" --output-on-failure -j 2 || failed=1

# The end-to-end walk's screenshots, as PNG files to look at.
for shot in out/walk/*.bmp; do
    [ -f "$shot" ] && /usr/bin/convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done

echo "== release folders"
scripts/check-binaries.sh || failed=1

echo "== native tests"
ctest --test-dir "$build/native" --output-on-failure -j 2 || failed=1

# Last, since it turns the i386 emulator on while it runs.
scripts/test-win32.sh "$build" || failed=1

exit $failed
