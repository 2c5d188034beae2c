// The global selection and the current object, the catalog positions of the object forms,
// and the distance text.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/object_selection.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "core/settings.h"

namespace {

ObjectRef Ref(std::uint32_t catalog, std::uint32_t number, const char* name) {
    ObjectRef r;
    r.catalog = catalog;
    r.number = number;
    SetObjectRefName(&r, name);
    return r;
}

class ObjectSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        objectSelection = ObjectSelection{};
        currentObject = CurrentObject{};
        finderEntry = FinderEntry{};
    }
    void TearDown() override {
        objectSelection = ObjectSelection{};
        preferences.distanceUnit = 0;
        SetSelectionHooks(SelectionHooks{});
        FreeSelectionList();
    }
};

}  // namespace

TEST_F(ObjectSelectionTest, DisplayNameFollowsTheCatalogRule) {
    struct Case {
        std::uint32_t catalog;
        const char* name;
        const char* expected;
    } cases[] = {
        {63, "", ""},                 // a user object brings its name, even an empty one
        {40, "", "Previous"},         // other catalogs keep the name shown before
        {40, "Crab", "Crab"},
        {63, "My galaxy", "My galaxy"},
    };
    for (const Case& c : cases) {
        std::strcpy(objectSelection.displayName, "Previous");
        const ObjectRef r = Ref(c.catalog, 1, c.name);
        SetObjectSelection(&r, 7);
        char name[kSelectionNameSize];
        GetSelectedName(name);
        EXPECT_STREQ(name, c.expected) << c.catalog << " '" << c.name << "'";
        EXPECT_EQ(IsObjectSelected(), 1);
        EXPECT_EQ(GetSelectionKind(), kSelectionKindObject);
    }
    SetObjectSelection(nullptr, 3);
    EXPECT_EQ(objectSelection.subIndex, 7u);
}

TEST_F(ObjectSelectionTest, ClearKeepsTheObjectForGetSelectedObject) {
    const ObjectRef r = Ref(42, 224, "M31");
    SetObjectSelection(&r, 30);
    objectSelection.kind = 5;
    std::strcpy(finderEntry.designation, "NGC22");
    finderEntry.numberEntered = 1;
    ClearObjectSelection();
    objectSelection.kind = kSelectionKindObject;

    EXPECT_EQ(IsObjectSelected(), 0);
    EXPECT_EQ(objectSelection.displayName[0], '\0');
    EXPECT_EQ(finderEntry.designation[0], '\0');
    EXPECT_EQ(finderEntry.numberEntered, 0);
    ObjectRef out;
    std::uint32_t sub = 0;
    EXPECT_EQ(GetSelectedObject(&out, &sub), 10);
    EXPECT_EQ(out.number, 224u);
    EXPECT_EQ(sub, 30u);
    EXPECT_EQ(GetSelectedObject(nullptr, &sub), -1);
}

TEST_F(ObjectSelectionTest, SetObjectRefNameKeepsNineteenCharacters) {
    ObjectRef r;
    std::memset(r.name, 'x', sizeof r.name);
    SetObjectRefName(&r, "Twenty-one characters");
    EXPECT_STREQ(r.name, "Twenty-one characte");
    EXPECT_EQ(r.name[19], '\0');
    SetObjectRefName(&r, "M1");
    EXPECT_EQ(r.name[2], '\0');
    EXPECT_EQ(r.name[18], '\0');
}

TEST_F(ObjectSelectionTest, CurrentObjectTakesItsFormPositionFromTheSource) {
    struct Case {
        int source;
        int position;
    } cases[] = {{1, 7}, {2, 5}, {3, 1}, {7, 4}, {9, 8}, {12, 2}, {13, 3}, {14, 6}, {15, 9}, {99, 99}};
    for (const Case& c : cases) {
        const ObjectRef r = Ref(42, 40, "");
        currentObject.changed = 0;
        SetCurrentObjectRecord(&r, c.source);
        EXPECT_EQ(currentObject.listPosition, c.position) << c.source;
        EXPECT_EQ(currentObject.number, 40u);
        EXPECT_EQ(currentObject.changed, 1);
    }
}

TEST_F(ObjectSelectionTest, SourceElevenMakesABrightStarCurrentAndAnythingElseSelected) {
    currentObject.listPosition = 6;
    const ObjectRef star = Ref(54, 12, "Sirius");
    SetCurrentObjectRecord(&star, 11);
    EXPECT_EQ(currentObject.listPosition, 0);
    EXPECT_EQ(currentObject.number, 11u);
    EXPECT_EQ(currentObject.workingNumber, 12u);
    EXPECT_EQ(IsObjectSelected(), 0);

    const ObjectRef galaxy = Ref(42, 224, "M31");
    SetCurrentObjectRecord(&galaxy, 11);
    EXPECT_EQ(currentObject.listPosition, 0);  // left as it was
    EXPECT_EQ(IsObjectSelected(), 1);
    EXPECT_EQ(objectSelection.subIndex, 224u);
}

