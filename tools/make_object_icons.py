#!/usr/bin/python3
"""Draws the object type icons, the planet icons and the small buttons of the object,
Moon and planet forms into resources/bitmaps/<id>.png and keeps their section of
resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_object_icons.py

  3000-3109  2999 + n: a symbol of the type of Messier object n, without its number (the
             object type and morphology tables name these pictures as type icons too);
             16 x 16, key black
  3996       comet; 5029 unknown type (16 x 16, key black)
  4000-4009  the planet icons of body numbers 1 to 10 (Moon, Mercury, Venus, Mars,
             Jupiter, Saturn, Uranus, Neptune, Pluto, Earth), 16 x 16, key black
  4038       the 3 x 3 satellite dot (key black); 6006 the 5 x 5 shadow (key white: the
             transparent colour is its top-left pixel)
  5074 back, 5076 "Inf", 5094 chart, 1975 trash, 5150 row picture, 2252 view toggle,
  2249 +, 2250 -, 2251 N: 16 x 16 buttons, dark on white, key white
  5138       the chart button in night colours, red on black, key black
"""
import os
import sys

from PIL import ImageFont

import make_form_bitmaps
from make_form_bitmaps import Canvas

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
SECTION_BEGIN = "# ---- object type icons, planet icons and form buttons (tools/make_object_icons.py) ----"
SECTION_END = "# ---- end of the object type icons, planet icons and form buttons ----"

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
INK = (40, 44, 60)
NIGHT = (200, 0, 0)
SIZE = 16

# The type of each Messier object, M1 to M110: snr supernova remnant, gc globular cluster,
# oc open cluster, neb bright nebula, pn planetary nebula, sg spiral or lenticular galaxy,
# eg elliptical galaxy, ig irregular galaxy, ds double star, sc star cloud, as asterism.
MESSIER_TYPES = (
    "snr gc gc gc gc oc oc neb gc gc "        # 1-10
    "oc gc gc gc gc neb neb oc gc neb "       # 11-20
    "oc gc oc sc oc oc pn gc oc gc "          # 21-30
    "sg eg sg oc oc oc oc oc oc ds "          # 31-40
    "oc neb neb oc oc oc oc oc eg oc "        # 41-50
    "sg oc gc gc gc gc pn sg eg eg "          # 51-60
    "sg gc sg sg sg sg oc gc gc gc "          # 61-70
    "gc gc as sg gc pn sg neb gc gc "         # 71-80
    "sg ig sg eg sg eg eg sg eg sg "          # 81-90
    "sg gc oc sg sg sg pn sg sg sg "          # 91-100
    "sg sg oc sg eg sg gc sg sg eg"           # 101-110
).split()

STAR = (255, 236, 170)
CLUSTER = (255, 220, 120)
GLOBULAR = (255, 200, 110)
NEBULA = (110, 200, 150)
PLANETARY = (120, 210, 230)
GALAXY = (190, 170, 240)
REMNANT = (240, 140, 110)


