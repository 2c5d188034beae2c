// Fields, labels and the helpers that address controls of the current form by id.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/headless.h"
#include "tests/shell/forms_fixture.h"

namespace forms_test {
namespace {

using platform::Color;
using platform::Point;
using platform::Window;

class Fields : public FormsFixture {
protected:
    static Color Shown(Color c) { return platform::PixelToColor(platform::ColorToPixel(c)); }
    // How many pixels of a row of the control are in the colour.
    static int InRow(Window control, int y, Color c) {
        int n = 0;
        for (int x = 0; x < platform::GetClientRect(control).right; ++x) n += PixelOf(control, x, y) == Shown(c);
        return n;
    }
};

TEST_F(Fields, AReadOnlyFieldTapAsksTheFormOnceAndTakesNoCaret) {
    Scripts()[kFormA].fields = {{kField, 0}, {kShortField, 1}};
    Scripts()[kFormA].release = {kTitle, kGo, kHold, kOther, kField, kShortField};
    Open(kFormA);
    TapWindow(Item(kField));
    EXPECT_EQ(Log().back(), "tap 60201 60221");
    EXPECT_EQ(Count("tap 60201 60221"), 1);
    EXPECT_NE(platform::GetFocus(), Item(kField));
    EXPECT_FALSE(platform::EditCaretShown(Item(kField)));

    // Any other style edits in place.
    TapWindow(Item(kShortField));
    EXPECT_EQ(Count("tap 60201 60222"), 0);
    EXPECT_EQ(platform::GetFocus(), Item(kShortField));
    EXPECT_TRUE(platform::EditCaretShown(Item(kShortField)));
    Type("Deneb");
    EXPECT_EQ(platform::GetWindowText(Item(kShortField)), "Deneb");
}

TEST_F(Fields, SetAndGetFieldOnTheCurrentForm) {
    Scripts()[kFormA].fields = {{kField, 0}};
    Scripts()[kFormA].release = {kTitle, kGo, kHold, kOther, kField};
    Open(kFormA);
    Call([] {
        char buffer[256] = "junk";
        EXPECT_EQ(SetField(kField, "Vega"), 1);
        EXPECT_EQ(GetField(kField, buffer, 1), 1);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(GetField(kField, buffer, 3), 1);
        EXPECT_STREQ(buffer, "Ve");
        EXPECT_EQ(GetField(kField, buffer, 1000), 1);
        EXPECT_STREQ(buffer, "Vega");
        EXPECT_EQ(GetField(kField, nullptr, 10), 0);
        EXPECT_EQ(SetField(4242, "x"), 1);
        EXPECT_EQ(GetField(4242, buffer, 10), 1);
        EXPECT_STREQ(buffer, "");

        const Window form = SetActiveForm(Window{});
        EXPECT_EQ(SetField(kField, "Altair"), 0);
        EXPECT_EQ(GetField(kField, buffer, 10), 0);
        SetActiveForm(form);
        EXPECT_EQ(ShowControl(form, 4343, 1), 0);
    });
    EXPECT_EQ(platform::GetWindowText(Item(kField)), "Vega");
    ASSERT_EQ(Boxes().size(), 3u);
    EXPECT_EQ(Boxes()[0].text, "SetField: NULL Obj ptr\n4242");
    EXPECT_EQ(Boxes()[1].text, "GetField; Bad id 4242");
    EXPECT_EQ(Boxes()[1].caption, "");
    EXPECT_EQ(Boxes()[2].text, "Show: NULL Obj ptr\n4343");
}

TEST_F(Fields, FieldsAreRuledEveryThirteenPixelsAndOne) {
    Scripts()[kFormA].fields = {{kField, 0}};
    Scripts()[kFormA].release = {kTitle, kGo, kHold, kOther, kField};
    Open(kFormA);
    Call([] { SetField(kField, ""); });
    const Window field = Item(kField);  // 40 pixels high at scale 1: lines at 14 and 28
    for (int y : {14, 28}) EXPECT_GT(InRow(field, y, GetForeColor()), 40) << y;
    for (int y : {0, 13, 15, 27, 29, 39}) EXPECT_EQ(InRow(field, y, GetForeColor()), 0) << y;
    EXPECT_GT(InRow(field, 14, GetBackColor()), 40) << "dashed";
}

TEST_F(Fields, LabelsDrawTheirTextOnTheBackground) {
    Scripts()[kFormA].labels = {kLabel};
    Scripts()[kFormA].release = {kTitle, kGo, kHold, kOther, kLabel};
    Open(kFormA);
    EXPECT_EQ(Registry().back(), kLabel);
    const Window label = Item(kLabel);
    int ink = 0;
    for (int y = 0; y < 14; ++y) ink += InRow(label, y, GetForeColor());
    EXPECT_GT(ink, 20);
    EXPECT_EQ(PixelOf(label, 99, 0), Shown(GetBackColor()));
    Open(kFormB);
    EXPECT_TRUE(Texts().empty()) << "released";
}

TEST_F(Fields, HiddenControlsLeaveTheBackgroundAlsoAtNight) {
    preferences.word[pref::nightMode] = 1;
    CreateSchemeBrushes();
    Open(kFormA);
    const Window form = formWindow;
    const Window go = Item(kGo);
    const platform::Rect r = platform::GetRectInParent(go);
    ASSERT_NE(PixelOf(form, r.left + 2, r.top + 10), Shown(GetBackColor()));
    Call([form] { HideObject(form, kGo); });
    EXPECT_FALSE(platform::IsWindowVisible(go));
    for (int x = r.left; x < r.right; x += 7)
        for (int y = r.top; y < r.bottom; y += 3) ASSERT_EQ(PixelOf(form, x, y), Shown(GetBackColor())) << x << "," << y;
    Call([form] { ShowObject(form, kGo); });
    EXPECT_TRUE(platform::IsWindowVisible(go));
}

TEST_F(Fields, GetPenPositionTakesOnlyPenMessages) {
    Open(kFormA);
    const Window form = formWindow;
    platform::headless::PenDown(Point{200, 280});
    int x = -1, y = -1, flag = -1;
    // A pen event that comes while the loop waits.
    auto comes = [](platform::InputKind kind, Point at) {
        platform::InputEvent e;
        e.kind = kind;
        e.point = at;
        e.time = platform::headless::Tick() + 5;
        platform::headless::Schedule(e);
    };
    // A move is taken, with its position.
    comes(platform::InputKind::PenMove, Point{190, 270});
    Call([&] { GetPenPosition(&x, &y, &flag); });
    EXPECT_EQ(flag, 1);
    EXPECT_EQ((Point{x, y}), (Point{190, 270}));

    // A command waiting ends the wait and stays queued for the loop.
    Call([&] {
        platform::PostMessage(form, platform::kMsgCommand, kOther, 0);
        GetPenPosition(&x, &y, &flag);
        EXPECT_EQ(flag, 1);
        EXPECT_EQ(Count("cmd 60201 60213"), 0);
    });
    EXPECT_EQ(Count("cmd 60201 60213"), 1);

    // An up (or a down) gives where it happened, not the last move before it.
    comes(platform::InputKind::PenUp, Point{150, 240});
    Call([&] { GetPenPosition(&x, &y, &flag); });
    EXPECT_EQ(flag, 1);
    EXPECT_EQ((Point{x, y}), platform::ScreenToClient(form, Point{150, 240}));

    Call([&] { GetPenPosition(&x, &y, &flag); });
    EXPECT_EQ(flag, 0);
}

TEST_F(Fields, NavigationKeysAndPointInRect) {
    int down = -1;
    platform::headless::KeyDown(platform::kKeyPageDown);
    Call([&] { down = IsNavKeyDown(); });
    EXPECT_EQ(down, 1);
    platform::headless::KeyUp(platform::kKeyPageDown);
    Call([&] { down = IsNavKeyDown(); });
    EXPECT_EQ(down, 0);

    const Bounds b{10, 20, 5, 4};
    struct Case {
        int x, y, in;
    };
    for (const Case& c : {Case{10, 20, 1}, Case{14, 23, 1}, Case{15, 20, 0}, Case{10, 24, 0}, Case{9, 21, 0}})
        EXPECT_EQ(PointInRect(c.x, c.y, b), c.in) << c.x << "," << c.y;
}

}  // namespace
}  // namespace forms_test
