#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "astro/rise_set_internal.h"
#include "astro/time_scales.h"
#include "core/settings.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

using test_units::kDeg;

class RiseSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        observingDateTime.year = 1900;  // Delta T from its table for every date below
    }

    SavedObservingState saved;
};

// Local sidereal time at a local clock hour of the date.
double LstAt(int year, int month, int day, double hour, double longitudeWest, int zone) {
    const double seconds = hour * 3600.0;
    const int h = static_cast<int>(std::floor(seconds / 3600.0));
    const int m = static_cast<int>(std::floor((seconds - h * 3600.0) / 60.0));
    const int s = static_cast<int>(std::lround(seconds - h * 3600.0 - m * 60.0));
    return LocalSiderealTime(year, month, day, h, m, s, longitudeWest, zone);
}

TEST_F(RiseSetTest, HourAngleAndHorizontalPlace) {
    const std::vector<std::pair<double, double>> hourAngles = {{13, -11}, {-13, 11}, {36, 12}, {-36, -12},
                                                               {12, 12},  {-12, -12}, {5.5, 5.5}, {24, 0}};
    for (const auto& [in, out] : hourAngles) EXPECT_EQ(NormalizeHourAngle(in), out) << in;

    // Meeus 13.b: Venus at Washington, hour angle 64.352133 deg, declination -6.719892,
    // latitude 38.921389: azimuth 68.0337 west of south, altitude 15.1249.
    const double ra = 23.0, lst = ra + 64.352133 / 15.0;
    EXPECT_NEAR(ComputeAzimuth(lst, ra, -6.719892, 38.921389), 180.0 + 68.0337, 1e-4);
    EXPECT_NEAR(ComputeAltitude(lst, ra, -6.719892, 38.921389), 15.1249, 1e-4);

    // On the meridian south of the zenith; east of the meridian.
    EXPECT_NEAR(ComputeAzimuth(5.0, 5.0, 20.0, 40.0), 180.0, 1e-9);
    EXPECT_NEAR(ComputeAltitude(5.0, 5.0, 20.0, 40.0), 70.0, 1e-9);
    const double east = ComputeAzimuth(2.0, 5.0, 20.0, 40.0);
    EXPECT_GT(east, 0.0);
    EXPECT_LT(east, 180.0);
}

TEST_F(RiseSetTest, FixedObjectEventsInSolarTime) {
    // At rise and set the object stands at the limit altitude (the caller's altitude less
    // 0.61 deg and the dip), and at transit on the meridian, in clock time.
    UseTestSite(0.0, 0.0, 0);  // the argument's latitude counts, not the site record's
    struct Case {
        double latitude, longitude;
        int zone, height;
        double ra, dec, altitude;
    };
    for (const Case& c : {Case{42.3333, 71.0833, -300, 0, 14.2, 19.2, 0.0}, Case{51.5, 0.0, 60, 250, 5.9, -5.0, 0.0},
                          Case{-33.9, -151.2, 600, 0, 20.0, -60.0, 10.0}, Case{64.1, 21.9, 0, 1000, 23.8, 12.0, -0.5}}) {
        SCOPED_TRACE(testing::Message() << c.latitude << " " << c.ra << " " << c.dec);
        double rise = -1, transit = -1, set = -1;
        EXPECT_EQ(ComputeRiseSet(2020, 6, 1, c.latitude, c.longitude, c.zone, c.height, c.altitude, c.ra, c.dec, &rise,
                                 &transit, &set),
                  0);
        const double dip = c.height > 0 ? std::acos(6378140.0 / (6378140.0 + c.height)) / kDeg : 0.0;
        const double limit = c.altitude - dip - 0.010646508 / kDeg;
        const double lstTransit = LstAt(2020, 6, 1, transit, c.longitude, c.zone);
        EXPECT_NEAR(NormalizeHourAngle(lstTransit - c.ra) * 3600.0, 0.0, 1.0);  // seconds of time
        for (double t : {rise, set}) {
            EXPECT_GE(t, 0.0);
            EXPECT_LE(t, 24.0);
            EXPECT_NEAR(ComputeAltitude(LstAt(2020, 6, 1, t, c.longitude, c.zone), c.ra, c.dec, c.latitude), limit,
                        0.005);
        }
    }
}

