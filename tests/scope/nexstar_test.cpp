// The NexStar family driver against the mount double: probes, position answers, target
// frames in text and binary, the carriage returns of code 15, moves and stops per code.
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/settings.h"
#include "scope/nexstar.h"
#include "scope/serial_port.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using Commands = std::vector<std::string>;

std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

MountDialect DialectOf(int drive) {
    if (drive == 8) return MountDialect::NexStarBinary;
    if (drive == 15) return MountDialect::NexStarCr;
    return MountDialect::NexStar;
}

// A mount of the drive's dialect on port list position 1, with a fresh driver.
struct Rig {
    MountDouble mount;
    SerialBench bench;
    explicit Rig(int drive) : mount(DialectOf(drive)), bench({mount.SlavePath()}) {
        nexStarRate = 9;
        nexStarProbed = LearntOnPort{};
        preferences.word[pref::scopeDrive] = drive;
        preferences.word[pref::scopePort] = 1;
    }
    void Connect() {
        ASSERT_EQ(NexStarConnect(), 1u);
        ASSERT_TRUE(mount.Settle());
        mount.ClearRecord();
    }
};

TEST(NexStar, TheConnectProbeOfEachCode) {
    struct Case {
        int drive;
        std::function<void(MountDouble&)> script;
        std::uint32_t connected;
        Commands commands;
    };
    const Case cases[] = {
        {8, [](MountDouble&) {}, 1, {"?"}},
        {8, [](MountDouble& m) { m.SetAnswer("?", "X"); }, 0, {"?"}},
        {9, [](MountDouble& m) { m.SetAnswer("Kx", "X"); }, 1, {"Kx"}},
        {10, [](MountDouble&) {}, 1, {"Kx"}},
        {20, [](MountDouble& m) { m.Script(MountScript::Silent); }, 0, {"Kx"}},
        {15, [](MountDouble&) {}, 1, {"Kx", "\r"}},
        {15, [](MountDouble& m) { m.SetAnswer("Kx", "x"); }, 0, {"Kx", "\r"}},  // two bytes or nothing
        {15, [](MountDouble& m) { m.SetAnswer("Kx", "X#"); }, 0, {"Kx", "\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.drive << " " << c.connected);
        Rig rig(c.drive);
        c.script(rig.mount);
        EXPECT_EQ(NexStarConnect(), c.connected);
        EXPECT_EQ(rig.mount.Commands(), c.commands);
        EXPECT_EQ(IsSerialOpen(), static_cast<int>(c.connected)) << "a failed probe really closes the port";
        EXPECT_EQ(ReportTexts(), c.connected ? Commands{} : Commands{"Fail to open Nexstar connection\n"});
    }
}

TEST(NexStar, TheHeldPortIsProbedAgainOnlyForAnotherCodeOrOpen) {
    Rig rig(10);
    rig.Connect();
    EXPECT_EQ(NexStarDisconnect(), 1u);
    EXPECT_EQ(NexStarConnect(), 1u);
    EXPECT_TRUE(rig.mount.Commands().empty());
    preferences.word[pref::scopeDrive] = 20;
    EXPECT_EQ(NexStarConnect(), 1u);
    EXPECT_EQ(rig.mount.Commands(), Commands{"Kx"});
    preferences.word[pref::scopePort] = 7;  // past the list
    EXPECT_EQ(NexStarConnect(), 0u);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to open serial connection\n"});
}

TEST(NexStar, PositionAnswersAreDecodedOrRefused) {
    struct Case {
        const char* answer;  // to "E"; null: the double's own, silence when empty
        std::uint32_t ok;
        double ra, dec;
    };
    const Case cases[] = {
        {"8000,4000#", 1, 12.0, 90.0},
        {"0000,C000#", 1, 0.0, -90.0},
        {"0000,A000#", 1, 0.0, -45.0},   // 225 degrees folded back over the pole
        {"4000,6000#", 1, 6.0, 45.0},    // 135 degrees: past the pole
        {"c000,e000#", 1, 18.0, -45.0},  // lower-case digits
        {"0000,0000#", 1, 0.0, 0.0},
        {"80G0,4000#", 0, 0, 0},         // noise: not a position
        {"8000;4000#", 0, 0, 0},
        {"8000,4000", 0, 0, 0},          // short
        {"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        Rig rig(10);
        rig.Connect();
        rig.mount.SetAnswer("E", c.answer);
        double ra = -1, dec = -1;
        EXPECT_EQ(NexStarQueryEQ(&ra, &dec), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(ra, c.ra);
            EXPECT_DOUBLE_EQ(dec, c.dec);
        }
        EXPECT_EQ(rig.mount.Commands(), Commands{"E"});
    }
}

TEST(NexStar, TargetFramesOfTheTextCodes) {
    struct Case {
        int drive;
        bool sync;
        double ra, dec;
        Commands commands;
    };
    const Case cases[] = {
        {10, false, 12.0, -45.0, {"R8000,E000"}},
        {20, false, 6.0, -90.0, {"R4000,C000"}},  // -90 goes as 270 degrees
        {9, false, 18.0, 0.0, {"RC000,0000"}},
        {10, false, 24.0, 90.0, {"R0000,4000"}},  // a full turn is 0, not 10000
        {15, false, 12.0, -45.0, {"R8000,E000", "\r"}},
        {10, true, 12.0, 45.0, {"S8000,2000"}},
        {20, true, 3.0, -45.0, {"S2000,E000"}},
        {15, true, 12.0, -45.0, {"F8000,E000", "\r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commands[0]);
        Rig rig(c.drive);
        rig.Connect();
        EXPECT_EQ(c.sync ? NexStarSyncEQ(c.ra, c.dec) : NexStarGotoEQ(c.ra, c.dec), 1u);
        EXPECT_EQ(rig.mount.Commands(), c.commands);
        double ra = -1, dec = -1;
        ASSERT_EQ(NexStarQueryEQ(&ra, &dec), 1u) << "no rest of the answer in the way";
        EXPECT_NEAR(ra, c.ra == 24.0 ? 0.0 : c.ra, 1e-9);
        EXPECT_NEAR(dec, c.dec, 1e-9);
    }
    Rig rig(10);
    rig.Connect();
    rig.mount.Script(MountScript::Silent);
    EXPECT_EQ(NexStarSyncEQ(1.0, 1.0), 0u) << "an unacknowledged sync";
    EXPECT_EQ(NexStarGotoEQ(1.0, 1.0), 1u) << "the GoTo does not look at its answer";
    rig.mount.CloseMaster();
    EXPECT_EQ(NexStarGotoEQ(1.0, 1.0), 0u) << "a failed write";
}

TEST(NexStar, TheBinaryDialectOfCode8) {
    Rig rig(8);
    rig.Connect();
    // Counts whose bytes are CR, LF and NUL must pass the line untouched both ways.
    const double ra = (0x0D0A + 0.5) * 360.0 / 65536.0 / 15.0;
    const double dec = 0x0A00 * 360.0 / 65536.0;
    EXPECT_EQ(NexStarGotoEQ(ra, dec), 1u);
    ASSERT_TRUE(rig.mount.Settle());
    EXPECT_EQ(rig.mount.Received(), Bytes({'?', 'R', 0x0D, 0x0A, 0x0A, 0x00}));
    EXPECT_EQ(NexStarSyncEQ(ra, -dec), 1u) << "its sync is the GoTo frame";
    ASSERT_TRUE(rig.mount.WaitForReceived(12));
    EXPECT_EQ(rig.mount.Received().substr(6), Bytes({'?', 'R', 0x0D, 0x0A, 0xF6, 0x00}));

    rig.mount.ClearRecord();
    rig.mount.SetAnswer("E", Bytes({0x0D, 0x0A, 0xC0, 0x00}));
    double r = -1, d = -1;
    EXPECT_EQ(NexStarQueryEQ(&r, &d), 1u);
    EXPECT_DOUBLE_EQ(r, 0x0D0A * 360.0 / 65536.0 / 15.0);
    EXPECT_DOUBLE_EQ(d, -90.0);
    EXPECT_EQ(rig.mount.Commands(), (Commands{"?", "E"}));
    rig.mount.SetAnswer("E", Bytes({0x0D, 0x0A, 0xC0}));
    EXPECT_EQ(NexStarQueryEQ(&r, &d), 0u) << "three bytes are no position";

    // Without the "?" exchange the frame's bytes were never worked out: nothing goes.
    rig.mount.ClearRecord();
    rig.mount.Script(MountScript::Silent);
    EXPECT_EQ(NexStarGotoEQ(ra, dec), 0u);
    EXPECT_EQ(NexStarSyncEQ(ra, dec), 0u);
    ASSERT_TRUE(rig.mount.Settle());
    EXPECT_EQ(rig.mount.Received(), "??");
}

TEST(NexStar, MovesAndStopsOfEachCode) {
    using Op = std::function<std::uint32_t()>;
    const auto move = [](int d) { return Op([d] { return NexStarMove(d); }); };
    const auto stop = [](int d) { return Op([d] { return NexStarStopMove(d); }); };
    const auto rate = [](int r, int d) { return Op([r, d] { NexStarSetRate(r); return NexStarMove(d); }); };
    const Op all = [] { return NexStarStopAll(); };
    struct Case {
        int drive;
        Op op;
        std::string bytes;
    };
    const Case cases[] = {
        {10, rate(3, 0), Bytes({'P', 2, 0x11, 0x24, 2, 0, 0, 0})},
        {10, move(1), Bytes({'P', 2, 0x11, 0x25, 9, 0, 0, 0})},
        {20, rate(1, 2), Bytes({'P', 2, 0x10, 0x25, 7, 0, 0, 0})},
        {20, rate(2, 3), Bytes({'P', 2, 0x10, 0x24, 4, 0, 0, 0})},
        {10, stop(1), Bytes({'P', 2, 0x11, 0x24, 0, 0, 0, 0})},
        {20, stop(3), Bytes({'P', 2, 0x10, 0x24, 0, 0, 0, 0})},
        {10, all, "M"},
        {15, all, "M\r"},
        {15, move(0), ""},
        {15, stop(0), ""},
        {8, move(0), ""},
        {8, all, ""},
        // The old GT: a 24-bit rate of rate byte x 100000 / 9.
        {9, rate(0, 0), Bytes({6, 0, 0, 0, 0x1A, 0x01, 0x86, 0xA0})},   // 100000
        {9, rate(1, 1), Bytes({6, 0, 0, 0, 0x1B, 0x01, 0x2F, 0xD1})},   // 77777
        {9, rate(2, 2), Bytes({7, 0x00, 0xAD, 0x9C, 0x1A, 0, 0, 0})},   // 44444
        {9, rate(3, 3), Bytes({6, 0x00, 0x56, 0xCE, 0x1A, 0, 0, 0})},   // 22222
        {9, stop(2), Bytes({6, 0, 0, 0, 0x1A, 0, 0, 0})},
        {9, all, Bytes({5, 25})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.drive << " bytes " << testing::PrintToString(c.bytes));
        Rig rig(c.drive);
        rig.Connect();
        EXPECT_EQ(c.op(), 1u);
        ASSERT_TRUE(rig.mount.Settle());
        EXPECT_EQ(rig.mount.Received(), c.bytes);
        EXPECT_TRUE(RecordedReports().empty());
    }
}

TEST(NexStar, MissingAcknowledgementsAreToldExceptByCode20AndFailTheStops) {
    for (int drive : {10, 15, 20}) {
        SCOPED_TRACE(drive);
        Rig rig(drive);
        rig.Connect();
        rig.mount.Script(MountScript::Silent);
        EXPECT_EQ(NexStarMove(0), 1u);
        // A stop the mount did not take is not a stop: the checked stop sends another.
        EXPECT_EQ(NexStarStopMove(0), drive == 15 ? 1u : 0u) << "code 15 has no stop frame";
        EXPECT_EQ(NexStarStopAll(), 0u);
        const Commands told = drive == 20 ? Commands{}
                              : drive == 15 ? Commands{"No acknowledgement from telescope in Stop Goto.\n"}
                                            : Commands{"No acknowledgement from telescope in StopSlew.\n",
                                                       "No acknowledgement from telescope in StopSlew.\n",
                                                       "No acknowledgement from telescope in Stop Goto.\n"};
        EXPECT_EQ(ReportTexts(), told);
        rig.mount.CloseMaster();
        EXPECT_EQ(NexStarStopAll(), 0u) << "a failed write";
    }
}

}  // namespace
