// The Takahashi driver against the mount double: the site set-up and the side question,
// the zenith side with its time limit, targets and their status answers, the line.
#include <gtest/gtest.h>

#include <termios.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "core/report.h"
#include "core/settings.h"
#include "scope/serial_port.h"
#include "scope/takahashi.h"
#include "serial_equipment.h"
#include "shell/utilities_internal.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

namespace {

using Commands = std::vector<std::string>;

// The side question, answered by script: 0 Yes (east), 1 No (west).
int sideAnswer = 0;
int questionsAsked = 0;
int AnswerSideQuestion(const char*, const char*) {
    ++questionsAsked;
    return sideAnswer;
}

// The commands with the sidereal time's digits (which follow the clock) masked.
Commands Masked(const Commands& commands) {
    const auto isTime = [](const std::string& c) {
        return c.size() == 9 && c[0] == 'T' && c.compare(7, 2, "\r\n") == 0 &&
               std::all_of(c.begin() + 1, c.begin() + 7, [](char d) { return d >= '0' && d <= '9'; });
    };
    Commands masked;
    for (const std::string& c : commands) masked.push_back(isTime(c) ? "T<lst>" : c);
    return masked;
}

MountDoubleState At(double ra, double dec, char side = 'E') {
    MountDoubleState s;
    s.ra = s.targetRa = ra;
    s.dec = s.targetDec = dec;
    s.side = side;
    return s;
}

class Takahashi : public ::testing::Test {
protected:
    MountDouble mount{MountDialect::Takahashi, At(5.5, -33.5)};
    SerialBench bench{{mount.SlavePath()}};
    SavedObservingState saved;
    ReportHooks previousHooks;

