// The font set, the symbol font, text helpers, icon strips and the drawing extras.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/gfx_context.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/text_fonts.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "core/settings.h"
#include "shell/screen_window_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform::Color;
using platform::Rgb;

constexpr Color kWhite = Rgb(255, 255, 255);

class Fonts : public ScreenWindowTest {
protected:
    void SetUp() override {
        // Tests run in parallel processes: the folder is the process's own.
        install = fs::temp_directory_path() / ("velkarion_fonts_" + std::to_string(::getpid()));
        fs::create_directories(install / "font");
        platform::SetInstallRoot(install);
        Start(1, true);
    }
    void TearDown() override {
        Stop();
        platform::SetInstallRoot({});
        std::error_code ec;
        fs::remove_all(install, ec);
    }
    void Start(int scale, bool withSymbolFile) {
        if (withSymbolFile)
            fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", install / "font" / "symbol.ttf",
                          fs::copy_options::overwrite_existing);
        else
            fs::remove(install / "font" / "symbol.ttf");
        preferences.word[pref::chartBackground] = 2;
        OpenScreen(scale);
    }
    void Stop() {
        FreeSymbolStrips();
        CloseScreen();
        ReleaseFonts();
    }
    std::vector<Color> Area(int x, int y, int w, int h) const {
        std::vector<Color> v;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) v.push_back(Screen(x + i, y + j));
        return v;
    }
    static int Height(int id) {
        platform::FontSpec desc;
        EXPECT_TRUE(platform::GetFontSpec(fontSet.fonts[id], &desc));
        return desc.height;
    }
    static int Weight(int id) {
        platform::FontSpec desc;
        platform::GetFontSpec(fontSet.fonts[id], &desc);
        return desc.weight;
    }
    int Boxes(const std::string& needle) const {
        int n = 0;
        for (const auto& b : platform::ShownBoxes()) n += b.text.find(needle) != std::string::npos;
        return n;
    }

    fs::path install;
};

TEST_F(Fonts, HeightsFollowTheSystemFontAndTheScale) {
    SetFont(0);
    const int expected1[kFontCount] = {-11, -12, -9, -9, -11, -11, -12, -9};
    for (int id = 0; id < kFontCount; ++id) EXPECT_EQ(Height(id), expected1[id]) << "font " << id;
    for (int id : {1, 3, 5}) EXPECT_EQ(Weight(id), 700);
    EXPECT_TRUE(fontSet.ownSymbolStd);
    Stop();
    Start(2, true);
    SetFont(0);
    const int expected2[kFontCount] = {-21, -24, -18, -18, -21, -21, -24, -18};
    for (int id = 0; id < kFontCount; ++id) EXPECT_EQ(Height(id), expected2[id]) << "font " << id;
    EXPECT_EQ(platform::ShownBoxes().size(), 0u);
}

TEST_F(Fonts, SetFontReportsThePreviousIdAndRejectsUnknownOnes) {
    EXPECT_EQ(SetFont(3), 0);
    EXPECT_EQ(GetFont(), 3);
    EXPECT_EQ(platform::CurrentObject(dc, platform::ObjectKind::Font), fontSet.fonts[3]);
    EXPECT_EQ(SetFont(9), 3);
    EXPECT_EQ(GetFont(), 0);
    EXPECT_EQ(platform::CurrentObject(dc, platform::ObjectKind::Font), fontSet.fonts[3]);   // nothing selected
    EXPECT_EQ(SetFont(-1), 0);
    // A new draw target starts from font id 0 again once a colour was set.
    SetFont(5);
    SetForeColor(0);
    SetDrawTarget(window, dc);
    EXPECT_EQ(GetFont(), 0);
}

