#include "scope/scope_control_form.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "astro/angle_text.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/settings.h"
#include "platform/clock.h"
#include "platform/headless.h"
#include "platform/messages.h"
#include "scope/alignment_model.h"
#include "scope/encoder_boxes.h"
#include "scope/encoder_guidance.h"
#include "scope/lx200.h"
#include "scope/mount_dispatcher.h"
#include "scope/mount_drivers.h"
#include "scope/serial_equipment.h"
#include "scope/serial_port.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/utilities.h"
#include "support/recorded_reports.h"

using platform::Window;
using namespace scope_control;

namespace {

// A mount driver that records what it is asked, with the tick of each call.
struct FakeMount {
    std::vector<std::string> calls;
    std::vector<std::uint32_t> queryTicks;
    std::uint32_t connectResult = 1;
    std::uint32_t stopMoveResult = 1;
    std::uint32_t stopAllResult = 1;
    bool stopsOnlyEmulated = false;   // a mount that is not there: only its emulation stops
    double ra = 5.5;
    double dec = 20.0;
    int Count(const std::string& call) const {
        int n = 0;
        for (const std::string& c : calls) n += c == call;
        return n;
    }
};
FakeMount fake;

std::uint32_t FakeConnect() { return fake.calls.push_back("connect"), fake.connectResult; }
std::uint32_t FakeDisconnect() { return fake.calls.push_back("disconnect"), 1u; }
std::uint32_t FakeQuery(double* ra, double* dec) {
    fake.calls.push_back("query");
    fake.queryTicks.push_back(platform::TickCount());
    *ra = fake.ra;
    *dec = fake.dec;
    return 1;
}
std::uint32_t FakeRate(int rate) { return fake.calls.push_back("rate " + std::to_string(rate)), 1u; }
std::uint32_t FakeMove(int d) { return fake.calls.push_back("move " + std::to_string(d)), 1u; }
std::uint32_t FakeStopMove(int d) { return fake.calls.push_back("stop " + std::to_string(d)), fake.stopMoveResult; }
std::uint32_t FakeStopAll() {
    fake.calls.push_back("stop all");
    return fake.stopsOnlyEmulated ? (telescopeEmulation != 0 ? 1u : 0u) : fake.stopAllResult;
}

MountDriver FakeRow() {
    MountDriver d = NotImplementedDriver("Fake");
    d.connect = &FakeConnect;
    d.disconnect = &FakeDisconnect;
    d.queryEQ = &FakeQuery;
    d.setRate = &FakeRate;
    d.move = &FakeMove;
    d.stopMove = &FakeStopMove;
    d.stopAll = &FakeStopAll;
    return d;
}

class ScopeControlTest : public forms_test::FormsFixture {
protected:
    void PrepareSettings() override {
        preferences.word[pref::scopeDrive] = 5;
        preferences.word[pref::encoderStepsAz] = 8192;
        preferences.word[pref::encoderStepsAlt] = 8192;
    }
    void SetUp() override {
        fake = FakeMount{};
        for (MountFamily f : {MountFamily::Lx200, MountFamily::Takahashi, MountFamily::NexStar})
            DriverOf(f) = FakeRow();
        savedEncoder = encoderState;
        telescopeEmulation = 0;
        scopeControl = ScopeControlState{};
        encoderRefreshIndex = encoderRefreshPeriod = 0;
        forms_test::FormsFixture::SetUp();
        if (HasFatalFailure()) return;
        ClearRecordedReports();
        SetFormDialogProc(kScopeControlFormId, &ScopeControl);
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(kScopeControlFormId, nullptr);
        forms_test::FormsFixture::TearDown();
        for (MountFamily f : {MountFamily::Lx200, MountFamily::Takahashi, MountFamily::NexStar})
            DriverOf(f) = DefaultMountDriver(f);
        telescopeEmulation = 0;
        encoderState = savedEncoder;
        SetScopeTracking(0);
    }
    // Form A first, so that Ok has a form to go back to.
    void OpenScopeControl() {
        Open(forms_test::kFormA);
        Call([] { PushFormHistory(forms_test::kFormA); });
        Open(kScopeControlFormId);
        ASSERT_EQ(GetCurrentFormId(), kScopeControlFormId);
        fake.calls.clear();
        fake.queryTicks.clear();
    }
    void Hold(int button, std::uint32_t ms) { TapWindow(Item(button), ms); }
    EncoderState savedEncoder{};
};

TEST_F(ScopeControlTest, OpensOnTheEmulatedMountWhenNoMountAnswers) {
    fake.connectResult = 0;
    OpenScopeControl();
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Activating Telescope emulation mode.\n"});
    EXPECT_EQ(telescopeEmulation, 1);
    EXPECT_EQ(ScopeTracking(), 1);
    EXPECT_TRUE(platform::IsWindowVisible(Item(kNorth)));
    EXPECT_TRUE(platform::IsWindowVisible(Item(kStop)));
    EXPECT_FALSE(platform::IsWindowVisible(Item(kRefreshPopup)));
    // The form runs on: the timer reads the (emulated) mount.
    Advance(600);
    EXPECT_EQ(fake.Count("query"), 1);
}

TEST_F(ScopeControlTest, TimerShowsWhereTheMountPointsEvery600ms) {
    OpenScopeControl();
    fake.ra = 7.25;
    fake.dec = -12.5;
    Advance(599);
    EXPECT_EQ(fake.Count("query"), 0);
    Advance(1);
    ASSERT_EQ(fake.Count("query"), 1);
    char ra[32], dec[32], az[32], alt[32];
    EXPECT_STREQ(scopeControl.raText, HMSToStr(ra, sizeof ra, 7.25));
    EXPECT_STREQ(scopeControl.decText, DMSToStr(dec, sizeof dec, -12.5));
    // Azimuth and altitude at the site for the device time of the read.
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    const double lst = LocalSiderealTime(y, mo, d, h, mi, s, observerLocation.longitude, observerLocation.zoneMinutes);
    EXPECT_STREQ(scopeControl.azText, DMSToStr(az, sizeof az, ComputeAzimuth(lst, 7.25, -12.5, observerLocation.latitude)));
    EXPECT_STREQ(scopeControl.altText, DMSToStr(alt, sizeof alt, ComputeAltitude(lst, 7.25, -12.5, observerLocation.latitude)));
    Advance(1200);
    EXPECT_EQ(fake.Count("query"), 3);

    // Drive 0: the timer draws nothing and reads nothing.
    preferences.word[pref::scopeDrive] = 0;
    scopeControl.raText[0] = 0;
    Advance(1200);
    EXPECT_EQ(fake.Count("query"), 3);
    EXPECT_STREQ(scopeControl.raText, "");
}

TEST_F(ScopeControlTest, MoveLoopsSendOneStartAndOneStop) {
    struct Case {
        const char* what;
        int drive;
        int button;          // held with the pen for holdMs, or 0
        int key;             // pressed through ScopeControlKey, or 0
        bool keyHeld;        // the key is still down when the loop starts
        std::uint32_t holdMs;
        std::vector<std::string> moves;   // the move and stop commands, in order
        int reads;
        std::uint32_t interval;           // between reads
    };
    const Case cases[] = {
        {"north button held 1 s", 5, kNorth, 0, false, 1000, {"move 0", "stop 0"}, 8, 125},
        {"west button", 5, kWest, 0, false, 300, {"move 3", "stop 3"}, 3, 125},
        {"key gone before the loop", 5, 0, platform::kKeyRight, false, 0, {"move 2", "stop 2"}, 0, 0},
        {"page up held: south", 5, 0, platform::kKeyPageUp, true, 500, {"move 1", "stop 1"}, 4, 125},
        {"Takahashi re-sends the move", 14, kEast, 0, false, 4500,
         {"move 2", "move 2", "move 2", "move 2", "stop 2"}, 3, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        preferences.word[pref::scopeDrive] = c.drive;
        OpenScopeControl();
        if (c.button) {
            Hold(c.button, c.holdMs);
        } else if (c.keyHeld) {
            platform::headless::Schedule(platform::InputEvent{platform::InputKind::KeyDown, {}, c.key});
            platform::InputEvent up{platform::InputKind::KeyUp, {}, c.key};
            up.time = platform::headless::Tick() + c.holdMs;
            platform::headless::Schedule(up);
            RunUntilIdle();
        } else {
            Call([&] { ScopeControlKey(c.key); });
        }
        std::vector<std::string> moves;
        for (const std::string& call : fake.calls)
            if (call.rfind("move", 0) == 0 || call.rfind("stop", 0) == 0) moves.push_back(call);
        EXPECT_EQ(moves, c.moves);
        EXPECT_EQ(fake.Count("query"), c.reads);
        for (std::size_t i = 1; i < fake.queryTicks.size(); ++i) {
            const std::uint32_t gap = fake.queryTicks[i] - fake.queryTicks[i - 1];
            EXPECT_GE(gap, c.interval);
            EXPECT_LE(gap, c.interval + 5);
        }
        // The lift ends the move only: no second move from the button's click.
        Advance(1000);
        EXPECT_EQ(fake.Count("move 0") + fake.Count("move 1") + fake.Count("move 2") + fake.Count("move 3"),
                  static_cast<int>(c.moves.size()) - 1);
        Open(forms_test::kFormA);
    }
}

TEST_F(ScopeControlTest, StopIsSentAlsoWhenThePenIsAlreadyUp) {
    OpenScopeControl();
    Call([] { ScopeControlCommand(kSouth); });
    // One pass: the start, one read, the stop.
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"move 1", "connect", "query", "stop 1"}));
}

