#include "core/observing_time.h"

#include <gtest/gtest.h>

namespace {

int hookCalls = 0;

TEST(ObservingTime, SettingTheTimeCopiesTheDateToTheCriteria) {
    SetObservingDateTime(2025, 3, 30, 1, 59, 58);
    EXPECT_EQ(observingDateTime.year, 2025);
    EXPECT_EQ(observingDateTime.second, 58);
    EXPECT_EQ(selectionCriteria.year, 2025);
    EXPECT_EQ(selectionCriteria.month, 3);
    EXPECT_EQ(selectionCriteria.day, 30);
    EXPECT_EQ(selectionCriteria.hour, 1);
    EXPECT_EQ(selectionCriteria.minute, 59);
    observingDateTime = {};
    selectionCriteria = {};
}

TEST(ObservingTime, AChangeReachesTheInstalledHookOnly) {
    hookCalls = 0;
    ObservingTimeChanged();  // none installed: nothing happens
    SetObservingTimeChangedHook([] { ++hookCalls; });
    ObservingTimeChanged();
    SetObservingDateTime(2025, 1, 1, 0, 0, 0);  // setting alone is not a user's change
    EXPECT_EQ(hookCalls, 1);
    SetObservingTimeChangedHook(nullptr);
    ObservingTimeChanged();
    EXPECT_EQ(hookCalls, 1);
    observingDateTime = {};
    selectionCriteria = {};
}

}  // namespace
