// The low-precision Sun and Moon, the rounding rules, the sky brightness model's behaviour
// and the limiting magnitudes written into the search criteria.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/time_scales.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "objects/limiting_magnitude.h"
#include "objects/sky_brightness.h"
#include "support/fixture_files.h"

namespace {

using test_units::kPi;

// A dark site at sea level, 40 % humidity, 15 degrees C.
ObserverLocation DarkSite(float latitude = 45.0f, float longitudeWest = 0.0f) {
    ObserverLocation site = MakeSite(latitude, longitudeWest, 0, 0);
    site.humidity = 40;
    site.temperature = 15;
    return site;
}

// The default observer of the settings: acuity 1.0, age 2, experience 5.
SkyObserver DefaultObserver() {
    SkyObserver o;
    o.acuity = 1.0;
    o.age = 2;
    o.experience = 5;
    return o;
}

struct SkyRun {
    SkyModel model;
    SkyTerms terms;
    double uncertainty;
};

SkyRun Sky(const ObserverLocation& site, int year, int month, int day, int hour, int minute, int skyValue = 29,
        SkyObserver observer = DefaultObserver()) {
    SkyRun r;
    r.uncertainty = ComputeSkyBrightnessFor(&r.model, site, observer, skyValue, year, month, day, hour, minute, &r.terms);
    return r;
}

double SunAltitudeAt(const ObserverLocation& site, int year, int month, int day, int hour, int minute) {
    double ra = 0, dec = 0;
    LowPrecisionSun(DateTimeToJD(year, month, day, hour, minute, 0, site.zoneMinutes), &ra, &dec);
    const double lst = LocalSiderealTime(year, month, day, hour, minute, 0, site.longitude, site.zoneMinutes);
    const double h = (lst - ra) * kPi / 12.0;
    const double phi = site.latitude * kPi / 180.0, d = dec * kPi / 180.0;
    return std::asin(std::sin(phi) * std::sin(d) + std::cos(phi) * std::cos(d) * std::cos(h)) * 180.0 / kPi;
}

}  // namespace

TEST(SkyRounding, TenthsAndHundredthsRoundHalfUp) {
    struct Case {
        double value, tenth, hundredth;
    };
    const Case cases[] = {{1.04, 1.0, 1.04},   {1.05, 1.1, 1.05},     {1.234, 1.2, 1.23},  {1.235, 1.2, 1.24},
                          {-1.26, -1.3, -1.26}, {-12.3456, -12.3, -12.35}, {0.0, 0.0, 0.0}, {999.996, 1000.0, 1000.0}};
    for (const Case& c : cases) {
        EXPECT_NEAR(RoundToTenth(c.value), c.tenth, 1e-12) << c.value;
        EXPECT_NEAR(RoundToHundredth(c.value), c.hundredth, 1e-12) << c.value;
    }
}

TEST(SkyGeometry, Atan2PositiveCoversTheCircle) {
    struct Case {
        double x, y, angle;
    };
    const Case cases[] = {{1, 1, kPi / 4},      {-1, 1, 3 * kPi / 4}, {-1, -1, 5 * kPi / 4}, {1, -1, 7 * kPi / 4},
                          {1, 0, 0},            {-1, 0, kPi},         {0, 2, kPi / 2},       {0, -2, 3 * kPi / 2},
                          {0, 0, 0}};
    for (const Case& c : cases) EXPECT_NEAR(Atan2Positive(c.x, c.y), c.angle, 1e-12) << c.x << " " << c.y;
}

TEST(SkyGeometry, LowPrecisionSunAgainstEphem) {
    const auto rows = ReadTaggedFixtureRows("objects/sun_moon_ephem.txt", "sun");
    ASSERT_GE(rows.size(), 2u);
    for (const auto& r : rows) {
        double ra = 0, dec = 0;
        LowPrecisionSun(r[0], &ra, &dec);
        EXPECT_LT(SeparationArcsec(ra, dec, r[1], r[2]), 0.01 * 3600) << r[0];
    }
}

