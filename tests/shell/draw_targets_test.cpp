// Draw targets, offscreens, the saved screen and the blits between them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/report.h"
#include "platform/gfx_context.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "core/settings.h"
#include "shell/screen_window_fixture.h"

namespace {

namespace fs = std::filesystem;
using platform::Color;
using platform::Rgb;

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBlue = Rgb(0, 0, 255);

class DrawTargets : public ScreenWindowTest {
protected:
    void SetUp() override { Start(1); }
    void TearDown() override { Stop(); }

    void Start(int scale) { OpenScreen(scale); }
    void Stop() {
        FreeSavedScreen();
        FreeScreenBuffer();
        CloseScreen();
        platform::SetHomeRoot({});
    }
    // A w x h pixel offscreen filled with one colour.
    static DrawWindow* Solid(int w, int h, Color c) {
        DrawWindow* r = CreateOffscreenDIB(w, h, 16);
        platform::GfxObject b = platform::MakeBrush(c);
        platform::FillRect(r->dc, platform::Rect{0, 0, w, h}, b);
        platform::DeleteObject(b);
        return r;
    }
    static std::uint16_t& Px(DrawWindow* r, int x, int y) {
        return reinterpret_cast<std::uint16_t*>(r->pixels + (r->height - 1 - y) * r->stride)[x];
    }
    static std::uint16_t Px(const DrawWindow* r, int x, int y) { return Px(const_cast<DrawWindow*>(r), x, y); }
};

TEST_F(DrawTargets, ScaleAndResizeDelta) {
    EXPECT_DOUBLE_EQ(screenScale.horizontal, 1.0);
    int dx = 7, dy = 7;
    EXPECT_FALSE(GetResizeDelta(window, 240, 320, &dx, &dy));
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    EXPECT_TRUE(GetResizeDelta(window, 250, 300, &dx, &dy));
    EXPECT_EQ(dx, 10);
    EXPECT_EQ(dy, -20);
    Stop();
    Start(2);
    EXPECT_DOUBLE_EQ(screenScale.vertical, 2.0);
    EXPECT_FALSE(GetResizeDelta(window, 480, 640, &dx, &dy));
    int w = 0, h = 0;
    GetScreenSize(&w, &h);
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 640);
}

TEST_F(DrawTargets, MoveObjectMovesAndResizesAChild) {
    platform::WindowSpec desc;
    desc.parent = window;
    desc.id = 1001;
    desc.rect = platform::Rect{10, 20, 50, 40};
    platform::CreateWindow(desc);
    MoveObject(window, 1001, 5, 6, 0, 0);
    Bounds b;
    GetObjectBounds(window, 1001, &b);
    EXPECT_EQ(b.x, 15);
    EXPECT_EQ(b.y, 26);
    EXPECT_EQ(b.width, 40);
    EXPECT_EQ(b.height, 20);
    MoveObject(window, 1001, 0, 0, 10, -5);
    GetObjectBounds(window, 1001, &b);
    EXPECT_EQ(b.width, 50);
    EXPECT_EQ(b.height, 15);
    Bounds untouched{1, 2, 3, 4};
    MoveObject(window, 999, 5, 5, 5, 5);
    GetObjectBounds(window, 999, &untouched);
    EXPECT_EQ(untouched.x, 1);
}

TEST_F(DrawTargets, OffscreensCarryTheirFormat) {
    DrawWindow* dib = CreateOffscreenDIB(5, 3, 16);
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->bitsPerPixel, 16);
    EXPECT_EQ(dib->stride, 12);
    EXPECT_EQ(dib->bytesPerPixel, 2);
    EXPECT_NE(dib->pixels, nullptr);
    DrawWindow* plain = CreateOffscreen(5, 3);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->pixels, nullptr);
    EXPECT_EQ(plain->window, window);
    EXPECT_EQ(CreateOffscreenDIB(0, 3, 16), nullptr);
    EXPECT_EQ(CreateOffscreen(3, -1), nullptr);
    // Deleting the current target leaves no dangling pointer behind.
    SetDrawWindow(dib);
    DeleteOffscreen(dib);
    EXPECT_EQ(GetDrawWindow(), nullptr);
    DeleteOffscreen(plain);
    DeleteOffscreen(nullptr);
}

