#!/usr/bin/env python3
"""Compares a tmux pane capture with the cell grid of the same run made in memory.

  pane_compare.py text CAPTURE CELLS ROW=MIN ...
      Every pane cell that is not a block or box-drawing character must hold the character
      of the cell grid; row ROW (1-based) must have at least MIN such cells.
  pane_compare.py bars CAPTURE_E [direct|256|16] [console]
      The four chart bars (a capture made with -e) are full blocks in their colours down to
      the rows their ends lie on, and the track colour below them. With "console" (the Linux
      console's fonts) every character is one of code page 437 and a bar's end row is the
      nearest of its blocks (full, half or blank).
"""
import re
import sys

COLUMNS, ROWS = 128, 48
DRAWN = range(0x2500, 0x25A0)  # box drawing and block elements


def read_text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return [line.rstrip("\n") for line in f]


def text(capture, cells, checks):
    pane = read_text(capture)
    with open(cells, "rb") as f:
        grid = [line.decode("latin-1") for line in f.read().split(b"\n")]
    failures = 0
    for r in range(ROWS):
        shown = pane[r] if r < len(pane) else ""
        shown = shown.ljust(COLUMNS)
        compared = 0
        for c in range(COLUMNS):
            if ord(shown[c]) in DRAWN:
                continue
            compared += 1
            if shown[c] != grid[r][c]:
                failures += 1
                if failures <= 5:
                    print(f"row {r + 1} column {c + 1}: pane {shown[c]!r}, cell grid {grid[r][c]!r}")
        need = checks.get(r + 1)
        if need is not None and compared < need:
            print(f"row {r + 1}: only {compared} text cells, {need} expected")
            failures += 1
    return failures == 0


def cells_with_colours(capture):
    """The pane as rows of (character, foreground, background)."""
    sgr = re.compile(r"\x1b\[([0-9;]*)m")
    rows = []
    with open(capture, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            fg = bg = None
            row = []
            at = 0
            while at < len(line):
                m = sgr.match(line, at)
                if m:
                    fields = [int(x) if x else 0 for x in m.group(1).split(";")]
                    i = 0
                    while i < len(fields):
                        f0 = fields[i]
                        if f0 == 0:
                            fg = bg = None
                        elif f0 in (38, 48) and i + 4 < len(fields) and fields[i + 1] == 2:
                            colour = tuple(fields[i + 2:i + 5])
                            if f0 == 38:
                                fg = colour
                            else:
                                bg = colour
                            i += 4
                        elif f0 in (38, 48) and i + 2 < len(fields) and fields[i + 1] == 5:
                            if f0 == 38:
                                fg = ("256", fields[i + 2])
                            else:
                                bg = ("256", fields[i + 2])
                            i += 2
                        elif 30 <= f0 <= 37 or 90 <= f0 <= 97:
                            fg = ("16", f0 - 30 if f0 < 90 else f0 - 90 + 8)
                        elif 40 <= f0 <= 47 or 100 <= f0 <= 107:
                            bg = ("16", f0 - 40 if f0 < 100 else f0 - 100 + 8)
                        elif f0 == 39:
                            fg = None
                        elif f0 == 49:
                            bg = None
                        i += 1
                    at = m.end()
                    continue
                row.append((line[at], fg, bg))
                at += 1
            rows.append(row)
    return rows


def widen(rgb):
    """0xRRGGBB as the 16-bit frame holds it, widened back to 8 bits a channel."""
    r, g, b = (rgb >> 19) & 0x1F, (rgb >> 10) & 0x3F, (rgb >> 3) & 0x1F
    return ((r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2))


# The console's 16 colours; the 256-colour palette's cube and grey ramp.
STANDARD = [0x000000, 0xAA0000, 0x00AA00, 0xAA5500, 0x0000AA, 0xAA00AA, 0x00AAAA, 0xAAAAAA,
            0x555555, 0xFF5555, 0x55FF55, 0xFFFF55, 0x5555FF, 0xFF55FF, 0x55FFFF, 0xFFFFFF]
LEVELS = [0, 95, 135, 175, 215, 255]


def palette(index):
    if index < 16:
        c = STANDARD[index]
        return ((c >> 16) & 255, (c >> 8) & 255, c & 255)
    if index < 232:
        i = index - 16
        return (LEVELS[i // 36], LEVELS[i // 6 % 6], LEVELS[i % 6])
    g = 8 + 10 * (index - 232)
    return (g, g, g)


def nearest(rgb, indices):
    return min(indices, key=lambda i: (sum((a - b) ** 2 for a, b in zip(rgb, palette(i))), i))


def in_depth(rgb, depth):
    """How a terminal of that depth is told the colour."""
    if depth == "256":
        return ("256", nearest(rgb, range(16, 256)))
    if depth == "16":
        return ("16", nearest(rgb, range(16)))
    return rgb


def in_code_page_437(ch):
    try:
        ch.encode("cp437")
        return True
    except UnicodeEncodeError:
        return False


def bars(capture, depth="direct", console=False):
    rows = cells_with_colours(capture)
    if console:
        for r, row in enumerate(rows):
            for c, (ch, _, _) in enumerate(row):
                if not in_code_page_437(ch):
                    print(f"row {r + 1} column {c + 1}: {ch!r} is not in the console's font")
                    return False
    track = in_depth(widen(0xBB1111), depth)
    colours = [in_depth(widen(c), depth) for c in (0x111199, 0x1144BB, 0x1111FF, 0x8888FF)]
    # No colour of another depth anywhere on the screen.
    for r, row in enumerate(rows):
        for _, fg, bg in row:
            for colour in (fg, bg):
                if colour is None:
                    continue
                kind = colour[0] if isinstance(colour[0], str) else "direct"
                if kind != depth:
                    print(f"row {r + 1}: a colour {colour} in a {depth} terminal")
                    return False
    # The bars hang from y = 50; their ends at y = 108, 137, 166 and 195 (cut of 50 %).
    ends = [108, 137, 166, 195]
    ok = True
    for bar in range(4):
        column = 120 + 2 * bar  # 0-based; the track's cells between the grid lines
        end_row = ends[bar] // 16
        for r in range(4, end_row + 3):
            ch, fg, _ = rows[r][column] if column < len(rows[r]) else (" ", None, None)
            want = colours[bar] if r < end_row else track if r > end_row else None
            if want is None:
                if console:
                    if ch not in "\u2588\u2580\u2584 ":
                        print(f"bar {bar + 1}: its end row {r + 1} is not a block ({ch!r})")
                        ok = False
                elif ch == "\u2588" or ch == " ":
                    print(f"bar {bar + 1}: its end row {r + 1} is not a partial block ({ch!r})")
                    ok = False
                continue
            if ch != "\u2588" or fg != want:
                print(f"bar {bar + 1} row {r + 1}: {ch!r} in {fg}, a full block in {want} expected")
                ok = False
    return ok


def main():
    if sys.argv[1] == "text":
        checks = dict((int(a), int(b)) for a, b in (x.split("=") for x in sys.argv[4:]))
        return 0 if text(sys.argv[2], sys.argv[3], checks) else 1
    if sys.argv[1] == "bars":
        depth = sys.argv[3] if len(sys.argv) > 3 else "direct"
        return 0 if bars(sys.argv[2], depth, "console" in sys.argv[4:]) else 1
    return 2


sys.exit(main())
