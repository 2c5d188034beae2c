#!/usr/bin/python3
"""Draws the pictures of the home form and the date and time form into
resources/bitmaps/<id>.png and keeps their section of resources/bitmaps/manifest.txt.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_form_bitmaps.py
Every picture is drawn from shapes at four times its size and reduced, so the output is
the same on every run. Pictures are made for 1x; the program doubles them pixel for
pixel at 2x.

  home buttons      36 x 36 tiles: searches (teal), assistants (blue), lists and logs (grey)
  4998              the information button, 22 x 22
  5076, 5074        the help and back buttons of the forms' title bands, 22 x 22
  2252              the list button of the assistants' pages, 22 x 22
  120               the clock of the status panel, 18 x 18, on black
  6111-6113         the three menu buttons of the home form, 36 x 36
  124, 126          the arrow at the left of a popup list's trigger, by day and at night
  4049              the Sun of the status panel, 16 x 16, key black
  6050-6062         the Moon by age, 16 x 16, key black: 6050 just past new, 6056 full,
                    6062 the last crescent (the calendar uses 6050 + age * 13 / 29)
  6063, 6064, 6065  full, full and new Moon
  6081-6090         the ten frames of the busy indicator, 38 x 32, key black
  101               the program's icon, 32 x 32
"""
import math
import os
import re
import sys

from PIL import Image, ImageDraw

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
MANIFEST = os.path.join(OUT, "manifest.txt")
SECTION_BEGIN = "# ---- home form and date and time form (tools/make_form_bitmaps.py) ----"
SECTION_END = "# ---- end of the home form and date and time form ----"

SS = 4  # supersampling factor

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# Tile families: top and bottom of the gradient, and the border.
TEAL = ((24, 92, 104), (8, 40, 52), (90, 170, 180))
BLUE = ((36, 52, 118), (12, 18, 52), (104, 124, 196))
GREY = ((72, 74, 88), (30, 30, 40), (140, 142, 160))


# ---- helpers -------------------------------------------------------------------------------

class Canvas:
    """A supersampled picture; coordinates are given in final pixels."""

    def __init__(self, w, h, background):
        self.w, self.h = w, h
        self.img = Image.new("RGB", (w * SS, h * SS), background)
        self.d = ImageDraw.Draw(self.img)

    def p(self, v):
        return v * SS

    def box(self, cx, cy, rx, ry=None):
        ry = rx if ry is None else ry
        return [self.p(cx - rx), self.p(cy - ry), self.p(cx + rx), self.p(cy + ry)]

    def disc(self, cx, cy, r, fill, outline=None, width=1):
        self.d.ellipse(self.box(cx, cy, r), fill=fill, outline=outline, width=int(width * SS) if outline else 0)

    def ellipse(self, cx, cy, rx, ry, fill=None, outline=None, width=1):
        self.d.ellipse(self.box(cx, cy, rx, ry), fill=fill, outline=outline, width=int(width * SS))

    def line(self, pts, fill, width=1.0):
        self.d.line([(self.p(x), self.p(y)) for x, y in pts], fill=fill, width=max(1, int(width * SS)))

    def poly(self, pts, fill, outline=None):
        self.d.polygon([(self.p(x), self.p(y)) for x, y in pts], fill=fill, outline=outline)

    def rect(self, x0, y0, x1, y1, fill=None, outline=None, width=1):
        self.d.rectangle([self.p(x0), self.p(y0), self.p(x1) - 1, self.p(y1) - 1], fill=fill, outline=outline,
                         width=int(width * SS) if outline else 0)

    def star(self, cx, cy, r, fill):
        """A four-pointed sparkle."""
        pts = []
        for k in range(8):
            a = k * math.pi / 4 - math.pi / 2
            rr = r if k % 2 == 0 else r * 0.32
            pts.append((cx + rr * math.cos(a), cy + rr * math.sin(a)))
        self.poly(pts, fill)

    def done(self):
        return self.img.resize((self.w, self.h), Image.LANCZOS)


