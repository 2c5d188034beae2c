// The standard controls of dialogs and the layer's own message box.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/headless.h"
#include "platform/message_box_window.h"
#include "platform/resources.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

constexpr int kLayout = 60301;
const char* const kLayoutText = R"(dialog 60301
rect 0 0 240 300
button 11 "Push" 10 10 60 20
button 12 "Box" 10 40 80 16 autocheckbox
button 13 "One" 10 60 80 16 radio
button 14 "Two" 10 80 80 16 radio
static 15 "Label" 10 100 100 14
edit 16 "abc" 10 120 100 18 border
edit 17 "" 10 150 100 60 multiline wantreturn
edit 18 "" 10 220 100 30 multiline
button 19 "Off" 150 10 60 20 disabled
)";

struct Seen {
    std::vector<std::pair<int, Window>> commands;
    int pens = 0;
    int timers = 0;
    std::vector<unsigned> timerIds;
} seen;

LResult Proc(Window, unsigned m, WParam wp, LParam lp) {
    switch (m) {
        case kMsgCommand: seen.commands.push_back({LowWord(wp), WindowFromParam(lp)}); return 1;
        case kMsgPenDown: ++seen.pens; return 1;
        case kMsgTimer:
            ++seen.timers;
            seen.timerIds.push_back(static_cast<unsigned>(wp));
            return 1;
        default: return 0;
    }
}

class StandardControls : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        seen = Seen{};
        DialogLayout layout;
        std::string error;
        ASSERT_TRUE(ParseDialogLayout(kLayoutText, &layout, &error)) << error;
        RegisterDialogLayout(layout);
        Start();
        Call([this] { dialog = CreateDialog(kLayout, Window{}, &Proc, 0); });
        ASSERT_TRUE(IsWindow(dialog));
    }
    void TearDown() override {
        ForgetDialogLayout(kLayout);
        SetBoxPresenter(nullptr);
        HeadlessFixture::TearDown();
    }
    Window Item(int id) const { return GetDialogItem(dialog, static_cast<std::uint16_t>(id)); }
    static Point At(Window w, int x) {
        const Rect r = GetWindowRect(w);
        return Point{r.left + x, (r.top + r.bottom) / 2};
    }
    std::vector<int> Ids() const {
        std::vector<int> out;
        for (auto& c : seen.commands) out.push_back(c.first);
        return out;
    }
    LResult Check(int id) { return SendMessage(Item(id), kMsgGetCheck, 0, 0); }
    Window dialog;
};

TEST_F(StandardControls, PushButtonClicksOnlyWhenLiftedInside) {
    const Window push = Item(11);
    TapWindow(push);
    ASSERT_EQ(seen.commands.size(), 1u);
    EXPECT_EQ(seen.commands[0], (std::pair<int, Window>{11, push}));

    headless::PenDown(Middle(push));
    EXPECT_TRUE(ButtonIsPressed(push));
    headless::PenMove(Point{200, 200});
    EXPECT_FALSE(ButtonIsPressed(push));
    headless::PenUp(Point{200, 200});
    EXPECT_EQ(seen.commands.size(), 1u);

    TapWindow(Item(19));  // disabled
    EXPECT_EQ(seen.commands.size(), 1u);

    Call([&] { SetFocus(push); });
    Key(kKeySpace);
    EXPECT_EQ(Ids(), (std::vector<int>{11, 11}));
}

TEST_F(StandardControls, CheckBoxesHoldThreeStatesAndAClickToggles) {
    for (LResult state : {kChecked, kIndeterminate, kUnchecked, LResult{9}}) {
        Call([&] { SendMessage(Item(12), kMsgSetCheck, static_cast<WParam>(state), 0); });
        EXPECT_EQ(Check(12), state == 9 ? kIndeterminate : state);
    }
    TapWindow(Item(12));
    EXPECT_EQ(Check(12), kUnchecked) << "indeterminate, then clicked";
    TapWindow(Item(12));
    EXPECT_EQ(Check(12), kChecked);
    TapWindow(Item(12));
    EXPECT_EQ(Check(12), kUnchecked);
    EXPECT_EQ(Ids(), (std::vector<int>{12, 12, 12}));

    TapWindow(Item(13));
    TapWindow(Item(14));
    EXPECT_EQ(Check(13), kUnchecked);
    EXPECT_EQ(Check(14), kChecked);
    TapWindow(Item(14));
    EXPECT_EQ(Check(14), kChecked) << "a radio button stays checked";
}

TEST_F(StandardControls, StaticTextLetsThePenThrough) {
    TapWindow(Item(15));
    EXPECT_EQ(seen.pens, 1);
}