TEST_F(ScopeControlTest, SpeedStopOkAndClose) {
    OpenScopeControl();
    // Speed row 2 "Center".
    Call([] {
        SetListSelection(kSpeedList, 2);
        ScopeControlCommand(kSpeedList);
    });
    EXPECT_EQ(scopeControl.rateIndex, 2u);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"rate 2"});
    fake.calls.clear();
    Call([] { ScopeControlCommand(kStop); });
    EXPECT_EQ(fake.calls, std::vector<std::string>{"stop all"});
    fake.calls.clear();
    telescopeEmulation = 1;
    TapWindow(Item(kOk));
    // Ok stops and disconnects, then the form closes, which stops and disconnects again.
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"stop all", "disconnect", "stop all", "disconnect"}));
    EXPECT_EQ(ScopeTracking(), 0);
    EXPECT_EQ(GetCurrentFormId(), forms_test::kFormA);
    EXPECT_EQ(telescopeEmulation, 0);
    EXPECT_TRUE(ReportTexts().empty());

    // Drive 20 is never sent a stop when the form is left.
    preferences.word[pref::scopeDrive] = 20;
    OpenScopeControl();
    TapWindow(Item(kOk));
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"disconnect", "disconnect"}));
}

TEST_F(ScopeControlTest, FailedStopIsSentAgainAsStopAllAndTold) {
    OpenScopeControl();
    fake.stopMoveResult = 0;
    Hold(kNorth, 200);
    EXPECT_EQ(fake.Count("stop 0"), 1);
    EXPECT_EQ(fake.Count("stop all"), 1);
    ASSERT_EQ(ReportTexts().size(), 1u);
    EXPECT_EQ(ReportTexts()[0],
              "The mount did not take the stop command and may still be moving.\nA second stop was sent.");

    // Leaving with Ok when no stop gets through: told once, though the close stops again.
    ClearRecordedReports();
    fake.stopAllResult = 0;
    fake.calls.clear();
    TapWindow(Item(kOk));
    EXPECT_EQ(fake.Count("stop all"), 4);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{
                           "The mount did not take the stop command and may still be moving.\nStop it at the mount."});
    EXPECT_EQ(GetCurrentFormId(), forms_test::kFormA);

    // The emulated mount's stop answers 0 and is no failure.
    ClearRecordedReports();
    preferences.word[pref::scopeDrive] = 6;
    telescopeEmulation = 1;
    EXPECT_EQ(StopMountChecked(0), 1);
    EXPECT_TRUE(ReportTexts().empty());
}

