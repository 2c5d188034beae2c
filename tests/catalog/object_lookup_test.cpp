// The lookup of any object by catalog code and number over the fixture catalog set.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/constellation_boundaries.h"
#include "astro/planet_positions.h"
#include "catalog/constellations.h"
#include "catalog/object_lookup.h"
#include "core/calendar.h"
#include "selection_fixture.h"

namespace {

class ObjectLookupTest : public SelectionFixture {
protected:
    struct Result {
        int found;
        ObjectRef ref;
        std::string label;
        std::string second;
        int flag;
    };
    Result Look(int catalog, int number, int withPosition = 1) {
        Result r{};
        char label[kObjectTextSize];
        char second[kObjectTextSize];
        r.flag = -7;
        SetObjectRefName(&r.ref, "old name");
        r.found = BuildObjectDescription(catalog, number, &r.ref, label, second, withPosition, &r.flag);
        r.label = label;
        r.second = second;
        return r;
    }
};

// A stand-in orbit computation with known distances and phase angle.
int KnownPlace(const CometRecord&, double, int, CometPlace* place) {
    *place = {5.25, -12.5, 0.7, 1.2, 0.5};
    return 1;
}

}  // namespace

TEST(MeteorShowers, TableCountAndSpotChecks) {
    ASSERT_EQ(sizeof meteorShowerTable / sizeof meteorShowerTable[0], 70u);
    const MeteorShower& quadrantids = meteorShowerTable[0];
    EXPECT_STREQ(quadrantids.name, "Quadrantids");
    EXPECT_EQ(quadrantids.hourlyRate, 120);
    EXPECT_EQ(quadrantids.radiantRa100, 1533);
    const MeteorShower& februaryLeonids = meteorShowerTable[10];
    EXPECT_EQ(februaryLeonids.peakDay, 0);
    const MeteorShower& perseids = meteorShowerTable[40];
    EXPECT_STREQ(perseids.name, "Perseids");
    EXPECT_EQ(perseids.startDay, 17);
    EXPECT_EQ(perseids.startMonth, 7);
    EXPECT_EQ(perseids.peakMonth, 8);
    EXPECT_EQ(perseids.radiantDec, 58);
    EXPECT_EQ(perseids.velocity, 59);
    EXPECT_EQ(meteorShowerTable[1].radiantDec, -47);
    EXPECT_STREQ(meteorShowerTable[47].name, "Aries-Triangulids");
    const MeteorShower& ursids = meteorShowerTable[69];
    EXPECT_STREQ(ursids.name, "Ursids");
    EXPECT_EQ(ursids.radiantDec, 76);
    EXPECT_EQ(ursids.activityClass, 1);
}

