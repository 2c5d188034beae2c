#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/resources.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

constexpr int kFormLayout = 60101;
constexpr int kModalLayout = 60102;

const char* const kFormText = R"(dialog 60101
caption "Form"
rect 0 0 240 294
static -1 "Label" 4 30 60 14
button 1201 "Go" 10 60 50 20
edit 1202 "text" 10 90 100 40 multiline vscroll border
listview 1203 "" 10 140 100 60 hidden ownerdraw
button 1204 "Keep" 10 210 60 16 autocheckbox disabled
)";

const char* const kModalText = R"(dialog 60102
caption "Question"
rect 0 0 240 88
edit 137 "" 10 10 220 40 multiline wantreturn
button 1 "OK" 10 60 60 20 default
button 2 "Cancel" 100 60 60 20
)";

struct Seen {
    bool visibleAtInit = true;
    bool controlsAtInit = false;
    LParam param = 0;
    int formTimers = 0;
    int formPaints = 0;
    int formPens = 0;
    std::vector<std::string> commands;
    int result = -99;
} seen;

LResult FormProc(Window dlg, unsigned m, WParam, LParam lp) {
    switch (m) {
        case kMsgInitDialog:
            seen.visibleAtInit = IsWindowVisible(dlg);
            seen.controlsAtInit = GetDialogItem(dlg, 1203) != Window{};
            seen.param = lp;
            return 1;
        case kMsgTimer: ++seen.formTimers; return 1;
        case kMsgPaint:
            ++seen.formPaints;
            ValidateRect(dlg, nullptr);
            return 1;
        case kMsgPenDown: ++seen.formPens; return 1;
        default: return 0;
    }
}

LResult ModalProc(Window dlg, unsigned m, WParam wp, LParam) {
    if (m != kMsgCommand) return 0;
    seen.commands.push_back(std::to_string(LowWord(wp)));
    if (LowWord(wp) == kIdOk || LowWord(wp) == kIdCancel) EndDialog(dlg, LowWord(wp) == kIdOk ? 10 : 20);
    return 1;
}

class DialogTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        seen = Seen{};
        for (const char* text : {kFormText, kModalText}) {
            DialogLayout layout;
            std::string error;
            ASSERT_TRUE(ParseDialogLayout(text, &layout, &error)) << error;
            RegisterDialogLayout(layout);
        }
    }
    void TearDown() override {
        ForgetDialogLayout(kFormLayout);
        ForgetDialogLayout(kModalLayout);
        HeadlessFixture::TearDown();
    }
    // The form shown by the program, and a modal dialog run over it from the program's
    // own thread.
    Window ShowForm() {
        Window form;
        Call([&] { form = CreateDialog(kFormLayout, Window{}, &FormProc, 42); });
        return form;
    }
    void RunModal(Window owner) {
        Call([owner] { seen.result = DialogBox(kModalLayout, owner, &ModalProc, 0); });
    }
};

TEST_F(DialogTest, ModelessDialogIsMadeFromItsLayoutAtTheScreenScale) {
    options.scale = 2;
    Reinstall();
    const Window dlg = CreateDialog(kFormLayout, Window{}, &FormProc, 42);
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(seen.visibleAtInit);
    EXPECT_TRUE(seen.controlsAtInit);
    EXPECT_EQ(seen.param, 42);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(GetWindowText(dlg), "Form");
    EXPECT_EQ(GetWindowRect(dlg), (Rect{0, 0, 480, 588}));
    // Default processing leaves the focus on the dialog itself.
    EXPECT_EQ(GetFocus(), dlg);
    EXPECT_EQ(GetActiveWindow(), dlg);

    const Window edit = GetDialogItem(dlg, 1202);
    EXPECT_EQ(GetWindowKind(edit), WindowKind::Edit);
    EXPECT_EQ(GetWindowText(edit), "text");
    EXPECT_EQ(GetRectInParent(edit), (Rect{20, 180, 220, 260}));
    EXPECT_EQ(GetWindowStyle(edit), kStyleMultiLine | kStyleVScroll | kStyleBorder);
    const Window list = GetDialogItem(dlg, 1203);
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(GetWindowStyle(list), kStyleOwnerDraw);
    const Window keep = GetDialogItem(dlg, 1204);
    EXPECT_FALSE(IsWindowEnabled(keep));
    EXPECT_EQ(GetWindowStyle(keep), kStyleAutoCheckBox);
    EXPECT_EQ(GetWindowId(GetDialogItem(dlg, 0xFFFF)), 0xFFFF);
    EXPECT_EQ(GetWindowKind(GetDialogItem(dlg, 0xFFFF)), WindowKind::Static);
}

