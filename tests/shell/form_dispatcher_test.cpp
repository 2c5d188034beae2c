// Switching forms, the history behind the way back, and painting from the saved screen.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "shell/draw_primitives.h"
#include "tests/shell/forms_fixture.h"

namespace forms_test {
namespace {

using platform::Window;

class FormDispatcher : public FormsFixture {};

TEST_F(FormDispatcher, GotoFromACommandClosesTheOldFormBeforeTheNewOneStarts) {
    Scripts()[kFormA].onCommand = [](Window, int cmd) {
        if (cmd == kGo) GotoForm(kFormB);
    };
    Open(kFormA);
    const Window a = formWindow;
    ASSERT_TRUE(platform::IsWindow(a));
    EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther}));

    Log().clear();
    TapWindow(Item(kGo));
    // The handler returns before the next form exists; the old one is wholly gone by then.
    EXPECT_EQ(Log(), (std::vector<std::string>{"cmd 60201 60211", "close 60201", "destroy 60201", "closed 60201",
                                               "cmd done 60201 60211", "init 60202"}));
    EXPECT_FALSE(platform::IsWindow(a));
    EXPECT_TRUE(platform::IsWindow(formWindow));
    EXPECT_EQ(GetActiveForm(), formWindow);
    EXPECT_EQ(GetCurrentFormId(), kFormB);
    EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther}));
    EXPECT_TRUE(Texts().empty());
}

TEST_F(FormDispatcher, RefusedFormsCreateNothing) {
    struct Case {
        int id;
        const char* text;
        bool askingFormStays;
    };
    // 2400 needs a scope drive (none chosen) and 2300 is not done: the old form has closed
    // when they are refused. 1200 is a form whose procedure is not built yet and 4242 no
    // form at all: the form that asked for them stays on the screen, and stays current.
    for (const Case& c : {Case{2400, "No Scope Drive Selected\n", false}, Case{2300, "MonitorForm not done\n", false},
                          Case{1200, "Unkown form call\n", true}, Case{4242, "Unkown form call\n", true}}) {
        SCOPED_TRACE(c.id);
        Open(kFormA);
        const Window asking = formWindow;
        ASSERT_TRUE(platform::IsWindow(asking));
        const std::size_t windows = platform::TopLevelWindows().size();
        platform::ClearShownBoxes();
        Log().clear();
        Open(c.id);
        EXPECT_EQ(Texts(), std::vector<std::string>{c.text});
        if (c.askingFormStays) {
            EXPECT_EQ(Count("closed 60201"), 0);
            EXPECT_EQ(formWindow, asking);
            EXPECT_TRUE(platform::IsWindowVisible(asking));
            EXPECT_EQ(platform::TopLevelWindows().size(), windows);
            EXPECT_EQ(GetCurrentFormId(), kFormA);
        } else {
            EXPECT_EQ(Count("closed 60201"), 1);
            EXPECT_FALSE(platform::IsWindow(formWindow));
            EXPECT_EQ(platform::TopLevelWindows().size(), windows - 1);
            EXPECT_EQ(GetCurrentFormId(), c.id);
        }
    }
}

TEST_F(FormDispatcher, AScopeDriveLetsTheScopeFormThrough) {
    preferences.word[pref::scopeDrive] = 5;
    Open(2400);
    // Its procedure is not built yet: the table answers for it.
    EXPECT_EQ(Texts(), std::vector<std::string>{"Unkown form call\n"});
}

TEST_F(FormDispatcher, LeftoverControlsAreReportedOnceAndForgotten) {
    FormScript& a = Scripts()[kFormA];
    a.titleId = -1;
    a.buttons = {};
    a.release = {};
    Open(kFormA);
    // Two controls the form makes and never releases.
    Call([] {
        RegisterControl(5089);
        RegisterControl(5146);
    });
    Open(kFormB);
    EXPECT_EQ(Texts(), std::vector<std::string>{"5089 5146 \n"});
    Open(kFormC);
    EXPECT_EQ(Texts().size(), 1u);
}

TEST_F(FormDispatcher, ATitleOverAFormLeftOpenClosesThatFormFirst) {
    Open(kFormA);
    const Window a = formWindow;
    Log().clear();
    // A second form made without the switch protocol: the first was never told to close.
    Call([] { ShowForm(kFormB); });
    EXPECT_EQ(Texts().front(), "InitTitle Close Dialog\n");
    EXPECT_FALSE(platform::IsWindow(a));
    EXPECT_EQ(Count("close 60201"), 0) << "its close function is not run";
    // Its controls were never released: CloseForm reports them, and they are forgotten.
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[1], "8001 60211 60212 60213 \n");
    EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther}));
}

std::array<int, 7> Slots() {
    std::array<int, 7> s{};
    for (int i = 0; i < 7; ++i) s[i] = formHistory.slots[i];
    return s;
}

