#!/usr/bin/python3
"""Draws the sky chart's toolbar, popup and orientation pictures into
resources/bitmaps/<id>.png and keeps their section of resources/bitmaps/manifest.txt.

Standard library only:  python3 tools/make_chart_toolbar_bitmaps.py
Pictures are made for 1x (the program doubles them at 2x); the output is the same on
every run.

  toolbar buttons, 18 x 18: a light set (dark ink on white, for the white chart
      background) and a dark set (light ink on black)
  popup icons, 16 x 16: the chart menu 2254, the zoom 4062 / 5139, the scope 5070 / 5136,
      the filter 5096, the direction 5097 / 5137, the centre request 5124 / 5134
  orientation rows, 16 x 16: 1682-1685 by day (key white) and 2008-2011 otherwise (key
      black), a chart frame with its north arrow as each "View" choice turns it
"""
import os
import re
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")
MANIFEST = os.path.join(OUT, "manifest.txt")
SECTION_BEGIN = "# ---- sky chart toolbar and popups (tools/make_chart_toolbar_bitmaps.py) ----"
SECTION_END = "# ---- end of the sky chart toolbar and popups ----"

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)

# A 3 x 5 pixel font for the few letters the icons carry.
GLYPHS = {
    "A": ["010", "101", "111", "101", "101"], "B": ["110", "101", "110", "101", "110"],
    "C": ["011", "100", "100", "100", "011"], "D": ["110", "101", "101", "101", "110"],
    "E": ["111", "100", "110", "100", "111"], "H": ["101", "101", "111", "101", "101"],
    "I": ["111", "010", "010", "010", "111"], "N": ["101", "111", "111", "111", "101"],
    "O": ["010", "101", "101", "101", "010"], "R": ["110", "101", "110", "101", "101"],
    "S": ["011", "100", "010", "001", "110"], "Z": ["111", "001", "010", "100", "111"],
    "Q": ["010", "101", "101", "011", "001"], "i": ["010", "000", "010", "010", "010"],
    "?": ["110", "001", "010", "000", "010"],
}


class Picture:
    def __init__(self, w, h, background):
        self.w, self.h = w, h
        self.px = [[background] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.dot(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def frame(self, x0, y0, x1, y1, c):
        self.line(x0, y0, x1, y0, c)
        self.line(x1, y0, x1, y1, c)
        self.line(x1, y1, x0, y1, c)
        self.line(x0, y1, x0, y0, c)

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.dot(x, y, c)

    def circle(self, cx, cy, r, c, filled=False):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                d = (x - cx) ** 2 + (y - cy) ** 2
                if (filled and d <= r * r + r) or (not filled and r * r - r <= d <= r * r + r):
                    self.dot(x, y, c)

    def text(self, x, y, s, c):
        for ch in s:
            for row, bits in enumerate(GLYPHS[ch]):
                for col, b in enumerate(bits):
                    if b == "1":
                        self.dot(x + col, y + row, c)
            x += 4

    def png(self):
        raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in self.px)
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
        head = struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0)
        return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", head) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


# ---- the toolbar glyphs, each drawn on an 18 x 18 tile in one ink ---------------------------

def g_display(p, ink):   # display settings: sliders
    for i, y in enumerate((5, 9, 13)):
        p.line(3, y, 14, y, ink)
        p.fill(4 + 4 * i, y - 1, 5 + 4 * i, y + 1, ink)


def g_log(p, ink):       # observer log: a page with lines and a pencil
    p.frame(3, 2, 12, 15, ink)
    for y in (5, 8, 11):
        p.line(5, y, 10, y, ink)
    p.line(15, 6, 10, 14, ink)


def g_names(p, ink):     # object names: "Ab" label beside a dot
    p.fill(3, 8, 4, 9, ink)
    p.text(7, 6, "AB", ink)



def g_drill(p, ink):     # drilldown: a galaxy ellipse
    for t in range(0, 360, 8):
        import math
        a = math.radians(t)
        x = 9 + 6 * math.cos(a) * 0.94 - 3 * math.sin(a) * 0.34
        y = 9 + 6 * math.cos(a) * 0.34 + 3 * math.sin(a) * 0.94
        p.dot(int(round(x)), int(round(y)), ink)
    p.fill(8, 8, 9, 9, ink)



def g_input_eq(p, ink):  # position input, equatorial: a grid with "R"
    p.frame(2, 2, 15, 15, ink)
    p.text(4, 6, "RD", ink)


def g_input_hz(p, ink):  # position input, horizontal: a horizon with "AZ"
    p.line(2, 14, 15, 14, ink)
    p.text(4, 5, "AZ", ink)


def g_telrad(p, ink):
    for r in (2, 4, 7):
        p.circle(9, 9, r, ink)


def g_recentre(p, ink):  # re-centre: a cross in a box
    p.frame(3, 3, 14, 14, ink)
    p.line(9, 5, 9, 12, ink)
    p.line(5, 9, 12, 9, ink)


def g_distance(p, ink):  # distance: two dots and a measured line
    p.fill(2, 12, 4, 14, ink)
    p.fill(13, 3, 15, 5, ink)
    p.line(4, 12, 13, 5, ink)


