#!/usr/bin/python3
"""Draws the sky chart's pictures into resources/bitmaps/<id>.png and keeps their section of
resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_chart_bitmaps.py
Every picture is drawn from shapes without smoothing, so the output is the same on every
run and a key colour never appears inside a picture.

  4103, 4106  star strips for a white chart: colour, black and white; key white
  4104, 4105  star strips for a dark chart: colour, black and white (and night); key black
              Each strip is 13 size columns by 7 colour rows of 13 x 13 cells (169 x 91):
              column 0 holds the largest dot, column 12 a single pixel; rows run from
              blue-white (row 0) to red (row 6).
  4054 4088 4056 4055 4063 4107   the chart's symbol set by day (key black), 11 x 11;
  4081 4089 4083 4082 4084 4108   the same set on a white chart (key white). The sixth
              of each set marks a meteor shower's radiant.
  1686, 1687  the target cursor for a dark chart (key black) and a white one (key white)
  1688, 1689  the scope marker, the same two ways; the cursors are 32 x 32
  3993, 3994  the Moon, dark and lit, 64 x 64 on its key black, with darker maria
  3995        a satellite, 15 x 15, key black
  1941        the marker of an object with a picture, 8 x 8, key black
"""
import os
import sys

from PIL import Image, ImageDraw

import make_form_bitmaps

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
SECTION_BEGIN = "# ---- sky chart layers and overlays (tools/make_chart_bitmaps.py) ----"
SECTION_END = "# ---- end of the sky chart layers and overlays ----"

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
CELL = 13

# Star colours from blue-white to red: on a dark chart, and deeper ones for a white chart.
DARK_ROWS = [(150, 180, 255), (180, 205, 255), (215, 228, 255), (250, 250, 245),
             (255, 236, 190), (255, 200, 140), (255, 150, 110)]
WHITE_ROWS = [(0, 50, 190), (30, 80, 200), (40, 40, 120), (20, 20, 20),
              (140, 100, 0), (170, 70, 0), (180, 20, 0)]
MONO_DARK = (235, 235, 235)
MONO_WHITE = (0, 0, 0)


def dot(d, cx, cy, radius, colour):
    """A filled disc of whole pixels: every pixel whose centre lies within the radius."""
    r = int(radius) + 1
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + 0.25:
                d.point((x, y), fill=colour)


def star_strip(background, colours):
    img = Image.new("RGB", (13 * CELL, 7 * CELL), background)
    d = ImageDraw.Draw(img)
    for row in range(7):
        for col in range(13):
            radius = (12 - col) * 0.5
            dot(d, col * CELL + 6, row * CELL + 6, radius, colours[row])
    return img


def symbol(shape, background, ink):
    img = Image.new("RGB", (11, 11), background)
    d = ImageDraw.Draw(img)
    if shape == "cross":
        d.line([(5, 1), (5, 9)], fill=ink)
        d.line([(1, 5), (9, 5)], fill=ink)
    elif shape == "circle":
        d.ellipse([1, 1, 9, 9], outline=ink)
    elif shape == "square":
        d.rectangle([2, 2, 8, 8], outline=ink)
    elif shape == "diamond":
        d.polygon([(5, 1), (9, 5), (5, 9), (1, 5)], outline=ink)
    elif shape == "triangle":
        d.polygon([(5, 1), (9, 9), (1, 9)], outline=ink)
    else:  # radiant: short rays from the centre
        for a, b in [((5, 0), (5, 3)), ((5, 7), (5, 10)), ((0, 5), (3, 5)), ((7, 5), (10, 5)),
                     ((1, 1), (3, 3)), ((9, 1), (7, 3)), ((1, 9), (3, 7)), ((9, 9), (7, 7))]:
            d.line([a, b], fill=ink)
        d.point((5, 5), fill=ink)
    return img


def target_cursor(background, ink):
    img = Image.new("RGB", (32, 32), background)
    d = ImageDraw.Draw(img)
    d.ellipse([8, 8, 24, 24], outline=ink)
    for a, b in [((16, 2), (16, 10)), ((16, 22), (16, 30)), ((2, 16), (10, 16)), ((22, 16), (30, 16))]:
        d.line([a, b], fill=ink)
    return img


