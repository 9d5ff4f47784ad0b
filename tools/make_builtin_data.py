#!/usr/bin/env python3
# Generates screen/assets/builtin_data.cpp: the three code page 437 fonts and the four palettes,
# packed as one LZW block. Also writes contact sheets of the fonts for a visual check.
#
# Needs the console fonts of the Debian package console-setup-linux (only to run this
# script; the build uses the committed output). Standard library only.
#
#   python3 tools/make_builtin_data.py [--fonts DIR] [--out FILE] [--sheets DIR]

import argparse
import gzip
import os
import struct
import sys
import zlib

FONT_DIR = '/usr/share/consolefonts'
PACKAGE = 'console-setup-linux 1.221'
SOURCE_FONTS = ['FullGreek-VGA16', 'Uni2-VGA16', 'FullCyrSlav-VGA14', 'FullGreek-VGA14',
                'Uni2-VGA14', 'FullGreek-VGA8', 'Uni2-VGA8']

# ---------------------------------------------------------------------------------------
# Code page 437

CONTROL_PICTURES = ('\u0000☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼')

# The console fonts name these two triangles by their larger-triangle code points.
FALLBACKS = {0x25BA: [0x25B6], 0x25C4: [0x25C0]}


def cp437Unicode(code):
    if code < 0x20:
        return ord(CONTROL_PICTURES[code])
    if code == 0x7F:
        return 0x2302
    if code < 0x80:
        return code
    return ord(bytes([code]).decode('cp437'))


def codesOf(text):
    return list(text.encode('cp437'))


UNI2_LETTERS = codesOf('åìÅò')
GREEK = [c for c in range(0xE0, 0xEF) if c != 0xEC]  # E0..EE without the infinity sign
PESETA_INF_CAP_IDENT = [0x9E, 0xEC, 0xEF, 0xF0]
SUPERSCRIPT_N = 0xFC
REVERSED_NOT = 0xA9
NOT_SIGN = 0xAA

# Box pieces: code -> connections (up, down, left, right), 0 none, 1 single, 2 double.
BOX = {
    0xB3: (1, 1, 0, 0), 0xB4: (1, 1, 1, 0), 0xB5: (1, 1, 2, 0), 0xB6: (2, 2, 1, 0),
    0xB7: (0, 2, 1, 0), 0xB8: (0, 1, 2, 0), 0xB9: (2, 2, 2, 0), 0xBA: (2, 2, 0, 0),
    0xBB: (0, 2, 2, 0), 0xBC: (2, 0, 2, 0), 0xBD: (2, 0, 1, 0), 0xBE: (1, 0, 2, 0),
    0xBF: (0, 1, 1, 0), 0xC0: (1, 0, 0, 1), 0xC1: (1, 0, 1, 1), 0xC2: (0, 1, 1, 1),
    0xC3: (1, 1, 0, 1), 0xC4: (0, 0, 1, 1), 0xC5: (1, 1, 1, 1), 0xC6: (1, 1, 0, 2),
    0xC7: (2, 2, 0, 1), 0xC8: (2, 0, 0, 2), 0xC9: (0, 2, 0, 2), 0xCA: (2, 0, 2, 2),
    0xCB: (0, 2, 2, 2), 0xCC: (2, 2, 0, 2), 0xCD: (0, 0, 2, 2), 0xCE: (2, 2, 2, 2),
    0xCF: (1, 0, 2, 2), 0xD0: (2, 0, 1, 1), 0xD1: (0, 1, 2, 2), 0xD2: (0, 2, 1, 1),
    0xD3: (2, 0, 0, 1), 0xD4: (1, 0, 0, 2), 0xD5: (0, 1, 0, 2), 0xD6: (0, 2, 0, 1),
    0xD7: (2, 2, 1, 1), 0xD8: (1, 1, 2, 2), 0xD9: (1, 0, 1, 0), 0xDA: (0, 1, 0, 1),
}
# Pieces that mix single and double lines; some fonts draw them badly.
MIXED_BOX = [c for c, links in BOX.items() if 1 in links and 2 in links]
MIXED_DOUBLE_ACROSS = [c for c in MIXED_BOX if 2 in BOX[c][2:]]

# ---------------------------------------------------------------------------------------
# Console fonts (PSF version 1 and 2, gzip-compressed, with a Unicode table)


