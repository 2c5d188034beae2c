#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/window.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

std::vector<std::string> events;
Window created;  // a window made from inside a handler

std::string Name(Window w) { return GetWindowText(w); }

LResult LogProc(Window w, unsigned m, WParam wp, LParam lp) {
    switch (m) {
        case kMsgDestroy:
            // The parent is still there while its children hear of their end.
            events.push_back("destroy " + Name(w) + (GetParent(w) ? " in " + Name(GetParent(w)) : ""));
            break;
        case kMsgActivate:
            events.push_back((wp == kInactive ? "inactive " : "active ") + Name(w) + " other=" + Name(WindowFromParam(lp)));
            break;
        default: break;
    }
    return DefWindowProc(w, m, wp, lp);
}

LResult SelfDestroyProc(Window w, unsigned m, WParam wp, LParam lp) {
    if (m == kMsgCommand) {
        const std::uint64_t slot = w.value & 0xFFFFFFFFu;
        EXPECT_TRUE(DestroyWindow(w));
        // Stale at once, though this procedure is still running for it.
        EXPECT_FALSE(IsWindow(w));
        EXPECT_FALSE(SetWindowText(w, "x"));
        EXPECT_EQ(SendMessage(w, kMsgCommand, 0, 0), 0);
        // A window made now must not take the record we are standing in.
        created = CreateWindow(WindowSpec{.text = "fresh", .rect = {0, 0, 10, 10}});
        EXPECT_NE(created.value & 0xFFFFFFFFu, slot);
        return 7;
    }
    return DefWindowProc(w, m, wp, lp);
}

Window Top(const char* name, Rect r, WindowProc proc = &LogProc, bool visible = true) {
    return CreateWindow(WindowSpec{.text = name, .rect = r, .visible = visible, .proc = proc});
}

Window Child(Window parent, const char* name, Rect r, WindowKind kind = WindowKind::Generic, WindowProc proc = &LogProc) {
    return CreateWindow(WindowSpec{.kind = kind, .parent = parent, .text = name, .rect = r, .proc = proc});
}

int Area(const std::vector<Rect>& rects) {
    int a = 0;
    for (const Rect& r : rects) a += r.Width() * r.Height();
    return a;
}

class WindowTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        events.clear();
        created = Window{};
    }
};

TEST_F(WindowTest, WindowDestroyedInsideItsOwnHandlerIsFreedAfterTheDispatch) {
    const Window w = Top("self", {0, 0, 50, 50}, &SelfDestroyProc);
    const std::uint64_t slot = w.value & 0xFFFFFFFFu;
    EXPECT_EQ(SendMessage(w, kMsgCommand, 0, 0), 7);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_TRUE(IsWindow(created));
    // Once the dispatch is over the record may be used again, under a new generation.
    const Window reused = Top("next", {0, 0, 10, 10});
    EXPECT_EQ(reused.value & 0xFFFFFFFFu, slot);
    EXPECT_NE(reused, w);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(GetWindowText(w), "");
}

TEST_F(WindowTest, DestroyReachesOwnedWindowsAndChildrenBeforeTheWindow) {
    const Window main = Top("main", {0, 0, 240, 320});
    const Window form = CreateWindow(WindowSpec{.owner = main, .text = "form", .rect = {0, 0, 240, 300}, .proc = &LogProc});
    const Window button = Child(main, "button", {0, 0, 10, 10});
    Child(button, "inner", {0, 0, 5, 5});
    events.clear();
    ASSERT_TRUE(DestroyWindow(main));
    const std::vector<std::string> destroys = [] {
        std::vector<std::string> d;
        for (const auto& e : events)
            if (e.rfind("destroy", 0) == 0) d.push_back(e);
        return d;
    }();
    EXPECT_EQ(destroys, (std::vector<std::string>{"destroy form", "destroy inner in button", "destroy button in main", "destroy main"}));
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(IsWindow(button));
    EXPECT_TRUE(TopLevelWindows().empty());
}

TEST_F(WindowTest, NullAndStaleHandlesFailHarmlessly) {
    const Window stale = Top("gone", {0, 0, 10, 10});
    DestroyWindow(stale);
    for (Window w : {Window{}, stale}) {
        SCOPED_TRACE(w.value);
        EXPECT_FALSE(IsWindow(w));
        EXPECT_FALSE(DestroyWindow(w));
        EXPECT_FALSE(ShowWindow(w, true));
        EXPECT_FALSE(MoveWindow(w, {0, 0, 5, 5}, true));
        EXPECT_FALSE(InvalidateRect(w, nullptr, true));
        EXPECT_FALSE(SetTimer(w, 1, 10));
        EXPECT_FALSE(KillTimer(w, 1));
        EXPECT_FALSE(PostMessage(w, kMsgCommand, 1, 0));
        EXPECT_EQ(SendMessage(w, kMsgCommand, 1, 0), 0);
        EXPECT_EQ(SetFocus(w), Window{});
        EXPECT_EQ(WindowSurface(w), nullptr);
        EXPECT_TRUE(WindowVisibleRects(w).empty());
        EXPECT_EQ(GetWindowRect(w), Rect{});
    }
    EXPECT_FALSE(CreateWindow(WindowSpec{.parent = stale, .rect = {0, 0, 5, 5}}));
    EXPECT_FALSE(CreateWindow(WindowSpec{.owner = stale, .rect = {0, 0, 5, 5}}));
    EXPECT_EQ(GetFocus(), Window{});
}

