#!/usr/bin/python3
"""Writes the reference rows the planet view tests compare with, from python3-ephem 4.1
(and python3-pymeeus for galilean_pymeeus.txt):

  tests/data/planets/jupiter_cml.txt
      Jupiter's System II central meridian (ephem's cmlII, the IAU rotation
      W = 43.3 + 870.27 d) at 0h UT of 50 dates from 1990 to 2030, among them 1992-12-16,
      2000-03-01 and 2025-03-01, on both sides of opposition.
  tests/data/planets/mars_moons.txt
      The angle of Phobos and of Deimos along their orbits from the Earth's direction
      (degrees, 0 nearest the Earth), at 150 instants from 2000 to 2039, computed from
      ephem's moon offsets as tools/fit_mars_moons.py does.
  tests/data/planets/galilean.txt
      Io, Europa, Ganymede and Callisto at 60 instants from 1990 to 2030 (UT), ephem's sky
      offsets (x east, y south, Jupiter radii) rotated by the position angle of Jupiter's
      pole into its equatorial frame: X positive west, Y positive north.
  tests/data/planets/saturn_view.txt
      Saturn's ring tilt seen from the Earth (ephem's earth_tilt, degrees) and the X of
      Enceladus, Tethys, Dione, Rhea and Titan in Saturn radii, positive west along the ring
      plane (sky offsets rotated by the pole's position angle), at 60 instants (UT) from
      1992 to 2025; the tilt rows go on to 2040.
  tests/data/planets/galilean_pymeeus.txt
      Io, Europa, Ganymede and Callisto at 40 instants (JDE) from 1990 to 2030 and at
      Meeus's example 44.a, from python3-pymeeus's JupiterMoons (its chapter 44 method with
      the full series): X west, Y north, Jupiter radii, Y not stretched.
  tests/data/planets/moon_events.txt
      Transits and hidden spells (eclipsed or occulted, ephem's sun_visible and
      earth_visible) of the Galilean moons and of Tethys, Dione and Rhea, scanned minute by
      minute from 13 hours before to 37 hours after 0h UT of a few days: a transit is a
      moon in front of the planet (z > 0) inside its flattened disc in the equatorial frame.

python3-ephem is not a build dependency: the tests read the committed files.

Run:  /usr/bin/python3 tools/make_planets_fixtures.py
"""

import math
import os
import sys

import ephem

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fit_mars_moons import DJD, moon_phase  # noqa: E402
from fixture_rows import ROOT, fixture_writer  # noqa: E402

write = fixture_writer(os.path.join(ROOT, "tests", "data", "planets"))


def jupiter_rows():
    dates = [ephem.Date("1992/12/16"), ephem.Date("2000/3/1"), ephem.Date("2025/3/1")]
    start = ephem.Date("1990/1/1")
    for i in range(47):
        dates.append(ephem.Date(start + i * 311.0))
    rows = []
    for date in sorted(dates):
        jd = float(date) + DJD
        jupiter = ephem.Jupiter()
        jupiter.compute(date)
        rows.append([f"{jd:.1f}", f"{math.degrees(float(jupiter.cmlII)):.3f}"])
    return rows


def mars_moon_rows():
    rows = []
    jd = 2451544.5 + 13.37
    while jd < 2466154.5:
        rows.append([f"{jd:.5f}"] + [f"{moon_phase(jd, body):.3f}" for body in (ephem.Phobos, ephem.Deimos)])
        jd += 97.3
    return rows


def pole_angle(body, pole_ra, pole_dec):
    """Position angle of the planet's north pole (radians, from north through east)."""
    a0, d0 = math.radians(pole_ra), math.radians(pole_dec)
    a, d = float(body.a_ra), float(body.a_dec)
    return math.atan2(math.cos(d0) * math.sin(a0 - a),
                      math.sin(d0) * math.cos(d) - math.cos(d0) * math.sin(d) * math.cos(a0 - a))


def equatorial_offsets(moon, p):
    east, north = moon.x, -moon.y
    y = east * math.sin(p) + north * math.cos(p)
    x_west = -(east * math.cos(p) - north * math.sin(p))
    return x_west, y


def galilean_rows():
    rows = []
    date = ephem.Date("1990/1/1 3:17")
    for _ in range(60):
        jupiter = ephem.Jupiter(date)
        p = pole_angle(jupiter, 268.056595, 64.495303)
        row = [f"{float(date) + DJD:.6f}"]
        for body in (ephem.Io, ephem.Europa, ephem.Ganymede, ephem.Callisto):
            x, y = equatorial_offsets(body(date), p)
            row += [f"{x:.4f}", f"{y:.4f}"]
        rows.append(row)
        date = ephem.Date(date + 245.37)
    return rows


