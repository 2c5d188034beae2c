// Reports and their queue, questions, the text input and the busy indicator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/message_box_window.h"
#include "shell/busy_indicator.h"
#include "shell/text_input.h"
#include "tests/shell/forms_fixture.h"

namespace forms_test {
namespace {

using platform::BoxButtons;
using platform::Window;

class Messages : public FormsFixture {
protected:
    // A presenter that raises reports while a box is open, as a timer or a paint would.
    void RaiseWhileOpen(std::map<std::string, std::vector<std::string>> raise) {
        platform::SetBoxPresenter([raise](Window, const std::string& text, const std::string&, BoxButtons) {
            auto it = raise.find(text);
            if (it != raise.end())
                for (const std::string& h : it->second) ShowMessage(h.c_str(), "d");
            return platform::kIdOk;
        });
    }
};

TEST_F(Messages, WaitingReportsAreShownInTheOrderTheyCame) {
    RaiseWhileOpen({{"A\n", {"B", "C", "D"}}, {"B\nd", {"E"}}});
    Call([] { ShowMessage("A", ""); });
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A\n", "B\nd", "C\nd", "D\nd", "E\nd"}));
    for (const platform::ShownBox& b : Boxes()) EXPECT_EQ(b.caption, "Information");
    EXPECT_EQ(messageQueue.busy, 0);
    EXPECT_EQ(messageHeadingTexts.count, 0);
}

TEST_F(Messages, AtMostFiveWaitAndQueuedTextsAreCut) {
    RaiseWhileOpen({{"A\n", {"1", "2", "3", "4", "5", "6", "7"}}});
    Call([] { ShowMessage("A", ""); });
    EXPECT_EQ(Texts(), (std::vector<std::string>{"A\n", "1\nd", "2\nd", "3\nd", "4\nd", "5\nd"}));

    platform::ClearShownBoxes();
    const std::string longHeading(300, 'h');
    RaiseWhileOpen({{"A\n", {longHeading}}});
    Call([&] { ShowMessage(longHeading.c_str(), "x"); });
    Call([] { ShowMessage("A", ""); });
    ASSERT_EQ(Texts().size(), 3u);
    EXPECT_EQ(Texts()[0], longHeading + "\nx") << "shown at once: whole";
    EXPECT_EQ(Texts()[2], std::string(255, 'h') + "\nd") << "queued: cut";
}

TEST_F(Messages, ReportsNeedNoWindow) {
    // Before the main window exists (a start-up failure) the report is still shown.
    Call([] {
        platform::DestroyWindow(mainWindow);
        EXPECT_EQ(ShowMessage("Can't Create window", ""), 0);
    });
    EXPECT_EQ(Texts(), std::vector<std::string>{"Can't Create window\n"});
}

TEST_F(Messages, AskYesNoIsOneOnlyForNo) {
    struct Case {
        int answer;
        int result;
    };
    for (const Case& c : {Case{platform::kIdYes, 0}, Case{platform::kIdNo, 1}, Case{platform::kIdCancel, 0}}) {
        Answer(c.answer);
        int result = -1;
        Call([&] { result = AskYesNo("Restore?", "last alignment"); });
        EXPECT_EQ(result, c.result) << c.answer;
    }
    EXPECT_EQ(Boxes().back().text, "Restore?\nlast alignment");
    EXPECT_EQ(Boxes().back().buttons, BoxButtons::YesNo);
}

TEST_F(Messages, TheDrawnBoxDisablesItsOwnerAndOnlyNoReadsAsNo) {
    platform::InstallMessageBoxWindow();
    Open(kFormA);
    const Window form = formWindow;
    int result = -1;
    Call([&] { result = AskYesNo("Delete?", ""); });
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    const Window box = platform::ModalStack()[0];
    EXPECT_FALSE(platform::IsWindowEnabled(form));
    TapWindow(platform::GetDialogItem(box, platform::kIdNo));
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(platform::IsWindowEnabled(form));
    EXPECT_EQ(platform::GetFocus(), form);

    // Escape closes it without an answer: not No.
    Call([&] { result = AskYesNo("Delete?", ""); });
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    Key(platform::kKeyEscape);
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Boxes().back().answer, platform::kIdCancel);

    // A report: OK by Return.
    Call([&] { ShowMessage("Saved", "3 objects"); });
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    Key(platform::kKeyReturn);
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(Boxes().back().answer, platform::kIdOk);
}

class TextInput : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        Scripts()[kFormA].fields = {{kField, 0}};
        Scripts()[kFormA].release = {kTitle, kGo, kHold, kOther, kField};
        Open(kFormA);
    }
    Window Run(const char* label, int limit) {
        Call([=] { EditTextDialog(formWindow, kField, label, limit); });
        EXPECT_EQ(platform::ModalStack().size(), 1u);
        return platform::ModalStack().empty() ? Window{} : platform::ModalStack()[0];
    }
    static Window In(Window modal, int id) { return platform::GetDialogItem(modal, static_cast<std::uint16_t>(id)); }
};