TEST_F(RiseSetTest, FixedObjectEdgeCases) {
    double rise, transit, set;
    // Never rises: three zeros. Never sets: rise 0, the transit, set 23.99.
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, 0, 0.0, 6.0, -60.0, &rise, &transit, &set);
    EXPECT_EQ((std::vector<double>{rise, transit, set}), (std::vector<double>{0.0, 0.0, 0.0}));
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, 0, 0.0, 6.0, 80.0, &rise, &transit, &set);
    EXPECT_EQ(rise, 0.0);
    EXPECT_EQ(set, kNeverSetsHour);
    EXPECT_NEAR(NormalizeHourAngle(LstAt(2021, 3, 5, transit, 71.0, -300) - 6.0) * 3600.0, 0.0, 1.0);

    // A site below sea level has no dip (no NaN); at sea level the limit is the
    // altitude less 0.61 deg.
    double r0, t0, s0;
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, 0, 0.0, 6.0, 10.0, &r0, &t0, &s0);
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, -30, 0.0, 6.0, 10.0, &rise, &transit, &set);
    EXPECT_EQ((std::vector<double>{rise, transit, set}), (std::vector<double>{r0, t0, s0}));
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, 0, 0.010646508 / kDeg, 6.0, 10.0, &rise, &transit, &set);
    EXPECT_NEAR(ComputeAltitude(LstAt(2021, 3, 5, rise, 71.0, -300), 6.0, 10.0, 42.0), 0.0, 0.005);
    // A high site sees the object earlier and longer.
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, 2000, 0.0, 6.0, 10.0, &rise, &transit, &set);
    EXPECT_LT(rise, r0);
    EXPECT_GT(set, s0);

    // A set past midnight wraps into the same date and may come before the rise.
    ComputeRiseSet(2021, 3, 5, 42.0, 71.0, -300, 0, 0.0, 12.0, 10.0, &rise, &transit, &set);
    EXPECT_LT(set, rise);
}

TEST_F(RiseSetTest, SiderealTimeIsCachedPerDateZoneAndLongitude) {
    double rise, transit, set;
    ComputeRiseSet(2022, 1, 10, 40.0, 75.0, -300, 0, 0.0, 1.0, 10.0, &rise, &transit, &set);
    const long computed = riseSetLstCache.computations;
    for (double ra : {2.0, 3.0, 4.0}) ComputeRiseSet(2022, 1, 10, 40.0, 75.0, -300, 0, 0.0, ra, 10.0, &rise, &transit, &set);
    EXPECT_EQ(riseSetLstCache.computations, computed);

    // Another longitude for the same date: a new sidereal time, and the transit moves
    // by the longitude difference.
    ComputeRiseSet(2022, 1, 10, 40.0, 75.0, -300, 0, 0.0, 4.0, 10.0, &rise, &transit, &set);
    double rise2, transit2, set2;
    ComputeRiseSet(2022, 1, 10, 40.0, 90.0, -300, 0, 0.0, 4.0, 10.0, &rise2, &transit2, &set2);
    EXPECT_EQ(riseSetLstCache.computations, computed + 1);
    EXPECT_NEAR(transit2 - transit, 1.0 / 1.00273790935, 1e-6);
    ComputeRiseSet(2022, 1, 10, 40.0, 90.0, -240, 0, 0.0, 4.0, 10.0, &rise2, &transit2, &set2);
    EXPECT_EQ(riseSetLstCache.computations, computed + 2);
}

TEST_F(RiseSetTest, VenusRisingAtBoston) {
    // Meeus 15.a: Venus at Boston on 1988 March 20 (UT), Delta T 56 s: rise 0.51766,
    // transit 0.81980, set 0.12130 of the day (12h25m, 19h41m, 2h55m).
    UseTestSite(42.3333, 71.0833, 0);
    observingDateTime.year = 1988;
    SetPreferenceFloat(pref::deltaTUser, 56.0f);
    double rise, transit, set;
    const int result = ComputeRiseSetMoving(1988, 3, 20, 0, 0, 0, 40.68021 / 15, 18.04761, 41.73129 / 15, 18.44092,
                                            42.78204 / 15, 18.82742, -0.5667, &rise, &transit, &set);
    EXPECT_EQ(result, kRiseSetNormal);
    EXPECT_NEAR(rise, 0.51766 * 24.0, 0.2 / 60);
    EXPECT_NEAR(transit, 0.81980 * 24.0, 0.2 / 60);
    EXPECT_NEAR(set, 0.12130 * 24.0, 0.2 / 60);
}

