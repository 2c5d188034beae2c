#!/usr/bin/python3
"""Draws the program's own bitmaps into resources/bitmaps/<id>.png.

Run with Debian's python3 (python3-pil):  /usr/bin/python3 tools/make_bitmaps.py
Every picture is drawn here from shapes, so the output is the same on every run.

  3999  object symbols, 13 cells of 18 x 18 in one row, key black
  4111  the same at 29 x 29 (377 x 29), key black
  4109  tool icons for a white chart, 8 x 3 cells of 21 x 21, key white
  4110  tool icons for a black chart, 8 x 3 cells of 21 x 21, key black

Symbol cells follow the body numbering: 0 Sun, 1 Moon, 2 Mercury, 3 Venus, 4 Mars,
5 Jupiter, 6 Saturn, 7 Uranus, 8 Neptune, 9 Pluto, 10 Earth, 11 comet, 12 minor planet.
Tool icon columns: 0 star, 1 galaxy, 2 open cluster, 3 globular cluster, 4 nebula (and
any other object), 5 planetary nebula, 6 cluster with nebula, 7 multiple star. Row 0 is
a small variant, row 1 the one drawn at screen scale 1, row 2 the bolder one drawn at
larger scales.
"""
import math
import os
import sys

from PIL import Image, ImageDraw

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "resources", "bitmaps")

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


def symbol_strip(cell):
    """13 solar-system symbols on black (the key), each centred in its cell."""
    img = Image.new("RGB", (13 * cell, cell), BLACK)
    d = ImageDraw.Draw(img)
    s = cell / 18.0

    def box(i, r):
        cx, cy = i * cell + cell / 2.0 - 0.5, cell / 2.0 - 0.5
        return [cx - r, cy - r, cx + r, cy + r], cx, cy

    # 0 Sun: a disc with rays.
    b, cx, cy = box(0, 4.5 * s)
    for k in range(8):
        a = k * math.pi / 4
        d.line([cx + 5.5 * s * math.cos(a), cy + 5.5 * s * math.sin(a),
                cx + 8 * s * math.cos(a), cy + 8 * s * math.sin(a)], fill=(255, 200, 40), width=max(1, int(s)))
    d.ellipse(b, fill=(255, 220, 60), outline=(255, 160, 0))
    # 1 Moon: a pale disc with grey maria.
    b, cx, cy = box(1, 6.5 * s)
    d.ellipse(b, fill=(235, 235, 215))
    for mx, my, mr in ((-2.0, -2.0, 1.8), (1.5, -0.5, 1.5), (-0.5, 2.5, 1.2)):
        d.ellipse([cx + (mx - mr) * s, cy + (my - mr) * s, cx + (mx + mr) * s, cy + (my + mr) * s],
                  fill=(170, 170, 160))
    # 2 to 9 and 10: planets as discs of their colours, with a mark each.
    planets = {
        2: (3.0, (170, 170, 170)),  # Mercury
        3: (4.5, (250, 235, 170)),  # Venus
        4: (4.0, (230, 90, 50)),    # Mars
        5: (6.5, (220, 190, 150)),  # Jupiter
        6: (4.5, (230, 210, 140)),  # Saturn
        7: (4.5, (140, 220, 230)),  # Uranus
        8: (4.5, (80, 120, 240)),   # Neptune
        9: (2.5, (190, 150, 120)),  # Pluto
        10: (5.0, (60, 140, 220)),  # Earth
    }
    for i, (r, colour) in planets.items():
        b, cx, cy = box(i, r * s)
        if i == 6:  # Saturn's ring behind and in front
            d.ellipse([cx - 8 * s, cy - 2.5 * s, cx + 8 * s, cy + 2.5 * s], outline=(200, 180, 120),
                      width=max(1, int(s)))
        d.ellipse(b, fill=colour)
        if i == 5:  # Jupiter's bands
            for dy in (-2, 2):
                d.line([b[0] + 1, cy + dy * s, b[2] - 1, cy + dy * s], fill=(170, 120, 80), width=max(1, int(s)))
        if i == 10:  # Earth's land
            d.ellipse([cx - 2 * s, cy - 3 * s, cx + 2.5 * s, cy + 1 * s], fill=(60, 170, 80))
        if i == 6:
            d.line([cx - 8 * s, cy + 1 * s, cx + 8 * s, cy + 1 * s], fill=(200, 180, 120), width=max(1, int(s)))
    # 11 comet: a head and a fanning tail.
    b, cx, cy = box(11, 0)
    head = (cx + 4 * s, cy + 4 * s)
    for k in (-2, 0, 2):
        d.line([head[0], head[1], cx - 7 * s + k * s, cy - 7 * s - k * s], fill=(150, 210, 255), width=1)
    d.ellipse([head[0] - 2.5 * s, head[1] - 2.5 * s, head[0] + 2.5 * s, head[1] + 2.5 * s], fill=(220, 240, 255))
    # 12 minor planet: a small irregular grey body.
    b, cx, cy = box(12, 0)
    pts = [(cx + 3.5 * s * math.cos(a) * (1 + 0.25 * math.sin(3 * a)),
            cy + 2.5 * s * math.sin(a) * (1 + 0.2 * math.cos(2 * a))) for a in
           [k * math.pi / 6 for k in range(12)]]
    d.polygon(pts, fill=(160, 150, 140), outline=(200, 190, 180))
    return img