class ConsoleFont:
    def __init__(self, directory, name):
        self.name = name
        data = gzip.open(os.path.join(directory, name + '.psf.gz')).read()
        self.map = {}
        if data[:2] == b'\x36\x04':
            mode, size = data[2], data[3]
            count = 512 if mode & 1 else 256
            self.height = size
            self.glyphs = [data[4 + i * size:4 + (i + 1) * size] for i in range(count)]
            if mode & 6:
                self._readTable1(data, 4 + count * size)
        elif data[:4] == b'\x72\xb5\x4a\x86':
            _, _, headerSize, flags, count, size, height, width = struct.unpack('<8I', data[:32])
            if width != 8:
                raise ValueError(name + ': not 8 pixels wide')
            self.height = height
            self.glyphs = [data[headerSize + i * size:headerSize + (i + 1) * size]
                           for i in range(count)]
            if flags & 1:
                self._readTable2(data, headerSize + count * size)
        else:
            raise ValueError(name + ': not a console font')

    def _readTable1(self, data, pos):
        for index in range(len(self.glyphs)):
            inSequence = False
            while True:
                (value,) = struct.unpack('<H', data[pos:pos + 2])
                pos += 2
                if value == 0xFFFF:
                    break
                if value == 0xFFFE:
                    inSequence = True
                elif not inSequence:
                    self.map.setdefault(value, index)

    def _readTable2(self, data, pos):
        for index in range(len(self.glyphs)):
            end = data.index(b'\xff', pos)
            singles = data[pos:end].split(b'\xfe')[0].decode('utf-8')
            pos = end + 1
            for ch in singles:
                self.map.setdefault(ord(ch), index)

    def glyph(self, code):
        """Rows of the glyph for a code page 437 code, leftmost pixel in bit 7."""
        if code == 0:
            return [0] * self.height  # no character maps to code 0: it stays blank
        point = cp437Unicode(code)
        for candidate in [point] + FALLBACKS.get(point, []):
            if candidate in self.map:
                return list(self.glyphs[self.map[candidate]])
        raise KeyError('%s has no glyph for %02X (U+%04X)' % (self.name, code, point))


# ---------------------------------------------------------------------------------------
# Glyph surgery