TEST_F(RiseSetTest, MovingBodyEdgeCases) {
    UseTestSite(42.3333, 71.0833, -300);
    double r1, t1, s1, r2, t2, s2;
    // Right ascensions across 0 h are taken as continuing past 24 h.
    ComputeRiseSetMoving(2020, 3, 1, 0, 0, 0, 23.9, 5.0, 0.1, 5.5, 0.3, 6.0, 0.125, &r1, &t1, &s1);
    ComputeRiseSetMoving(2020, 3, 1, 0, 0, 0, 23.9, 5.0, 24.1, 5.5, 24.3, 6.0, 0.125, &r2, &t2, &s2);
    EXPECT_EQ((std::vector<double>{r1, t1, s1}), (std::vector<double>{r2, t2, s2}));
    ComputeRiseSetMoving(2020, 3, 1, 0, 0, 0, 23.5, 5.0, 23.9, 5.5, 0.2, 6.0, 0.125, &r1, &t1, &s1);
    ComputeRiseSetMoving(2020, 3, 1, 0, 0, 0, 23.5, 5.0, 23.9, 5.5, 24.2, 6.0, 0.125, &r2, &t2, &s2);
    EXPECT_EQ((std::vector<double>{r1, t1, s1}), (std::vector<double>{r2, t2, s2}));

    // Never sets and never rises.
    EXPECT_EQ(ComputeRiseSetMoving(2020, 3, 1, 0, 0, 0, 2.0, 80.0, 2.1, 80.0, 2.2, 80.0, 0.125, &r1, &t1, &s1),
              kRiseSetNeverSets);
    EXPECT_EQ((std::vector<double>{r1, t1, s1}), (std::vector<double>{0.0, 12.0, kNeverSetsHour}));
    EXPECT_TRUE(RiseSetAllDay(kRiseSetNeverSets, r1, t1, s1));
    EXPECT_EQ(ComputeRiseSetMoving(2020, 3, 1, 0, 0, 0, 2.0, -80.0, 2.1, -80.0, 2.2, -80.0, 0.125, &r1, &t1, &s1),
              kRiseSetNormal);
    EXPECT_EQ((std::vector<double>{r1, t1, s1}), (std::vector<double>{0.0, 0.0, 0.0}));
    EXPECT_TRUE(RiseSetAllDay(kRiseSetNormal, r1, t1, s1));
    EXPECT_FALSE(RiseSetAllDay(kRiseSetNormal, 0.0, 11.5, 23.0));  // a rise at midnight
}

// One site and date of rise_set_ephem.txt; NaN where the event misses the local day.
struct EphemDay {
    std::string site;
    double latitude, longitudeEast;
    int zone, year, month, day;
    double values[7];  // Sun rise, transit, set, twilight end; Moon rise, transit, set
};

std::vector<EphemDay> ReadEphemDays() {
    std::vector<EphemDay> days;
    for (const std::vector<std::string>& w : ReadFixtureWords("astro/rise_set_ephem.txt")) {
        EXPECT_EQ(w.size(), 14u);
        if (w.size() < 14) continue;
        EphemDay d;
        d.site = w[0];
        d.latitude = std::stod(w[1]);
        d.longitudeEast = std::stod(w[2]);
        d.zone = std::stoi(w[3]);
        d.year = std::stoi(w[4]);
        d.month = std::stoi(w[5]);
        d.day = std::stoi(w[6]);
        for (int i = 0; i < 7; ++i) d.values[i] = w[7 + i] == "-" ? std::nan("") : std::stod(w[7 + i]);
        days.push_back(d);
    }
    return days;
}

// Compares one body's events of a day: an event of the day within `minutes`, an event
// that misses the day outside 0..24 h; the "never rises" and "never sets" answers only
// where the reference has neither rise nor set.
void ExpectEvents(const char* what, int result, const double ours[3], const double reference[3], double minutes) {
    SCOPED_TRACE(what);
    if (RiseSetAllDay(result, ours[0], ours[1], ours[2])) {
        EXPECT_TRUE(std::isnan(reference[0]) && std::isnan(reference[2]));
        return;
    }
    for (int i = 0; i < 3; ++i) {
        if (std::isnan(reference[i])) {
            EXPECT_TRUE(ours[i] < 0.0 || ours[i] >= 24.0) << "event " << i << ": " << ours[i];
        } else {
            EXPECT_NEAR(ours[i], reference[i], minutes / 60.0) << "event " << i;
        }
    }
}

TEST_F(RiseSetTest, SunAndMoonFollowAnIndependentEphemeris) {
    int days = 0, midnightSun = 0;
    for (const EphemDay& d : ReadEphemDays()) {
        SCOPED_TRACE(testing::Message() << d.site << " " << d.year << "-" << d.month << "-" << d.day);
        UseTestSite(d.latitude, -d.longitudeEast, d.zone);
        double sun[3], twilight, moon[3];
        const int sunResult = ComputeSunRiseSet(d.year, d.month, d.day, &sun[0], &sun[1], &sun[2], &twilight);
        const int moonResult = ComputeMoonRiseSet(d.year, d.month, d.day, &moon[0], &moon[1], &moon[2], nullptr);
        // Where the Sun only grazes the horizon around noon (69.6 N on 2024 January 15: up
        // for a quarter of an hour), an arc second of altitude moves its events by seconds
        // of time: the low-precision Sun and the parallax the reference includes shift them
        // by two minutes.
        const bool grazing = d.values[2] - d.values[0] > 0.0 && d.values[2] - d.values[0] < 1.0;
        ExpectEvents("Sun", sunResult, sun, &d.values[0], grazing ? 3.0 : 1.0);
        // At 70 degrees the Moon climbs slowly, and its fixed limit altitude stands for a
        // parallax and semidiameter that change with its distance.
        ExpectEvents("Moon", moonResult, moon, &d.values[4], std::fabs(d.latitude) > 60.0 ? 1.5 : 1.0);
        if (sunResult == kRiseSetNeverSets) {
            ++midnightSun;
            // Nor does it reach the depth of astronomical twilight.
            EXPECT_EQ(twilight, kNeverSetsHour);
            EXPECT_TRUE(std::isnan(d.values[3]));
        } else if (!std::isnan(d.values[3])) {
            EXPECT_NEAR(twilight, d.values[3], 1.0 / 60.0);
        } else {
            EXPECT_TRUE(twilight == kNeverSetsHour || twilight == 0.0 || twilight >= 24.0) << twilight;
        }
        ++days;
    }
    EXPECT_GE(days, 80);
    EXPECT_GE(midnightSun, 4);
}