TEST_F(Fonts, MissingSymbolFileFallsBackAndSaysSoOnce) {
    Stop();
    Start(1, false);
    SetFont(6);
    EXPECT_EQ(fontSet.fonts[6], fontSet.fonts[0]);
    EXPECT_EQ(fontSet.fonts[7], fontSet.fonts[2]);
    EXPECT_FALSE(fontSet.ownSymbolStd);
    SetFont(7);
    SetFont(0);
    EXPECT_EQ(Boxes("Can't find font ressource."), 1);
    EXPECT_EQ(Boxes("Symbol Font not found."), 1);
    // The symbol character is then drawn as the plain letter in font 0.
    DrawSymbolChar('a', 10, 10);
    SetFont(0);
    DrawStringNoFont("a", 1, 40, 10);
    EXPECT_EQ(Area(10, 10, 12, 16), Area(40, 10, 12, 16));
}

TEST_F(Fonts, SymbolCharIsGreek) {
    DrawSymbolChar('a', 10, 10);
    EXPECT_EQ(GetFont(), 0);
    platform::FontSpec plain;
    plain.height = -12;
    platform::GfxObject f = platform::MakeFont(plain);
    platform::GfxObject old = platform::SelectObject(dc, f);
    platform::SetBackMode(dc, platform::BackMode::Transparent);
    platform::TextOut(dc, 40, 10, "a");
    platform::SelectObject(dc, old);
    platform::DeleteObject(f);
    EXPECT_NE(Area(10, 10, 12, 16), Area(40, 10, 12, 16));
    EXPECT_TRUE(platform::IsFontFileAdded(install / "font" / "symbol.ttf"));
    ReleaseFonts();
    EXPECT_FALSE(platform::IsFontFileAdded(install / "font" / "symbol.ttf"));
}

TEST_F(Fonts, StringsDrawInTheSmallFontOnATransparentBackground) {
    SetForeColor(Rgb(0, 0, 255));
    DrawRectangle(Bounds{0, 0, 100, 40}, 0);
    DrawString("Mm", 2, 2, 2);
    EXPECT_EQ(GetFont(), 0);
    // Font 2 (the small one) was used: the same text in font 2 matches.
    SetFont(2);
    DrawStringNoFont("Mm", 2, 2, 20);
    EXPECT_EQ(Area(2, 2, 20, 12), Area(2, 20, 20, 12));
    // Nothing but ink and the blue background: the text was transparent.
    for (Color c : Area(0, 0, 30, 16)) EXPECT_TRUE(c == 0 || c == Rgb(0, 0, 255));
    SetTextTransparent(0);
    DrawString("Mm", 2, 2, 2);
    EXPECT_EQ(Screen(2, 2), kWhite);   // opaque: the cell took the background colour
    EXPECT_EQ(SetTextTransparent(1), 0);

    const int width = CharsWidth("Mm", 2);
    EXPECT_GT(width, 0);
    EXPECT_EQ(CharsWidth("Mm", 1), CharsWidth("M", 5));
    const int line = platform::GetTextMetrics(dc).height;
    EXPECT_EQ(DrawTextInBox("one two three", 0, 50, width, 100), 3 * line);
}

TEST_F(Fonts, LabelRightIsCentredOnItsPointAtUnitScale) {
    DrawLabelRight("Vega", 100, 30);
    SetFont(3);
    const int w = CharsWidth("Vega", 4);
    EXPECT_EQ(GetDpiFactor(), 2);
    int left = 1000, right = -1;
    for (int x = 60; x < 140; ++x)
        for (int y = 30; y < 45; ++y)
            if (Screen(x, y) != kWhite) left = std::min(left, x), right = std::max(right, x);
    EXPECT_GE(left, 100 - w / 2);
    EXPECT_LE(right, 100 - w / 2 + w);
    EXPECT_NEAR((left + right) / 2.0, 100, 3);
}

TEST_F(Fonts, SymbolIconsAreCentredWithTheirKeyTransparent) {
    SetForeColor(Rgb(0, 0, 255));
    DrawRectangle(Bounds{0, 0, 100, 100}, 0);
    DrawSymbolIcon(0, 0, 50, 50);   // the Sun
    EXPECT_EQ(symbolStrip.cell, 18);
    const Color centre = Screen(50, 50);
    EXPECT_NE(centre, Rgb(0, 0, 255));
    EXPECT_GT(platform::RedOf(centre), 200);
    EXPECT_EQ(Screen(41, 46), Rgb(0, 0, 255));   // between two rays: the key
    // On a window the icon is cut at the edge rather than dropped.
    DrawSymbolIcon(0, 0, 3, 50);
    EXPECT_NE(Screen(3, 50), Rgb(0, 0, 255));
}