TEST_F(ObjectSelectionTest, CatalogPositionsOfListAndFinder) {
    struct Case {
        std::uint32_t catalog;
        int list;
        int finder;
    } cases[] = {{54, 0, 11}, {9, 1, 3},  {12, 2, 12}, {13, 3, 13}, {25, 4, 7},  {40, 5, 2},
                 {41, 6, 14}, {45, 7, 1}, {49, 8, 9},   {63, 9, 15},  {42, 10, 99}, {0, 10, 99}};
    for (const Case& c : cases) {
        const ObjectRef r = Ref(c.catalog, 1, "");
        EXPECT_EQ(CatalogToListIndex(r), c.list) << c.catalog;
        EXPECT_EQ(CatalogToFinderIndex(r), c.finder) << c.catalog;
    }
}

TEST_F(ObjectSelectionTest, SelectionRecordToInfoFillsTheRecordFieldsOnly) {
    SelectionRecord s{};
    s.catalogCode = 40;
    s.objectIndex = 30;
    s.typeCode = 16;
    s.constellation = 1;
    s.rightAscension = 0.712f;
    s.declination = 41.27f;
    s.magnitude10 = -14;
    s.sizeA = 189;
    s.sizeB = 61;
    s.flagValue = -5;
    s.morphology = -2;
    ObjectRef o = Ref(1, 1, "Kept");
    o.distance = 777.0f;
    SelectionRecordToInfo(&o, &s);
    EXPECT_EQ(o.catalog, 40u);
    EXPECT_EQ(o.number, 31u);
    EXPECT_FLOAT_EQ(o.magnitude, -1.4f);
    EXPECT_FLOAT_EQ(o.sizeB, 61.0f);
    EXPECT_EQ(o.flag, -5);
    EXPECT_EQ(o.morphology, -2);
    EXPECT_FLOAT_EQ(o.distance, 777.0f);
    EXPECT_STREQ(o.name, "Kept");
}

TEST_F(ObjectSelectionTest, DistanceText) {
    struct Case {
        int type;
        float value;
        int lightYears;
        const char* expected;
    } cases[] = {
        {13, 0.005f, 0, "747990 km"},
        {13, 1.5f, 0, "1.5000 AU"},
        {27, 0.01f, 0, "1495980 km"},
        {16, 1000.0f, 0, "14 kpc"},
        {16, 1000.0f, 1, "46 kly"},
        {16, -1000.0f, 0, "14 kpc"},
        {16, 0.5f, 0, "7 pc"},
        {16, 1.0e6f, 0, "14 mpc"},
        {14, 1000.0f, 0, "-"},
        {30, 1000.0f, 0, "-"},
        {37, 1000.0f, 0, "-"},
        {16, 0.0f, 0, "-"},
        {16, 3.0e38f, 0, "2147483647 mpc"},  // saturates instead of overflowing
    };
    for (const Case& c : cases) {
        ObjectRef r;
        r.type = c.type;
        r.distance = c.value;
        preferences.distanceUnit = static_cast<std::int16_t>(c.lightYears);
        char text[kDistanceTextSize];
        FormatDistance(r, text);
        EXPECT_STREQ(text, c.expected) << c.type << " " << c.value;
    }
}

namespace {
int chartCalls = 0;
int chartPosition = 0;
int RecordChart(const ObjectRef&, int position) {
    ++chartCalls;
    chartPosition = position;
    return 3;
}
}  // namespace

TEST_F(ObjectSelectionTest, LocateSelectionInListHandsTheObjectToTheChartAndFindsItsEntry) {
    SelectionHooks hooks;
    hooks.selectChartObject = &RecordChart;
    SetSelectionHooks(hooks);
    ASSERT_EQ(AllocSelectionList(), 1);
    for (int i = 0; i < 3; ++i) {
        ObjectRef r = Ref(42, static_cast<std::uint32_t>(100 + i), "");
        r.type = i == 1 ? 30 : 16;
        ASSERT_EQ(AddObjectToSelection(0, 0, selectionList.records, r), 1);
        selectionList.indexCount = i + 1;
    }
    selectionList.recordCount = 3;
    selectionList.indexCount = FilterSelectionByType(4, selectionList.records, 3);  // galaxies: records 0, 2

    const ObjectRef wanted = Ref(42, 102, "");
    SetObjectSelection(&wanted, 0);
    EXPECT_EQ(LocateSelectionInList(), 1);
    EXPECT_EQ(chartCalls, 1);
    EXPECT_EQ(chartPosition, -1);
    EXPECT_EQ(selectionList.currentPosition, 1);

    const ObjectRef hidden = Ref(42, 101, "");
    SetObjectSelection(&hidden, 0);
    LocateSelectionInList();
    EXPECT_EQ(selectionList.currentPosition, -1);
    FilterSelectionByType(0, selectionList.records, 3);
}