TEST_F(WindowTest, TimersAndPostedMessagesDieWithTheWindow) {
    const Window w = Top("w", {0, 0, 10, 10});
    ASSERT_TRUE(SetTimer(w, 1, 10));
    ASSERT_TRUE(PostMessage(w, kMsgCommand, 5, 0));
    DestroyWindow(w);
    std::uint32_t due;
    EXPECT_FALSE(NextTimerDue(&due));
    // A window made in the freed record does not get the dead window's mail.
    static int commands;
    commands = 0;
    const Window next = Top("next", {0, 0, 10, 10}, [](Window h, unsigned m, WParam wp, LParam lp) -> LResult {
        if (m == kMsgCommand || m == kMsgTimer) ++commands;
        return DefWindowProc(h, m, wp, lp);
    });
    ASSERT_TRUE(IsWindow(next));
    Advance(100);
    EXPECT_EQ(commands, 0);
}

TEST_F(WindowTest, HitTestingSkipsLabelsAndDisabledWindowsAndStopsAtADisabledTopLevel) {
    const Window form = Top("form", {0, 0, 240, 320});
    const Window button = Child(form, "button", {10, 10, 60, 40}, WindowKind::Button);
    Child(form, "label", {20, 15, 50, 30}, WindowKind::Static);  // above the button
    const Window off = Child(form, "off", {100, 100, 150, 150}, WindowKind::Button);
    EnableWindow(off, false);
    EXPECT_EQ(WindowFromPoint({25, 20}), button);
    EXPECT_EQ(WindowFromPoint({120, 120}), form);
    EXPECT_EQ(WindowFromPoint({200, 200}), form);
    EXPECT_EQ(WindowFromPoint({300, 10}), Window{});

    const Window blocked = Top("blocked", {0, 0, 100, 100});
    EnableWindow(blocked, false);
    EXPECT_EQ(WindowFromPoint({25, 20}), Window{});
    EXPECT_EQ(WindowFromPoint({120, 120}), form);
}

TEST_F(WindowTest, VisibleRectsLeaveOutChildrenAndHigherSiblings) {
    const Window parent = Top("p", {0, 0, 100, 100});
    const Window a = Child(parent, "a", {10, 10, 50, 50});
    const Window b = Child(parent, "b", {30, 30, 70, 70});
    const std::vector<Rect> ra = WindowVisibleRects(a);
    EXPECT_EQ(Area(ra), 40 * 40 - 20 * 20);
    for (const Rect& r : ra) EXPECT_TRUE(Intersect(r, Rect{20, 20, 40, 40}).Empty());
    EXPECT_EQ(Area(WindowVisibleRects(b)), 40 * 40);
    EXPECT_EQ(Area(WindowVisibleRects(parent)), 100 * 100 - (1600 + 1600 - 400));
    // A grandchild is clipped by its parent and by its parent's higher sibling.
    const Window g = Child(a, "g", {-5, 30, 35, 45});
    EXPECT_EQ(Area(WindowVisibleRects(g)), 35 * 10 - 15 * 10);
    ShowWindow(b, false);
    EXPECT_EQ(Area(WindowVisibleRects(a)), 40 * 40 - 35 * 10);
    ShowWindow(parent, false);
    EXPECT_TRUE(WindowVisibleRects(a).empty());
}

TEST_F(WindowTest, HidingInvalidatesWhatItUncovered) {
    const Window parent = Top("p", {0, 0, 100, 100});
    const Window low = Child(parent, "low", {0, 0, 40, 40});
    const Window high = Child(parent, "high", {20, 20, 60, 60});
    const Window upper = Top("upper", {50, 50, 150, 150});
    for (Window w : {parent, low, high, upper}) ValidateRect(w, nullptr);

    ShowWindow(high, false);
    bool erase = false;
    EXPECT_EQ(TakeUpdateRect(parent, &erase), (Rect{20, 20, 60, 60}));
    EXPECT_TRUE(erase);
    EXPECT_EQ(TakeUpdateRect(low, nullptr), (Rect{20, 20, 40, 40}));

    ShowWindow(upper, false);
    EXPECT_EQ(TakeUpdateRect(parent, nullptr), (Rect{50, 50, 100, 100}));
    // Another top-level's pixels live in its own surface: the children keep theirs.
    EXPECT_FALSE(HasUpdateRect(low));

    // Showing repaints the window and its children whole.
    ShowWindow(high, true);
    EXPECT_EQ(TakeUpdateRect(high, nullptr), (Rect{0, 0, 40, 40}));
}