TEST_F(Fonts, ToolIconsKeepTheirTransparencyAtNight) {
    preferences.word[pref::nightMode] = 1;
    CreateSchemeBrushes();
    SetForeColor(0);
    DrawRectangle(Bounds{0, 0, 100, 100}, 0);
    LoadToolIcons(2);   // the white-background strip, turned red
    DrawToolIcon(4, 50, 50);   // the nebula square
    EXPECT_EQ(Screen(50, 50), 0u);   // inside the square: the key, so the black shows
    bool red = false;
    for (int x = 40; x < 61; ++x) red |= Screen(x, 43) != 0u;
    EXPECT_TRUE(red);
    for (int x = 40; x < 61; ++x) EXPECT_EQ(platform::GreenOf(Screen(x, 43)), 0);
}

TEST_F(Fonts, PhaseProfiles) {
    const int n = 10;
    int left[n], right[n];
    ComputePhaseProfile(0.005, left, right, n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(left[i], right[i]);
    ComputePhaseProfile(0.5, left, right, n);
    for (int i = 0; i < n; ++i) {
        const int a = static_cast<int>(std::cos(std::asin(static_cast<double>(i) / n)) * n);
        EXPECT_EQ(left[i], n - a) << i;
        EXPECT_EQ(right[i], n + a) << i;
    }
    EXPECT_EQ(left[0], 0);
    EXPECT_EQ(right[0], 2 * n);
    ComputePhaseProfile(0.25, left, right, n);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(left[i], n) << i;
        EXPECT_GT(right[i], n) << i;
    }
    ComputePhaseProfile(0.75, left, right, n);
    for (int i = 0; i < n; ++i) {
        EXPECT_LT(left[i], n) << i;
        EXPECT_EQ(right[i], n) << i;
    }
}

TEST_F(Fonts, DayBarWrapsPastMidnight) {
    const int x = 20, y = 100, width = 200, height = 20;
    const int hour = width / 25 + 1;   // 9 pixels
    SetForeColor(Rgb(0, 128, 0));
    DrawDayBar(x, y, width, height, -1.0f, 22.0f, 1.0f, 4.0f);
    const Color span = platform::PixelToColor(platform::ColorToPixel(Rgb(249, 210, 20)));
    const Color base = platform::PixelToColor(platform::ColorToPixel(Rgb(255, 255, 180)));
    const int row = y + height / 2 + 2;
    auto at = [&](double h) { return Screen(x + static_cast<int>(h * hour) + 2, row); };
    for (double h : {22.2, 23.5, 0.2, 1.5, 3.5}) EXPECT_EQ(at(h), span) << h;
    for (double h : {4.5, 12.5, 21.5}) EXPECT_EQ(at(h), base) << h;
    // No mark line, and the caller's colour is back.
    for (int yy = y; yy < y + height; ++yy)
        for (int xx = x; xx < x + 24 * hour; ++xx) EXPECT_NE(Screen(xx, yy), Rgb(200, 0, 0));
    EXPECT_EQ(drawColour, Rgb(0, 128, 0));
    // The upper half keeps the caller's colour; a long tick runs at midnight.
    EXPECT_EQ(Screen(x + 5 * hour + 3, y + 2), platform::PixelToColor(platform::ColorToPixel(Rgb(0, 128, 0))));
    EXPECT_EQ(Screen(x - 1, y + height / 2 + 1), 0u);

    DrawDayBar(x, y, width, height, 12.0f, 22.0f, 1.0f, 4.0f);
    EXPECT_EQ(Screen(x + 12 * hour, y + 1), platform::PixelToColor(platform::ColorToPixel(Rgb(200, 0, 0))));
}

}  // namespace