TEST_F(DrawTargets, SavedScreenIsReusedAndRestoresExactly) {
    SetForeColor(Rgb(200, 100, 50));
    DrawRectangle(Bounds{10, 10, 30, 20}, 0);
    DrawLine(0, 319, 239, 0);
    SaveScreen();
    DrawWindow* first = offscreenSaved;
    ASSERT_NE(first, nullptr);
    SaveScreen();
    EXPECT_EQ(offscreenSaved, first);

    std::vector<Color> before;
    for (int y = 0; y < 320; y += 7)
        for (int x = 0; x < 240; x += 3) before.push_back(Screen(x, y));
    SetForeColor(0);
    DrawRectangle(Bounds{0, 0, 240, 320}, 0);
    RestoreScreen(22);
    std::size_t i = 0;
    for (int y = 0; y < 320; y += 7)
        for (int x = 0; x < 240; x += 3, ++i) {
            if (y >= 298) {
                EXPECT_EQ(Screen(x, y), 0u) << x << "," << y;   // the bottom band is left alone
            } else {
                EXPECT_EQ(Screen(x, y), before[i]) << x << "," << y;
            }
        }
}

// Before a form is laid out there is nothing to keep: no copy, and no box for the user.
TEST_F(DrawTargets, SavingAnEmptyScreenKeepsNothingAndSaysNothing) {
    SaveScreen();
    ASSERT_NE(offscreenSaved, nullptr);
    const platform::Rect client = drawState.clientRect;
    drawState.clientRect = platform::Rect{0, 0, 0, 0};
    ClearRecordedReports();
    SaveScreen();
    EXPECT_EQ(offscreenSaved, nullptr);
    EXPECT_TRUE(RecordedReports().empty());
    RestoreScreen(0);
    drawState.clientRect = client;
}

int underlines = 0;
void CountUnderline(platform::Window, platform::Dc) { ++underlines; }

TEST_F(DrawTargets, DoubleBufferDrawsOffscreenThenCopies) {
    underlines = 0;
    titleUnderline = CountUnderline;
    SetForeColor(kRed);
    BeginOffscreenDraw(false);   // the first use clears
    EXPECT_EQ(underlines, 1);
    titleUnderline = nullptr;
    EXPECT_EQ(GetDrawWindow(), screenBuffer);
    DrawRectangle(Bounds{5, 30, 10, 10}, 0);
    EXPECT_EQ(Screen(6, 31), kWhite);
    EndOffscreenDraw();
    EXPECT_EQ(Screen(6, 31), kRed);
    EXPECT_NE(GetDrawWindow(), screenBuffer);
    EXPECT_EQ(GetScreenBuffer(), screenBuffer);
    FreeScreenBuffer();
    EXPECT_EQ(screenBuffer, nullptr);
}

TEST_F(DrawTargets, SaveRectRestoresTheBackground) {
    SetForeColor(kBlue);
    DrawRectangle(Bounds{20, 20, 4, 4}, 0);
    DrawWindow* saved = SaveRect(Bounds{18, 18, 8, 8});
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->width, 9);
    SetForeColor(kRed);
    DrawRectangle(Bounds{18, 18, 9, 9}, 0);
    RestoreRect(saved, 18, 18);
    EXPECT_EQ(Screen(21, 21), kBlue);
    EXPECT_EQ(Screen(18, 18), kWhite);
    EXPECT_EQ(Screen(26, 26), kWhite);
}

