#!/usr/bin/python3
"""Writes tests/data/scope/polar_drift.txt, the reference for the polar alignment
assistant's drift evaluations (King's method, Rambaut's method with refraction).

Run with python3 (standard library only) and commit the output:

    python3 tools/make_polar_fixtures.py

Computed here apart from the program: the Julian day from Python's proleptic Gregorian
calendar (date.toordinal), the mean sidereal time from the IAU 1982 expression in seconds
of time at 0h UT plus the UT interval in sidereal measure (Aoki et al. 1982), the refractive
index of air from Owens (1967) at 550 m and 0.55 micrometres with half-saturated water
vapour, and the drift geometry of the two methods.

Each row: method (K or R), local year month day hour minute second, zone hours, latitude
and west longitude in degrees, right ascension in hours, declination and second
declination in degrees, x and y in reticle pixels, resolution in arc seconds per pixel,
elapsed seconds, temperature in kelvins; then the hour angle at the start in degrees, the
direction in degrees, the total, the azimuth error and the elevation error in arc seconds,
and the refractive index minus 1 (0 for King's method).
"""
import datetime
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fixture_rows import ROOT, fixture_writer  # noqa: E402

ARCSEC = math.pi / (180 * 3600)
OMEGA = 7.292106590880652e-05  # Earth's rotation, radians per second of time


def gmst_radians(year, month, day, hour, minute, second, zone_hours):
    """IAU 1982 mean sidereal time: the 0h UT value in seconds of time, plus the day's UT in
    sidereal measure."""
    local = datetime.datetime(year, month, day, hour, minute, second)
    utc = local - datetime.timedelta(hours=zone_hours)
    midnight = datetime.datetime(utc.year, utc.month, utc.day)
    jd0 = midnight.toordinal() + 1721424.5
    tu = (jd0 - 2451545.0) / 36525.0
    s0 = 24110.54841 + 8640184.812866 * tu + 0.093104 * tu * tu - 6.2e-6 * tu ** 3
    ut_seconds = (utc - midnight).total_seconds()
    # The rate of sidereal time in UT, with its own slow change (1.002737909350795 + 5.9006e-11 Tu).
    rate = 1.002737909350795 + 5.9006e-11 * tu - 5.9e-15 * tu * tu
    s = (s0 + rate * ut_seconds) % 86400.0
    return s / 86400.0 * 2 * math.pi


def refraction_index(kelvin):
    height, micrometres = 550.0, 0.55
    p = 1013.25 * (1 - 0.0065 * height / 288.0) ** 5.255
    celsius = kelvin - 273.15
    if kelvin > 273.15:
        saturation = 6.107 * 10 ** (7.5 * celsius / (235.0 + celsius))
    else:
        saturation = 6.107 * 10 ** (7.6 * celsius / (240.7 + celsius))
    pw = saturation / 2
    ps = p - pw
    t = kelvin
    ds = ps / t * (1 + ps * (57.90e-8 - 9.3250e-4 / t + 0.25844 / t ** 2))
    dw = pw / t * (1 + pw * (1 + 3.7e-4 * pw) * (-2.37321e-3 + 2.23366 / t - 710.792 / t ** 2 + 7.75141e4 / t ** 3))
    k = (1 / micrometres) ** 2
    dry = (2371.34 + 683939.7 / (130 - k) + 4547.3 / (38.99 - k)) * ds
    wet = (6487.31 + 58.058 * k - 0.71150 * k ** 2 + 0.08851 * k ** 3) * dw
    return (dry + wet) * 1e-8


