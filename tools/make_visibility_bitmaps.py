#!/usr/bin/python3
"""Draws the placeholder pictures of the visibility grade into resources/bitmaps/<id>.png and
keeps their section of resources/bitmaps/manifest.txt, until the program's own pictures
take their place.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_visibility_bitmaps.py

  5000-5004  the grades "Too faint" to "Very easy" by day: a gauge of five cells, as many
             lit as the grade (1 to 5), and the picture's number; key white
  5005-5009  the same at night, in reds
"""
import os

from PIL import Image, ImageDraw, ImageFont

import make_form_bitmaps

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
SECTION_BEGIN = "# ---- visibility grade placeholders (tools/make_visibility_bitmaps.py) ----"
SECTION_END = "# ---- end of the visibility grade placeholders ----"

WIDTH, HEIGHT = 60, 14
WHITE = (255, 255, 255)
DAY_CELLS = [(200, 40, 40), (230, 120, 30), (230, 200, 30), (120, 190, 40), (40, 160, 60)]
NIGHT_CELL = (200, 0, 0)


def grade_picture(pid, grade, night):
    img = Image.new("RGB", (WIDTH, HEIGHT), WHITE)
    d = ImageDraw.Draw(img)
    ink = (120, 0, 0) if night else (40, 40, 40)
    for i in range(5):
        x0 = 1 + i * 7
        box = [x0, 3, x0 + 5, HEIGHT - 4]
        if i <= grade:
            d.rectangle(box, fill=NIGHT_CELL if night else DAY_CELLS[grade], outline=ink)
        else:
            d.rectangle(box, outline=ink)
    d.text((37, 1), "%d" % pid, fill=ink, font=ImageFont.load_default())
    return img


def update_manifest(entries):
    """This section of the manifest, written the way the form pictures' generator writes
    its own."""
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    make_form_bitmaps.update_manifest([(pid, img, WHITE, "objects") for pid, img in entries])


def main():
    entries = []
    for night in (False, True):
        for grade in range(5):
            pid = (5005 if night else 5000) + grade
            entries.append((pid, grade_picture(pid, grade, night)))
    for pid, img in entries:
        img.save(os.path.join(OUT, "%d.png" % pid), optimize=True)
    update_manifest(entries)


if __name__ == "__main__":
    main()
