#!/usr/bin/python3
"""Writes the reference values that the orbit, comet position and sky model tests compare
with, from python3-ephem (an implementation independent of ours):

  tests/data/objects/comet_places_ephem.txt
      "place" rows: about thirty element sets (elliptic, parabolic, hyperbolic; comets with
      g, k and asteroids with H, G) at instants where the body is at least 0.3 AU from the
      Earth: astrometric right ascension and declination of the mean equinox of date,
      distances from the Earth and the Sun, and ephem's magnitude. ephem corrects for light
      time; the program does not, which the tests' tolerance allows for (instants where the
      body moves more than 30" in its light time are left out).
      "encke" row: Meeus's example 33.b (comet Encke, 1990 October 6.0 TD) the same way.
      "orbit" rows: clearly hyperbolic orbits solved here exactly in the orbit plane (true
      anomaly, radius), each checked against ephem's heliocentric place before it is written.
      "near" rows: bodies within 0.3 AU of the Earth (1I/'Oumuamua in October 2017, and the
      first such instant of each element set above that has one), the same way.
      "built" rows: the elliptic bodies of the catalog builder's minor-body fixture
      (tests/data/tools/planets/minor.ini) from their own elements (an asteroid's epoch, mean
      anomaly and semi-major axis; a comet's perihelion time and distance), for the test of
      the records the builder makes from them: kind, e, jd(TT), year, ra, dec, delta, r.
  tests/data/objects/sun_moon_ephem.txt
      "sun" rows: ephem's apparent geocentric Sun (right ascension hours, declination
      degrees) at Julian days (UT).
      "moon" rows: ephem's apparent topocentric Moon for a site at height 0 without
      refraction: Julian day (UT), latitude, longitude (east), right ascension, declination.

Instants are terrestrial time in the program's computation (its jd argument is both the
comet's and the Sun's time); ephem is given the matching UT through its own Delta T.
Elements are rounded to 32-bit floats first, as the comet records and libastro keep them.

Run:  /usr/bin/python3 tools/make_objects_fixtures.py
"""

import math
import os
import struct

import ephem

from fixture_rows import fixture_writer

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "objects")
write = fixture_writer(OUT)
DJD_EPHEM = 2415020.0  # ephem dates count days from this Julian day
GAUSS_K = 0.01720209895
LIGHT_DAYS_PER_AU = 0.0057755183


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def fmt(x):
    return "%.12g" % x


def ut_date(jd_tt):
    """The ephem date (UT) whose terrestrial time is jd_tt."""
    d = jd_tt - DJD_EPHEM
    return ephem.Date(d - ephem.delta_t(d) / 86400.0)


def jd_of(y, m, d):
    return float(ephem.Date("%d/%d/%g" % (y, m, d))) + DJD_EPHEM


def make_body(kind, q, e, T, om, Om, inc, m1, m2):
    """An ephem body for the elements (T a Julian day in TT)."""
    if e < 1.0 and abs(e - 1.0) >= 1e-12:
        b = ephem.EllipticalBody()
        b._a = q / (1.0 - e)
        b._e = e
        b._M = 0.0
        b._epoch_M = ephem.Date(T - DJD_EPHEM)
    elif abs(e - 1.0) < 1e-12:
        b = ephem.ParabolicBody()
        b._q = q
        b._epoch_p = ephem.Date(T - DJD_EPHEM)
    else:
        b = ephem.HyperbolicBody()
        b._q = q
        b._e = e
        b._epoch_p = ephem.Date(T - DJD_EPHEM)
    b._om = om
    b._Om = Om
    b._inc = inc
    b._epoch = ephem.J2000
    if kind == 13:
        # ephem's comet law has 2.5 k log10 r; the records store the factor itself.
        b._g = m1
        b._k = m2 / 2.5
    else:
        b._H = m1
        b._G = m2
    return b


