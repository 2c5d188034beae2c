// The search of the solar system's bodies that the chart runs on an empty list.
#include <gtest/gtest.h>

#include <cstring>

#include "catalog/selection_list.h"
#include "objects/body_search.h"
#include "objects/objects_services.h"
#include "support/observing_state.h"

namespace {

TEST(BodySearch, ListsTheSunMoonAndPlanetsAndLeavesOtherKindsAlone) {
    SavedObservingState saved;
    UseTestSite(48.2, -16.4, 60);
    SetObservingDateTime(2024, 5, 10, 22, 30, 0);
    ASSERT_EQ(AllocSelectionList(), 1);
    SelectionRecord& stale = selectionList.records[0];
    std::strcpy(stale.label, "NGC 1");
    stale.objectNumber = 1;
    stale.catalogCode = 42;
    selectionList.recordCount = selectionList.indexCount = 1;

    // Kinds not built keep the user's list.
    RunObjectSelection(3, 0, 0);
    EXPECT_EQ(selectionList.recordCount, 1);

    RunObjectSelection(7, kSearchKindBodies, 27);
    ASSERT_EQ(selectionList.recordCount, 10);
    EXPECT_EQ(selectionList.indexCount, 10);
    EXPECT_STREQ(selectionList.records[0].label, "Sun");
    EXPECT_STREQ(selectionList.records[1].label, "Moon");
    EXPECT_STREQ(selectionList.records[9].label, "Pluto");
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(selectionList.records[i].group, kGroupBody);
        EXPECT_EQ(selectionList.records[i].typeCode, 27);
        EXPECT_GE(selectionList.records[i].rightAscension, 0.0f);
        EXPECT_LT(selectionList.records[i].rightAscension, 24.0f);
    }
    FreeSelectionList();
}

}  // namespace
