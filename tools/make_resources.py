#!/usr/bin/env python3
"""Draws GRIV's icons, hand cursor and preview glyph as Windows ICO/CUR/BMP
files into the folder given on the command line.
With --cursors FOLDER it draws the program's own pointer shapes instead
(stamping shapes and the print preview's magnifier), with --splash FILE the
About box's picture as a BMP."""
import math
import struct
import sys
from pathlib import Path


def canvas(w, h, fill=(0, 0, 0, 0)):
    return [[fill for _ in range(w)] for _ in range(h)]


def blend(dst, src):
    a = src[3] / 255.0
    return tuple(int(round(src[i] * a + dst[i] * (1 - a))) for i in range(3)) + (max(dst[3], src[3]),)


def fill_round_rect(px, x0, y0, x1, y1, r, col):
    for y in range(y0, y1):
        for x in range(x0, x1):
            dx = max(x0 + r - x - 0.5, 0, x - (x1 - r) + 0.5)
            dy = max(y0 + r - y - 0.5, 0, y - (y1 - r) + 0.5)
            d = math.hypot(dx, dy)
            if d <= r:
                cov = min(1.0, r - d + 0.5)
                px[y][x] = blend(px[y][x], col[:3] + (int(col[3] * cov),))


def fill_circle(px, cx, cy, r, col):
    for y in range(len(px)):
        for x in range(len(px[0])):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            if d <= r + 0.5:
                cov = min(1.0, r + 0.5 - d)
                px[y][x] = blend(px[y][x], col[:3] + (int(col[3] * cov),))


def rect(px, x0, y0, x1, y1, col):
    for y in range(max(0, y0), min(len(px), y1)):
        for x in range(max(0, x0), min(len(px[0]), x1)):
            px[y][x] = blend(px[y][x], col)


