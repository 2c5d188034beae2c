// The selection reaches the chart and the device's date order through the hooks the
// program installs at start.
#include <gtest/gtest.h>

#include <string>

#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "chart/chart_services.h"
#include "shell/utilities.h"

TEST(SelectionComposition, TheListAndTheSelectionTalkToTheChart) {
    selectionProjected = 1;
    ASSERT_EQ(AllocSelectionList(), 1);
    EXPECT_EQ(selectionProjected, 0);

    ObjectRef sirius;
    sirius.catalog = 54;
    sirius.number = 12;
    SetObjectSelection(&sirius, 0);
    const int before = chartObjectRequest.count;
    EXPECT_EQ(LocateSelectionInList(), 1);
    EXPECT_EQ(chartObjectRequest.count, before + 1);
    EXPECT_EQ(chartObjectRequest.number, 12);
    EXPECT_EQ(chartObjectRequest.position, 11);  // the finder position of the bright stars
    FreeSelectionList();
    ClearObjectSelection();
}

TEST(SelectionComposition, MeteorShowerLabelsFollowTheDeviceDateOrder) {
    char label[kObjectTextSize];
    ObjectRef shower;
    ASSERT_EQ(BuildObjectDescription(41, 40, &shower, label, nullptr, 0, nullptr), 1);  // Perseids, 12 August
    char expected[40];
    FormatDate(expected, 12, 8, 2000);
    EXPECT_EQ(std::string(label), std::string(expected, 5));
}
