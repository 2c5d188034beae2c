#!/usr/bin/python3
"""Draws the reticles of the polar alignment assistant's drift methods into
resources/bitmaps/<id>.png and keeps their section of resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_reticle_bitmaps.py

  5090  the grid reticle: 59 x 59, a square grid every 8 pixels about the centre (29, 29),
        the centre lines doubled, a circle of radius 28
  5091  the cross reticle: 59 x 59, the two centre lines with ticks every 4 pixels and
        longer ticks every 8, a circle of radius 28
Both are red lines on black, the field of an illuminated eyepiece; no key colour.
"""
import os

from PIL import Image, ImageDraw

import make_form_bitmaps

SECTION_BEGIN = "# ---- polar alignment reticles (tools/make_reticle_bitmaps.py) ----"
SECTION_END = "# ---- end of the polar alignment reticles ----"

SIZE, CENTRE = 59, 29
BLACK = (0, 0, 0)
RED = (220, 0, 0)
DIM = (120, 0, 0)


def circle(d):
    d.ellipse([CENTRE - 28, CENTRE - 28, CENTRE + 28, CENTRE + 28], outline=DIM)


def grid():
    img = Image.new("RGB", (SIZE, SIZE), BLACK)
    d = ImageDraw.Draw(img)
    circle(d)
    for offset in range(-24, 25, 8):
        d.line([CENTRE + offset, 1, CENTRE + offset, SIZE - 2], fill=DIM)
        d.line([1, CENTRE + offset, SIZE - 2, CENTRE + offset], fill=DIM)
    for w in (0, 1):
        d.line([CENTRE + w, 0, CENTRE + w, SIZE - 1], fill=RED)
        d.line([0, CENTRE + w, SIZE - 1, CENTRE + w], fill=RED)
    return img


def cross():
    img = Image.new("RGB", (SIZE, SIZE), BLACK)
    d = ImageDraw.Draw(img)
    circle(d)
    d.line([CENTRE, 0, CENTRE, SIZE - 1], fill=RED)
    d.line([0, CENTRE, SIZE - 1, CENTRE], fill=RED)
    for offset in range(-28, 29, 4):
        if offset == 0:
            continue
        tick = 3 if offset % 8 == 0 else 1
        d.line([CENTRE + offset, CENTRE - tick, CENTRE + offset, CENTRE + tick], fill=RED)
        d.line([CENTRE - tick, CENTRE + offset, CENTRE + tick, CENTRE + offset], fill=RED)
    return img


def main():
    entries = [(5090, grid(), None, "scope"), (5091, cross(), None, "scope")]
    for pid, img, _, _ in entries:
        img.save(os.path.join(make_form_bitmaps.OUT, "%d.png" % pid), optimize=True)
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    make_form_bitmaps.update_manifest(entries)


if __name__ == "__main__":
    main()
