// Local circumstances at a place: the precise search against an independent ephemeris
// (tests/data/eclipses/local_contacts_ephem.txt, tools/make_eclipse_fixtures.py), and the
// quick one from the elements against the precise one.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/quick_sun_moon.h"
#include "eclipses/bessel_elements.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_sun_moon.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/local_circumstances.h"
#include "eclipses/published_eclipses.h"
#include "support/fixture_files.h"
#include "support/recorded_reports.h"
#include "core/report.h"

namespace {

struct ContactRow {
    std::string name;
    int year, month, day;
    double guessHour, latitude, longitudeWest, deltaT;
    double greatest, c1, c2, c3, c4, magnitude, obscuration, ratio;
};

std::vector<ContactRow> ReadContactRows() {
    std::vector<ContactRow> rows;
    for (const auto& w : ReadFixtureWords("eclipses/local_contacts_ephem.txt")) {
        EXPECT_EQ(w.size(), 16u);
        if (w.size() != 16u) continue;
        auto d = [&](int i) { return std::stod(w[i]); };
        rows.push_back({w[0], std::stoi(w[1]), std::stoi(w[2]), std::stoi(w[3]), d(4), d(5), d(6), d(7), d(8), d(9),
                        d(10), d(11), d(12), d(13), d(14), d(15)});
    }
    EXPECT_EQ(rows.size(), 4u);
    return rows;
}

// The hour of the elements for each fixture eclipse: the whole TT hour nearest greatest.
int ElementHour(const ContactRow& row) { return row.year == 2015 ? 10 : 18; }

constexpr double kSecond = 1.0 / 3600.0;

class LocalCircumstancesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SelectPositionSource(0);
        ClearRecordedReports();
    }
    void TearDown() override { SelectPositionSource(1); }
};

TEST_F(LocalCircumstancesTest, ContactsMatchTheIndependentEphemeris) {
    for (const ContactRow& row : ReadContactRows()) {
        SCOPED_TRACE(row.name);
        PinDeltaT(row.year, row.deltaT);
        LocalEclipse local;
        const int hour = static_cast<int>(row.guessHour);
        const int minute = static_cast<int>((row.guessHour - hour) * 60.0);
        FindLocalContacts(&local, row.year, row.month, row.day, hour, minute, row.latitude, row.longitudeWest);
        EXPECT_NEAR(local.maxTime, row.greatest, 20 * kSecond);
        EXPECT_NEAR(local.outerStart, row.c1, 20 * kSecond);
        EXPECT_NEAR(local.outerEnd, row.c4, 20 * kSecond);
        if (row.c2 < 0.0) {
            EXPECT_EQ(local.innerStart, -1.0);
            EXPECT_EQ(local.innerEnd, -1.0);
        } else {
            EXPECT_NEAR(local.innerStart, row.c2, 10 * kSecond);
            EXPECT_NEAR(local.innerEnd, row.c3, 10 * kSecond);
        }
        EXPECT_NEAR(local.maxMagnitude, row.magnitude, 0.002);
        EXPECT_NEAR(local.obscuration, row.obscuration, 1.0);
        EXPECT_NEAR(local.pointLatitude, row.latitude, 1e-12);
        EXPECT_NEAR(local.pointLongitude, row.longitudeWest, 1e-12);
        EXPECT_GT(local.sunAltitude, 0.0);
        EXPECT_TRUE(RecordedReports().empty());
    }
}

TEST_F(LocalCircumstancesTest, ElementStepsRefinedFiveTimesMeetThePreciseSearch) {
    for (const ContactRow& row : ReadContactRows()) {
        SCOPED_TRACE(row.name);
        PinDeltaT(row.year, row.deltaT);
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, row.year, row.month, row.day, ElementHour(row)), 1);
        LocalEclipse precise;
        const int hour = static_cast<int>(row.guessHour);
        FindLocalContacts(&precise, row.year, row.month, row.day, hour, 0, row.latitude, row.longitudeWest);

        const double expected[3] = {precise.outerStart, precise.maxTime, precise.outerEnd};
        for (int which = -1; which <= 1; ++which) {
            double t = row.guessHour;
            LocalCircumstances c;
            for (int i = 0; i < 5; ++i)
                GetLocalCircumstances(e, which, row.latitude, row.longitudeWest, 0.0, row.deltaT, &t, &c);
            EXPECT_NEAR(t, expected[which + 1], 30 * kSecond) << "contact " << which;
            if (which == 0) {
                EXPECT_NEAR(c.magnitude, row.magnitude, 0.01);
                EXPECT_NEAR(c.obscuration, row.obscuration, 1.5);
                EXPECT_GT(c.altitude, 0.0);
                EXPECT_GE(c.azimuth, 0.0);
                EXPECT_LT(c.azimuth, 360.0);
            }
        }
    }
}

TEST_F(LocalCircumstancesTest, TotalPlaceAfterAPartialOneShowsAFullSun) {
    const std::vector<ContactRow> rows = ReadContactRows();
    ASSERT_EQ(rows.size(), 4u);
    const ContactRow& london = rows[3];
    const ContactRow& nashville = rows[0];
    LocalEclipse local;
    PinDeltaT(london.year, london.deltaT);
    FindLocalContacts(&local, london.year, london.month, london.day, 9, 30, london.latitude, london.longitudeWest);
    EXPECT_NEAR(local.obscuration, london.obscuration, 1.0);
    PinDeltaT(nashville.year, nashville.deltaT);
    FindLocalContacts(&local, nashville.year, nashville.month, nashville.day, 18, 30, nashville.latitude,
                      nashville.longitudeWest);
    EXPECT_GT(local.maxMagnitude, 1.0);
    EXPECT_EQ(local.obscuration, 100);
}