def icon_image(s):
    px = canvas(s, s)
    k = s / 32.0
    fill_round_rect(px, 0, 0, s, s, int(6 * k), (0x1E, 0x5A, 0xB4, 255))
    fill_round_rect(px, int(2 * k), int(2 * k), s - int(2 * k), s // 2, int(5 * k), (0x3C, 0x82, 0xDC, 255))
    # viewfinder corners
    t = max(1, int(2.5 * k))
    L = int(9 * k)
    a, b = int(5 * k), s - int(5 * k)
    white = (255, 255, 255, 255)
    for (x, y, dx, dy) in ((a, a, 1, 1), (b, a, -1, 1), (a, b, 1, -1), (b, b, -1, -1)):
        xs = sorted((x, x + dx * L))
        ys = sorted((y, y + dy * t))
        rect(px, xs[0], ys[0], xs[1], ys[1], white)
        xs = sorted((x, x + dx * t))
        ys = sorted((y, y + dy * L))
        rect(px, xs[0], ys[0], xs[1], ys[1], white)
    fill_circle(px, s / 2, s / 2, 4.2 * k, (0xE8, 0x3C, 0x30, 255))
    return px


def dib(px, with_mask=True):
    h = len(px)
    w = len(px[0])
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[y][x]
            xor += bytes((b, g, r, a))
    mask = bytearray()
    stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[y][x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    hdr = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return hdr + xor + mask


def png(px):
    """A 32-bit RGBA PNG of the picture: large icons are stored this way."""
    import zlib
    h = len(px)
    w = len(px[0])
    raw = bytearray()
    for row in px:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


def ico(images, kind=1, hotspots=None):
    out = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for i, px in enumerate(images):
        # Large images as PNG (every Windows since Vista reads them), small ones as bitmaps.
        data = png(px) if len(px) >= 40 and kind == 1 else dib(px)
        w = len(px[0])
        h = len(px)
        if kind == 1:
            p1, p2 = 1, 32
        else:
            p1, p2 = hotspots[i]
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, p1, p2, len(data), offset)
        offset += len(data)
        blobs.append(data)
    return out + b''.join(blobs)


def hand_cursor():
    s = 32
    px = canvas(s, s)
    art = [
        "      ##  ##            ",
        "     #..##..##          ",
        "     #..#..#..#         ",
        "  ## #..#..#..# ##      ",
        " #..##..#..#..##..#     ",
        " #..##..#..#..#...#     ",
        "  #...........#...#     ",
        "  #...............#     ",
        "   #..............#     ",
        "   #..............#     ",
        "    #............#      ",
        "    #............#      ",
        "     #..........#       ",
        "     #..........#       ",
        "      ##########        ",
    ]
    for y, line in enumerate(art):
        for x, c in enumerate(line):
            if c == '#':
                px[y + 8][x + 4] = (0, 0, 0, 255)
            elif c == '.':
                px[y + 8][x + 4] = (255, 255, 255, 255)
    return px


ARROW = [
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.....#####",
    "#..#..#",
    "#.# #..#",
    "##  #..#",
    "#    #..#",
    "     #..#",
    "      ##",
]


def paint(px, art, ox, oy, colours=None):
    colours = colours or {'#': (0, 0, 0, 255), '.': (255, 255, 255, 255)}
    for y, line in enumerate(art):
        for x, c in enumerate(line):
            if c in colours and 0 <= y + oy < len(px) and 0 <= x + ox < len(px[0]):
                px[y + oy][x + ox] = colours[c]


def frame(px, x0, y0, x1, y1, dotted=False):
    """A one-pixel black frame with white inside, optionally dotted."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge and (not dotted or (x + y) % 2 == 0):
                px[y][x] = (0, 0, 0, 255)
            elif not edge:
                px[y][x] = (255, 255, 255, 255)


def drag_cursor():
    px = canvas(32, 32)
    paint(px, ARROW, 0, 0)
    frame(px, 6, 18, 17, 27, dotted=True)
    return px


def multidrag_cursor():
    px = canvas(32, 32)
    frame(px, 10, 20, 21, 29)
    frame(px, 7, 17, 18, 26)
    frame(px, 4, 14, 15, 23)
    paint(px, ARROW, 0, 0)
    return px


def no_drop_cursor():
    px = canvas(32, 32)
    cx, cy, r = 10.5, 10.5, 9.5
    for y in range(32):
        for x in range(32):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            on_ring = r - 2.5 <= d <= r
            on_bar = d <= r and abs((x + 0.5 - cx) - (y + 0.5 - cy)) <= 1.6
            if on_ring or on_bar:
                px[y][x] = (0, 0, 0, 255)
            elif d <= r + 1 and (d > r or abs((x + 0.5 - cx) - (y + 0.5 - cy)) <= 2.6 or d >= r - 3.5):
                px[y][x] = (255, 255, 255, 255)
    return px


def split_cursor(vertical_bars):
    art = [
        "        .##.##.        ",
        "        .#.#.#.        ",
        "    .#  .#.#.#.  #.    ",
        "   .##  .#.#.#.  ##.   ",
        "  .#.####.#.#.####.#.  ",
        " .#....................#. ",
        "  .#.####.#.#.####.#.  ",
        "   .##  .#.#.#.  ##.   ",
        "    .#  .#.#.#.  #.    ",
        "        .#.#.#.        ",
        "        .##.##.        ",
    ]
    art[5] = " .#..................#. "
    px = canvas(32, 32)
    if vertical_bars:
        paint(px, art, 4, 10)
    else:
        rows = ["".join(line[i] if i < len(line) else ' ' for line in art) for i in range(max(map(len, art)))]
        paint(px, rows, 10, 4)
    return px


def sql_wait_cursor():
    px = canvas(32, 32)
    paint(px, ARROW, 0, 0)
    glass = [
        "#########",
        "#.......#",
        " #.###.# ",
        "  #.#.#  ",
        "   #.#   ",
        "  #...#  ",
        " #..#..# ",
        "#..###..#",
        "#########",
    ]
    paint(px, glass, 14, 16)
    return px


def hand_point_cursor():
    art = [
        "     ##",
        "    #..#",
        "    #..#",
        "    #..#",
        "    #..#",
        "    #..###",
        "    #..#..###",
        "    #..#..#..##",
        " ## #..#..#..#.#",
        "#..##........#.#",
        "#...#..........#",
        " #.............#",
        "  #............#",
        "  #...........#",
        "   #..........#",
        "   #.........#",
        "    #........#",
        "    #........#",
        "    ##########",
    ]
    px = canvas(32, 32)
    paint(px, art, 0, 0)
    return px


def preview_cursor():
    """A magnifying glass: white lens in a black ring, the handle running to the lower right."""
    px = canvas(32, 32)
    cx, cy, r = 11.5, 11.5, 9.5
    black, white = (0, 0, 0, 255), (255, 255, 255, 255)
    for y in range(32):
        for x in range(32):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            # Along the handle: distance from the diagonal and how far down it.
            u = ((x + 0.5 - cx) + (y + 0.5 - cy)) / math.sqrt(2)
            v = abs((x + 0.5 - cx) - (y + 0.5 - cy)) / math.sqrt(2)
            if r - 2.2 <= d <= r:
                px[y][x] = black
            elif d < r - 2.2:
                px[y][x] = white
            elif r - 1 <= u <= 24 and v <= 2.0:
                px[y][x] = black
            elif d <= r + 1.2 or (r - 1 <= u <= 25.2 and v <= 3.2):
                px[y][x] = white  # an outline, so the glass shows on dark pictures too
    return px


# The pointer shapes the program draws itself (the others come from the system),
# with their hot spots: (file name, picture, hot spot).
OWN_CURSORS = [
    ('drag.cur', drag_cursor, (0, 0)),
    ('nodrop.cur', no_drop_cursor, (10, 10)),
    ('hsplit.cur', lambda: split_cursor(True), (15, 15)),
    ('vsplit.cur', lambda: split_cursor(False), (15, 15)),
    ('multidrag.cur', multidrag_cursor, (0, 0)),
    ('sqlwait.cur', sql_wait_cursor, (0, 0)),
    ('handpoint.cur', hand_point_cursor, (5, 0)),
    ('preview.cur', preview_cursor, (0, 0)),
]


def bmp24(px):
    h = len(px)
    w = len(px[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[y][x][:3]
            row += bytes((b, g, r))
        row += b'\0' * (stride - len(row))
        data += row
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    return head + info + data


def splash():
    w, h = 420, 230
    px = canvas(w, h, (255, 255, 255, 255))
    for y in range(h):
        t = y / (h - 1)
        col = (int(0x1E + (0x6E - 0x1E) * t), int(0x5A + (0xA8 - 0x5A) * t), int(0xB4 + (0xF0 - 0xB4) * t), 255)
        for x in range(w):
            px[y][x] = col
    # a soft light band and the icon as a logo
    for y in range(h):
        for x in range(w):
            d = abs((x - w * 0.65) * 0.35 + (y - h * 0.5))
            if d < 40:
                px[y][x] = blend(px[y][x], (255, 255, 255, int(40 * (1 - d / 40))))
    logo = icon_image(96)
    for y in range(96):
        for x in range(96):
            px[y + 30][x + 28] = blend(px[y + 30][x + 28], logo[y][x])
    return px


def preview_glyph():
    px = canvas(16, 16, (192, 192, 192, 255))
    fill_circle(px, 6.5, 6.5, 4.5, (0, 0, 0, 255))
    fill_circle(px, 6.5, 6.5, 3.2, (230, 240, 255, 255))
    for i in range(5):
        rect(px, 10 + i, 10 + i, 12 + i, 12 + i, (0, 0, 0, 255))
    return px


def main():
    if len(sys.argv) == 3 and sys.argv[1] == '--cursors':
        # The program's own pointer shapes, kept in the repository.
        out = Path(sys.argv[2])
        out.mkdir(parents=True, exist_ok=True)
        for name, draw, hot in OWN_CURSORS:
            (out / name).write_bytes(ico([draw()], kind=2, hotspots=[hot]))
        return
    if len(sys.argv) == 3 and sys.argv[1] == '--splash':
        # The About box's picture, kept in the repository as resources/splash.jpg:
        #   convert splash.bmp -quality 95 -sampling-factor 1x1 -strip resources/splash.jpg
        Path(sys.argv[2]).write_bytes(bmp24(splash()))
        return
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    # Every size Windows asks for at some DPI or Explorer view.
    (out / 'griv.ico').write_bytes(ico([icon_image(s) for s in (16, 20, 24, 32, 40, 48, 64, 256)]))
    # The notification area shows 16 pixels at 96 DPI up to 32 at 192.
    (out / 'tray.ico').write_bytes(ico([icon_image(s) for s in (16, 20, 24, 32)]))
    (out / 'handdrag.cur').write_bytes(ico([hand_cursor()], kind=2, hotspots=[(14, 16)]))
    (out / 'previewglyph.bmp').write_bytes(bmp24(preview_glyph()))


if __name__ == '__main__':
    main()
