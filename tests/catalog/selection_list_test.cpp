// The selection list: building records, removing, filtering, sorting and moving the
// solar-system entries to a new time.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "astro/planet_positions.h"
#include "catalog/constellations.h"
#include "catalog/object_types.h"
#include "selection_fixture.h"

namespace {

class SelectionListTest : public SelectionFixture {
protected:
    void TearDown() override {
        FilterSelectionByType(0, nullptr, 0);  // every type shown again
        SelectionFixture::TearDown();
    }
    // Adds as the callers do: the index count grows after each success, the record count
    // follows at the end of the batch.
    int Add(const ObjectRef& ref, int group = 0, int objectIndex = 0) {
        const int added = AddObjectToSelection(objectIndex, group, selectionList.records, ref);
        if (added) selectionList.indexCount = std::max(selectionList.indexCount, 0) + 1;
        selectionList.recordCount = std::max(selectionList.indexCount, 0);
        return added;
    }
    const SelectionRecord& Record(int i) const { return selectionList.records[i]; }
    std::vector<int> Numbers() const {
        std::vector<int> n;
        for (int i = 0; i < selectionList.recordCount; ++i) n.push_back(Record(i).objectNumber);
        return n;
    }
    std::vector<int> Index() const {
        return std::vector<int>(selectionList.index, selectionList.index + selectionList.indexCount);
    }
};

int invalidations = 0;
void CountInvalidation() { ++invalidations; }

}  // namespace

TEST_F(SelectionListTest, CapacityDoesNotDependOnTheBrightStarFile) {
    const int without = GetSelectionListCapacity();
    EXPECT_GE(without, kDefaultStarCount + kSelectionListReserve + 5);
    WriteStars();
    ResetStarTables();
    EXPECT_EQ(GetBrightStarCount(), 3);
    EXPECT_EQ(GetSelectionListCapacity(), without);
}

TEST_F(SelectionListTest, AllocationEmptiesTheListAndTellsTheChart) {
    SelectionHooks hooks;
    hooks.invalidateSelectionProjection = &CountInvalidation;
    SetSelectionHooks(hooks);
    invalidations = 0;
    FreshList();
    EXPECT_EQ(invalidations, 1);
    EXPECT_EQ(selectionList.indexCount, -1);
    EXPECT_EQ(selectionList.recordCount, 0);
    EXPECT_EQ(Record(0).positionAngle, 0);
    EXPECT_EQ(Record(0).reserved2[7], 0);

    // The first add after allocation lands at position 0, not before the array.
    EXPECT_EQ(AddObjectToSelection(0, 0, selectionList.records, MakeRef(42, 7000)), 1);
    EXPECT_EQ(Record(0).objectNumber, 7000);
    EXPECT_EQ(selectionList.index[0], 0);
}

