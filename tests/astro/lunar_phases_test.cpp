#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "astro/lunar_phases.h"
#include "astro/time_scales.h"
#include "core/settings.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

// The observing year and the user's Delta T decide GetDeltaT for dates of that year; each
// test sets them and puts them back.
class LunarPhasesTest : public ::testing::Test {
protected:
    void SetUp() override {
        observingDateTime.year = 1900;  // no date below falls in it
    }
    // Delta T of the given year fixed at `seconds`.
    static void UseDeltaT(int year, double seconds) {
        observingDateTime.year = year;
        SetPreferenceFloat(pref::deltaTUser, static_cast<float>(seconds));
    }

    SavedObservingState saved;
};

struct Phase {
    double jd = 0.0;
    double type = 0.0;
    double greatest = 0.0;
    int lunation = 0;
    double circumstances[kLunarCircumstanceCount] = {};
};

// A phase of lunation k (flag 0), eclipse test on, Delta T from 2000 January 1.
Phase PhaseOfLunation(int k, double phase) {
    Phase p;
    p.lunation = k;
    int day = 1, month = 1, year = 2000;
    p.jd = GetMoonPhaseTime(phase, 1, &p.type, &p.greatest, &p.lunation, 0, &day, &month, &year, 0, 0,
                            p.circumstances);
    return p;
}

TEST_F(LunarPhasesTest, NewMoonOf1977February) {
    // Meeus 49.a: the new moon of 1977 February 18 at 3h37m42s TD, JDE 2443192.65118.
    int day = 15, month = 2, year = 1977, k = 0;
    const double jd = GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &k, 1, &day, &month, &year, 0, 0, nullptr);
    EXPECT_EQ(k, -283);
    const double jde = jd + GetDeltaT(1977, 2, 15) / 86400.0;
    EXPECT_NEAR(jde, 2443192.65118, 1e-5);
    int y, mo, d, h, mi, s;
    JDToDate(jde, &y, &mo, &d, &h, &mi, &s);
    EXPECT_EQ((std::vector<int>{y, mo, d, h, mi, s}), (std::vector<int>{1977, 2, 18, 3, 37, 42}));
}

TEST_F(LunarPhasesTest, LunationNumberFromTheDate) {
    struct Case {
        int year, month, day;
        int k;
    };
    // x = (decimal year - 2000) x 12.3685 rounds to the nearest lunation.
    for (const Case& c : {Case{2000, 1, 3, 0}, Case{2000, 1, 9, 0}, Case{1999, 12, 2, -1}, Case{1999, 11, 20, -1},
                          Case{1999, 9, 13, -4}, Case{2024, 3, 10, 299}}) {
        int day = c.day, month = c.month, year = c.year, k = 12345;
        GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &k, 1, &day, &month, &year, 0, 0, nullptr);
        EXPECT_EQ(k, c.k) << c.year << "-" << c.month << "-" << c.day;
    }
    // Lunation 0 can be asked for directly, whatever the date: the new moon of 2000 Jan 6.
    int day = 15, month = 5, year = 2020, k = 0;
    const double jd = GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &k, 0, &day, &month, &year, 0, 0, nullptr);
    EXPECT_EQ(k, 0);
    EXPECT_NEAR(jd, 2451550.2597, 0.002);  // 18h14m UT
}

TEST_F(LunarPhasesTest, PhasesFollowAnIndependentEphemeris) {
    int rows = 0;
    for (const std::string& line : ReadFixtureLines("astro/moon_phases_ephem.txt")) {
        std::istringstream fields(line);
        int index;
        double jdRef, deltaT;
        fields >> index >> jdRef >> deltaT;
        int year, month, day;
        JDToDate(jdRef, &year, &month, &day, nullptr, nullptr, nullptr);
        UseDeltaT(year, deltaT);
        const double phase = index * 0.25;
        int k = static_cast<int>(std::lround((jdRef - 2451550.09766) / 29.530588861 - phase));
        double type = 0.0, greatest = 0.0;
        const double jd = GetMoonPhaseTime(phase, 0, &type, &greatest, &k, 0, &day, &month, &year, 0, 0, nullptr);
        EXPECT_LT(std::fabs(jd - jdRef) * 1440.0, 0.5) << line;
        EXPECT_EQ(type, kEclipseNone);
        ++rows;
    }
    EXPECT_GE(rows, 50);
}

