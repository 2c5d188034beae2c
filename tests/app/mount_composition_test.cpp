// The chart and the encoder boxes reach the mount dispatcher through the links the program
// installs at start.
#include <gtest/gtest.h>

#include <cstring>

#include "chart/chart_links.h"
#include "chart/chart_state.h"
#include "core/settings.h"
#include "scope/encoder_boxes.h"
#include "scope/mount_dispatcher.h"
#include "scope/nstar_table.h"
#include "scope/saved_alignment.h"
#include "scope/serial_port.h"

TEST(MountComposition, TheChartsRateAndTheBoxesGotoReachTheDispatcher) {
    const Preferences saved = preferences;
    const int emulation = telescopeEmulation;
    telescopeEmulation = 1;
    preferences.word[pref::scopeDrive] = 3;  // a box: the emulated mount's rate
    encoderState.rate = 0.0;
    ChartScopeSetRate(1);
    EXPECT_EQ(encoderState.rate, 0.5);

    scopeInUse = 0;
    EXPECT_EQ(EncoderGotoEQ(6.0, 20.0), 1u);
    EXPECT_EQ(scopeInUse, 1u);
    telescopeEmulation = emulation;
    preferences = saved;
}

// "Improve Pointing" hands the chart's current object to the N-star table.
TEST(MountComposition, TheChartsImprovePointingAddsItsObjectToTheNStarTable) {
    const Preferences saved = preferences;
    const bool allocated = alignmentStars != nullptr;
    ASSERT_TRUE(allocated || AllocAlignmentStars());
    preferences.word[pref::scopeDrive] = 0;
    preferences.word[pref::alignMethod] = 1;  // External: no two-star model needed
    nStarCount = 0;
    ChartView saveView{};
    GetChartView(&saveView);
    ChartView view{};
    view.catalog = 54;
    view.type = 30;
    view.number = 12;
    view.ra = 5.9195f;
    view.dec = 7.407f;
    std::strcpy(view.name, "Betelgeuse");
    SetChartView(&view);
    ChartAddObjectAsAlignStar();
    ASSERT_EQ(nStarCount, 1);
    AlignStar held;
    ASSERT_TRUE(ReadNStarRecord(0, &held));
    EXPECT_STREQ(held.name, "Betelgeus");  // the table keeps nine characters
    EXPECT_EQ(held.catalogCode, 54);
    nStarCount = 0;
    SetChartView(&saveView);
    if (!allocated) FreeAlignmentStars();
    preferences = saved;
}
