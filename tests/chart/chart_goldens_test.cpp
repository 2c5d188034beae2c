// A few small pictures of the chart's overlays and star column, compared pixel for pixel
// with committed PNGs in tests/data/chart (a failure writes the actual picture and a
// difference map into golden_failures/; VELKARION_UPDATE_GOLDEN=1 rewrites the pictures).
#include <cstdlib>
#include <filesystem>

#include "chart/chart_overlays.h"
#include "chart/star_layers.h"
#include "chart_layers_fixture.h"
#include "platform/picture.h"
#include "platform/surface.h"

namespace {

namespace fs = std::filesystem;

class ChartGoldenTest : public ChartLayerTest {
protected:
    void SetUp() override {
        ChartLayerTest::SetUp();
        SetChartSetting(chartpref::background, kBackgroundBlack);
    }
    // The 64 x 64 square of the canvas at (x, y) against tests/data/chart/<name>.png.
    void ExpectSquareLike(const std::string& name, int x0, int y0) {
        constexpr int kSide = 64;
        platform::Surface square = platform::MakeSurface(kSide, kSide);
        for (int y = 0; y < kSide; ++y) {
            const std::uint8_t* row = canvas->pixels + static_cast<std::size_t>(canvas->height - 1 - (y0 + y)) * canvas->stride;
            for (int x = 0; x < kSide; ++x) {
                std::uint16_t p;
                std::memcpy(&p, row + static_cast<std::size_t>(x0 + x) * 2, sizeof p);
                square.Row(y)[x] = p & 0x7FFF;
            }
        }
        const fs::path file = fs::path(VELKARION_TEST_DATA) / "chart" / (name + ".png");
        if (std::getenv("VELKARION_UPDATE_GOLDEN")) {
            fs::create_directories(file.parent_path());
            ASSERT_TRUE(platform::SavePng(square, file));
            return;
        }
        platform::Surface golden;
        ASSERT_TRUE(platform::LoadPicture(file, &golden)) << file;
        ASSERT_EQ(golden.width, kSide);
        ASSERT_EQ(golden.height, kSide);
        platform::Surface diff = platform::MakeSurface(kSide, kSide);
        int differ = 0;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const bool same = (golden.Row(y)[x] & 0x7FFF) == square.Row(y)[x];
                diff.Row(y)[x] = same ? static_cast<std::uint16_t>((golden.Row(y)[x] >> 2) & 0x1CE7) : 0x7C1F;
                differ += same ? 0 : 1;
            }
        if (differ) {
            const fs::path out = fs::current_path() / "golden_failures";
            fs::create_directories(out);
            platform::SavePng(square, out / (name + ".actual.png"));
            platform::SavePng(diff, out / (name + ".diff.png"));
            ADD_FAILURE() << name << ": " << differ << " pixels differ; see " << out;
        }
    }
};

TEST_F(ChartGoldenTest, StarColumnByDayAndAtNight) {
    DrawMagnitudeScale(nullptr, 5, 20, 2, 5);
    ExpectSquareLike("star_column_1x", 0, 0);
    Clear();
    SetChartSetting(chartpref::nightMode, 1);
    FreeSavedBitmap();
    DrawMagnitudeScale(nullptr, 5, 20, 2, 5);
    ExpectSquareLike("star_column_1x_night", 0, 0);
}

TEST_F(ChartGoldenTest, TargetCursorTelradAndGauge) {
    DrawTargetCursor(32, 32);
    ExpectSquareLike("target_cursor_1x", 0, 0);
    Clear();
    preferences.word[pref::telradRadius] = 5;
    preferences.word[pref::telradRadius + 1] = 20;
    preferences.word[pref::telradRadius + 2] = 40;
    DrawTelrad(32, 32, 0.125f, platform::Rgb(255, 64, 64));
    ExpectSquareLike("telrad_1x", 0, 0);
    Clear();
    DrawDirectionGauge(0, 0, static_cast<std::int32_t>(0.5 * 16777216), static_cast<std::int32_t>(0.8 * 16777216));
    ExpectSquareLike("direction_gauge_1x", 0, 0);
}

}  // namespace