# kind, q, e, T (year, month, day), omega, node, i, H or g, G or k (the records' factor).
ELEMENTS = [
    (18, 2.1510, 0.0887, (2023, 12, 2.5), 151.2, 103.8, 7.14, 3.20, 0.32),   # a Vesta-like orbit
    (18, 2.5530, 0.0785, (2024, 6, 10.0), 73.4, 80.3, 10.59, 3.34, 0.12),
    (18, 1.1330, 0.2229, (2022, 3, 1.25), 178.9, 304.3, 10.83, 11.16, 0.46),
    (18, 0.9830, 0.1910, (2021, 8, 20.0), 126.7, 204.4, 3.33, 19.70, 0.15),
    (18, 1.3040, 0.3570, (2025, 1, 18.0), 31.3, 215.5, 22.1, 15.42, 0.15),
    (18, 0.1870, 0.8270, (2023, 9, 5.0), 322.1, 265.2, 22.8, 14.60, 0.15),
    (18, 2.7670, 0.0760, (2019, 11, 30.0), 73.1, 80.3, 10.6, 3.53, 0.12),
    (18, 4.9500, 0.0480, (2020, 5, 12.0), 15.0, 40.0, 2.0, 10.50, 0.15),
    (13, 0.3360, 0.8470, (2023, 10, 22.7), 186.5, 334.2, 11.35, 11.5, 10.0),  # an Encke-like orbit
    (13, 1.0500, 0.5900, (2024, 2, 12.3), 200.0, 50.0, 20.0, 10.0, 10.0),
    (13, 1.3000, 0.6000, (2022, 7, 1.0), 12.0, 160.0, 5.0, 9.0, 8.0),
    (13, 0.5860, 0.9670, (1986, 2, 9.46), 111.8, 58.1, 162.2, 5.5, 8.0),      # Halley-like
    (13, 1.0200, 0.9700, (2021, 11, 3.0), 40.0, 300.0, 70.0, 7.0, 10.0),
    (13, 2.0000, 0.7500, (2020, 4, 20.0), 250.0, 20.0, 15.0, 8.0, 12.5),
    (13, 0.9100, 0.9000, (2024, 9, 27.7), 308.5, 21.6, 139.1, 6.0, 10.0),
    (13, 3.5000, 0.4500, (2023, 5, 5.0), 100.0, 100.0, 30.0, 6.5, 10.0),
    (13, 0.2950, 0.9850, (2020, 7, 3.7), 37.3, 61.0, 128.9, 6.5, 8.0),        # near-parabolic
    (13, 1.5000, 0.9950, (2022, 12, 1.0), 150.0, 220.0, 45.0, 7.0, 10.0),
    (13, 0.7000, 0.9900, (2021, 3, 15.0), 90.0, 10.0, 100.0, 6.0, 10.0),
    (13, 1.2000, 1.0000, (2023, 1, 12.7), 208.3, 302.1, 109.2, 7.0, 10.0),    # parabolas
    (13, 0.4000, 1.0000, (2024, 4, 20.0), 10.0, 250.0, 35.0, 6.0, 10.0),
    (13, 2.5000, 1.0000, (2022, 10, 1.0), 300.0, 120.0, 150.0, 4.5, 10.0),
    (13, 1.1000, 1.0005, (2021, 6, 2.0), 60.0, 70.0, 80.0, 6.0, 10.0),      # hyperbolas
    (13, 0.2550, 1.2011, (2019, 12, 8.5), 209.1, 308.1, 44.1, 15.0, 10.0),  # an interstellar-like orbit
    (13, 2.0066, 3.3565, (2019, 12, 8.5), 209.1, 308.1, 44.1, 15.0, 5.0),
    (13, 1.4000, 1.0500, (2025, 2, 20.0), 110.0, 330.0, 60.0, 8.0, 10.0),
    (13, 3.0000, 1.0100, (2023, 6, 30.0), 5.0, 5.0, 5.0, 5.0, 10.0),
    (13, 0.4500, 1.1000, (2024, 1, 10.0), 200.0, 150.0, 25.0, 14.0, 7.5),
    (18, 1.7000, 0.2000, (2024, 8, 8.0), 45.0, 100.0, 0.5, 12.0, 0.25),
    (18, 3.1000, 0.1500, (2018, 2, 2.0), 300.0, 10.0, 35.0, 7.0, 0.40),
]

