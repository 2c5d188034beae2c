#!/usr/bin/python3
"""Writes tests/data/objects/sky_brightness_fixture.txt: the zenith sky brightness and the
naked-eye limiting magnitude through evening twilight from a separate re-implementation of
B. E. Schaefer's program VISLIMIT.BAS ("To the visual limits", Astronomical Computing,
Sky & Telescope, May 1998, p. 57).

Source of the program: the listing Sky & Telescope distributed in machine-readable form
with its Astronomical Computing programs ("offered as-is and without support"), as kept in
the public repository robhagemans/hoard-of-gwbasic, SkyAndTelescope/VISLIMIT.BAS (no
licence file of its own; the magazine's terms above). Only the V band (index 3 of its
UBVRI tables) is run here, line by line from that listing: the extinction subroutine
(lines 1000-1300), the sky subroutine (2000-2460) and the limit (250-320). Nothing here is
taken from the C++ model.

The listing takes the Sun's zenith distance and its distance from the direction looked at
as inputs. They come from the Sun of Meeus, "Astronomical Algorithms" ch. 25 (low
accuracy) and his mean sidereal time (12.4), for whole-minute instants of one evening, so
the test can run the program's model at the same instants. The direction is altitude 89,
azimuth 180 (the model's zenith direction); the Moon is below the horizon (the listing's
ZM > 90, so no moonlight), which the test checks on its side.

Columns: site latitude (deg, north +), longitude (deg, west +), height (m), temperature
(C), humidity (%), year month day hour minute (UT), the Sun's altitude and its distance
from the direction (deg), sky brightness (nL), limiting magnitude, and which of the
twilight and daylight terms (the smaller) the sky took.
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fixture_rows import ROOT, fixture_writer  # noqa: E402

RD = math.pi / 180.0

# V-band entries of the listing's UBVRI tables (lines 40-60, 1020-1040, 2020-2060).
MO_V = -11.05      # zero point of the Moon-and-Sun brightness formula
OZ_V = 0.031       # ozone extinction
WT_V = 0.031       # water vapour extinction
BO_V = 1.0e-13     # dark-sky brightness
MS_V = -26.74      # the Sun's magnitude
WA_V = 0.55        # wavelength, microns

LOOK_ALTITUDE = 89.0
LOOK_AZIMUTH = 180.0


def vislimit(zs, rs, rh, te, la, al, month, year, z=90.0 - LOOK_ALTITUDE, sn=1.0):
    """The listing for the V band with the Moon below the horizon: returns (sky brightness
    in nanolamberts, limiting magnitude, which of twilight and daylight holds)."""
    # Extinction subroutine.
    lt = la * RD
    ra = (month - 3) * 30.0 * RD
    sl = la / abs(la)
    zz = z * RD
    xg = 1 / (math.cos(zz) + .0286 * math.exp(-10.5 * math.cos(zz)))
    xa = 1 / (math.cos(zz) + .0123 * math.exp(-24.5 * math.cos(zz)))
    xo = 1 / math.sqrt(1.0 - (math.sin(zz) / (1.0 + (20.0 / 6378.0))) ** 2)
    kr = .1066 * math.exp(-1 * al / 8200) * ((WA_V / .55) ** -4)
    ka = .1 * ((WA_V / .55) ** -1.3) * math.exp(-1 * al / 1500)
    ka = ka * ((1 - .32 / math.log(rh / 100.0)) ** 1.33) * (1 + 0.33 * sl * math.sin(ra))
    ko = OZ_V * (3.0 + .4 * (lt * math.cos(ra) - math.cos(3 * lt))) / 3.0
    kw = WT_V * .94 * (rh / 100.0) * math.exp(te / 15) * math.exp(-1 * al / 8200)
    k = kr + ka + ko + kw
    dm = kr * xg + ka * xa + ko * xo + kw * xg

    # Sky subroutine (moonlight left out: the Moon is below the horizon).
    x = 1 / (math.cos(zz) + .025 * math.exp(-11 * math.cos(zz)))
    xs = 40.0 if zs > 90.0 else 1 / (math.cos(zs * RD) + .025 * math.exp(-11 * math.cos(zs * RD)))
    bn = BO_V * (1 + .3 * math.cos(6.283 * (year - 1992) / 11))
    bn = bn * (.4 + .6 / math.sqrt(1.0 - .96 * (math.sin(zz) ** 2)))
    bn = bn * (10 ** (-.4 * k * x))
    hs = 90.0 - zs
    bt = 10 ** (-.4 * (MS_V - MO_V + 32.5 - hs - (z / (360 * k))))
    bt = bt * (100 / rs) * (1.0 - 10.0 ** (-.4 * k * x))
    c4 = 10.0 ** (-.4 * k * xs)
    fs = 6.2E+07 * (rs ** -2) + (10 ** (6.15 - rs / 40))
    fs = fs + (10 ** 5.36) * (1.06 + (math.cos(rs * RD) ** 2))
    bd = 10 ** (-.4 * (MS_V - MO_V + 43.27))
    bd = bd * (1 - 10 ** (-.4 * k * x))
    bd = bd * (fs * c4 + 440000.0 * (1 - c4))
    branch = "twilight" if bd > bt else "daylight"
    b = bn + (bt if bd > bt else bd)

    # Limit.
    bl = b / 1.11E-15
    if bl > 1500.0:
        c1, c2 = 10.0 ** -8.350001, 10.0 ** -5.9
    else:
        c1, c2 = 10.0 ** -9.8, 10.0 ** -1.9
    th = c1 * ((1.0 + math.sqrt(c2 * bl)) ** 2.0)
    mn = -16.57 - 2.5 * math.log10(th) - dm + 5.0 * math.log10(sn)
    return bl, mn, branch


def julian_day(year, month, day, hour, minute):
    """Meeus 7.1, Gregorian calendar."""
    if month <= 2:
        year, month = year - 1, month + 12
    a = year // 100
    b = 2 - a + a // 4
    return (int(365.25 * (year + 4716)) + int(30.6001 * (month + 1)) + day + b - 1524.5
            + (hour + minute / 60.0) / 24.0)


def sun_alt_az(jd, latitude, longitude_west):
    """The Sun's altitude and azimuth (degrees, azimuth from north through east) from Meeus
    ch. 25 (apparent longitude, low accuracy) and the mean sidereal time (12.4)."""
    t = (jd - 2451545.0) / 36525.0
    l0 = 280.46646 + 36000.76983 * t + 0.0003032 * t * t
    m = (357.52911 + 35999.05029 * t - 0.0001537 * t * t) * RD
    c = ((1.914602 - 0.004817 * t - 0.000014 * t * t) * math.sin(m)
         + (0.019993 - 0.000101 * t) * math.sin(2 * m) + 0.000289 * math.sin(3 * m))
    omega = (125.04 - 1934.136 * t) * RD
    lam = (l0 + c - 0.00569 - 0.00478 * math.sin(omega)) * RD
    eps = (23.0 + 26.0 / 60 + 21.448 / 3600 - 46.815 / 3600 * t + 0.00256 * math.cos(omega)) * RD
    ra = math.atan2(math.cos(eps) * math.sin(lam), math.cos(lam))
    dec = math.asin(math.sin(eps) * math.sin(lam))
    gmst = (280.46061837 + 360.98564736629 * (jd - 2451545.0) + 0.000387933 * t * t
            - t ** 3 / 38710000.0)
    ha = (gmst - longitude_west) * RD - ra
    phi = latitude * RD
    alt = math.asin(math.sin(phi) * math.sin(dec) + math.cos(phi) * math.cos(dec) * math.cos(ha))
    az = math.atan2(-math.cos(dec) * math.sin(ha),
                    math.sin(dec) * math.cos(phi) - math.cos(dec) * math.sin(phi) * math.cos(ha))
    return alt / RD, (az / RD) % 360.0


def distance_from_direction(alt, az):
    """Degrees between a place (altitude, azimuth) and the direction looked at."""
    a1, a2 = alt * RD, LOOK_ALTITUDE * RD
    c = (math.sin(a1) * math.sin(a2) + math.cos(a1) * math.cos(a2) * math.cos((az - LOOK_AZIMUTH) * RD))
    return math.acos(max(-1.0, min(1.0, c))) / RD


# (latitude, longitude west, height, temperature, humidity, year, month, day): a humid
# sea-level site and a dry mountain site, on evenings when the Moon (four days before new)
# rises long after the end of twilight.
SITES = [
    (52.0, 0.0, 50.0, 15.0, 80.0, 2025, 9, 17),
    (31.0, 0.0, 2000.0, 10.0, 20.0, 2025, 9, 17),
]
SUN_ALTITUDES = range(10, -21, -2)


def rows():
    out = []
    for la, lon, al, te, rh, year, month, day in SITES:
        # The Sun's altitude minute by minute through the afternoon and evening (UT).
        minutes = []
        for minute in range(12 * 60, 23 * 60 + 59):
            jd = julian_day(year, month, day, minute // 60, minute % 60)
            minutes.append((minute, sun_alt_az(jd, la, lon)))
        for target in SUN_ALTITUDES:
            # The first minute at which the setting Sun is at or below the grid altitude.
            minute, (alt, az) = next(
                (mm, aa) for i, (mm, aa) in enumerate(minutes)
                if i > 0 and aa[0] <= target < minutes[i - 1][1][0])
            rs = distance_from_direction(alt, az)
            bl, mn, branch = vislimit(90.0 - alt, rs, rh, te, la, al, month, year)
            out.append(["%.2f" % la, "%.2f" % lon, "%.0f" % al, "%.0f" % te, "%.0f" % rh,
                        "%d" % year, "%d" % month, "%d" % day, "%d" % (minute // 60), "%d" % (minute % 60),
                        "%.3f" % alt, "%.3f" % rs, "%.6g" % bl, "%.3f" % mn, branch])
    return out


def main():
    write = fixture_writer(os.path.join(ROOT, "tests", "data", "objects"))
    write("sky_brightness_fixture.txt",
          ["zenith sky brightness and naked-eye limit through evening twilight from",
           "Schaefer's VISLIMIT.BAS (Sky & Telescope, May 1998), V band, Moon below the horizon",
           "(tools/make_sky_brightness_fixtures.py)",
           "latitude longitude(west) height(m) temperature(C) humidity(%) year month day hour minute(UT)"
           " sun_altitude sun_distance(deg) brightness(nL) limit(mag) term"],
          rows())


if __name__ == "__main__":
    main()
