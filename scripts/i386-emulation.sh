#!/bin/sh
# Turns the registered i386 emulator (see setup.sh --win32) on or off.
#   i386-emulation.sh on|off
set -eu
entry=/proc/sys/fs/binfmt_misc/qemu-i386
[ -e "$entry" ] || { echo "i386-emulation: no emulator registered: run scripts/setup.sh --win32" >&2; exit 1; }
case "${1:-}" in
on) echo 1 >"$entry" ;;
off) echo 0 >"$entry" ;;
*) echo "usage: $0 on|off" >&2; exit 2 ;;
esac
