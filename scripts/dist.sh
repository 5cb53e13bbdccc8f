#!/bin/sh
# Copies the three products of each target into dist/<target>/.
set -eu
build=$1
for target in win64 win32; do
    mkdir -p "dist/$target"
    rm -f "dist/$target"/*
    for f in GLIMR32.EXE SKY32DEM.DLL GLUNINST.EXE; do
        if [ -f "$build/$target/bin/$f" ]; then
            cp "$build/$target/bin/$f" "dist/$target/$f"
        fi
    done
done
