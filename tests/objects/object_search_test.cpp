// The search by criteria: the criteria test, the fixed-point altitude test, the passes over
// a small catalog set, the searches other forms start, and the removal of matches.
#include "objects/object_search.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "astro/time_scales.h"
#include "catalog/constellations.h"
#include "catalog/object_lookup.h"
#include "catalog/record_file.h"
#include "catalog/selection_fixture.h"
#include "catalog/star_tables.h"
#include "catalog/user_lists.h"
#include "core/report.h"
#include "objects/objects_services.h"
#include "objects/visibility.h"
#include "objects/sky_brightness.h"
#include "platform/headless.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "shell/utilities.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180.0;

ObjectRef Candidate(int catalog, int type, float magnitude, float ra = 0.0f, float dec = 0.0f) {
    ObjectRef r;
    r.catalog = static_cast<std::uint32_t>(catalog);
    r.number = 1;
    r.type = type;
    r.magnitude = magnitude;
    r.ra = ra;
    r.dec = dec;
    r.sizeA = 5.0f;
    r.sizeB = 3.0f;
    return r;
}

// The search geometry for a site latitude and a minimum altitude.
void Geometry(double latitude, double altitude, float lst) {
    searchSinLatitude = static_cast<std::int32_t>(std::sin(latitude * kDeg) * 16777216.0);
    searchCosLatitude = static_cast<std::int32_t>(std::cos(latitude * kDeg) * 16777216.0);
    searchAltitudeSine = FixedAltitudeSine(altitude);
    searchSiderealTime = lst;
}

TEST(MatchSelectionCriteria, FollowsEachCriterion) {
    Geometry(50.0, 0.0, 0.0f);
    struct Case {
        const char* what;
        SelectionCriteria criteria;
        ObjectRef candidate;
        int expected;
    };
    auto criteria = [](auto set) {
        SelectionCriteria c{};
        set(c);
        return c;
    };
    std::vector<Case> cases;
    // Type 19 with the nebula class: every nebula of the class.
    for (int type : {9, 19, 20, 21, 22, 25}) {
        cases.push_back({"nebula class", criteria([](SelectionCriteria& c) { c.objectType = 19, c.typeClass = 4; }),
                         Candidate(42, type, 8.0f), 1});
    }
    cases.push_back({"galaxy is no nebula", criteria([](SelectionCriteria& c) { c.objectType = 19, c.typeClass = 4; }),
                     Candidate(42, 16, 8.0f), 0});
    cases.push_back({"other type", criteria([](SelectionCriteria& c) { c.objectType = 16; }), Candidate(42, 2, 8.0f), 0});
    // The observing lists' kinds pass every catalog code; others only their own.
    for (int kind : {9, 25, 40, 49, 63})
        cases.push_back({"list kind", criteria([kind](SelectionCriteria& c) { c.searchKind = static_cast<std::int16_t>(kind); }),
                         Candidate(42, 16, 8.0f), 1});
    cases.push_back({"other catalog", criteria([](SelectionCriteria& c) { c.searchKind = 29; }), Candidate(42, 16, 8.0f), 0});
    cases.push_back({"constellation + 1", criteria([](SelectionCriteria& c) { c.constellation = 61; }),
                     [] { ObjectRef r = Candidate(42, 16, 8.0f); r.constellation = 60; return r; }(), 1});
    cases.push_back({"other constellation", criteria([](SelectionCriteria& c) { c.constellation = 60; }),
                     [] { ObjectRef r = Candidate(42, 16, 8.0f); r.constellation = 60; return r; }(), 0});
    // No magnitude counts as 99: out with any limit, in without one.
    for (int limit = 1; limit <= 8; ++limit)
        cases.push_back({"no magnitude", criteria([limit](SelectionCriteria& c) {
                             c.magnitudeLimit = static_cast<std::int16_t>(limit), c.telescopeLimit = 13.0f,
                             c.nakedEyeLimit = 6.0f;
                         }),
                         Candidate(42, 16, 0.0f), 0});
    cases.push_back({"no magnitude, no limit", SelectionCriteria{}, Candidate(42, 16, 0.0f), 1});
    for (int limit = 1; limit <= 8; ++limit)
        cases.push_back({"negative magnitude", criteria([limit](SelectionCriteria& c) {
                             c.magnitudeLimit = static_cast<std::int16_t>(limit);
                         }),
                         Candidate(42, 16, -1.5f), 1});
    cases.push_back({"fainter than <6", criteria([](SelectionCriteria& c) { c.magnitudeLimit = 4; }),
                     Candidate(42, 16, 6.1f), 0});
    cases.push_back({"scope limit", criteria([](SelectionCriteria& c) { c.magnitudeLimit = 2, c.telescopeLimit = 12.5f; }),
                     Candidate(42, 16, 12.4f), 1});
    cases.push_back({"eye limit", criteria([](SelectionCriteria& c) { c.magnitudeLimit = 1, c.nakedEyeLimit = 5.0f; }),
                     Candidate(42, 16, 5.2f), 0});
    // An object without size gets no magnification: the ideal eyepiece is then 10000 mm.
    auto eyepiece = [](int focal) {
        SelectionCriteria c{};
        c.eyepiece = 1;
        c.eyepieceFocalLength = static_cast<std::int16_t>(focal);
        return c;
    };
    ObjectRef pointLike = Candidate(42, 16, 8.0f);
    pointLike.sizeA = pointLike.sizeB = 0.0f;
    cases.push_back({"eyepiece 0.59 off", eyepiece(4100), pointLike, 1});
    cases.push_back({"eyepiece 0.61 off", eyepiece(3900), pointLike, 0});
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        ObjectRef candidate = c.candidate;
        EXPECT_EQ(MatchSelectionCriteria(c.criteria, &candidate), c.expected);
        if (c.candidate.magnitude == 0.0f) {
            EXPECT_EQ(candidate.magnitude, 99.0f);
        }
    }
}