TEST_F(StandardControls, EditTypingAndCaretKeys) {
    const Window edit = Item(16);
    TapWindow(edit);  // the pen right of the text puts the caret at the end
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetEditCaret(edit), 3u);
    Type("de");
    EXPECT_EQ(GetWindowText(edit), "abcde");
    struct Step {
        int key;
        const char* text;
        std::size_t caret;
    };
    for (const Step& s : {Step{kKeyHome, "abcde", 0}, Step{kKeyDelete, "bcde", 0}, Step{kKeyRight, "bcde", 1},
                          Step{kKeyBack, "cde", 0}, Step{kKeyBack, "cde", 0}, Step{kKeyEnd, "cde", 3},
                          Step{kKeyLeft, "cde", 2}, Step{kKeyDelete, "cd", 2}, Step{kKeyReturn, "cd", 2}}) {
        Key(s.key);
        EXPECT_EQ(GetWindowText(edit), s.text) << s.key;
        EXPECT_EQ(GetEditCaret(edit), s.caret) << s.key;
    }
    // The pen at the left edge puts the caret before the first character.
    Tap(At(edit, 1));
    EXPECT_EQ(GetEditCaret(edit), 0u);
    Type("x");
    EXPECT_EQ(GetWindowText(edit), "xcd");
}

TEST_F(StandardControls, MultiLineEditsWrapAndTakeReturnWhenAsked) {
    const Window multi = Item(17);
    TapWindow(multi);
    Type("the quick brown fox jumps over the lazy dog");
    EXPECT_GT(EditLineCount(multi), 2);
    Key(kKeyReturn);
    Type("end");
    EXPECT_EQ(GetWindowText(multi), "the quick brown fox jumps over the lazy dog\nend");
    const std::size_t end = GetEditCaret(multi);
    Key(kKeyUp);
    EXPECT_LT(GetEditCaret(multi), end);
    Key(kKeyDown);
    EXPECT_EQ(GetEditCaret(multi), end);

    // Without the wantreturn style Return is not typed.
    TapWindow(Item(18));
    Type("a");
    Key(kKeyReturn);
    EXPECT_EQ(GetWindowText(Item(18)), "a");

    // A long text scrolls so that the caret stays in view.
    Call([&] { SetWindowText(multi, std::string(400, 'w')); });
    EXPECT_GT(EditFirstLine(multi), 0);
}

TEST_F(StandardControls, TheCaretBlinksWithoutTouchingTheProgramsTimers) {
    const Window edit = Item(16);
    Call([&] { SetTimer(dialog, 7, 300); });
    TapWindow(edit);
    EXPECT_TRUE(EditCaretShown(edit));
    Advance(kCaretBlinkMs + 10);
    EXPECT_FALSE(EditCaretShown(edit));
    Advance(kCaretBlinkMs);
    EXPECT_TRUE(EditCaretShown(edit));
    seen.timers = 0;
    seen.timerIds.clear();
    Advance(3000);
    EXPECT_EQ(seen.timers, 10);
    for (unsigned id : seen.timerIds) EXPECT_EQ(id, 7u);

    // Away from the box, the caret goes and stays gone.
    Call([&] { SetFocus(Item(11)); });
    EXPECT_FALSE(EditCaretShown(edit));
    Advance(2000);
    EXPECT_FALSE(EditCaretShown(edit));
}

class BoxWindow : public StandardControls {
protected:
    int Show(BoxButtons buttons) {
        result = -1;
        Call([this, buttons] { result = PresentMessageBox(dialog, "Line one\nLine two", "Caption", buttons); });
        return static_cast<int>(ModalStack().size());
    }
    Window Box() const { return ModalStack().empty() ? Window{} : ModalStack()[0]; }
    int result = -1;
};

TEST_F(BoxWindow, AnswersByButtonKeyAndAnyOtherWayIsCancel) {
    ASSERT_EQ(Show(BoxButtons::YesNo), 1);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    EXPECT_EQ(GetWindowText(Box()), "Caption");
    EXPECT_FALSE(GetDialogItem(Box(), kIdOk));
    TapWindow(GetDialogItem(Box(), kIdNo));
    EXPECT_EQ(result, kIdNo);
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(GetActiveWindow(), dialog);

    ASSERT_EQ(Show(BoxButtons::YesNo), 1);
    Key(kKeyReturn);
    EXPECT_EQ(result, kIdYes);

    ASSERT_EQ(Show(BoxButtons::YesNo), 1);
    Call([this] { DestroyWindow(Box()); });
    EXPECT_EQ(result, kIdCancel);

    ASSERT_EQ(Show(BoxButtons::Ok), 1);
    EXPECT_FALSE(GetDialogItem(Box(), kIdNo));
    TapWindow(GetDialogItem(Box(), kIdOk));
    EXPECT_EQ(result, kIdOk);
}

TEST_F(BoxWindow, InstalledItShowsEveryMessageBoxAndTheRecordKeepsTheAnswer) {
    InstallMessageBoxWindow();
    Call([this] { result = MessageBox(dialog, "Sure?", "Information", BoxButtons::YesNo); });
    ASSERT_EQ(ModalStack().size(), 1u);
    Key(kKeyEscape);
    EXPECT_EQ(result, kIdCancel);
    ASSERT_EQ(ShownBoxes().size(), 1u);
    EXPECT_EQ(ShownBoxes()[0].text, "Sure?");
    EXPECT_EQ(ShownBoxes()[0].answer, kIdCancel);
}

}  // namespace