def tool_strip(background, colours):
    """8 x 3 tool icons of 21 x 21 on the key colour."""
    cell = 21
    img = Image.new("RGB", (8 * cell, 3 * cell), background)
    d = ImageDraw.Draw(img)
    for row in range(3):
        # Row 0 small, row 1 normal, row 2 bold.
        scale = (0.7, 1.0, 1.0)[row]
        width = (1, 1, 2)[row]
        for col in range(8):
            cx, cy = col * cell + 10, row * cell + 10
            draw_tool(d, col, cx, cy, scale, width, colours)
    return img


def draw_tool(d, col, cx, cy, scale, width, colours):
    def r(v):
        return v * scale

    if col == 0:    # star: a dot with four short rays
        c = colours["star"]
        d.ellipse([cx - r(2), cy - r(2), cx + r(2), cy + r(2)], fill=c)
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            d.line([cx + dx * r(4), cy + dy * r(4), cx + dx * r(7), cy + dy * r(7)], fill=c, width=width)
    elif col == 1:  # galaxy: a tilted ellipse
        c = colours["galaxy"]
        pts = []
        for k in range(36):
            a = k * math.pi / 18
            x, y = r(8) * math.cos(a), r(3.5) * math.sin(a)
            t = math.radians(-30)
            pts.append((cx + x * math.cos(t) - y * math.sin(t), cy + x * math.sin(t) + y * math.cos(t)))
        d.polygon(pts, outline=c, width=width)
    elif col == 2:  # open cluster: a dotted circle
        c = colours["cluster"]
        for k in range(12):
            a = k * math.pi / 6
            x, y = cx + r(7.5) * math.cos(a), cy + r(7.5) * math.sin(a)
            d.ellipse([x - width / 2.0, y - width / 2.0, x + width / 2.0, y + width / 2.0], fill=c)
    elif col == 3:  # globular cluster: a circle with a cross
        c = colours["cluster"]
        d.ellipse([cx - r(7.5), cy - r(7.5), cx + r(7.5), cy + r(7.5)], outline=c, width=width)
        d.line([cx - r(7.5), cy, cx + r(7.5), cy], fill=c, width=width)
        d.line([cx, cy - r(7.5), cx, cy + r(7.5)], fill=c, width=width)
    elif col == 4:  # nebula: a square
        c = colours["nebula"]
        d.rectangle([cx - r(7), cy - r(7), cx + r(7), cy + r(7)], outline=c, width=width)
    elif col == 5:  # planetary nebula: a circle with four ticks
        c = colours["nebula"]
        d.ellipse([cx - r(5), cy - r(5), cx + r(5), cy + r(5)], outline=c, width=width)
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            d.line([cx + dx * r(5), cy + dy * r(5), cx + dx * r(9), cy + dy * r(9)], fill=c, width=width)
    elif col == 6:  # cluster with nebula: a square around a dotted circle
        d.rectangle([cx - r(8), cy - r(8), cx + r(8), cy + r(8)], outline=colours["nebula"], width=width)
        for k in range(8):
            a = k * math.pi / 4
            x, y = cx + r(5) * math.cos(a), cy + r(5) * math.sin(a)
            d.point((x, y), fill=colours["cluster"])
    elif col == 7:  # multiple star: a dot with a line through it
        c = colours["star"]
        d.ellipse([cx - r(3), cy - r(3), cx + r(3), cy + r(3)], fill=c)
        d.line([cx - r(8), cy, cx + r(8), cy], fill=c, width=width)


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = {
        3999: symbol_strip(18),
        4111: symbol_strip(29),
        4109: tool_strip(WHITE, {"star": (20, 20, 20), "galaxy": (200, 30, 30), "cluster": (180, 130, 0),
                                 "nebula": (0, 130, 60)}),
        4110: tool_strip(BLACK, {"star": (240, 240, 240), "galaxy": (255, 110, 110), "cluster": (255, 220, 80),
                                 "nebula": (110, 230, 140)}),
    }
    expected = {3999: (234, 18), 4111: (377, 29), 4109: (168, 63), 4110: (168, 63)}
    for pid, img in pictures.items():
        if img.size != expected[pid]:
            sys.exit("bitmap %d is %s, expected %s" % (pid, img.size, expected[pid]))
        img.save(os.path.join(OUT, "%d.png" % pid), optimize=True)


if __name__ == "__main__":
    main()
