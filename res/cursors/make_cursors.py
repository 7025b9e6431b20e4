#!/usr/bin/env python3
"""Draws the editor's nine canvas cursors (resource numbers 101 to 109) as XPM images.

Run from this folder; the .xpm files it writes are committed and compiled into the editor.
Each cursor is 32 x 32 pixels: '#' black, '.' white, ' ' transparent.
"""

N = 32


def blank():
    return [[' '] * N for _ in range(N)]


def put(g, x, y, c):
    if 0 <= x < N and 0 <= y < N:
        g[y][x] = c


def outline_shape(g, cells):
    """Fills cells white and rings them black."""
    for (x, y) in cells:
        put(g, x, y, '.')
    for (x, y) in cells:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in cells:
                    put(g, x + dx, y + dy, '#')


def arrow_cells():
    cells = set()
    for y in range(16):
        for x in range(0, y // 2 + 1 + (y // 3)):
            if x <= y * 0.6:
                cells.add((x + 1, y + 1))
    for y in range(12, 20):
        for x in range(4, 7):
            cells.add((x + (y - 12) // 3, y + 1))
    return cells


def arrow(g):
    outline_shape(g, arrow_cells())


def line(g, x0, y0, x1, y1, c='#'):
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        put(g, round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), c)


def rect(g, x0, y0, x1, y1, fill='.'):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            put(g, x, y, '#' if edge else fill)


def circle(g, cx, cy, r, c='#', thick=1.0):
    for y in range(N):
        for x in range(N):
            d = ((x - cx) ** 2 + (y - cy) ** 2) ** 0.5
            if abs(d - r) <= thick / 2 + 0.3:
                put(g, x, y, c)


def hand(g, closed):
    cells = set()
    top = 12 if closed else 6
    for i, fx in enumerate((8, 12, 16, 20)):
        h = top + (2 if i in (0, 3) else 0)
        for y in range(h, 20):
            for x in range(fx, fx + 3):
                cells.add((x, y))
    for y in range(16, 28):
        for x in range(8, 23):
            cells.add((x, y))
    for y in range(14, 22):  # thumb
        for x in range(4, 8):
            if y - 14 >= (7 - x) * 1:
                cells.add((x, y))
    outline_shape(g, cells)


def up_down(g):
    cells = set()
    for y in range(4, 28):
        for x in range(14, 18):
            cells.add((x, y))
    for k in range(6):
        for x in range(16 - 1 - k, 16 + 1 + k):
            cells.add((x, 4 + k))
            cells.add((x, 27 - k))
    outline_shape(g, cells)


def cross_mark(g, cx, cy, r):
    line(g, cx - r, cy - r, cx + r, cy + r)
    line(g, cx - r + 1, cy - r, cx + r + 1, cy + r)
    line(g, cx + r, cy - r, cx - r, cy + r)
    line(g, cx + r + 1, cy - r, cx - r + 1, cy + r)


def letter_t(g, x, y):
    rect(g, x, y, x + 10, y + 2, '#')
    rect(g, x + 4, y, x + 6, y + 11, '#')


def cursors():
    out = {}
    # 101 wire drag: cross hair with a dot
    g = blank()
    for i in range(3, 29):
        if abs(i - 16) > 2:
            put(g, 16, i, '#'); put(g, i, 16, '#')
            put(g, 17, i, '.'); put(g, i, 17, '.')
    circle(g, 16, 16, 2, '#', 1.5)
    out[101] = (g, 16, 16)
    # 102 instance drag allowed: arrow with a box
    g = blank(); arrow(g); rect(g, 16, 18, 29, 28)
    line(g, 16, 21, 29, 21)
    out[102] = (g, 1, 1)
    # 103 View Mode: open hand
    g = blank(); hand(g, False)
    out[103] = (g, 16, 16)
    # 104 TopMap Mode: arrow with a T
    g = blank(); arrow(g); rect(g, 15, 15, 29, 29); letter_t(g, 17, 17)
    out[104] = (g, 1, 1)
    # 105 panning: closed hand
    g = blank(); hand(g, True)
    out[105] = (g, 16, 16)
    # 106 instance drag refused: arrow with a barred circle
    g = blank(); arrow(g)
    circle(g, 22, 22, 7, '#', 2.0); line(g, 17, 17, 27, 27); line(g, 18, 17, 28, 27)
    out[106] = (g, 1, 1)
    # 107 port move refused: up and down arrow, crossed out
    g = blank(); up_down(g); cross_mark(g, 16, 16, 9)
    out[107] = (g, 16, 16)
    # 108 port move allowed: up and down arrow
    g = blank(); up_down(g)
    out[108] = (g, 16, 16)
    # 109 busy: hourglass
    g = blank()
    cells = set()
    for y in range(4, 28):
        half = abs(y - 16)
        w = max(1, half * 9 // 12)
        for x in range(16 - w, 16 + w + 1):
            cells.add((x, y))
    outline_shape(g, cells)
    rect(g, 6, 2, 26, 4, '#'); rect(g, 6, 27, 26, 29, '#')
    out[109] = (g, 16, 16)
    return out


def write(number, grid, hx, hy):
    name = f"cursor{number}"
    rows = ["".join(r) for r in grid]
    with open(f"{number}.xpm", "w") as f:
        f.write("/* XPM */\n")
        f.write(f"static const char* {name}[] = {{\n")
        f.write(f'"{N} {N} 3 1 {hx} {hy}",\n')
        f.write('"  c None",\n"# c #000000",\n". c #FFFFFF",\n')
        f.write(",\n".join(f'"{r}"' for r in rows))
        f.write("};\n")


if __name__ == "__main__":
    for number, (grid, hx, hy) in cursors().items():
        write(number, grid, hx, hy)
