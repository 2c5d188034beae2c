#!/usr/bin/python3
"""Writes the reference values that the planet position, rise and set and lunar phase tests
compare with, all from python3-ephem (an implementation independent of ours):

  tests/data/astro/planets_ephem.txt     apparent places of the Sun, the Moon and the planets
      1950-2050, geocentric and topocentric, with distance, magnitude, illuminated
      fraction, apparent diameter and elongation;
  tests/data/astro/rise_set_ephem.txt    Sun rise, transit, set and end of astronomical
      twilight, Moon rise, transit and set at six sites;
  tests/data/astro/moon_phases_ephem.txt instants of the four principal phases 1950-2050;
  tests/data/astro/planet_series_erfa.txt heliocentric ecliptic places of date of the planets:
      python3-erfa's plan94 rotated by ecm06 (Mercury to Neptune), ephem's Pluto.

Run:  /usr/bin/python3 tools/make_ephemeris_fixtures.py
"""

import math
import os
import random

import ephem
import erfa
import numpy as np

from fixture_rows import fixture_writer

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "astro")
write = fixture_writer(OUT)
DJD_EPHEM = 2415020.0  # ephem dates count days from this Julian day

BODIES = [
    (0, ephem.Sun), (1, ephem.Moon), (2, ephem.Mercury), (3, ephem.Venus), (4, ephem.Mars),
    (5, ephem.Jupiter), (6, ephem.Saturn), (7, ephem.Uranus), (8, ephem.Neptune), (9, ephem.Pluto),
]

# name, latitude, longitude (east positive), zone offset in minutes (local minus UT).
SITES = [
    ("London", 51.4769, -0.0005, 0),
    ("Boston", 42.3333, -71.0833, -300),
    ("Sydney", -33.8688, 151.2093, 600),
    ("Tromso", 69.6492, 18.9553, 60),
    ("Tokyo", 35.6762, 139.6503, 540),
    ("Auckland", -36.8485, 174.7633, 720),
]


def fmt(x):
    return "%.10g" % x


def planets(rng):
    rows = []
    for _ in range(36):
        y = rng.randint(1950, 2049)
        mo = rng.randint(1, 12)
        d = rng.randint(1, 28)
        h, mi, s = rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59)
        date = ephem.Date((y, mo, d, h, mi, s))
        dt = ephem.delta_t(date)
        site = SITES[rng.randrange(len(SITES))]
        observer = ephem.Observer()
        observer.lat = str(site[1])
        observer.lon = str(site[2])
        observer.elevation = 0
        observer.pressure = 0
        observer.date = date
        for index, make in BODIES:
            body = make()
            body.compute(date)
            sun_distance = body.sun_distance if index != 0 else 0.0
            common = [body.earth_distance, body.mag, body.phase / 100.0, body.size / 60.0,
                      abs(math.degrees(body.elong)) if index != 0 else 0.0, sun_distance]
            rows.append(["%d %d %d %d %d %d" % (y, mo, d, h, mi, s), "%d" % index, "geo", "0 0",
                         fmt(dt), fmt(math.degrees(body.g_ra) / 15.0), fmt(math.degrees(body.g_dec))]
                        + [fmt(v) for v in common] + ["0 0"])
            if index in (0, 1, 4):  # the site shows on the Moon; the Sun and Mars show both branches
                body.compute(observer)
                rows.append(["%d %d %d %d %d %d" % (y, mo, d, h, mi, s), "%d" % index, "topo",
                             "%s %s" % (fmt(site[1]), fmt(site[2])), fmt(dt),
                             fmt(math.degrees(body.ra) / 15.0), fmt(math.degrees(body.dec))]
                            + [fmt(v) for v in common]
                            + [fmt(math.degrees(body.alt)), fmt(math.degrees(body.az))])
    write("planets_ephem.txt",
          ["Apparent places of date from python3-ephem %s (tools/make_ephemeris_fixtures.py)." % ephem.__version__,
           "UT: year month day hour minute second; body index; geo or topo; site latitude and",
           "longitude (east positive, height 0); ephem's Delta T (s); right ascension (hours);",
           "declination (deg); distance from the Earth (AU); magnitude; illuminated fraction;",
           "diameter (arc minutes); elongation (deg); distance from the Sun (AU); topo rows:",
           "altitude and azimuth (deg, unrefracted, from north through east), else 0 0."], rows)


def event_hours(finder, body, observer, midnight_ut, **kw):
    """Hours after local midnight of the first event of the local day, or None."""
    observer.date = midnight_ut
    try:
        t = finder(body, **kw)
    except (ephem.AlwaysUpError, ephem.NeverUpError):
        return None
    hours = (t - midnight_ut) * 24.0
    return hours if hours < 24.0 else None