TEST_F(LocalCircumstancesTest, PlaceOutsideThePenumbraFindsNoEclipseAndNoNumbersThatAreNot) {
    // Sydney during the American eclipse of 2017.
    PinDeltaT(2017, 68.8);
    LocalEclipse local;
    local.obscuration = 57;
    FindLocalContacts(&local, 2017, 8, 21, 18, 25, -33.87, -151.21);
    ASSERT_EQ(ReportTexts(), std::vector<std::string>{"No Eclipse found!\n"});
    EXPECT_LT(local.maxMagnitude, 0.0);
    EXPECT_EQ(local.outerStart, -1.0);
    EXPECT_EQ(local.outerEnd, -1.0);
    EXPECT_EQ(local.innerStart, -1.0);
    EXPECT_EQ(local.innerEnd, -1.0);
    EXPECT_EQ(local.obscuration, 0);
    EXPECT_TRUE(std::isfinite(local.maxTime));
    EXPECT_TRUE(std::isfinite(local.separation));

    BesselElements e;
    ASSERT_EQ(FitBesselElements(&e, 2017, 8, 21, 18), 1);
    for (int which = -1; which <= 1; ++which) {
        double t = 18.4;
        LocalCircumstances c;
        const double hour = GetLocalCircumstances(e, which, -33.87, -151.21, 0.0, 68.8, &t, &c);
        EXPECT_LT(c.magnitude, 0.0);
        EXPECT_EQ(c.obscuration, 0.0);
        for (double v : {hour, c.positionAngle, c.vertexAngle, c.altitude, c.azimuth, c.pathWidth})
            EXPECT_TRUE(std::isfinite(v)) << which;
        if (which != 0) {
            EXPECT_EQ(hour, -1.0);
        }
    }
}

TEST_F(LocalCircumstancesTest, AnnularCentreCoversTheSquareOfTheDiameterRatio) {
    const PublishedEclipse& p = kAnnular2023;
    PinDeltaT(p.year, p.deltaT);
    BesselElements e;
    ASSERT_EQ(FitBesselElements(&e, p.year, p.month, p.day, 18), 1);
    double latitude, longitude, duration, width;
    ASSERT_EQ(GetCentralLinePoint(e, p.greatestUt, p.deltaT, &latitude, &longitude, &duration, &width), 1);

    LocalEclipse local;
    FindLocalContacts(&local, p.year, p.month, p.day, 18, 0, latitude, longitude);
    eclipseState.clockHours = local.maxTime;
    double ratio, magnitude;
    ComputeLocalOverlap(eclipseState.dayNumber / 36525.0, &ratio, &magnitude);
    EXPECT_GT(local.maxMagnitude, ratio);
    EXPECT_LT(local.maxMagnitude, 1.0);
    EXPECT_EQ(local.obscuration, static_cast<int>(ratio * ratio * 100.0 + 0.5));
    EXPECT_GT(local.innerStart, local.outerStart);
    EXPECT_LT(local.innerEnd, local.outerEnd);
    EXPECT_NEAR((local.innerEnd - local.innerStart) * 3600.0, duration, 15.0);

    // From the elements: the cones' radii at the place give the same share.
    double t = p.greatestUt;
    LocalCircumstances c;
    for (int i = 0; i < 3; ++i) GetLocalCircumstances(e, 0, latitude, longitude, 0.0, p.deltaT, &t, &c);
    EXPECT_GT(c.magnitude, ratio - 0.005);
    EXPECT_LT(c.magnitude, 1.0);
    EXPECT_NEAR(c.obscuration, local.obscuration, 1.0);
    EXPECT_NEAR(c.centralDuration, duration, 1.0);
    EXPECT_NEAR(c.pathWidth, width, 1.0);
}

TEST_F(LocalCircumstancesTest, SteppingGivesUpAfterTwelveHours) {
    PinDeltaT(2017, 68.8);
    SetEclipseInstant(2017, 8, 21, 18, 0, 0);
    eclipseState.axisLatitude = 36.16;
    eclipseState.axisLongitude = 86.78;
    const double T = eclipseState.dayNumber / 36525.0;
    double ratio = 0.0;
    const int before = BusySteps();
    // A magnitude that never gets that low: 40 steps of 0.3 hours, then no contact.
    EXPECT_EQ(StepToContact(T, 18.47, 0.3, -1000.0, &ratio), -1.0);
    EXPECT_EQ(BusySteps() - before, 40);
    // Below the threshold from the start: no contact either.
    EXPECT_EQ(StepToContact(T, 12.0, -0.3, 0.0, &ratio), -1.0);
    // A real one lands on the fixture's first contact.
    EXPECT_NEAR(StepToContact(T, 18.47, -0.3, 0.0, &ratio), ReadContactRows()[0].c1, 20 * kSecond);
}

TEST(CoveredShare, LensOfTwoDiscs) {
    struct Case {
        double k, r, share;
    };
    const Case cases[] = {
        {0.5, 2.0, 0.0},            // apart
        {0.5, 0.2, 0.25},           // inside
        {1.1, 0.05, 1.0},           // the Sun covered
        {1.0, 1.0, 0.391002218},    // equal discs through each other's centre: (2pi/3 - sqrt3/2) / pi
        {1.0, 0.0, 1.0},
    };
    for (const Case& c : cases) EXPECT_NEAR(CoveredShare(c.k, c.r), c.share, 1e-9) << c.k << " " << c.r;
    // Continuous where the Moon's disc touches the inside of the Sun's.
    EXPECT_NEAR(CoveredShare(0.9, 0.1 + 1e-9), 0.81, 1e-6);
}
}  // namespace