TEST(SkyGeometry, LowPrecisionMoonAgainstMeeusAndEphem) {
    // Meeus 47.a, 1992 April 12.0 TD.
    double lambda = 0, beta = 0, parallax = 0;
    LowPrecisionMoonEcliptic(2448724.5, &lambda, &beta, &parallax);
    EXPECT_NEAR(std::remainder(lambda - 133.162655, 360.0), 0.0, 0.3);
    EXPECT_NEAR(beta, -3.229126, 0.2);
    EXPECT_NEAR(parallax, 0.991990, 0.01);

    const auto rows = ReadTaggedFixtureRows("objects/sun_moon_ephem.txt", "moon");
    ASSERT_GE(rows.size(), 3u);
    for (const auto& r : rows) {
        int y, mo, d, h, mi, s;
        JDToDate(r[0], &y, &mo, &d, &h, &mi, &s);
        const double lst = LocalSiderealTime(y, mo, d, h, mi, s, -r[2], 0);
        double ra = 0, dec = 0, distance = 0;
        LowPrecisionMoon(r[0], lst, r[1], &ra, &dec, &distance);
        EXPECT_LT(SeparationArcsec(ra, dec, r[3], r[4]), 0.3 * 3600) << r[0];
        EXPECT_GT(distance, 54.0);
        EXPECT_LT(distance, 65.0);
    }
}

TEST(SkyModel, SurfaceBrightnessAndLightPollution) {
    EXPECT_NEAR(SurfaceBrightness(1000.0), 26.3313 - 2.5 * 3.0, 1e-4);
    EXPECT_NEAR(SurfaceBrightness(1000.0), 18.83, 0.005);
    EXPECT_NEAR(SurfaceBrightness(54.0), 22.00, 0.005);
    EXPECT_NEAR(LightPollutionTerm(29), 6.3e-6, 0.2e-6);
    EXPECT_NEAR(LightPollutionTerm(14), 7.95, 0.01);
    EXPECT_LT(LightPollutionTerm(22), LightPollutionTerm(19));
}

TEST(SkyModel, DarkMoonlessSite) {
    // 2020 February 20, 22:00 UT at 45 N on the Greenwich meridian: the Sun about 30
    // degrees down, the Moon (a day before new) below the horizon.
    const ObserverLocation site = DarkSite();
    const SkyRun r = Sky(site, 2020, 2, 20, 22, 0);
    ASSERT_LT(SunAltitudeAt(site, 2020, 2, 20, 22, 0), -25.0);
    EXPECT_FALSE(r.terms.dayVision);
    EXPECT_EQ(r.model.moonlightMagnitude, 50.0);
    EXPECT_EQ(r.model.sunlightMagnitude, 50.0);
    EXPECT_EQ(r.model.moonSurfaceBrightness, -500.0);
    EXPECT_EQ(r.model.moonBrightness, 0.0);
    EXPECT_EQ(r.terms.moonAirMass, 40.0);
    EXPECT_EQ(r.terms.sunAirMass, 40.0);
    EXPECT_GT(r.terms.limitBeforePollution, 6.0);
    EXPECT_LT(r.terms.limitBeforePollution, 7.0);
    EXPECT_NEAR(r.terms.limitBeforePollution, 6.12, 0.005);
    EXPECT_NEAR(r.model.limitingMagnitude, r.terms.limitBeforePollution, 0.005);
    EXPECT_NEAR(r.model.skySurfaceBrightness, RoundToHundredth(SurfaceBrightness(r.terms.total)), 1e-9);
    EXPECT_GT(r.model.extinctionCoefficient, 0.1);
    EXPECT_LT(r.model.extinctionCoefficient, 0.6);
    EXPECT_GT(r.uncertainty, 0.16);
    EXPECT_LT(r.uncertainty, 1.0);
    // The record holds its inputs.
    EXPECT_EQ(r.model.altitude, 89.0);
    EXPECT_EQ(r.model.azimuth, 180.0);
    EXPECT_EQ(r.model.humidity, 40.0);
    EXPECT_EQ(r.model.year, 2020);
    EXPECT_EQ(r.model.second, 0);
}