def type_icon(kind):
    c = Canvas(SIZE, SIZE, BLACK)
    if kind == "gc":
        c.disc(8, 8, 6.5, (120, 90, 40))
        c.disc(8, 8, 4.2, GLOBULAR)
        c.line([(1.5, 8), (14.5, 8)], fill=(60, 40, 10), width=0.7)
        c.line([(8, 1.5), (8, 14.5)], fill=(60, 40, 10), width=0.7)
    elif kind in ("oc", "as", "sc"):
        dots = [(4, 4), (11, 3.5), (8, 8), (3.5, 11), (12, 11.5), (7, 13), (13.5, 7.5), (2.5, 7)]
        if kind == "sc":
            dots += [(5.5, 6), (10, 6), (9.5, 10.5), (5.5, 9.5)]
        for x, y in dots[: 5 if kind == "as" else len(dots)]:
            c.disc(x, y, 1.25, CLUSTER)
        c.ellipse(8, 8, 7, 7, outline=(120, 100, 50), width=0.6)
    elif kind == "neb":
        c.rect(2, 2, 14, 14, outline=NEBULA, width=0.9)
        c.ellipse(8, 8, 4.5, 3, fill=(60, 130, 90))
    elif kind == "pn":
        c.disc(8, 8, 5.5, PLANETARY)
        c.disc(8, 8, 3.5, BLACK)
        c.disc(8, 8, 1.2, WHITE)
        for a, b in (((8, 0.8), (8, 3)), ((8, 13), (8, 15.2)), ((0.8, 8), (3, 8)), ((13, 8), (15.2, 8))):
            c.line([a, b], fill=PLANETARY, width=1)
    elif kind == "sg":
        c.ellipse(8, 8, 7, 3.2, fill=(90, 70, 150))
        c.ellipse(8, 8, 3.2, 1.6, fill=GALAXY)
        c.line([(1.5, 6.5), (5, 5.2)], fill=GALAXY, width=0.8)
        c.line([(14.5, 9.5), (11, 10.8)], fill=GALAXY, width=0.8)
    elif kind == "eg":
        c.ellipse(8, 8, 6.5, 4.5, fill=(90, 70, 150))
        c.ellipse(8, 8, 3.5, 2.4, fill=GALAXY)
    elif kind == "ig":
        c.poly([(3, 6), (7, 3), (13, 5), (12, 10), (8, 13), (4, 11)], fill=(110, 90, 170))
        c.disc(8, 8, 2, GALAXY)
    elif kind == "ds":
        c.disc(6, 9, 3, STAR)
        c.disc(11.5, 5, 2, STAR)
    elif kind == "snr":
        for r, col in ((7, REMNANT), (5.2, BLACK), (3.6, (200, 100, 80)), (2.2, BLACK)):
            c.disc(8, 8, r, col)
        c.line([(3, 4), (13, 12)], fill=REMNANT, width=0.8)
    else:
        raise SystemExit("unknown type " + kind)
    return c.done()


def comet_icon():
    c = Canvas(SIZE, SIZE, BLACK)
    c.poly([(11, 3), (14.5, 6), (4, 15.5), (1, 14.5)], fill=(90, 130, 200))
    c.disc(12, 4.5, 2.8, (220, 235, 255))
    return c.done()


def unknown_icon():
    c = Canvas(SIZE, SIZE, BLACK)
    c.disc(8, 8, 7, (90, 92, 104))
    c.d.text((c.p(5), c.p(2.5)), "?", fill=WHITE, font=font(11))
    return c.done()


PLANETS = (  # body numbers 1 to 10
    ("moon", (220, 220, 210)), ("mercury", (170, 160, 150)), ("venus", (240, 225, 170)), ("mars", (220, 110, 60)),
    ("jupiter", (225, 190, 150)), ("saturn", (230, 205, 140)), ("uranus", (160, 220, 230)),
    ("neptune", (90, 120, 230)), ("pluto", (190, 170, 150)), ("earth", (70, 130, 220)),
)


def planet_icon(name, colour):
    c = Canvas(SIZE, SIZE, BLACK)
    if name == "saturn":
        c.ellipse(8, 8, 7.5, 2.6, outline=(200, 180, 120), width=1)
        c.disc(8, 8, 4.2, colour)
        c.line([(3.8, 9.6), (12.2, 9.6)], fill=(200, 180, 120), width=0.8)
        return c.done()
    r = {"jupiter": 6.5, "moon": 5.5, "mercury": 4.5, "pluto": 4}.get(name, 6)
    c.disc(8, 8, r, colour)
    if name == "jupiter":
        for y, col in ((6, (170, 120, 80)), (10, (170, 120, 80))):
            c.line([(2.2, y), (13.8, y)], fill=col, width=1)
        c.ellipse(10.5, 10.5, 1.4, 0.8, fill=(200, 90, 60))
    elif name == "earth":
        c.poly([(5, 4), (9, 5), (8, 9), (5, 8)], fill=(80, 160, 80))
        c.poly([(9, 10), (12, 9), (11, 13)], fill=(80, 160, 80))
    elif name == "moon":
        c.disc(6.5, 6.5, 1.3, (170, 170, 165))
        c.disc(10, 10.5, 1.6, (170, 170, 165))
    elif name == "mars":
        c.ellipse(8, 3.2, 2.5, 1, fill=WHITE)
    elif name == "uranus":
        c.line([(8, 1.5), (8, 14.5)], fill=(200, 240, 245), width=0.6)
    return c.done()


def satellite_dot():
    c = Canvas(3, 3, BLACK)
    c.disc(1.5, 1.5, 1.5, (255, 255, 230))
    return c.done()


