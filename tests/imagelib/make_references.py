#!/usr/bin/env python3
"""Writes ImageMagick's 8-bit RGBA rendering of the corpus pictures that have
an rgba_md5 in the manifest to OUT/<path with '/' as '__'>.rgba.

The library ignores a PNG's gamma (gAMA), while ImageMagick converts pictures
with a gamma of 1.0 to sRGB; such PNGs are rendered from a copy without the
gAMA chunk. Every other rendering is checked against the manifest's md5.
Existing files are kept, so only the first run pays.
    make_references.py CORPUS_DIR OUT_DIR
"""
import concurrent.futures
import hashlib
import os
import struct
import subprocess
import sys
import tempfile

CONVERT = "/usr/bin/convert"


def without_gamma(data):
    """The PNG without its gAMA chunk, or None when it has none."""
    pos, out, found = 8, bytearray(data[:8]), False
    while pos + 12 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        chunk = data[pos:pos + 12 + length]
        if kind == b"gAMA":
            found = True
        else:
            out += chunk
        pos += 12 + length
    return bytes(out) if found else None


def render(corpus, out, path, md5):
    target = os.path.join(out, path.replace("/", "__") + ".rgba")
    if os.path.exists(target):
        return None
    source = os.path.join(corpus, path)
    stripped = None
    if path.lower().endswith(".png"):
        with open(source, "rb") as f:
            stripped = without_gamma(f.read())
    with tempfile.TemporaryDirectory() as tmp:
        if stripped is not None:
            source = os.path.join(tmp, "picture.png")
            with open(source, "wb") as f:
                f.write(stripped)
        result = subprocess.run([CONVERT, source + "[0]", "-depth", "8", "rgba:-"],
                                capture_output=True)
    if result.returncode != 0 or not result.stdout:
        return f"no reference for {path}"
    if stripped is None and hashlib.md5(result.stdout).hexdigest() != md5:
        return f"md5 differs from the manifest for {path}"
    with open(target + ".tmp", "wb") as f:
        f.write(result.stdout)
    os.replace(target + ".tmp", target)
    return None


def main():
    corpus, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    jobs = []
    with open(os.path.join(corpus, "manifest.tsv"), encoding="utf-8") as f:
        next(f)
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) > 7 and fields[7]:
                jobs.append((fields[0], fields[7]))
    failed = 0
    with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
        for message in pool.map(lambda job: render(corpus, out, *job), jobs):
            if message:
                print("make_references:", message, file=sys.stderr)
                failed += 1
    print(f"make_references: {len(jobs) - failed} references in {out}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