// Leaving the form with no mount behind it (the emulated mount, no port open) is no failed
// stop, whichever way it is left; a real mount that does not take the stop is still told.
TEST_F(ScopeControlTest, LeavingTheEmulatedMountIsNoFailedStop) {
    const char* const told = "The mount did not take the stop command and may still be moving.\nStop it at the mount.";
    struct Case {
        const char* how;
        int emulated;
        bool warned;
    } const cases[] = {
        {"ok", 1, false},    {"other form", 1, false},  {"close", 1, false},
        {"ok", 0, true},     {"other form", 0, true},   {"close", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.how) + (c.emulated ? " emulated" : " real"));
        OpenScopeControl();
        ASSERT_EQ(IsSerialOpen(), 0);
        telescopeEmulation = c.emulated;
        // No port is open: only the emulated mount answers; a real mount that does not take
        // the stop answers as badly.
        fake.stopsOnlyEmulated = c.emulated != 0;
        fake.stopAllResult = 0;
        ClearRecordedReports();
        const std::string how = c.how;
        if (how == "ok") {
            TapWindow(Item(kOk));
        } else if (how == "other form") {
            Open(forms_test::kFormA);
        } else {
            Call([] { platform::SendMessage(formWindow, platform::kMsgClose, 0, 0); });
            ASSERT_TRUE(RunUntilIdle());
        }
        EXPECT_EQ(telescopeEmulation, 0);
        const std::vector<std::string> reports = ReportTexts();
        const bool warned = !reports.empty() && reports.back() == told;
        EXPECT_EQ(warned, c.warned);
        // The emulated mount was still sent its stop.
        EXPECT_GE(fake.Count("stop all"), 1);
        Call([] { if (GetCurrentFormId() == kScopeControlFormId) GotoForm(forms_test::kFormA); });
        ASSERT_TRUE(RunUntilIdle());
        fake.stopAllResult = 1;
        fake.stopsOnlyEmulated = false;
    }
}

