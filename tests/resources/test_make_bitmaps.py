"""Tests for scripts/make_bitmaps.py (glyph bitmaps and program icon)."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), '..', '..'))
SCRIPT = os.path.join(ROOT, 'scripts', 'make_bitmaps.py')
RESOURCES = os.path.join(ROOT, 'resources')

VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
LEGEND = {c: i for i, c in enumerate('krgybmcSsRGYBMCW')}
KEY = 13  # fuchsia
GLYPHS = {
    'FLOPPY': (16, 11), 'HARD': (16, 11), 'NETWORK': (16, 11),
    'CDROM': (16, 11), 'RAM': (16, 11),
    'CLOSEDFOLDER': (16, 15), 'OPENFOLDER': (16, 15),
    'CURRENTFOLDER': (16, 15), 'EXECUTABLE': (16, 15),
    'UNKNOWNFILE': (16, 15), 'KNOWNFILE': (16, 15),
}


def run(outdir, *extra):
    return subprocess.run([sys.executable, SCRIPT, *extra, outdir],
                          capture_output=True, text=True)


def source_rows(path):
    with open(path) as f:
        return f.read().rstrip('\n').split('\n')


def unpack4(data, width, height):
    """Top-down rows of palette indices from bottom-up 4-bit bits."""
    stride = ((width + 1) // 2 + 3) // 4 * 4
    rows = []
    for y in range(height):
        line = data[y * stride:(y + 1) * stride]
        rows.append([(line[x // 2] >> (4 if x % 2 == 0 else 0)) & 15
                     for x in range(width)])
    return rows[::-1]


def check_palette(test, data):
    test.assertEqual(len(data), 64)
    for i, (r, g, b) in enumerate(VGA):
        test.assertEqual(tuple(data[i * 4:i * 4 + 4]), (b, g, r, 0))


class MakeBitmapsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp()
        cls.out = os.path.join(cls.tmp, 'out')
        cls.preview = os.path.join(cls.tmp, 'preview.png')
        cls.result = run(cls.out, '--preview', cls.preview)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp)

    def test_runs_cleanly(self):
        self.assertEqual(self.result.returncode, 0, self.result.stderr)

    def test_glyphs(self):
        for name, (w, h) in GLYPHS.items():
            with self.subTest(name=name):
                with open(os.path.join(self.out, name + '.bmp'), 'rb') as f:
                    data = f.read()
                stride = ((w + 1) // 2 + 3) // 4 * 4
                self.assertEqual(data[:2], b'BM')
                size, _, _, offset = struct.unpack_from('<IHHI', data, 2)
                self.assertEqual(offset, 14 + 40 + 64)
                self.assertEqual(size, offset + stride * h)
                self.assertEqual(len(data), size)
                (hsize, bw, bh, planes, bpp, comp, _, _, _, used,
                 _) = struct.unpack_from('<IiiHHIIiiII', data, 14)
                self.assertEqual((hsize, bw, bh, planes, bpp, comp, used),
                                 (40, w, h, 1, 4, 0, 16))
                check_palette(self, data[54:118])
                pixels = unpack4(data[offset:], w, h)
                # Bottom-left pixel is the key colour ...
                self.assertEqual(pixels[-1][0], KEY)
                # ... and every pixel matches its source character, with
                # the key colour exactly where the source has background.
                src = source_rows(os.path.join(RESOURCES, 'glyphs',
                                               name + '.txt'))
                self.assertNotIn('M', ''.join(src))
                want = [[KEY if c == '.' else LEGEND[c] for c in row]
                        for row in src]
                self.assertEqual(pixels, want)

    def test_icon(self):
        with open(os.path.join(self.out, 'GLIMMORA.ICO'), 'rb') as f:
            data = f.read()
        self.assertEqual(struct.unpack_from('<HHH', data, 0), (0, 1, 1))
        w, h, colours, _, planes, bpp, length, offset = struct.unpack_from(
            '<BBBBHHII', data, 6)
        self.assertEqual((w, h, colours, planes, bpp), (32, 32, 16, 1, 4))
        self.assertEqual(offset, 22)
        self.assertEqual(length, 40 + 64 + 16 * 32 + 4 * 32)
        self.assertEqual(len(data), offset + length)
        (hsize, bw, bh, planes, bpp, comp, _, _, _, used,
         _) = struct.unpack_from('<IiiHHIIiiII', data, offset)
        self.assertEqual((hsize, bw, bh, planes, bpp, comp, used),
                         (40, 32, 64, 1, 4, 0, 16))
        check_palette(self, data[offset + 40:offset + 104])
        xor = unpack4(data[offset + 104:], 32, 32)
        mask_bits = data[offset + 104 + 512:]
        mask = [[(mask_bits[y * 4 + x // 8] >> (7 - x % 8)) & 1
                 for x in range(32)] for y in range(32)][::-1]
        src = source_rows(os.path.join(RESOURCES, 'icon', 'glimmora.txt'))
        for y, row in enumerate(src):
            for x, c in enumerate(row):
                if c == '.':
                    self.assertEqual((mask[y][x], xor[y][x]), (1, 0))
                else:
                    self.assertEqual((mask[y][x], xor[y][x]),
                                     (0, LEGEND[c]))
        self.assertEqual(mask[0][0], 1)  # corner is transparent

    def test_preview(self):
        with open(self.preview, 'rb') as f:
            data = f.read()
        self.assertEqual(data[:8], b'\x89PNG\r\n\x1a\n')
        self.assertEqual(data[12:16], b'IHDR')
        w, h = struct.unpack_from('>II', data, 16)
        self.assertEqual((w % 8, h % 8), (0, 0))
        self.assertGreater(w, h)


class MalformedSourceTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.mkdtemp()
        self.res = os.path.join(self.tmp, 'resources')
        shutil.copytree(RESOURCES, self.res)

    def tearDown(self):
        shutil.rmtree(self.tmp)

    def edit(self, rel, change):
        path = os.path.join(self.res, rel)
        rows = source_rows(path)
        change(rows)
        with open(path, 'w') as f:
            f.write('\n'.join(rows) + '\n')

    def assert_refused(self, rel, words):
        r = run(os.path.join(self.tmp, 'out'), '--resources', self.res)
        self.assertNotEqual(r.returncode, 0)
        self.assertNotIn('Traceback', r.stderr)
        self.assertIn(os.path.basename(rel), r.stderr)
        for word in words:
            self.assertIn(word, r.stderr)
        self.assertFalse(os.path.exists(os.path.join(self.tmp, 'out')))

    def test_short_row(self):
        def change(rows):
            rows[3] = rows[3][:-1]
        self.edit('glyphs/HARD.txt', change)
        self.assert_refused('HARD.txt', ['HARD.txt:4', 'expected 16'])

    def test_wrong_height(self):
        self.edit('glyphs/KNOWNFILE.txt', lambda rows: rows.append(rows[-1]))
        self.assert_refused('KNOWNFILE.txt', ['expected 15'])

    def test_unknown_character(self):
        def change(rows):
            rows[2] = 'x' + rows[2][1:]
        self.edit('icon/glimmora.txt', change)
        self.assert_refused('glimmora.txt', ["'x'", 'legend'])

    def test_key_colour_in_glyph(self):
        def change(rows):
            rows[5] = rows[5][:5] + 'M' + rows[5][6:]
        self.edit('glyphs/FLOPPY.txt', change)
        self.assert_refused('FLOPPY.txt', ['background'])

    def test_missing_source(self):
        os.remove(os.path.join(self.res, 'glyphs', 'RAM.txt'))
        self.assert_refused('RAM.txt', ['missing'])


if __name__ == '__main__':
    unittest.main()
