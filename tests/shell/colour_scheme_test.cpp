// Day and night colours: the scheme, the drawing colour and the red conversions.
#include <gtest/gtest.h>

#include "platform/gfx_context.h"
#include "platform/system_colors.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "core/settings.h"

namespace {

using platform::Color;
using platform::Rgb;

class ColourScheme : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetWindows();
        platform::ResetSystemColors();
        nightColours.savedValid = false;
        preferences.word[pref::nightMode] = 0;
        CreateSchemeBrushes();
    }
    void TearDown() override {
        ReleaseDrawTarget();
        preferences.word[pref::nightMode] = 0;
        DeleteSchemeBrushes();
        nightColours.savedValid = false;
        platform::ResetSystemColors();
        platform::ResetWindows();
    }
    static void Night(int mode) {
        preferences.word[pref::nightMode] = mode;
        CreateSchemeBrushes();
    }
};

// A 5-5-5 pixel from its channels.
constexpr std::uint16_t Pixel(int r, int g, int b) { return static_cast<std::uint16_t>(r << 10 | g << 5 | b); }

TEST_F(ColourScheme, NightConversionKeepsRedsBrighter) {
    struct Case {
        int mode;
        std::uint16_t in;
        int red;
    };
    const Case cases[] = {
        {1, Pixel(31, 31, 31), 15}, {2, Pixel(31, 31, 31), 20}, {3, Pixel(31, 31, 31), 31},
        {1, Pixel(31, 0, 0), 10},   {2, Pixel(31, 0, 0), 13},   {3, Pixel(31, 0, 0), 20},
        {3, Pixel(0, 0, 0), 0},     {3, Pixel(0, 30, 0), 10},
    };
    for (const Case& c : cases) {
        Night(c.mode);
        EXPECT_EQ(NightPixel(c.in), c.red << 10) << "mode " << c.mode << " pixel " << c.in;
    }
    Night(0);
    EXPECT_EQ(NightPixel(Pixel(31, 31, 31)), Pixel(31, 31, 31));
}

TEST_F(ColourScheme, ConvertToNightColorsRewritesTheWholeOffscreen) {
    DrawWindow* off = CreateOffscreenDIB(3, 2, 16);
    ASSERT_NE(off, nullptr);
    auto* px = reinterpret_cast<std::uint16_t*>(off->pixels);
    const int perRow = off->stride / 2;
    px[0] = Pixel(31, 31, 31);
    px[perRow + 2] = Pixel(31, 0, 0);
    ConvertToNightColors(off);   // day: unchanged
    EXPECT_EQ(px[0], Pixel(31, 31, 31));
    Night(2);
    ConvertToNightColors(off);
    EXPECT_EQ(px[0], Pixel(20, 0, 0));
    EXPECT_EQ(px[perRow + 2], Pixel(13, 0, 0));
    EXPECT_EQ(px[1], 0);
    DeleteOffscreen(off);
}

TEST_F(ColourScheme, SchemeColoursByDayAndNight) {
    EXPECT_EQ(GetBackColor(), Rgb(255, 255, 255));
    EXPECT_EQ(GetForeColor(), 0u);
    EXPECT_EQ(GetHighlightColor(), 0xC8413Eu);
    EXPECT_EQ(GetHighlightTextColor(), Rgb(255, 255, 255));
    EXPECT_EQ(GetNightLevel(), 255);
    const int levels[] = {102, 140, 204};
    for (int mode = 1; mode <= 3; ++mode) {
        Night(mode);
        EXPECT_EQ(GetNightLevel(), levels[mode - 1]);
        EXPECT_EQ(GetBackColor(), 0u);
        EXPECT_EQ(GetForeColor(), Rgb(levels[mode - 1], 0, 0));
        EXPECT_EQ(GetHighlightColor(), Rgb(levels[mode - 1], 0, 0));
        EXPECT_EQ(GetHighlightTextColor(), 0u);
    }
    EXPECT_TRUE(GetBackBrush());
    EXPECT_TRUE(GetHighlightPen());
    DeleteSchemeBrushes();
    EXPECT_FALSE(GetBackBrush());
}

