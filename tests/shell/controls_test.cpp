// The control registry, the title bar and the owner-drawn buttons.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "tests/shell/forms_fixture.h"

namespace forms_test {
namespace {

using platform::Point;
using platform::Window;

class Controls : public FormsFixture {
protected:
    static Point Outside() { return Point{200, 250}; }
    static Point Edge(Window w) {
        const platform::Rect r = platform::GetWindowRect(w);
        return Point{r.right + 5, r.bottom + 5};
    }
};

TEST_F(Controls, TitleTapPostsIdOkAtPenDownWhereverThePenIsLifted) {
    Open(kFormA);
    Drag(Middle(Item(kTitle)), Outside());
    EXPECT_EQ(Count("cmd 60201 1"), 1);
    TapWindow(Item(kTitle));
    EXPECT_EQ(Count("cmd 60201 1"), 2);
}

TEST_F(Controls, TitleTabIsAsWideAsItsTextAndKeepsSixtyThreeCharacters) {
    const std::string longTitle(63, 'W');
    Scripts()[kFormA].title = "Form";
    Open(kFormA);
    const Window title = Item(kTitle);
    const auto* st = reinterpret_cast<const TitleState*>(platform::GetUserData(title));
    ASSERT_NE(st, nullptr);
    int expected = 0;
    Call([&] {
        const platform::Dc dc = platform::GetWindowDc(formWindow);
        const platform::GfxObject bold = MakeBoldCopy(dc);
        platform::SelectObject(dc, bold);
        expected = platform::TextExtent(dc, "Form").width + 12;
        platform::ReleaseDc(formWindow, dc);
        platform::DeleteObject(bold);
    });
    EXPECT_EQ(platform::GetRectInParent(title), (platform::Rect{0, 0, expected, 24}));

    Scripts()[kFormB].title = longTitle.c_str();
    Open(kFormB);
    st = reinterpret_cast<const TitleState*>(platform::GetUserData(Item(kTitle)));
    ASSERT_NE(st, nullptr);
    EXPECT_EQ(std::string(st->title), longTitle);
}

constexpr int kModal = 60205;
platform::LResult ModalWithTitle(Window dlg, unsigned m, platform::WParam wp, platform::LParam) {
    if (m == platform::kMsgInitDialog) {
        InitTitleNoClose(dlg, kTitle, "Modal");
        InitButton(dlg, kGo, -1, 0, 0);
        return 1;
    }
    if (m == platform::kMsgCommand && platform::LowWord(wp) == platform::kIdOk) {
        ReleaseControl(dlg, kTitle);
        ReleaseControl(dlg, kGo);
        platform::EndDialog(dlg, 1);
        return 1;
    }
    return 0;
}

// A dialog band with a title and a Go button, for ShowDialogResource(kModal, ...).
bool RegisterModalLayout() {
    platform::DialogLayout layout;
    std::string error;
    if (!platform::ParseDialogLayout(R"(dialog 60205
rect 0 100 240 120
button 8001 "" 0 0 60 24
button 60211 "Go" 10 40 60 20
)",
                                     &layout, &error)) {
        ADD_FAILURE() << error;
        return false;
    }
    platform::RegisterDialogLayout(layout);
    return true;
}

TEST_F(Controls, ModalDialogTitleClosesItAndLeavesTheFormAsItWas) {
    ASSERT_TRUE(RegisterModalLayout());
    Open(kFormA);
    const Window form = formWindow;
    const std::vector<int> before = Registry();
    int result = 0;
    Call([&] { result = ShowDialogResource(kModal, &ModalWithTitle); });
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    const Window modal = platform::ModalStack()[0];
    EXPECT_EQ(formWindow, form) << "a modal title is not a form";
    EXPECT_EQ(Registry().size(), before.size() + 2);

    Drag(Middle(platform::GetDialogItem(modal, kTitle)), Outside());
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Registry(), before);
    EXPECT_EQ(GetActiveForm(), form);
    EXPECT_EQ(platform::GetFocus(), form);
}

TEST_F(Controls, TextButtonCornersShowTheParentsBackground) {
    // On a form: the scheme's background.
    Open(kFormA);
    const platform::Color highlight = platform::PixelToColor(platform::ColorToPixel(GetHighlightColor()));
    EXPECT_EQ(PixelOf(Item(kGo), 0, 0), platform::PixelToColor(platform::ColorToPixel(GetBackColor())));
    EXPECT_EQ(PixelOf(Item(kGo), 2, 10), highlight);  // the middle of the left edge

    // On a dialog the system erases: the button face.
    ASSERT_TRUE(RegisterModalLayout());
    Call([&] { ShowDialogResource(kModal, &ModalWithTitle); });
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    const Window go = platform::GetDialogItem(platform::ModalStack()[0], kGo);
    RunUntilIdle();
    const platform::Rect rc = platform::GetClientRect(go);
    const platform::Color face = platform::PixelToColor(platform::ColorToPixel(platform::SystemColor(platform::kColorButtonFace)));
    for (const Point corner : {Point{0, 0}, Point{rc.right - 1, 0}, Point{0, rc.bottom - 1}, Point{rc.right - 1, rc.bottom - 1}})
        EXPECT_EQ(PixelOf(go, corner.x, corner.y), face) << corner.x << "," << corner.y;
    EXPECT_EQ(PixelOf(go, 2, 10), highlight);
    TapWindow(platform::GetDialogItem(platform::ModalStack()[0], kTitle));
}