def squeeze(rows, count):
    """Drops rows until `count` remain, first those that repeat their upper neighbour (in
    the longest run), so strokes keep their shape; else the middle one."""
    rows = list(rows)
    while len(rows) > count:
        best, bestRun, run = None, 0, 1
        for i in range(1, len(rows)):
            run = run + 1 if rows[i] == rows[i - 1] else 1
            if run > 1 and run > bestRun:
                best, bestRun = i, run
        del rows[best if best is not None else len(rows) // 2]
    return rows


# Rows picked by hand where dropping repeated rows loses a stroke (the middle bar of ε,
# the top of Φ, the cross bar of ₧, the symmetry of Σ). Rows 0 and 15 are blank.
EIGHT_ROW_PICKS = {
    0x9E: [2, 3, 5, 7, 8, 9, 11, 15],
    0xE4: [2, 3, 5, 6, 8, 10, 11, 15],
    0xE8: [2, 3, 4, 5, 6, 9, 10, 15],
    0xEE: [0, 1, 5, 7, 8, 9, 11, 15],
}


def eightFromSixteen(code, rows):
    """An 8-row glyph from a 16-row one: cap height rows 2-4 -> 0-1, x-height and body
    rows 5-11 -> 2-6 (baseline on row 6), descender rows 12-15 -> 7."""
    if rows[0] or rows[1]:
        raise ValueError('glyph reaches above the cap height')
    if code in EIGHT_ROW_PICKS:
        return [rows[i] for i in EIGHT_ROW_PICKS[code]]
    return squeeze(rows[2:5], 2) + squeeze(rows[5:12], 5) + squeeze(rows[12:16], 1)


def boxEightFromSixteen(code, rows):
    """An 8-row box piece from a 16-row one. The 8-row font has ═ on rows 2 and 4 and ─
    on row 4, the 16-row font ═ on rows 6 and 8 and ─ on row 7."""
    if code in MIXED_DOUBLE_ACROSS:
        pick = [0, 1, 6, 7, 8, 9, 10, 11]
    else:
        pick = [0, 1, 2, 3, 7, 8, 9, 10]
    return [rows[i] for i in pick]


def trimSixteenToFourteen(rows):
    """Both fonts put the baseline on row 11; the two bottom rows go."""
    if rows[14] or rows[15]:
        raise ValueError('glyph uses the two bottom rows')
    return rows[:14]


def mirrored(rows):
    """Left-right mirror within the columns the glyph uses, so ¬ becomes ⌐ in place."""
    flipped = [int(format(r, '08b')[::-1], 2) for r in rows]
    if not any(r & 1 for r in rows):  # rightmost column unused: keep it unused
        flipped = [(r << 1) & 0xFF for r in flipped]
    return flipped


# ---------------------------------------------------------------------------------------
# The three fonts


def build16(f):
    glyphs = []
    for code in range(256):
        source = f['Uni2-VGA16'] if code in UNI2_LETTERS else f['FullGreek-VGA16']
        glyphs.append(source.glyph(code))
    return glyphs


def build14(f):
    glyphs = []
    for code in range(256):
        if code in UNI2_LETTERS:
            rows = f['Uni2-VGA14'].glyph(code)
        elif code == 0x9F or code in MIXED_BOX or code in GREEK:
            rows = f['FullGreek-VGA14'].glyph(code)
        elif code in PESETA_INF_CAP_IDENT or code == SUPERSCRIPT_N:
            rows = trimSixteenToFourteen(f['FullGreek-VGA16'].glyph(code))
        elif code == REVERSED_NOT:
            rows = mirrored(f['FullCyrSlav-VGA14'].glyph(NOT_SIGN))
        else:
            rows = f['FullCyrSlav-VGA14'].glyph(code)
        glyphs.append(rows)
    return glyphs


def build8(f):
    glyphs = []
    for code in range(256):
        if code in UNI2_LETTERS:
            rows = f['Uni2-VGA8'].glyph(code)
        elif code in MIXED_BOX:
            rows = boxEightFromSixteen(code, f['FullGreek-VGA16'].glyph(code))
        elif code in GREEK:
            rows = eightFromSixteen(code, f['FullGreek-VGA16'].glyph(code))
        elif code in PESETA_INF_CAP_IDENT:
            rows = eightFromSixteen(code, f['Uni2-VGA16'].glyph(code))
        elif code == REVERSED_NOT:
            rows = mirrored(f['FullGreek-VGA8'].glyph(NOT_SIGN))
        else:
            rows = f['FullGreek-VGA8'].glyph(code)
        glyphs.append(rows)
    return glyphs


def leftmostInBitZero(row):
    return int(format(row, '08b')[::-1], 2)


def fontBytes(glyphs):
    return bytes(leftmostInBitZero(r) for g in glyphs for r in g)


# ---------------------------------------------------------------------------------------
# Checks


def checkFont(name, glyphs, height):
    problems = []
    if len(glyphs) != 256 or any(len(g) != height for g in glyphs):
        return ['%s: wrong glyph count or height' % name], glyphs
    glyphs = [list(g) for g in glyphs]
    blanks = {0x00, 0x20, 0xFF}
    for code in blanks:
        if any(glyphs[code]):
            problems.append('%s: code %02X is not blank' % (name, code))
    seen = {}
    for code in range(256):
        if code in blanks:
            continue
        key = tuple(glyphs[code])
        if not any(key):
            problems.append('%s: code %02X is blank' % (name, code))
        elif key in seen:
            problems.append('%s: codes %02X and %02X share a glyph' % (name, seen[key], code))
        seen.setdefault(key, code)
    problems += checkBoxes(name, glyphs)
    return problems, glyphs


def edges(rows):
    top = rows[0]
    bottom = rows[-1]
    left = tuple(bool(r & 0x80) for r in rows)
    right = tuple(bool(r & 0x01) for r in rows)
    return top, bottom, left, right


def checkBoxes(name, glyphs):
    """Every piece's edge pixels must continue │ ║ ─ ═ (or be empty) on each side."""
    problems = []
    vertical = {0: 0, 1: glyphs[0xB3][0], 2: glyphs[0xBA][0]}
    blankColumn = tuple(False for _ in glyphs[0])
    horizontal = {0: blankColumn, 1: edges(glyphs[0xC4])[2], 2: edges(glyphs[0xCD])[2]}
    for code, (up, down, left, right) in sorted(BOX.items()):
        top, bottom, leftEdge, rightEdge = edges(glyphs[code])
        expected = (vertical[up], vertical[down], horizontal[left], horizontal[right])
        for side, got, want in zip(('top', 'bottom', 'left', 'right'),
                                   (top, bottom, leftEdge, rightEdge), expected):
            if got != want:
                problems.append('%s: box piece %02X does not meet its %s neighbour'
                                % (name, code, side))
    return problems


# ---------------------------------------------------------------------------------------
# Palettes


def sixToEight(value):
    return (value * 255 + 31) // 63


def paletteMono():
    return [(0, 0, 0), (255, 255, 255)]


def palette16():
    """Colour i: bit 0 blue, bit 1 green, bit 2 red at two thirds, bit 3 adds a third to
    every channel; colour 6 has its green halved (brown)."""
    colours = []
    for i in range(16):
        bright = 0x55 if i & 8 else 0
        r, g, b = (0xAA if i & 4 else 0), (0xAA if i & 2 else 0), (0xAA if i & 1 else 0)
        if i == 6:
            g = 0x55
        colours.append((r + bright, g + bright, b + bright))
    return colours


def palette64():
    """Colour i from its bits rgbRGB: upper-case bits give two thirds, lower-case a third."""
    def channel(i, strong, weak):
        return (0xAA if i >> strong & 1 else 0) + (0x55 if i >> weak & 1 else 0)
    return [(channel(i, 2, 5), channel(i, 1, 4), channel(i, 0, 3)) for i in range(64)]


# The VGA default colour table, in 6-bit DAC steps. 16 greys, then for three brightnesses
# (top 63, 28, 16) and three saturations each, five channel levels from darkest to brightest.
GREY_RAMP = [0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63]
HUE_LEVELS = [
    [0, 16, 31, 47, 63], [31, 39, 47, 55, 63], [45, 49, 54, 58, 63],
    [0, 7, 14, 21, 28], [14, 17, 21, 24, 28], [20, 22, 24, 26, 28],
    [0, 4, 8, 12, 16], [8, 10, 12, 14, 16], [11, 12, 13, 15, 16],
]


def hueWalk(levels):
    """24 hues: from blue to magenta, red, yellow, green, cyan and back towards blue, one
    channel moving one level per step while the others stay at full or off."""
    colours = []
    # channel moving, its direction; start at blue (lo, lo, hi)
    rgb = [0, 0, 4]
    moves = [(0, +1), (2, -1), (1, +1), (0, -1), (2, +1), (1, -1)]
    for channel, step in moves:
        for _ in range(4):
            colours.append(tuple(levels[v] for v in rgb))
            rgb[channel] += step
    assert rgb == [0, 0, 4]
    return colours


def palette256():
    six = [tuple(v * 63 // 255 for v in c) for c in palette16()]  # 0, 21, 42, 63
    six += [(g, g, g) for g in GREY_RAMP]
    for levels in HUE_LEVELS:
        six += hueWalk(levels)
    six += [(0, 0, 0)] * 8
    assert len(six) == 256
    return [tuple(sixToEight(v) for v in c) for c in six]


def paletteBytes(colours):
    return bytes(v for c in colours for v in c)


# ---------------------------------------------------------------------------------------
# LZW: 12-bit codes, two codes in three bytes. As a little-endian 24-bit group, the first
# code is bits 0-11 and the second bits 12-23. An odd last code takes two bytes.

END_CODE = 4095
LAST_ENTRY = 4094


def lzwEncode(data):
    table = {}
    nextCode = 256
    codes = []
    current = None
    for byte in data:
        if current is None:
            current = byte
            continue
        key = (current, byte)
        if key in table:
            current = table[key]
            continue
        codes.append(current)
        if nextCode <= LAST_ENTRY:
            table[key] = nextCode
            nextCode += 1
        current = byte
    if current is not None:
        codes.append(current)
    codes.append(END_CODE)
    out = bytearray()
    for i in range(0, len(codes) - 1, 2):
        a, b = codes[i], codes[i + 1]
        out += bytes([a & 0xFF, (a >> 8) | ((b & 0x0F) << 4), b >> 4])
    if len(codes) % 2:
        a = codes[-1]
        out += bytes([a & 0xFF, a >> 8])
    return bytes(out)


def lzwDecode(packed):
    codes = []
    for i in range(0, len(packed), 3):
        group = packed[i:i + 3]
        codes.append(group[0] | (group[1] & 0x0F) << 8)
        if len(group) == 3:
            codes.append(group[1] >> 4 | group[2] << 4)
    entries = {}
    nextCode = 256
    out = bytearray()
    previous = None
    for code in codes:
        if code == END_CODE:
            return bytes(out)
        if previous is None:
            string = bytes([code])
        elif code < 256:
            string = bytes([code])
        elif code in entries:
            string = entries[code]
        elif code == nextCode:
            string = previous + previous[:1]
        else:
            raise ValueError('bad code')
        if previous is not None and nextCode <= LAST_ENTRY:
            entries[nextCode] = previous + string[:1]
            nextCode += 1
        out += string
        previous = string
    raise ValueError('no end code')


# ---------------------------------------------------------------------------------------
# Contact sheet (PNG, 16 x 16 glyphs, read back from the packed font bytes)


def writePng(path, width, height, pixels):
    def chunk(kind, body):
        return (struct.pack('>I', len(body)) + kind + body
                + struct.pack('>I', zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b''.join(b'\x00' + bytes(pixels[y * width:(y + 1) * width]) for y in range(height))
    png = (b'\x89PNG\r\n\x1a\n'
           + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 0, 0, 0, 0))
           + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(png)


def writeContactSheet(path, font, height, scale=4):
    cellW, cellH = 8 * scale + 2, height * scale + 2
    width, fullHeight = 16 * cellW + 1, 16 * cellH + 1
    pixels = bytearray([90]) * (width * fullHeight)
    for code in range(256):
        x0, y0 = (code % 16) * cellW + 1, (code // 16) * cellH + 1
        for y in range(height * scale + 1):
            for x in range(8 * scale + 1):
                pixels[(y0 + y) * width + x0 + x] = 255
        for row in range(height):
            bits = font[code * height + row]
            for col in range(8):
                if bits >> col & 1:  # bit 0 is the leftmost pixel
                    for dy in range(scale):
                        start = (y0 + row * scale + dy) * width + x0 + col * scale
                        pixels[start:start + scale] = bytes(scale)
    writePng(path, width, fullHeight, pixels)


# ---------------------------------------------------------------------------------------
# Output

COPYRIGHT_FILE = '/usr/share/doc/console-setup-linux/copyright.fonts.gz'


def licenceComment():
    """The source note and the u_vga16.bdf notice, copied from the package's copyright file."""
    text = gzip.open(COPYRIGHT_FILE).read().decode('utf-8')
    start = text.index('== u_vga16.bdf')
    end = text.index('\n==', start + 1)
    notice = text[start:end].strip().splitlines()[1:]
    lines = [
        'Glyphs from the console fonts of the Debian package %s' % PACKAGE,
        '(/usr/share/consolefonts/*.psf.gz): ' + ', '.join(SOURCE_FONTS[:3]) + ',',
        ', '.join(SOURCE_FONTS[3:]) + ';',
        'some 8x8 and 8x14 glyphs are derived from the 8x16 ones.',
        '"All console fonts are public domain by nature." The VGA console fonts are built',
        'partly from u_vga16.bdf, whose notice follows (see tools/FONTS-ATTRIBUTION.md):',
    ] + ['  ' + line if line else '' for line in notice]
    return '\n'.join(('// ' + line).rstrip() for line in lines)


def writeSource(path, packed):
    lines = [
        '// The packed built-in fonts and palettes, unpacked by builtin_assets.cpp.',
        '// Generated by tools/make_builtin_data.py; do not edit.',
        '//',
        licenceComment(),
        '#include "screen/assets/builtin_assets.h"',
        '',
        'const uint8_t kBuiltinBlock[] = {',
    ]
    for i in range(0, len(packed), 16):
        lines.append('    ' + ' '.join('0x%02x,' % b for b in packed[i:i + 16]))
    lines += ['};', '', 'const size_t kBuiltinBlockSize = sizeof(kBuiltinBlock);', '']
    with open(path, 'w') as f:
        f.write('\n'.join(lines))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser()
    parser.add_argument('--fonts', default=FONT_DIR)
    parser.add_argument('--out', default=os.path.join(here, '..', 'screen', 'builtin_data.cpp'))
    parser.add_argument('--sheets', default='/tmp')
    args = parser.parse_args()

    sources = {name: ConsoleFont(args.fonts, name) for name in SOURCE_FONTS}
    problems = []
    fonts = []
    for name, height, build in (('8x8', 8, build8), ('8x14', 14, build14),
                                ('8x16', 16, build16)):
        found, glyphs = checkFont(name, build(sources), height)
        problems += found
        font = fontBytes(glyphs)
        fonts.append(font)
        writeContactSheet(os.path.join(args.sheets, 'contact-%s.png' % name), font, height)
    if problems:
        sys.exit('\n'.join(problems))

    palettes = [paletteBytes(p()) for p in (paletteMono, palette16, palette64, palette256)]
    data = b''.join(fonts + palettes)
    assert len(data) == 10742, len(data)
    packed = lzwEncode(data)
    assert lzwDecode(packed) == data
    writeSource(args.out, packed)
    print('%d bytes packed to %d' % (len(data), len(packed)))


if __name__ == '__main__':
    main()