TEST_F(DrawTargets, TransparentCopyOfPixelsHonoursTheKeyAndBothEdges) {
    DrawWindow* src = Solid(4, 3, 0);
    src->transparentColour = 0;
    Px(src, 0, 0) = 0x7C00;   // red, first row
    Px(src, 3, 2) = 0x001F;   // blue, last row
    DrawWindow* dst = Solid(6, 5, kWhite);

    CopyBitsTransparent(src, dst, Bounds{0, 0, 4, 3}, 0, 0);
    EXPECT_EQ(Px(dst, 0, 0), 0x7C00);   // the first source row lands on the top row
    EXPECT_EQ(Px(dst, 3, 2), 0x001F);
    EXPECT_EQ(Px(dst, 1, 1), 0x7FFF);   // key pixels are skipped

    // Wider than the room left: cut at the right edge.
    CopyBitsTransparent(src, dst, Bounds{0, 0, 4, 3}, 3, 2);
    EXPECT_EQ(Px(dst, 3, 2), 0x7C00);
    EXPECT_EQ(Px(dst, 5, 4), 0x7FFF);

    // A rectangle that runs past the source reads nothing beyond it.
    DrawWindow* clean = Solid(6, 5, kWhite);
    CopyBitsTransparent(src, clean, Bounds{2, 0, 6, 3}, 0, 0);
    EXPECT_EQ(Px(clean, 1, 2), 0x001F);
    for (int x = 2; x < 6; ++x) EXPECT_EQ(Px(clean, x, 2), 0x7FFF) << x;

    // A negative destination draws nothing at all.
    DrawWindow* untouched = Solid(6, 5, kWhite);
    CopyBitsTransparent(src, untouched, Bounds{0, 0, 4, 3}, -1, 0);
    EXPECT_EQ(Px(untouched, 0, 0), 0x7FFF);
    EXPECT_EQ(Px(untouched, 2, 2), 0x7FFF);

    for (DrawWindow* r : {src, dst, clean, untouched}) DeleteOffscreen(r);
}

TEST_F(DrawTargets, PlainAndTransparentCopies) {
    DrawWindow* src = Solid(4, 4, kBlue);
    src->transparentColour = kBlue;
    Px(src, 1, 1) = 0x7C00;
    DrawWindow* dst = Solid(8, 8, kWhite);
    CopyBits(src, dst, Bounds{0, 0, 4, 4}, 2, 2, 0);
    EXPECT_EQ(Px(dst, 2, 2), 0x001F);
    EXPECT_EQ(Px(dst, 3, 3), 0x7C00);
    DrawWindow* keyed = Solid(8, 8, kWhite);
    CopyBits(src, keyed, Bounds{0, 0, 4, 4}, 2, 2, kDrawTransparent);
    EXPECT_EQ(Px(keyed, 2, 2), 0x7FFF);
    EXPECT_EQ(Px(keyed, 3, 3), 0x7C00);
    for (DrawWindow* r : {src, dst, keyed}) DeleteOffscreen(r);
}

TEST_F(DrawTargets, StretchBitsMagnifiesAboutTheCentre) {
    DrawWindow* src = Solid(4, 4, kWhite);
    Px(src, 1, 1) = 0x7C00;
    Px(src, 2, 2) = 0x001F;
    DrawWindow* dst = Solid(4, 4, 0);
    StretchBits(src, dst, Bounds{0, 0, 4, 4}, 0, 0, 0, 2.0f);
    // The middle 2 x 2 of the source, doubled.
    EXPECT_EQ(Px(dst, 0, 0), 0x7C00);
    EXPECT_EQ(Px(dst, 1, 1), 0x7C00);
    EXPECT_EQ(Px(dst, 2, 2), 0x001F);
    EXPECT_EQ(Px(dst, 3, 3), 0x001F);
    EXPECT_EQ(Px(dst, 3, 0), 0x7FFF);

    DrawWindow* none = Solid(4, 4, 0);
    StretchBits(src, none, Bounds{0, 0, 4, 4}, 0, 0, 0, 0.0f);
    StretchBits(src, none, Bounds{0, 0, 4, 4}, 0, 0, 0, -1.0f);
    EXPECT_EQ(Px(none, 1, 1), 0);
    for (DrawWindow* r : {src, dst, none}) DeleteOffscreen(r);
}

TEST_F(DrawTargets, MirrorFlipsAndReleasesTheOriginal) {
    DrawWindow* src = Solid(3, 2, kWhite);
    Px(src, 0, 0) = 0x7C00;
    DrawWindow* same = MirrorOffscreen(src, 0, 0);
    ASSERT_NE(same, src);
    EXPECT_EQ(platform::GetPixel(same->dc, 0, 0), kRed);
    EXPECT_EQ(platform::GetPixel(same->dc, 2, 1), kWhite);
    DrawWindow* flipped = MirrorOffscreen(same, 1, 1);
    EXPECT_EQ(platform::GetPixel(flipped->dc, 2, 1), kRed);
    EXPECT_EQ(platform::GetPixel(flipped->dc, 0, 0), kWhite);
    EXPECT_EQ(MirrorOffscreen(nullptr, 1, 1), nullptr);
    DeleteOffscreen(flipped);
}

