// The geocentric place and magnitude of comets and asteroids against Meeus's examples and
// python3-ephem, and the orbit computation as the catalog layer reaches it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <algorithm>

#include "astro/apparent_place.h"
#include "catalog/object_lookup.h"
#include "catalog/selection_fixture.h"
#include "core/calendar.h"
#include "objects/comet_position.h"
#include "support/fixture_files.h"
#include "tools/catalog_builder/planet_features.h"

namespace {

using test_units::kDeg;
using test_units::kRadToDeg;

CometElements Elements(double q, double e, double T, double omega, double node, double incl) {
    CometElements el;
    el.perihelionDistance = q;
    el.eccentricity = e;
    el.perihelionJd = T;
    el.argPerihelion = omega;
    el.ascendingNode = node;
    el.inclination = incl;
    return el;
}

}  // namespace

TEST(LowAccuracySun, MeeusExample25a) {
    // 1992 October 13.0 TD.
    const LowAccuracySun sun = ComputeLowAccuracySun(2448908.5);
    EXPECT_NEAR(std::remainder(sun.longitude * kRadToDeg, 360.0) + 360.0, 199.90987, 1e-5);
    EXPECT_NEAR(sun.distance, 0.99766, 1e-5);
}

// Meeus's example 33.b (comet Encke, 1990 October 6.0 TD): the place of the mean equinox
// of the instant, with its light time, as ephem gives it; the year passed no longer
// matters (the places once went to the equinox of a whole year: 80" off here).
TEST(CometPosition, EnckeOfTheInstant) {
    const auto rows = ReadTaggedFixtureRows("objects/comet_places_ephem.txt", "encke");
    ASSERT_EQ(rows.size(), 1u);
    const auto& r = rows[0];
    const CometElements el = Elements(r[0], r[1], r[2], r[3], r[4], r[5]);
    const double jd = r[6];
    for (int year : {1990, 2000}) {
        CometPosition p;
        ASSERT_EQ(ComputeCometPosition(el, jd, year, &p), 1);
        EXPECT_LT(SeparationArcsec(p.rightAscension, p.declination, r[7], r[8]), 5.0) << year;
        EXPECT_NEAR(p.earthDistance, r[9], 1e-4);
        EXPECT_NEAR(p.sunDistance, r[10], 1e-4);
    }
}

// Bodies close to the Earth, where the Sun's place and the precession tell most: within 5"
// of ephem's astrometric place (1I/'Oumuamua at 0.16 to 0.4 AU among them).
TEST(CometPosition, CloseApproachesAgainstEphem) {
    const auto rows = ReadTaggedFixtureRows("objects/comet_places_ephem.txt", "near");
    ASSERT_GE(rows.size(), 4u);
    for (const auto& r : rows) {
        const CometElements el = Elements(r[1], r[2], r[3], r[4], r[5], r[6]);
        const double jd = r[7];
        CometPosition p;
        ASSERT_EQ(ComputeCometPosition(el, jd, 0, &p), 1);
        const std::string what = "q " + std::to_string(r[1]) + " jd " + std::to_string(jd);
        EXPECT_LT(SeparationArcsec(p.rightAscension, p.declination, r[8], r[9]), 5.0) << what;
        EXPECT_NEAR(p.earthDistance, r[10], 1e-5 + 2e-5 * r[10]) << what;
        EXPECT_NEAR(p.sunDistance, r[11], 1e-5 + 2e-5 * r[11]) << what;
    }
}