def tile(family, size=36):
    """A square button face with a gradient and a light border."""
    top, bottom, border = family
    c = Canvas(size, size, bottom)
    for y in range(size * SS):
        t = y / float(size * SS - 1)
        col = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        c.d.line([0, y, size * SS, y], fill=col)
    c.rect(0, 0, size, size, outline=border, width=1)
    # A soft highlight along the top edge.
    c.line([(1.5, 1.5), (size - 1.5, 1.5)], fill=tuple(min(255, v + 40) for v in top), width=0.75)
    return c


def magnifier_badge(c):
    """Marks a search: a small lens in the lower right corner."""
    c.disc(28.5, 28.5, 4.2, fill=None, outline=(250, 250, 250), width=1.3)
    c.line([(31.5, 31.5), (34.0, 34.0)], fill=(250, 250, 250), width=1.8)


def menu_badge(c):
    """Marks a menu button: a small downward triangle in the lower right corner."""
    c.poly([(26.5, 29.0), (33.5, 29.0), (30.0, 33.0)], fill=(250, 250, 250))


def phase_disc(c, cx, cy, r, p, lit, dark, outline=None):
    """A Moon disc at a fraction p of the lunation (0 new, 0.5 full), lit from the right
    while waxing."""
    c.disc(cx, cy, r, fill=dark, outline=outline, width=0.6)
    theta = 2 * math.pi * p
    img = c.img
    px = img.load()
    R = r * SS
    ccx, ccy = cx * SS, cy * SS
    for yy in range(int(ccy - R) - 1, int(ccy + R) + 2):
        dy = yy + 0.5 - ccy
        if abs(dy) >= R:
            continue
        w = math.sqrt(R * R - dy * dy)
        for xx in range(int(ccx - w) - 1, int(ccx + w) + 2):
            dx = xx + 0.5 - ccx
            if dx * dx + dy * dy > R * R:
                continue
            if theta <= math.pi:
                on = dx >= w * math.cos(theta)
            else:
                on = dx <= -w * math.cos(theta)
            if on and 0 <= xx < img.size[0] and 0 <= yy < img.size[1]:
                px[xx, yy] = lit


# ---- home buttons --------------------------------------------------------------------------

def sky():
    c = tile(TEAL)
    stars = [(7, 9, 2.4), (15, 6, 1.5), (24, 11, 2.8), (29, 19, 1.6), (19, 18, 1.8), (9, 21, 1.3), (14, 27, 2.2)]
    c.line([(7, 9), (15, 6), (24, 11), (19, 18), (29, 19)], fill=(110, 170, 200), width=0.7)
    c.line([(19, 18), (14, 27)], fill=(110, 170, 200), width=0.7)
    for x, y, r in stars:
        c.star(x, y, r + 0.8, (255, 250, 220))
    for x, y in ((4, 15), (11, 14), (27, 5), (22, 25), (5, 30), (31, 9)):
        c.disc(x, y, 0.5, (200, 210, 230))
    magnifier_badge(c)
    return c.done()


def planet_search():
    c = tile(TEAL)
    c.d.arc(c.box(18, 34, 22, 20), 200, 340, fill=(120, 160, 180), width=SS)
    c.disc(6, 21, 2.2, (190, 190, 190))
    c.disc(13, 14, 3.0, (250, 230, 170))
    c.disc(21, 11, 4.0, (220, 190, 150))
    c.line([(17.4, 10.5), (24.6, 10.5)], fill=(170, 120, 80), width=0.8)
    c.disc(30, 15, 2.6, (230, 100, 60))
    magnifier_badge(c)
    return c.done()


def galaxy():
    c = tile(TEAL)
    cx, cy = 17, 16
    for arm in (0, math.pi):
        pts = []
        for k in range(40):
            t = k / 39.0
            a = arm + t * 3.4
            rr = 2 + t * 11
            x, y = rr * math.cos(a), rr * math.sin(a) * 0.55
            tilt = math.radians(-25)
            pts.append((cx + x * math.cos(tilt) - y * math.sin(tilt), cy + x * math.sin(tilt) + y * math.cos(tilt)))
        c.line(pts, fill=(170, 190, 240), width=1.6)
    c.ellipse(cx, cy, 4.5, 3.0, fill=(255, 240, 200))
    c.disc(cx, cy, 1.8, (255, 255, 240))
    magnifier_badge(c)
    return c.done()


