#!/usr/bin/python3
"""Writes the reference values the precession, nutation and constellation tests compare
against, computed with independent public implementations of the same models:

  tests/data/astro/nutation_precession_erfa.txt  python3-erfa 2.0: nut80, obl80, eqeq94,
      pmat76, nutm80 and gmst82 at dates from 1800 to 2200, and prec76 between pairs of
      dates;
  tests/data/astro/earth_horizon_erfa.txt        python3-erfa 2.0: the Earth's state (epv00)
      and horizontal coordinates (gmst82 + eqeq94, hd2ae) of places of date;
  tests/data/astro/constellations_ephem.txt      python3-ephem 4.1: constellation() of
      J2000.0 positions: a random sweep, points close to every boundary row, and points
      around both poles.

Run:  /usr/bin/python3 tools/make_apparent_fixtures.py
"""
import math
import os
import random

import erfa
import ephem
import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "astro")
DATA = "/work/shared/data/astro"

RAD_TO_ARCSEC = 206264.80624709636
JD_1800 = 2378496.5
JD_2200 = 2524593.5
B1875 = 2405889.25855


def fmt(x):
    return repr(float(x))


def precession_rotation(d1, d2):
    """prec76 angles as a rotation matrix (out = R @ in) from the mean equator of d1 to d2."""
    zeta, z, theta = erfa.prec76(d1, 0.0, d2, 0.0)
    r = np.identity(3)
    r = erfa.rz(-zeta, r)
    r = erfa.ry(theta, r)
    r = erfa.rz(-z, r)
    return r


def write_nutation_precession(rng):
    path = os.path.join(OUT, "nutation_precession_erfa.txt")
    lines = [
        "# IAU 1980 nutation and IAU 1976 precession by python3-erfa %s (tools/make_apparent_fixtures.py)." % erfa.__version__,
        "# Rows 'date': jd dpsi deps (arcsec, nut80) eps0 (deg, obl80) ee (s of time, eqeq94)",
        "#   gmst (hours, gmst82 of jd taken as UT1) P[9] (pmat76, J2000 to date, usual x y z order)",
        "#   N[9] (nutm80, mean to true of date), all at TT = jd.",
        "# Rows 'prec': jd1 jd2 R[9] (prec76 angles as a rotation from the equator of jd1 to jd2).",
    ]
    dates = list(np.linspace(JD_1800, JD_2200, 181))
    dates += [2451545.0, 2446895.5, 2462088.69, 2448976.5]
    dates += [rng.uniform(JD_1800, JD_2200) for _ in range(40)]
    for jd in dates:
        dpsi, deps = erfa.nut80(jd, 0.0)
        eps0 = erfa.obl80(jd, 0.0)
        ee = erfa.eqeq94(jd, 0.0)
        gmst = erfa.gmst82(jd, 0.0)
        p = erfa.pmat76(jd, 0.0)
        n = erfa.nutm80(jd, 0.0)
        values = [jd, dpsi * RAD_TO_ARCSEC, deps * RAD_TO_ARCSEC, math.degrees(eps0),
                  ee * RAD_TO_ARCSEC / 15.0, math.degrees(gmst) / 15.0]
        values += list(p.ravel()) + list(n.ravel())
        lines.append("date " + " ".join(fmt(v) for v in values))
    for _ in range(60):
        jd1 = rng.uniform(JD_1800, JD_2200)
        jd2 = rng.uniform(JD_1800, JD_2200)
        r = precession_rotation(jd1, jd2)
        lines.append("prec " + " ".join(fmt(v) for v in [jd1, jd2] + list(r.ravel())))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote", path, len(dates), "dates")