TEST(MatchSelectionCriteria, EyepieceWithinSixTenthsOfTheIdealOne) {
    ObjectRef galaxy = Candidate(42, 16, 9.0f);
    galaxy.sizeA = 6.0f;
    galaxy.sizeB = 4.0f;
    int magnification = 0;
    double margin = 0;
    EstimateVisibility(GetApertureMm(), GetFocalLengthMm(), GetSiteSkyBrightness(), galaxy.magnitude, galaxy.sizeA,
                       galaxy.sizeB, &magnification, &margin);
    ASSERT_GE(magnification, 1);
    const int ideal = GetFocalLengthMm() / magnification;
    ASSERT_GE(ideal, 10);
    SelectionCriteria c{};
    c.eyepiece = 1;
    c.eyepieceFocalLength = static_cast<std::int16_t>(std::floor(ideal * 1.59));
    EXPECT_EQ(MatchSelectionCriteria(c, &galaxy), 1);
    c.eyepieceFocalLength = static_cast<std::int16_t>(std::ceil(ideal * 1.61));
    EXPECT_EQ(MatchSelectionCriteria(c, &galaxy), 0);
}

TEST(MatchSelectionCriteria, VisibilityBandsIncludeBothEdges) {
    struct Case {
        int visibilityClass;
        double margin;
        bool in;
    };
    const Case cases[] = {{1, 2.0, true},  {2, 2.0, true},  {1, 1.99, false}, {1, 10.0, true}, {1, 10.01, false},
                          {2, 1.5, true},  {3, 1.5, true},  {3, 1.0, true},   {4, 1.0, true},  {4, 0.5, true},
                          {4, 0.49, false}, {2, 2.01, false}};
    for (const Case& c : cases) EXPECT_EQ(InVisibilityBand(c.visibilityClass, c.margin), c.in) << c.visibilityClass << " " << c.margin;
}