def nebula():
    c = tile(TEAL)
    for x, y, rx, ry, col in ((13, 15, 9, 7, (170, 60, 110)), (21, 18, 8, 6, (200, 80, 120)),
                              (16, 20, 6, 5, (90, 110, 200)), (18, 14, 5, 4, (240, 140, 160)),
                              (15, 17, 3, 2.5, (255, 200, 210))):
        c.ellipse(x, y, rx, ry, fill=col)
    for x, y in ((6, 7), (27, 8), (25, 26), (8, 27), (30, 15)):
        c.disc(x, y, 0.7, (240, 240, 255))
    magnifier_badge(c)
    return c.done()


def globular():
    c = tile(TEAL)
    cx, cy = 17, 16
    c.disc(cx, cy, 10, fill=(40, 70, 80))
    c.disc(cx, cy, 7, fill=(90, 120, 120))
    c.disc(cx, cy, 4, fill=(200, 210, 190))
    c.disc(cx, cy, 2, fill=(255, 250, 230))
    for k in range(34):
        a = k * 2.39996
        rr = 2.5 + 8.5 * math.sqrt((k + 0.5) / 34.0)
        c.disc(cx + rr * math.cos(a), cy + rr * math.sin(a), 0.65, (255, 245, 210))
    magnifier_badge(c)
    return c.done()


def open_cluster():
    c = tile(TEAL)
    for x, y, r in ((9, 10, 2.6), (17, 7, 2.0), (24, 12, 3.0), (12, 19, 1.8), (20, 18, 2.4), (27, 24, 1.6),
                    (8, 26, 1.4), (16, 26, 2.0), (29, 6, 1.2)):
        c.star(x, y, r + 1.0, (200, 225, 255))
        c.disc(x, y, r * 0.45, (255, 255, 255))
    magnifier_badge(c)
    return c.done()


def personal_objects():
    c = tile(TEAL)
    c.disc(14, 11, 4.5, (230, 230, 240))
    c.d.chord(c.box(14, 29, 10, 10), 180, 360, fill=(230, 230, 240))
    c.star(26, 10, 5, (255, 220, 80))
    magnifier_badge(c)
    return c.done()


def find():
    c = tile(GREY)
    c.disc(15, 15, 9, fill=(20, 30, 60), outline=(240, 240, 240), width=2.2)
    c.ellipse(15, 15, 5, 2.4, fill=(170, 190, 240))
    c.disc(15, 15, 1.6, (255, 250, 230))
    c.line([(21.5, 21.5), (30, 30)], fill=(240, 240, 240), width=3.2)
    return c.done()


def finder():
    c = tile(GREY)
    c.disc(18, 18, 12, fill=(10, 15, 35), outline=(230, 230, 230), width=1.4)
    c.disc(18, 18, 6, fill=None, outline=(230, 90, 90), width=1.0)
    for a, b in (((18, 5), (18, 13)), ((18, 23), (18, 31)), ((5, 18), (13, 18)), ((23, 18), (31, 18))):
        c.line([a, b], fill=(230, 230, 230), width=1.0)
    c.star(21, 15, 2.5, (255, 250, 220))
    return c.done()


def night_list():
    c = tile(GREY)
    c.rect(7, 6, 27, 32, fill=(235, 235, 225), outline=(150, 150, 150))
    c.rect(13, 4, 21, 8, fill=(150, 150, 160))
    for k, y in enumerate((13, 19, 25)):
        c.disc(10.5, y, 1.2, (40, 60, 140))
        c.line([(13.5, y), (24.5, y)], fill=(80, 80, 90), width=1.0)
    c.disc(28, 9, 5, (255, 230, 120))
    c.disc(30, 7.5, 4.4, GREY[0])
    return c.done()


def observer_log():
    c = tile(GREY)
    c.poly([(4, 9), (17, 7), (17, 30), (4, 31)], fill=(235, 235, 225), outline=(150, 150, 150))
    c.poly([(19, 7), (32, 9), (32, 31), (19, 30)], fill=(245, 245, 235), outline=(150, 150, 150))
    for y in (13, 17, 21, 25):
        c.line([(6.5, y), (15, y - 0.3)], fill=(120, 120, 130), width=0.7)
    c.line([(22, 27), (31, 12)], fill=(230, 160, 40), width=2.5)
    c.poly([(21.0, 28.8), (21.6, 25.7), (23.6, 26.9)], fill=(60, 60, 60))
    return c.done()


