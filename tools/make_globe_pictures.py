#!/usr/bin/python3
"""Makes the globe textures and the planet pictures from public planet maps.

    /usr/bin/python3 tools/make_globe_pictures.py TEXTURES EARTH NIGHT MAPS_DIR BITMAPS_DIR

TEXTURES is the textures/ folder of Debian package stellarium-data (equirectangular maps
of the Sun, the planets and the major moons, and the ring profiles); EARTH and NIGHT are
earth.jpg and night.jpg of Debian package xplanet-images. tools/build-data.sh fetches
them and runs this script at set-up; the pictures are made on the user's machine and
never committed. Needs Debian's python3-pil.

Into MAPS_DIR, the textures the globes are drawn with, "<name>_map.jpg" for every name of
MAP_NAMES: equirectangular, column 0 at longitude -180 (east positive), the top row at
+90. "sky" and "venus ground" have no public map in these packages and are plain
generated maps. The two ring pictures are square views from above the pole, black
outside the rings, sized so that the globe drawing puts the rings at their published
radii.

Into BITMAPS_DIR (resources/bitmaps/generated), the pictures of the manifest's section of
this tool:
  6025-6033  the full Moon, 960 x 960 (disc radius 480), in nine 320 x 320 tiles row by row
  6036       the same Moon picture at 320 x 320
  6012,6013  the west and east halves of the Mars map at 640 x 320
  6014       24 frames of 22 x 20: the Mars globe turned by 15n degrees
  1897,1870  29 cells of the Jupiter disc (48 x 44 and 12 x 11) with the Red Spot at the
             rotation phase of the cell
  6008       10 cells of 32 x 15 of Saturn with its rings, the north face above, the south
             face below
"""
import math
import os
import random
import sys

from PIL import Image

import make_world_maps

MAP_NAMES = [
    "sky", "sun", "mercury", "venus clouds", "venus ground", "earth", "earth night",
    "moon", "mars", "deimos", "phobos", "jupiter", "io", "europa",
    "ganymede", "callisto", "saturn", "enceladus", "tethys", "dione", "rhea",
    "titan", "uranus", "miranda", "ariel", "umbriel", "titania", "oberon",
    "neptune", "triton", "pluto", "saturn_ring", "uranus_ring",
]

# The texture file of each map name in the stellarium-data folder; the others are made
# here ("sky", "venus ground") or come from xplanet-images ("earth", "earth night").
TEXTURE_FILES = {
    "sun": "sun.png", "mercury": "mercury.png", "venus clouds": "venus.png", "moon": "moon_4k.jpg",
    "mars": "mars.png", "deimos": "deimos.png", "phobos": "phobos.png", "jupiter": "jupiter.png",
    "io": "io.png", "europa": "europa.png", "ganymede": "ganymede.png", "callisto": "callisto.png",
    "saturn": "saturn.png", "enceladus": "enceladus.png", "tethys": "tethys.png", "dione": "dione.png",
    "rhea": "rhea.png", "titan": "titan.png", "uranus": "uranus.png", "miranda": "miranda.png",
    "ariel": "ariel.png", "umbriel": "umbriel.png", "titania": "titania.png", "oberon": "oberon.png",
    "neptune": "neptune.png", "triton": "triton.png", "pluto": "pluto.png",
}
RING_FILES = {"saturn_ring": "saturn_rings_radial.png", "uranus_ring": "uranus_rings.png"}

# The longitude at the left edge of each source map. Every map of these packages starts
# at -180: checked on the Mars map with Olympus Mons (226.2 E) and Syrtis Major (70 E),
# and on the Moon map with Mare Crisium (59.1 E) and Tycho (348.8 E), whose named places
# of the gazetteer fall on the features with this origin. A map found with another origin
# is entered here and turned.
LEFT_EDGE_LONGITUDE = {}