TEST(SkyModel, TheLimitFallsAsTheSunRises) {
    // 2020 March 20 at 45 N: the Sun rises near 6:00 UT on the Greenwich meridian.
    const ObserverLocation site = DarkSite();
    double previousLimit = 99.0;
    double previousAltitude = -90.0;
    double first = 0, last = 0;
    for (int minute = 3 * 60 + 40; minute <= 6 * 60 + 10; minute += 5) {
        const double altitude = SunAltitudeAt(site, 2020, 3, 20, minute / 60, minute % 60);
        if (altitude < -18.0 || altitude > 0.0) continue;
        ASSERT_GT(altitude, previousAltitude);
        const SkyRun r = Sky(site, 2020, 3, 20, minute / 60, minute % 60);
        EXPECT_LE(r.model.limitingMagnitude, previousLimit + 1e-9) << altitude;
        if (previousLimit == 99.0) first = r.model.limitingMagnitude;
        last = r.model.limitingMagnitude;
        previousLimit = r.model.limitingMagnitude;
        previousAltitude = altitude;
    }
    EXPECT_GT(first - last, 2.0);
}

// Through sunset at a dry and at a humid sea-level site (52 N, 50 m, 15 C; 20 % and 80 %,
// and Sydney at 60 %): the sky is in day vision while the Sun is at or above -6 degrees, it
// darkens and the limit rises steadily as the Sun goes down, and near the horizon its
// brightness is that of daylight (the published program gives 2.7e5 to 1.2e8 nL between
// -8 and +0.6 degrees at the humid site). The daylight term once collapsed there and the
// sky came out at a few hundred nL with a night-time limit of 5.6.
TEST(SkyModel, TwilightIsNotTakenForNight) {
    struct Site {
        float latitude, longitudeWest;
        int zone, humidity;
        int year, month, day, fromHour;
    } sites[] = {{52.0f, 0.0f, 0, 20, 2020, 6, 1, 19},
                 {52.0f, 0.0f, 0, 80, 2020, 6, 1, 19},
                 {-33.87f, -151.21f, 600, 60, 2020, 6, 1, 16}};
    for (const Site& c : sites) {
        SCOPED_TRACE(testing::Message() << c.latitude << " " << c.humidity << "%");
        ObserverLocation site = MakeSite(c.latitude, c.longitudeWest, c.zone, 0);
        site.height = 50;
        site.humidity = static_cast<std::int16_t>(c.humidity);
        site.temperature = 15;
        double previousLimit = -99.0, previousBrightness = 1e30;
        int steps = 0;
        for (int minute = c.fromHour * 60; minute <= (c.fromHour + 4) * 60; minute += 3) {
            const int hour = minute / 60, m = minute % 60;
            const double altitude = SunAltitudeAt(site, c.year, c.month, c.day, hour, m);
            if (altitude > 10.0 || altitude < -20.0) continue;
            const SkyRun r = Sky(site, c.year, c.month, c.day, hour, m);
            if (altitude >= -6.0) {
                EXPECT_TRUE(r.terms.dayVision) << altitude;
            }
            if (altitude >= -8.0 && altitude <= 0.6 && c.humidity == 80) {
                EXPECT_GT(r.terms.total, 5e4) << altitude;  // 8.7e4 at -8 (the twilight term's)
                EXPECT_LT(r.terms.total, 3e8) << altitude;
            }
            // (In full daylight the multiply scattered light grows a little as the Sun sinks;
            // deep in twilight a rising Moon may take over.)
            if (altitude <= 0.6 && altitude >= -12.0) {
                EXPECT_LE(r.terms.total, previousBrightness * (1.0 + 1e-9)) << altitude;
                EXPECT_GE(r.model.limitingMagnitude, previousLimit - 1e-9) << altitude;
            }
            previousBrightness = r.terms.total;
            previousLimit = r.model.limitingMagnitude;
            ++steps;
        }
        EXPECT_GT(steps, 20);
    }
}