def write_earth_horizon(rng):
    path = os.path.join(OUT, "earth_horizon_erfa.txt")
    lines = [
        "# The Earth's state and horizontal coordinates by python3-erfa %s (tools/make_apparent_fixtures.py)." % erfa.__version__,
        "# Rows 'earth': jd (TDB) heliocentric x y z (AU) vx vy vz (AU/day), barycentric x y z vx vy vz",
        "#   (epv00, BCRS axes, taken as the J2000.0 equator).",
        "# Rows 'horizon': jd (TT) deltaT (s, TT - UT1) latitude longitude (deg, east positive)",
        "#   ra (hours) dec (deg) of the true equator of date -> zenith distance azimuth (deg, from",
        "#   north through east), with the apparent sidereal time gmst82(UT1) + eqeq94(TT).",
    ]
    for jd in list(np.linspace(JD_1800, JD_2200, 25)) + [2448976.5, 2462088.69]:
        h, b = erfa.epv00(jd, 0.0)
        values = [jd] + list(h["p"]) + list(h["v"]) + list(b["p"]) + list(b["v"])
        lines.append("earth " + " ".join(fmt(v) for v in values))
    for _ in range(200):
        jd = rng.uniform(JD_1800, JD_2200)
        delta_t = rng.uniform(-5.0, 120.0)
        lat = math.degrees(math.asin(rng.uniform(-1.0, 1.0)))
        lon = rng.uniform(-180.0, 180.0)
        ra = rng.uniform(0.0, 24.0)
        dec = math.degrees(math.asin(rng.uniform(-1.0, 1.0)))
        ut1 = jd - delta_t / 86400.0
        gast = erfa.gmst82(ut1, 0.0) + erfa.eqeq94(jd, 0.0)
        ha = gast + math.radians(lon) - math.radians(ra * 15.0)
        az, alt = erfa.hd2ae(ha, math.radians(dec), math.radians(lat))
        values = [jd, delta_t, lat, lon, ra, dec, 90.0 - math.degrees(alt), math.degrees(az)]
        lines.append("horizon " + " ".join(fmt(v) for v in values))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote", path)


def read_boundaries():
    rows = []
    with open(os.path.join(DATA, "constellation_boundaries_roman1987.txt")) as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            a, b, c, name = line.split()
            rows.append((round(float(a) * 3600) / 3600.0, round(float(b) * 3600) / 3600.0,
                         round(float(c) * 3600) / 3600.0, name))
    return rows


def to_j2000(ra_hours, dec_deg):
    """A B1875.0 place carried to J2000.0 with the IAU 1976 precession."""
    r = precession_rotation(B1875, 2451545.0)
    a, d = math.radians(ra_hours * 15.0), math.radians(dec_deg)
    v = r @ np.array([math.cos(d) * math.cos(a), math.cos(d) * math.sin(a), math.sin(d)])
    ra = math.degrees(math.atan2(v[1], v[0])) / 15.0 % 24.0
    dec = math.degrees(math.asin(max(-1.0, min(1.0, v[2]))))
    return ra, dec


def ephem_name(ra_hours, dec_deg):
    name = ephem.constellation((math.radians(ra_hours * 15.0), math.radians(dec_deg)))[0]
    # ephem names the two parts of Serpens apart; the table has one Serpens.
    return "Ser" if name in ("Se1", "Se2") else name


def write_constellations(rng):
    path = os.path.join(OUT, "constellations_ephem.txt")
    lines = [
        "# Constellations of J2000.0 positions by python3-ephem %s constellation() (tools/make_apparent_fixtures.py)." % ephem.__version__,
        "# Se1 and Se2 are written Ser. Kinds: sweep (random over the sphere), edge (a few",
        "# seconds from a boundary of Roman's table, placed at B1875.0 and carried to J2000.0",
        "# with IAU 1976 precession), pole (near and at the celestial poles).",
        "# kind ra_hours dec_deg abbreviation",
    ]
    for _ in range(2000):
        ra = rng.uniform(0.0, 24.0)
        dec = math.degrees(math.asin(rng.uniform(-1.0, 1.0)))
        lines.append("sweep %.9f %.9f %s" % (ra, dec, ephem_name(ra, dec)))
    # 2 arc seconds in declination and 2 s of time in right ascension from the edge: far
    # outside the difference between precession implementations, and outside the
    # resolution of ephem's own copy of the table (about 1 s of time).
    dd = 2.0 / 3600.0
    dra = 2.0 / 3600.0
    for ra_low, ra_high, dec_low, _ in read_boundaries():
        if dec_low <= -89.999:
            continue
        mid = 0.5 * (ra_low + ra_high)
        for ra_b, dec_b in ((mid, dec_low + dd), (mid, dec_low - dd),
                            (ra_low + dra, dec_low + 0.01), ((ra_low - dra) % 24.0, dec_low + 0.01),
                            (ra_high - dra, dec_low + 0.01), (ra_high % 24.0 + dra, dec_low + 0.01)):
            if dec_b >= 90.0:
                continue
            ra, dec = to_j2000(ra_b, dec_b)
            lines.append("edge %.9f %.9f %s" % (ra, dec, ephem_name(ra, dec)))
    for dec in (90.0, 89.999, 89.9, 89.5, -89.5, -89.9, -89.999, -90.0):
        for k in range(12):
            ra = 2.0 * k + 0.37
            lines.append("pole %.9f %.9f %s" % (ra, dec, ephem_name(ra, dec)))
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    print("wrote", path, len(lines) - 5, "positions")


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    rng = random.Random(20240611)
    write_nutation_precession(rng)
    write_constellations(rng)
    write_earth_horizon(rng)