    void SetUp() override {
        takahashiState = TakahashiState{};
        zenithAnswer = -1;
        sideAnswer = 0;
        questionsAsked = 0;
        preferences.word[pref::scopeDrive] = 14;
        preferences.word[pref::scopePort] = 1;
        UseTestSite(-33.5, -151.2, 600);
        SetLocalClockSource([] { return LocalDateTimeFields{2024, 3, 20, 21, 0, 0}; });
        // Virtual time: the waits the serial layer takes (recorded, not taken).
        SetTickSource([] {
            const auto& w = SerialBench::Waits();
            return std::accumulate(w.begin(), w.end(), std::uint32_t{0});
        });
        ReportHooks hooks;
        hooks.askYesNo = &AnswerSideQuestion;
        previousHooks = SetReportHooks(hooks);
    }
    void TearDown() override {
        SetReportHooks(previousHooks);
        SetLocalClockSource({});
        SetTickSource({});
    }
    void Connect() {
        ASSERT_EQ(TakahashiConnect(), 1u);
        ASSERT_TRUE(mount.Settle());
        mount.ClearRecord();
        ClearRecordedReports();
    }
};

TEST(TakahashiFormat, LatitudeAndTargetCommands) {
    char text[40];
    const std::pair<double, const char*> latitudes[] = {
        {-33.5, "I-33300\r\n"}, {51.4775, "I+51286\r\n"}, {0.0, "I+00000\r\n"}, {-0.01, "I-00006\r\n"}};
    for (const auto& [latitude, command] : latitudes) {
        FormatTakahashiLatitude(text, sizeof text, latitude);
        EXPECT_STREQ(text, command);
    }
    struct Case {
        char letter;
        double ra, dec;
        const char* command;
    };
    const Case cases[] = {
        {'P', 5.5, -33.5, "P053000-33300\r\n"},
        {'P', 5.5, 0.0, "P053000 00000\r\n"},
        {'D', 12.3456, 45.51, "D122044+45306\r\n"},
        {'P', 23.99999, 89.999, "P000000+89599\r\n"},  // no hour 24
    };
    for (const Case& c : cases) {
        FormatTakahashiTarget(text, sizeof text, c.letter, c.ra, c.dec);
        EXPECT_STREQ(text, c.command);
    }
}

TEST_F(Takahashi, TheSiteSetUpAsksTheSideOnceAndRunsOncePerOpen) {
    MountDoubleState s = At(5.5, -33.5, 'E');
    s.turningAnswers = 2;
    mount.SetState(s);
    ASSERT_EQ(TakahashiConnect(), 1u);
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(Masked(mount.Commands()),
              (Commands{"v\r\n", "T<lst>", "I-33300\r\n", "T<lst>", "Z\r\n", "E\r\n", "E\r\n", "E\r\n", "T<lst>", "Z\r\n"}))
        << "Yes: the east side, where the mount already stands once it stopped turning";
    EXPECT_EQ(questionsAsked, 1);
    EXPECT_EQ(zenithAnswer, 0);

    mount.ClearRecord();
    EXPECT_EQ(TakahashiDisconnect(), 1u);
    EXPECT_EQ(TakahashiConnect(), 1u);
    EXPECT_TRUE(mount.Commands().empty()) << "the held port is not set up again";

    // The port really closes: the next open sets the site up again, without asking.
    ClearSerialAuxFlag();
    ASSERT_EQ(TakahashiConnect(), 1u);
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(Masked(mount.Commands()).at(2), "I-33300\r\n");
    EXPECT_EQ(questionsAsked, 1);
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(Takahashi, NoMeansWestAndFlipsAMountOnTheEast) {
    sideAnswer = 1;
    ASSERT_EQ(TakahashiConnect(), 1u);
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(zenithAnswer, 1);
    EXPECT_EQ(Masked(mount.Commands()),
              (Commands{"v\r\n", "T<lst>", "I-33300\r\n", "T<lst>", "Z\r\n", "E\r\n", "PT\r,\n", "T<lst>", "Z\r\n"}));
    EXPECT_EQ(mount.State().side, 'W');
    EXPECT_EQ(mount.Received().find("PT\r,\n"), mount.Received().find("PT")) << "the flip's five bytes as they are";
}

TEST_F(Takahashi, AMountStuckTurningFailsAfterTheTimeLimit) {
    MountDoubleState s = At(5.5, -33.5);
    s.turningAnswers = -1;
    mount.SetState(s);
    EXPECT_EQ(TakahashiConnect(), 1u) << "the mount answered its probe";
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(ReportTexts(), Commands{"Takahashi\nThe mount did not report its side of the pier within 60 seconds.\n"});
    const Commands sent = mount.Commands();
    const auto queries = std::count(sent.begin(), sent.end(), "E\r\n");
    // A query every half second plus the write pause of 125 ms.
    EXPECT_GE(queries, 60000 / (kTakahashiSidePollMs + 125) - 1);
    EXPECT_LE(queries, 60000 / (kTakahashiSidePollMs + 125) + 2);
    EXPECT_EQ(sent.back(), "E\r\n") << "no flip and no zenith after the failure";

    EXPECT_EQ(TakahashiSetZenithSide('W'), 0u);
    mount.CloseMaster();
    ClearRecordedReports();
    EXPECT_EQ(TakahashiSetZenithSide('W'), 0u) << "a failed query";
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(Takahashi, AFailedProbeSendsNoSiteSetUp) {
    mount.Script(MountScript::Short, 9);  // "vTEST 2.4": too short
    EXPECT_EQ(TakahashiConnect(), 0u);
    EXPECT_EQ(mount.Commands(), Commands{"v\r\n"});
    EXPECT_EQ(questionsAsked, 0);
    EXPECT_EQ(ReportTexts(), Commands{"Fail to open Takahasi connection.\n"});
    EXPECT_EQ(IsSerialOpen(), 0);

    // The mount answers now, and gets its site.
    mount.Script(MountScript::Normal);
    mount.ClearRecord();
    ASSERT_EQ(TakahashiConnect(), 1u);
    ASSERT_TRUE(mount.Settle());
    EXPECT_EQ(Masked(mount.Commands()).at(2), "I-33300\r\n");
    EXPECT_EQ(questionsAsked, 1);
}

TEST_F(Takahashi, EvenParityOnlyOnTheFirstPort) {
    MountDouble second(MountDialect::Takahashi);
    SerialBench twoPorts({mount.SlavePath(), second.SlavePath()});
    preferences.word[pref::scopeDrive] = 14;
    for (int port : {1, 2}) {
        SCOPED_TRACE(port);
        preferences.word[pref::scopePort] = port;
        takahashiState = TakahashiState{};
        MountDouble& m = port == 1 ? mount : second;
        ASSERT_EQ(TakahashiConnect(), 1u);
        // A pseudo-terminal keeps no parity of its own: the line as the port applied it.
        EXPECT_EQ(serialPort.line.parity, port == 1 ? 'E' : 'N');
        EXPECT_EQ(serialPort.line.parityCheck, port == 1);
        const termios t = m.MasterAttributes();
        EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));
        ASSERT_TRUE(m.Settle());
        m.ClearRecord();
        EXPECT_EQ(TakahashiConnect(), 1u);
        EXPECT_TRUE(m.Commands().empty()) << "the line it set up is the one it keeps";
        ClearSerialAuxFlag();
    }
}

TEST_F(Takahashi, TargetsAndTheirStatusAnswers) {
    struct Case {
        char letter;
        const char* status;  // the mount's answer; "" silence
        std::uint32_t result;
        Commands after;      // commands after the target
        Commands told;
    };
    const Case cases[] = {
        {'P', "R0\r\n", 1, {}, {}},
        {'P', "R1\r\n", 1, {"PS\r\n"}, {}},
        {'P', "R2\r\n", 0, {}, {"Takahashi\nWrong ra in Goto.\n"}},
        {'P', "R3\r\n", 0, {}, {"Takahashi\nWrong dec in Goto.\n"}},
        {'P', "R4\r\n", 0, {}, {"Takahashi\nToo many digits in Goto.\n"}},
        {'P', "R0", 0, {}, {"No response from Takahashi\n"}},
        {'D', "R1\r\n", 1, {}, {}},
        {'D', "R2\r\n", 0, {}, {"Takahashi\nWrong ra in Sync.\n"}},
        {'D', "R3\r\n", 0, {}, {"Takahashi\nWrong dec in Sync.\n"}},
        {'D', "R4\r\n", 0, {}, {"Takahashi\nToo many digits in Sync.\n"}},
        {'D', "", 0, {}, {"No response from Takahashi\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.letter << " " << testing::PrintToString(std::string(c.status)));
        Connect();
        const std::string target = std::string(1, c.letter) + "053000-33300\r\n";
        mount.SetAnswer(target, c.status);
        TakahashiSetSiderealTime(21.5);
        EXPECT_EQ(c.letter == 'P' ? TakahashiGotoEQ(5.5, -33.5) : TakahashiSyncEQ(5.5, -33.5), c.result);
        Commands sent = {"T213000\r\n", target};
        sent.insert(sent.end(), c.after.begin(), c.after.end());
        if (!c.after.empty()) {
            ASSERT_TRUE(mount.WaitForCommands(sent.size()));
        }
        EXPECT_EQ(mount.Commands(), sent);
        EXPECT_EQ(ReportTexts(), c.told);
    }
}

TEST_F(Takahashi, PositionAnswers) {
    struct Case {
        const char* answer;  // null: the double's own
        std::uint32_t ok;
        double ra, dec;
        char side;
    };
    const Case cases[] = {
        {nullptr, 1, 5.5, -33.5, 'W'},
        {"E123456+45306E0\r\n", 1, 12.0 + 34.0 / 60 + 56.0 / 3600, 45.51, 'E'},
        {"E000000 00000F0\r\n", 1, 0.0, 0.0, 'F'},
        {"E12345+45306E0\r\n", 0, 0, 0, 0},    // a digit short
        {"E1234x6+45306E0\r\n", 0, 0, 0, 0},   // noise
        {"", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer ? c.answer : "own");
        Connect();
        mount.SetState(At(5.5, -33.5, 'W'));
        if (c.answer) mount.SetAnswer("E\r\n", c.answer);
        takahashiState.side = 0;
        double ra = -1, dec = -1;
        EXPECT_EQ(TakahashiQueryEQ(&ra, &dec), c.ok);
        EXPECT_NEAR(ra, c.ra, 1e-9);
        EXPECT_NEAR(dec, c.dec, 1e-9);
        EXPECT_EQ(takahashiState.side, c.side);
    }
}

TEST_F(Takahashi, RatesMovesAndStops) {
    Connect();
    const int rates[] = {0, 3};
    for (int rate : rates) {
        EXPECT_EQ(TakahashiSetRate(rate), 1u);
        for (int d = 0; d < 4; ++d) EXPECT_EQ(TakahashiMove(d), 1u);
    }
    EXPECT_EQ(TakahashiSetRate(4), 0u);
    EXPECT_EQ(takahashiState.moveRow, 0u);
    EXPECT_EQ(TakahashiStopMove(2), 1u);
    EXPECT_EQ(TakahashiStopAll(), 1u);
    ASSERT_TRUE(mount.WaitForCommands(11));
    EXPECT_EQ(mount.Commands(), (Commands{"MI\r\n", "MQ\r\n", "MC\r\n", "ME\r\n", "MH\r\n", "MP\r\n", "MB\r\n",
                                          "MD\r\n", "M@\r\n", "PS\r\n", "s\r\n"}));
    mount.CloseMaster();
    EXPECT_EQ(TakahashiMove(0), 0u);
    EXPECT_EQ(TakahashiStopMove(0), 0u);
    EXPECT_EQ(TakahashiStopAll(), 0u);
}

}  // namespace