# Offsets in days around perihelion tried for each set; the first instants far enough from
# the Earth and early in their year (the program precesses by whole years) are kept.
OFFSETS = [-300, -120, -45, 0, 20, 60, 150, 400, 900]


def comet_places():
    rows = []
    for kind, q, e, (Y, M, D), om, Om, inc, m1, m2 in ELEMENTS:
        q, e, om, Om, inc, m1, m2, D = (f32(v) for v in (q, e, om, Om, inc, m1, m2, D))
        T = jd_of(Y, M, math.floor(D)) + (D - math.floor(D))
        kept = 0
        for off in OFFSETS:
            jd = T + off
            # Move to the 1st to 20th of a January, February or March, close by.
            y, m, d = ephem.Date(jd - DJD_EPHEM).triple()
            if m > 3:
                y += 1 if m > 6 else 0
                m = 1 if m > 6 else 3
            jd = jd_of(y, m, 1 + (off % 19)) + 0.25
            b = make_body(kind, q, e, T, om, Om, inc, m1, m2)
            date = ut_date(jd)
            b.compute(date, epoch=date)
            if b.earth_distance < 0.3:
                continue
            # Where the body seems to move fast, light time alone would exceed what the
            # comparison is about: such instants are left out.
            ra0, dec0 = float(b.a_ra), float(b.a_dec)
            later = make_body(kind, q, e, T, om, Om, inc, m1, m2)
            later.compute(ephem.Date(date + b.earth_distance * LIGHT_DAYS_PER_AU), epoch=date)
            if math.degrees(ephem.separation((ra0, dec0), (later.a_ra, later.a_dec))) * 3600.0 > 30.0:
                continue
            ra = float(b.a_ra) * 12.0 / math.pi
            dec = math.degrees(float(b.a_dec))
            rows.append(["place", str(kind)] +
                        [fmt(v) for v in (q, e, T, om, Om, inc, m1, m2, jd)] + [str(y)] +
                        [fmt(v) for v in (ra, dec, b.earth_distance, b.sun_distance, b.mag)])
            kept += 1
            if kept == 2:
                break
        if kept == 0:
            raise SystemExit("no instant kept for q=%g e=%g" % (q, e))
    return rows


# Close approaches: 1I/'Oumuamua (JPL elements, e 1.2011) passing 0.16-0.3 AU from the
# Earth in October 2017, and instants at which bodies of the list above come within 0.3 AU.
OUMUAMUA = (13, 0.255912, 1.201134, (2017, 9, 9.48897), 241.8104, 24.5969, 122.7417, 23.0, 10.0)
OUMUAMUA_DAYS = [(2017, 10, 14.0), (2017, 10, 19.0), (2017, 10, 25.0)]


def near_row(kind, q, e, T, om, Om, inc, m1, m2, jd):
    b = make_body(kind, q, e, T, om, Om, inc, m1, m2)
    date = ut_date(jd)
    b.compute(date, epoch=date)
    return ["near", str(kind)] + [fmt(v) for v in (q, e, T, om, Om, inc, jd,
                                                   float(b.a_ra) * 12.0 / math.pi, math.degrees(float(b.a_dec)),
                                                   b.earth_distance, b.sun_distance)], b.earth_distance


