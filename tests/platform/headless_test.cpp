#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/headless.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

struct State {
    int held = 0;          // rounds of the polling loop while the pen was down
    bool inLoop = false;
    bool penDownInHandler = false;
    std::vector<std::string> boxes;
} state;

// Follows the pen like an auto-repeat button: polls until the pen is lifted.
LResult HoldProc(Window w, unsigned m, WParam wp, LParam lp) {
    switch (m) {
        case kMsgPenDown:
            state.penDownInHandler = KeyIsDown(kKeyPen);
            state.inLoop = true;
            while (AsyncKeyIsDown(kKeyPen)) {
                ++state.held;
                IdleWait();
            }
            state.inLoop = false;
            return 0;
        case kMsgTimer:
            KillTimer(w, wp);
            state.boxes.push_back(std::to_string(MessageBox(w, "Below the horizon", "Information", BoxButtons::YesNo)));
            return 0;
        default: return DefWindowProc(w, m, wp, lp);
    }
}

class HeadlessTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        state = State{};
    }
    Window MakeWindow() {
        Window w;
        Call([&] { w = CreateWindow(WindowSpec{.text = "w", .rect = {0, 0, 240, 320}, .proc = &HoldProc}); });
        return w;
    }
};

TEST_F(HeadlessTest, TheTestActsWhileTheProgramPollsThePen) {
    Start();
    MakeWindow();
    headless::PenDown({10, 10});
    EXPECT_TRUE(state.inLoop);
    EXPECT_TRUE(state.penDownInHandler);
    const int rounds = state.held;
    Advance(50);
    EXPECT_TRUE(state.inLoop);
    EXPECT_GT(state.held, rounds);
    headless::PenUp({10, 10});
    EXPECT_FALSE(state.inLoop);
    EXPECT_FALSE(AsyncKeyIsDown(kKeyPen));
}

TEST_F(HeadlessTest, MessageBoxesAreRecordedAndAnsweredByScript) {
    Start();
    const Window w = MakeWindow();
    Answer(kIdNo);
    Call([w] { SetTimer(w, 1, 300); });
    Advance(299);
    EXPECT_TRUE(Boxes().empty());
    Advance(1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].caption, "Information");
    EXPECT_EQ(Boxes()[0].text, "Below the horizon");
    EXPECT_EQ(Boxes()[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(state.boxes, (std::vector<std::string>{std::to_string(kIdNo)}));
}

TEST_F(HeadlessTest, StopEndsOpenModalLoopsAndLiftsThePen) {
    DialogLayout layout;
    ASSERT_TRUE(ParseDialogLayout("dialog 60201\nrect 0 0 240 100\nbutton 1 \"OK\" 10 10 50 20\n", &layout, nullptr));
    Start();
    const Window w = MakeWindow();
    int result = 0;
    Call([&] { result = DialogBoxFromLayout(layout, w, nullptr, 0); });
    ASSERT_EQ(ModalStack().size(), 1u);
    headless::PenDown({10, 200});   // on the disabled window: nobody takes it
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(result, kIdCancel);
    EXPECT_FALSE(headless::ProgramRunning());
    EXPECT_FALSE(AsyncKeyIsDown(kKeyPen));
}

TEST_F(HeadlessTest, AProgramThatEndsByItselfIsCollected) {
    Start([] {
        Message m;
        while (GetMessage(m)) DispatchMessage(m);
        return static_cast<int>(m.wParam) + 1;
    });
    Call([] { PostQuitMessage(6); });
    EXPECT_FALSE(headless::ProgramRunning());
    EXPECT_FALSE(RunUntilIdle());
    // Stopping an ended program collects its thread and gives its exit code.
    EXPECT_EQ(Stop(), 7);
    EXPECT_EQ(Stop(), 7);
}

TEST_F(HeadlessTest, FramesArePresentedWhenTheLoopWaits) {
    options.scale = 2;
    Reinstall();
    Start();
    const std::uint64_t before = headless::FrameCount();
    MakeWindow();
    EXPECT_GT(headless::FrameCount(), before);
    EXPECT_EQ(headless::Frame().width, 480);
    EXPECT_EQ(headless::Frame().height, 640);
    const std::uint64_t settled = headless::FrameCount();
    Advance(100);
    EXPECT_EQ(headless::FrameCount(), settled);  // nothing changed, nothing sent
}

}  // namespace

namespace {

// A key typed as the desktop keyboard gives it reaches the focused edit as its key and its
// character: letters and digits have keys, punctuation only types, Back deletes once.
TEST_F(HeadlessTest, TypedKeysReachTheFocusedEditAsTheKeyboardGivesThem) {
    DialogLayout layout;
    std::string error;
    ASSERT_TRUE(ParseDialogLayout("dialog 60170\nrect 0 0 240 100\nedit 1 \"\" 10 10 200 20\n", &layout, &error))
        << error;
    Start();
    Window edit;
    Call([&] {
        const Window dialog = CreateDialogFromLayout(layout, Window{}, nullptr, 0);
        edit = GetDialogItem(dialog, 1);
        SetFocus(edit);
    });
    ASSERT_TRUE(edit);
    headless::TypeKey('A', 'a');
    headless::TypeKey('7', '7');
    headless::TypeKey(0, ',');
    headless::TypeKey('B', 'B');
    headless::TypeKey(kKeyBack, 8);
    EXPECT_EQ(GetWindowText(edit), "a7,");
    headless::TypeKey(kKeySpace, ' ');
    headless::TypeKey('Q', 0, true);  // Ctrl+Q types nothing
    EXPECT_EQ(GetWindowText(edit), "a7, ");
    EXPECT_FALSE(AsyncKeyIsDown(kKeyControl));
}

}  // namespace