TEST(MatchSelectionCriteria, NotVisibleIsExactlyWhatVisibleRejects) {
    Geometry(48.0, 0.0, 7.3f);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-90.0f, 90.0f);
    SelectionCriteria visible{}, hidden{};
    visible.minAltitude = 1;
    hidden.minAltitude = 10;
    int up = 0;
    for (int i = 0; i < 2000; ++i) {
        ObjectRef a = Candidate(42, 16, 8.0f, ra(random), dec(random));
        ObjectRef b = a;
        const int shown = MatchSelectionCriteria(visible, &a);
        EXPECT_NE(shown, MatchSelectionCriteria(hidden, &b));
        up += shown;
    }
    EXPECT_GT(up, 500);
    EXPECT_LT(up, 1500);
}

TEST(IsAboveMinAltitude, AgreesWithDoublePrecision) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> hour(-12.0, 12.0), dec(-90.0, 90.0), lat(-89.0, 89.0), alt(-10.0, 60.0);
    int undecided = 0;
    for (int i = 0; i < 10000; ++i) {
        const double latitude = lat(random), h = hour(random), d = dec(random), a = alt(random);
        Geometry(latitude, a, 0.0f);
        const float ra = static_cast<float>(-h);
        // The exact sine of the altitude of the place (the float hour angle as the test sees it).
        const double hf = 0.0f - ra;
        const double s = std::sin(latitude * kDeg) * std::sin(static_cast<float>(d) * kDeg) +
                         std::cos(latitude * kDeg) * std::cos(static_cast<float>(d) * kDeg) * std::cos(hf * 15.0 * kDeg);
        const double threshold = searchAltitudeSine / 16777216.0;
        if (std::fabs(s - threshold) < 1e-6) {
            ++undecided;
            continue;
        }
        EXPECT_EQ(IsAboveMinAltitude(0.0f, ra, static_cast<float>(d), searchAltitudeSine), s >= threshold ? 1 : 0)
            << "lat " << latitude << " H " << h << " dec " << d << " alt " << a;
    }
    EXPECT_LT(undecided, 10);
}

TEST(IsAboveMinAltitude, HourAnglesOfTwelveHoursAreTheLowerCulmination) {
    // At 50 degrees north a star at declination 60 passes below the pole at 20 degrees.
    for (float h : {12.0f, -12.0f, 36.0f}) {
        SCOPED_TRACE(h);
        Geometry(50.0, 19.8, 0.0f);
        EXPECT_EQ(IsAboveMinAltitude(h, 0.0f, 60.0f, searchAltitudeSine), 1);
        Geometry(50.0, 20.2, 0.0f);
        EXPECT_EQ(IsAboveMinAltitude(h, 0.0f, 60.0f, searchAltitudeSine), 0);
    }
}

class ObjectSearch : public SelectionFixture {
protected:
    void SetUp() override {
        SelectionFixture::SetUp();
        // Every object of the fixture stands high at this instant.
        SetObservingDateTime(2024, 11, 20, 22, 0, 0);
        preferences.word[pref::chartMode] = 2;
        preferences.word[pref::timeUpdateMode] = 1;
        CloseUserObjectDb();
    }
    void TearDown() override {
        SetReportHooks(ReportHooks{});
        CloseUserObjectDb();
        SelectionFixture::TearDown();
    }

    // Criteria for everything at the observing instant.
    void Prepare(int typeClass, int kind, int type) {
        InitSelectionCriteria(typeClass, kind, type);
        selectionCriteria.minAltitude = 0;
    }

    std::vector<std::string> Labels() const {
        std::vector<std::string> labels;
        for (int k = 0; k < selectionList.recordCount; ++k) labels.emplace_back(selectionList.records[k].label);
        return labels;
    }
    int CountGroup(int group) const {
        int n = 0;
        for (int k = 0; k < selectionList.recordCount; ++k) n += selectionList.records[k].group == group;
        return n;
    }