TEST(CometPosition, ElementSetsAgainstEphem) {
    const auto rows = ReadTaggedFixtureRows("objects/comet_places_ephem.txt", "place");
    ASSERT_GE(rows.size(), 30u);
    int pastNoon = 0;
    for (const auto& r : rows) {
        const int kind = static_cast<int>(r[0]);
        const CometElements el = Elements(r[1], r[2], r[3], r[4], r[5], r[6]);
        const double jd = r[9];
        CometPosition p;
        ASSERT_EQ(ComputeCometPosition(el, jd, static_cast<int>(r[10]), &p), 1) << r[1] << " " << r[2];
        const std::string what = "q " + std::to_string(r[1]) + " e " + std::to_string(r[2]) + " jd " +
                                 std::to_string(jd);
        // Parabolic and nearly parabolic orbits differ from ephem's solution by up to 21".
        const bool nearParabolic = std::fabs(r[2] - 1.0) < 0.02;
        EXPECT_LT(SeparationArcsec(p.rightAscension, p.declination, r[11], r[12]), nearParabolic ? 30.0 : 5.0)
            << what;
        EXPECT_GE(p.rightAscension, 0.0) << what;
        EXPECT_LT(p.rightAscension, 24.0) << what;
        pastNoon += p.rightAscension > 12.0;
        EXPECT_NEAR(p.earthDistance, r[13], 5e-4 * r[13]) << what;
        EXPECT_NEAR(p.sunDistance, r[14], 5e-4 * r[14]) << what;
        const double magnitude = CometMagnitude(kind, r[7], r[8], p.sunDistance, p.earthDistance, p.phaseAngle);
        EXPECT_NEAR(magnitude, r[15], kind == 13 ? 0.0101 : 0.02) << what;
    }
    EXPECT_GT(pastNoon, 5);  // right ascensions whose angle came out negative
}

TEST(CometPosition, RecordsTheCatalogBuilderMakesAgainstEphemFromTheSourceElements) {
    // The builder's minor-body fixture: an asteroid given by epoch, mean anomaly and
    // semi-major axis, a periodic comet by perihelion time and distance.
    std::ifstream f(FixturePath("tools/planets/minor.ini"), std::ios::binary);
    std::ostringstream text;
    text << f.rdbuf();
    std::vector<catalog_builder::MinorBody> bodies;
    std::string error;
    ASSERT_TRUE(catalog_builder::ReadMinorBodies(text.str(), bodies, error)) << error;
    const std::vector<CometRecord> records = catalog_builder::BuildCometRecords(bodies);
    const auto rows = ReadTaggedFixtureRows("objects/comet_places_ephem.txt", "built");
    ASSERT_GE(rows.size(), 3u);
    for (const auto& r : rows) {
        const auto record = std::find_if(records.begin(), records.end(), [&](const CometRecord& c) {
            return static_cast<double>(c.kind) == r[0] && std::fabs(c.eccentricity - r[1]) < 1e-6;
        });
        ASSERT_NE(record, records.end()) << r[0] << " " << r[1];
        CometPlace place{};
        ASSERT_EQ(ComputeCometPosition(*record, r[2], static_cast<int>(r[3]), &place), 1) << record->name;
        EXPECT_LT(SeparationArcsec(place.rightAscension, place.declination, r[4], r[5]), 5.0)
            << record->name << " at " << r[2];
        EXPECT_NEAR(place.earthDistance, r[6], 1e-3 * r[6]) << record->name;
    }
}

TEST(CometPosition, ElongationAndPhaseAngleCloseTheTriangle) {
    const CometElements el = Elements(1.2, 0.3, 2460000.5, 40.0, 80.0, 10.0);
    for (double days = -400; days <= 400; days += 37) {
        CometPosition p;
        ASSERT_EQ(ComputeCometPosition(el, 2460000.5 + days, 2023, &p), 1);
        double sunRa = 0, sunDec = 0, R = 0;
        SunEphemeris(2460000.5 + days, &sunRa, &sunDec, &R);
        // The Sun-Earth-body and Sun-body-Earth angles with the third make 180 degrees.
        const double atSun = std::acos((R * R + p.sunDistance * p.sunDistance - p.earthDistance * p.earthDistance) /
                                       (2 * R * p.sunDistance));
        EXPECT_NEAR(p.elongation + p.phaseAngle + atSun, test_units::kPi, 1e-9) << days;
    }
}

TEST(CometPosition, FailedSolveGivesZeroOutputs) {
    CometPosition p;
    p.rightAscension = 5;
    EXPECT_EQ(ComputeCometPosition(Elements(0.0, 0.5, 2451545.0, 0, 0, 0), 2451600.0, 2000, &p), 0);
    EXPECT_EQ(p.rightAscension, 0.0);
    EXPECT_EQ(p.earthDistance, 0.0);
    EXPECT_EQ(p.phaseAngle, 0.0);
}

