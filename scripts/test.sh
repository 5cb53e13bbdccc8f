#!/bin/bash
# Runs every test: the Windows tests under wine64 in a private session, the
# native image-core tests and fuzz runs, and the resource generator's tests.
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

exit $failed