    // Three comets: a comet, an asteroid, and one whose orbit cannot be solved.
    void WriteSolvableComets() {
        WriteFile(Data(kCometFile), 0, kCreatorComets, kCometRecordSize, 3, [](std::uint32_t i, std::uint8_t* r) {
            CometRecord c;
            c.kind = i == 1 ? 18 : 13;
            std::snprintf(c.name, sizeof c.name, "%s", i == 0 ? "2P/Encke" : i == 1 ? "(4) Vesta" : "Broken");
            c.year = 2024;
            c.month = 10;
            c.perihelionDay = 22.5f;
            c.perihelionDistance = i == 1 ? 2.15f : 0.34f;
            c.eccentricity = i == 1 ? 0.09f : 0.85f;
            c.argPerihelion = 186.5f;
            c.ascendingNode = 334.0f;
            c.inclination = i == 1 ? 7.1f : 11.8f;
            c.magnitude1 = i == 1 ? 3.2f : 11.5f;
            c.magnitude2 = i == 1 ? 0.32f : 10.0f;
            // An eccentricity that is not a number has no orbit.
            if (i == 2) c.eccentricity = std::nanf("");
            EncodeCometRecord(c, r);
        });
    }

    void WriteUserObjects(int count) {
        const auto path = root / "home" / "usercatalogs" / "mine.ppc";
        std::filesystem::create_directories(path.parent_path());
        WriteFile(path, 0, kCreatorUserObjects, kUserObjectRecordSize, static_cast<std::uint32_t>(count),
                  [](std::uint32_t i, std::uint8_t* r) {
                      ObjectRef o = MakeRef(i == 0 ? 1000 : 42, 7000 + i, i == 0 ? "My nebula" : "My galaxy");
                      o.type = i == 0 ? 20 : 16;
                      o.ra = 3.0f;
                      o.dec = 40.0f;
                      EncodeUserObjectRecord(o, r);
                  });
        ASSERT_EQ(LoadUserList("mine.ppc", 1), 1);
    }
};

TEST_F(ObjectSearch, GroupsAndOrderOfAFullSearch) {
    WriteSolvableComets();
    OpenSet();
    WriteUserObjects(2);
    FreshList();
    Prepare(0, 0, 0);
    EXPECT_FALSE(SearchAllCategories());
    const std::vector<std::string> labels = Labels();
    ASSERT_GE(labels.size(), 15u);
    // The Sun, the Moon and the planets, then Messier and Caldwell in list order.
    const std::vector<std::string> head(labels.begin(), labels.begin() + 14);
    EXPECT_EQ(head, (std::vector<std::string>{"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus",
                                              "Neptune", "Pluto", "M1", "M31", "C2", "C5"}));
    // Then by catalog code and number: Abell, IC, NGC (Herschel's and best-NGC's first
    // hits), Pal, and the user's objects.
    for (int k = 15; k < selectionList.recordCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_GE(CompareSelectionByCatalog(selectionList.records[k], selectionList.records[k - 1]), 0);
    }
    EXPECT_EQ(CountGroup(kGroupBody), 10);
    EXPECT_EQ(CountGroup(kGroupMessier), 2);
    EXPECT_EQ(CountGroup(kGroupCaldwell), 2);
    // NGC 40 is Caldwell 2 already; NGC 129 is Herschel's own.
    EXPECT_EQ(CountGroup(kGroupHerschel), 1);
    EXPECT_EQ(CountGroup(kGroupBestNgc), 0);
    // By their type's class: the five Abell galaxy clusters and the user's galaxy (6), Pal 1
    // (a globular cluster, 4), the user's nebula (8).
    EXPECT_EQ(CountGroup(6), 6);
    EXPECT_EQ(CountGroup(4), 1);
    EXPECT_EQ(CountGroup(8), 1);
    EXPECT_EQ(selectionList.indexCount, selectionList.recordCount);
    EXPECT_EQ(selectionList.currentPosition, 0);
    EXPECT_EQ(selectionList.records[selectionList.recordCount].objectNumber, -1);
    // The user object without a catalog of its own became catalog 63.
    bool mine = false;
    for (int k = 0; k < selectionList.recordCount; ++k)
        if (selectionList.records[k].catalogCode == kCatalogUser) mine = std::string(selectionList.records[k].label) == "My nebula";
    EXPECT_TRUE(mine);
    // Comets are not searched without their kind.
    EXPECT_EQ(CountGroup(12), 0);

    // The same search again adds nothing.
    const int before = selectionList.recordCount;
    Prepare(0, 0, 0);
    SearchAllCategories();
    EXPECT_EQ(selectionList.recordCount, before);
}