def near_places():
    rows = []
    kind, q, e, (Y, M, D), om, Om, inc, m1, m2 = OUMUAMUA
    q, e, om, Om, inc, D = (f32(v) for v in (q, e, om, Om, inc, D))
    T = jd_of(Y, M, math.floor(D)) + (D - math.floor(D))
    for y, m, d in OUMUAMUA_DAYS:
        rows.append(near_row(kind, q, e, T, om, Om, inc, m1, m2, jd_of(y, m, d))[0])
    for kind, q, e, (Y, M, D), om, Om, inc, m1, m2 in ELEMENTS:
        q, e, om, Om, inc, m1, m2, D = (f32(v) for v in (q, e, om, Om, inc, m1, m2, D))
        T = jd_of(Y, M, math.floor(D)) + (D - math.floor(D))
        for off in range(-400, 401, 4):
            row, delta = near_row(kind, q, e, T, om, Om, inc, m1, m2, T + off + 0.25)
            if delta < 0.3:
                rows.append(row)
                break
    return rows


def encke():
    # Meeus, Astronomical Algorithms, example 33.b: a, e, i, node, omega, T.
    a, e = 2.2091404, 0.8502196
    q = a * (1.0 - e)
    T = jd_of(1990, 10, 28) + 0.54502
    b = make_body(13, q, e, T, 186.23352, 334.75006, 11.94524, 9.8, 10.0)
    jd = 2448170.5
    date = ut_date(jd)
    b.compute(date, epoch=date)
    return [["encke"] + [fmt(v) for v in (q, e, T, 186.23352, 334.75006, 11.94524, jd,
                                          float(b.a_ra) * 12.0 / math.pi, math.degrees(float(b.a_dec)),
                                          b.earth_distance, b.sun_distance)]]


def hyperbolic_exact(q, e, t):
    a = q / (e - 1.0)
    M = GAUSS_K * t / (a * math.sqrt(a))
    H = math.asinh(M / e)
    for _ in range(100):
        step = (e * math.sinh(H) - H - M) / (e * math.cosh(H) - 1.0)
        H -= step
        if abs(step) < 1e-15:
            break
    nu = 2.0 * math.atan(math.sqrt((e + 1.0) / (e - 1.0)) * math.tanh(H / 2.0))
    return math.degrees(nu), a * (e * math.cosh(H) - 1.0)


def ephem_orbit_plane(q, e, t):
    """ephem's true anomaly and radius t days after perihelion for an orbit in the ecliptic
    with omega = node = 0: its heliocentric longitude and distance, computed at the instant
    whose light-time-retarded place is the one at t."""
    T = 2451545.0
    b = make_body(13, q, e, T, 0.0, 0.0, 0.0, 5.0, 10.0)
    target = T + t
    jd = target
    for _ in range(4):
        date = ut_date(jd)
        b.compute(date)
        jd = target + b.earth_distance * LIGHT_DAYS_PER_AU
    # ephem gives the longitude of date: take the precession since 2000.0 back off.
    centuries = (jd - 2451545.0) / 36525.0
    nu = math.degrees(float(b.hlon)) - (5029.0966 * centuries + 1.11113 * centuries ** 2) / 3600.0
    if nu > 180.0:
        nu -= 360.0
    return nu, b.sun_distance


def orbits():
    rows = []
    for q, e, t in ((0.255, 1.2011, 400.0), (2.0066, 3.3565, 500.0), (0.255, 1.2011, -400.0),
                    (2.0066, 3.3565, -500.0)):
        nu, r = hyperbolic_exact(q, e, t)
        nu_e, r_e = ephem_orbit_plane(f32(q), f32(e), t)
        if abs(nu - nu_e) > 0.002 or abs(r - r_e) > 1e-4 * r:
            raise SystemExit("ephem disagrees for q=%g e=%g t=%g: %g %g / %g %g" % (q, e, t, nu, r, nu_e, r_e))
        rows.append(["orbit"] + [fmt(v) for v in (q, e, t, nu, r)])
    return rows


def ini_bodies(path):
    bodies, current = [], None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("["):
                current = {}
                bodies.append(current)
            elif current is not None and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                current[key.strip()] = value.strip()
    return bodies


