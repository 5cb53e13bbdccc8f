#!/usr/bin/env python3
"""Build Glimmora32 glyph bitmaps and the program icon from text sources.

Usage: make_bitmaps.py [--resources DIR] [--preview OUT.png] OUTDIR

Sources are pixel grids, one character per pixel; the legend is in
resources/glyphs/README.md.  Writes OUTDIR/NAME.bmp for every glyph and
OUTDIR/GLIMMORA.ICO.
"""

import argparse
import os
import struct
import sys
import zlib

# Standard 16-colour VGA palette, (r, g, b), indices 0..15.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Lower case = dark shade, upper case = bright shade.
LEGEND = {
    'k': 0,   # black
    'r': 1,   # maroon
    'g': 2,   # green
    'y': 3,   # olive
    'b': 4,   # navy
    'm': 5,   # purple
    'c': 6,   # teal
    'S': 7,   # silver
    's': 8,   # grey
    'R': 9,   # red
    'G': 10,  # lime
    'Y': 11,  # yellow
    'B': 12,  # blue
    'M': 13,  # fuchsia
    'C': 14,  # aqua
    'W': 15,  # white
}
BACKGROUND = '.'      # glyphs: the key colour; icon: transparent
GLYPH_KEY = 13        # fuchsia, used for nothing else in glyphs
ICON_TRANSPARENT = 0  # XOR value under a set AND-mask bit

DRIVE = (16, 11)
FILE = (16, 15)
GLYPHS = [
    ('FLOPPY', DRIVE), ('HARD', DRIVE), ('NETWORK', DRIVE),
    ('CDROM', DRIVE), ('RAM', DRIVE),
    ('CLOSEDFOLDER', FILE), ('OPENFOLDER', FILE), ('CURRENTFOLDER', FILE),
    ('EXECUTABLE', FILE), ('UNKNOWNFILE', FILE), ('KNOWNFILE', FILE),
]
ICON = ('glimmora', (32, 32), 'GLIMMORA.ICO')


class SourceError(Exception):
    pass


def read_grid(path, size, is_icon):
    """Return rows of palette indices (None = transparent, icon only)."""
    width, height = size
    try:
        with open(path, encoding='ascii') as f:
            text = f.read()
    except FileNotFoundError:
        raise SourceError(f'{path}: missing')
    except UnicodeDecodeError:
        raise SourceError(f'{path}: not plain ASCII')
    lines = text.rstrip('\n').split('\n')
    if len(lines) != height:
        raise SourceError(f'{path}: {len(lines)} rows, expected {height}')
    rows = []
    for y, line in enumerate(lines, 1):
        line = line.rstrip('\r')
        if len(line) != width:
            raise SourceError(
                f'{path}:{y}: row is {len(line)} wide, expected {width}')
        row = []
        for x, ch in enumerate(line, 1):
            if ch == BACKGROUND:
                row.append(None if is_icon else GLYPH_KEY)
            elif ch not in LEGEND:
                raise SourceError(
                    f'{path}:{y}:{x}: character {ch!r} is not in the legend')
            elif not is_icon and LEGEND[ch] == GLYPH_KEY:
                raise SourceError(
                    f'{path}:{y}:{x}: {ch!r} is the background colour; '
                    f'use {BACKGROUND!r}')
            else:
                row.append(LEGEND[ch])
        rows.append(row)
    return rows


def info_header(width, height, image_size):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0,
                       image_size, 0, 0, 16, 0)


