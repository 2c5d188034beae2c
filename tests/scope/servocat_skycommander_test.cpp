// The ServoCat and SkyCommander drivers against the mount double: decimal targets and
// fixed-length position answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings.h"
#include "scope/serial_port.h"
#include "scope/servocat_skycommander.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using Commands = std::vector<std::string>;

MountDoubleState At(double ra, double dec) {
    MountDoubleState s;
    s.ra = s.targetRa = ra;
    s.dec = s.targetDec = dec;
    return s;
}

void UseDrive(int drive) {
    preferences.word[pref::scopeDrive] = drive;
    preferences.word[pref::scopePort] = 1;
}

TEST(ServoCatSkyCommanderFormat, GotoCommands) {
    struct Case {
        bool servoCat;
        double ra, dec;
        const char* command;
    };
    const Case cases[] = {
        {true, 5.0625, -0.5, "g05.062 -00.500"},
        {true, 23.5, 45.25, "g23.500 +45.250"},
        {true, 12.0, 0.0, "g12.000 -00.000"},
        {false, 5.25, 45.5, "L0 05.250 +45.500\n"},
        {false, 12.5, -5.25, "L0 12.500 -05.250\n"},
        {false, 9.9996, -9.9996, "L0 10.000 -10.000\n"},  // the rounding carries into a second digit
    };
    for (const Case& c : cases) {
        char text[48];
        if (c.servoCat) FormatServoCatTarget(text, sizeof text, c.ra, c.dec);
        else FormatSkyCommanderTarget(text, sizeof text, c.ra, c.dec);
        EXPECT_STREQ(text, c.command);
    }
}

TEST(ServoCat, GotoAndPositionOverTheLine) {
    MountDouble mount(MountDialect::ServoCat, At(1.0, 2.0));
    SerialBench bench({mount.SlavePath()});
    UseDrive(13);
    ASSERT_EQ(ServoCatConnect(), 1u);
    EXPECT_EQ(serialPort.baud, 9600);
    EXPECT_TRUE(mount.Received().empty()) << "the connect only opens the port";
    EXPECT_EQ(ServoCatGotoEQ(5.0625, -0.5), 1u);
    double ra = -1, dec = -1;
    EXPECT_EQ(ServoCatQueryEQ(&ra, &dec), 1u);
    EXPECT_NEAR(ra, 5.062, 1e-12);
    EXPECT_NEAR(dec, -0.5, 1e-12);
    EXPECT_EQ(mount.Commands(), (Commands{"g05.062 -00.500", "\r"}));

    const char* refused[] = {"05.062 -00.50", "05.0x2 -00.500", "05.062 -------"};
    for (const char* answer : refused) {
        mount.SetAnswer("\r", answer);
        EXPECT_EQ(ServoCatQueryEQ(&ra, &dec), 0u) << answer;
    }
    EXPECT_EQ(ServoCatDisconnect(), 1u);
    mount.CloseMaster();
    EXPECT_EQ(ServoCatGotoEQ(5.0625, -0.5), 0u);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to send string\ng05.062 -00.500"});
}

TEST(SkyCommander, GotoNeedsItsAcknowledgement) {
    MountDouble mount(MountDialect::SkyCommander, At(1.0, 2.0));
    SerialBench bench({mount.SlavePath()});
    UseDrive(19);
    ASSERT_EQ(SkyCommanderConnect(), 1u);
    EXPECT_EQ(SkyCommanderGotoEQ(5.25, 45.5), 1u);
    double ra = -1, dec = -1;
    EXPECT_EQ(SkyCommanderQueryEQ(&ra, &dec), 1u);
    EXPECT_NEAR(ra, 5.25, 1e-12);
    EXPECT_NEAR(dec, 45.5, 1e-12);
    EXPECT_EQ(mount.Commands(), (Commands{"L0 05.250 +45.500\n", "\r"}));
    EXPECT_TRUE(RecordedReports().empty());

    mount.SetAnswer("L0 05.250 +45.500\n", "N");
    EXPECT_EQ(SkyCommanderGotoEQ(5.25, 45.5), 0u);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to get SkyCommander ack for ra & dec set.\n"});

    const char* refused[] = {"05.2500 +45.500", "05.2500 abc\r\r\r\r\r", "0x.2500 +45.500\r"};
    for (const char* answer : refused) {
        mount.SetAnswer("\r", answer);
        EXPECT_EQ(SkyCommanderQueryEQ(&ra, &dec), 0u) << answer;
    }
    mount.CloseMaster();
    EXPECT_EQ(SkyCommanderQueryEQ(&ra, &dec), 0u);
    EXPECT_EQ(IsSerialOpen(), 0) << "a failed query closes the port";
}

}  // namespace