def built():
    rows = []
    for b in ini_bodies(os.path.join(ROOT, "tests", "data", "tools", "planets", "minor.ini")):
        e = float(b["orbit_Eccentricity"])
        if b.get("type") == "artificial" or e >= 1.0:
            continue
        body = ephem.EllipticalBody()
        body._e = e
        if "orbit_MeanAnomaly" in b:
            kind = 18
            body._a = float(b["orbit_SemiMajorAxis"])
            body._M = float(b["orbit_MeanAnomaly"])
            body._epoch_M = ephem.Date(float(b["orbit_Epoch"]) - DJD_EPHEM)
        else:
            kind = 13
            body._a = float(b["orbit_PericenterDistance"]) / (1.0 - e)
            body._M = 0.0
            body._epoch_M = ephem.Date(float(b["orbit_TimeAtPericenter"]) - DJD_EPHEM)
        body._om = float(b["orbit_ArgOfPericenter"])
        body._Om = float(b["orbit_AscendingNode"])
        body._inc = float(b["orbit_Inclination"])
        body._epoch = ephem.J2000
        body._H, body._G = 10.0, 0.15
        centre = float(b.get("orbit_TimeAtPericenter", b.get("orbit_Epoch")))
        y = int(ephem.Date(centre - DJD_EPHEM).triple()[0])
        for year in (y - 1, y):
            jd = jd_of(year, 2, 10) + 0.25
            date = ut_date(jd)
            body.compute(date, epoch=date)
            if body.earth_distance < 0.3:
                continue
            rows.append(["built", str(kind)] + [fmt(v) for v in (e, jd)] + [str(year)] +
                        [fmt(v) for v in (float(body.a_ra) * 12.0 / math.pi, math.degrees(float(body.a_dec)),
                                          body.earth_distance, body.sun_distance)])
    return rows


def sun_moon():
    rows = []
    for jd in (2451545.0, 2448908.5, 2455000.25, 2460310.75, 2447000.6):
        s = ephem.Sun()
        s.compute(ephem.Date(jd - DJD_EPHEM))
        rows.append(["sun"] + [fmt(v) for v in (jd, float(s.g_ra) * 12.0 / math.pi, math.degrees(float(s.g_dec)))])
    for jd, lat, lon in ((2448724.5, 51.0, 0.0), (2451545.0, 40.0, -75.0), (2460000.8, -33.9, 151.2),
                         (2455555.3, 64.0, -21.0), (2458849.6, 0.0, 30.0)):
        o = ephem.Observer()
        o.lat = str(lat)
        o.lon = str(lon)
        o.elevation = 0
        o.pressure = 0
        o.date = ephem.Date(jd - DJD_EPHEM)
        m = ephem.Moon()
        m.compute(o)
        rows.append(["moon"] + [fmt(v) for v in (jd, lat, lon, float(m.ra) * 12.0 / math.pi,
                                                 math.degrees(float(m.dec)))])
    return rows


def main():
    write("comet_places_ephem.txt",
          ["comet and asteroid places from python3-ephem (tools/make_objects_fixtures.py)",
           "place kind q e T omega node i mag1 mag2 jd(TT) year ra(h) dec(deg) delta r magnitude",
           "encke q e T omega node i jd(TT) ra(h) dec(deg) delta r",
           "orbit q e t-T(days) nu(deg) r(AU)",
           "built kind e jd(TT) year ra(h) dec(deg) delta r",
           "near kind q e T omega node i jd(TT) ra(h) dec(deg) delta r"],
          comet_places() + encke() + orbits() + built() + near_places())
    write("sun_moon_ephem.txt",
          ["the apparent Sun and the topocentric Moon from python3-ephem (tools/make_objects_fixtures.py)",
           "sun jd(UT) ra(h) dec(deg)",
           "moon jd(UT) latitude longitude(east) ra(h) dec(deg)"],
          sun_moon())


if __name__ == "__main__":
    main()