TEST(CometMagnitude, CometAndAsteroidLaws) {
    // Comet: g + 5 log10 delta + k log10 r with k as stored.
    EXPECT_NEAR(CometMagnitude(13, 5.0, 10.0, 2.0, 0.5, 0.3), 5.0 + 5 * std::log10(0.5) + 10 * std::log10(2.0), 1e-12);
    // Asteroid at opposition (beta 0): both phase functions are 1.
    EXPECT_NEAR(CometMagnitude(18, 3.34, 0.12, 2.5, 1.5, 0.0), 3.34 + 5 * std::log10(2.5 * 1.5), 1e-12);
    // Every kind other than 13 is an asteroid; brighter at opposition than at 20 degrees.
    EXPECT_EQ(CometMagnitude(7, 3.34, 0.12, 2.5, 1.5, 0.0), CometMagnitude(18, 3.34, 0.12, 2.5, 1.5, 0.0));
    EXPECT_GT(CometMagnitude(18, 3.34, 0.12, 2.5, 1.5, 20 * kDeg), CometMagnitude(18, 3.34, 0.12, 2.5, 1.5, 0.0));
}

// ---------------------------------------------------------------------------------------
// Through the catalog layer's hook

namespace {

class CometCatalogTest : public SelectionFixture {
protected:
    // Record 0: Encke with Meeus's elements (example 33.b).
    void WriteEncke() {
        WriteFile(Data(kCometFile), 0, kCreatorComets, kCometRecordSize, 1, [](std::uint32_t, std::uint8_t* bytes) {
            CometRecord c;
            c.kind = 13;
            std::strcpy(c.name, "2P/Encke");
            c.year = 1990;
            c.month = 10;
            c.perihelionDay = 28.54502f;
            c.perihelionDistance = static_cast<float>(2.2091404 * (1.0 - 0.8502196));
            c.eccentricity = 0.8502196f;
            c.argPerihelion = 186.23352f;
            c.ascendingNode = 334.75006f;
            c.inclination = 11.94524f;
            c.magnitude1 = 9.8f;
            c.magnitude2 = 10.0f;
            EncodeCometRecord(c, bytes);
        });
    }
    void SetUp() override {
        SelectionFixture::SetUp();
        WriteEncke();
        OpenSet();
        SelectionHooks hooks;
        hooks.computeCometPosition = &ComputeCometPosition;
        SetSelectionHooks(hooks);
        observerLocation.zoneMinutes = 0;
        SetObservingDateTime(1990, 10, 6, 0, 0, 0);
        ASSERT_EQ(GetCometData(0, &record), 1);
    }
    CometPosition Expected(int year) {
        CometPosition p;
        EXPECT_EQ(ComputeCometPosition(MakeCometElements(record), jd, year, &p), 1);
        return p;
    }
    CometRecord record;
    const double jd = 2448170.5;
};

}  // namespace

// The object look-up and the list's ephemeris give the place of the instant.
TEST_F(CometCatalogTest, TheCatalogAndTheListGiveThePlaceOfTheInstant) {
    const CometPosition of1990 = Expected(1990);

    char label[kObjectTextSize];
    char second[kObjectTextSize];
    ObjectRef ref;
    std::int32_t flag = 0;
    ASSERT_EQ(BuildObjectDescription(kCatalogComet, 0, &ref, label, second, 1, &flag), 1);
    EXPECT_NEAR(ref.ra, of1990.rightAscension, 1e-5);
    EXPECT_NEAR(ref.dec, of1990.declination, 1e-4);
    EXPECT_NEAR(ref.distance, of1990.earthDistance, 1e-6);

    FreshList();
    SelectionRecord comet{};
    comet.objectNumber = 0;
    comet.catalogCode = kCatalogComet;
    selectionList.records[selectionList.recordCount++] = comet;
    UpdateObjectEphemeris(1990, 10, 6, 0, 0, 0);
    EXPECT_NEAR(selectionList.records[0].rightAscension, of1990.rightAscension, 1e-5);
    EXPECT_NEAR(selectionList.records[0].declination, of1990.declination, 1e-4);
}

TEST_F(CometCatalogTest, TheHookGivesNoPlaceForUnsolvableElements) {
    record.perihelionDistance = 0.0f;
    CometPlace place{1, 2, 3, 4, 5};
    EXPECT_EQ(ComputeCometPosition(record, jd, 1990, &place), 0);
    EXPECT_EQ(place.rightAscension, 0.0);
    EXPECT_EQ(place.earthDistance, 0.0);
}
