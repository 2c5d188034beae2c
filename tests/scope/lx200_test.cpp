// The LX200 family driver against the mount double, and its emulated mount.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/settings.h"
#include "scope/lx200.h"
#include "scope/serial_port.h"
#include "serial_equipment.h"
#include "support/recorded_reports.h"

namespace {

using Commands = std::vector<std::string>;

MountDoubleState At(double ra, double dec, bool high = true) {
    MountDoubleState s;
    s.ra = s.targetRa = ra;
    s.dec = s.targetDec = dec;
    s.highPrecision = high;
    return s;
}

// A fresh driver for `drive` on port list position 1.
void UseDrive(int drive) {
    meadeState = MeadeState{};
    preferences.word[pref::scopeDrive] = drive;
    preferences.word[pref::scopePort] = 1;
}

class Lx200 : public ::testing::Test {
protected:
    MountDouble mount{MountDialect::Lx200, At(5.5, -30.25)};
    SerialBench bench{{mount.SlavePath()}};
    void SetUp() override { UseDrive(5); }
    void Connect() {
        ASSERT_EQ(MeadeConnect(), 1u);
        mount.ClearRecord();
    }
};

TEST_F(Lx200, TheConnectProbeAndWhatItsAnswerSwitches) {
    struct Case {
        const char* what;
        int drive;
        std::function<void(MountDouble&)> script;
        std::uint32_t connected;
        std::uint32_t highPrecision;
        Commands commands;
    };
    const Case cases[] = {
        {"10 bytes", 5, [](MountDouble&) {}, 1, 1, {":GD#"}},
        {"7 bytes", 2, [](MountDouble& m) { m.SetState(At(0, 12.5, false)); }, 1, 0, {":GD#"}},
        {"6 bytes", 17, [](MountDouble& m) { m.SetAnswer(":GD#", "+12\xDF" "34"); }, 1, 0, {":GD#"}},
        {"9 bytes", 5, [](MountDouble& m) { m.SetAnswer(":GD#", "+12\xDF" "34:5"); }, 1, 0, {":GD#"}},
        {"5 bytes", 5, [](MountDouble& m) { m.Script(MountScript::Short, 5); }, 0, 0, {":GD#"}},
        {"silence", 5, [](MountDouble& m) { m.Script(MountScript::Silent); }, 0, 0, {":GD#"}},
        {"Magellan", 6, [](MountDouble&) {}, 1, 0, {":GC#"}},
        {"Magellan short", 7, [](MountDouble& m) { m.Script(MountScript::Short, 8); }, 0, 0, {":GC#"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MountDouble m(MountDialect::Lx200, At(5.5, -30.25));
        SerialBench b({m.SlavePath()});
        UseDrive(c.drive);
        c.script(m);
        EXPECT_EQ(MeadeConnect(), c.connected);
        EXPECT_EQ(meadeState.highPrecision, c.highPrecision);
        EXPECT_EQ(m.Commands(), c.commands);
        EXPECT_EQ(m.Received().substr(0, 1), "#") << "the leading '#' clears the mount's input";
        EXPECT_EQ(IsSerialOpen(), c.connected) << "a failed probe really closes the port";
        EXPECT_EQ(ReportTexts(), c.connected ? Commands{} : Commands{"Fail to open Meade connection\n"});
    }
}

TEST_F(Lx200, ConnectWithoutAPortSaysSo) {
    preferences.word[pref::scopePort] = 5;  // past the list
    EXPECT_EQ(MeadeConnect(), 0u);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to open serial connection\n"});
    telescopeEmulation = 1;
    EXPECT_EQ(MeadeConnect(), 1u) << "the emulated mount needs no port";
}

TEST_F(Lx200, TheHeldPortIsNotProbedAgainUntilItClosesOrTheDriveChanges) {
    Connect();
    EXPECT_EQ(MeadeDisconnect(), 1u);
    EXPECT_EQ(IsSerialOpen(), 1);
    EXPECT_EQ(MeadeConnect(), 1u);
    EXPECT_TRUE(mount.Commands().empty()) << "the held port answers for the mount";

    preferences.word[pref::scopeDrive] = 2;
    EXPECT_EQ(MeadeConnect(), 1u);
    EXPECT_EQ(mount.Commands(), Commands{":GD#"}) << "another drive asks again";

    // The mount is switched to the short formats while the port is closed: what the last
    // probe learnt is forgotten, and the queries read the short answers.
    ClearSerialAuxFlag();
    mount.SetState(At(5.5, -30.25, false));
    ASSERT_EQ(MeadeConnect(), 1u);
    EXPECT_EQ(meadeState.highPrecision, 0u);
    double ra = 0, dec = 0;
    EXPECT_EQ(MeadeQueryEQ(&ra, &dec), 1u);
    EXPECT_DOUBLE_EQ(ra, 5.5);
    EXPECT_DOUBLE_EQ(dec, -30.25);
}

TEST_F(Lx200, PositionQueriesInBothPrecisions) {
    struct Case {
        const char* what;
        MountDoubleState state;
        std::function<void(MountDouble&)> script;
        std::uint32_t ok;
        double ra, dec;
    };
    const Case cases[] = {
        {"high", At(12.3456, -0.5), [](MountDouble&) {}, 1, 12.0 + 20.0 / 60 + 44.0 / 3600, -0.5},
        {"low", At(12.3456, 45.51, false), [](MountDouble&) {}, 1, 12.0 + 20.7 / 60, 45.5},
        {"garbled", At(1, 1), [](MountDouble& m) { m.Script(MountScript::Garbled); }, 0, 0, 0},
        {"short", At(1, 1), [](MountDouble& m) { m.Script(MountScript::Short, 8); }, 0, 0, 0},
        {"silent", At(1, 1), [](MountDouble& m) { m.Script(MountScript::Silent); }, 0, 0, 0},
        {"no end", At(1, 1), [](MountDouble& m) { m.SetAnswer(":GD#", "+01\xDF" "00:00X"); }, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MountDouble m(MountDialect::Lx200, c.state);
        SerialBench b({m.SlavePath()});
        UseDrive(5);
        ASSERT_EQ(MeadeConnect(), 1u);
        m.ClearRecord();
        c.script(m);
        double ra = 0, dec = 0;
        EXPECT_EQ(MeadeQueryEQ(&ra, &dec), c.ok);
        EXPECT_NEAR(ra, c.ra, 1e-9);
        EXPECT_NEAR(dec, c.dec, 1e-9);
        ASSERT_FALSE(m.Commands().empty());
        EXPECT_EQ(m.Commands()[0], ":GR#");
        if (c.ok) {
            EXPECT_EQ(m.Commands(), (Commands{":GR#", ":GD#"}));
        }
        EXPECT_TRUE(RecordedReports().empty()) << "a failed read is the caller's to report";
    }
}

TEST(Lx200Format, TargetCommands) {
    struct Case {
        double value;
        bool ra;
        bool high;
        const char* text;
    };
    const Case cases[] = {
        {5.5, true, true, "#:Sr 05:30:00#"},
        {5.5, true, false, "#:Sr 05:30.0#"},
        {12.3456, true, true, "#:Sr 12:20:44#"},
        {12.3456, true, false, "#:Sr 12:20.7#"},
        {23.9999, true, true, "#:Sr 00:00:00#"},   // not hour 24
        {23.0 + 59.0 / 60 + 59.6 / 3600, true, false, "#:Sr 00:00.0#"},
        {-1.0, true, true, "#:Sr 23:00:00#"},
        {-30.25, false, true, ":Sd -30\xDF" "15:00#"},
        {-30.25, false, false, ":Sd -30\xDF" "15#"},
        {-0.5, false, true, ":Sd -00\xDF" "30:00#"},
        {0.0, false, true, ":Sd +00\xDF" "00:00#"},
        {45.0 + 59.0 / 60 + 59.7 / 3600, false, true, ":Sd +46\xDF" "00:00#"},
    };
    for (const Case& c : cases) {
        char text[32];
        if (c.ra) FormatMeadeRa(text, sizeof text, c.value, c.high);
        else FormatMeadeDec(text, sizeof text, c.value, c.high);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

TEST_F(Lx200, GotoSendsTheTargetAndTakesOnlyZeroForYes) {
    struct Case {
        const char* what;
        int drive;
        std::function<void(MountDouble&)> script;
        std::uint32_t result;  // 0 accepted
        const char* reply;
    };
    const Case cases[] = {
        {"accepted", 5, [](MountDouble&) {}, 0, ""},
        {"Losmandy", 17, [](MountDouble&) {}, 0, ""},
        {"below the horizon", 5, [](MountDouble& m) { m.SetAnswer(":MS#", "1Below horizon#"); }, 1, "Below horizon"},
        {"below the limit", 2, [](MountDouble& m) { m.SetAnswer(":MS#", "2Below limit#"); }, 1, "Below limit"},
        {"silence", 5, [](MountDouble& m) { m.SetAnswer(":MS#", ""); }, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MountDouble m(MountDialect::Lx200, At(1, 1));
        SerialBench b({m.SlavePath()});
        UseDrive(c.drive);
        ASSERT_EQ(MeadeConnect(), 1u);
        m.ClearRecord();
        c.script(m);
        EXPECT_EQ(MeadeGotoEQ(5.5, -30.25), c.result);
        EXPECT_STREQ(meadeState.gotoReply, c.reply);
        Commands sent = {":Sr 05:30:00#", ":Sd -30\xDF" "15:00#", ":MS#"};
        if (c.drive == 17) sent.insert(sent.begin() + 1, ":ON#");
        EXPECT_EQ(m.Commands(), sent);
        EXPECT_DOUBLE_EQ(m.State().targetRa, 5.5);
        EXPECT_DOUBLE_EQ(m.State().targetDec, -30.25);
        EXPECT_TRUE(RecordedReports().empty()) << "\"Goto failed\" is the dispatcher's";
    }
}

TEST_F(Lx200, GotoAndSyncOnALostLine) {
    Connect();
    mount.CloseMaster();
    EXPECT_EQ(MeadeGotoEQ(5.5, -30.25), 1u);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to send string\n#:Sr 05:30:00#"});
    EXPECT_EQ(GetSerialHold(), 0) << "the port closes at the disconnect";
    ClearRecordedReports();
    EXPECT_EQ(MeadeSyncEQ(5.5, -30.25), 0u);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to send string\n#:Sr 05:30:00#"});
    MeadeDisconnect();
    EXPECT_EQ(IsSerialOpen(), 0);
}

TEST_F(Lx200, SyncReadsItsAnswerToTheEnd) {
    mount.SetState(At(1.0, 2.0));
    Connect();
    EXPECT_EQ(MeadeSyncEQ(5.5, -30.25), 1u);
    EXPECT_EQ(mount.Commands(), (Commands{":Sr 05:30:00#", ":Sd -30\xDF" "15:00#", ":CM#"}));
    double ra = 0, dec = 0;
    ASSERT_EQ(MeadeQueryEQ(&ra, &dec), 1u) << "no rest of the sync answer in the way";
    EXPECT_DOUBLE_EQ(ra, 5.5);
    EXPECT_DOUBLE_EQ(dec, -30.25);
}

TEST_F(Lx200, RatesMovesAndStops) {
    Connect();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(MeadeSetRate(i), 1u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(MeadeMove(i), 1u);
    ASSERT_TRUE(mount.WaitForReceived(40));
    EXPECT_EQ(mount.State().moves, 15u);
    EXPECT_EQ(mount.State().rate, 3);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(MeadeStopMove(i), 1u);
    EXPECT_EQ(MeadeStopAll(), 1u);
    ASSERT_TRUE(mount.WaitForReceived(12 * 5 + 4));
    EXPECT_EQ(mount.Commands(), (Commands{":RS#", ":RM#", ":RC#", ":RG#", ":Mn#", ":Ms#", ":Me#", ":Mw#", ":Qn#",
                                          ":Qs#", ":Qe#", ":Qw#", ":Q#"}));
    mount.CloseMaster();
    EXPECT_EQ(MeadeMove(0), 0u) << "a failed write";
}

// ---------------------------------------------------------------------------------------
// The emulated mount.

class Lx200Emulation : public ::testing::Test {
protected:
    SerialBench bench;
    void SetUp() override {
        meadeState = MeadeState{};
        telescopeEmulation = 1;
        preferences.word[pref::scopeDrive] = 5;
    }
    std::pair<double, double> Query() {
        double ra = -1, dec = -1;
        EXPECT_EQ(MeadeQueryEQ(&ra, &dec), 1u);
        return {ra, dec};
    }
};

TEST_F(Lx200Emulation, GotoClosesATenthOfTheDistancePerQueryThenSnaps) {
    EXPECT_EQ(MeadeConnect(), 1u);
    EXPECT_EQ(MeadeGotoEQ(2.0, 10.0), 0u) << "accepted";
    auto [ra, dec] = Query();
    EXPECT_DOUBLE_EQ(ra, 0.2);
    EXPECT_DOUBLE_EQ(dec, 1.0);
    int raSnap = 0, decSnap = 0;
    for (int q = 2; q <= 40; ++q) {
        std::tie(ra, dec) = Query();
        if (!raSnap && ra == 2.0) raSnap = q;
        if (!decSnap && dec == 10.0) decSnap = q;
    }
    // 2 x 0.9^33 is within 4 minutes of time, 10 x 0.9^22 within a degree.
    EXPECT_EQ(raSnap, 34);
    EXPECT_EQ(decSnap, 23);
    EXPECT_EQ(IsSerialOpen(), 0) << "no serial traffic";
}

TEST_F(Lx200Emulation, RatesMovesStopsAndTheLimits) {
    const double rates[] = {2.0, 0.5, 0.1, 0.05};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(MeadeSetRate(i), 1u);
        EXPECT_EQ(meadeState.rate, rates[i]);
    }
    EXPECT_EQ(MeadeSetRate(9), 1u);
    EXPECT_EQ(meadeState.rate, 0.05) << "an unknown rate leaves it";

    MeadeSetRate(0);
    MeadeSyncEQ(23.95, 89.0);
    MeadeMove(3);  // west
    MeadeMove(1);  // south
    auto [ra, dec] = Query();
    EXPECT_NEAR(ra, 23.95 + 2.0 / 15 - 24, 1e-12) << "wrapped past 24 h";
    EXPECT_EQ(dec, 90.0) << "clamped";
    MeadeStopMove(1);
    auto held = Query();
    EXPECT_EQ(held, std::make_pair(ra, dec)) << "stopped where it was";

    MeadeMove(0);  // north
    MeadeMove(2);  // east
    std::tie(ra, dec) = Query();
    EXPECT_NEAR(dec, 88.0, 1e-12);
    EXPECT_NEAR(ra, held.first - 2.0 / 15 + 24, 1e-12);
    MeadeSyncEQ(1.0, -89.5);
    MeadeMove(0);
    for (int i = 0; i < 3; ++i) std::tie(ra, dec) = Query();
    EXPECT_EQ(dec, -90.0);
    EXPECT_EQ(MeadeStopAll(), 1u);
    EXPECT_EQ(Query(), std::make_pair(1.0, -90.0));
    EXPECT_EQ(MeadeDisconnect(), 1u);
}

}  // namespace