# Largest texture width kept; the globe drawing needs no more.
MAX_MAP_WIDTH = 1024
# The ring profiles run from the inner to the outer edge of the main rings, in equatorial
# radii of the planet.
RING_RADII = {"saturn_ring": (1.24, 2.27), "uranus_ring": (1.6, 2.0)}
RING_SIDE = 256
# The globe drawing lays a ring picture of 256 pixels across 2.4 globe radii each side
# of the centre (its ring scale over the globe radius of 5/12 of the canvas half-side).
RING_PICTURE_RADII = 2.4

MOON_SIDE = 960
MOON_TILE = 320
MARS_MAP = (640, 320)
ANGLE_FRAME = (22, 20)
ANGLE_FRAMES = 24
JUPITER_STRIPS = ((1897, 48, 44), (1870, 12, 11))
JUPITER_CELLS = 29
JUPITER_FLATTENING = 0.935
RED_SPOT_LATITUDE = -22.0
RED_SPOT = (190, 90, 60)
SATURN_CELL = (32, 15)
SATURN_TILTS = (0.0, 1.0, 2.0, 3.25, 5.25, 8.5, 13.0, 18.0, 23.0, 26.7)
SATURN_FLATTENING = 0.902

BLACK = (0, 0, 0)


def save(picture, path, **options):
    """Through a temporary name, so that a stopped run never leaves half a picture."""
    temporary = path + ".tmp"
    fmt = "JPEG" if path.endswith(".jpg") else "PNG"
    picture.save(temporary, format=fmt, **options)
    os.replace(temporary, path)


def equirectangular(picture, left_edge=-180.0):
    """The map in RGB with column 0 at longitude -180, whatever its own left edge."""
    rgb = picture.convert("RGB")
    width = rgb.size[0]
    shift = int(round(((left_edge + 180.0) % 360.0) / 360.0 * width))
    if shift == 0:
        return rgb
    turned = Image.new("RGB", rgb.size)
    # The source column 0 lies at left_edge, that is `shift` columns right of -180.
    turned.paste(rgb.crop((width - shift, 0, width, rgb.size[1])), (0, 0))
    turned.paste(rgb.crop((0, 0, width - shift, rgb.size[1])), (shift, 0))
    return turned