TEST_F(ColourScheme, TheFirstForeColorOfATargetReportsTheBackground) {
    platform::Dc dc = platform::MakeMemoryDc(platform::Dc{});
    platform::GfxObject bitmap = platform::MakeBitmap(4, 4);
    platform::GfxObject old = platform::SelectObject(dc, bitmap);
    SetDrawTarget(platform::Window{}, dc);
    EXPECT_EQ(SetForeColor(Rgb(10, 20, 30)), GetBackColor());
    EXPECT_EQ(SetForeColor(Rgb(1, 2, 3)), Rgb(10, 20, 30));
    EXPECT_EQ(drawPixel16, platform::ColorToPixel(Rgb(1, 2, 3)));
    // A new target drops the colour: the next call reports the background again.
    SetDrawTarget(platform::Window{}, dc);
    EXPECT_EQ(drawColour, kNoColour);
    EXPECT_EQ(SetForeColor(Rgb(10, 20, 30)), GetBackColor());
    // The pen made by SetForeColor is what the context draws lines with.
    platform::MoveTo(dc, 0, 0, nullptr);
    platform::LineTo(dc, 2, 0);
    EXPECT_EQ(platform::GetPixel(dc, 1, 0), platform::PixelToColor(platform::ColorToPixel(Rgb(10, 20, 30))));
    ReleaseDrawTarget();
    platform::SelectObject(dc, old);
    platform::DeleteObject(bitmap);
    platform::DeleteDc(dc);
}

TEST_F(ColourScheme, NightSwitchTurnsSystemColoursRedAndBack) {
    const Color dayWindow = platform::SystemColor(platform::kColorWindow);
    const Color dayText = platform::SystemColor(platform::kColorWindowText);
    Night(2);
    SetNightColours(2);
    EXPECT_EQ(platform::SystemColor(platform::kColorWindow), Rgb(1, 0, 0));
    EXPECT_EQ(platform::SystemColor(platform::kColorWindowText), Rgb(140, 0, 0));
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), Rgb(140, 0, 0));
    EXPECT_EQ(platform::SystemColor(platform::kColorMenu), Rgb(20, 0, 0));
    // Moving between night levels keeps the day colours captured first.
    Night(3);
    SetNightColours(3);
    EXPECT_EQ(platform::SystemColor(platform::kColorWindowText), Rgb(204, 0, 0));
    Night(0);
    SetNightColours(0);
    EXPECT_EQ(platform::SystemColor(platform::kColorWindow), dayWindow);
    EXPECT_EQ(platform::SystemColor(platform::kColorWindowText), dayText);
    EXPECT_EQ(GetBackColor(), Rgb(255, 255, 255));
}

TEST_F(ColourScheme, PresetsAreWhatTheDayColoursRestore) {
    // Without a captured set, going to day colours changes nothing.
    const int frame[1] = {platform::kColorButtonFace};
    const Color odd[1] = {Rgb(1, 2, 3)};
    platform::SetSystemColors(1, frame, odd);
    SetNightColours(0);
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), Rgb(1, 2, 3));

    ApplyColourPreset(1234);   // not a preset: nothing to restore yet
    SetNightColours(0);
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), Rgb(1, 2, 3));

    ApplyColourPreset(2003);
    SetNightColours(0);
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), 0xC0CCD9u);
    EXPECT_EQ(platform::SystemColor(platform::kColorActiveCaption), 0x990000u);
    ApplyColourPreset(2005);
    SetNightColours(0);
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), 0xE9DCC9u);
    EXPECT_EQ(platform::SystemColor(platform::kColorMenuText), 0x7F4E0Cu);
}

TEST_F(ColourScheme, NightKeyFollowsThePixels) {
    Night(1);
    const std::uint16_t white = platform::ColorToPixel(Rgb(255, 255, 255));
    EXPECT_EQ(platform::ColorToPixel(NightColour(Rgb(255, 255, 255))), NightPixel(white));
    EXPECT_EQ(NightColour(0), 0u);
    ColourRecord record{7, 10, 20, 30};
    EXPECT_EQ(RGBToColorRef(record), Rgb(10, 20, 30));
}

}  // namespace