def g_goto(p, ink):      # goto: a small telescope
    p.line(3, 11, 13, 4, ink)
    p.line(4, 13, 14, 6, ink)
    p.line(8, 10, 5, 16, ink)
    p.line(8, 10, 11, 16, ink)


def g_grid(p, ink):      # grid toggle: a grid
    for v in (3, 8, 13):
        p.line(v, 2, v, 15, ink)
        p.line(2, v, 15, v, ink)


def g_info(p, ink):
    p.circle(9, 9, 7, ink)
    p.text(8, 6, "i", ink)


def g_toolbar(p, ink):   # hide or show the toolbar: a bar with an arrow
    p.frame(12, 2, 15, 15, ink)
    p.line(3, 9, 10, 9, ink)
    p.line(7, 6, 10, 9, ink)
    p.line(7, 12, 10, 9, ink)



TOOLBAR = [
    # (light id, dark id, glyph)
    (5143, 5144, g_display), (5121, 5131, g_log), (1921, 1922, g_names), (1916, 1917, g_drill),
    (5116, 5126, g_input_eq), (5117, 5127, g_input_hz), (5123, 5133, g_telrad),
    (5118, 5128, g_recentre), (5140, 5141, g_distance), (5119, 5129, g_goto),
    (5122, 5132, g_grid), (5125, 5135, g_info), (1919, 1920, g_toolbar),
]


# ---- the popup icons, 16 x 16 ----------------------------------------------------------------

def i_menu(p, ink):
    for y in (4, 8, 12):
        p.line(3, y, 12, y, ink)


def i_zoom(p, ink):
    p.circle(6, 6, 4, ink)
    p.line(9, 9, 13, 13, ink)
    p.line(10, 9, 14, 13, ink)


def i_scope(p, ink):
    g_goto(p, ink)


def i_filter(p, ink):
    p.line(2, 3, 13, 3, ink)
    p.line(2, 3, 6, 8, ink)
    p.line(13, 3, 9, 8, ink)
    p.line(6, 8, 6, 13, ink)
    p.line(9, 8, 9, 11, ink)


def i_direction(p, ink):
    p.circle(7, 7, 6, ink)
    p.line(7, 2, 7, 7, ink)
    p.line(5, 4, 7, 2, ink)
    p.line(9, 4, 7, 2, ink)


def i_centre(p, ink):
    p.circle(7, 7, 5, ink)
    p.text(6, 5, "?", ink)


POPUP_ICONS = [
    (2254, i_menu, (40, 40, 40), WHITE), (4062, i_zoom, (40, 40, 40), WHITE), (5139, i_zoom, (200, 0, 0), BLACK),
    (5070, i_scope, (40, 40, 40), WHITE), (5136, i_scope, (200, 0, 0), BLACK), (5096, i_filter, (40, 40, 40), WHITE),
    (5097, i_direction, (40, 40, 40), WHITE), (5137, i_direction, (220, 220, 220), BLACK),
    (5124, i_centre, (40, 40, 40), WHITE), (5134, i_centre, (200, 0, 0), BLACK),
]


def orientation(row, ink, background):
    """A chart frame with its north arrow and 'E', as the "View" choice turns the chart:
    0 as drawn, 1 y mirrored, 2 both mirrored, 3 x mirrored."""
    p = Picture(16, 16, background)
    p.frame(1, 1, 14, 14, ink)
    flip_y = row in (1, 2)
    flip_x = row in (2, 3)
    top, bottom = (12, 4) if flip_y else (4, 12)
    p.line(8, top, 8, bottom, ink)
    tip = 3 if not flip_y else 12
    step = 1 if not flip_y else -1
    p.line(6, tip + 2 * step, 8, tip, ink)
    p.line(10, tip + 2 * step, 8, tip, ink)
    p.text(3 if not flip_x else 10, 6, "E", ink)
    return p


def pictures():
    out = []
    light_ink, dark_ink = (30, 30, 30), (230, 230, 230)
    for light, dark, glyph in TOOLBAR:
        for pid, ink, bg in ((light, light_ink, WHITE), (dark, dark_ink, BLACK)):
            p = Picture(18, 18, bg)
            glyph(p, ink)
            out.append((pid, p, None))
    for pid, glyph, ink, bg in POPUP_ICONS:
        p = Picture(16, 16, bg)
        glyph(p, ink)
        out.append((pid, p, bg))
    for row in range(4):
        out.append((1682 + row, orientation(row, (30, 30, 30), WHITE), WHITE))
        out.append((2008 + row, orientation(row, (200, 0, 0), BLACK), BLACK))
    return sorted(out, key=lambda e: e[0])


def update_manifest(entries):
    with open(MANIFEST) as f:
        text = f.read()
    lines = [SECTION_BEGIN]
    for pid, p, key in entries:
        keytext = "none" if key is None else "#%02X%02X%02X" % key
        lines.append("%-5d %-9s %-4d %-4d %-8s %s" % (pid, "%d.png" % pid, p.w, p.h, keytext, "chart"))
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
    entries = pictures()
    ids = [e[0] for e in entries]
    if len(ids) != len(set(ids)):
        sys.exit("a picture id is drawn twice")
    for pid, p, _ in entries:
        with open(os.path.join(OUT, "%d.png" % pid), "wb") as f:
            f.write(p.png())
    update_manifest(entries)


if __name__ == "__main__":
    main()