def saturn_rows():
    rows = []
    date = ephem.Date("1992/1/1 5:41")
    end_moons = ephem.Date("2025/12/31")
    while date < ephem.Date("2040/12/31"):
        saturn = ephem.Saturn(date)
        row = [f"{float(date) + DJD:.6f}", f"{math.degrees(saturn.earth_tilt):.4f}"]
        if date < end_moons:
            p = pole_angle(saturn, 40.589, 83.537)
            for body in (ephem.Enceladus, ephem.Tethys, ephem.Dione, ephem.Rhea, ephem.Titan):
                row.append(f"{equatorial_offsets(body(date), p)[0]:.4f}")
        rows.append(row)
        date = ephem.Date(date + 201.13)
    return rows


def moon_event_rows():
    days = [("jupiter", "2025/1/16"), ("jupiter", "2024/12/3"), ("saturn", "2025/8/20"), ("saturn", "2025/10/5")]
    moons = {
        "jupiter": (ephem.Jupiter, (268.056595, 64.495303), 1.071374,
                    [(0, ephem.Io), (1, ephem.Europa), (2, ephem.Ganymede), (3, ephem.Callisto)]),
        "saturn": (ephem.Saturn, (40.589, 83.537), 1.108601, [(1, ephem.Tethys), (2, ephem.Dione), (3, ephem.Rhea)]),
    }
    rows = []
    for planet, day in days:
        body, pole, flattening, bodies = moons[planet]
        start = ephem.Date(ephem.Date(day) - 13 * ephem.hour)
        minutes = 50 * 60
        states = {slot: [] for slot, _ in bodies}
        for m in range(minutes + 1):
            date = ephem.Date(start + m * ephem.minute)
            p = pole_angle(body(date), *pole)
            for slot, moon_body in bodies:
                moon = moon_body(date)
                x, y = equatorial_offsets(moon, p)
                inside = x * x + (y * flattening) ** 2 < 1.0
                hidden = not moon.earth_visible or not moon.sun_visible
                states[slot].append("transit" if inside and moon.z > 0 else "hidden" if hidden else "")
        for slot, _ in bodies:
            run = states[slot]
            m = 0
            while m <= minutes:
                kind = run[m]
                if not kind:
                    m += 1
                    continue
                first = m
                while m <= minutes and run[m] == kind:
                    m += 1
                # Spells cut by the scan's ends are of no use.
                if first == 0 or m > minutes:
                    continue
                rows.append([planet, day.replace("/", "-"), str(slot), kind, str(first - 13 * 60),
                             str(m - 1 - 13 * 60)])
    return rows


def galilean_pymeeus_rows():
    from pymeeus.Epoch import Epoch
    from pymeeus.JupiterMoons import JupiterMoons
    rows = []
    instants = [2448972.50068] + [2447893.137 + k * 365.31 for k in range(40)]
    for jde in instants:
        row = [f"{jde:.6f}"]
        for x, y, _ in JupiterMoons.rectangular_positions_jovian_equatorial(Epoch(jde)):
            row += [f"{x:.4f}", f"{y:.4f}"]
        rows.append(row)
    return rows


def main():
    write("jupiter_cml.txt",
          ["Jupiter's System II central meridian at 0h UT, python3-ephem " + ephem.__version__ + " cmlII",
           "columns: julian_day_ut cml_ii_degrees"],
          jupiter_rows())
    write("mars_moons.txt",
          ["Phobos and Deimos: angle along the orbit from the Earth's direction, degrees,",
           "from python3-ephem " + ephem.__version__ + " moon offsets (tools/fit_mars_moons.py moon_phase)",
           "columns: julian_day_ut phobos_degrees deimos_degrees"],
          mars_moon_rows())
    write("galilean.txt",
          ["Galilean satellites, python3-ephem " + ephem.__version__ + ", rotated into Jupiter's equatorial",
           "frame by the pole's position angle (IAU pole): X west, Y north, Jupiter radii",
           "columns: julian_day_ut io_x io_y europa_x europa_y ganymede_x ganymede_y callisto_x callisto_y"],
          galilean_rows())
    write("saturn_view.txt",
          ["Saturn's ring tilt (earth_tilt) and satellite X along the ring plane, python3-ephem " + ephem.__version__,
           "X positive west, Saturn radii, sky offsets rotated by the pole's position angle (IAU pole);",
           "rows after 2025 carry the tilt only",
           "columns: julian_day_ut tilt_degrees [enceladus_x tethys_x dione_x rhea_x titan_x]"],
          saturn_rows())
    write("galilean_pymeeus.txt",
          ["Galilean satellites from python3-pymeeus JupiterMoons (chapter 44, full series), at JDE",
           "X west, Y north in Jupiter's equatorial frame, Jupiter radii, Y not stretched",
           "columns: julian_day_tt io_x io_y europa_x europa_y ganymede_x ganymede_y callisto_x callisto_y"],
          galilean_pymeeus_rows())
    write("moon_events.txt",
          ["Moon transits and hidden spells (eclipsed or occulted), python3-ephem " + ephem.__version__,
           "minutes from 0h UT of the day, first and last minute of the spell",
           "columns: planet date slot kind first_minute last_minute"],
          moon_event_rows())


if __name__ == "__main__":
    main()