TEST_F(SelectionListTest, LabelsByGroupAndCatalog) {
    WriteCrossReferences();
    OpenSet();
    FreshList();
    ObjectRef constellation = MakeRef(13, 60);
    ObjectRef byType = MakeRef(42, 7);
    byType.type = 14;
    struct Case {
        ObjectRef ref;
        int group;
        int objectIndex;
        const char* label;
    } cases[] = {
        {MakeRef(40, 30, "Andromeda"), 2, 0, "M31"},
        {MakeRef(9, 4), 3, 0, "C5"},
        {MakeRef(42, 129), 7, 1, "NGC129"},
        {MakeRef(28, 424), 11, 0, "Polaris"},
        {MakeRef(28, 425), 11, 0, "HR425"},
        {MakeRef(54, 3, "Sirius"), 11, 2, "Sirius"},
        {MakeRef(60, 1234 * 100000 + 567), 11, 0, "TYC1234-567-1"},
        {MakeRef(60, 98 * 100000 + 7), 0, 0, "TYC98-7-1"},
        {MakeRef(51, 28353), 11, 0, "SAO28353"},
        {MakeRef(68, 5), 0, 0, "NoCat68 5"},
        {constellation, 0, 0, ConstellationTable[60].abbreviation},
        {byType, 0, 0, ConstellationTable[7].abbreviation},
        {MakeRef(42, 6960, "Veil Nebula West part"), 0, 0, "Veil Nebula We"},
        {MakeRef(1, 2151), 0, 0, "Abell2151"},
        {MakeRef(45, 4, "Mars"), 1, 4, "Mars"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Add(c.ref, c.group, c.objectIndex), 1) << c.label;
        const SelectionRecord& r = Record(selectionList.indexCount - 1);
        EXPECT_STREQ(r.label, c.label);
        EXPECT_EQ(r.label[14], '\0');
        EXPECT_EQ(r.group, c.group);
    }

    // M31 carries the deep-sky record's data and its list position.
    const SelectionRecord& m31 = Record(0);
    EXPECT_EQ(m31.objectIndex, 30);
    EXPECT_EQ(m31.catalogCode, 42);
    EXPECT_EQ(m31.objectNumber, 224);
    EXPECT_EQ(m31.magnitude10, 34);
    EXPECT_EQ(m31.sizeA, 189);
    EXPECT_EQ(m31.sizeB, 61);
    EXPECT_EQ(m31.positionAngle, 35);
    EXPECT_EQ(m31.flagValue, 35);
    EXPECT_EQ(m31.morphology, static_cast<std::int8_t>(258 & 0xFF));
    EXPECT_FLOAT_EQ(m31.distance, 1000.0f);

    // A body index outside the named bodies leaves the label as it was.
    std::strcpy(selectionList.records[selectionList.indexCount].label, "before");
    ASSERT_EQ(Add(MakeRef(45, 10), 1, 10), 1);
    EXPECT_STREQ(Record(selectionList.indexCount - 1).label, "before");
    // A constellation number past the table is refused, and its index slot stays empty.
    const int count = selectionList.indexCount;
    EXPECT_EQ(Add(MakeRef(13, 89)), 0);
    EXPECT_EQ(selectionList.indexCount, count);
    EXPECT_EQ(selectionList.index[count], -1);
}

TEST_F(SelectionListTest, SizesMagnitudesDuplicatesAndAFullList) {
    FreshList();
    ObjectRef a = MakeRef(42, 1);
    a.sizeA = 12.9f;
    a.sizeB = 0.0f;
    a.magnitude = 6.55f;
    ObjectRef b = MakeRef(42, 2);
    b.magnitude = -1.47f;
    b.sizeB = 0.4f;  // truncates to 0 too
    ASSERT_EQ(Add(a), 1);
    ASSERT_EQ(Add(b), 1);
    EXPECT_EQ(Record(0).sizeB, 12);
    EXPECT_EQ(Record(0).magnitude10, 65);
    EXPECT_EQ(Record(1).magnitude10, -14);
    EXPECT_EQ(Record(1).sizeB, 3);

    ObjectRef unknown = MakeRef(42, 3);
    unknown.magnitude = std::numeric_limits<float>::quiet_NaN();
    ASSERT_EQ(Add(unknown), 1);
    EXPECT_EQ(Record(2).magnitude10, 0);

    EXPECT_EQ(Add(MakeRef(42, 2)), 0);
    EXPECT_EQ(selectionList.indexCount, 3);
    EXPECT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(Add(MakeRef(29, 2)), 1);  // the same number in another catalog

    selectionList.indexCount = selectionList.capacity;
    EXPECT_EQ(AddObjectToSelection(0, 0, selectionList.records, MakeRef(42, 99)), 0);
}