TEST_F(ObjectLookupTest, ListsAndDeepSkyCatalogs) {
    WriteCrossReferences();
    OpenSet();
    struct Case {
        int catalog;
        int number;
        std::uint32_t refCatalog;
        std::uint32_t refNumber;
        const char* label;
        const char* second;
    } cases[] = {
        {40, 0, 40, 0, "M1", "NGC1952"},
        {40, 30, 40, 30, "M31", "NGC224"},
        {40, -30, 40, 30, "M31", "NGC224"},
        {9, 4, 9, 4, "C5", "IC342"},
        {25, 0, 42, 40, "NGC40", "Bow-Tie Nebula"},  // the common name, nameLen 15
        {25, 1, 42, 129, "NGC129", "Mel7"},        // the other designation replaces it
        {49, 0, 42, 40, "NGC40", ""},
        {42, 224, 42, 224, "NGC224", ""},
        {1, 500, 1, 500, "Abell500", ""},
        {43, 1, 43, 1, "Pal1", ""},
    };
    for (const Case& c : cases) {
        const Result r = Look(c.catalog, c.number);
        EXPECT_EQ(r.found, 1) << c.catalog << " " << c.number;
        EXPECT_EQ(r.ref.catalog, c.refCatalog) << c.catalog << " " << c.number;
        EXPECT_EQ(r.ref.number, c.refNumber) << c.catalog << " " << c.number;
        EXPECT_EQ(r.label, c.label) << c.catalog << " " << c.number;
        EXPECT_EQ(r.second, c.second) << c.catalog << " " << c.number;
        EXPECT_EQ(r.flag, 1);
        EXPECT_STREQ(r.ref.name, "");
    }
    const Result m31 = Look(40, 30);
    EXPECT_FLOAT_EQ(m31.ref.magnitude, 3.44f);
    EXPECT_EQ(m31.ref.flag, 35);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ObjectLookupTest, DeepSkyPositionsAndTheSelectionMarks) {
    OpenSet();
    objectSelection.kind = 10;
    objectSelection.subIndex = 99;
    const Result fourth = Look(1, -3);
    EXPECT_EQ(fourth.found, 1);
    EXPECT_EQ(fourth.ref.number, 400u);
    EXPECT_EQ(fourth.label, "Abell400");
    EXPECT_EQ(objectSelection.kind, 10u);  // a position changes no selection field
    EXPECT_EQ(objectSelection.subIndex, 99u);
    EXPECT_EQ(objectSelection.selected, 0);

    const ObjectRef before = objectSelection.object;
    std::strcpy(objectSelection.displayName, "Shown");
    objectSelection.kind = 5;
    const Result ngc = Look(42, 1952);
    EXPECT_EQ(ngc.found, 1);
    EXPECT_EQ(objectSelection.kind, 10u);   // CatalogToListIndex of an NGC object
    EXPECT_EQ(objectSelection.subIndex, 9u);
    EXPECT_EQ(objectSelection.recordIndex, 9);
    EXPECT_EQ(objectSelection.selected, 1);
    EXPECT_EQ(objectSelection.object.number, before.number);
    EXPECT_STREQ(objectSelection.displayName, "Shown");

    // Positions past the catalog's range and numbers not in it find nothing.
    for (const auto& [catalog, number] : std::vector<std::pair<int, int>>{
             {1, -5}, {1, 250}, {1, 600}, {43, 2}, {2, 1}, {2, 0}, {70, 1}, {-1, 1}}) {
        const Result r = Look(catalog, number);
        EXPECT_EQ(r.found, 0) << catalog << " " << number;
        EXPECT_EQ(r.label, "") << catalog << " " << number;
        EXPECT_EQ(r.flag, 0);
    }
    // The catalog last in the file: a search past its last record reads nothing beyond it.
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ObjectLookupTest, PlanetsEqualComputePlanet) {
    OpenSet();
    const Result mars = Look(45, 4);
    ASSERT_EQ(mars.found, 1);
    BodyRecord body{};
    ASSERT_EQ(ComputePlanet(&body, 4, 2024, 3, 15, 22, 0, 0), 1);
    EXPECT_EQ(mars.label, "Mars");
    EXPECT_STREQ(mars.ref.name, "Mars");
    EXPECT_EQ(mars.ref.type, 27);
    EXPECT_FLOAT_EQ(mars.ref.ra, static_cast<float>(body.rightAscension));
    EXPECT_FLOAT_EQ(mars.ref.dec, static_cast<float>(body.declination));
    EXPECT_FLOAT_EQ(mars.ref.distance, static_cast<float>(body.distance));
    EXPECT_FLOAT_EQ(mars.ref.magnitude, static_cast<float>(body.magnitude));
    EXPECT_FLOAT_EQ(mars.ref.sizeB, static_cast<float>(body.diameter));
    EXPECT_EQ(mars.ref.constellation,
              FindConstellation(mars.ref.ra, mars.ref.dec, DateTimeToJD(2024, 3, 15, 22, 0, 0, 60)));
    EXPECT_EQ(mars.flag, 1);

    const Result withoutPlace = Look(45, -4, 0);
    EXPECT_EQ(withoutPlace.found, 1);
    EXPECT_EQ(withoutPlace.ref.number, 4u);
    EXPECT_FLOAT_EQ(withoutPlace.ref.ra, 0.0f);
    EXPECT_EQ(Look(45, 11).found, 0);
}

TEST_F(ObjectLookupTest, ConstellationsAndMeteorShowers) {
    OpenSet();
    const Result ori = Look(13, 60);
    EXPECT_EQ(ori.found, 1);
    EXPECT_EQ(ori.label, ConstellationTable[60].abbreviation);
    EXPECT_EQ(ori.second, ConstellationTable[60].name);
    EXPECT_EQ(ori.flag, 0);
    EXPECT_EQ(ori.ref.type, 14);
    EXPECT_EQ(ori.ref.constellation, 60);
    EXPECT_FLOAT_EQ(ori.ref.ra, static_cast<float>(ConstellationTable[60].labelRa * 0.001));
    EXPECT_EQ(Look(13, 89).found, 0);

    // The observing month is March.
    const Result quadrantids = Look(41, 0);
    EXPECT_EQ(quadrantids.found, 1);
    EXPECT_EQ(quadrantids.flag, 0);
    EXPECT_EQ(quadrantids.label, "03/01");
    EXPECT_EQ(quadrantids.second, "Quadrantids");
    EXPECT_EQ(quadrantids.ref.type, 29);
    EXPECT_FLOAT_EQ(quadrantids.ref.ra, 15.33f);
    EXPECT_FLOAT_EQ(quadrantids.ref.magnitude, 120.0f);
    EXPECT_FLOAT_EQ(quadrantids.ref.sizeA, 400.0f);
    EXPECT_EQ(quadrantids.ref.flag, 1);
    EXPECT_EQ(quadrantids.ref.morphology, 3);
    EXPECT_EQ(Look(41, 12).flag, 1);           // Gamma Normids, February to March
    EXPECT_EQ(Look(41, 10).label, "01/02");    // no peak: the start date
    EXPECT_EQ(Look(41, 70).found, 0);
}

