#!/usr/bin/python3
"""Writes the references of the eclipse and event tests, computed independently with
python3-ephem 4.1:

  tests/data/eclipses/local_contacts_ephem.txt   local circumstances of solar eclipses
  tests/data/eclipses/events_ephem.txt           greatest lunar eclipses, lunar phases,
                                                 oppositions and inferior conjunctions,
                                                 closest approaches of two bodies
  tests/data/eclipses/lunar_pages_ephem.txt      the Moon's geocentric altitude and azimuth
                                                 at the published contacts of lunar eclipses
                                                 for places, and the sub-lunar point at
                                                 greatest eclipse

For each place: the apparent topocentric Sun and Moon from ephem (no refraction, sea
level), their apparent radii from the topocentric distances with the program's body sizes
(Sun diameter 1392530 km, Moon diameter 3476.18 km, so that the comparison is of the
ephemerides and the search, not of the constants), greatest eclipse by a golden-section
search on the distance of the centres, and the contacts by bisection on
distance - (sum of radii) and distance - |difference of radii|.

Run:  /usr/bin/python3 tools/make_eclipse_fixtures.py
"""
import math
import os

import ephem

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "tests", "data", "eclipses")

EARTH_RADIUS_KM = 6378.14
FLATTENING = 1.0 / 298.257
AU_KM = 149597870.0
SUN_RADIUS_KM = 1392530.0 / 2.0
MOON_RADIUS_KM = 3476.18 / 2.0

# name, date of the eclipse (UT), a UT hour near greatest eclipse, latitude, longitude
# (degrees east, as ephem takes it).
PLACES = [
    ("nashville", (2017, 8, 21), 18.5, 36.1627, -86.7816),
    ("dallas", (2024, 4, 8), 18.7, 32.7767, -96.7970),
    ("albuquerque", (2023, 10, 14), 16.6, 35.0844, -106.6504),
    ("london", (2015, 3, 20), 9.5, 51.5074, -0.1278),
]


def observer_vector(obs):
    """Geocentric position of the observer (km), equator and equinox of date."""
    phi = float(obs.lat)
    u = math.atan((1.0 - FLATTENING) * math.tan(phi))
    rho_cos = math.cos(u)
    rho_sin = (1.0 - FLATTENING) * math.sin(u)
    lst = float(obs.sidereal_time())
    return (EARTH_RADIUS_KM * rho_cos * math.cos(lst), EARTH_RADIUS_KM * rho_cos * math.sin(lst),
            EARTH_RADIUS_KM * rho_sin)


def topocentric_distance(geocentric, obs):
    """Distance from the observer (km) of a body computed for the date alone (geocentric)."""
    d = geocentric.earth_distance * AU_KM
    ra, dec = float(geocentric.g_ra), float(geocentric.g_dec)
    b = (d * math.cos(dec) * math.cos(ra), d * math.cos(dec) * math.sin(ra), d * math.sin(dec))
    o = observer_vector(obs)
    return math.sqrt(sum((b[i] - o[i]) ** 2 for i in range(3)))


def state(obs, hours, date):
    """Distance of the centres, Sun radius, Moon radius (radians) at UT hours of the date."""
    y, m, d = date
    obs.date = ephem.Date((y, m, d, 0, 0, 0)) + hours / 24.0
    sun = ephem.Sun(obs)
    moon = ephem.Moon(obs)
    cos_sep = (math.sin(sun.dec) * math.sin(moon.dec) +
               math.cos(sun.dec) * math.cos(moon.dec) * math.cos(sun.ra - moon.ra))
    sep = math.acos(max(-1.0, min(1.0, cos_sep)))
    # Computed with an observer, ephem's distances are already topocentric; the geocentric
    # ones come from a computation for the date alone.
    rs = math.asin(SUN_RADIUS_KM / topocentric_distance(ephem.Sun(obs.date), obs))
    rm = math.asin(MOON_RADIUS_KM / topocentric_distance(ephem.Moon(obs.date), obs))
    return sep, rs, rm


def golden_minimum(f, a, b, tol=1e-7):
    g = (math.sqrt(5.0) - 1.0) / 2.0
    c, d = b - g * (b - a), a + g * (b - a)
    fc, fd = f(c), f(d)
    while b - a > tol:
        if fc < fd:
            b, d, fd = d, c, fc
            c = b - g * (b - a)
            fc = f(c)
        else:
            a, c, fc = c, d, fd
            d = a + g * (b - a)
            fd = f(d)
    return 0.5 * (a + b)


