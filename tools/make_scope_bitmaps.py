#!/usr/bin/python3
"""Draws the pictures of the ScopeControl form into resources/bitmaps/<id>.png and keeps
their section of resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_scope_bitmaps.py
Drawn at four times their size and reduced, like the form pictures, so every run gives
the same files.

  5084       the telescope at rest, 40 x 40, key black: the move indicator while no move
             runs, and the scope icon the chart shows while it follows the mount
  5085-5088  the direction buttons west, east, north and south, 32 x 32: a tile with an
             arrow and the compass letter
"""
import os

from PIL import ImageDraw, ImageFont

import make_form_bitmaps
from make_form_bitmaps import BLACK, BLUE, Canvas, tile

SECTION_BEGIN = "# ---- ScopeControl form (tools/make_scope_bitmaps.py) ----"
SECTION_END = "# ---- end of the ScopeControl form ----"
OUT = make_form_bitmaps.OUT

ARROW = (230, 236, 255)
LETTER = (255, 210, 120)


def scope_at_rest():
    c = Canvas(40, 40, BLACK)
    # Tripod legs, the mount head, the tube tilted up to the right, the finder.
    c.line([(20, 26), (10, 38)], (150, 150, 160), 2)
    c.line([(20, 26), (30, 38)], (150, 150, 160), 2)
    c.line([(20, 26), (20, 38)], (150, 150, 160), 2)
    c.disc(20, 24, 3, (200, 200, 210))
    c.poly([(6, 24), (30, 6), (34, 11), (10, 29)], (235, 235, 240), (120, 120, 130))
    c.poly([(30, 6), (34, 3), (38, 8), (34, 11)], (90, 140, 220), (60, 90, 160))
    c.line([(14, 17), (24, 10)], (180, 180, 190), 1.5)
    return c.done()


# Arrow shapes pointing right, turned for the four directions (x, y on a 32 grid).
def arrow_points(direction):
    pts = [(7, 13), (17, 13), (17, 8), (26, 16), (17, 24), (17, 19), (7, 19)]
    turned = []
    for x, y in pts:
        dx, dy = x - 16, y - 16
        if direction == "west":
            dx, dy = -dx, dy
        elif direction == "north":
            dx, dy = dy, -dx
        elif direction == "south":
            dx, dy = dy, dx
        turned.append((16 + dx, 16 + dy))
    return turned


def direction_button(direction, letter):
    c = tile(BLUE, 32)
    c.poly(arrow_points(direction), ARROW, (40, 50, 90))
    img = c.done()
    # The compass letter in a corner away from the arrow's point.
    corner = {"west": (23, 2), "east": (3, 2), "north": (3, 20), "south": (3, 2)}[direction]
    ImageDraw.Draw(img).text(corner, letter, fill=LETTER, font=ImageFont.load_default())
    return img


def pictures():
    return [
        (5084, scope_at_rest(), BLACK, "scope,chart"),
        (5085, direction_button("west", "W"), None, "scope"),
        (5086, direction_button("east", "E"), None, "scope"),
        (5087, direction_button("north", "N"), None, "scope"),
        (5088, direction_button("south", "S"), None, "scope"),
    ]


def main():
    entries = pictures()
    for pid, img, key, users in entries:
        img.save(os.path.join(OUT, "%d.png" % pid), optimize=True)
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    make_form_bitmaps.update_manifest(entries)


if __name__ == "__main__":
    main()
