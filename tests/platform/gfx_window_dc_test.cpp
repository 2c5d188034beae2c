// Window device contexts: paint areas, the clipping of children and siblings, the erase
// message and the default painters.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/messages.h"
#include "platform/system_colors.h"
#include "platform/window.h"

namespace platform {
namespace {

constexpr Color kRed = Rgb(255, 0, 0);

std::vector<unsigned> seen;
WParam eraseDc = 0;

LResult Recorder(Window w, unsigned message, WParam wParam, LParam lParam) {
    seen.push_back(message);
    if (message == kMsgEraseBackground) {
        eraseDc = wParam;
        return 1;
    }
    return DefWindowProc(w, message, wParam, lParam);
}

class WindowDc : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindows();
        SetScreenGeometry(1, 0, 0);
        InstallDefaultPainters();
        ResetSystemColors();
        seen.clear();
        eraseDc = 0;
    }
    void TearDown() override {
        ResetWindows();
        ResetSystemColors();
    }
    static Window Make(Window parent, Rect r, WindowProc proc = nullptr) {
        WindowSpec desc;
        desc.parent = parent;
        desc.rect = r;
        desc.proc = proc;
        return CreateWindow(desc);
    }
    // Fills the whole client area of w through a window context.
    static void Fill(Window w, Color c) {
        Dc dc = GetWindowDc(w);
        GfxObject b = MakeBrush(c);
        FillRect(dc, Rect{0, 0, 1000, 1000}, b);
        DeleteObject(b);
        ReleaseDc(w, dc);
    }
    static Color At(Window w, int x, int y) {
        const Surface* s = WindowSurface(w);
        const Point o = WindowOrigin(w);
        return PixelToColor(s->Row(y + o.y)[x + o.x]);
    }
    static void Pump() {
        Message m;
        for (int i = 0; i < 100 && PeekMessage(m, Window{}, 0, 0, true); ++i) DispatchMessage(m);
    }
};

TEST_F(WindowDc, PaintDrawsOnlyInTheUpdateAreaAndValidatesIt) {
    Window w = Make(Window{}, Rect{0, 0, 100, 100}, Recorder);
    Fill(w, 0);
    ValidateRect(w, nullptr);
    const Rect area{10, 10, 30, 20};
    InvalidateRect(w, &area, true);
    Rect update;
    Dc dc = BeginPaint(w, &update);
    ASSERT_TRUE(dc);
    EXPECT_EQ(update, area);
    EXPECT_EQ(eraseDc, static_cast<WParam>(dc.value));   // the erase came with this context
    EXPECT_FALSE(HasUpdateRect(w));
    GfxObject red = MakeBrush(kRed);
    FillRect(dc, Rect{0, 0, 100, 100}, red);
    DeleteObject(red);
    EXPECT_TRUE(EndPaint(w, dc));
    EXPECT_EQ(At(w, 10, 10), kRed);
    EXPECT_EQ(At(w, 29, 19), kRed);
    EXPECT_EQ(At(w, 30, 19), 0u);
    EXPECT_EQ(At(w, 9, 10), 0u);
    EXPECT_FALSE(EndPaint(w, dc));   // stale now

    // Without an erase request no erase message comes.
    eraseDc = 0;
    InvalidateRect(w, nullptr, false);
    dc = BeginPaint(w, nullptr);
    EXPECT_EQ(eraseDc, 0u);
    EndPaint(w, dc);
}

TEST_F(WindowDc, ChildrenAndHigherSiblingsAreClippedOut) {
    Window parent = Make(Window{}, Rect{0, 0, 100, 100});
    Window low = Make(parent, Rect{10, 10, 50, 50});
    Window high = Make(parent, Rect{30, 30, 70, 70});
    Fill(parent, 0);
    Fill(parent, kRed);
    EXPECT_EQ(At(parent, 5, 5), kRed);
    EXPECT_EQ(At(parent, 20, 20), 0u);   // under a child
    Fill(low, Rgb(0, 255, 0));
    EXPECT_EQ(At(low, 0, 0), Rgb(0, 255, 0));   // the child's own origin
    EXPECT_EQ(At(parent, 10, 10), Rgb(0, 255, 0));
    EXPECT_EQ(At(low, 30, 30), 0u);             // under its higher sibling
    Fill(high, Rgb(0, 0, 255));
    EXPECT_EQ(At(low, 30, 30), Rgb(0, 0, 255));
    // A hidden window draws nothing.
    ShowWindow(high, false);
    Fill(high, kRed);
    EXPECT_EQ(At(parent, 40, 40), Rgb(0, 0, 255));
    Dc hidden = GetWindowDc(high);
    EXPECT_TRUE(ClipBox(hidden).Empty());
    ReleaseDc(high, hidden);
}

TEST_F(WindowDc, DefaultPaintErasesInTheSystemColour) {
    const int index[1] = {kColorWindow};
    const Color green[1] = {Rgb(0, 255, 0)};
    Window w = Make(Window{}, Rect{0, 0, 50, 50});
    Pump();
    EXPECT_FALSE(HasUpdateRect(w));
    SetSystemColors(1, index, green);   // repaints every window
    EXPECT_TRUE(HasUpdateRect(w));
    Pump();
    EXPECT_FALSE(HasUpdateRect(w));
    EXPECT_EQ(At(w, 25, 25), Rgb(0, 255, 0));
    EXPECT_EQ(SystemColor(kColorWindow), Rgb(0, 255, 0));
    EXPECT_EQ(SystemColor(99), 0u);
}

TEST_F(WindowDc, ContextsOfDeadWindowsFailHarmlessly) {
    Window w = Make(Window{}, Rect{0, 0, 20, 20});
    Dc dc = GetWindowDc(w);
    DestroyWindow(w);
    EXPECT_FALSE(SetPixel(dc, 1, 1, 0));
    EXPECT_EQ(GetPixel(dc, 1, 1), kNoColor);
    EXPECT_TRUE(ReleaseDc(w, dc));
    EXPECT_FALSE(GetWindowDc(w));
    EXPECT_FALSE(BeginPaint(w, nullptr));
    EXPECT_EQ(ScreenDpi(), 96);
}

}  // namespace
}  // namespace platform
