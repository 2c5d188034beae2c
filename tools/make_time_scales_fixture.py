#!/usr/bin/python3
"""Writes tests/data/astro/time_scales_erfa.txt, the reference for the time scale tests.

Run with Debian's python3 (python3-erfa installed) and commit the output:

    /usr/bin/python3 tools/make_time_scales_fixture.py

Each row: year month day hour minute second, the Julian day of that instant (ERFA's
cal2jd, proleptic Gregorian, so only dates after 1584 are written), and the Greenwich
mean sidereal time in hours (ERFA's gmst82, taking UT1 as the given UT).
"""
import math
import os
import random

import erfa

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "data", "astro",
                   "time_scales_erfa.txt")

random.seed(20240229)
rows = [(1600, 1, 1, 0, 0, 0), (1700, 2, 28, 23, 59, 59), (1900, 3, 1, 0, 0, 0),
        (2000, 2, 29, 12, 0, 0), (2024, 12, 31, 23, 59, 59), (2100, 3, 1, 6, 30, 15),
        (2399, 12, 31, 18, 0, 0)]
while len(rows) < 40:
    y = random.randint(1585, 2400)
    m = random.randint(1, 12)
    d = random.randint(1, [31, 29 if (y % 4 == 0 and y % 100 != 0) or y % 400 == 0 else 28,
                           31, 30, 31, 30, 31, 31, 30, 31, 30, 31][m - 1])
    rows.append((y, m, d, random.randint(0, 23), random.randint(0, 59), random.randint(0, 59)))

with open(OUT, "w") as f:
    f.write("# year month day hour minute second jd gmst_hours (erfa cal2jd, gmst82)\n")
    for (y, m, d, h, mi, s) in rows:
        djm0, djm = erfa.cal2jd(y, m, d)
        frac = (h + mi / 60.0 + s / 3600.0) / 24.0
        jd = float(djm0) + float(djm) + frac
        gmst = float(erfa.gmst82(float(djm0), float(djm) + frac)) * 12.0 / math.pi
        f.write("%d %d %d %d %d %d %.8f %.10f\n" % (y, m, d, h, mi, s, jd, gmst))
