#!/usr/bin/python3
"""Fits the mean motion of Phobos and Deimos that the Mars view's moons panel uses, and
writes the constants to planets/mars_moon_elements.h.

The panel places each moon by its angle along its orbit from the Earth's direction,
u = u0 + 360 n (JD - 2451545.0) - xi, with xi the Earth's longitude in Mars's equator from
the low-precision aspect of Mars (ported below from planets/mars_ephemeris.cpp). u0 and n
are a least-squares fit of u + xi against python3-ephem's Phobos and Deimos every 2.9 days
over 2000 to 2039.

Run:  /usr/bin/python3 tools/fit_mars_moons.py
"""

import math
import os

import ephem

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "planets", "mars_moon_elements.h")
J2000 = 2451545.0
DJD = 2415020.0  # ephem's dates count days from 1899 December 31 12h
MOONS = [("Phobos", ephem.Phobos), ("Deimos", ephem.Deimos)]
ARCSEC = 4.848132257047972e-6


def frac(x):
    return x - math.floor(x)


def aspect_xi(jd):
    """The Earth's longitude in Mars's equator (degrees), as ComputeMarsAspect has it."""
    d = jd - J2000
    T = d / 36525.0
    T1 = T + 1.0
    rev = lambda x: frac(x) * 6.2831853
    L, g = rev(0.779072 + 0.00273790931 * d), rev(0.993126 + 0.0027377785 * d)
    L4, g4, F4 = rev(0.987353 + 0.00145575328 * d), rev(0.053856 + 0.00145561327 * d), rev(0.849694 + 0.00145569465 * d)
    g5 = rev(0.056531 + 0.00023080893 * d)
    s, c = math.sin, math.cos
    lS = L + (6910 * s(g) + 72 * s(2 * g) - 17 * T1 * s(g) - 7 * c(g - g5)) * ARCSEC
    R = 1.00014 - 0.01675 * c(g) - 0.00014 * c(2 * g)
    l4 = L4 + (38451 * s(g4) + 2238 * s(2 * g4) + 181 * s(3 * g4) - 52 * s(2 * F4) + 37 * T1 * s(g4)
               - 22 * c(g4 - 2 * g5) - 19 * s(g4 - g5) + 17 * c(g4 - g5) + 17 * s(4 * g4)
               - 16 * c(2 * g4 - 2 * g5) + 13 * c(g - 2 * g4) - 10 * s(g4 - 2 * F4) + 7 * c(g - g4)
               - 7 * c(2 * g - 3 * g4)) * ARCSEC
    b4 = (6603 * s(F4) + 622 * s(g4 - F4) + 615 * s(F4 + g4) + 64 * s(2 * g4 + F4)) * ARCSEC
    r = 1.53031 - 0.1417 * c(g4) - 0.0066 * c(2 * g4) - 0.00047 * c(3 * g4)
    x = r * c(b4) * c(l4 - lS) + R
    y = r * c(b4) * s(l4 - lS)
    z = r * s(b4)
    lam = math.atan2(y, x) + lS
    delta_ = math.sqrt(x * x + y * y + z * z)
    beta = math.asin(z / delta_)
    eps = (84428 - 47 * T1) * ARCSEC
    alpha = math.atan2(c(eps) * s(lam) - s(eps) * math.tan(beta), c(lam))
    dec = math.asin(s(eps) * s(lam) * c(beta) + c(eps) * s(beta))
    a0 = math.radians((317.681 + 0.678 * T) % 360.0)
    d0 = math.radians((52.886 + 0.352 * T) % 360.0)
    H = a0 - alpha
    return math.degrees(math.atan2(c(H) * c(dec) * s(d0) - s(dec) * c(d0), s(H) * c(dec)))


