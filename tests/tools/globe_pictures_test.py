#!/usr/bin/python3
"""The globe picture tool on tiny synthetic textures, in a temporary folder:

    /usr/bin/python3 tests/tools/globe_pictures_test.py SOURCE_DIR
"""
import math
import os
import shutil
import sys
import tempfile
import unittest

from PIL import Image

ROOT = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import make_globe_pictures as tool  # noqa: E402

GREY = (120, 120, 120)
MARK = (255, 0, 0)


def texture(width, marks=(), background=GREY):
    """A plain map of width x width/2 with 2 x 2 marker texels starting at (longitude,
    latitude)."""
    picture = Image.new("RGB", (width, width // 2), background)
    for longitude, latitude, colour in marks:
        x = int((longitude + 180.0) / 360.0 * width) % width
        y = min(width // 2 - 2, int((90.0 - latitude) / 180.0 * (width // 2)))
        for dx in (0, 1):
            for dy in (0, 1):
                picture.putpixel(((x + dx) % width, y + dy), colour)
    return picture


def find(picture, colour, tolerance=60, match=None):
    """The mean place of the pixels near `colour` (or for which `match` holds), or None."""
    rgb = picture.convert("RGB")
    w, h = rgb.size
    pixels = rgb.load()
    xs, ys = [], []
    near = match or (lambda p: sum(abs(a - b) for a, b in zip(p, colour)) < tolerance)
    for y in range(h):
        for x in range(w):
            if near(pixels[x, y]):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return sum(xs) / len(xs), sum(ys) / len(ys)


def manifest_sizes():
    sizes = {}
    with open(os.path.join(ROOT, "resources", "bitmaps", "manifest.txt")) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 4 and parts[1].startswith("generated/") and not line.startswith("#"):
                sizes[parts[1][len("generated/"):]] = (int(parts[2]), int(parts[3]))
    return sizes


class GlobePictures(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="vk_globe_")
        textures = os.path.join(cls.dir, "textures")
        os.makedirs(textures)
        for name in set(tool.TEXTURE_FILES.values()):
            texture(64).save(os.path.join(textures, name))
        # Moon: Tycho and Mare Crisium; Mars: a marker at -180 and every 15 degrees west of 0.
        # The Moon picture is grey: the markers differ in grey level.
        texture(720, [(-11.2153, -43.2958, (255, 255, 255)), (59.1037, 16.1774, (190, 190, 190))],
                background=(40, 40, 40)).save(os.path.join(textures, "moon_4k.jpg"), quality=100)
        texture(360, [(-180.0, 0.0, MARK)]).save(os.path.join(textures, "mars.png"))
        Image.new("RGBA", (64, 2), (200, 190, 170, 255)).save(os.path.join(textures, "saturn_rings_radial.png"))
        Image.new("LA", (64, 2), (150, 255)).save(os.path.join(textures, "uranus_rings.png"))
        texture(64).save(os.path.join(cls.dir, "earth.jpg"))
        texture(64).save(os.path.join(cls.dir, "night.jpg"))
        cls.maps = os.path.join(cls.dir, "maps")
        cls.bitmaps = os.path.join(cls.dir, "generated")
        tool.make(textures, os.path.join(cls.dir, "earth.jpg"), os.path.join(cls.dir, "night.jpg"), cls.maps, cls.bitmaps)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir)

    def test_every_map_name_and_every_manifest_size(self):
        for name in tool.MAP_NAMES:
            self.assertTrue(os.path.isfile(os.path.join(self.maps, "%s_map.jpg" % name)), name)
        sizes = manifest_sizes()
        made = sorted(f for f in os.listdir(self.bitmaps) if f.endswith(".png"))
        self.assertTrue(made)
        for f in made:
            self.assertIn(f, sizes)
            self.assertEqual(Image.open(os.path.join(self.bitmaps, f)).size, sizes[f], f)

    def test_origin_shift_puts_minus_180_in_column_0(self):
        # A map whose left edge is 0 degrees: its column 0 moves to the middle.
        src = texture(360, [(-180.0, 0.0, MARK)])
        turned = tool.equirectangular(src, left_edge=0.0)
        self.assertEqual(find(turned, MARK)[0] // 1, 180.0)
        self.assertLess(find(tool.equirectangular(src), MARK)[0], 2)
        mars = Image.open(os.path.join(self.maps, "mars_map.jpg"))
        self.assertLess(find(mars, MARK, 120)[0], 2)

    def test_moon_features_land_where_the_database_puts_them(self):
        full = Image.new("RGB", (960, 960))
        for k in range(9):
            full.paste(Image.open(os.path.join(self.bitmaps, "%d.png" % (6025 + k))), ((k % 3) * 320, (k // 3) * 320))
        for (longitude, latitude), grey in (((-11.2153, -43.2958), 255), ((59.1037, 16.1774), 190)):
            column = 480 * (1 + math.sin(math.radians(longitude)) * math.cos(math.radians(latitude)))
            row = 480 * (1 - math.sin(math.radians(latitude)))
            x, y = find(full, (grey, grey, grey), 40)
            self.assertLess(abs(x - column), 2.5, grey)
            self.assertLess(abs(y - row), 2.5, grey)

    def test_mars_halves_cut_at_the_map_rule(self):
        west = Image.open(os.path.join(self.bitmaps, "6012.png"))
        x, y = find(west, MARK, 200)
        self.assertLess(x, 2.5)
        self.assertAlmostEqual(y, 160, delta=2)

    def test_angle_strip_frame_n_centres_longitude_minus_15n(self):
        # Bands of 15 degrees, band n centred on longitude -15n.
        bands = Image.new("RGB", (360, 180))
        for x in range(360):
            n = int(round(-(x + 0.5 - 180.0) / 15.0)) % 24
            for y in range(180):
                bands.putpixel((x, y), (n * 10, 255, 0))
        texture_ = tool.Texture(bands)
        for n in (0, 1, 6, 12, 23):
            frame = tool.orthographic(texture_, 20, 9.0, -15.0 * n)
            self.assertEqual(frame.getpixel((10, 10))[:2], (n * 10, 255), n)

    def test_ring_picture_key_and_radii(self):
        ring = Image.open(os.path.join(self.maps, "saturn_ring_map.jpg")).convert("RGB")
        self.assertEqual(ring.size, (tool.RING_SIDE, tool.RING_SIDE))
        self.assertTrue(all(v < 8 for v in ring.getpixel((2, 0))), "the key colour is black")
        c = tool.RING_SIDE / 2
        per_radius = c / tool.RING_PICTURE_RADII
        row = [sum(ring.getpixel((int(c + r * per_radius), int(c)))) for r in (1.1, 1.3, 2.2, 2.35)]
        self.assertLess(row[0], 30)
        self.assertGreater(row[1], 200)
        self.assertGreater(row[2], 200)
        self.assertLess(row[3], 30)

    def test_red_spot_near_the_centre_in_cells_11_and_12_and_at_a_limb_in_cell_0(self):
        def reddish(p):
            return p[0] > p[1] + 25
        strip = Image.open(os.path.join(self.bitmaps, "1897.png"))
        for cell, near_centre in ((11, True), (12, True), (0, False)):
            spot = find(strip.crop((cell * 48, 0, cell * 48 + 48, 44)), None, match=reddish)
            self.assertIsNotNone(spot, cell)
            self.assertEqual(abs(spot[0] - 24) < 5, near_centre, (cell, spot))
            self.assertGreater(spot[1], 22, "south of the equator")
        self.assertIsNone(find(strip.crop((26 * 48, 0, 27 * 48, 44)), None, match=reddish), "far side")


if __name__ == "__main__":
    unittest.main()
