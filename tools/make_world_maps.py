#!/usr/bin/python3
"""Makes the world map pictures of the site form from a public map of the Earth.

    /usr/bin/python3 tools/make_world_maps.py EARTH_MAP OUT_DIR

EARTH_MAP is an equirectangular picture of the Earth, 180 degrees west at its left edge
and the north pole along its top: earth.jpg of Debian package xplanet-images, a NASA
Visible Earth picture (not copyrighted). tools/build-data.sh fetches it and runs this
script at set-up; the pictures are made on the user's machine and never committed.
Needs Debian's python3-pil.

  6010        the small map, 240 x 120, in colour (bitmap 1221 is the same picture)
  6015, 6016  the west and east halves of the large map, 1207 x 1207 each, land white
              on a black sea; the sea is the picture's top-left colour, which the form
              leaves out so that its own sea colour shows. A turn of longitude is 2415
              pixels and the poles are 1207 pixels apart.
  6042, 6043  the west and east halves of the Earth in colour for the globes, 460 x 460
              each (the height the globe's radius rule is written for)
  6044, 6045  the same halves at 230 x 230, for low-resolution screens

The land is told from the sea by colour: the sea is blue, the land green, brown or white.
White sea ice is counted as sea past 80 degrees north, and ice as land in the far south.
"""
import os
import sys

from PIL import Image, ImageFilter

SMALL = (240, 120)
# The globe textures: (west id, side of a half).
GLOBE_HALVES = ((6042, 460), (6044, 230))
HALF = 1207
PERIOD = 2415

LAND = 255
SEA = 0


def is_ice(r, g, b):
    return min(r, g, b) > 140 and max(r, g, b) - min(r, g, b) < 60


def is_sea(r, g, b, latitude):
    if latitude < -76.0:
        return False
    if is_ice(r, g, b):
        # Past 80 degrees north the white is the pack ice of the Arctic Ocean.
        return latitude > 80.0
    return b > r + 12 and b + 8 >= g


def land_mask(earth):
    """A picture of the same size: LAND or SEA for each pixel of the Earth map."""
    rgb = earth.convert("RGB")
    width, height = rgb.size
    pixels = rgb.load()
    mask = Image.new("L", (width, height), SEA)
    out = mask.load()
    for y in range(height):
        latitude = 90.0 - (y + 0.5) * 180.0 / height
        for x in range(width):
            r, g, b = pixels[x, y]
            out[x, y] = SEA if is_sea(r, g, b, latitude) else LAND
    # Specks of a few pixels (clouds, glints, melt ponds) are noise of the picture.
    return mask.filter(ImageFilter.MedianFilter(5))


def save(picture, path):
    """Through a temporary name, so that a stopped run never leaves half a picture."""
    temporary = path + ".tmp"
    picture.save(temporary, format="PNG", optimize=True)
    os.replace(temporary, path)


def read_earth(earth_path):
    """The Earth map as an RGB picture (what every picture made from it starts from)."""
    earth = Image.open(earth_path)
    earth.load()
    return earth.convert("RGB")


def globe_halves(earth, side):
    """The west and east halves of the whole map, each side x side pixels."""
    whole = earth.resize((2 * side, side), Image.LANCZOS)
    return whole.crop((0, 0, side, side)), whole.crop((side, 0, 2 * side, side))


def make(earth_path, out_dir):
    earth = read_earth(earth_path)
    os.makedirs(out_dir, exist_ok=True)

    save(earth.resize(SMALL, Image.LANCZOS), os.path.join(out_dir, "6010.png"))
    for west_id, side in GLOBE_HALVES:
        west, east = globe_halves(earth, side)
        save(west, os.path.join(out_dir, "%d.png" % west_id))
        save(east, os.path.join(out_dir, "%d.png" % (west_id + 1)))

    large = land_mask(earth).resize((PERIOD, HALF), Image.BILINEAR)
    large = large.point(lambda v: LAND if v >= 128 else SEA).convert("1")
    for number, left in ((6015, 0), (6016, HALF)):
        half = large.crop((left, 0, left + HALF, HALF))
        # The top-left pixel is the colour left out when the half is drawn: the sea.
        half.putpixel((0, 0), SEA)
        save(half, os.path.join(out_dir, "%d.png" % number))


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: make_world_maps.py EARTH_MAP OUT_DIR\n")
        return 2
    make(argv[1], argv[2])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