TEST_F(ScopeControlTest, EncoderDriveShowsTheGuidancePage) {
    preferences.word[pref::scopeDrive] = 3;
    telescopeEmulation = 1;
    OpenScopeControl();
    EXPECT_TRUE(platform::IsWindowVisible(Item(kRefreshPopup)));
    EXPECT_FALSE(platform::IsWindowVisible(Item(kNorth)));
    EXPECT_FALSE(platform::IsWindowVisible(Item(kSpeedPopup)));
    EXPECT_TRUE(platform::IsWindowVisible(Item(kOk)));

    // Refresh rows: the periods of the list, in its order.
    const std::uint32_t periods[] = {125, 250, 500, 1000, 2000, 3000, 4000};
    for (int row = 0; row < kEncoderRefreshRows; ++row) {
        Call([row] {
            SetListSelection(kRefreshList, row);
            ScopeControlCommand(kRefreshList);
        });
        EXPECT_EQ(encoderRefreshIndex, static_cast<std::uint32_t>(row));
        EXPECT_EQ(encoderRefreshPeriod, periods[row]);
    }
    // The last row's period drives the page: a box read per 4 s.
    encoderState.azStep = 1;
    const std::int32_t before = encoderState.azCount;
    Advance(8000);
    EXPECT_EQ(encoderState.azCount - before, 2);
}

