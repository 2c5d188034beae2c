#include "satellites/pass_finder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/report.h"
#include "platform/messages.h"
#include "satellites/satellite_fixture.h"
#include "satellites/satellite_geometry.h"
#include "shell/keep_awake.h"
#include "support/headless_fixture.h"

namespace {

constexpr double kSecond = 1.0 / 86400.0;

// An element set with only what the visibility tests read.
TleElements Orbit(double revPerDay, double inclinationDeg, double eccentricity) {
    TleElements el;
    el.meanMotion = revPerDay * kSatRevPerDayToRadPerMin;
    el.inclination = DegToRad(inclinationDeg);
    el.eccentricity = eccentricity;
    return el;
}

// Revolutions a day of a circular orbit at a height (km), two-body.
double RevPerDayAt(double heightKm) {
    const double a = kSatEarthRadiusKm + heightKm;
    return std::sqrt(398600.8 / (a * a * a)) * 86400.0 / kSatTwoPi;
}

TEST(PassFinder, WhichOrbitsCanRiseAndWhichStandStill) {
    struct Case {
        double revPerDay, inclination, eccentricity, latitude;
        int rises, geostationary;
    };
    const Case cases[] = {
        {RevPerDayAt(400.0), 51.6, 0.0, 80.0, 0, 0},
        {RevPerDayAt(400.0), 51.6, 0.0, 60.0, 1, 0},
        {RevPerDayAt(400.0), 128.4, 0.0, -60.0, 1, 0},  // retrograde: 180 - i
        {RevPerDayAt(400.0), 128.4, 0.0, 80.0, 0, 0},
        {1.0028, 0.05, 0.0, 45.0, 1, 1},
        {1.0030, 0.05, 0.0, 45.0, 1, 0},
        {1.0027, 0.05, 0.0, 85.0, 0, 1},  // a geostationary satellite is never above 81.3 degrees
        {0.0, 51.6, 0.0, 0.0, 0, 0},
        {30.0, 10.0, 0.0, 5.0, 1, 0},      // an axis below the surface reaches the horizon only
        {30.0, 10.0, 0.0, 15.0, 0, 0},
    };
    for (const Case& c : cases) {
        const TleElements el = Orbit(c.revPerDay, c.inclination, c.eccentricity);
        const double latitude = DegToRad(c.latitude);
        EXPECT_EQ(CanSatelliteRise(el, &latitude), c.rises) << c.revPerDay << " " << c.inclination << " " << c.latitude;
        EXPECT_EQ(IsGeostationary(el), c.geostationary) << c.revPerDay;
    }
}

class PassSearch : public ::testing::Test {
protected:
    const ObserverReference& ref = ReadObserverReference();
    double latitude = 0.0;
    double aos = -1.0, los = -1.0;  // nothing a search writes looks like this