TEST_F(DrawTargets, BitmapResourcesLoadAndTurnRedAtNight) {
    EXPECT_EQ(LoadBitmap16(1), nullptr);
    EXPECT_EQ(DrawBitmap(1, 0, 0), 0);
    DrawWindow* day = LoadBitmap16(4109);
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->width, 168);
    EXPECT_EQ(day->height, 63);
    EXPECT_EQ(Px(day, 0, 0), 0x7FFF);
    DeleteOffscreen(day);
    preferences.word[pref::nightMode] = 3;
    DrawWindow* night = LoadBitmap16(4109);
    ASSERT_NE(night, nullptr);
    EXPECT_EQ(Px(night, 0, 0), 31 << 10);
    DeleteOffscreen(night);
}

// Paints blit from pictures decoded once per run, by day and per night mode, until the
// colour scheme is rebuilt; LoadBitmapOffscreen hands out a copy the caller may free.
TEST_F(DrawTargets, PicturesAreDecodedOnceUntilTheColourSchemeChanges) {
    EXPECT_EQ(CachedBitmap(1), nullptr);
    const DrawWindow* day = CachedBitmap(4109);
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(CachedBitmap(4109), day);

    DrawWindow* copy = LoadBitmap16(4109);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, day);
    for (int y = 0; y < day->height; y += 7)
        for (int x = 0; x < day->width; x += 5) ASSERT_EQ(Px(copy, x, y), Px(day, x, y));
    Px(copy, 0, 0) = 0;
    DeleteOffscreen(copy);
    EXPECT_EQ(Px(CachedBitmap(4109), 0, 0), 0x7FFF);

    preferences.word[pref::nightMode] = 3;
    const DrawWindow* night = CachedBitmap(4109);
    ASSERT_NE(night, nullptr);
    EXPECT_NE(night, day);
    EXPECT_EQ(Px(night, 0, 0), 31 << 10);

    // A mark left in the cached picture shows whether it was decoded again.
    Px(const_cast<DrawWindow*>(night), 1, 1) = 0x1234;
    EXPECT_EQ(Px(CachedBitmap(4109), 1, 1), 0x1234);
    CreateSchemeBrushes();
    EXPECT_NE(Px(CachedBitmap(4109), 1, 1), 0x1234);
}

// The copy stretched once and kept puts down what stretching the picture on every paint did.
TEST_F(DrawTargets, StretchedPictureEqualsAFreshStretch) {
    const DrawWindow* picture = CachedBitmap(4110);
    ASSERT_NE(picture, nullptr);
    const int w = picture->width * 2 + 1, h = picture->height * 3 / 2;
    const DrawWindow* kept = CachedBitmapAt(4110, w, h);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(CachedBitmapAt(4110, w, h), kept);
    EXPECT_EQ(CachedBitmapAt(4110, picture->width, picture->height), picture);
    DrawWindow* fresh = CreateOffscreenDIB(w, h, 16);
    platform::StretchBlit(fresh->dc, 0, 0, w, h, picture->dc, 0, 0, picture->width, picture->height);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(Px(kept, x, y), Px(fresh, x, y)) << x << "," << y;
    DeleteOffscreen(fresh);
}

TEST_F(DrawTargets, MaskedBitmapsKeepTheBackgroundUnderTheirKey) {
    SetForeColor(kRed);
    DrawRectangle(Bounds{0, 0, 240, 100}, 0);
    DrawBitmapMasked(4110, 0, 0);   // key black, the top-left pixel
    EXPECT_EQ(Screen(0, 0), kRed);
    DrawBitmap(4110, 0, 0);         // plain: the black comes through
    EXPECT_EQ(Screen(0, 0), 0u);
    DrawRectangle(Bounds{0, 0, 240, 100}, 0);
    DrawBitmapTransparent(4110, 0, 0);
    EXPECT_EQ(Screen(0, 0), kRed);
}