TEST_F(ObjectLookupTest, BrightStarsFromTheNameFileAndTheStarTable) {
    OpenSet();
    const Result polaris = Look(54, 1);
    ASSERT_EQ(polaris.found, 1);
    EXPECT_EQ(polaris.label, "Polaris");
    EXPECT_STREQ(polaris.ref.name, "Polaris");
    EXPECT_EQ(polaris.ref.type, 30);
    EXPECT_FLOAT_EQ(polaris.ref.magnitude, 2.0f);  // 32 sixteenths
    EXPECT_EQ(polaris.ref.morphology, 8);
    EXPECT_NEAR(polaris.ref.ra, 2.5303, 1e-5);
    EXPECT_NEAR(polaris.ref.dec, 89.264, 1e-4);
    EXPECT_FLOAT_EQ(polaris.ref.sizeA, 1.0f);
    EXPECT_EQ(polaris.flag, 0);

    const Result quick = Look(54, 2, 0);
    EXPECT_FLOAT_EQ(quick.ref.magnitude, -23.0f / 16.0f);
    EXPECT_FLOAT_EQ(quick.ref.ra, 0.0f);
    EXPECT_EQ(Look(54, 6).found, 0);
}

TEST_F(ObjectLookupTest, StellarCatalogsNeedTheirLevelFile) {
    OpenSet();
    preferences.word[pref::stellarCatalogChoice] = 3;
    for (int catalog : {26, 28, 60}) {
        const Result r = Look(catalog, catalog == 60 ? 1234 * 100000 + 56 : 32349);
        EXPECT_EQ(r.found, 0);
        EXPECT_EQ(r.label, "");
        EXPECT_EQ(preferences.word[pref::stellarCatalogChoice], 3);  // restored
    }
    EXPECT_EQ(Messages(), std::vector<std::string>(3, "Can't find stellar catalog\n"));
}

TEST_F(ObjectLookupTest, CometAndAsteroidMagnitudesFromTheOrbitPlace) {
    WriteComets();
    OpenSet();
    SelectionHooks hooks;
    hooks.computeCometPosition = &KnownPlace;
    SetSelectionHooks(hooks);

    const Result comet = Look(12, 0);
    ASSERT_EQ(comet.found, 1);
    EXPECT_EQ(comet.label, "C/2020 F3 (NEOWISE) with a long tail name");
    EXPECT_STREQ(comet.ref.name, "C/2020 F3 (NEOWISE)");
    EXPECT_EQ(comet.ref.type, 13);
    EXPECT_NEAR(comet.ref.magnitude, 5.0173027, 1e-5);  // 5 + 5 log10 0.7 + 10 log10 1.2
    EXPECT_FLOAT_EQ(comet.ref.ra, 5.25f);
    EXPECT_FLOAT_EQ(comet.ref.distance, 0.7f);
    EXPECT_FLOAT_EQ(comet.ref.sizeA, 0.5f);
    EXPECT_EQ(comet.flag, 1);

    const Result vesta = Look(12, -1);
    ASSERT_EQ(vesta.found, 1);
    EXPECT_EQ(vesta.ref.type, 18);
    EXPECT_NEAR(vesta.ref.magnitude, 4.2711137, 1e-5);  // H, G system at 0.5 rad phase
    EXPECT_EQ(Look(12, 2).found, 0);

    // Without an orbit computation the object is named but has no place.
    SetSelectionHooks(SelectionHooks{});
    const Result unplaced = Look(12, 0);
    EXPECT_EQ(unplaced.found, 1);
    EXPECT_FLOAT_EQ(unplaced.ref.ra, 0.0f);
}

TEST_F(ObjectLookupTest, UserObjectsNeedTheirDatabaseOpen) {
    OpenSet();
    const Result r = Look(63, 0);
    EXPECT_EQ(r.found, 0);
    EXPECT_EQ(Messages(), std::vector<std::string>{"User Object database isn't open!\n"});
}