TEST(SkyModel, TheMoonBrightensTheSkyAsItRisesAndWaxes) {
    // 22:00 UT at 45 N from 2020 January 27 (the Moon below the horizon, three days after
    // new) to February 5: each night the Moon stands higher and fuller.
    const ObserverLocation site = DarkSite();
    const SkyRun moonless = Sky(site, 2020, 1, 27, 22, 0);
    EXPECT_EQ(moonless.model.moonlightMagnitude, 50.0);
    EXPECT_EQ(moonless.model.moonSurfaceBrightness, -500.0);
    double previousLimit = moonless.model.limitingMagnitude;
    double previousFraction = moonless.model.moonFraction;
    for (int day = 28; day <= 36; ++day) {
        const SkyRun r = Sky(site, 2020, day > 31 ? 2 : 1, day > 31 ? day - 31 : day, 22, 0);
        EXPECT_LE(r.model.limitingMagnitude, previousLimit + 1e-9) << day;
        EXPECT_GT(r.model.moonFraction, previousFraction) << day;
        previousLimit = r.model.limitingMagnitude;
        previousFraction = r.model.moonFraction;
    }
    const SkyRun bright = Sky(site, 2020, 2, 5, 22, 0);
    EXPECT_LT(bright.model.moonlightMagnitude, -11.0);
    EXPECT_GT(bright.model.moonBrightness, 1000.0);
    EXPECT_GT(moonless.model.limitingMagnitude - bright.model.limitingMagnitude, 2.0);
}

TEST(SkyModel, DayVisionFromTheThresholdBrightness) {
    const ObserverLocation site = DarkSite();
    bool sawDay = false, sawNight = false;
    for (int minute = 17 * 60; minute <= 20 * 60 + 30; minute += 2) {
        const SkyRun r = Sky(site, 2020, 3, 20, minute / 60, minute % 60);
        EXPECT_EQ(r.terms.dayVision, r.terms.total >= 1479.0) << minute;
        sawDay = sawDay || r.terms.dayVision;
        sawNight = sawNight || !r.terms.dayVision;
        // Noon-bright skies keep their brightness unrounded above 1000 nL.
        if (r.terms.total > 1000.0) {
            EXPECT_EQ(r.model.skyBrightness, r.terms.total);
        }
    }
    EXPECT_TRUE(sawDay);
    EXPECT_TRUE(sawNight);
    const SkyRun noon = Sky(site, 2020, 6, 21, 12, 0);
    EXPECT_TRUE(noon.terms.dayVision);
    EXPECT_LT(noon.model.sunlightMagnitude, -26.0);
    EXPECT_LT(noon.model.limitingMagnitude, -2.0);
}

TEST(SkyModel, EveryHumidityGivesFiniteValues) {
    ObserverLocation site = DarkSite();
    std::vector<double> limits;
    for (int humidity : {0, 50, 99, 100, 120, -5}) {
        site.humidity = static_cast<std::int16_t>(humidity);
        const SkyRun r = Sky(site, 2020, 2, 20, 22, 0);
        EXPECT_TRUE(std::isfinite(r.model.limitingMagnitude)) << humidity;
        EXPECT_TRUE(std::isfinite(r.model.extinctionCoefficient)) << humidity;
        EXPECT_TRUE(std::isfinite(r.uncertainty)) << humidity;
        limits.push_back(r.model.limitingMagnitude);
    }
    EXPECT_GT(limits[0], limits[1]);            // drier is clearer
    EXPECT_GT(limits[1], limits[2] + 5.0);      // near saturation the aerosols are a fog
    EXPECT_NEAR(limits[2], limits[3], 0.05);    // 100 % takes the aerosols of 99 %
    EXPECT_EQ(limits[3], limits[4]);            // above 100 % counts as 100 %
    EXPECT_EQ(limits[0], limits[5]);            // below 0 % as 0 %
}