TEST_F(ObjectSearch, CometsConstellationsAndMeteorShowersHaveTheirOwnPasses) {
    WriteSolvableComets();
    OpenSet();
    FreshList();
    Prepare(0, kCatalogComet, 0);
    SearchAllCategories();
    // The comet that has no orbit is left out.
    EXPECT_EQ(Labels(), (std::vector<std::string>{"2P/Encke", "(4) Vesta"}));
    EXPECT_EQ(CountGroup(12), 2);
    EXPECT_GT(selectionList.records[1].distance, 0.5f);

    FreshList();
    Prepare(0, kCatalogMeteor, 0);
    SearchAllCategories();
    EXPECT_EQ(selectionList.recordCount, kMeteorShowerCount);
    EXPECT_STREQ(selectionList.records[0].label, "Quadrantids");
    EXPECT_EQ(CountGroup(14), kMeteorShowerCount);

    // Constellations at their label points: Orion stands above the horizon on a winter
    // evening at 50 degrees north, and is below it on a summer evening.
    SetSiteLatitude(50.0f);
    observerLocation.longitude = -8.0f;
    for (int month : {1, 7}) {
        SCOPED_TRACE(month);
        SetObservingDateTime(2025, month, 10, 21, 0, 0);
        FreshList();
        InitSelectionCriteria(0, kCatalogConstellation, 0);
        selectionCriteria.minAltitude = 1;
        searchAltitudeSine = FixedAltitudeSine(10.0);
        SearchAllCategories();
        bool orion = false;
        for (int k = 0; k < selectionList.recordCount; ++k) {
            orion = orion || std::string(selectionList.records[k].label) == "Orion";
            EXPECT_EQ(selectionList.records[k].group, 13);
        }
        EXPECT_EQ(orion, month == 1);
    }
}

TEST_F(ObjectSearch, KindsSixtyThreeAndFiftyFourKeepTheirOwnOrder) {
    OpenSet();
    WriteUserObjects(2);
    FreshList();
    Prepare(0, kCatalogUser, 0);
    SearchAllCategories();
    // Unsorted: the user's file order first, then the deep-sky records.
    ASSERT_GE(selectionList.recordCount, 2);
    EXPECT_STREQ(selectionList.records[0].label, "My nebula");
    EXPECT_STREQ(selectionList.records[1].label, "My galaxy");

    // Bright stars: no deep-sky pass, the named stars after the sorted rest, in file order.
    FreshList();
    Prepare(0, kSearchKindAlignmentStars, 0);
    SearchAllCategories();
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Alpheratz", "Polaris", "Sirius"}));
    EXPECT_EQ(CountGroup(11), 3);
    EXPECT_NEAR(selectionList.records[2].magnitude10, -14, 1);  // -23 / 16
    EXPECT_EQ(selectionCriteria.objectType, 0);
}