TEST_F(SelectionListTest, RemovingRecords) {
    FreshList();
    for (std::uint32_t n : {10u, 20u, 30u, 40u}) ASSERT_EQ(Add(MakeRef(42, n)), 1);
    EXPECT_EQ(RemoveSelectionRecord(4), 0);
    EXPECT_EQ(RemoveSelectionRecord(-1), 0);

    EXPECT_EQ(RemoveSelectionRecord(3), 1);  // the last: counts drop, its slot is cleared
    EXPECT_EQ(selectionList.indexCount, 3);
    EXPECT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(Record(3).objectNumber, -1);
    EXPECT_EQ(Record(3).label[0], '\0');

    EXPECT_EQ(RemoveSelectionRecord(0), 1);
    EXPECT_EQ(Numbers(), (std::vector<int>{20, 30}));
    EXPECT_EQ(Record(2).objectNumber, -1);
    EXPECT_EQ(FindSelectionRecord(selectionList.records, MakeRef(42, 30)), 1);
    EXPECT_EQ(FindSelectionRecord(selectionList.records, MakeRef(29, 30)), -1);
    EXPECT_EQ(GetSelectionObject(-1), -1);
}

TEST_F(SelectionListTest, FilterKeepsTheTypesOfEachCategory) {
    FreshList();
    // One record per category's types: single star, cluster, multiple star, galaxy,
    // nebula, planet, and a constellation that no category holds.
    const std::int32_t types[] = {30, 6, 31, 16, 19, 27, 14};
    for (int i = 0; i < 7; ++i) {
        ObjectRef r = MakeRef(42, static_cast<std::uint32_t>(i + 1));
        r.type = types[i];
        ASSERT_EQ(Add(r), 1);
    }
    for (int category : {0, 7, -1}) {
        EXPECT_EQ(FilterSelectionByType(category, selectionList.records, 7), 7) << category;
        for (int t = 0; t < kObjectTypeCount; ++t) EXPECT_EQ(ObjectTypeTable[t].shown, 1);
    }
    for (int category = 1; category <= 6; ++category) {
        selectionList.indexCount = FilterSelectionByType(category, selectionList.records, 7);
        EXPECT_EQ(Index(), std::vector<int>{category - 1}) << category;
        EXPECT_EQ(selectionListPtr[0], &selectionList.records[category - 1]);
        EXPECT_EQ(selectionList.index[1], -1);
        selectionList.categoryFilter = category;
        EXPECT_TRUE(IsRecordInCategory(category - 1));
        EXPECT_FALSE(IsRecordInCategory(6));
        EXPECT_TRUE(IsRecordInCategory(7));  // outside the records
        EXPECT_EQ(FindSelectionPos(category - 1), 0);
    }
    EXPECT_EQ(ObjectTypeTable[2].shown, 0);  // planets only
    EXPECT_EQ(ObjectTypeTable[27].shown, 1);
    selectionList.categoryFilter = 0;
    EXPECT_TRUE(IsRecordInCategory(6));
}

namespace {

SelectionRecord Rec(int number, int catalog, int group, int index) {
    SelectionRecord r{};
    r.objectNumber = number;
    r.catalogCode = static_cast<std::int16_t>(catalog);
    r.group = static_cast<std::int16_t>(group);
    r.objectIndex = static_cast<std::int16_t>(index);
    return r;
}

int Sign(int v) { return (v > 0) - (v < 0); }

}  // namespace