// The LX200 driver itself, with a mount on a pseudo-terminal.
TEST_F(ScopeControlTest, DrivesAnLx200MountOnTheSerialLine) {
    DriverOf(MountFamily::Lx200) = DefaultMountDriver(MountFamily::Lx200);
    MountDoubleState at;
    at.ra = 5.5;
    at.dec = -30.25;
    MountDouble mount{MountDialect::Lx200, at};
    SerialBench bench{{mount.SlavePath()}};
    preferences.word[pref::scopeDrive] = 5;
    preferences.word[pref::scopePort] = 1;
    OpenScopeControl();
    EXPECT_EQ(telescopeEmulation, 0);
    mount.ClearRecord();
    Hold(kNorth, 300);
    std::vector<std::string> commands = mount.Commands();
    const auto at_ = [&](const std::string& c) {
        for (std::size_t i = 0; i < commands.size(); ++i)
            if (commands[i] == c) return static_cast<int>(i);
        return -1;
    };
    // The stop, the last command written, may still be on its way to the mount.
    while (at_(":Qn#") < 0 && mount.WaitForCommands(commands.size() + 1)) commands = mount.Commands();
    ASSERT_GE(at_(":Mn#"), 0);
    EXPECT_GT(at_(":Qn#"), at_(":Mn#"));
    EXPECT_GT(at_(":GR#"), at_(":Mn#"));
    // The panel shows the last read of the moving mount.
    char ra[32];
    EXPECT_STREQ(scopeControl.raText, HMSToStr(ra, sizeof ra, mount.State().ra));
    Open(forms_test::kFormA);

    // A mount that answers nothing: the form runs on the emulated mount.
    mount.Script(MountScript::Silent);
    SetSerialHold(0);
    CloseSerialPort();
    meadeState.probedOpen = 0;
    ClearRecordedReports();
    OpenScopeControl();
    const std::vector<std::string> texts = ReportTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), "Activating Telescope emulation mode.\n");
    EXPECT_EQ(telescopeEmulation, 1);
}

// With an alignment the page shows how far the target lies from where the box points, and
// in emulation sets the counts moving by that difference.
TEST_F(ScopeControlTest, EncoderGuidanceMeasuresTheWayToTheTarget) {
    preferences.word[pref::scopeDrive] = 3;
    preferences.word[pref::mountType] = 1;
    preferences.word[pref::alignMethod] = 0;
    telescopeEmulation = 1;
    OpenScopeControl();
    const AlignmentModel savedModel = alignmentModel;
    alignmentModel = AlignmentModel{};
    alignmentModel.transform[0] = alignmentModel.transform[4] = alignmentModel.transform[8] = 1.0;
    alignmentModel.aligned = 1;
    struct Case {
        double dAz, dAlt;       // where the box points less where the target lies, degrees
        double shownAz;         // the azimuth difference as the page brings it
    };
    const Case cases[] = {{0, 0, 0}, {10, -5, 10}, {-30, 12, -30}, {-200, 3, 160}, {190, 0, -170}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dAz);
        encoderState.azCount = 1024;  // 45 degrees
        encoderState.altCount = 512;  // 22.5 degrees
        encoderState.azStep = encoderState.altStep = 0;
        Call([&] {
            int h, mi, s;
            GetLocalDateTime(nullptr, nullptr, nullptr, &h, &mi, &s);
            char text[16];
            std::snprintf(text, sizeof text, "%02d:%02d:%02d", h, mi, s);
            double ra = 0.0, dec = 0.0;
            double targetAz = 45.0 - c.dAz;
            if (targetAz < 0.0) targetAz += 360.0;
            if (targetAz >= 360.0) targetAz -= 360.0;
            ASSERT_EQ(MountToSky(HmsStrToDeg(text), targetAz, 22.5 - c.dAlt, &ra, &dec), 1);
            SetEncoderTarget(ra, dec);
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            DrawEncoderInfo();
            platform::ReleaseDc(formWindow, dc);
        });
        EXPECT_NEAR(encoderState.azStep, 8192 * c.shownAz / 360.0, 1.0);
        EXPECT_NEAR(encoderState.altStep, 8192 * c.dAlt / 360.0, 1.0);
    }
    alignmentModel = savedModel;
}

TEST(EncoderGuidance, AzimuthDifferenceComesIntoPlusMinus180) {
    const double cases[][2] = {{10, 10}, {180, 180}, {-180, -180}, {190, -170}, {-190, 170}, {359, -1}, {-359, 1}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(WrapAzimuthDifference(c[0]), c[1]) << c[0];
}

}  // namespace
