#!/usr/bin/python3
"""Writes the reference rows that the tests of the sky-condition forms compare with:

  tests/data/settings/sun_low_precision.txt
      the Sun's apparent declination, the equation of time and the longitude under the Sun
      (degrees west of Greenwich) at given instants, from python3-ephem.

  tests/data/settings/sun_rise_set.txt
      the Sun's centre crossing the altitudes -0.8333, -6, -12 and -18 degrees on given days
      at London, Quito and Tromso, from python3-ephem (no refraction: the altitude is the
      geometric one the day and night map asks for), in hours of the site's zone time from
      the local midnight starting the day; a day on
      which the Sun stays above the altitude is marked "up", one on which it stays below
      "down".

python3-ephem is not a build dependency: the tests read the committed files. Install it
with `apt-get install python3-ephem` to run this script.

Run:  /usr/bin/python3 tools/make_settings_fixtures.py
"""

import math
import os

import ephem

from fixture_rows import ROOT, fixture_writer

OUT = os.path.join(ROOT, "tests", "data", "settings")

INSTANTS = ["2024/2/11 12:00", "2024/3/20 12:00", "2024/6/21 12:00", "2024/11/3 12:00"]

# name, latitude, longitude (east positive, as ephem takes them), zone (minutes, local - UT)
SITES = [("london", "51.5074", "-0.1278", 0), ("quito", "-0.1807", "-78.4678", -300),
         ("tromso", "69.6492", "18.9553", 60)]
DAYS = {
    "london": ["2024/6/21", "2024/12/21"],
    "quito": ["2024/3/20"],
    "tromso": ["2024/6/21", "2024/12/21"],
}
ALTITUDES = ["-0.8333", "-6", "-12", "-18"]


def sun_rows():
    rows = []
    for text in INSTANTS:
        when = ephem.Date(text)
        greenwich = ephem.Observer()
        greenwich.lon = "0"
        greenwich.lat = "0"
        greenwich.pressure = 0
        greenwich.date = when
        sun = ephem.Sun(greenwich)
        # The hour angle of the true Sun at Greenwich is the longitude (west) under it.
        hour_angle = math.degrees(greenwich.sidereal_time() - sun.g_ra) % 360.0
        if hour_angle == 0.0:
            hour_angle = 360.0
        ut = when.datetime()
        mean = ((ut.hour + ut.minute / 60.0) * 15.0 + 180.0) % 360.0
        equation = ((hour_angle - mean + 180.0) % 360.0 - 180.0) * 4.0  # minutes of time
        rows.append([str(ut.year), str(ut.month), str(ut.day), "12.0", "%.5f" % math.degrees(sun.g_dec),
                     "%.4f" % equation, "%.5f" % hour_angle])
    return rows


def hours(date, day_start):
    return "%.5f" % ((ephem.Date(date) - day_start) * 24.0)


def rise_set_rows():
    rows = []
    for name, lat, lon, zone in SITES:
        for day in DAYS[name]:
            start = ephem.Date(ephem.Date(day) - zone / 1440.0)
            for altitude in ALTITUDES:
                site = ephem.Observer()
                site.lat, site.lon = lat, lon
                site.elevation = 0
                site.pressure = 0
                site.horizon = altitude
                site.date = start
                sun = ephem.Sun()
                try:
                    rise = hours(site.next_rising(sun, use_center=True), start)
                    site.date = start
                    setting = hours(site.next_setting(sun, use_center=True), start)
                    state = "normal"
                except ephem.AlwaysUpError:
                    rise, setting, state = "0", "0", "up"
                except ephem.NeverUpError:
                    rise, setting, state = "0", "0", "down"
                if state == "normal" and (float(rise) >= 24.0 or float(setting) >= 24.0):
                    raise SystemExit("%s %s %s: an event falls on the next day" % (name, day, altitude))
                y, m, d = (int(x) for x in day.split("/"))
                rows.append([name, lat, str(-float(lon)), str(zone), str(y), str(m), str(d), altitude, state, rise,
                             setting])
    return rows


def main():
    write = fixture_writer(OUT)
    write("sun_low_precision.txt",
          ["python3-ephem %s: the apparent Sun at instants of UT" % ephem.__version__,
           "year month day ut_hour declination_deg equation_of_time_min subsolar_longitude_west_deg"],
          sun_rows())
    write("sun_rise_set.txt",
          ["python3-ephem %s: the Sun's centre at an altitude, no refraction, hours of zone time" % ephem.__version__,
           "site latitude longitude_west zone_minutes year month day altitude state(normal/up/down) rise set"],
          rise_set_rows())


if __name__ == "__main__":
    main()