TEST_F(SelectionListTest, ComparatorsBreakTiesByCatalogThenNumber) {
    SelectionRecord a = Rec(5, 42, 0, 0), b = Rec(3, 42, 0, 0), c = Rec(9, 29, 0, 0);
    a.magnitude10 = b.magnitude10 = c.magnitude10 = 50;
    a.sizeA = b.sizeA = 10;
    a.sizeB = 5;
    b.sizeB = 5;
    c.sizeA = 20;
    a.rightAscension = b.rightAscension = 3.0f;
    c.rightAscension = std::numeric_limits<float>::quiet_NaN();
    a.constellation = b.constellation = c.constellation = 4;

    EXPECT_EQ(Sign(CompareSelectionByMagnitude(a, b)), 1);   // equal magnitude, catalog, then number
    EXPECT_EQ(Sign(CompareSelectionByMagnitude(c, a)), -1);  // catalog 29 first
    EXPECT_EQ(Sign(CompareSelectionBySize(c, a)), -1);       // largest first
    EXPECT_EQ(Sign(CompareSelectionBySize(a, b)), 1);
    b.sizeB = 6;
    EXPECT_EQ(Sign(CompareSelectionBySize(a, b)), -1);       // then size b ascending
    EXPECT_EQ(Sign(CompareSelectionByRA(a, b)), 1);
    EXPECT_EQ(Sign(CompareSelectionByRA(c, a)), 1);          // a NaN place sorts last
    EXPECT_EQ(CompareSelectionByRA(c, c), 0);
    EXPECT_EQ(Sign(CompareSelectionByConstellation(b, a)), -1);
    EXPECT_EQ(CompareSelectionByConstellation(a, a), 0);
    EXPECT_EQ(Sign(CompareSelectionByGroup(Rec(1, 0, 2, 30), Rec(2, 0, 2, 4))), 1);
    EXPECT_EQ(Sign(CompareSelectionByGroup(Rec(1, 0, 1, 30), Rec(2, 0, 2, 4))), -1);
    // Keys far apart compare by value, where a difference would overflow.
    SelectionRecord low = a, high = a;
    low.magnitude10 = -2000000000;
    high.magnitude10 = 2000000000;
    EXPECT_EQ(Sign(CompareSelectionByMagnitude(low, high)), -1);

    // Labels decide for a user catalog.
    std::strcpy(a.label, "Zeta");
    std::strcpy(c.label, "Alpha");
    EXPECT_EQ(Sign(CompareSelectionByCatalog(c, a)), -1);
    selectionCriteria.searchKind = 63;
    EXPECT_EQ(Sign(CompareSelectionByCatalog(a, c)), 1);
    std::strcpy(c.label, "Zeta");
    EXPECT_EQ(Sign(CompareSelectionByCatalog(a, c)), 1);     // equal labels: catalog code
}