    void SetUp() override {
        PlaceObserver(ref.Site("london"));
        latitude = DegToRad(ref.Site("london").latitude);
    }
    PassOutcome Search(double start, double end, TleElements* el) {
        return FindSatellitePasses(start, end, &aos, &los, el, &latitude, 0, 0);
    }
    // Every pass of the fixture for a set, in order, found again from the end of the last.
    void ExpectTheReferencePasses(const std::string& set, double start, double minLength) {
        TleElements el = ref.Elements(set);
        int compared = 0;
        double t = start;
        for (const PassRow& row : ref.passes) {
            if (row.set != set) continue;
            ASSERT_EQ(Search(t, start + 2.0, &el), PassOutcome::Found) << set << " from " << t;
            if (row.los - row.aos >= minLength) {
                EXPECT_NEAR(aos, row.aos, 10.0 * kSecond) << set << " pass " << compared;
                EXPECT_NEAR(los, row.los, 10.0 * kSecond) << set << " pass " << compared;
                ++compared;
            }
            t = los + 60.0 * kSecond;
        }
        EXPECT_GT(compared, 3) << set;
        EXPECT_EQ(Search(t, start + 2.0, &el), PassOutcome::NoPass);
    }
};

constexpr double kSearchStart = 2454730.5;  // 2008-09-21 0h UT

TEST_F(PassSearch, IssPassesOverLondonMatchTheReference) {
    ExpectTheReferencePasses("iss", kSearchStart, 0.0);
}

// A 2000 km orbit: passes of more than 20 minutes, whose set lies beyond the first bracket.
TEST_F(PassSearch, LongPassesWidenTheirBrackets) {
    ExpectTheReferencePasses("circ2000", kSearchStart, 20.0 / 1440.0);
}

TEST_F(PassSearch, PassInProgressAndEndBeforeStart) {
    TleElements el = ref.Elements("iss");
    const PassRow* first = nullptr;
    for (const PassRow& row : ref.passes)
        if (row.set == "iss" && !first) first = &row;
    ASSERT_NE(first, nullptr);

    const double inPass = first->aos + 2.0 / 1440.0;
    ASSERT_EQ(Search(inPass, inPass + 1.0, &el), PassOutcome::Found);
    EXPECT_LT(aos, inPass);
    EXPECT_NEAR(aos, first->aos, 10.0 * kSecond);
    EXPECT_NEAR(los, first->los, 10.0 * kSecond);

    aos = los = -1.0;
    EXPECT_EQ(Search(kSearchStart, kSearchStart - 1.0, &el), PassOutcome::NoPass);
    EXPECT_EQ(satelliteSearchContext.evaluations, 1u);
    EXPECT_EQ(aos, -1.0);
    EXPECT_EQ(los, -1.0);
}

// The scan's step follows the satellite's own height, not what the set last held (the next
// pass list walks the whole database with one element set after another).
TEST_F(PassSearch, StepIgnoresAHeightLeftByAnotherSatellite) {
    TleElements el = ref.Elements("iss");
    el.height = 36000.0;
    ASSERT_EQ(Search(kSearchStart, kSearchStart + 2.0, &el), PassOutcome::Found);
    EXPECT_NEAR(aos, ref.passes.front().aos, 10.0 * kSecond);
    EXPECT_LT(satelliteSearchContext.evaluations, 400u);
}

TEST_F(PassSearch, UnsearchableSetsReturnAtOnce) {
    struct Case {
        const char* line1;
        const char* line2;
        double start;
        PassOutcome outcome;
        unsigned evaluations;
    };
    const Case cases[] = {
        {"1 90005U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9996",
         "2 90005   0.0500 200.0000 0001000   0.0000   0.0000  1.00270000    10", kSearchStart,
         PassOutcome::Geostationary, 0},
        {"1 90003U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9993",
         "2 90003  63.4000 200.0000 7000000 270.0000   0.0000  2.00000000    11", kSearchStart,
         PassOutcome::DeepSpace, 0},
        {"1 90004U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9994",
         "2 90004  51.6000 200.0000 0001000   0.0000   0.0000 18.00000000    19", kSearchStart,
         PassOutcome::Invalid, 0},
        {"1 90006U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9997",
         "2 90006  20.0000 200.0000 0001000   0.0000   0.0000 15.50000000    17", kSearchStart,
         PassOutcome::CannotRise, 0},
        {kStr3Line1, kStr3Line2, 2444514.5 + 1000.0, PassOutcome::Decayed, 0},
    };
    for (const Case& c : cases) {
        TleElements el = ConvertLines(c.line1, c.line2);
        aos = los = -1.0;
        const std::uint32_t awake = IdleTimerResets();
        EXPECT_EQ(Search(c.start, c.start + 1.0, &el), c.outcome) << c.line2;
        EXPECT_EQ(satelliteSearchContext.evaluations, c.evaluations) << c.line2;
        EXPECT_EQ(aos, -1.0);
        EXPECT_EQ(los, -1.0);
        if (c.outcome == PassOutcome::Geostationary || c.outcome == PassOutcome::CannotRise) {
            EXPECT_GT(IdleTimerResets(), awake);
        }
    }
}

class PassSearchKeys : public HeadlessFixture {};

TEST_F(PassSearchKeys, HeldNavigationKeyStopsTheScan) {
    const ObserverReference& ref = ReadObserverReference();
    PlaceObserver(ref.Site("london"));
    const double latitude = DegToRad(ref.Site("london").latitude);
    TleElements el = ref.Elements("iss");
    double aos = -1.0, los = -1.0;
    PassOutcome outcome = PassOutcome::Found;
    // After the second pass of the day the next is 16 hours away: a long scan.
    const double start = 2454730.60;
    Start();
    // A search of more than a day polls every fifth step and shows its progress.
    platform::headless::KeyDown(platform::kKeyDown);
    const int busy = BusySteps();
    Call([&] { outcome = FindSatellitePasses(start, start + 2.0, &aos, &los, &el, &latitude, 0, 0); });
    platform::headless::KeyUp(platform::kKeyDown);
    EXPECT_EQ(outcome, PassOutcome::Stopped);
    EXPECT_EQ(satelliteSearchContext.evaluations, 6u);
    EXPECT_EQ(BusySteps(), busy);
    EXPECT_EQ(aos, -1.0);

    Call([&] { outcome = FindSatellitePasses(start, start + 2.0, &aos, &los, &el, &latitude, 0, 0); });
    EXPECT_EQ(outcome, PassOutcome::Found);
    EXPECT_GT(BusySteps(), busy);
    Stop();
}

}  // namespace