TEST_F(DrawTargets, BitmapsFollowTheScreenScale) {
    Stop();
    Start(2);
    SetForeColor(kRed);
    DrawRectangle(Bounds{0, 0, 480, 200}, 0);
    DrawBitmap(3999, 0, 0);
    // 234 x 18 design pixels cover 468 x 36 at scale 2; the strip's background is black.
    EXPECT_EQ(Screen(467, 35), 0u);
    EXPECT_EQ(Screen(468, 10), kRed);
    EXPECT_EQ(Screen(10, 36), kRed);
    DrawRectangle(Bounds{0, 0, 480, 200}, 0);
    DrawBitmapScaled(3999, 0, 0, 1.5);   // 351 x 27, masked
    EXPECT_EQ(Screen(0, 0), kRed);
}

class PictureFiles : public DrawTargets {
protected:
    void SetUp() override {
        DrawTargets::SetUp();
        home = fs::temp_directory_path() / ("velkarion_gfx_" + std::to_string(::getpid()));
        fs::create_directories(home / "img" / "misc");
        platform::SetHomeRoot(home);
        // A 40 x 20 picture: red with a blue left column.
        platform::Surface s = platform::MakeSurface(40, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) s.Row(y)[x] = x == 0 ? 0x001F : 0x7C00;
        ASSERT_TRUE(platform::SavePng(s, home / "img" / "misc" / "pic.png"));
    }
    void TearDown() override {
        DrawTargets::TearDown();
        std::error_code ec;
        fs::remove_all(home, ec);
    }
    fs::path home;
};

TEST_F(PictureFiles, FitNeverEnlargesAndCentres) {
    ASSERT_EQ(DrawImageFileFit("img\\misc\\pic.png", 10, 10, 100, 100), 1);
    // Own size, centred: left 10 + 30, top 10 + 40.
    EXPECT_EQ(Screen(40, 50), kBlue);
    EXPECT_EQ(Screen(41, 50), kRed);
    EXPECT_EQ(Screen(79, 69), kRed);
    EXPECT_EQ(Screen(80, 69), kWhite);
    EXPECT_EQ(Screen(40, 70), kWhite);
    EXPECT_EQ(Screen(39, 50), kWhite);

    // A box half as wide shrinks it by 2 and centres it vertically.
    EXPECT_EQ(DrawImageFileFit("img\\misc\\pic.png", 0, 200, 20, 40), 1);
    EXPECT_EQ(Screen(0, 215), kRed);    // the shrink samples the second column
    EXPECT_EQ(Screen(19, 224), kRed);
    EXPECT_EQ(Screen(10, 214), kWhite);
    EXPECT_EQ(Screen(10, 225), kWhite);
}

TEST_F(PictureFiles, MissingPictureSaysWhereItLooked) {
    EXPECT_EQ(DrawImageFileFit("img\\misc\\none.jpg", 0, 0, 10, 10), 0);
    ASSERT_EQ(platform::ShownBoxes().size(), 1u);
    EXPECT_NE(platform::ShownBoxes()[0].text.find("Can't find"), std::string::npos);
    EXPECT_NE(platform::ShownBoxes()[0].text.find("none.jpg"), std::string::npos);
    DrawWindow* pic = LoadImageFile("img\\misc\\pic.png", 16);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->width, 40);
    EXPECT_EQ(platform::GetPixel(pic->dc, 0, 0), kBlue);
    DeleteOffscreen(pic);
}

TEST_F(PictureFiles, PictureTooLargeToShowIsNamedWithTheReason) {
    platform::Surface wide = platform::MakeSurface(4097, 1);
    ASSERT_TRUE(platform::SavePng(wide, home / "img" / "misc" / "wide.png"));
    EXPECT_EQ(LoadImageFile("img\\misc\\wide.png", 16), nullptr);
    ASSERT_EQ(platform::ShownBoxes().size(), 1u);
    const std::string& text = platform::ShownBoxes()[0].text;
    EXPECT_EQ(text.rfind("Can't load picture\n" + (home / "img" / "misc" / "wide.png").string() +
                             ": 4097 x 1 pixels is larger than the program shows",
                         0),
              0u)
        << text;
}

}  // namespace