TEST_F(ObjectSearch, BrightStarsAreNamedOnceAndTheBrightestKeptWhenTheListIsShort) {
    // Five stars: a pair sharing one name, two designations, and a faint named star.
    WriteFile(Data(kDefaultStarsFile), 0, kCreatorDefaultStars, kStarRecordSize, 5, [](std::uint32_t i, std::uint8_t* r) {
        const std::int16_t mag[5] = {40, 20, 30, 10, 70};
        le::PutI16(r, 0, static_cast<std::int16_t>(10 + i));
        le::PutF32(r, 4, 1.0f + static_cast<float>(i));
        le::PutF32(r, 8, 30.0f);
        le::PutI16(r, 12, mag[i]);
    });
    const char* names[5] = {"Acrux", "Acrux", "Alpha CrA", "HR 4", "Zeta"};
    WriteFile(Data(kBrightStarFile), 0, kCreatorBrightStars, kBrightStarRecordSize, 10,
              [&](std::uint32_t i, std::uint8_t* r) {
                  BrightStarRecord b;
                  std::strcpy(b.name, names[i % 5]);
                  b.starIndex = static_cast<std::int16_t>(i % 5);
                  EncodeBrightStarRecord(b, r);
              });
    OpenSet();
    FreshList();
    RunObjectSelectionQuiet(0, kSearchKindAlignmentStars, 0);
    ASSERT_EQ(Labels(), (std::vector<std::string>{"Acrux", "Zeta"}));
    // The brighter of the two called Acrux.
    EXPECT_EQ(selectionList.records[0].magnitude10, 12);

    // Room for one: the brightest stays, and the quiet search says nothing.
    FreshList();
    selectionList.capacity = 1;
    RunObjectSelectionQuiet(0, kSearchKindAlignmentStars, 0);
    EXPECT_EQ(Labels(), std::vector<std::string>{"Acrux"});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ObjectSearch, AFullListStopsQuietlyAndTheFormsSearchSaysSoOnce) {
    OpenSet();
    FreshList();
    selectionList.capacity = 3;
    Prepare(0, 0, 0);
    EXPECT_TRUE(SearchAllCategories());
    EXPECT_EQ(selectionList.recordCount, 3);
    EXPECT_TRUE(Messages().empty());

    FreshList();
    selectionList.capacity = 4;
    RunObjectSelection(0, 0, 0);
    EXPECT_EQ(selectionList.recordCount, 4);
    EXPECT_EQ(Messages(), std::vector<std::string>{"The list is full: 4 objects kept.\n"});
}

TEST_F(ObjectSearch, MissingUserObjectsAndBrightStarsAreReported) {
    OpenSet();
    FreshList();
    Prepare(0, kCatalogUser, 0);
    SearchAllCategories();
    EXPECT_EQ(Messages(), std::vector<std::string>{"No personnal object found.\n"});
    // The search went on to its end.
    EXPECT_EQ(selectionList.currentPosition, 0);

    ClearRecordedReports();
    std::filesystem::remove(Data(kBrightStarFile));
    ResetStarTables();
    FreshList();
    Prepare(0, kSearchKindAlignmentStars, 0);
    SearchAllCategories();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Could not find velkarion_brightstar.ppc catalog.\n"});
    EXPECT_EQ(selectionList.recordCount, 0);
}

TEST_F(ObjectSearch, InitSelectionCriteriaClearsTheRestAndTakesTheAltitudeFromTheChartMode) {
    OpenSet();
    FreshList();
    struct Case {
        int chartMode, before, after;
    };
    const Case cases[] = {{0, 0, 1}, {1, 5, 5}, {3, 0, 1}, {3, 10, 10}, {2, 5, 0}, {4, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chartMode);
        preferences.word[pref::chartMode] = c.chartMode;
        selectionCriteria.minAltitude = static_cast<std::int16_t>(c.before);
        selectionCriteria.visibilityClass = selectionCriteria.eyepiece = selectionCriteria.constellation = 3;
        selectionCriteria.magnitudeLimit = 4;
        InitSelectionCriteria(4, 40, 19);
        EXPECT_EQ(selectionCriteria.minAltitude, c.after);
        EXPECT_EQ(selectionCriteria.searchKind, 40);
        EXPECT_EQ(selectionCriteria.objectType, 19);
        EXPECT_EQ(selectionCriteria.typeClass, 4);
        EXPECT_EQ(selectionCriteria.visibilityClass + selectionCriteria.eyepiece + selectionCriteria.constellation +
                      selectionCriteria.magnitudeLimit,
                  0);
    }
    EXPECT_EQ(searchSiderealTime, skyModel.localSiderealTime);
    EXPECT_NEAR(searchSinLatitude / 16777216.0, std::sin(48.0 * kDeg), 1e-6);
    // The user's time stays; without the fixed-time flag the device clock is read.
    EXPECT_EQ(observingDateTime.year, 2024);
    preferences.word[pref::timeUpdateMode] = 0;
    InitSelectionCriteria(0, 0, 0);
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    EXPECT_EQ(observingDateTime.year, y);
    EXPECT_EQ(selectionCriteria.year, y);
}