TEST_F(SelectionListTest, SortByGroupPutsBodiesMessierAndCaldwellFirstThenCatalogs) {
    FreshList();
    const SelectionRecord records[] = {Rec(400, 42, 9, 0), Rec(1952, 42, 2, 0), Rec(4, 45, 1, 4),
                                       Rec(200, 29, 7, 0), Rec(40, 42, 3, 1),   Rec(224, 42, 2, 30),
                                       Rec(100, 42, 11, 0), Rec(0, 45, 1, 0),   Rec(300, 29, 11, 0)};
    for (const SelectionRecord& r : records) selectionList.records[selectionList.recordCount++] = r;
    EXPECT_EQ(SortSelectionList(0), 9);
    EXPECT_EQ(Numbers(), (std::vector<int>{0, 4, 1952, 224, 40, 200, 300, 100, 400}));
    EXPECT_EQ(Index(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(SelectionListTest, SortThenFilterRebuildsTheIndexInTheNewOrder) {
    FreshList();
    const std::int32_t types[] = {16, 30, 16, 19, 16};
    const int magnitudes[] = {90, 10, 40, 20, 70};
    for (int i = 0; i < 5; ++i) {
        SelectionRecord r = Rec(i + 1, 42, 0, 0);
        r.typeCode = static_cast<std::int16_t>(types[i]);
        r.magnitude10 = magnitudes[i];
        selectionList.records[selectionList.recordCount++] = r;
    }
    selectionList.categoryFilter = 4;  // galaxies
    EXPECT_EQ(SortSelectionList(1), 3);
    EXPECT_EQ(Numbers(), (std::vector<int>{2, 4, 3, 5, 1}));
    EXPECT_EQ(Index(), (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(selectionListPtr[0]->objectNumber, 3);
}

TEST_F(SelectionListTest, TransitAndAltitudeSortsAgreeWithTheirComparators) {
    FreshList();
    for (int i = 0; i < 40; ++i) {
        SelectionRecord r = Rec(i, 42, 0, 0);
        r.rightAscension = static_cast<float>((i * 7) % 24) + 0.25f;
        r.declination = static_cast<float>((i * 13) % 150) - 70.0f;
        if (i == 5) r.rightAscension = std::numeric_limits<float>::quiet_NaN();
        selectionList.records[selectionList.recordCount++] = r;
    }
    for (const auto& [choice, compare] :
         std::vector<std::pair<int, int (*)(const SelectionRecord&, const SelectionRecord&)>>{
             {3, CompareSelectionByTransit}, {5, CompareSelectionByAltitude}}) {
        SortSelectionList(choice);
        for (int i = 1; i < selectionList.recordCount; ++i)
            EXPECT_LE(compare(Record(i - 1), Record(i)), 0) << choice << " at " << i;
        EXPECT_EQ(Record(39).objectNumber, 5) << choice;  // no place: last
    }
    SortSelectionList(5);
    EXPECT_GE(SelectionAltitudeKey(Record(0)), SelectionAltitudeKey(Record(1)));
}

namespace {

int unreadablePlaces = 0;
int CountedPlace(const CometRecord&, double, int, CometPlace* place) {
    ++unreadablePlaces;
    *place = {1.0, 2.0, 0.5, 1.0, 0.0};
    return 1;
}

}  // namespace

TEST_F(SelectionListTest, EphemerisMovesPlanetsAndCometsAndSkipsUnreadableElements) {
    WriteComets();
    OpenSet();
    FreshList();
    SelectionHooks hooks;
    hooks.computeCometPosition = &CountedPlace;
    hooks.invalidateSelectionProjection = &CountInvalidation;
    SetSelectionHooks(hooks);
    unreadablePlaces = 0;
    invalidations = 0;

    SelectionRecord mars = Rec(4, 45, 1, 4);
    SelectionRecord comet = Rec(0, 12, 0, 0);
    SelectionRecord missing = Rec(7, 12, 0, 0);
    missing.rightAscension = 3.5f;
    SelectionRecord galaxy = Rec(224, 42, 0, 0);
    galaxy.rightAscension = 0.712f;
    for (const SelectionRecord& r : {mars, comet, missing, galaxy})
        selectionList.records[selectionList.recordCount++] = r;
    preferences.word[pref::coordinateMode] = 1;

    UpdateObjectEphemeris(2024, 3, 15, 22, 0, 0);

    preferences.word[pref::coordinateMode] = 2;
    BodyRecord body{};
    ASSERT_EQ(ComputePlanet(&body, 4, 2024, 3, 15, 22, 0, 0), 1);
    const SelectionRecord& m = Record(0);
    EXPECT_FLOAT_EQ(m.rightAscension, static_cast<float>(body.rightAscension));
    EXPECT_FLOAT_EQ(m.declination, static_cast<float>(body.declination));
    EXPECT_FLOAT_EQ(m.distance, static_cast<float>(body.distance));
    EXPECT_EQ(m.magnitude10, static_cast<int>(body.magnitude * 10.0));
    EXPECT_EQ(m.sizeA, static_cast<int>(body.diameter));

    EXPECT_FLOAT_EQ(Record(1).rightAscension, 1.0f);
    EXPECT_EQ(Record(1).magnitude10, 34);  // 5 + 5 log10 0.5 + 10 log10 1 = 3.49
    EXPECT_FLOAT_EQ(Record(2).rightAscension, 3.5f);  // elements not readable: kept
    EXPECT_FLOAT_EQ(Record(3).rightAscension, 0.712f);
    EXPECT_EQ(unreadablePlaces, 1);
    EXPECT_EQ(invalidations, 1);
}

TEST_F(SelectionListTest, EphemerisRestoresTheCoordinateMode) {
    OpenSet();
    FreshList();
    selectionList.records[0] = Rec(3, 45, 1, 3);
    selectionList.recordCount = 1;
    preferences.word[pref::coordinateMode] = 1;
    UpdateObjectEphemeris(2024, 3, 15, 22, 0, 0);
    EXPECT_EQ(preferences.word[pref::coordinateMode], 1);
    EXPECT_NE(Record(0).rightAscension, 0.0f);
}
