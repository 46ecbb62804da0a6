#!/usr/bin/env python3
"""Writes the PNG samples of the unit tests with ImageMagick (which writes
through libpng): every colour type and bit depth, palettes with and without
transparency, colour keys and interlaced files. (Each row filter at each pixel
size is covered by files the tests make themselves: ImageMagick only offers
its adaptive choice.)

Run from anywhere: python3 tests/data/png/make_samples.py
Each picture follows the formulas below, which png_codec_test.cpp repeats to
know every expected pixel. The script checks the header ImageMagick chose, so
a different ImageMagick cannot silently change what the tests cover.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 13, 11  # odd sides: partial bytes at row ends, every interlace pass partly filled


def colour(i):
    return ((i * 53 + 17) % 256, (i * 97 + 5) % 256, (i * 151 + 100) % 256)


def index(x, y, n):
    return (x + 3 * y) % n


def grey8(x, y):
    return (x * 19 + y * 23) % 256


def alpha(x, y):
    return (255, 0, 128, 64, 200)[(x + y) % 5]


def level_grey(x, y, depth):
    top = (1 << depth) - 1
    return index(x, y, top + 1) * 255 // top


def pam(path, w, h, tuple_type, pixel):
    depth = {"GRAYSCALE": 1, "GRAYSCALE_ALPHA": 2, "RGB": 3, "RGB_ALPHA": 4}[tuple_type]
    with open(path, "wb") as f:
        f.write(b"P7\nWIDTH %d\nHEIGHT %d\nDEPTH %d\nMAXVAL 255\nTUPLTYPE %s\nENDHDR\n" % (w, h, depth, tuple_type.encode()))
        for y in range(h):
            for x in range(w):
                f.write(bytes(pixel(x, y)))


def chunks(data):
    i = 8
    while i < len(data):
        n = struct.unpack(">I", data[i:i + 4])[0]
        yield data[i + 4:i + 8], data[i + 8:i + 8 + n]
        i += 12 + n


def filters_used(data):
    """Filter type of every row of every pass."""
    ihdr = next(body for kind, body in chunks(data) if kind == b"IHDR")
    w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", ihdr)
    bits = depth * {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[ctype]
    raw = zlib.decompress(b"".join(body for kind, body in chunks(data) if kind == b"IDAT"))
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    used, at = set(), 0
    for x0, y0, dx, dy in (passes if interlace else [(0, 0, 1, 1)]):
        pw = (w - x0 + dx - 1) // dx if w > x0 else 0
        ph = (h - y0 + dy - 1) // dy if h > y0 else 0
        if pw and ph:
            for _ in range(ph):
                used.add(raw[at])
                at += 1 + (pw * bits + 7) // 8
    assert at == len(raw)
    return used


def main():
    with tempfile.TemporaryDirectory() as tmp:
        return write_samples(tmp)


def write_samples(tmp):
    for old in os.listdir(HERE):
        if old.endswith(".png"):
            os.remove(os.path.join(HERE, old))
    src = lambda name: os.path.join(tmp, name)
    pam(src("grey1.pam"), W, H, "GRAYSCALE", lambda x, y: [level_grey(x, y, 1)])
    pam(src("grey2.pam"), W, H, "GRAYSCALE", lambda x, y: [level_grey(x, y, 2)])
    pam(src("grey4.pam"), W, H, "GRAYSCALE", lambda x, y: [level_grey(x, y, 4)])
    pam(src("grey8.pam"), W, H, "GRAYSCALE", lambda x, y: [grey8(x, y)])
    # Grey levels 0, 85, 170, 255 with 85 fully transparent: a colour key.
    pam(src("grey-key.pam"), W, H, "GRAYSCALE_ALPHA",
        lambda x, y: [level_grey(x, y, 2), 0 if index(x, y, 4) == 1 else 255])
    pam(src("grey-alpha.pam"), W, H, "GRAYSCALE_ALPHA", lambda x, y: [grey8(x, y), alpha(x, y)])
    for n in (2, 4, 16, 20):
        pam(src("rgb%d.pam" % n), W, H, "RGB", lambda x, y, n=n: colour(index(x, y, n)))
    pam(src("rgb-many.pam"), W, H, "RGB", lambda x, y: [grey8(x, y), (x * 40) % 256, (y * 60 + x) % 256])
    # Colour 1 fully transparent: a colour key or a palette with one transparent entry.
    pam(src("rgb-key.pam"), W, H, "RGB_ALPHA",
        lambda x, y: list(colour(index(x, y, 20))) + [0 if index(x, y, 20) == 1 else 255])
    pam(src("rgba.pam"), W, H, "RGB_ALPHA", lambda x, y: list(colour(index(x, y, 20))) + [alpha(x, y)])
    pam(src("rgb-1x1.pam"), 1, 1, "RGB", lambda x, y: colour(7))
    pam(src("rgb-3x2.pam"), 3, 2, "RGB", lambda x, y: colour(index(x, y, 20)))

    grey = lambda d: ["-define", "png:color-type=0", "-define", "png:bit-depth=%d" % d]
    grey_alpha16 = ["-depth", "16", "-define", "png:bit-depth=16", "-define", "png:color-type=4"]
    adam7 = ["-interlace", "PNG"]
    # name: (source, ImageMagick arguments, (bit depth, colour type, interlace))
    samples = {
        "grey1.png": ("grey1.pam", grey(1), (1, 0, 0)),
        "grey2.png": ("grey2.pam", grey(2), (2, 0, 0)),
        "grey4.png": ("grey4.pam", grey(4), (4, 0, 0)),
        "grey8.png": ("grey8.pam", grey(8), (8, 0, 0)),
        "grey16.png": ("grey8.pam", ["-depth", "16"] + grey(16), (16, 0, 0)),
        "grey8-key.png": ("grey-key.pam", grey(8), (8, 0, 0)),
        "grey-alpha8.png": ("grey-alpha.pam", ["-type", "GrayscaleAlpha"], (8, 4, 0)),
        "grey-alpha16.png": ("grey-alpha.pam", grey_alpha16, (16, 4, 0)),
        "palette1.png": ("rgb2.pam", ["-type", "Palette"], (1, 3, 0)),
        "palette2.png": ("rgb4.pam", ["-type", "Palette"], (2, 3, 0)),
        "palette4.png": ("rgb16.pam", ["-type", "Palette"], (4, 3, 0)),
        "palette8.png": ("rgb20.pam", ["-type", "Palette"], (8, 3, 0)),
        "palette8-key.png": ("rgb-key.pam", ["PNG8:"], (8, 3, 0)),
        "palette8-alpha.png": ("rgba.pam", ["-type", "PaletteAlpha", "-define", "png:bit-depth=8"], (8, 3, 0)),
        "rgb8.png": ("rgb-many.pam", ["PNG24:"], (8, 2, 0)),
        "rgb8-key.png": ("rgb-key.pam", ["PNG24:"], (8, 2, 0)),
        "rgb16.png": ("rgb-many.pam", ["PNG48:"], (16, 2, 0)),
        "rgba8.png": ("rgba.pam", ["PNG32:"], (8, 6, 0)),
        "rgba16.png": ("rgba.pam", ["PNG64:"], (16, 6, 0)),
        "grey2-adam7.png": ("grey2.pam", grey(2) + adam7, (2, 0, 1)),
        "palette4-adam7.png": ("rgb16.pam", ["-type", "Palette"] + adam7, (4, 3, 1)),
        "grey-alpha16-adam7.png": ("grey-alpha.pam", grey_alpha16 + adam7, (16, 4, 1)),
        "rgb8-adam7.png": ("rgb-many.pam", ["PNG24:"] + adam7, (8, 2, 1)),
        "rgb16-adam7.png": ("rgb-many.pam", ["PNG48:"] + adam7, (16, 2, 1)),
        "rgba8-adam7.png": ("rgba.pam", ["PNG32:"] + adam7, (8, 6, 1)),
        "palette8-alpha-adam7.png": ("rgba.pam", ["-type", "PaletteAlpha", "-define", "png:bit-depth=8"] + adam7, (8, 3, 1)),
        "rgb8-1x1-adam7.png": ("rgb-1x1.pam", ["PNG24:"] + adam7, (8, 2, 1)),
        "rgb8-3x2-adam7.png": ("rgb-3x2.pam", ["PNG24:"] + adam7, (8, 2, 1)),
    }
    ok = True
    for name, (source, args, header) in samples.items():
        out = os.path.join(HERE, name)
        target = args[0] + out if args and args[0].endswith(":") else out
        extra = args[1:] if args and args[0].endswith(":") else args
        subprocess.run(["convert", src(source), "-strip"] + extra + [target], check=True)
        data = open(out, "rb").read()
        ihdr = next(body for kind, body in chunks(data) if kind == b"IHDR")
        got = (ihdr[8], ihdr[9], ihdr[12])
        used = filters_used(data)
        kinds = [kind.decode() for kind, _ in chunks(data)]
        print("%-26s depth %2d type %d interlace %d filters %-12s %s" % ((name,) + got + (sorted(used), " ".join(kinds))))
        if got != header:
            print("  ** expected depth %d type %d interlace %d" % header, file=sys.stderr)
            ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