TEST_F(LunarPhasesTest, TotalLunarEclipseOf2000January) {
    // Lunation 0's full moon, with k computed from an early January date.
    int day = 3, month = 1, year = 2000, k = 99;
    double type = 0.0, greatest = 0.0, c[kLunarCircumstanceCount];
    const double jd = GetMoonPhaseTime(kPhaseFullMoon, 1, &type, &greatest, &k, 1, &day, &month, &year, 0, 0, c);
    ASSERT_EQ(k, 0);
    const double dt = GetDeltaT(2000, 1, 3) / 86400.0;
    EXPECT_NEAR((jd + dt - 2451564.5) * 24.0, 4.0 + 41.0 / 60 + 28.6 / 3600, 2.0 / 3600);
    EXPECT_EQ(type, kEclipseTotal);
    EXPECT_NEAR((greatest + dt - 2451564.5) * 24.0, 4.0 + 45.0 / 60 + 3.7 / 3600, 2.0 / 3600);
    EXPECT_EQ(c[kLunarGreatest], greatest);
    EXPECT_NEAR(c[kLunarGamma], -0.29611, 5e-5);
    EXPECT_NEAR(c[kLunarU], -0.00487, 5e-5);
    EXPECT_NEAR(c[kLunarUmbralMagnitude], 1.3240, 5e-4);
    EXPECT_NEAR(c[kLunarPenumbralMagnitude], 2.3052, 5e-4);
    EXPECT_NEAR(c[kLunarPenumbralRadius], 1.2848 - 0.00487, 1e-4);
    EXPECT_NEAR(c[kLunarUmbralRadius], 0.7403 + 0.00487, 1e-4);
    // Semidurations of the penumbral, umbral and total phases.
    EXPECT_NEAR((c[kLunarP4] - greatest) * 24.0, 2.633, 1e-3);
    EXPECT_NEAR((greatest - c[kLunarP1]) * 24.0, 2.633, 1e-3);
    EXPECT_NEAR((c[kLunarU4] - greatest) * 24.0, 1.682, 1e-3);
    EXPECT_NEAR((c[kLunarU3] - greatest) * 24.0, 0.637, 1e-3);
    EXPECT_NEAR((greatest - c[kLunarU2]) * 24.0, 0.637, 1e-3);
}

TEST_F(LunarPhasesTest, SolarEclipses) {
    // Lunation 1: the partial eclipse of 2000 February 5, umbral shadow missing the Earth.
    Phase p = PhaseOfLunation(1, kPhaseNewMoon);
    EXPECT_EQ(p.type, kEclipsePartial);
    EXPECT_NEAR(p.circumstances[kLunarGamma], -1.2232, 5e-4);
    EXPECT_NEAR(p.circumstances[kLunarU], 0.0222, 5e-4);

    // Meeus 54.a: the partial eclipse of 1993 May 21, greatest at JDE 2449129.0979.
    int day = 21, month = 5, year = 1993, k = 0;
    double type, greatest, c[kLunarCircumstanceCount];
    GetMoonPhaseTime(kPhaseNewMoon, 1, &type, &greatest, &k, 1, &day, &month, &year, 0, 0, c);
    EXPECT_EQ(k, -82);
    EXPECT_EQ(type, kEclipsePartial);
    EXPECT_NEAR(greatest + GetDeltaT(1993, 5, 21) / 86400.0, 2449129.0979, 2e-4);
    EXPECT_NEAR(c[kLunarGamma], 1.1348, 2e-4);
    EXPECT_NEAR(c[kLunarU], 0.0097, 2e-4);
}

TEST_F(LunarPhasesTest, EclipseListAcrossJanuary2000MatchesTheCanon) {
    // Eclipses of 1999 to 2003 (UT date of greatest eclipse), as published.
    struct Eclipse {
        int year, month, day;
        bool lunar;
        double type;
    };
    const std::vector<Eclipse> expected = {
        {1999, 1, 31, true, kEclipsePenumbral},  {1999, 2, 16, false, kEclipseAnnular},
        {1999, 7, 28, true, kEclipsePartial},    {1999, 8, 11, false, kEclipseTotal},
        {2000, 1, 21, true, kEclipseTotal},      {2000, 2, 5, false, kEclipsePartial},
        {2000, 7, 1, false, kEclipsePartial},    {2000, 7, 16, true, kEclipseTotal},
        {2000, 7, 31, false, kEclipsePartial},   {2000, 12, 25, false, kEclipsePartial},
        {2001, 1, 9, true, kEclipseTotal},       {2001, 6, 21, false, kEclipseTotal},
        {2001, 7, 5, true, kEclipsePartial},     {2001, 12, 14, false, kEclipseAnnular},
        {2001, 12, 30, true, kEclipsePenumbral}, {2002, 5, 26, true, kEclipsePenumbral},
        {2002, 6, 10, false, kEclipseAnnular},   {2002, 6, 24, true, kEclipsePenumbral},
        {2002, 11, 20, true, kEclipsePenumbral}, {2002, 12, 4, false, kEclipseTotal},
        {2003, 5, 16, true, kEclipseTotal},      {2003, 5, 31, false, kEclipseAnnular},
        {2003, 11, 9, true, kEclipseTotal},      {2003, 11, 23, false, kEclipseTotal},
    };

    // The list form's way: k from the start date once, then one lunation after another.
    std::vector<Eclipse> found;
    std::vector<double> instants;
    int day = 1, month = 1, year = 1999, k = 0;
    int fromDate = 1;
    for (int step = 0; step < 62; ++step) {
        for (double phase : {kPhaseNewMoon, kPhaseFullMoon}) {
            double type = 0.0, greatest = 0.0;
            int lunation = k;
            const double jd =
                GetMoonPhaseTime(phase, 1, &type, &greatest, &lunation, fromDate, &day, &month, &year, 0, 0, nullptr);
            if (fromDate) k = lunation;
            fromDate = 0;
            instants.push_back(jd);
            if (type == kEclipseNone) continue;
            int y, mo, d;
            JDToDate(greatest, &y, &mo, &d, nullptr, nullptr, nullptr);
            if (y <= 2003) found.push_back({y, mo, d, phase == kPhaseFullMoon, type});
        }
        ++k;
    }
    // Every phase instant comes after the one before it: no lunation repeats at k = 0.
    for (std::size_t i = 1; i < instants.size(); ++i) {
        EXPECT_GT(instants[i] - instants[i - 1], 13.0) << i;
        EXPECT_LT(instants[i] - instants[i - 1], 16.5) << i;
    }
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Eclipse& e = expected[i];
        const Eclipse& f = found[i];
        EXPECT_EQ((std::vector<double>{double(f.year), double(f.month), double(f.day), double(f.lunar), f.type}),
                  (std::vector<double>{double(e.year), double(e.month), double(e.day), double(e.lunar), e.type}))
            << "eclipse " << i;
    }
}