TEST(SkyModel, ObserverAndSiteClass) {
    const ObserverLocation site = DarkSite();
    SkyObserver sharp = DefaultObserver();
    sharp.acuity = 2.0;
    SkyObserver expert = DefaultObserver();
    expert.experience = 10;
    SkyObserver broken = DefaultObserver();
    broken.acuity = 0.0;
    const SkyRun base = Sky(site, 2020, 2, 20, 22, 0);
    EXPECT_GT(Sky(site, 2020, 2, 20, 22, 0, 29, sharp).model.limitingMagnitude, base.model.limitingMagnitude);
    EXPECT_NEAR(Sky(site, 2020, 2, 20, 22, 0, 29, expert).model.limitingMagnitude - base.model.limitingMagnitude, 0.8,
                0.011);
    EXPECT_TRUE(std::isfinite(Sky(site, 2020, 2, 20, 22, 0, 29, broken).model.limitingMagnitude));
    const SkyRun town = Sky(site, 2020, 2, 20, 22, 0, 14);
    EXPECT_NEAR(base.model.limitingMagnitude - town.model.limitingMagnitude, 7.95, 0.011);
}

TEST(SkyModel, ObserverFromTheSettings) {
    const Preferences saved = preferences;
    preferences.word[19] = 1;
    preferences.word[20] = 40;
    preferences.word[21] = 8;
    const SkyObserver o = SkyObserverFromPreferences();
    EXPECT_NEAR(o.acuity, 1.0, 1e-12);
    EXPECT_EQ(o.age, 40.0);
    EXPECT_EQ(o.experience, 5.0);
    preferences = saved;
}

// ---------------------------------------------------------------------------------------

class LimitingMagnitudes : public ::testing::Test {
protected:
    void SetUp() override {
        savedPreferences = preferences;
        savedSite = observerLocation;
        savedTime = observingDateTime;
        savedCriteria = selectionCriteria;
        SetDefaultSettings();
        observerLocation = DarkSite();
        observerLocation.siteClass = 4;
    }
    void TearDown() override {
        preferences = savedPreferences;
        observerLocation = savedSite;
        observingDateTime = savedTime;
        selectionCriteria = savedCriteria;
    }
    Preferences savedPreferences;
    ObserverLocation savedSite;
    ObservingDateTime savedTime;
    SelectionCriteria savedCriteria;
};

TEST_F(LimitingMagnitudes, TelescopeLimitFromWholeCentimetres) {
    EXPECT_FLOAT_EQ(TelescopeLimitingMagnitude(200), 14.0f);
    EXPECT_FLOAT_EQ(TelescopeLimitingMagnitude(203), 14.0f);
    EXPECT_FLOAT_EQ(TelescopeLimitingMagnitude(50), 10.9f);  // 10.995 cut to tenths
    EXPECT_FLOAT_EQ(TelescopeLimitingMagnitude(5), 7.5f);
}

TEST_F(LimitingMagnitudes, WritesTheInstantLimitsAndSkyValuesIntoTheCriteria) {
    selectionCriteria = SelectionCriteria{};
    selectionCriteria.searchKind = 42;
    selectionCriteria.objectType = 3;
    preferences.word[pref::apertureChoice] = 200;
    observingDateTime = {2020, 2, 20, 22, 0, 30};
    const float scope = ComputeLimitingMagnitude();
    EXPECT_FLOAT_EQ(scope, 14.0f);
    EXPECT_FLOAT_EQ(selectionCriteria.telescopeLimit, 14.0f);
    EXPECT_EQ(selectionCriteria.year, 2020);
    EXPECT_EQ(selectionCriteria.month, 2);
    EXPECT_EQ(selectionCriteria.day, 20);
    EXPECT_EQ(selectionCriteria.hour, 22);
    EXPECT_EQ(selectionCriteria.minute, 0);
    EXPECT_EQ(selectionCriteria.searchKind, 42);
    EXPECT_EQ(selectionCriteria.objectType, 3);
    EXPECT_FLOAT_EQ(selectionCriteria.nakedEyeLimit, static_cast<float>(skyModel.limitingMagnitude));
    EXPECT_FLOAT_EQ(selectionCriteria.skyValue1, 50.0f);   // the Sun is down
    EXPECT_FLOAT_EQ(selectionCriteria.skyValue2, 50.0f);   // and the Moon
    EXPECT_FLOAT_EQ(skyModel.localSiderealTime,
                    static_cast<float>(LocalSiderealTime(2020, 2, 20, 22, 0, 0, 0.0, 0)));

    // A sharp-eyed expert under a perfect sky reaches past 7, which the criteria cap.
    preferences.word[19] = 2;
    preferences.word[21] = 28;
    ComputeLimitingMagnitude();
    EXPECT_GT(skyModel.limitingMagnitude, 7.0);
    EXPECT_FLOAT_EQ(selectionCriteria.nakedEyeLimit, 7.0f);
    preferences.word[pref::apertureChoice] = 10;  // the table's 203 mm
    EXPECT_FLOAT_EQ(ComputeLimitingMagnitude(), 14.0f);
}

