#!/usr/bin/python3
"""Writes the reference rows the planet view tests compare with, from python3-ephem 4.1:

  tests/data/planets/jupiter_cml.txt
      Jupiter's System II central meridian (ephem's cmlII, the IAU rotation
      W = 43.3 + 870.27 d) at 0h UT of 50 dates from 1990 to 2030, among them 1992-12-16,
      2000-03-01 and 2025-03-01, on both sides of opposition.
  tests/data/planets/mars_moons.txt
      The angle of Phobos and of Deimos along their orbits from the Earth's direction
      (degrees, 0 nearest the Earth), at 150 instants from 2000 to 2039, computed from
      ephem's moon offsets as tools/fit_mars_moons.py does.

python3-ephem is not a build dependency: the tests read the committed files.

Run:  /usr/bin/python3 tools/make_planets_fixtures.py
"""

import math
import os
import sys

import ephem

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fit_mars_moons import DJD, moon_phase  # noqa: E402
from fixture_rows import ROOT, fixture_writer  # noqa: E402

write = fixture_writer(os.path.join(ROOT, "tests", "data", "planets"))


def jupiter_rows():
    dates = [ephem.Date("1992/12/16"), ephem.Date("2000/3/1"), ephem.Date("2025/3/1")]
    start = ephem.Date("1990/1/1")
    for i in range(47):
        dates.append(ephem.Date(start + i * 311.0))
    rows = []
    for date in sorted(dates):
        jd = float(date) + DJD
        jupiter = ephem.Jupiter()
        jupiter.compute(date)
        rows.append([f"{jd:.1f}", f"{math.degrees(float(jupiter.cmlII)):.3f}"])
    return rows


def mars_moon_rows():
    rows = []
    jd = 2451544.5 + 13.37
    while jd < 2466154.5:
        rows.append([f"{jd:.5f}"] + [f"{moon_phase(jd, body):.3f}" for body in (ephem.Phobos, ephem.Deimos)])
        jd += 97.3
    return rows


def main():
    write("jupiter_cml.txt",
          ["Jupiter's System II central meridian at 0h UT, python3-ephem " + ephem.__version__ + " cmlII",
           "columns: julian_day_ut cml_ii_degrees"],
          jupiter_rows())
    write("mars_moons.txt",
          ["Phobos and Deimos: angle along the orbit from the Earth's direction, degrees,",
           "from python3-ephem " + ephem.__version__ + " moon offsets (tools/fit_mars_moons.py moon_phase)",
           "columns: julian_day_ut phobos_degrees deimos_degrees"],
          mars_moon_rows())


if __name__ == "__main__":
    main()