def moon_phase(jd, body):
    """The moon's angle along its orbit from the Earth's direction, degrees [0, 360), from
    python3-ephem: the moon's offset (x east, y south, z toward the Earth, Mars radii) turned
    into Mars's equator, whose node and pole are the IAU ones."""
    mars = ephem.Mars()
    mars.compute(ephem.Date(jd - DJD), epoch=ephem.Date(jd - DJD))
    moon = body()
    moon.compute(ephem.Date(jd - DJD))
    a, dec = float(mars.g_ra), float(mars.g_dec)
    toward_mars = (math.cos(dec) * math.cos(a), math.cos(dec) * math.sin(a), math.sin(dec))
    east = (-math.sin(a), math.cos(a), 0.0)
    north = (-math.sin(dec) * math.cos(a), -math.sin(dec) * math.sin(a), math.cos(dec))
    v = [moon.x * east[i] - moon.y * north[i] - moon.z * toward_mars[i] for i in range(3)]
    earth = [-t for t in toward_mars]
    T = (jd - J2000) / 36525.0
    a0 = math.radians(317.681 + 0.678 * T)
    d0 = math.radians(52.886 + 0.352 * T)
    pole = (math.cos(d0) * math.cos(a0), math.cos(d0) * math.sin(a0), math.sin(d0))
    node = (-math.sin(a0), math.cos(a0), 0.0)
    across = (pole[1] * node[2] - pole[2] * node[1], pole[2] * node[0] - pole[0] * node[2],
              pole[0] * node[1] - pole[1] * node[0])
    dot = lambda p, q: sum(p[i] * q[i] for i in range(3))
    lon = lambda w: math.atan2(dot(w, across), dot(w, node))
    # The offset lies in Mars's equator when the axes' signs are right (the orbits are
    # inclined by about 1 and 2 degrees).
    assert abs(dot(v, pole)) < 0.1 * math.sqrt(dot(v, v)), "moon offset out of the equator"
    return math.degrees(lon(v) - lon(earth)) % 360.0


def samples():
    start = 2451544.5  # 2000 January 1
    end = 2466154.5    # 2040 January 1
    jd = start
    while jd < end:
        yield jd
        jd += 2.9


def least_squares(rows, period_guess):
    n0 = 1.0 / period_guess
    # Unwrap against the guessed rate, then fit a line.
    xs, ys = [], []
    for t, a in rows:
        predicted = 360.0 * n0 * t
        k = round((predicted - a) / 360.0)
        xs.append(t)
        ys.append(a + 360.0 * k)
    m = len(xs)
    sx, sy = sum(xs), sum(ys)
    sxx = sum(x * x for x in xs)
    sxy = sum(x * y for x, y in zip(xs, ys))
    slope = (m * sxy - sx * sy) / (m * sxx - sx * sx)
    intercept = (sy - slope * sx) / m
    worst = max(abs((y - intercept - slope * x + 180.0) % 360.0 - 180.0) for x, y in zip(xs, ys))
    return intercept % 360.0, slope / 360.0, worst


def refine(rows, period):
    """The rate is known well enough from the moon's sidereal period to unwrap one day at a
    time; iterate the unwrap with the fitted rate."""
    for _ in range(3):
        u0, n, worst = least_squares(rows, period)
        period = 1.0 / n
    return u0, n, worst


def main():
    # The sidereal periods (days), to start the unwrapping.
    starts = {"Phobos": 0.31891023, "Deimos": 1.2624407}
    elements = []
    for name, body in MOONS:
        rows = [(jd - J2000, (moon_phase(jd, body) + aspect_xi(jd)) % 360.0) for jd in samples()]
        u0, n, worst = refine(rows, starts[name])
        print(f"{name}: u0 {u0:.6f} deg, n {n:.12f} turns/day, worst {worst:.2f} deg")
        elements.append((name, u0, n, worst))
    with open(OUT, "w", encoding="utf-8") as f:
        f.write("#pragma once\n")
        f.write("// Mean motion of Phobos and Deimos in Mars's equator from its node, written by\n")
        f.write("// tools/fit_mars_moons.py (a fit against python3-ephem over 2000 to 2039).\n\n")
        f.write("struct MarsMoonElements {\n")
        f.write("    double longitude;    // degrees at the epoch\n")
        f.write("    double turnsPerDay;  // mean motion\n")
        f.write("};\n")
        f.write("inline constexpr double kMarsMoonEpoch = 2451545.0;\n")
        f.write("inline constexpr MarsMoonElements kMarsMoonElements[2] = {\n")
        for name, u0, n, worst in elements:
            f.write(f"    {{{u0:.6f}, {n:.12f}}},  // {name}, within {worst:.1f} degrees of the reference\n")
        f.write("};\n")
    print("wrote", os.path.relpath(OUT, ROOT))


if __name__ == "__main__":
    main()