def rise_set(rng):
    rows = []
    for name, lat, lon, zone in SITES:
        dates = [(rng.randint(1950, 2049), rng.randint(1, 12), rng.randint(1, 28)) for _ in range(14)]
        if name == "Tromso":
            # Days whose midnight declinations tell the wrong story: on 2024-01-15 the Sun
            # only just clears the horizon around noon (its upper limb from 11:45 to 12:03),
            # on 2024-07-25 it sets for an hour, and on 2024-03-21 the Moon sets and rises.
            dates += [(2021, 6, 21), (1987, 6, 10), (2033, 12, 20), (2004, 7, 15), (2024, 1, 15), (2024, 7, 25),
                      (2024, 3, 21)]
        for y, mo, d in dates:
            midnight_ut = ephem.Date(ephem.Date((y, mo, d)) - zone / 1440.0)
            sun_obs = ephem.Observer()
            sun_obs.lat, sun_obs.lon, sun_obs.elevation, sun_obs.pressure = str(lat), str(lon), 0, 0
            sun = ephem.Sun()
            # The centre of the Sun 50' below the horizon, refraction included in those 50'.
            sun_obs.horizon = "-0:50"
            sr = event_hours(sun_obs.next_rising, sun, sun_obs, midnight_ut, use_center=True)
            ss = event_hours(sun_obs.next_setting, sun, sun_obs, midnight_ut, use_center=True)
            st = event_hours(sun_obs.next_transit, sun, sun_obs, midnight_ut)
            sun_obs.horizon = "-18"
            tw = event_hours(sun_obs.next_setting, sun, sun_obs, midnight_ut, use_center=True)
            # The Moon's upper limb 34' below the horizon as seen from the site.
            moon_obs = ephem.Observer()
            moon_obs.lat, moon_obs.lon, moon_obs.elevation, moon_obs.pressure = str(lat), str(lon), 0, 0
            moon_obs.horizon = "-0:34"
            moon = ephem.Moon()
            mr = event_hours(moon_obs.next_rising, moon, moon_obs, midnight_ut)
            ms = event_hours(moon_obs.next_setting, moon, moon_obs, midnight_ut)
            mt = event_hours(moon_obs.next_transit, moon, moon_obs, midnight_ut)
            values = [sr, st, ss, tw, mr, mt, ms]
            rows.append([name, fmt(lat), fmt(lon), "%d" % zone, "%d %d %d" % (y, mo, d)]
                        + ["-" if v is None else "%.5f" % v for v in values])
    write("rise_set_ephem.txt",
          ["Rise, transit and set from python3-ephem %s (tools/make_ephemeris_fixtures.py)," % ephem.__version__,
           "hours after local midnight, '-' when the event does not happen that local day.",
           "site latitude longitude(east) zone(min) year month day; Sun rise transit set (centre",
           "at -50'), evening end of astronomical twilight (centre at -18 deg); Moon rise transit",
           "set (upper limb at -34', topocentric). No refraction beyond those altitudes."], rows)


def moon_phases(rng):
    rows = []
    finders = [(0, ephem.next_new_moon), (1, ephem.next_first_quarter_moon),
               (2, ephem.next_full_moon), (3, ephem.next_last_quarter_moon)]
    for _ in range(60):
        start = ephem.Date((rng.randint(1950, 2049), rng.randint(1, 12), rng.randint(1, 28)))
        index, finder = finders[rng.randrange(4)]
        t = finder(start)
        rows.append(["%d" % index, "%.7f" % (t + DJD_EPHEM), fmt(ephem.delta_t(t))])
    write("moon_phases_ephem.txt",
          ["Principal lunar phases from python3-ephem %s (tools/make_ephemeris_fixtures.py)." % ephem.__version__,
           "phase index (0 new, 1 first quarter, 2 full, 3 last quarter); Julian day UT; ephem's Delta T (s)."],
          rows)


def planet_series(rng):
    rows = []
    numbers = {2: 1, 3: 2, 4: 4, 5: 5, 6: 6, 7: 7, 8: 8}  # body index to plan94's planet number
    for _ in range(12):
        jd = rng.uniform(2433282.5, 2469807.5)  # 1950 to 2050, terrestrial time
        for index, number in numbers.items():
            pv = erfa.plan94(jd, 0.0, number)
            w = erfa.ecm06(jd, 0.0) @ np.asarray(pv[0])
            lon = math.degrees(math.atan2(w[1], w[0])) % 360.0
            lat = math.degrees(math.asin(w[2] / np.linalg.norm(w)))
            rows.append(["%.6f" % jd, "%d" % index, fmt(lon), fmt(lat), fmt(np.linalg.norm(w))])
        pluto = ephem.Pluto()
        d = jd - DJD_EPHEM
        pluto.compute(ephem.Date(d - ephem.delta_t(d) / 86400.0))
        rows.append(["%.6f" % jd, "9", fmt(math.degrees(pluto.hlon)), fmt(math.degrees(pluto.hlat)),
                     fmt(pluto.sun_distance)])
    write("planet_series_erfa.txt",
          ["Heliocentric ecliptic places of date (tools/make_ephemeris_fixtures.py): python3-erfa %s" % erfa.__version__,
           "plan94 rotated by ecm06 for Mercury to Neptune, python3-ephem %s for Pluto." % ephem.__version__,
           "Julian day (TT); body index; longitude (deg); latitude (deg); distance from the Sun (AU)."], rows)


def main():
    rng = random.Random(1988)
    planets(rng)
    rise_set(rng)
    moon_phases(rng)
    planet_series(rng)


if __name__ == "__main__":
    main()