def bisect(f, a, b, tol=1e-7):
    fa = f(a)
    if fa * f(b) > 0.0:
        return -1.0
    while b - a > tol:
        m = 0.5 * (a + b)
        fm = f(m)
        if (fm < 0.0) == (fa < 0.0):
            a, fa = m, fm
        else:
            b = m
    return 0.5 * (a + b)


def covered_share(k, r):
    """Share of a disc of radius 1 covered by a disc of radius k at distance r."""
    if r >= 1.0 + k:
        return 0.0
    if r <= abs(1.0 - k):
        return 1.0 if k >= 1.0 else k * k
    a = (k * k * math.acos((r * r + k * k - 1.0) / (2.0 * r * k)) + math.acos((r * r + 1.0 - k * k) / (2.0 * r)) -
         0.5 * math.sqrt((-r + k + 1.0) * (r + k - 1.0) * (r - k + 1.0) * (r + k + 1.0)))
    return a / math.pi


JD_OF_EPHEM_ZERO = 2415020.0  # ephem dates count days from 1899 December 31 12h UT


def jd(date):
    return float(date) + JD_OF_EPHEM_ZERO


def geocentric(body, t):
    body.compute(ephem.Date(t))
    return float(body.g_ra), float(body.g_dec)


def shadow_distance(t):
    """Distance (radians) of the Moon from the antisolar point, geocentric apparent."""
    sra, sdec = geocentric(ephem.Sun(), t)
    mra, mdec = geocentric(ephem.Moon(), t)
    return float(ephem.separation((sra + math.pi, -sdec), (mra, mdec)))


def pair_distance(a, b):
    def f(t):
        return float(ephem.separation(geocentric(a(), t), geocentric(b(), t)))
    return f


# BodyIndex of the program: the Sun 0, Mercury 2 .. Pluto 9.
PLANETS = {2: ephem.Mercury, 3: ephem.Venus, 4: ephem.Mars, 5: ephem.Jupiter, 6: ephem.Saturn,
           7: ephem.Uranus, 8: ephem.Neptune, 9: ephem.Pluto}
BODIES = {0: ephem.Sun, **PLANETS}

# Greatest lunar eclipses near these UT instants; closest approaches of two bodies near these
# dates (UT).
GREATEST_LUNAR = [(2019, 1, 21, 5.2), (2022, 11, 8, 11.0)]
CLOSEST_PAIRS = [(4, 5, (2024, 8, 14))]
EVENT_SPAN = ((2023, 12, 1), (2025, 2, 1))
# Mercury's inferior conjunctions over years, many of which fall between two days on which it
# is more than 1 degree from the Earth's direction.
MERCURY_SPAN = ((2020, 1, 1), (2029, 1, 6))


def heliocentric_gap(body, t):
    """Heliocentric ecliptic longitude of the planet less the Earth's, reduced to (-pi, pi]."""
    d = ephem.Date(t)
    p = body()
    p.compute(d)
    s = ephem.Sun()
    s.compute(d)  # a Sun's heliocentric longitude is the Earth's
    g = float(p.hlon) - float(s.hlon)
    return math.atan2(math.sin(g), math.cos(g))


def alignments(body, start, end):
    """Instants at which the planet passes the Earth's heliocentric direction."""
    out = []
    t = float(start)
    previous = heliocentric_gap(body, t)
    while t < float(end):
        gap = heliocentric_gap(body, t + 1.0)
        if abs(gap) < 0.5 and (gap < 0.0) != (previous < 0.0):
            out.append(bisect(lambda x: heliocentric_gap(body, x), t, t + 1.0, 1e-7))
        previous = gap
        t += 1.0
    return out