TEST_F(FormDispatcher, HistoryPushesAndGoingBack) {
    Call([] {
        for (int id : {1950, 1800, 112, 2530}) PushFormHistory(id);
    });
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 1950, 1950, 1950, 1800, 112, 2530}));
    EXPECT_EQ(GetPreviousForm(), 112);
    EXPECT_EQ(preferences.word[pref::lastPushedForm], 2530);

    Call([] { PushFormHistory(1800); });
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 1950, 1950, 1950, 1800, 112, 2530})) << "already held";

    Call([] { GoBackForm(); });
    EXPECT_EQ(ShownIds(), std::vector<int>{112});
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 1950, 1950, 1950, 1950, 1800, 112}));

    Call([] { DropFormHistory(); });
    EXPECT_EQ(ShownIds(), std::vector<int>{112}) << "dropping opens nothing";
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 1950, 1950, 1950, 1950, 1950, 1800}));

    Call([] { PushFormHistory(1950); });
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 1950, 1950, 1950, 1950, 1950, 1950}));
}

TEST_F(FormDispatcher, EightPushesKeepTheHomeFormInTheOldestSlot) {
    Call([] {
        for (int id : {101, 102, 103, 104, 105, 106, 107, 108}) PushFormHistory(id);
    });
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 103, 104, 105, 106, 107, 108}));
}

TEST_F(FormDispatcher, BackFromAnEmptyHistoryOpensTheHomeForm) {
    Call([] { GoBackForm(); });
    EXPECT_EQ(ShownIds(), std::vector<int>{1950});
    EXPECT_EQ(Slots(), (std::array<int, 7>{1950, 1950, 1950, 1950, 1950, 1950, 1950}));
}

// A picture of stripes, so that a restore that is off by a pixel shows.
int drawCalls = 0;
void DrawStripes() {
    ++drawCalls;
    const Window w = drawState.window;
    const platform::Rect rc = platform::GetClientRect(w);
    for (int y = 30; y < rc.bottom; y += 3) {
        platform::GfxObject brush = platform::MakeBrush(platform::Rgb((y * 7) & 255, 40, (y * 3) & 255));
        platform::FillRect(drawState.dc, platform::Rect{0, y, rc.right, y + 2}, brush);
        platform::DeleteObject(brush);
    }
}

std::vector<std::uint16_t> Capture(Window w) {
    std::vector<std::uint16_t> out;
    const platform::Surface* s = platform::WindowSurface(w);
    const platform::Point o = platform::WindowOrigin(w);
    const platform::Rect rc = platform::GetClientRect(w);
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x) out.push_back(s->Row(y + o.y)[x + o.x]);
    return out;
}

TEST_F(FormDispatcher, PaintFormDrawsOnceThenRestoresTheSavedScreenExactly) {
    FormScript& a = Scripts()[kFormA];
    a.draw = &DrawStripes;
    a.buttons = {};
    a.release = {kTitle};
    drawCalls = 0;
    Open(kFormA);
    const Window form = formWindow;
    EXPECT_EQ(drawCalls, 1);
    EXPECT_EQ(*FormRedrawFlag(kFormA), 0);
    ASSERT_NE(offscreenSaved, nullptr);
    EXPECT_EQ(platform::GetFocus(), form);
    const std::vector<std::uint16_t> painted = Capture(form);

    // Spoil the window, then let it repaint: from the saved screen, not by drawing again.
    Call([form] {
        const platform::Dc dc = platform::GetWindowDc(form);
        platform::GfxObject brush = platform::MakeBrush(platform::Rgb(0, 255, 0));
        platform::FillRect(dc, platform::GetClientRect(form), brush);
        platform::DeleteObject(brush);
        platform::ReleaseDc(form, dc);
        platform::InvalidateRect(form, nullptr, false);
    });
    EXPECT_EQ(drawCalls, 1);
    EXPECT_EQ(Capture(form), painted);
}

TEST_F(FormDispatcher, FittingAtEveryActivationNeverGrowsTheForm) {
    Open(kFormA);
    const platform::Rect first = platform::GetWindowRect(formWindow);
    EXPECT_EQ(first, (platform::Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()}));
    Call([] {
        for (int i = 0; i < 3; ++i) {
            platform::SendMessage(formWindow, platform::kMsgActivate, platform::kActive, 0);
            FitFormToClient(formWindow);
        }
    });
    EXPECT_EQ(platform::GetWindowRect(formWindow), first);
}

TEST_F(FormDispatcher, DisplayResetReopensTheCurrentForm) {
    Open(kFormA);
    Log().clear();
    Call([] { HandleFormSettingChange(formWindow, platform::kSettingDisplayReset, 0); });
    EXPECT_EQ(Count("closed 60201"), 1);
    EXPECT_EQ(Count("init 60201"), 1);
    EXPECT_EQ(GetCurrentFormId(), kFormA);
}

TEST_F(FormDispatcher, CheckBoxesReadIndeterminateAsUnchecked) {
    Open(kFormA);
    Call([] {
        const Window form = formWindow;
        EXPECT_EQ(GetCheck(form, kCheck), 0);
        SetCheck(form, kCheck, 7);
        EXPECT_EQ(GetCheck(form, kCheck), 1);
        platform::SendMessage(Item(kCheck), platform::kMsgSetCheck, static_cast<platform::WParam>(platform::kIndeterminate), 0);
        EXPECT_EQ(GetCheck(form, kCheck), 0);
        SetCheck(form, kCheck, 0);
        EXPECT_EQ(platform::SendMessage(Item(kCheck), platform::kMsgGetCheck, 0, 0), platform::kUnchecked);
        EXPECT_EQ(GetFormControl(form, kCheck), Item(kCheck));
        EXPECT_EQ(GetObjectIndex(form, kCheck), kCheck);
    });
}

}  // namespace
}  // namespace forms_test
