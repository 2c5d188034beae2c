// The driver rows of the NexStar, Takahashi, SiderealTech, ServoCat and SkyCommander
// families: the dispatcher reaches each mount over the line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings.h"
#include "scope/mount_dispatcher.h"
#include "scope/nexstar.h"
#include "scope/serial_port.h"
#include "scope/sidereal_tech.h"
#include "scope/takahashi.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

MountDoubleState At(double ra, double dec) {
    MountDoubleState s;
    s.ra = s.targetRa = ra;
    s.dec = s.targetDec = dec;
    return s;
}

void ForgetWhatDriversLearnt() {
    nexStarProbed = LearntOnPort{};
    takahashiState = TakahashiState{};
    zenithAnswer = -1;
    siderealTechState = SiderealTechState{};
}

TEST(MountRows, EachFamilyReadsItsMountThroughTheDispatcher) {
    MountDoubleState ticks;
    ticks.altResolution = ticks.azResolution = 1000000;
    ticks.altCount = 125000;  // X: Dec 45
    ticks.azCount = 250000;   // Y: RA 6 h
    struct Case {
        int drive;
        MountDialect dialect;
        MountDoubleState state;
        double ra, dec;
    };
    const Case cases[] = {
        {10, MountDialect::NexStar, At(12.0, -45.0), 12.0, -45.0},
        {8, MountDialect::NexStarBinary, At(6.0, 45.0), 6.0, 45.0},
        {13, MountDialect::ServoCat, At(5.062, -0.5), 5.062, -0.5},
        {14, MountDialect::Takahashi, At(5.5, -33.5), 5.5, -33.5},
        {18, MountDialect::SiderealTech, ticks, 6.0, 45.0},
        {19, MountDialect::SkyCommander, At(5.25, 45.5), 5.25, 45.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.drive);
        MountDouble mount(c.dialect, c.state);
        SerialBench bench({mount.SlavePath()});
        ForgetWhatDriversLearnt();
        preferences.word[pref::scopeDrive] = c.drive;
        preferences.word[pref::scopePort] = 1;
        double ra = -1, dec = -1;
        EXPECT_EQ(ScopeReadPositionOnce(&ra, &dec), 1u);
        EXPECT_NEAR(ra, c.ra, 1e-9);
        EXPECT_NEAR(dec, c.dec, 1e-9);
        EXPECT_FALSE(mount.Commands().empty());
        ForgetWhatDriversLearnt();
    }
}

TEST(MountRows, SyncAndMovesReachTheirMounts) {
    MountDouble mount(MountDialect::Takahashi, At(1.0, 2.0));
    SerialBench bench({mount.SlavePath()});
    ForgetWhatDriversLearnt();
    preferences.word[pref::scopeDrive] = 14;
    preferences.word[pref::scopePort] = 1;
    EXPECT_EQ(ScopeSync(5.5, -33.5), 1u);
    EXPECT_EQ(mount.State().ra, 5.5);
    EXPECT_EQ(mount.State().dec, -33.5);
    ScopeSetRate(3);
    ScopeStartMove(0);
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(mount.Commands().back(), "MH\r\n");
    ForgetWhatDriversLearnt();
}

}  // namespace