TEST_F(DialogTest, AMissingLayoutFailsSilently) {
    EXPECT_FALSE(CreateDialog(60999, Window{}, &FormProc, 0));
    EXPECT_EQ(DialogBox(60999, Window{}, &ModalProc, 0), -1);
    EXPECT_TRUE(TopLevelWindows().empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(DialogTest, ModalLoopKeepsTheTimersOfTheFormBeneathRunning) {
    Start();
    const Window form = ShowForm();
    Call([form] { SetTimer(form, 1, 100); });
    RunModal(form);
    ASSERT_EQ(ModalStack().size(), 1u);
    const Window dlg = ModalStack()[0];
    EXPECT_FALSE(IsWindowEnabled(form));
    EXPECT_EQ(GetActiveWindow(), dlg);
    EXPECT_EQ(GetOwner(dlg), form);
    // The form beneath cannot take the keys away from the dialog.
    EXPECT_EQ(SetFocus(form), Window{});
    EXPECT_EQ(GetFocus(), dlg);

    Advance(1000);
    EXPECT_EQ(seen.formTimers, 10);
    // The disabled form takes no pen, even where the dialog does not cover it.
    Tap({120, 200});
    EXPECT_EQ(seen.formPens, 0);

    const int paintsBefore = seen.formPaints;
    Key(kKeyReturn);
    EXPECT_EQ(seen.result, 10);
    EXPECT_TRUE(ModalStack().empty());
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_TRUE(IsWindowEnabled(form));
    EXPECT_EQ(GetActiveWindow(), form);
    EXPECT_GT(seen.formPaints, paintsBefore);  // what the dialog covered is painted again
    Tap({120, 200});
    EXPECT_EQ(seen.formPens, 1);
}

// A second modal dialog over the first, both owned by the form (as the night-mode dialog
// opened from the menu band over the date picker): the first is not disabled, yet it takes
// no pen while the second runs.
TEST_F(DialogTest, AModalDialogTakesEveryPenEventOfTheScreen) {
    Start();
    Window form;
    Call([&] { form = CreateWindow(WindowSpec{.text = "form", .rect = {0, 0, 240, 320}}); });
    Call([form] { DialogBox(kFormLayout, form, &FormProc, 0); });
    ASSERT_EQ(ModalStack().size(), 1u);
    const Window first = ModalStack()[0];
    const Point onFirst{200, 250};  // beside its controls, below the second dialog
    Tap(onFirst);
    ASSERT_EQ(seen.formPens, 1);

    RunModal(form);
    ASSERT_EQ(ModalStack().size(), 2u);
    EXPECT_TRUE(IsWindowEnabled(first));
    Tap(onFirst);
    EXPECT_EQ(seen.formPens, 1);
    EXPECT_EQ(WindowFromPoint(onFirst), Window{});
    // The second dialog's own controls take the pen.
    TapWindow(GetDialogItem(ModalStack()[1], kIdCancel));
    EXPECT_EQ(seen.result, 20);
    ASSERT_EQ(ModalStack().size(), 1u);

    Tap(onFirst);
    EXPECT_EQ(seen.formPens, 2);
    Call([first] { EndDialog(first, kIdOk); });
    EXPECT_TRUE(ModalStack().empty());
}

TEST_F(DialogTest, ReturnAndEscapeSendTheDialogsCommands) {
    struct Case {
        int key;
        bool focusOnEdit;
        std::vector<std::string> commands;
        int result;
    };
    const Case cases[] = {
        {kKeyReturn, false, {"1"}, 10},
        {kKeyEscape, false, {"2"}, 20},
        {kKeyEscape, true, {"2"}, 20},
    };
    Start();
    const Window form = ShowForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        seen.commands.clear();
        seen.result = -99;
        RunModal(form);
        ASSERT_EQ(ModalStack().size(), 1u);
        if (c.focusOnEdit) Call([] { SetFocus(GetDialogItem(ModalStack()[0], 137)); });
        Key(c.key);
        EXPECT_EQ(seen.commands, c.commands);
        EXPECT_EQ(seen.result, c.result);
    }
    // An edit that wants Return keeps it.
    RunModal(form);
    Call([] { SetFocus(GetDialogItem(ModalStack()[0], 137)); });
    seen.commands.clear();
    Key(kKeyReturn);
    EXPECT_TRUE(seen.commands.empty());
    EXPECT_EQ(ModalStack().size(), 1u);
}

TEST_F(DialogTest, QuitEndsTheModalLoopAndStaysQueuedForTheMainLoop) {
    Start();
    const Window form = ShowForm();
    RunModal(form);
    ASSERT_EQ(ModalStack().size(), 1u);
    Call([] { PostQuitMessage(5); });
    EXPECT_FALSE(headless::ProgramRunning());
    EXPECT_EQ(Stop(), 5);
    EXPECT_EQ(seen.result, kIdCancel);
}

}  // namespace