def event_lines():
    lines = [
        "# Events by python3-ephem %s (tools/make_eclipse_fixtures.py); instants are UT Julian days." %
        ephem.__version__,
        "# greatest year month day jd separationArcsec: least distance of the Moon from the antisolar point",
        "# phase kind jd: kind 0 New Moon, 1 Full Moon",
        "# aligned body jd: heliocentric longitudes of the planet and the Earth equal (inferior conjunction",
        "#   of Mercury or Venus, opposition of an outer planet)",
        "# closest body1 body2 jd separationDegrees: least geocentric apparent separation (body 0 the Sun)",
        "# mercury jd: inferior conjunctions of Mercury from %d to %d" % (MERCURY_SPAN[0][0], MERCURY_SPAN[1][0]),
    ]
    for y, m, d, hour in GREATEST_LUNAR:
        t0 = ephem.Date((y, m, d, 0, 0, 0)) + hour / 24.0
        t = golden_minimum(shadow_distance, t0 - 0.1, t0 + 0.1, 1e-8)
        lines.append("greatest %d %d %d %.6f %.2f" % (y, m, d, jd(t), math.degrees(shadow_distance(t)) * 3600.0))

    start, end = ephem.Date(EVENT_SPAN[0]), ephem.Date(EVENT_SPAN[1])
    for kind, step in ((0, ephem.next_new_moon), (1, ephem.next_full_moon)):
        t = step(start)
        while t < end:
            lines.append("phase %d %.6f" % (kind, jd(t)))
            t = step(t + 1.0)

    conjunctions = []
    for index, body in PLANETS.items():
        for when in alignments(body, start, end):
            lines.append("aligned %d %.6f" % (index, jd(when)))
            if index < 4:
                conjunctions.append((index, 0, when))
    for b1, b2, date in CLOSEST_PAIRS:
        conjunctions.append((b1, b2, float(ephem.Date(date))))
    for b1, b2, near in conjunctions:
        f = pair_distance(BODIES[b1], BODIES[b2])
        t = golden_minimum(f, near - 1.5, near + 1.5, 1e-8)
        lines.append("closest %d %d %.6f %.5f" % (b1, b2, jd(t), math.degrees(f(t))))
    for when in alignments(ephem.Mercury, ephem.Date(MERCURY_SPAN[0]), ephem.Date(MERCURY_SPAN[1])):
        lines.append("mercury %.6f" % jd(when))
    return lines


# Lunar eclipses with NASA's contacts (UT hours of the date: P1 U1 U2 U3 U4 P4, -1 for none)
# and greatest eclipse, and the places the pages are looked at from (latitude, longitude
# east).
LUNAR_PAGES = [
    ((2022, 11, 8), [8 + 2 / 60, 9 + 9 / 60, 10 + 16 / 60, 11 + 41 / 60, 12 + 49 / 60, 13 + 56 / 60],
     10 + 59 / 60 + 11 / 3600, [(40.0, -100.0), (35.7, 139.7)]),
    ((2024, 9, 18), [0 + 41 / 60, 2 + 13 / 60, -1, -1, 3 + 16 / 60, 4 + 47 / 60],
     2 + 44 / 60 + 18 / 3600, [(38.7, -9.1)]),
]


def geocentric_horizontal(t, lat, lon):
    """The Moon's geocentric apparent altitude and azimuth (degrees, azimuth from north
    through east) at ephem date t for a place (degrees, east positive)."""
    ra, dec = geocentric(ephem.Moon(), t)
    obs = ephem.Observer()
    obs.lat = str(lat)
    obs.lon = str(lon)
    obs.date = ephem.Date(t)
    h = float(obs.sidereal_time()) - ra
    phi = math.radians(lat)
    alt = math.asin(math.sin(dec) * math.sin(phi) + math.cos(dec) * math.cos(h) * math.cos(phi))
    az = math.atan2(-math.sin(h) * math.cos(dec), math.sin(dec) * math.cos(phi) - math.cos(h) * math.cos(dec) *
                    math.sin(phi))
    return math.degrees(alt), math.degrees(az) % 360.0


def sub_lunar_point(t):
    """Latitude and longitude (degrees east, -180..180) with the Moon in the zenith."""
    ra, dec = geocentric(ephem.Moon(), t)
    obs = ephem.Observer()
    obs.lon = "0"
    obs.date = ephem.Date(t)
    lon = math.degrees(ra - float(obs.sidereal_time()))
    return math.degrees(dec), (lon + 180.0) % 360.0 - 180.0


