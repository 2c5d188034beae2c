#!/usr/bin/python3
"""Writes the reference values that the Sun, Moon and planetary theory tests compare with.

    /usr/bin/python3 tools/make_theory_fixtures.py

Needs Debian's python3-erfa and python3-ephem (the python3 first on PATH may lack them).
The outputs in tests/data/theories/ are committed; the tests only read them.

Every value comes from an implementation independent of ours:
  sun_erfa.txt        erfa.epv00 (VSOP2000-based Earth) rotated by erfa.ecm06 to the ecliptic
                      and equinox of date: the geometric Sun.
  moon_ephem.txt      ephem's Moon (its own ELP 2000-85 evaluation): geocentric ecliptic
                      longitude and latitude of date, distance.
  moon_phases.txt     instants of new and full moons from ephem.
  plan94_erfa.txt     erfa.plan94 heliocentric position and velocity.
  pluto_ephem.txt     ephem's Pluto: heliocentric ecliptic longitude and latitude of date.
"""

import math
import os
import warnings

import ephem
import erfa
import numpy as np

from fixture_rows import fixture_writer

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "theories")
write = fixture_writer(OUT)
J2000 = 2451545.0
DJD_EPHEM = 2415020.0  # ephem dates count days from this Julian day


def ephem_ut_for_tt(jd_tt):
    """The ephem date (UT) whose internal terrestrial time is jd_tt."""
    d = ephem.Date(jd_tt - DJD_EPHEM)
    for _ in range(3):
        d = ephem.Date(jd_tt - DJD_EPHEM - ephem.delta_t(d) / 86400.0)
    return d


def sun():
    # epv00 warns outside 1900-2100; it stays far better than the abridged series there.
    warnings.filterwarnings("ignore", category=erfa.ErfaWarning)
    rows = []
    for k in range(41):
        jd = 2378496.5 + k * 3652.5 + 37.25 * k  # 1800 to 2200, days of the year varied
        pvh, _pvb = erfa.epv00(jd, 0.0)
        v = -np.asarray(pvh[0])  # geocentric Sun, ICRS-aligned
        w = erfa.ecm06(jd, 0.0) @ v
        lon = math.atan2(w[1], w[0]) % (2 * math.pi)
        lat = math.atan2(w[2], math.hypot(w[0], w[1]))
        rows.append(["%.6f" % jd, "%.12f" % lon, "%.12e" % lat, "%.12f" % np.linalg.norm(w)])
    write("sun_erfa.txt",
          ["Geometric Sun: erfa.epv00 heliocentric Earth, negated, rotated by erfa.ecm06 to the",
           "mean ecliptic and equinox of date (python3-erfa %s)." % erfa.__version__,
           "jd_tt longitude_rad latitude_rad distance_au"], rows)


def moon():
    rows = []
    for k in range(61):
        jd = 2415020.5 + k * 1217.75 + 0.37 * k  # 1900 to 2100
        m = ephem.Moon()
        m.compute(ephem_ut_for_tt(jd))
        km = m.earth_distance * ephem.meters_per_au / 1000.0
        rows.append(["%.6f" % jd, "%.9f" % math.degrees(m.hlon), "%.9f" % math.degrees(m.hlat),
                     "%.4f" % km])
    write("moon_ephem.txt",
          ["Geocentric Moon, mean ecliptic and equinox of date, from python3-ephem %s"
           % ephem.__version__,
           "(hlon, hlat and earth_distance of ephem.Moon at the UT whose TT is jd_tt).",
           "jd_tt longitude_deg latitude_deg distance_km"], rows)


def moon_phases():
    rows = []
    d = ephem.Date("1990/1/1")
    for _ in range(6):
        for phase, finder in ((0, ephem.next_new_moon), (1, ephem.next_full_moon)):
            t = finder(d)
            y, mo, day, h, mi, s = t.tuple()
            rows.append(["%d" % y, "%d" % mo, "%d" % day, "%.4f" % (h + mi / 60 + s / 3600),
                         "%d" % phase])
        d = ephem.Date(d + 2617.3)  # about seven years and a few days
    write("moon_phases.txt",
          ["New (0) and full (1) moons, UT, from python3-ephem %s." % ephem.__version__,
           "year month day hour phase"], rows)


def plan94():
    rows = []
    for k in range(13):
        jd = 2415020.5 + k * 6087.75 + 0.125 * k  # 1900 to 2100
        if k == 6:
            jd = J2000
        for planet in range(8):
            pv = erfa.plan94(jd, 0.0, planet + 1)
            values = list(pv["p"]) + list(pv["v"])
            rows.append(["%.6f" % jd, "%d" % planet] + ["%.17g" % x for x in values])
    write("plan94_erfa.txt",
          ["Heliocentric position (AU) and velocity (AU/day), J2000.0 equator, from",
           "erfa.plan94 (python3-erfa %s); planet 0..7 = Mercury .. Neptune." % erfa.__version__,
           "jd_tt planet x y z vx vy vz"], rows)


def pluto():
    rows = []
    for k in range(21):
        jd = 2433282.5 + k * 1826.25 + 11.5 * k  # 1950 to 2050
        p = ephem.Pluto()
        p.compute(ephem_ut_for_tt(jd))
        rows.append(["%.6f" % jd, "%.7f" % math.degrees(p.hlon), "%.7f" % math.degrees(p.hlat),
                     "%.7f" % p.sun_distance])
    write("pluto_ephem.txt",
          ["Pluto, heliocentric ecliptic longitude and latitude of date, from python3-ephem %s."
           % ephem.__version__,
           "jd_tt longitude_deg latitude_deg radius_au"], rows)


if __name__ == "__main__":
    sun()
    moon()
    moon_phases()
    plan94()
    pluto()
