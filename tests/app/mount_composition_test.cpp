// The chart and the encoder boxes reach the mount dispatcher through the links the program
// installs at start.
#include <gtest/gtest.h>

#include "chart/chart_links.h"
#include "core/settings.h"
#include "scope/encoder_boxes.h"
#include "scope/mount_dispatcher.h"
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
