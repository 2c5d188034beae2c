#include "platform/dialog.h"
#include "app/main_window.h"
#include "shell/night_mode_dialog.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "catalog/selection_list.h"
#include "planets/planets_services.h"
#include "platform/instance.h"
#include "platform/power.h"
#include "platform/resources.h"
#include "platform/system_colors.h"
#include "shell/colour_scheme.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "shell/power_thread.h"
#include "core/settings.h"
#include "app/startup_data.h"
#include "catalog/chart_buffers.h"
#include "catalog/descriptions.h"
#include "catalog/star_tables.h"
#include "core/startup_alloc.h"
#include "eclipses/eclipses_services.h"
#include "shell/scratch_text.h"
#include "support/headless_fixture.h"
#include "shell/commands.h"

namespace fs = std::filesystem;
using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;

namespace {

// A form of the tests' own, shown through the dispatcher like any other.
constexpr int kTestForm = 60050;

// What the test form saw when it was told to close.
struct CloseSnapshot {
    bool closed = false;
    bool txtBuffer = false;
    bool selectionList = false;
    bool schemeBrush = false;
    bool powerThread = false;
};
CloseSnapshot atClose;

LResult TestFormProc(Window w, unsigned message, WParam wParam, LParam) {
    if (message == platform::kMsgInitDialog) {
        formWindow = w;
        return 1;
    }
    if (message == platform::kMsgCommand && platform::LowWord(wParam) == kCmdCloseForm) {
        atClose = {true, txtBuffer != nullptr, selectionList.records != nullptr, static_cast<bool>(GetBackBrush()),
                   powerNotify.thread.joinable()};
        CloseForm(kTestForm);
        return 1;
    }
    return 0;
}

// Counts the commands that reach the main window, then hands them on.
std::atomic<int> resumeNotices{0};
std::atomic<int> otherCommands{0};
LResult CommandSpy(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (message == platform::kMsgCommand) {
        if (platform::LowWord(wParam) == kCmdResume && lParam == 0) {
            ++resumeNotices;
        } else {
            ++otherCommands;
        }
    }
    return platform::CallWindowProc(platform::GetPreviousWindowProc(w), w, message, wParam, lParam);
}

int ThreadCount() {
    int n = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/task")) ++n;
    return n;
}

class MainWindowTest : public HeadlessFixture {
protected:
    void SetUp() override {
        // The instance lock and socket live in a short private folder of the test.
        char pattern[] = "/tmp/vkrt-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runtime = pattern;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        options.scale = 2;
        HeadlessFixture::SetUp();
        ASSERT_TRUE(platform::LoadResources());
        platform::ResetSystemColors();
        platform::DialogLayout layout;
        layout.id = kTestForm;
        platform::RegisterDialogLayout(layout);
        SetFormDialogProc(kTestForm, TestFormProc);
        atClose = {};
        resumeNotices = 0;
        otherCommands = 0;
    }
    void TearDown() override {
        HeadlessFixture::TearDown();
        if (homeStandIn) SetFormDialogProc(kHomeFormId, realHome);
        if (ownHomeLayout) platform::ForgetDialogLayout(kHomeFormId);
        SetFormDialogProc(kTestForm, nullptr);
        platform::ForgetDialogLayout(kTestForm);
        platform::ResetSystemColors();
        ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        fs::remove_all(runtime, ec);
    }