def shadow():
    c = Canvas(5, 5, WHITE)
    c.disc(2.5, 2.5, 2.5, BLACK)
    img = c.done()
    for corner in ((0, 0), (4, 0), (0, 4), (4, 4)):
        img.putpixel(corner, WHITE)
    return img


def font(size):
    path = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
    if os.path.exists(path):
        return ImageFont.truetype(path, size * make_form_bitmaps.SS)
    return ImageFont.load_default()


def button(draw, ink=INK, background=WHITE):
    c = Canvas(SIZE, SIZE, background)
    draw(c, ink)
    return c.done()


def back(c, ink):
    c.poly([(2, 8), (8, 2.5), (8, 6), (14, 6), (14, 10), (8, 10), (8, 13.5)], fill=ink)


def info(c, ink):
    c.d.text((c.p(0.5), c.p(2.5)), "Inf", fill=ink, font=font(8))


def chart(c, ink):
    c.rect(1.5, 1.5, 14.5, 14.5, outline=ink, width=1)
    for x, y in ((4, 5), (7, 4), (10, 6), (12, 10), (6, 11)):
        c.disc(x, y, 0.9, ink)
    c.line([(4, 5), (7, 4), (10, 6), (12, 10)], fill=ink, width=0.5)


def trash(c, ink):
    c.rect(3, 3, 13, 4.5, fill=ink)
    c.rect(6, 1.5, 10, 3, fill=ink)
    c.poly([(4, 5.5), (12, 5.5), (11, 15), (5, 15)], fill=ink)
    for x in (6.5, 8, 9.5):
        c.line([(x, 7), (x, 13.5)], fill=WHITE, width=0.6)


def row_picture(c, ink):
    c.rect(1.5, 3, 14.5, 13, outline=ink, width=1)
    c.poly([(3, 12), (7, 7), (10, 10), (12, 8), (14, 12)], fill=ink)
    c.disc(5, 6, 1.2, ink)


def view_toggle(c, ink):
    c.ellipse(8, 8, 6.5, 4, outline=ink, width=1)
    c.disc(8, 8, 2.2, ink)
    c.line([(2, 14), (14, 2)], fill=ink, width=0.9)


def sign(text):
    def draw(c, ink):
        c.rect(1.5, 1.5, 14.5, 14.5, outline=ink, width=1)
        if text == "+":
            c.rect(4, 7.2, 12, 8.8, fill=ink)
            c.rect(7.2, 4, 8.8, 12, fill=ink)
        elif text == "-":
            c.rect(4, 7.2, 12, 8.8, fill=ink)
        else:
            c.d.text((c.p(4.2), c.p(1.8)), text, fill=ink, font=font(10))
    return draw


def pictures():
    out = [(2999 + n, type_icon(kind), BLACK, "chart,objects") for n, kind in enumerate(MESSIER_TYPES, 1)]
    out.append((3996, comet_icon(), BLACK, "objects"))
    out.append((5029, unknown_icon(), BLACK, "objects"))
    out += [(3999 + n, planet_icon(name, colour), BLACK, "objects,planets") for n, (name, colour) in enumerate(PLANETS, 1)]
    out.append((4038, satellite_dot(), BLACK, "planets"))
    out.append((6006, shadow(), WHITE, "planets"))
    for pid, draw in ((5074, back), (5076, info), (5094, chart), (1975, trash), (5150, row_picture),
                      (2252, view_toggle), (2249, sign("+")), (2250, sign("-")), (2251, sign("N"))):
        out.append((pid, button(draw), WHITE, "objects,moon,planets"))
    out.append((5138, button(chart, NIGHT, BLACK), BLACK, "objects"))
    return out


def main():
    if len(MESSIER_TYPES) != 110:
        sys.exit("the Messier type table needs 110 entries")
    make_form_bitmaps.SECTION_BEGIN = SECTION_BEGIN
    make_form_bitmaps.SECTION_END = SECTION_END
    entries = pictures()
    for pid, img, key, users in entries:
        # The key colour must stay at the corner, where the transparent colour is taken.
        img.putpixel((0, 0), key)
        img.save(os.path.join(OUT, "%d.png" % pid))
    make_form_bitmaps.update_manifest(entries)


if __name__ == "__main__":
    main()
