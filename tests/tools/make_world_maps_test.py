#!/usr/bin/python3
"""Runs tools/make_world_maps.py on a small synthetic Earth and checks the pictures the
globes and the eclipse pages read: each texture pair is two halves of one size that join
without a seam, and sea stays sea and land stays land."""
import os
import sys
import tempfile
import unittest

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_world_maps  # noqa: E402

SEA = (20, 40, 160)
LAND = (60, 140, 40)
WIDTH, HEIGHT = 720, 360


def synthetic_earth(path):
    """Sea everywhere but a land block from 100 to 60 degrees west, 20 to 50 north, and a
    second one from 10 to 40 degrees east across the equator."""
    picture = Image.new("RGB", (WIDTH, HEIGHT), SEA)
    def block(west_lon, east_lon, north, south):
        x0, x1 = int((west_lon + 180) * 2), int((east_lon + 180) * 2)
        y0, y1 = int((90 - north) * 2), int((90 - south) * 2)
        picture.paste(LAND, (x0, y0, x1, y1))
    block(-100, -60, 50, 20)
    block(10, 40, 10, -10)
    picture.save(path)


def near(a, b, tolerance=24):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


class GlobeHalves(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        earth = os.path.join(cls.folder.name, "earth.png")
        synthetic_earth(earth)
        cls.out = os.path.join(cls.folder.name, "generated")
        make_world_maps.make(earth, cls.out)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def picture(self, number):
        return Image.open(os.path.join(self.out, "%d.png" % number)).convert("RGB")

    def test_pairs_are_two_equal_halves(self):
        for west_id, side in ((6042, 460), (6044, 230)):
            west, east = self.picture(west_id), self.picture(west_id + 1)
            self.assertEqual(west.size, (side, side))
            self.assertEqual(east.size, west.size)

    def test_halves_join_without_a_seam(self):
        for west_id in (6042, 6044):
            west, east = self.picture(west_id), self.picture(west_id + 1)
            side = west.size[0]
            # The equator row runs through sea at 0 degrees: the west half's last column
            # and the east half's first column are neighbours of one picture.
            for y in (side // 4, side // 2, 3 * side // 4):
                self.assertTrue(near(west.getpixel((side - 1, y)), east.getpixel((0, y))), (west_id, y))

    def test_sea_stays_sea_and_land_land(self):
        for west_id, side in ((6042, 460), (6044, 230)):
            west, east = self.picture(west_id), self.picture(west_id + 1)
            per_degree = side / 180.0
            def at(longitude, latitude):
                x = (longitude + 180.0) * per_degree
                y = int((90.0 - latitude) * per_degree)
                return west.getpixel((int(x), y)) if x < side else east.getpixel((int(x - side), y))
            self.assertTrue(near(at(-80, 35), LAND), west_id)  # west half, land
            self.assertTrue(near(at(25, 0), LAND), west_id)    # east half, land
            self.assertTrue(near(at(-150, 0), SEA), west_id)
            self.assertTrue(near(at(120, -40), SEA), west_id)
        small = self.picture(6010)
        self.assertEqual(small.size, (240, 120))
        self.assertTrue(near(small.getpixel((int((180 - 80) * 240 / 360), int((90 - 35) * 120 / 180))), LAND))


if __name__ == "__main__":
    unittest.main()