TEST_F(ObjectSearch, RunObjectSelectionReplacesTheListAndQuietKeepsIt) {
    WriteSolvableComets();
    OpenSet();
    FreshList();
    SelectionRecord& stale = selectionList.records[0];
    std::strcpy(stale.label, "NGC 1");
    stale.objectNumber = 1;
    stale.catalogCode = 42;
    selectionList.recordCount = selectionList.indexCount = 1;
    selectionList.currentPosition = 0;

    selectionList.currentPosition = 1;
    RunObjectSelectionQuiet(0, kCatalogComet, 0);
    EXPECT_EQ(selectionCriteria.magnitudeLimit, 2);
    // Added to, sorted by catalog, the position kept.
    EXPECT_EQ(Labels(), (std::vector<std::string>{"(4) Vesta", "NGC 1"}));
    EXPECT_EQ(selectionList.currentPosition, 1);

    RunObjectSelection(7, kSearchKindBodies, 27);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Sun", "Moon", "Mercury", "Venus", "Mars", "Jupiter", "Saturn",
                                                  "Uranus", "Neptune", "Pluto"}));
    EXPECT_EQ(currentObject.object.ra, selectionList.records[0].rightAscension);
    EXPECT_EQ(currentObject.object.dec, selectionList.records[0].declination);
}

TEST_F(ObjectSearch, RemovingMatchesOfAListKindTakesOnlyThatListsRecords) {
    OpenSet();
    FreshList();
    Prepare(0, 0, 0);
    SearchAllCategories();
    const int all = selectionList.recordCount;
    // M31 and M1 are NGC objects, as are C2 and H2: kind 40 removes only the Messier group.
    Prepare(0, kCatalogMessier, 0);
    EXPECT_EQ(RemoveMatchingRecords(), all - 2);
    EXPECT_EQ(CountGroup(kGroupMessier), 0);
    EXPECT_EQ(CountGroup(kGroupCaldwell), 2);
    EXPECT_EQ(selectionList.records[selectionList.recordCount].objectNumber, -1);
    EXPECT_EQ(selectionList.currentPosition, -1);
    // Any other criteria remove every match: here the planets.
    Prepare(0, kCatalogPlanet, 0);
    EXPECT_EQ(RemoveMatchingRecords(), all - 12);
    EXPECT_EQ(CountGroup(kGroupBody), 0);
    EXPECT_EQ(selectionList.indexCount, selectionList.recordCount);
    EXPECT_EQ(selectionList.records[selectionList.recordCount].objectNumber, -1);
}

}  // namespace

namespace {

TEST(ProperStarNames, DesignationsAreNotNames) {
    for (const char* name : {"Vega", "Kaus Australis", "Al Thalimain Post", "Men", "Polaris Galacticu"})
        EXPECT_TRUE(IsProperStarName(name)) << name;
    for (const char* name : {"", "HR 1234", "Beta CrA", "Eta2 CrA", "61 Cyg", "1 Cas", "Alpha UMa"})
        EXPECT_FALSE(IsProperStarName(name)) << name;
}

}  // namespace
