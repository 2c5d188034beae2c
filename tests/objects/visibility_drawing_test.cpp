// The grade under a button and the best-period bar, drawn on a headless form.
#include <gtest/gtest.h>

#include "objects/visibility_drawing.h"
#include "shell/forms_fixture.h"

namespace {

using forms_test::FormsFixture;
using forms_test::kFormA;
using forms_test::kGo;
using platform::Color;
using platform::Rgb;

Color Shown(Color c) { return platform::PixelToColor(platform::ColorToPixel(c)); }

double drawnMargin = 0.0;
void DrawGrade() { DrawDifficultyScale(kGo, drawnMargin); }

constexpr int kBarX = 10, kBarY = 200, kBarWidth = 220, kBarHeight = 15;
void DrawBar() { DrawBestPeriodBar(kBarX, kBarY, kBarWidth, kBarHeight, 2024, 6.0, 20.0, 3, 15); }

class VisibilityDrawing : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        savedSite = observerLocation;
    }
    void TearDown() override {
        observerLocation = savedSite;
        FormsFixture::TearDown();
    }
    ObserverLocation savedSite;
};

}  // namespace

TEST_F(VisibilityDrawing, GradeBitmapOnTheButtonAndItsWordCentredUnderIt) {
    drawnMargin = 2.0;
    forms_test::Scripts()[kFormA].draw = &DrawGrade;
    Open(kFormA);
    RunUntilIdle();
    const platform::Window go = Item(kGo);
    const auto* st = reinterpret_cast<const ButtonState*>(platform::GetUserData(go));
    ASSERT_NE(st, nullptr);
    EXPECT_EQ(st->bitmapId, 5003);  // "Easy" by day
    EXPECT_TRUE(Texts().empty());

    const platform::Rect button = platform::GetRectInParent(go);
    const int top = button.bottom, bottom = button.bottom + 13;
    const int left = button.left - 5, right = button.right + 5;
    int ink = 0, first = right, last = left;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (PixelOf(formWindow, x, y) == Shown(Rgb(0, 0, 0))) {
                ++ink;
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_GT(ink, 15);
    EXPECT_NEAR((first + last) / 2.0, (left + right) / 2.0, 2.0);
    // Outside the band the form is untouched.
    EXPECT_EQ(PixelOf(formWindow, left - 2, top + 6), Shown(GetBackColor()));
}

TEST_F(VisibilityDrawing, BestPeriodBarFillsTheNightMonthsAndMarksTheDate) {
    observerLocation = MakeSite(50.0f, 0.0f, 0, 0);
    forms_test::Scripts()[kFormA].draw = &DrawBar;
    Open(kFormA);
    RunUntilIdle();
    const int cell = (kBarWidth - 13) / 12;
    auto cellPixel = [&](int month) { return PixelOf(formWindow, kBarX + 1 + (month - 1) * (cell + 1) + 1, kBarY + 2); };
    const Color filled = Shown(Rgb(249, 210, 20));
    const Color empty = Shown(Rgb(255, 255, 180));
    EXPECT_EQ(cellPixel(1), filled);
    EXPECT_EQ(cellPixel(12), filled);
    EXPECT_EQ(cellPixel(6), empty);
    EXPECT_EQ(cellPixel(7), empty);
    const int mark = kBarX + 1 + 2 * (cell + 1) + 14 * cell / 31;
    EXPECT_EQ(PixelOf(formWindow, mark, kBarY + kBarHeight - 2), Shown(Rgb(200, 0, 0)));
    EXPECT_EQ(PixelOf(formWindow, kBarX, kBarY), empty);   // the frame's corner
}
