#!/usr/bin/python3
"""Draws the eclipse icons of the event and eclipse lists into resources/bitmaps/<id>.png and
keeps their section of resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_eclipse_bitmaps.py

All 16 x 16, key black (so nothing inside is pure black); the id is 4072 + the eclipse type
for the Sun and 4076 + the type for the Moon:
  4074  solar, partial: the Sun with a dark bite out of one side
  4075  solar, annular: a bright ring round the dark Moon
  4076  solar, total: the dark Moon in the corona
  4077  lunar, penumbral: the full Moon dimmed on one side
  4078  lunar, partial: the full Moon with the umbra's dark red bite
  4080  lunar, total: the Moon red in the umbra
and the map button of the eclipse form, 22 x 22, no key:
  2725  the world map with the dark track of a total eclipse across it
"""
import os

from PIL import Image

import make_form_bitmaps
from make_form_bitmaps import Canvas

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
SECTION_BEGIN = "# ---- eclipse icons (tools/make_eclipse_bitmaps.py) ----"
SECTION_END = "# ---- end of the eclipse icons ----"

BLACK = (0, 0, 0)
SUN = (255, 210, 60)
SUN_EDGE = (255, 150, 30)
CORONA = (200, 215, 255)
MOON_DARK = (34, 34, 44)        # the new Moon in front of the Sun
MOON_LIT = (225, 225, 215)
PENUMBRA = (150, 146, 140)
UMBRA = (120, 40, 30)
TOTAL = (170, 60, 40)
OUTLINE = (90, 92, 104)


def solar(kind):
    c = Canvas(16, 16, BLACK)
    if kind == "total":
        for r, col in ((7.8, (90, 100, 140)), (7.0, (140, 155, 200)), (6.2, CORONA)):
            c.disc(8, 8, r, col)
        c.disc(8, 8, 5.2, MOON_DARK)
    elif kind == "annular":
        c.disc(8, 8, 7, SUN, outline=SUN_EDGE, width=0.6)
        c.disc(8, 8, 5.4, MOON_DARK)
    else:
        c.disc(8, 8, 7, SUN, outline=SUN_EDGE, width=0.6)
        c.disc(11.5, 5.0, 6.2, MOON_DARK)
    return c.done()


def lunar(kind):
    c = Canvas(16, 16, BLACK)
    if kind == "total":
        c.disc(8, 8, 7, TOTAL, outline=(110, 40, 30), width=0.6)
        c.disc(6.5, 6.5, 3.0, (195, 85, 55))
    else:
        c.disc(8, 8, 7, MOON_LIT, outline=OUTLINE, width=0.6)
        # The penumbra dims the side toward the shadow's centre.
        c.disc(13.0, 11.0, 8.5, PENUMBRA)
        if kind == "partial":
            c.disc(14.0, 12.0, 6.5, UMBRA)
        # Only the Moon is drawn: cut what lies outside its disc back to the key.
        mask = Canvas(16, 16, BLACK)
        mask.disc(8, 8, 7, (255, 255, 255))
        c.img = Image.composite(c.img, Image.new("RGB", c.img.size, BLACK), mask.img.convert("L"))
    return c.done()


def map_button():
    tile = make_form_bitmaps.tile(make_form_bitmaps.TEAL, 22)
    sea, land, track = (70, 120, 190), (90, 160, 80), (30, 20, 30)
    tile.rect(3, 5, 19, 17, fill=sea)
    tile.poly([(4, 7), (9, 6), (10, 10), (7, 14), (5, 11)], land)
    tile.poly([(12, 6), (18, 7), (17, 12), (14, 16), (12, 11)], land)
    tile.line([(3, 15), (8, 12), (13, 10), (19, 6)], fill=track, width=1.6)
    return tile.done()


def pictures():
    return [
        (4074, solar("partial")),
        (4075, solar("annular")),
        (4076, solar("total")),
        (4077, lunar("penumbral")),
        (4078, lunar("partial")),
        (4080, lunar("total")),
    ]


def main():
    entries = pictures()
    for pid, img in entries:
        img.save(os.path.join(OUT, "%d.png" % pid), optimize=True)
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    rows = [(pid, img, BLACK, "eclipses,planets") for pid, img in entries]
    button = map_button()
    button.save(os.path.join(OUT, "2725.png"), optimize=True)
    rows.append((2725, button, None, "eclipses"))
    make_form_bitmaps.update_manifest(rows)


if __name__ == "__main__":
    main()