def limit_width(rgb):
    if rgb.size[0] <= MAX_MAP_WIDTH:
        return rgb
    return rgb.resize((MAX_MAP_WIDTH, MAX_MAP_WIDTH // 2), Image.LANCZOS)


class Texture:
    """Nearest-texel lookup of an equirectangular map by longitude and latitude."""

    def __init__(self, rgb):
        self.width, self.height = rgb.size
        self.pixels = rgb.load()

    def at(self, longitude, latitude):
        x = int((longitude + 180.0) / 360.0 * self.width) % self.width
        y = min(self.height - 1, max(0, int((90.0 - latitude) / 180.0 * self.height)))
        return self.pixels[x, y]


def globe_point(x, y, centre_longitude, tilt=0.0):
    """Longitude and latitude seen at (x, y) of a unit disc (x right, y up) whose centre
    shows `centre_longitude` and latitude `tilt`; east is to the right. None off the disc."""
    rr = x * x + y * y
    if rr > 1.0:
        return None
    z = math.sqrt(1.0 - rr)
    sb, cb = math.sin(math.radians(tilt)), math.cos(math.radians(tilt))
    latitude = math.degrees(math.asin(max(-1.0, min(1.0, y * cb + z * sb))))
    longitude = centre_longitude + math.degrees(math.atan2(x, z * cb - y * sb))
    return ((longitude + 180.0) % 360.0) - 180.0, latitude


def orthographic(texture, side, radius, centre_longitude, tilt=0.0, background=BLACK, floor=0):
    """The map as a globe of `radius` pixels centred in a square of `side` pixels."""
    picture = Image.new("RGB", (side, side), background)
    out = picture.load()
    c = side / 2.0
    for row in range(side):
        y = (c - row - 0.5) / radius
        for column in range(side):
            point = globe_point((column + 0.5 - c) / radius, y, centre_longitude, tilt)
            if point is not None:
                out[column, row] = tuple(max(floor, v) for v in texture.at(*point))
    return picture


def make_sky():
    """A dark star field: no public map of the sky fits the globe drawing."""
    rng = random.Random(20240611)
    sky = Image.new("RGB", (1024, 512), (4, 6, 18))
    pixels = sky.load()
    for _ in range(1500):
        x, y = rng.randrange(1024), rng.randrange(512)
        v = rng.choice((90, 120, 160, 220, 255))
        pixels[x, y] = (v, v, min(255, v + 20))
    return sky


def make_venus_ground():
    """A uniform rust-grey sphere: no public map of the surface of Venus is packaged."""
    return Image.new("RGB", (512, 256), (150, 112, 88))


def ring_picture(profile, inner, outer):
    """A square view from above the pole: the radial profile swept around the centre,
    black outside the rings. Each pixel takes the brightest profile texel of its radius
    span, so that narrow rings stay visible."""
    rgba = profile.convert("RGBA")
    width = rgba.size[0]
    texels = [rgba.getpixel((i, 0)) for i in range(width)]
    picture = Image.new("RGB", (RING_SIDE, RING_SIDE), BLACK)
    out = picture.load()
    c = RING_SIDE / 2.0
    radii_per_pixel = RING_PICTURE_RADII / c
    for row in range(RING_SIDE):
        for column in range(RING_SIDE):
            r = math.hypot(column + 0.5 - c, row + 0.5 - c) * radii_per_pixel
            lo, hi = r - radii_per_pixel / 2.0, r + radii_per_pixel / 2.0
            if hi < inner or lo > outer:
                continue
            a = max(0, int((max(lo, inner) - inner) / (outer - inner) * width))
            b = min(width, int(math.ceil((min(hi, outer) - inner) / (outer - inner) * width)) + 1)
            best = max(texels[a:b], key=lambda t: t[3] * (t[0] + t[1] + t[2]), default=(0, 0, 0, 0))
            if best[3] < 24:
                continue
            # Lifted clear of black, which is the picture's transparent colour.
            gain = 0.45 + 0.75 * best[3] / 255.0
            out[column, row] = tuple(max(24, min(255, int(v * gain * 1.25))) for v in best[:3])
    return picture


def moon_pictures(moon, bitmaps_dir):
    grey = Texture(moon.convert("L").convert("RGB"))
    full = orthographic(grey, MOON_SIDE, MOON_SIDE / 2.0, 0.0)
    per_row = MOON_SIDE // MOON_TILE
    for k in range(per_row * per_row):
        left, top = (k % per_row) * MOON_TILE, (k // per_row) * MOON_TILE
        save(full.crop((left, top, left + MOON_TILE, top + MOON_TILE)), os.path.join(bitmaps_dir, "%d.png" % (6025 + k)))
    save(full.resize((MOON_TILE, MOON_TILE), Image.LANCZOS), os.path.join(bitmaps_dir, "6036.png"))


def mars_pictures(mars, bitmaps_dir):
    half = MARS_MAP[0] // 2
    small = mars.resize(MARS_MAP, Image.LANCZOS)
    save(small.crop((0, 0, half, MARS_MAP[1])), os.path.join(bitmaps_dir, "6012.png"))
    save(small.crop((half, 0, MARS_MAP[0], MARS_MAP[1])), os.path.join(bitmaps_dir, "6013.png"))
    texture = Texture(mars)
    w, h = ANGLE_FRAME
    strip = Image.new("RGB", (w * ANGLE_FRAMES, h), BLACK)
    for n in range(ANGLE_FRAMES):
        # Turned by 15n degrees, the globe shows longitude -15n at its centre.
        frame = orthographic(texture, h, h / 2.0 - 1.0, -15.0 * n)
        strip.paste(frame, (n * w + (w - h) // 2, 0))
    save(strip, os.path.join(bitmaps_dir, "6014.png"))


def band_colours(rgb):
    """The mean colour of each row: the belts stay, the map's own spots go."""
    width, height = rgb.size
    pixels = rgb.load()
    rows = []
    for y in range(height):
        total = [0, 0, 0]
        for x in range(width):
            for i, v in enumerate(pixels[x, y]):
                total[i] += v
        rows.append(tuple(t // width for t in total))
    return rows


def red_spot_offset(cell):
    """The Red Spot's longitude from the centre of the disc in a cell, degrees, positive
    to the right: cells 0 to 23 carry it across the visible face from the left limb,
    cells 24 to 28 behind the planet."""
    if cell < 24:
        return -90.0 + (cell + 0.5) * 7.5
    return 90.0 + (cell - 23) * 30.0


def jupiter_cell(bands, cell_w, cell_h, cell, samples=3):
    rx, ry = cell_w / 2.0 - 0.5, (cell_w / 2.0 - 0.5) * JUPITER_FLATTENING
    ry = min(ry, cell_h / 2.0 - 0.5)
    spot = red_spot_offset(cell)
    picture = Image.new("RGB", (cell_w, cell_h), BLACK)
    out = picture.load()
    for row in range(cell_h):
        for column in range(cell_w):
            total, hits = [0, 0, 0], 0
            for sy in range(samples):
                for sx in range(samples):
                    x = (column + (sx + 0.5) / samples - cell_w / 2.0) / rx
                    y = (cell_h / 2.0 - row - (sy + 0.5) / samples) / ry
                    point = globe_point(x, y, 0.0)
                    if point is None:
                        continue
                    longitude, latitude = point
                    colour = bands[min(len(bands) - 1, int((90.0 - latitude) / 180.0 * len(bands)))]
                    # The oval spans about 24 x 12 degrees.
                    dl = (longitude - spot + 180.0) % 360.0 - 180.0
                    if (dl / 12.0) ** 2 + ((latitude - RED_SPOT_LATITUDE) / 6.0) ** 2 <= 1.0:
                        colour = RED_SPOT
                    # A darker limb, as the planet looks.
                    shade = 0.55 + 0.45 * math.sqrt(max(0.0, 1.0 - x * x - y * y))
                    for i in range(3):
                        total[i] += colour[i] * shade
                    hits += 1
            if hits:
                out[column, row] = tuple(max(8, int(t / (samples * samples))) for t in total)
    return picture


def jupiter_pictures(jupiter, bitmaps_dir):
    bands = band_colours(jupiter)
    for number, cell_w, cell_h in JUPITER_STRIPS:
        strip = Image.new("RGB", (cell_w * JUPITER_CELLS, cell_h), BLACK)
        for cell in range(JUPITER_CELLS):
            strip.paste(jupiter_cell(bands, cell_w, cell_h, cell), (cell * cell_w, 0))
        save(strip, os.path.join(bitmaps_dir, "%d.png" % number))


def saturn_sample(bands, ring, x, y, tilt):
    """The colour seen at (x, y) in equatorial radii of Saturn (y up, north up) when the
    observer is `tilt` degrees above the ring plane; None for empty sky."""
    inner, outer = RING_RADII["saturn_ring"]
    sb, cb = math.sin(math.radians(tilt)), math.cos(math.radians(tilt))
    # The globe's outline is an ellipse; its polar half-axis shrinks with the tilt.
    ry = math.sqrt(cb * cb * SATURN_FLATTENING ** 2 + sb * sb)
    on_globe = x * x + (y / ry) ** 2 <= 1.0
    ring_colour = None
    if abs(sb) > 1e-3:
        # The ring plane point seen there, and whether it lies in front of the globe.
        yp = y / sb
        rho = math.hypot(x, yp)
        if inner <= rho <= outer:
            ring_colour = ring[min(len(ring) - 1, int((rho - inner) / (outer - inner) * len(ring)))]
            in_front = -yp * cb >= 0 or not on_globe
            if ring_colour[3] < 24 or not in_front:
                ring_colour = None
    elif abs(y) < 0.08 and inner <= abs(x) <= outer:
        ring_colour = (150, 140, 120, 255)
    if ring_colour is not None:
        return tuple(int(v * (0.45 + 0.55 * ring_colour[3] / 255.0)) for v in ring_colour[:3])
    if on_globe:
        point = globe_point(x, y / ry, 0.0, tilt)
        latitude = point[1] if point else 0.0
        return bands[min(len(bands) - 1, int((90.0 - latitude) / 180.0 * len(bands)))]
    return None


def saturn_pictures(saturn, profile, bitmaps_dir, samples=3):
    bands = band_colours(saturn)
    rgba = profile.convert("RGBA")
    ring = [rgba.getpixel((i, 0)) for i in range(rgba.size[0])]
    w, h = SATURN_CELL
    _, outer = RING_RADII["saturn_ring"]
    scale = (w / 2.0 - 0.5) / outer  # pixels per equatorial radius
    strip = Image.new("RGB", (w * len(SATURN_TILTS), 2 * h), BLACK)
    out = strip.load()
    for face, sign in ((0, 1.0), (1, -1.0)):
        for cell, tilt in enumerate(SATURN_TILTS):
            for row in range(h):
                for column in range(w):
                    total, hits = [0, 0, 0], 0
                    for sy in range(samples):
                        for sx in range(samples):
                            x = (column + (sx + 0.5) / samples - w / 2.0) / scale
                            y = (h / 2.0 - row - (sy + 0.5) / samples) / scale
                            colour = saturn_sample(bands, ring, x, y, sign * tilt)
                            if colour is None:
                                continue
                            for i in range(3):
                                total[i] += colour[i]
                            hits += 1
                    if hits * 2 >= samples * samples:
                        out[cell * w + column, face * h + row] = tuple(max(8, t // hits) for t in total)
    save(strip, os.path.join(bitmaps_dir, "6008.png"))


def open_texture(folder, name):
    path = os.path.join(folder, name)
    if not os.path.isfile(path):
        raise SystemExit("make_globe_pictures: %s is missing" % path)
    try:
        picture = Image.open(path)
        picture.load()
    except OSError as e:
        raise SystemExit("make_globe_pictures: cannot read %s: %s" % (path, e))
    return picture


def make(textures, earth_path, night_path, maps_dir, bitmaps_dir):
    os.makedirs(maps_dir, exist_ok=True)
    os.makedirs(bitmaps_dir, exist_ok=True)
    maps = {"sky": make_sky(), "venus ground": make_venus_ground()}
    maps["earth"] = limit_width(make_world_maps.read_earth(earth_path))
    maps["earth night"] = limit_width(make_world_maps.read_earth(night_path))
    for name, file in TEXTURE_FILES.items():
        maps[name] = limit_width(equirectangular(open_texture(textures, file), LEFT_EDGE_LONGITUDE.get(file, -180.0)))
    for name, file in RING_FILES.items():
        maps[name] = ring_picture(open_texture(textures, file), *RING_RADII[name])
    for name in MAP_NAMES:
        save(maps[name], os.path.join(maps_dir, "%s_map.jpg" % name), quality=92)

    moon_pictures(maps["moon"], bitmaps_dir)
    mars_pictures(maps["mars"], bitmaps_dir)
    jupiter_pictures(maps["jupiter"], bitmaps_dir)
    saturn_pictures(maps["saturn"], open_texture(textures, RING_FILES["saturn_ring"]), bitmaps_dir)


def main(argv):
    if len(argv) != 6:
        sys.stderr.write("usage: make_globe_pictures.py TEXTURES EARTH NIGHT MAPS_DIR BITMAPS_DIR\n")
        return 2
    make(*argv[1:])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