def scope_marker(background, ink):
    img = Image.new("RGB", (32, 32), background)
    d = ImageDraw.Draw(img)
    d.rectangle([9, 9, 23, 23], outline=ink)
    for a, b in [((16, 4), (16, 12)), ((16, 20), (16, 28)), ((4, 16), (12, 16)), ((20, 16), (28, 16))]:
        d.line([a, b], fill=ink)
    return img


def moon(lit):
    img = Image.new("RGB", (64, 64), BLACK)
    d = ImageDraw.Draw(img)
    face = (230, 228, 215) if lit else (70, 70, 68)
    maria = (165, 162, 150) if lit else (45, 45, 44)
    dot(d, 32, 32, 30.5, face)
    for cx, cy, r in [(24, 22, 8), (36, 18, 6), (40, 30, 7), (22, 36, 5), (30, 44, 4)]:
        dot(d, cx, cy, r, maria)
    return img


def satellite():
    img = Image.new("RGB", (15, 15), BLACK)
    d = ImageDraw.Draw(img)
    d.rectangle([5, 5, 9, 9], fill=(220, 220, 220))
    d.rectangle([0, 6, 3, 8], fill=(80, 120, 230))
    d.rectangle([11, 6, 14, 8], fill=(80, 120, 230))
    d.line([(4, 7), (10, 7)], fill=(200, 200, 200))
    return img


def picture_marker():
    img = Image.new("RGB", (8, 8), BLACK)
    d = ImageDraw.Draw(img)
    d.rectangle([0, 2, 7, 7], fill=(240, 200, 60))
    d.rectangle([2, 1, 4, 2], fill=(240, 200, 60))
    d.rectangle([3, 4, 4, 5], fill=(60, 60, 60))
    return img


def pictures():
    """(id, image, key, users) in manifest order."""
    out = [
        (4103, star_strip(WHITE, WHITE_ROWS), WHITE, "chart"),
        (4104, star_strip(BLACK, DARK_ROWS), BLACK, "chart"),
        (4105, star_strip(BLACK, [MONO_DARK] * 7), BLACK, "chart"),
        (4106, star_strip(WHITE, [MONO_WHITE] * 7), WHITE, "chart"),
    ]
    shapes = ["cross", "circle", "square", "diamond", "triangle", "radiant"]
    for pid, shape in zip([4054, 4088, 4056, 4055, 4063, 4107], shapes):
        out.append((pid, symbol(shape, BLACK, (230, 200, 80)), BLACK, "chart"))
    for pid, shape in zip([4081, 4089, 4083, 4082, 4084, 4108], shapes):
        out.append((pid, symbol(shape, WHITE, (120, 60, 0)), WHITE, "chart"))
    out += [
        (1686, target_cursor(BLACK, (255, 80, 80)), BLACK, "chart,planets,satellites,settings"),
        (1687, target_cursor(WHITE, (200, 0, 0)), WHITE, "chart,planets,satellites,settings"),
        (1688, scope_marker(BLACK, (80, 255, 80)), BLACK, "chart"),
        (1689, scope_marker(WHITE, (0, 130, 0)), WHITE, "chart"),
        (3993, moon(False), BLACK, "chart"),
        (3994, moon(True), BLACK, "chart"),
        (3995, satellite(), BLACK, "chart,satellites"),
        (1941, picture_marker(), BLACK, "chart"),
    ]
    return out


def main():
    entries = pictures()
    ids = [e[0] for e in entries]
    if len(ids) != len(set(ids)):
        sys.exit("a picture id is drawn twice")
    for pid, img, key, users in entries:
        if img.getpixel((0, 0)) != key:
            sys.exit("bitmap %d lost its key colour in the corner" % pid)
        img.save(os.path.join(OUT, "%d.png" % pid), optimize=True)
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    make_form_bitmaps.update_manifest(entries)


if __name__ == "__main__":
    main()