def lunar_page_lines():
    lines = [
        "# Lunar eclipse pages by python3-ephem %s (tools/make_eclipse_fixtures.py)." % ephem.__version__,
        "# contact year month day slot utHours latitude longitudeEast altitude azimuth: the Moon's geocentric",
        "#   apparent place at NASA's contact (slot 0 P1, 1 U1, 2 U2, 4 U3, 5 U4, 6 P4), degrees",
        "# zenith year month day utHours latitude longitudeEast: the sub-lunar point at NASA's greatest eclipse",
        "# radii year month day penumbra umbra: the shadow's angular radii (degrees) at greatest eclipse from the",
        "#   Moon's apparent diameter D (arc minutes) and the distances: D R / 1738 / 120 with R the shadow's",
        "#   radius in km at the Moon's distance, 6378.14 + 701378.14 q and 6378.14 - 688621.86 q, q = Moon / Sun",
    ]
    slots = [0, 1, 2, 4, 5, 6]
    for (y, m, d), contacts, greatest, places in LUNAR_PAGES:
        day0 = float(ephem.Date((y, m, d, 0, 0, 0)))
        for lat, lon in places:
            for slot, hours in zip(slots, contacts):
                if hours < 0:
                    continue
                alt, az = geocentric_horizontal(day0 + hours / 24.0, lat, lon)
                lines.append("contact %d %d %d %d %.6f %.4f %.4f %.4f %.4f" % (y, m, d, slot, hours, lat, lon, alt, az))
        lat, lon = sub_lunar_point(day0 + greatest / 24.0)
        lines.append("zenith %d %d %d %.6f %.4f %.4f" % (y, m, d, greatest, lat, lon))
        t = ephem.Date(day0 + greatest / 24.0)
        moon, sun = ephem.Moon(t), ephem.Sun(t)
        q = moon.earth_distance / sun.earth_distance
        diameter = moon.size / 60.0
        lines.append("radii %d %d %d %.4f %.4f" % (y, m, d, diameter * (6378.14 + 701378.14 * q) / 1738.0 / 120.0,
                                                   diameter * (6378.14 - 688621.86 * q) / 1738.0 / 120.0))
    return lines


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "lunar_pages_ephem.txt"), "w") as f:
        f.write("\n".join(lunar_page_lines()) + "\n")
    with open(os.path.join(OUT, "events_ephem.txt"), "w") as f:
        f.write("\n".join(event_lines()) + "\n")
    lines = [
        "# Local circumstances of solar eclipses by python3-ephem %s (tools/make_eclipse_fixtures.py)." %
        ephem.__version__,
        "# Topocentric apparent Sun and Moon, no refraction, sea level; radii from the topocentric distances",
        "# with the Sun's diameter 1392530 km and the Moon's 3476.18 km. Times are UT hours of the date; -1 for",
        "# a contact that does not happen. deltaT is ephem's Delta T for the date (seconds).",
        "# name year month day guessHour latitude longitudeWest deltaT greatest c1 c2 c3 c4 magnitude "
        "obscurationPercent diameterRatio",
    ]
    for name, date, guess, lat, lon in PLACES:
        obs = ephem.Observer()
        obs.lat = str(lat)
        obs.lon = str(lon)
        obs.elevation = 0.0
        obs.pressure = 0.0
        greatest = golden_minimum(lambda h: state(obs, h, date)[0], guess - 2.0, guess + 2.0)
        sep, rs, rm = state(obs, greatest, date)
        magnitude = (rs + rm - sep) / (2.0 * rs)
        ratio = rm / rs
        obscuration = 100.0 * covered_share(ratio, sep / rs)

        def outer(h):
            s, a, b = state(obs, h, date)
            return s - (a + b)

        def inner(h):
            s, a, b = state(obs, h, date)
            return s - abs(a - b)

        c1 = bisect(outer, greatest - 4.0, greatest)
        c4 = bisect(outer, greatest, greatest + 4.0)
        c2 = bisect(inner, greatest - 0.2, greatest) if inner(greatest) < 0.0 else -1.0
        c3 = bisect(inner, greatest, greatest + 0.2) if inner(greatest) < 0.0 else -1.0
        y, m, d = date
        delta_t = ephem.delta_t(ephem.Date((y, m, d, 12, 0, 0)))
        values = [y, m, d, guess, lat, -lon, delta_t, greatest, c1, c2, c3, c4, magnitude, obscuration, ratio]
        lines.append(name + " " + " ".join("%.9g" % v if isinstance(v, float) else str(v) for v in values))
    with open(os.path.join(OUT, "local_contacts_ephem.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