def drift(case):
    (method, y, mo, d, h, mi, s, zone, lat, lon, ra, dec, dec2, x, yy, res, elapsed, kelvin) = case
    phi = math.radians(lat)
    hour_angle = (gmst_radians(y, mo, d, h, mi, s, zone) - math.radians(lon) - math.radians(ra * 15)) % (2 * math.pi)
    theta = OMEGA * elapsed
    east = res * x * ARCSEC
    north = res * yy * ARCSEC
    refraction = 0.0
    if method == "K":
        total = math.hypot(east, north) / theta
        # The star moved along (east, north); the axis error points opposite, turned by the
        # hour angle at the middle of the interval.
        direction = (hour_angle + theta / 2 - math.atan2(-east, -north)) % (2 * math.pi)
        azimuth = total * math.sin(direction) / math.cos(phi)
        elevation = total * math.cos(direction)
    else:
        delta = math.radians(dec2)
        mid = hour_angle + theta / 2
        refraction = refraction_index(kelvin)
        # sin(altitude) of the star at the middle of the interval.
        sin_alt = math.cos(mid) * math.cos(delta) * math.cos(phi) + math.sin(delta) * math.sin(phi)
        scale = refraction * math.cos(phi) * theta / sin_alt ** 2
        east -= scale * (math.cos(mid) * math.sin(phi) * math.sin(delta) + math.cos(phi) * math.cos(delta))
        north += scale * math.sin(mid) * math.sin(phi)
        azimuth = -(math.sin(mid) * east / math.sin(delta) + math.cos(mid) * north) / (math.cos(phi) * theta)
        elevation = -(math.cos(mid) * east / math.sin(delta) - math.sin(mid) * north) / theta
        direction = math.atan2(math.cos(phi) * azimuth, elevation) % (2 * math.pi)
        total = math.hypot(math.cos(phi) * azimuth, elevation)
    return (math.degrees(hour_angle), math.degrees(direction), total / ARCSEC, azimuth / ARCSEC,
            elevation / ARCSEC, refraction)


CASES = [
    # method, local date and time, zone, latitude, west longitude, ra, dec, dec2, x, y, resolution, elapsed, K
    ("K", 2024, 3, 20, 21, 30, 0, 1, 48.85, -2.35, 5.5, 2.0, 0.0, 12, -7, 2.5, 960, 283.15),
    ("K", 2023, 8, 14, 2, 15, 40, 2, 45.76, -4.84, 20.1, -5.5, 0.0, -4, 9, 1.8, 1920, 290.15),
    ("K", 2025, 1, 2, 19, 5, 0, -5, 40.71, 74.01, 3.2, 8.0, 0.0, 20, 3, 3.1, 480, 268.15),
    ("K", 2022, 11, 30, 23, 59, 59, 0, 51.48, 0.0, 0.1, -1.0, 0.0, -15, -15, 1.0, 1440, 278.15),
    ("K", 2024, 2, 29, 0, 0, 30, 10, -33.87, -151.21, 13.4, 4.0, 0.0, 6, -22, 2.2, 600, 295.15),
    ("R", 2024, 3, 20, 21, 30, 0, 1, 48.85, -2.35, 5.5, 2.0, 40.0, 12, -7, 2.5, 960, 283.15),
    ("R", 2023, 8, 14, 2, 15, 40, 2, 45.76, -4.84, 20.1, -5.5, -20.0, -4, 9, 1.8, 1920, 290.15),
    ("R", 2025, 1, 2, 19, 5, 0, -5, 40.71, 74.01, 3.2, 8.0, 65.0, 20, 3, 3.1, 480, 263.15),
    ("R", 2024, 2, 29, 0, 0, 30, 10, -33.87, -151.21, 13.4, 4.0, -50.0, 6, -22, 2.2, 600, 300.15),
    ("R", 2021, 6, 21, 22, 45, 10, 2, 60.17, -24.94, 17.0, 0.5, 12.5, -30, 1, 4.0, 1200, 273.15),
]


def words(case, result):
    out = [case[0]] + ["%d" % v for v in case[1:8]]
    out += ["%.6f" % v for v in case[8:13]]
    out += ["%g" % v for v in case[13:18]]
    out += ["%.9f" % result[0], "%.9f" % result[1], "%.6f" % result[2], "%.6f" % result[3], "%.6f" % result[4],
            "%.12e" % result[5]]
    return out


write = fixture_writer(os.path.join(ROOT, "tests", "data", "scope"))
write("polar_drift.txt", __doc__.strip().splitlines()[6:], [words(c, drift(c)) for c in CASES])
