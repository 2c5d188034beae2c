// The chart reaches the object pictures through what the program installs at start: the
// marker on a listed object whose picture is in the home, and the picture on command 1871.
#include <gtest/gtest.h>

#include <vector>

#include "chart/chart_form_fixture.h"
#include "chart/chart_overlays.h"
#include "shell/utilities_internal.h"
#include "support/test_pictures.h"

namespace {

class PictureComposition : public ChartFormFixture {
protected:
    static platform::Color At(int x, int y) {
        const platform::Surface* s = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        return platform::PixelToColor(s->Row(o.y + y)[o.x + x]);
    }
    // The pixels where the current object's marker goes.
    static std::vector<platform::Color> MarkerArea() {
        std::vector<platform::Color> pixels;
        const int cx = chartState.width / 2 + chartForm.panX, cy = chartState.height / 2 + chartForm.panY;
        for (int y = cy; y < cy + 16; ++y)
            for (int x = cx; x < cx + 16; ++x) pixels.push_back(At(x, y));
        return pixels;
    }
    void Redraw() {
        Call([] {
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            DrawChart();
            platform::ReleaseDc(formWindow, dc);
        });
    }
};

TEST_F(PictureComposition, TheChartMarksAnObjectWithAPictureAndCommand1871ShowsIt) {
    // The fixture installs links of its own; the program's picture link comes back.
    ChartLinks links = SetChartLinks(ChartLinks{});
    links.showObjectPicture = previousLinks.showObjectPicture;
    ASSERT_NE(links.showObjectPicture, nullptr);
    ASSERT_NE(chartFindObjectPicture, nullptr);
    SetChartLinks(links);

    Open();
    ASSERT_EQ(chartSelectionIndex, 0);   // "Obj 1", NGC 10
    const std::vector<platform::Color> without = MarkerArea();
    ASSERT_TRUE(WriteTestFile(root / "home" / "img" / "ngc" / "NGC10.jpg", SolidTestJpeg(64, 64, 0, 200, 0)));
    Redraw();
    EXPECT_NE(MarkerArea(), without);

    // The picture stays until a tap; what was on the screen meanwhile is taken then.
    int calls = 0;
    platform::Color shown = 0;
    SetPendingInputSource([&](unsigned, unsigned) -> unsigned {
        if (++calls != 2) return 0;   // nothing waiting before the picture is drawn, then one tap
        const int top = static_cast<int>(21 * screenScale.vertical);
        shown = At(chartState.width / 2 - 10, top + (chartState.height - top) / 2);
        return 0x202;
    });
    Command(chartctl::kShowPicture);
    SetPendingInputSource(nullptr);
    EXPECT_GE(calls, 2);
    EXPECT_GT(platform::GreenOf(shown), 150);
    EXPECT_LT(platform::RedOf(shown) + platform::BlueOf(shown), 40);
    EXPECT_TRUE(Texts().empty()) << Texts().front();
}

}  // namespace
