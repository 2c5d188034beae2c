// The SiderealTech driver against the mount double: resolutions, positions, targets,
// speeds and moves in ticks.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/settings.h"
#include "scope/serial_port.h"
#include "scope/sidereal_tech.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using Commands = std::vector<std::string>;

// X (altitude) and Y (azimuth) resolutions and tick counts.
MountDoubleState Ticks(int xResolution, int yResolution, int x = 0, int y = 0) {
    MountDoubleState s;
    s.altResolution = xResolution;
    s.azResolution = yResolution;
    s.altCount = x;
    s.azCount = y;
    return s;
}

class SiderealTech : public ::testing::Test {
protected:
    MountDouble mount{MountDialect::SiderealTech, Ticks(1000000, 1000000)};
    SerialBench bench{{mount.SlavePath()}};
    void SetUp() override {
        siderealTechState = SiderealTechState{};
        preferences.word[pref::scopeDrive] = 18;
        preferences.word[pref::scopePort] = 1;
    }
    void Connect() {
        ASSERT_EQ(SiderealTechConnect(), 1u);
        ASSERT_TRUE(mount.Settle());
        mount.ClearRecord();
    }
};

const Commands kAskResolutions = {"Q\r", "XXU<E>\r", "XXV<E>\r"};

TEST_F(SiderealTech, TheResolutionsAreAskedWheneverUnknown) {
    mount.SetState(Ticks(4000000, 2000000));
    ASSERT_EQ(SiderealTechConnect(), 1u);
    EXPECT_EQ(mount.Commands(), kAskResolutions);
    EXPECT_EQ(siderealTechState.xResolution, 4000000);
    EXPECT_EQ(siderealTechState.yResolution, 2000000);
    EXPECT_EQ(serialPort.baud, 19200);

    mount.ClearRecord();
    EXPECT_EQ(SiderealTechDisconnect(), 1u);
    EXPECT_EQ(SiderealTechConnect(), 1u);
    EXPECT_TRUE(mount.Commands().empty()) << "known on the held port";

    // An open port on which they were never read: asked, not taken as known.
    siderealTechState = SiderealTechState{};
    EXPECT_EQ(SiderealTechConnect(), 1u);
    EXPECT_EQ(mount.Commands(), kAskResolutions);

    // The port really closed: what the controller said held for that open only.
    mount.ClearRecord();
    ClearSerialAuxFlag();
    EXPECT_EQ(SiderealTechConnect(), 1u);
    EXPECT_EQ(mount.Commands(), kAskResolutions);
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(SiderealTech, AWrongResolutionFailsTheConnect) {
    struct Case {
        MountDoubleState state;
        Commands told;
    };
    const Case cases[] = {
        {Ticks(0, 1000), {"Wrong Al resolution.\nPlease check the SiderealTech configuration.\n0",
                          "Fail to open SiderealTech connection\n"}},
        {Ticks(1000, -5), {"Wrong Az resolution.\nPlease check the SiderealTech configuration.\n-5",
                           "Fail to open SiderealTech connection\n"}},
    };
    for (const Case& c : cases) {
        ClearRecordedReports();
        siderealTechState = SiderealTechState{};
        mount.SetState(c.state);
        EXPECT_EQ(SiderealTechConnect(), 0u);
        EXPECT_EQ(ReportTexts(), c.told);
        EXPECT_EQ(IsSerialOpen(), 0);
    }
}

TEST_F(SiderealTech, PositionsFromTicks) {
    Connect();
    mount.SetState(Ticks(1000000, 1000000, 250000, -250000));
    double az = -1, alt = -1;
    EXPECT_EQ(SiderealTechQueryAltAz(&az, &alt), 1u);
    EXPECT_DOUBLE_EQ(az, 270.0);
    EXPECT_DOUBLE_EQ(alt, 90.0);
    EXPECT_EQ(mount.Commands(), (Commands{"X\r", "Y\r"}));
    mount.SetState(Ticks(1000000, 1000000, -100000, 1250000));
    EXPECT_EQ(SiderealTechQueryEQ(&az, &alt), 1u);
    EXPECT_DOUBLE_EQ(az, 6.0) << "450 degrees brought into the turn, in hours";
    EXPECT_DOUBLE_EQ(alt, -36.0);

    mount.SetAnswer("Y\r", "Y\r");
    EXPECT_EQ(SiderealTechQueryAltAz(&az, &alt), 0u) << "an answer without a number";
    EXPECT_EQ(az, 0.0);
    EXPECT_EQ(alt, 0.0);
}

TEST_F(SiderealTech, GotoInTicksAtTheFastSpeed) {
    Connect();
    EXPECT_EQ(SiderealTechGotoEQ(6.0, 45.0), 1u);
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(mount.Commands(), (Commands{"Y250000S279638\r", "X125000S279638\r"}));
    EXPECT_EQ(mount.State().azCount, 250000);
    EXPECT_EQ(mount.State().altCount, 125000);

    // An alt-azimuth mount aligned by other means goes to the azimuth and altitude: the
    // celestial pole stands due north at the height of the latitude.
    mount.ClearRecord();
    preferences.word[pref::mountType] = 1;
    preferences.word[pref::alignMethod] = 1;
    const float latitude = observerLocation.latitude;
    observerLocation.latitude = 45.0f;
    EXPECT_EQ(SiderealTechGotoEQ(3.0, 90.0), 1u);
    observerLocation.latitude = latitude;
    ASSERT_TRUE(mount.Settle());
    const Commands sent = mount.Commands();
    ASSERT_EQ(sent.size(), 2u);
    long y = -1, x = -1, ySpeed = 0, xSpeed = 0;
    ASSERT_EQ(std::sscanf(sent[0].c_str(), "Y%ldS%ld", &y, &ySpeed), 2);
    ASSERT_EQ(std::sscanf(sent[1].c_str(), "X%ldS%ld", &x, &xSpeed), 2);
    EXPECT_TRUE(y <= 1 || y >= 999999) << "due north: " << y;
    EXPECT_NEAR(x, 125000, 1) << "45 degrees up";
    EXPECT_EQ(ySpeed, 279638);
    EXPECT_EQ(xSpeed, 279638);

    mount.CloseMaster();
    EXPECT_EQ(SiderealTechGotoEQ(6.0, 45.0), 0u);
}

TEST_F(SiderealTech, AnUnknownResolutionRefusesGotosRatesAndQueries) {
    Connect();
    siderealTechState.xResolution = 0;
    double a, b;
    EXPECT_EQ(SiderealTechGotoEQ(6.0, 45.0), 0u);
    EXPECT_EQ(SiderealTechSetRate(0), 0u);
    EXPECT_EQ(SiderealTechQueryAltAz(&a, &b), 0u);
    EXPECT_EQ(ReportTexts(), Commands(3, "Wrong Al resolution.\nPlease check the SiderealTech configuration.\n0"));
    EXPECT_EQ(SiderealTechMove(0), 1u) << "a move needs no resolution";
    ASSERT_TRUE(mount.WaitForCommands(1));
    EXPECT_EQ(mount.Commands(), Commands{"X1073741824\r"});
}

TEST_F(SiderealTech, SpeedsMovesAndStops) {
    Connect();
    struct Case {
        int rate;
        const char* speed;  // ticks per second of a 1000000-tick turn
    };
    const Case cases[] = {{0, "279638"}, {1, "46606"}, {2, "1553"}, {3, "776"}, {7, "93212"}};
    Commands expected;
    for (const Case& c : cases) {
        EXPECT_EQ(SiderealTechSetRate(c.rate), 1u);
        expected.push_back(std::string("XS") + c.speed + "\r");
        expected.push_back(std::string("YS") + c.speed + "\r");
    }
    for (int d = 0; d < 4; ++d) EXPECT_EQ(SiderealTechMove(d), 1u);
    EXPECT_EQ(SiderealTechStopMove(1), 1u);
    EXPECT_EQ(SiderealTechStopAll(), 1u);
    expected.insert(expected.end(), {"X1073741824\r", "X-1073741824\r", "Y1073741824\r", "Y-1073741824\r", "XN\r",
                                     "YN\r", "XN\r", "YN\r"});
    ASSERT_TRUE(mount.WaitForCommands(expected.size()));
    EXPECT_EQ(mount.Commands(), expected);
    mount.CloseMaster();
    EXPECT_EQ(SiderealTechStopAll(), 0u);
}

}  // namespace