TEST_F(Controls, AButtonSendsOnlyWhenThePenIsLiftedOnIt) {
    Open(kFormA);
    const Window go = Item(kGo);
    platform::headless::PenDown(Middle(go));
    EXPECT_EQ(lastPressedButton, go);
    EXPECT_EQ(reinterpret_cast<const ButtonState*>(platform::GetUserData(go))->pressed, 1);
    platform::headless::PenMove(Edge(go));
    EXPECT_EQ(reinterpret_cast<const ButtonState*>(platform::GetUserData(go))->pressed, 0);
    platform::headless::PenUp(Edge(go));
    EXPECT_EQ(Count("cmd 60201 60211"), 0);
    EXPECT_EQ(lastPressedButton, Window{});

    platform::headless::PenDown(Middle(go));
    platform::headless::PenMove(Edge(go));
    platform::headless::PenMove(Middle(go));
    platform::headless::PenUp(Middle(go));
    EXPECT_EQ(Count("cmd 60201 60211"), 1);
}

TEST_F(Controls, AutoRepeatIsPacedWhileHeldAndSendsOnceMoreOnLift) {
    Scripts()[kFormA].autoRepeat = {kHold};
    Open(kFormA);
    const Point hold = Middle(Item(kHold));
    platform::headless::PenDown(hold);
    EXPECT_EQ(Count("cmd 60201 60212"), 1) << "at pen down";
    Advance(350);
    EXPECT_EQ(Count("cmd 60201 60212"), 1) << "nothing before 400 ms";
    Advance(100);
    EXPECT_EQ(Count("cmd 60201 60212"), 2);
    Advance(300);
    EXPECT_EQ(Count("cmd 60201 60212"), 5) << "then every 100 ms";
    platform::headless::PenUp(hold);
    EXPECT_EQ(Count("cmd 60201 60212"), 6);

    Log().clear();
    Tap(hold, 1000);
    EXPECT_EQ(Count("cmd 60201 60212"), 8);
}

TEST_F(Controls, AutoRepeatSurvivesACommandThatSwitchesForms) {
    int sent = 0;
    Scripts()[kFormA].autoRepeat = {kHold};
    Scripts()[kFormA].onCommand = [&](Window, int cmd) {
        if (cmd == kHold && ++sent == 3) GotoForm(kFormB);
    };
    Open(kFormA);
    const Point hold = Middle(Item(kHold));
    Tap(hold, 1000);
    EXPECT_EQ(Count("cmd 60201 60212"), 3);
    EXPECT_EQ(Count("closed 60201"), 1);
    EXPECT_EQ(Count("init 60202"), 1);
    // The new form's button under the pen never saw it go down: lifting is no click.
    EXPECT_EQ(Count("cmd 60202 60212"), 0);
    EXPECT_TRUE(platform::IsWindow(formWindow));
}

TEST_F(Controls, ReleaseControlRemovesOneEntryOfAnIdThatIsThere) {
    Open(kFormA);
    Call([] {
        const Window form = formWindow;
        RegisterControl(kGo);
        ASSERT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther, kGo}));
        ReleaseControl(form, kGo);
        EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther}));
        ReleaseControl(form, kField);  // on the form, never registered
        EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther}));
        RegisterControl(4242);  // registered, not on the form
        ReleaseControl(form, 4242);
        EXPECT_EQ(Registry(), (std::vector<int>{kTitle, kGo, kHold, kOther, 4242}));
        ReleaseControl(form, kTitle);
        EXPECT_EQ(Registry(), (std::vector<int>{4242, kGo, kHold, kOther}));
    });
}

TEST_F(Controls, BitmapButtonsTakeTheirBitmapsSizeAndReportWhatIsMissing) {
    Open(kFormA);
    Call([] {
        const Window form = formWindow;
        SetButtonIcon(form, kGo, 4109, 1, 0x7FFF);
        const platform::Rect r = platform::GetRectInParent(Item(kGo));
        EXPECT_EQ(r, (platform::Rect{10, 40, 10 + 168, 40 + 63}));
        SetButtonIcon(form, 4242, 4109, 0, 0);
        SetButtonIcon(form, kOther, 7777, 0, 0);
    });
    EXPECT_EQ(Texts(), (std::vector<std::string>{"SetButtonIcon\nCan't find 4242\n",
                                                 "SetButtonIcon\nCan't find bitmap 7777 for button 60213\n"}));
}

}  // namespace
}  // namespace forms_test