TEST_F(TextInput, CancelKeepsTheTextAndOkKeepsLimitLessOneCharacters) {
    Window modal = Run("Name", 12);
    EXPECT_EQ(platform::GetWindowText(In(modal, kTextInputEdit)), "field text");
    EXPECT_EQ(platform::GetFocus(), In(modal, kTextInputEdit));
    Type("ABCDEF");
    TapWindow(In(modal, platform::kIdCancel));
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(platform::GetWindowText(Item(kField)), "field text");

    // The old text opens selected: typing replaces it.
    modal = Run("Name", 12);
    EXPECT_TRUE(platform::EditTextSelected(In(modal, kTextInputEdit)));
    Type("ABCDEFGHIJKLMN");
    TapWindow(In(modal, platform::kIdOk));
    EXPECT_EQ(platform::GetWindowText(Item(kField)), "ABCDEFGHIJK");

    // Moving or Backspace keeps it to be edited; Delete clears it.
    struct Case {
        int key;
        const char* typed;
        const char* result;
    } const cases[] = {
        {platform::kKeyEnd, "!", "ABCDEFGHIJK!"},
        {platform::kKeyHome, "<", "<ABCDEFGHIJK"},
        {platform::kKeyBack, "", "ABCDEFGHIJ"},
        {platform::kKeyDelete, "z", "z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        Call([this] { platform::SetWindowText(Item(kField), "ABCDEFGHIJK"); });
        modal = Run("Name", 13);
        Key(c.key);
        Type(c.typed);
        TapWindow(In(modal, platform::kIdOk));
        EXPECT_EQ(platform::GetWindowText(Item(kField)), c.result);
    }
    EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther, kField})) << "the form's registry is kept";
    EXPECT_EQ(GetActiveForm(), formWindow);
}

TEST_F(TextInput, TheLimitStaysWithinOneToFiveHundred) {
    Window modal = Run("", 0);
    Key(platform::kKeyReturn);  // OK
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(platform::GetWindowText(Item(kField)), "") << "limit 1: nothing kept";

    modal = Run("", 9000);
    Type(std::string(520, 'x'));
    Key(platform::kKeyReturn);
    EXPECT_EQ(platform::GetWindowText(Item(kField)), std::string(499, 'x'));
}

TEST_F(TextInput, WithoutALabelTheTextTakesTheWholeWidth) {
    Window modal = Run("", 20);
    EXPECT_FALSE(platform::IsWindowVisible(In(modal, kTextInputLabel)));
    const platform::Rect wide = platform::GetRectInParent(In(modal, kTextInputEdit));
    EXPECT_EQ(wide.left, 4);
    EXPECT_EQ(wide.Width(), 232);
    EXPECT_EQ(platform::GetWindowRect(modal), (platform::Rect{0, 113, 240, 297}));
    Key(platform::kKeyEscape);

    modal = Run("Name", 20);
    EXPECT_TRUE(platform::IsWindowVisible(In(modal, kTextInputLabel)));
    EXPECT_EQ(platform::GetWindowText(In(modal, kTextInputLabel)), "Name");
    EXPECT_EQ(platform::GetRectInParent(In(modal, kTextInputEdit)).left, 74);
    Key(platform::kKeyEscape);
}

TEST_F(Messages, BusyIndicatorPutsBackWhatItCovered) {
    Open(kFormA);
    const Window form = formWindow;
    const int steps = BusySteps();
    const int frame = busyIndicator.frame;
    Call([form] {
        const platform::Dc dc = platform::GetWindowDc(form);
        SetDrawTarget(form, dc);
        ShowBusy(1);
        ShowBusy(0);
        ShowBusy(1);
        EXPECT_TRUE(IsBusyShown());
        // Something else is drawn where the indicator is, then it goes away.
        platform::GfxObject brush = platform::MakeBrush(platform::Rgb(0, 255, 0));
        platform::FillRect(dc, platform::Rect{100, 140, 140, 180}, brush);
        platform::DeleteObject(brush);
        HideBusy();
        platform::ReleaseDc(form, dc);
    });
    EXPECT_EQ(BusySteps() - steps, 2);
    EXPECT_EQ(busyIndicator.frame, (frame + 2) % kBusyFrames);
    EXPECT_FALSE(IsBusyShown());
    EXPECT_NE(PixelOf(form, 120, 160), platform::PixelToColor(platform::ColorToPixel(platform::Rgb(0, 255, 0))));

    SetTrackingFlag(1);
    Call([] { ShowBusy(1); });
    EXPECT_TRUE(IsBusyShown());
    EXPECT_EQ(busyIndicator.savedRect, nullptr) << "the wait cursor instead";
    Call([] { HideBusy(); });
    EXPECT_FALSE(IsBusyShown());
    SetTrackingFlag(0);
}

}  // namespace
}  // namespace forms_test