TEST_F(RiseSetTest, MoonEventsOfTheNextDay) {
    // ComputeMoonRiseSetTransit takes a rise or set that slips past midnight from the
    // next day's computation; ComputeMoonRiseSet keeps the single-day value.
    UseTestSite(51.4769, 0.0, 0);
    int slipped = 0;
    for (int day = 1; day <= 60; ++day) {
        double r, t, s, dec;
        ComputeMoonRiseSet(2019, 3, day, &r, &t, &s, &dec);
        double ra0, dec0;
        MoonPosition(&ra0, &dec0, 2019, 3, day, 0, 0, 0);
        EXPECT_EQ(dec, dec0);
        double r2, t2, s2;
        ComputeMoonRiseSetTransit(2019, 3, day, &r2, &t2, &s2);
        EXPECT_EQ(t2, t);
        double nr, nt, ns;
        ComputeMoonRiseSet(2019, 3, day + 1, &nr, &nt, &ns, nullptr);
        EXPECT_EQ(r2, r >= 24.0 ? nr + 24.0 : r) << day;
        EXPECT_EQ(s2, s >= 24.0 ? ns + 24.0 : s) << day;
        if (r >= 24.0 || s >= 24.0) ++slipped;
    }
    EXPECT_GE(slipped, 2);  // about once a month each
}

TEST_F(RiseSetTest, ArgumentFormsReadNoCurrentSiteOrDeltaT) {
    // The ...At forms give, with another site and Delta T current, what the reading forms
    // give with theirs current.
    const ObserverLocation site = MakeSite(-33.9f, -151.2f, 600, 40);
    const double deltaT = 71.5;
    observerLocation = site;
    observingDateTime.year = 2021;
    SetPreferenceFloat(pref::deltaTUser, static_cast<float>(deltaT));
    struct Events {
        double v[4];
        int result;
    };
    auto reading = [](int day) {
        Events sun{}, moon{}, moonLine{};
        sun.result = ComputeSunRiseSet(2021, 7, day, &sun.v[0], &sun.v[1], &sun.v[2], &sun.v[3]);
        moon.result = ComputeMoonRiseSet(2021, 7, day, &moon.v[0], &moon.v[1], &moon.v[2], &moon.v[3]);
        moonLine.result = ComputeMoonRiseSetTransit(2021, 7, day, &moonLine.v[0], &moonLine.v[1], &moonLine.v[2]);
        return std::vector<Events>{sun, moon, moonLine};
    };
    std::vector<std::vector<Events>> expected;
    for (int day = 1; day <= 31; day += 3) expected.push_back(reading(day));

    UseTestSite(64.1, 21.9, 0);
    SetPreferenceFloat(pref::deltaTUser, 5.0f);
    for (int day = 1, i = 0; day <= 31; day += 3, ++i) {
        SCOPED_TRACE(day);
        Events sun{}, moon{}, moonLine{};
        sun.result = ComputeSunRiseSetAt(site, deltaT, 2021, 7, day, &sun.v[0], &sun.v[1], &sun.v[2], &sun.v[3]);
        moon.result = ComputeMoonRiseSetAt(site, deltaT, 2021, 7, day, &moon.v[0], &moon.v[1], &moon.v[2], &moon.v[3]);
        moonLine.result = ComputeMoonRiseSetTransitAt(site, deltaT, deltaT, 2021, 7, day, &moonLine.v[0],
                                                      &moonLine.v[1], &moonLine.v[2]);
        const Events got[3] = {sun, moon, moonLine};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(got[k].result, expected[i][k].result) << k;
            for (int e = 0; e < 4; ++e) EXPECT_EQ(got[k].v[e], expected[i][k].v[e]) << k << " " << e;
        }
    }
}

}  // namespace
