#!/usr/bin/python3
"""Draws the pictures of the sky-condition forms into resources/bitmaps/<id>.png and keeps
their section of resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_settings_bitmaps.py

  5152  the planet list's trigger of the Twilight form: a ringed planet, 16 x 16, key white
"""
import os

import make_form_bitmaps
from make_form_bitmaps import Canvas

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
SECTION_BEGIN = "# ---- sky-condition forms (tools/make_settings_bitmaps.py) ----"
SECTION_END = "# ---- end of the sky-condition forms ----"

WHITE = (255, 255, 255)


def ringed_planet():
    c = Canvas(16, 16, WHITE)
    c.ellipse(8, 8.5, 7.4, 2.6, outline=(150, 120, 60), width=1.1)
    c.disc(8, 8, 4.6, (214, 176, 96), outline=(150, 110, 50), width=0.7)
    # The ring passes in front of the globe's lower half.
    c.line([(2.0, 9.6), (14.0, 9.6)], fill=(170, 135, 70), width=1.0)
    return c.done()


def main():
    img = ringed_planet()
    img.save(os.path.join(OUT, "5152.png"), optimize=True)
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    make_form_bitmaps.update_manifest([(5152, img, WHITE, "settings")])


if __name__ == "__main__":
    main()
