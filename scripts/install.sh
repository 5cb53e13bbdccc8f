#!/bin/sh
# Places a release folder into the current Wine prefix: the program into a
# folder of its own, the uninstaller into the Windows folder.
set -eu
src=$1
dest="$WINEPREFIX/drive_c/Program Files/Glimmora32"
mkdir -p "$dest"
cp "$src/GLIMR32.EXE" "$src/SKY32DEM.DLL" "$dest/"
if [ -f "$src/GLUNINST.EXE" ]; then
    cp "$src/GLUNINST.EXE" "$WINEPREFIX/drive_c/windows/"
fi
echo "$dest/GLIMR32.EXE"