    // The test form takes the home form's place, so that what a start shows does not
    // depend on what the real home form does at its first paint.
    void StandInForHome() {
        realHome = SetFormDialogProc(kHomeFormId, TestFormProc);
        homeStandIn = true;
        if (!platform::FindDialogLayout(kHomeFormId)) {
            platform::DialogLayout layout;
            layout.id = kHomeFormId;
            platform::RegisterDialogLayout(layout);
            ownHomeLayout = true;
        }
    }

public:
    void StartVelkarion() {
        Start([] { return RunVelkarion(); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_TRUE(platform::IsWindow(mainWindow));
    }
    void PostCommand(std::uint16_t command) {
        Call([command] { platform::PostMessage(mainWindow, platform::kMsgCommand, command, 0); });
    }
    std::vector<std::string> BoxTextsFrom(std::size_t first) const {
        std::vector<std::string> out;
        for (std::size_t i = first; i < Boxes().size(); ++i) out.push_back(Boxes()[i].text);
        return out;
    }
protected:
    void ExpectRunEndedCleanly() {
        EXPECT_FALSE(platform::headless::ProgramRunning());
        EXPECT_EQ(Stop(), 0);
        EXPECT_FALSE(powerNotify.thread.joinable());
        EXPECT_EQ(powerNotify.stopEvent, nullptr);
        EXPECT_EQ(txtBuffer, nullptr);
        EXPECT_TRUE(platform::TopLevelWindows().empty());
    }

    fs::path runtime;
    platform::DialogProc realHome = nullptr;
    bool homeStandIn = false;
    bool ownHomeLayout = false;
};

TEST_F(MainWindowTest, ASecondStartEndsAtOnceWithoutAWindow) {
    platform::InstanceClaim first;
    ASSERT_TRUE(platform::ClaimSingleInstance(first, ProgramInstanceName(), home));

    Start([] { return RunVelkarion(); });
    EXPECT_FALSE(RunUntilIdle());
    EXPECT_EQ(Stop(), 0);
    EXPECT_TRUE(platform::TopLevelWindows().empty());
    EXPECT_FALSE(powerNotify.thread.joinable());
    EXPECT_EQ(txtBuffer, nullptr);
    EXPECT_TRUE(Boxes().empty());

    // Once the other copy is gone the program starts: the scaled main window, the power
    // thread, the start-up data and the home form.
    platform::ReleaseInstance(first);
    StandInForHome();
    StartVelkarion();
    EXPECT_EQ(platform::GetWindowRect(mainWindow), (platform::Rect{0, 0, 480, 640}));
    EXPECT_TRUE(platform::IsWindowVisible(mainWindow));
    EXPECT_TRUE(powerNotify.thread.joinable());
    EXPECT_NE(txtBuffer, nullptr);
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_TRUE(platform::IsWindow(formWindow));
    EXPECT_EQ(platform::GetOwner(formWindow), mainWindow);
}

TEST_F(MainWindowTest, CtrlQClosesTheFormFirstAndShutsDownInOrder) {
    StartVelkarion();
    const platform::Color dayText = platform::SystemColor(platform::kColorWindowText);
    Call([] {
        GotoForm(kTestForm);
        preferences.word[pref::nightMode] = 1;
        SetNightColours(1);
        SelectionRecord& r = selectionList.records[0];
        std::strcpy(r.label, "M31");
        r.objectNumber = 224;
        selectionList.recordCount = 1;
        selectionList.indexCount = 1;
    });
    ASSERT_TRUE(platform::IsWindow(formWindow));
    ASSERT_NE(platform::SystemColor(platform::kColorWindowText), dayText);
    ClearShellCalls();

    Key('Q', true);

    // The form closed while everything it could use was still there.
    EXPECT_TRUE(atClose.closed);
    EXPECT_TRUE(atClose.txtBuffer);
    EXPECT_TRUE(atClose.selectionList);
    EXPECT_TRUE(atClose.schemeBrush);
    EXPECT_TRUE(atClose.powerThread);
    // Then the thread was joined, the last list saved, the day colours restored and the
    // loop ended with 0.
    ExpectRunEndedCleanly();
    const fs::path lastList = home / "userlists" / "last_list.lst";
    ASSERT_TRUE(fs::exists(lastList));
    EXPECT_EQ(fs::file_size(lastList), 68u + 76u);
    EXPECT_EQ(platform::SystemColor(platform::kColorWindowText), dayText);
    bool leftFullScreen = false;
    for (const ShellCallRecord& call : ShellCalls())
        leftFullScreen |= call.call == ShellCall::FullScreen && call.value == static_cast<int>(kShellLeaveFullScreen);
    EXPECT_TRUE(leftFullScreen);
}

TEST_F(MainWindowTest, EveryWayOfQuittingEndsTheRunCleanly) {
    struct Way {
        const char* name;
        void (*quit)(MainWindowTest&);
    } ways[] = {
        {"Quit menu command", [](MainWindowTest& t) { t.PostCommand(1035); }},
        {"close box", [](MainWindowTest&) { platform::headless::RequestClose(); }},
        // A quit that does not come through the window: the run still ends the orderly way.
        {"quit from outside", [](MainWindowTest&) { platform::headless::StopProgram(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        atClose = {};
        StartVelkarion();
        Call([] { GotoForm(kTestForm); });
        ASSERT_TRUE(platform::IsWindow(formWindow));
        way.quit(*this);
        EXPECT_TRUE(atClose.closed && atClose.txtBuffer);
        ExpectRunEndedCleanly();
    }
}

TEST_F(MainWindowTest, AResumePostsTheNoticeAndChangesNothing) {
    StartVelkarion();
    Call([] { GotoForm(kTestForm); });
    Call([] { platform::SetWindowProc(mainWindow, CommandSpy); });
    const Window form = formWindow;
    const int formId = GetCurrentFormId();
    const std::size_t boxes = Boxes().size();
    const std::vector<Window> windows = platform::TopLevelWindows();

    // The thread makes its queue when it starts; notices before that are lost, so ask again.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (resumeNotices == 0 && std::chrono::steady_clock::now() < until) {
        platform::InjectResume();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        RunUntilIdle();
    }
    EXPECT_GT(resumeNotices.load(), 0);
    EXPECT_EQ(otherCommands.load(), 0);
    EXPECT_EQ(GetCurrentFormId(), formId);
    EXPECT_EQ(Boxes().size(), boxes);
    EXPECT_EQ(platform::TopLevelWindows(), windows);
    EXPECT_EQ(formWindow, form);
    EXPECT_FALSE(atClose.closed);
}

TEST_F(MainWindowTest, ThePowerThreadPostsToTheWindowItWasGiven) {
    // No program runs: the main window global stays null, the thread needs only its window.
    const Window target = platform::CreateWindow(platform::WindowSpec{.text = "target", .rect = {0, 0, 10, 10}});
    platform::SetWindowProc(target, CommandSpy);
    ASSERT_TRUE(StartPowerNotify(target));
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (resumeNotices == 0 && std::chrono::steady_clock::now() < until) {
        platform::InjectPowerNotice(platform::PowerNotice{platform::kPowerTransition, 0});
        platform::InjectResume();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        RunUntilIdle();
    }
    StopPowerNotify();
    EXPECT_GT(resumeNotices.load(), 0);
    EXPECT_EQ(otherCommands.load(), 0) << "only resumes are passed on";
    EXPECT_FALSE(powerNotify.thread.joinable());
    EXPECT_EQ(powerNotify.stopEvent, nullptr);
    StopPowerNotify();  // twice is harmless
}

TEST_F(MainWindowTest, RepaintsAndFormSwitchesStartNoFurtherThread) {
    StartVelkarion();
    const std::thread::id thread = powerNotify.thread.get_id();
    const platform::Event* event = powerNotify.stopEvent;
    const int threads = ThreadCount();
    for (int i = 0; i < 3; ++i) {
        Call([] { platform::InvalidateRect(mainWindow, nullptr, true); });
        Call([] { GotoForm(kTestForm); });
        Call([] { GotoForm(2300); });
    }
    EXPECT_EQ(powerNotify.thread.get_id(), thread);
    EXPECT_EQ(powerNotify.stopEvent, event);
    EXPECT_EQ(ThreadCount(), threads);
}

TEST_F(MainWindowTest, MenuCommandsOpenTheirForms) {
    StartVelkarion();
    struct Case {
        std::uint16_t command;
        int form;
        int planetMode;  // -1: not a planet view command
    } cases[] = {
        {1001, 1400, -1}, {1002, 1200, -1}, {1003, 1900, -1}, {1004, 1800, -1}, {1005, 1300, -1},
        {1006, 2100, -1}, {1007, 112, -1},  {1008, 6000, -1}, {1009, 2460, 0},  {1010, 2460, 1},
        {1011, 1950, -1}, {1012, 2200, -1}, {1013, 2400, -1}, {1014, 2350, -1}, {1017, 2450, -1},
        {1019, 2470, -1}, {1020, 1550, -1}, {1022, 2410, -1}, {1023, 2600, -1}, {1024, 2423, -1},
        {1025, 5200, -1}, {1026, 5300, -1}, {1027, 2460, 2},  {1028, 2550, -1}, {1029, 2700, -1},
        {1032, 2800, -1}, {40015, 2830, -1},
    };
    ASSERT_NE(preferences.word[pref::scopeDrive], 0) << "the defaults choose a drive";
    // A form not built yet is not switched to (AFormNotBuiltYetLeavesTheAskingFormShown):
    // the test form stands in for those.
    std::vector<int> standIns;
    for (const Case& c : cases) {
        if (GetFormDialogProc(c.form)) continue;
        SetFormDialogProc(c.form, TestFormProc);
        standIns.push_back(c.form);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        Call([] { SetCurrentFormId(0); });
        PostCommand(c.command);
        EXPECT_EQ(GetCurrentFormId(), c.form);
        if (c.planetMode >= 0) {
            EXPECT_EQ(planetView.mode, c.planetMode);
        }
    }
    for (int form : standIns) SetFormDialogProc(form, nullptr);
}

TEST_F(MainWindowTest, AFormNotBuiltYetLeavesTheAskingFormShown) {
    StartVelkarion();
    Call([] { GotoForm(kTestForm); });
    const Window form = formWindow;
    ASSERT_TRUE(platform::IsWindow(form));
    // Every form of the menu is built now: the planet assistant stands in for one that is not.
    const auto planetAssistant = GetFormDialogProc(2450);
    SetFormDialogProc(2450, nullptr);
    const std::size_t boxes = Boxes().size();

    PostCommand(1017);  // Planets, from the menu
    SetFormDialogProc(2450, planetAssistant);
    EXPECT_EQ(BoxTextsFrom(boxes), std::vector<std::string>{"Unkown form call\n"});
    EXPECT_EQ(formWindow, form);
    EXPECT_TRUE(platform::IsWindowVisible(form));
    EXPECT_FALSE(atClose.closed);
    EXPECT_EQ(GetCurrentFormId(), kTestForm);
}

TEST_F(MainWindowTest, CommandsThatOpenNoForm) {
    StartVelkarion();
    Call([] { SetCurrentFormId(4321); });

    std::size_t boxes = Boxes().size();
    PostCommand(1037);
    ASSERT_EQ(Boxes().size(), boxes + 1);
    EXPECT_EQ(Boxes().back().caption, "Not Done");
    EXPECT_EQ(Boxes().back().text, "VelkarionSetDateTime");

    Call([] { preferences.word[pref::scopeDrive] = 0; });
    boxes = Boxes().size();
    PostCommand(1013);
    EXPECT_EQ(BoxTextsFrom(boxes), std::vector<std::string>{"Please chose a Telescope Drive in Preference 1/6.\n"});

    // The resume notice and commands nobody knows change nothing.
    boxes = Boxes().size();
    PostCommand(kCmdResume);
    PostCommand(4242);
    EXPECT_EQ(Boxes().size(), boxes);
    EXPECT_EQ(GetCurrentFormId(), 4321);
    EXPECT_TRUE(platform::IsWindow(mainWindow));
}

TEST_F(MainWindowTest, TheNightModeCommandOpensItsDialog) {
    StartVelkarion();
    PostCommand(1036);
    const std::vector<platform::Window> modal = platform::ModalStack();
    ASSERT_EQ(modal.size(), 1u);
    EXPECT_TRUE(platform::GetDialogItem(modal.back(), kNightModeLevel3));
    Key(platform::kKeyEscape);
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_TRUE(platform::IsWindow(mainWindow));
}

// Quitting with the night-mode dialog open ends the dialog with its form: no box of the
// dialog's control ids at the end.
TEST_F(MainWindowTest, QuittingWithTheNightModeDialogOpenEndsItWithItsForm) {
    struct Way {
        const char* name;
        void (*quit)();
    } ways[] = {
        {"Ctrl+Q", [] { platform::headless::KeyPress('Q', true); }},
        {"close box", [] { platform::headless::RequestClose(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        atClose = {};
        StartVelkarion();
        Call([] { GotoForm(kTestForm); });
        PostCommand(1036);
        ASSERT_EQ(platform::ModalStack().size(), 1u);
        const std::size_t boxes = Boxes().size();
        way.quit();
        EXPECT_TRUE(BoxTextsFrom(boxes).empty());
        EXPECT_TRUE(atClose.closed);
        ExpectRunEndedCleanly();
    }
}

TEST_F(MainWindowTest, AStrokeOnTheBareWindowOpensTheHomeFormOnce) {
    StandInForHome();
    StartVelkarion();
    Call([] { GotoForm(2300); });  // no form left on the screen
    ASSERT_EQ(platform::TopLevelWindows(), std::vector<Window>{mainWindow});
    Call([] { SetCurrentFormId(0); });
    const std::size_t boxes = Boxes().size();

    // A tap: down and up reach the window before the form exists; one form comes of it.
    Tap(Middle(mainWindow));
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_EQ(platform::TopLevelWindows().size(), 2u);
    EXPECT_TRUE(BoxTextsFrom(boxes).empty());

    // The form opened by the pen going down covers the window: the rest of the stroke,
    // still sent to the window, is not on the bare window any more.
    Call([] { GotoForm(2300); });
    Call([] { SetCurrentFormId(0); });
    ASSERT_EQ(platform::TopLevelWindows(), std::vector<Window>{mainWindow});
    const std::size_t strokeBoxes = Boxes().size();
    platform::headless::PenDown(Middle(mainWindow));
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    const std::vector<Window> shown = platform::TopLevelWindows();
    EXPECT_EQ(shown.size(), 2u);
    for (int i = 1; i <= 3; ++i) {
        Advance(20);
        platform::headless::PenMove(platform::Point{40 * i, 50 * i});
    }
    platform::headless::PenUp(platform::Point{120, 150});
    EXPECT_EQ(platform::TopLevelWindows(), shown) << "the same home form stays";
    EXPECT_TRUE(BoxTextsFrom(strokeBoxes).empty());
}

}  // namespace
