#include "platform/menu_bar.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "platform/resources.h"
#include "platform/system_colors.h"
#include "platform/window.h"
#include "support/headless_fixture.h"

using platform::Point;
using platform::Rect;
using platform::Window;

namespace {

constexpr const char* kMenus = R"(
menu 700
popup 20
item 11 "Wizard"
separator
item 12 "Quit"
popup 21
item 21 "Comets&&Asteroids"
item 22 "Moon"
)";

std::vector<unsigned> commands;
std::vector<unsigned> penMessages;

platform::LResult Target(Window w, unsigned message, platform::WParam wParam, platform::LParam lParam) {
    if (message == platform::kMsgCommand) commands.push_back(platform::LowWord(wParam));
    if (message >= platform::kMsgPenFirst && message <= platform::kMsgPenLast) penMessages.push_back(message);
    return platform::DefWindowProc(w, message, wParam, lParam);
}

Window target;
Window Target() { return target; }

Point Centre(const Rect& r) { return Point{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class MenuBarTest : public HeadlessFixture, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        options.scale = GetParam();
        HeadlessFixture::SetUp();
        platform::ClearResources();
        std::vector<std::string> problems;
        ASSERT_TRUE(platform::ParseMenus(kMenus, &problems));
        ASSERT_TRUE(platform::ParseStrings("20 \"Tools\"\n21 \"Assistants\"\n", &problems));
        commands.clear();
        penMessages.clear();
        ASSERT_TRUE(platform::menubar::Install(700, &Target));
        Start();
        Call([] {
            platform::WindowSpec desc;
            desc.rect = Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
            desc.proc = &Target;
            target = platform::CreateWindow(desc);
        });
    }
    void TearDown() override {
        Stop();
        platform::menubar::Uninstall();
        HeadlessFixture::TearDown();
        platform::ClearResources();
        target = Window{};
    }
    int S() const { return GetParam(); }
};

TEST_P(MenuBarTest, TheBandLiesBelowTheScreen) {
    RunUntilIdle();
    const platform::Surface& frame = platform::headless::Frame();
    EXPECT_EQ(frame.width, platform::ScreenWidth());
    EXPECT_EQ(frame.height, platform::ScreenHeight() + 26 * S());
    EXPECT_EQ(platform::menubar::BandHeight(), 26 * S());
    const std::uint16_t face = platform::ColorToPixel(platform::SystemColor(platform::kColorMenu));
    const std::uint16_t ink = platform::ColorToPixel(platform::SystemColor(platform::kColorMenuText));
    // Both titles are written in the band, side by side.
    for (int popup = 0; popup < 2; ++popup) {
        const Rect r = platform::menubar::TitleRect(popup);
        EXPECT_GE(r.top, platform::ScreenHeight());
        int inked = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) inked += frame.Row(y)[x] == ink;
        EXPECT_GT(inked, 10 * S()) << popup;
    }
    EXPECT_LE(platform::menubar::TitleRect(0).right, platform::menubar::TitleRect(1).left);
    EXPECT_EQ(frame.Row(frame.height - 1)[frame.width - 1], face);
}

TEST_P(MenuBarTest, TapTitleThenItemPostsItsCommand) {
    Tap(Centre(platform::menubar::TitleRect(1)));
    ASSERT_EQ(platform::menubar::OpenPopup(), 1);
    // The drop-down stands over the screen.
    const Rect item = platform::menubar::ItemRect(1);
    EXPECT_LT(item.bottom, platform::ScreenHeight() + 1);
    Tap(Centre(item));
    EXPECT_EQ(platform::menubar::OpenPopup(), -1);
    EXPECT_EQ(commands, std::vector<unsigned>{22});
    // The window under the drop-down never saw the stylus.
    EXPECT_TRUE(penMessages.empty());
}

TEST_P(MenuBarTest, TapOutsideClosesWithoutEffect) {
    Tap(Centre(platform::menubar::TitleRect(0)));
    ASSERT_EQ(platform::menubar::OpenPopup(), 0);
    Tap(Point{platform::ScreenWidth() - 5, 5});
    EXPECT_EQ(platform::menubar::OpenPopup(), -1);
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(penMessages.empty());
    // Closed, the screen is the windows' again.
    Tap(Point{platform::ScreenWidth() - 5, 5});
    EXPECT_FALSE(penMessages.empty());
}

TEST_P(MenuBarTest, DragFromTitleOntoItemChoosesIt) {
    const Point from = Centre(platform::menubar::TitleRect(0));
    platform::headless::PenDown(from);
    ASSERT_EQ(platform::menubar::OpenPopup(), 0);
    const Point to = Centre(platform::menubar::ItemRect(2));
    platform::headless::PenMove(to);
    EXPECT_EQ(platform::menubar::HighlightedItem(), 2);
    platform::headless::PenUp(to);
    EXPECT_EQ(commands, std::vector<unsigned>{12});
}

TEST_P(MenuBarTest, SeparatorsAreNotChosen) {
    Tap(Centre(platform::menubar::TitleRect(0)));
    Tap(Centre(platform::menubar::ItemRect(1)));  // the separator: closes, nothing chosen
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(platform::menubar::OpenPopup(), -1);
}

TEST_P(MenuBarTest, KeysWorkTheOpenMenu) {
    Tap(Centre(platform::menubar::TitleRect(0)));
    Key(platform::kKeyDown);
    Key(platform::kKeyDown);  // over the separator onto Quit
    EXPECT_EQ(platform::menubar::HighlightedItem(), 2);
    Key(platform::kKeyRight);
    EXPECT_EQ(platform::menubar::OpenPopup(), 1);
    Key(platform::kKeyDown);
    Key(platform::kKeyReturn);
    EXPECT_EQ(commands, std::vector<unsigned>{21});
    Tap(Centre(platform::menubar::TitleRect(0)));
    Key(platform::kKeyEscape);
    EXPECT_EQ(platform::menubar::OpenPopup(), -1);
    EXPECT_EQ(commands.size(), 1u);
}

TEST_P(MenuBarTest, OpenDropDownIsDrawnOverTheScreen) {
    RunUntilIdle();
    const platform::Surface before = platform::headless::Frame();
    Tap(Centre(platform::menubar::TitleRect(1)));
    RunUntilIdle();
    const platform::Surface& open = platform::headless::Frame();
    const Rect item = platform::menubar::ItemRect(0);
    const std::uint16_t ink = platform::ColorToPixel(platform::SystemColor(platform::kColorMenuText));
    int inked = 0;
    for (int y = item.top; y < item.bottom; ++y)
        for (int x = item.left; x < item.right; ++x) inked += open.Row(y)[x] == ink;
    EXPECT_GT(inked, 20 * S());
    Key(platform::kKeyEscape);
    RunUntilIdle();
    const platform::Surface& closed = platform::headless::Frame();
    EXPECT_EQ(closed.bits, before.bits);
}

INSTANTIATE_TEST_SUITE_P(Scales, MenuBarTest, ::testing::Values(1, 2));

}  // namespace
