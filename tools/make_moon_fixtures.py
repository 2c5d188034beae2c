#!/usr/bin/python3
"""Writes the reference rows that the lunar physical ephemeris tests compare with:

  tests/data/moon/librations.txt
      the Moon's librations over 1990 to 2030 from python3-pymeeus (Moon.moon_librations,
      LGPL-3.0-or-later): the instant (JDE), the Moon's apparent ecliptic longitude and
      latitude that pymeeus used, the optical and physical librations in longitude and
      latitude. The tests feed pymeeus's own Moon into the libration (a check of the term
      lists) and the short lunar series' Moon (a check of the whole for the Moon's own
      direction).

  tests/data/moon/selenographic_sun.txt
      the Sun's colongitude and the sub-solar latitude from python3-ephem (Moon.colong and
      Moon.subsolar_lat) at instants over 1995 to 2025, the instant as Julian day UT.

Neither library is a build dependency: the tests read the committed files. Install them with
`apt-get install python3-pymeeus python3-ephem` to run this script.

Run:  /usr/bin/python3 tools/make_moon_fixtures.py
"""

import math
import os
import sys
from importlib.metadata import version

import ephem
from pymeeus.Epoch import Epoch
from pymeeus.Moon import Moon

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fixture_rows import ROOT, fixture_writer  # noqa: E402

write = fixture_writer(os.path.join(ROOT, "tests", "data", "moon"))


def librations():
    rows = []
    # Meeus's example 53.a first, then every 373.37 days (no beat with the month) to 2030.
    jdes = [2448724.5] + [2447892.5 + i * 373.37 + 0.13 * i for i in range(40)]
    for jde in jdes:
        epoch = Epoch(jde)
        lam, beta, _, _ = Moon.apparent_ecliptical_pos(epoch)
        lopt, bopt, lphys, bphys, _, _ = Moon.moon_librations(epoch)
        lo = float(lopt)
        lo = (lo + 180.0) % 360.0 - 180.0
        rows.append(["%.6f" % jde, "%.7f" % float(lam), "%.7f" % float(beta), "%.6f" % lo, "%.6f" % float(bopt),
                     "%.6f" % float(lphys), "%.6f" % float(bphys)])
    write("librations.txt", [
        "The Moon's librations, python3-pymeeus %s (Moon.moon_librations, LGPL-3.0-or-later)." % version("PyMeeus"),
        "Written by tools/make_moon_fixtures.py; degrees.",
        "jde  lambda  beta  optical_l  optical_b  physical_l  physical_b",
    ], rows)


def selenographic_sun():
    rows = []
    moon = ephem.Moon()
    start = ephem.Date("1995/1/1 00:00")
    for i in range(60):
        when = ephem.Date(start + i * 183.77 + 0.37 * i)
        moon.compute(when)
        colong = math.degrees(float(moon.colong)) % 360.0
        rows.append(["%.6f" % ephem.julian_date(when), "%.5f" % colong, "%.5f" % math.degrees(float(moon.subsolar_lat))])
    write("selenographic_sun.txt", [
        "The Sun's colongitude and the sub-solar latitude, python3-ephem %s." % version("ephem"),
        "Written by tools/make_moon_fixtures.py; Julian day UT, degrees.",
        "jd  colongitude  subsolar_latitude",
    ], rows)


librations()
selenographic_sun()