TEST_F(WindowTest, ActivationGoesToTheTopmostEnabledTopLevelAndFocusComesBack) {
    const Window a = Top("a", {0, 0, 100, 100});
    const Window field = Child(a, "field", {0, 0, 10, 10});
    SetFocus(field);
    events.clear();
    const Window b = Top("b", {0, 0, 100, 100});
    EXPECT_EQ(events, (std::vector<std::string>{"inactive a other=b", "active b other=a"}));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetForegroundWindow(), b);
    EXPECT_EQ(GetFocus(), b);  // a window with nothing focused in it holds the focus itself

    const Window disabled = Top("c", {0, 0, 100, 100}, &LogProc, false);
    EnableWindow(disabled, false);
    ShowWindow(disabled, true);
    EXPECT_EQ(GetActiveWindow(), b);

    DestroyWindow(b);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), field);
}

TEST_F(WindowTest, TopLevelsStayOnTheScreenAndKeepSurfacesOfTheirSize) {
    const Window w = Top("w", {-10, 300, 230, 400});
    EXPECT_EQ(GetWindowRect(w), (Rect{0, 220, 240, 320}));
    ASSERT_NE(WindowSurface(w), nullptr);
    EXPECT_EQ(WindowSurface(w)->width, 240);
    EXPECT_EQ(WindowSurface(w)->height, 100);
    // Fitting twice changes nothing.
    const Rect fit{0, 0, 240, 346};
    MoveWindow(w, fit, true);
    const Rect once = GetWindowRect(w);
    MoveWindow(w, fit, true);
    EXPECT_EQ(GetWindowRect(w), once);
    EXPECT_EQ(once, (Rect{0, 0, 240, 320}));
    EXPECT_EQ(WindowSurface(w)->height, 320);

    const Window c = Child(w, "c", {10, 20, 50, 60});
    const Window g = Child(c, "g", {3, 4, 13, 14});
    EXPECT_EQ(WindowSurface(g), WindowSurface(w));
    EXPECT_EQ(WindowOrigin(g), (Point{13, 24}));
    EXPECT_EQ(ClientToScreen(g, {1, 1}), (Point{14, 25}));
}

TEST_F(WindowTest, ComposeScreenStacksVisibleTopLevels) {
    const Window low = Top("low", {0, 0, 100, 100});
    const Window high = Top("high", {50, 50, 150, 150});
    const Window hidden = Top("hidden", {0, 0, 240, 320}, &LogProc, false);
    auto fill = [](Window w, std::uint16_t px) {
        Surface* s = WindowSurface(w);
        for (int y = 0; y < s->height; ++y) std::fill(s->Row(y), s->Row(y) + s->width, px);
    };
    fill(low, 0x001F);
    fill(high, 0x7C00);
    fill(hidden, 0x03E0);
    const std::uint64_t before = ScreenGeneration();
    MarkScreenChanged();
    EXPECT_NE(ScreenGeneration(), before);
    Surface screen;
    ComposeScreen(screen);
    ASSERT_EQ(screen.width, 240);
    ASSERT_EQ(screen.height, 320);
    EXPECT_EQ(screen.Row(10)[10], 0x001F);
    EXPECT_EQ(screen.Row(60)[60], 0x7C00);
    EXPECT_EQ(screen.Row(200)[200], 0);

    // A window over the whole screen hides those under it; one above it still shows, and
    // once it is hidden the screen it left is cleared, not kept from the last frame.
    const Window cover = Top("cover", {0, 0, 240, 320});
    const Window badge = Top("badge", {100, 100, 120, 120});
    fill(cover, 0x4210);
    fill(badge, 0x7FFF);
    ComposeScreen(screen);
    EXPECT_EQ(screen.Row(10)[10], 0x4210);
    EXPECT_EQ(screen.Row(110)[110], 0x7FFF);
    EXPECT_EQ(screen.Row(200)[200], 0x4210);
    ShowWindow(cover, false);
    ComposeScreen(screen);
    EXPECT_EQ(screen.Row(10)[10], 0x001F);
    EXPECT_EQ(screen.Row(110)[110], 0x7FFF);
    EXPECT_EQ(screen.Row(200)[200], 0);
}

}  // namespace