def palette_bytes():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def pack4(rows):
    """4-bit pixels, bottom-up, rows padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, len(row), 2):
            hi = row[i]
            lo = row[i + 1] if i + 1 < len(row) else 0
            line.append((hi << 4) | lo)
        line.extend(b'\0' * (-len(line) % 4))
        out += line
    return bytes(out)


def pack_mask(mask_rows):
    """1-bit AND mask, bottom-up, rows padded to 4 bytes."""
    out = bytearray()
    for row in reversed(mask_rows):
        line = bytearray((len(row) + 7) // 8)
        for x, bit in enumerate(row):
            if bit:
                line[x // 8] |= 0x80 >> (x % 8)
        line.extend(b'\0' * (-len(line) % 4))
        out += line
    return bytes(out)


def make_bmp(rows):
    width, height = len(rows[0]), len(rows)
    bits = pack4(rows)
    offset = 14 + 40 + 64
    return (struct.pack('<2sIHHI', b'BM', offset + len(bits), 0, 0, offset)
            + info_header(width, height, len(bits)) + palette_bytes() + bits)


def make_ico(rows):
    width, height = len(rows[0]), len(rows)
    xor = pack4([[ICON_TRANSPARENT if p is None else p for p in r]
                 for r in rows])
    mask = pack_mask([[p is None for p in r] for r in rows])
    image = (info_header(width, height * 2, len(xor) + len(mask))
             + palette_bytes() + xor + mask)
    return (struct.pack('<HHH', 0, 1, 1)
            + struct.pack('<BBBBHHII', width, height, 16, 0, 1, 4,
                          len(image), 6 + 16)
            + image)


def png_bytes(pixels):
    """Minimal RGB PNG from rows of (r, g, b)."""
    def chunk(kind, data):
        return (struct.pack('>I', len(data)) + kind + data
                + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff))
    width, height = len(pixels[0]), len(pixels)
    raw = b''.join(b'\0' + bytes(c for px in row for c in px)
                   for row in pixels)
    return (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height,
                                         8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw, 9))
            + chunk(b'IEND', b''))


def write_preview(path, images, scale=8, gap=2):
    """All images in a row: raw, then on white, then on navy."""
    backs = [None, PALETTE[15], PALETTE[4]]
    cell_h = max(len(r) for _, r, _ in images)
    width = sum(len(r[0]) + gap for _, r, _ in images) + gap
    height = len(backs) * (cell_h + gap) + gap
    canvas = [[(96, 96, 96)] * width for _ in range(height)]
    for band, back in enumerate(backs):
        x0 = gap
        y0 = gap + band * (cell_h + gap)
        for _, rows, is_icon in images:
            for y, row in enumerate(rows):
                for x, p in enumerate(row):
                    transparent = p is None or (not is_icon and p == GLYPH_KEY)
                    if transparent and back is not None:
                        c = back
                    elif p is None:  # raw view of icon transparency
                        c = (224, 224, 224) if (x + y) % 2 else (160, 160, 160)
                    else:
                        c = PALETTE[p]
                    canvas[y0 + y][x0 + x] = c
            x0 += len(rows[0]) + gap
    scaled = []
    for row in canvas:
        big = [px for px in row for _ in range(scale)]
        scaled.extend([big] * scale)
    with open(path, 'wb') as f:
        f.write(png_bytes(scaled))


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('outdir')
    ap.add_argument('--resources', default=os.path.join(here, '..',
                                                        'resources'))
    ap.add_argument('--preview', metavar='OUT.png')
    args = ap.parse_args(argv)

    glyph_dir = os.path.join(args.resources, 'glyphs')
    icon_dir = os.path.join(args.resources, 'icon')
    try:
        known = {name for name, _ in GLYPHS}
        for entry in sorted(os.listdir(glyph_dir)):
            if entry.endswith('.txt') and entry[:-4] not in known:
                raise SourceError(
                    f'{os.path.join(glyph_dir, entry)}: unknown glyph name')
        images = []
        for name, size in GLYPHS:
            rows = read_grid(os.path.join(glyph_dir, name + '.txt'),
                             size, False)
            images.append((name + '.bmp', rows, False))
        icon_name, icon_size, icon_out = ICON
        rows = read_grid(os.path.join(icon_dir, icon_name + '.txt'),
                         icon_size, True)
        images.append((icon_out, rows, True))
    except (SourceError, OSError) as e:
        print(f'make_bitmaps: error: {e}', file=sys.stderr)
        return 1

    os.makedirs(args.outdir, exist_ok=True)
    for out, rows, is_icon in images:
        data = make_ico(rows) if is_icon else make_bmp(rows)
        with open(os.path.join(args.outdir, out), 'wb') as f:
            f.write(data)
    if args.preview:
        write_preview(args.preview, images)
    return 0


if __name__ == '__main__':
    sys.exit(main())