TEST_F(LunarPhasesTest, LunarEclipsesNeedThePenumbraAndTheUmbra) {
    // 1995 May 14: the Moon passes outside the penumbra (penumbral magnitude -0.10); the
    // wider first test alone would list it.
    Phase p = PhaseOfLunation(-58, kPhaseFullMoon);
    EXPECT_EQ(p.type, kEclipseNone);
    EXPECT_EQ(p.greatest, kEclipseNone);

    // 1987 October 7: inside the penumbra, just outside the umbra (umbral magnitude
    // -0.012): penumbral, not partial.
    p = PhaseOfLunation(-152, kPhaseFullMoon);
    EXPECT_EQ(p.type, kEclipsePenumbral);
    EXPECT_LT(p.circumstances[kLunarUmbralMagnitude], 0.0);
    // Contacts that do not happen are NaN.
    EXPECT_TRUE(std::isnan(p.circumstances[kLunarU1]));
    EXPECT_TRUE(std::isnan(p.circumstances[kLunarU2]));
    EXPECT_FALSE(std::isnan(p.circumstances[kLunarP1]));

    // Over two centuries every lunar eclipse listed touches the penumbra, and only
    // umbral ones are called partial or total.
    int lunar = 0;
    for (int k = -1240; k < 1240; ++k) {
        p = PhaseOfLunation(k, kPhaseFullMoon);
        if (p.type == kEclipseNone) continue;
        ++lunar;
        EXPECT_GT(p.circumstances[kLunarPenumbralMagnitude], 0.0) << k;
        EXPECT_EQ(p.type == kEclipsePenumbral, p.circumstances[kLunarUmbralMagnitude] <= 0.0) << k;
    }
    EXPECT_GT(lunar, 400);  // about 2.4 a year
    EXPECT_LT(lunar, 520);
}

TEST_F(LunarPhasesTest, QuartersAndBadArguments) {
    // At the quarters the eclipse places are set to "none" and nothing else is written.
    int day = 1, month = 1, year = 2000, k = 5;
    double type = 7.0, greatest = 7.0, c[kLunarCircumstanceCount];
    for (double& v : c) v = 42.0;
    const double q = GetMoonPhaseTime(kPhaseFirstQuarter, 1, &type, &greatest, &k, 0, &day, &month, &year, 0, 0, c);
    EXPECT_NEAR(q - PhaseOfLunation(5, kPhaseNewMoon).jd, 7.4, 1.0);
    EXPECT_EQ(type, kEclipseNone);
    EXPECT_EQ(greatest, kEclipseNone);
    for (double v : c) EXPECT_EQ(v, 42.0);

    // Phases other than the four: 0 and the eclipse places untouched.
    for (double phase : {0.3, 1.0, -0.25, 0.74}) {
        type = greatest = 7.0;
        EXPECT_EQ(GetMoonPhaseTime(phase, 1, &type, &greatest, &k, 0, &day, &month, &year, 0, 0, nullptr), 0.0)
            << phase;
        EXPECT_EQ(type, 7.0);
        EXPECT_EQ(greatest, 7.0);
    }
    // The eclipse test needs a place for the type.
    EXPECT_EQ(GetMoonPhaseTime(kPhaseNewMoon, 1, nullptr, &greatest, &k, 0, &day, &month, &year, 0, 0, nullptr), 0.0);
    // Without the test a new moon is just an instant.
    EXPECT_GT(GetMoonPhaseTime(kPhaseNewMoon, 0, nullptr, nullptr, &k, 0, &day, &month, &year, 0, 0, nullptr), 2451000.0);
}

}  // namespace