def solar_system():
    c = tile(BLUE)
    c.disc(4, 18, 6, (255, 210, 70))
    for r in (9, 15, 22, 29):
        c.d.arc(c.box(4, 18, r), -60, 60, fill=(110, 130, 190), width=SS // 2)
    for r, a, rad, col in ((9, 20, 1.4, (190, 190, 190)), (15, -25, 2.0, (250, 235, 170)),
                           (22, 15, 2.0, (90, 150, 230)), (29, -10, 3.2, (220, 190, 150))):
        t = math.radians(a)
        c.disc(4 + r * math.cos(t), 18 + r * math.sin(t), rad, col)
    return c.done()


def jupiter():
    c = tile(BLUE)
    cx, cy, r = 15, 18, 10
    c.disc(cx, cy, r, (225, 200, 160))
    for dy, col, wd in ((-5, (180, 130, 90), 1.6), (-1.5, (200, 160, 120), 1.2), (3, (170, 120, 80), 1.8),
                        (6.5, (200, 165, 125), 1.0)):
        half = math.sqrt(max(0.0, r * r - dy * dy)) - 0.5
        c.line([(cx - half, cy + dy), (cx + half, cy + dy)], fill=col, width=wd)
    c.ellipse(cx + 3.5, cy + 4.5, 2.2, 1.2, fill=(200, 90, 60))
    for x in (28, 31, 33.5):
        c.disc(x, cy + (x - 28) * 0.15, 0.9, (240, 240, 240))
    c.disc(3.5, cy - 0.5, 0.9, (240, 240, 240))
    return c.done()


def saturn():
    c = tile(BLUE)
    cx, cy = 18, 18
    tilt = math.radians(-18)

    def ring_pts(rx, ry, a0, a1):
        pts = []
        for k in range(41):
            a = math.radians(a0 + (a1 - a0) * k / 40.0)
            x, y = rx * math.cos(a), ry * math.sin(a)
            pts.append((cx + x * math.cos(tilt) - y * math.sin(tilt), cy + x * math.sin(tilt) + y * math.cos(tilt)))
        return pts

    c.line(ring_pts(15, 5, 180, 360), fill=(210, 190, 130), width=2.2)
    c.disc(cx, cy, 8, (235, 210, 145))
    c.line([(cx - 7.2, cy - 2.5), (cx + 7.6, cy - 4.8)], fill=(200, 170, 110), width=0.9)
    c.line(ring_pts(15, 5, 0, 180), fill=(210, 190, 130), width=2.2)
    return c.done()


def mars():
    c = tile(BLUE)
    cx, cy, r = 18, 18, 11
    c.disc(cx, cy, r, (215, 95, 50))
    for x, y, rx, ry in ((14, 17, 4, 2), (21, 21, 3.5, 1.6), (19, 13, 2.5, 1.2), (11, 22, 2, 1.2)):
        c.ellipse(x, y, rx, ry, fill=(150, 60, 35))
    c.d.chord(c.box(cx, cy, r), 240, 300, fill=(250, 245, 240))
    return c.done()


def moon():
    c = tile(BLUE)
    cx, cy, r = 18, 18, 12
    c.disc(cx, cy, r, (215, 215, 205))
    for x, y, rr in ((13, 13, 3.5), (20, 11, 2.6), (22, 19, 3.2), (14, 22, 2.2)):
        c.disc(x, y, rr, (160, 160, 155))
    for x, y, rr in ((25, 25, 1.4), (10, 18, 1.0), (18, 27, 1.2), (26, 14, 0.9)):
        c.disc(x, y, rr, (185, 185, 178), outline=(245, 245, 240), width=0.5)
    return c.done()


def comet():
    c = tile(BLUE)
    hx, hy = 25, 11
    for k, col in ((-3, (90, 140, 220)), (0, (150, 200, 255)), (3, (110, 170, 240))):
        c.poly([(hx - 2.5, hy - 1.5), (hx + 1.5, hy + 2.5), (5 + k, 31 + k * 0.4), (3 + k * 0.3, 29 - k)],
               fill=col)
    c.line([(hx, hy), (6, 30)], fill=(230, 245, 255), width=1.0)
    c.disc(hx, hy, 3.4, (240, 250, 255))
    c.disc(hx, hy, 1.6, (255, 255, 255))
    return c.done()


def eclipse():
    c = tile(BLUE)
    cx, cy = 18, 18
    for r, col in ((13, (60, 80, 140)), (11.5, (130, 150, 200)), (10.2, (230, 230, 250))):
        c.disc(cx, cy, r, col)
    for k in range(12):
        a = k * math.pi / 6
        c.line([(cx + 10 * math.cos(a), cy + 10 * math.sin(a)), (cx + 14.5 * math.cos(a), cy + 14.5 * math.sin(a))],
               fill=(200, 210, 245), width=0.7)
    c.disc(cx, cy, 9, (8, 8, 16))
    c.disc(cx + 6.5, cy - 6.5, 1.2, (255, 250, 230))
    return c.done()


def satellite():
    c = tile(BLUE)
    t = math.radians(-35)

    def rot(x, y):
        return (18 + x * math.cos(t) - y * math.sin(t), 18 + x * math.sin(t) + y * math.cos(t))

    for side in (-1, 1):
        x0, x1 = side * 4, side * 15
        c.poly([rot(x0, -4), rot(x1, -4), rot(x1, 4), rot(x0, 4)], fill=(50, 90, 190), outline=(160, 190, 240))
        for k in range(1, 3):
            xx = x0 + (x1 - x0) * k / 3.0
            c.line([rot(xx, -4), rot(xx, 4)], fill=(160, 190, 240), width=0.5)
    c.poly([rot(-4, -5), rot(4, -5), rot(4, 5), rot(-4, 5)], fill=(225, 200, 120), outline=(250, 240, 200))
    c.line([rot(0, -5), rot(0, -10)], fill=(230, 230, 230), width=0.8)
    c.disc(*rot(0, -10.5), 1.3, (230, 230, 230))
    return c.done()


def info_button():
    c = tile(BLUE, 22)
    c.disc(11, 11, 8, (240, 245, 255))
    c.disc(11, 6.8, 1.4, BLUE[1])
    c.rect(9.8, 9.2, 12.2, 16.2, fill=BLUE[1])
    c.rect(8.8, 15.0, 13.2, 16.4, fill=BLUE[1])
    return c.done()


def help_button():
    """A question mark on the blue tile: the help of the page shown."""
    c = tile(BLUE, 22)
    c.disc(11, 11, 8, (240, 245, 255))
    ink = BLUE[1]
    c.d.arc(c.box(11, 8.6, 3.6), start=180, end=45, fill=ink, width=int(2.0 * SS))
    c.line([(13.4, 11.0), (11.0, 12.6), (11.0, 14.2)], fill=ink, width=2.0)
    c.disc(11, 16.6, 1.3, ink)
    return c.done()


def back_button():
    """An arrow pointing left on the grey tile: back to the form before."""
    c = tile(GREY, 22)
    ink = (235, 238, 245)
    c.poly([(4.5, 11), (11, 5), (11, 8.6), (17.5, 8.6), (17.5, 13.4), (11, 13.4), (11, 17)], ink)
    return c.done()


def list_button():
    """Three rows with bullets on the blue tile: the list page."""
    c = tile(BLUE, 22)
    ink = (235, 238, 245)
    for y in (6.5, 11, 15.5):
        c.disc(6, y, 1.5, ink)
        c.rect(9, y - 1.1, 17.5, y + 1.1, fill=ink)
    return c.done()


def clock():
    c = Canvas(18, 18, BLACK)
    c.disc(9, 9, 8, (240, 240, 230), outline=(250, 200, 40), width=1.4)
    for k in range(12):
        a = k * math.pi / 6
        r0 = 5.2 if k % 3 else 4.6
        c.line([(9 + r0 * math.cos(a), 9 + r0 * math.sin(a)), (9 + 6.2 * math.cos(a), 9 + 6.2 * math.sin(a))],
               fill=(60, 60, 70), width=0.6 if k % 3 else 1.0)
    c.line([(9, 9), (9, 4.2)], fill=(20, 20, 30), width=1.2)
    c.line([(9, 9), (12.4, 10.6)], fill=(20, 20, 30), width=1.2)
    c.disc(9, 9, 0.9, (200, 40, 40))
    return c.done()


# ---- menu buttons and popup arrows -------------------------------------------------------------

def menu_night():
    c = tile(GREY)
    c.disc(15, 15, 9, (235, 70, 60))
    c.disc(19, 12, 8, GREY[0])
    c.star(24, 22, 3, (255, 120, 110))
    menu_badge(c)
    return c.done()


def menu_scope():
    c = tile(GREY)
    t = math.radians(-32)

    def rot(x, y):
        return (15 + x * math.cos(t) - y * math.sin(t), 14 + x * math.sin(t) + y * math.cos(t))

    c.poly([rot(-11, -2.4), rot(10, -3.6), rot(10, 3.6), rot(-11, 2.4)], fill=(235, 235, 240),
           outline=(170, 170, 180))
    c.poly([rot(10, -4.4), rot(13, -4.4), rot(13, 4.4), rot(10, 4.4)], fill=(90, 140, 220))
    c.line([(15, 16), (8, 31)], fill=(220, 220, 220), width=1.3)
    c.line([(15, 16), (22, 31)], fill=(220, 220, 220), width=1.3)
    c.line([(15, 16), (15, 31)], fill=(220, 220, 220), width=1.3)
    menu_badge(c)
    return c.done()


def menu_settings():
    c = tile(GREY)
    cx, cy = 16, 16
    pts = []
    for k in range(48):
        a = k * 2 * math.pi / 48
        tooth = (k // 3) % 2 == 0
        r = 11 if tooth else 8.5
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    c.poly(pts, fill=(225, 225, 230))
    c.disc(cx, cy, 4, GREY[0])
    menu_badge(c)
    return c.done()


def popup_arrow(night):
    background = (0, 0, 0) if night else (255, 255, 255)
    face = (70, 70, 70) if night else (214, 218, 228)
    edge = (120, 120, 120) if night else (140, 146, 160)
    arrow = (200, 200, 200) if night else (30, 30, 40)
    c = Canvas(12, 14, background)
    c.d.rounded_rectangle([0, c.p(1), c.p(12) - 1, c.p(13) - 1], radius=2 * SS, fill=face, outline=edge, width=SS)
    c.poly([(2.5, 5.5), (9.5, 5.5), (6.0, 9.5)], fill=arrow)
    return c.done()


# ---- status panel pictures --------------------------------------------------------------------

def sun():
    c = Canvas(16, 16, BLACK)
    for k in range(12):
        a = k * math.pi / 6
        c.line([(8 + 5.2 * math.cos(a), 8 + 5.2 * math.sin(a)), (8 + 7.6 * math.cos(a), 8 + 7.6 * math.sin(a))],
               fill=(255, 190, 40), width=1.0)
    c.disc(8, 8, 4.6, (255, 220, 60), outline=(255, 170, 20), width=0.6)
    return c.done()


MOON_LIT = (240, 236, 210)
MOON_DARK = (58, 60, 72)


def moon_phase(p):
    c = Canvas(16, 16, BLACK)
    phase_disc(c, 8, 8, 7, p, MOON_LIT, MOON_DARK, outline=(90, 92, 104))
    return c.done()


# ---- busy frames and the program's icon -------------------------------------------------------

def busy_frame(n):
    c = Canvas(38, 32, BLACK)
    cx, cy, r = 19, 16, 11
    c.disc(cx, cy, 15, (34, 40, 60))
    for k in range(10):
        a = -math.pi / 2 + k * 2 * math.pi / 10
        age = (n - k) % 10
        level = max(0.18, 1.0 - age * 0.16)
        col = (int(90 + 165 * level), int(110 + 140 * level), int(150 + 90 * level))
        c.disc(cx + r * math.cos(a), cy + r * math.sin(a), 1.5 + 1.4 * level, col)
    return c.done()


def app_icon():
    c = Canvas(32, 32, (12, 18, 48))
    c.d.rounded_rectangle([0, 0, c.p(32) - 1, c.p(32) - 1], radius=6 * SS, fill=(20, 32, 84),
                          outline=(96, 120, 200), width=SS)
    for x, y, r in ((7, 7, 1.6), (25, 5, 1.0), (20, 11, 1.2), (5, 17, 0.8), (28, 15, 0.9)):
        c.star(x, y, r + 0.8, (250, 245, 220))
    c.disc(23, 9, 4.5, (250, 230, 150))
    c.disc(25, 7.6, 4.0, (20, 32, 84))
    t = math.radians(-35)

    def rot(x, y):
        return (15 + x * math.cos(t) - y * math.sin(t), 19 + x * math.sin(t) + y * math.cos(t))

    c.poly([rot(-9, -2), rot(8, -3), rot(8, 3), rot(-9, 2)], fill=(235, 235, 240), outline=(170, 170, 180))
    c.poly([rot(8, -3.6), rot(10.5, -3.6), rot(10.5, 3.6), rot(8, 3.6)], fill=(230, 150, 60))
    c.line([(15, 20), (9, 30)], fill=(220, 220, 230), width=1.2)
    c.line([(15, 20), (21, 30)], fill=(220, 220, 230), width=1.2)
    return c.done()


# ---- the set -----------------------------------------------------------------------------------

def pictures():
    """(id, picture, key, users) for every picture of this section."""
    out = []
    home = "shell"
    for pid, fn in ((5078, sky), (5037, planet_search), (5031, galaxy), (5035, nebula), (5033, globular),
                    (5062, open_cluster), (5110, personal_objects), (6105, find), (5105, finder),
                    (5066, night_list), (5104, observer_log), (5106, solar_system), (5101, jupiter),
                    (5102, saturn), (6097, mars), (5082, moon), (5019, comet), (6098, eclipse),
                    (6096, satellite), (4998, info_button), (120, clock), (6111, menu_night), (6112, menu_scope),
                    (6113, menu_settings)):
        out.append((pid, fn(), None, home))
    out.append((5076, help_button(), None, "shell,scope,eclipses,planets,satellites"))
    out.append((5074, back_button(), None, "shell,scope,eclipses,planets,satellites"))
    out.append((2252, list_button(), None, "eclipses,planets,satellites"))
    out.append((124, popup_arrow(False), None, "shell,astro,settings"))
    out.append((126, popup_arrow(True), None, "shell,astro,settings"))
    out.append((4049, sun(), BLACK, "shell"))
    for k in range(13):
        out.append((6050 + k, moon_phase((k + 0.5) / 13.0), BLACK, "shell,astro,moon"))
    out.append((6063, moon_phase(0.5), BLACK, "shell,astro,moon"))
    out.append((6064, moon_phase(0.5), BLACK, "shell,astro,moon"))
    out.append((6065, moon_phase(0.0), BLACK, "shell,astro,moon"))
    for n in range(10):
        out.append((6081 + n, busy_frame(n), BLACK, "shell"))
    out.append((101, app_icon(), None, "shell"))
    return out


def update_manifest(entries):
    with open(MANIFEST) as f:
        text = f.read()
    lines = [SECTION_BEGIN]
    for pid, img, key, users in entries:
        keytext = "none" if key is None else "#%02X%02X%02X" % key
        lines.append("%-5d %-9s %-4d %-4d %-8s %s" % (pid, "%d.png" % pid, img.size[0], img.size[1], keytext, users))
    lines.append(SECTION_END)
    block = "\n".join(lines) + "\n"
    pattern = re.compile(re.escape(SECTION_BEGIN) + r".*?" + re.escape(SECTION_END) + r"\n?", re.S)
    if pattern.search(text):
        text = pattern.sub(lambda m: block, text)
    else:
        if not text.endswith("\n"):
            text += "\n"
        text += block
    with open(MANIFEST, "w") as f:
        f.write(text)


def main():
    os.makedirs(OUT, exist_ok=True)
    entries = pictures()
    ids = [e[0] for e in entries]
    if len(ids) != len(set(ids)):
        sys.exit("a picture id is drawn twice")
    for pid, img, key, users in entries:
        if key is not None:
            # The key colour must stay where nothing is drawn: the reduction may not make
            # it inside a picture by accident, and corners must keep it.
            if img.getpixel((0, 0)) != key:
                sys.exit("bitmap %d lost its key colour in the corner" % pid)
        img.save(os.path.join(OUT, "%d.png" % pid), optimize=True)
    update_manifest(entries)


if __name__ == "__main__":
    main()