// Evening twilight at a humid sea-level site and a dry mountain site, the Moon down, against
// a re-implementation of the published 1998 listing (tools/make_sky_brightness_fixtures.py).
// Our model keeps its own calibrations: the Sun's and the Moon's scattered light on the
// moonlight model's nanolambert scale (11700 for the Sun, 1.40 times the listing's), aerosol
// extinction 0.12 (the listing's 0.10), its twilight term 10^8.45 (the listing's 10^8.23)
// and night sky of 200 nL, and the eye's colour corrections at night. So no row agrees to
// 0.1 magnitude outright (our limit is 0.04 to 0.57 brighter). What must
// agree: which of the two terms holds at each altitude (the daylight term no longer
// collapses as the Sun sets), day vision wherever the listing has it, the shape of the
// daylight term (the limit's change from the first row to 0.1), and the fall through dusk.
TEST(SkyModel, EveningTwilightAgainstThePublishedProgram) {
    const auto rows = ReadFixtureWords("objects/sky_brightness_fixture.txt");
    ASSERT_EQ(rows.size(), 32u);
    SkyObserver standard;  // acuity 1, age 25 (the standard pupil), experience 6: no corrections
    std::string siteKey;
    double firstLimit = 0, firstPublished = 0, previousLimit = 0, previousBrightness = 0;
    for (const auto& w : rows) {
        ASSERT_EQ(w.size(), 15u);
        SCOPED_TRACE(testing::Message() << w[0] << " " << w[4] << "% Sun " << w[10]);
        ObserverLocation site = MakeSite(std::stof(w[0]), std::stof(w[1]), 0, std::stoi(w[2]));
        site.temperature = static_cast<std::int16_t>(std::stoi(w[3]));
        site.humidity = static_cast<std::int16_t>(std::stoi(w[4]));
        const SkyRun r = Sky(site, std::stoi(w[5]), std::stoi(w[6]), std::stoi(w[7]), std::stoi(w[8]),
                             std::stoi(w[9]), 30, standard);
        const double brightness = std::stod(w[12]), limit = std::stod(w[13]);
        const bool publishedDaylight = w[14] == "daylight";
        const double ours = r.model.limitingMagnitude;

        EXPECT_LT(r.terms.moon, 1e-3 * r.terms.total);  // the listing is run without the Moon
        EXPECT_EQ(r.terms.daylight <= r.terms.twilight, publishedDaylight);
        if (brightness > 1500.0) {
            EXPECT_TRUE(r.terms.dayVision);
        }
        // The calibrations above keep ours on the bright side, never by more than this.
        EXPECT_LT(ours - limit, 0.0);
        EXPECT_GT(ours - limit, -0.7);

        const std::string key = w[0] + " " + w[4];
        if (key != siteKey) {
            siteKey = key;
            ASSERT_TRUE(publishedDaylight);  // each site's evening opens in full daylight
            firstLimit = ours;
            firstPublished = limit;
        } else {
            if (publishedDaylight) {
                EXPECT_NEAR(ours - firstLimit, limit - firstPublished, 0.1);
            } else {
                // Twilight (kept as it is) and night: the sky darkens and the limit deepens.
                // (Both level off once the Sun is 18 degrees down.)
                EXPECT_LT(r.terms.total, previousBrightness);
                EXPECT_GE(ours, previousLimit);
            }
        }
        previousLimit = ours;
        previousBrightness = r.terms.total;
    }
}
