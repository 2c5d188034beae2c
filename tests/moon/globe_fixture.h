#pragma once
// Globe drawing on a 16-bit offscreen draw target, with a temporary install root for the
// map textures and a temporary resource folder for the bitmap resources, both written by
// the tests as small generated pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/report.h"
#include "core/settings.h"
#include "moon/angle_icons.h"
#include "moon/map_textures.h"
#include "platform/gfx_context.h"
#include "platform/headless.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "support/draw_target_window.h"
#include "support/golden_screen.h"

// 5-5-5 pixels of the fixture pictures.
constexpr std::uint16_t Px(int r, int g, int b) { return static_cast<std::uint16_t>(r << 10 | g << 5 | b); }
inline constexpr std::uint16_t kNorthEast = Px(31, 0, 0);
inline constexpr std::uint16_t kNorthWest = Px(0, 31, 0);
inline constexpr std::uint16_t kSouthEast = Px(0, 0, 31);
inline constexpr std::uint16_t kSouthWest = Px(31, 31, 0);
inline constexpr std::uint16_t kMarker = Px(31, 31, 31);

class GlobeTest : public ::testing::Test {
protected:
    static constexpr int kSize = 320;

    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("vk-moon-" + std::to_string(::getpid()) + "-" + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "install" / "maps");
        std::filesystem::create_directories(root / "resources" / "bitmaps");
        // The symbol font the text drawing needs, as the program ships it.
        std::filesystem::create_directories(root / "install" / "font");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   root / "install" / "font" / "symbol.ttf");
        platform::SetInstallRoot(root / "install");
        if (const char* r = std::getenv("VELKARION_RESOURCES")) savedResources = r;
        ::setenv("VELKARION_RESOURCES", (root / "resources").c_str(), 1);
        preferences.word[pref::nightMode] = 0;
        ClearPictureCache();
        FreeMapImages();
        ForgetFailedMapImages();
        mapImageCache.loader = &LoadImageFile;
        ClearRecordedReports();
        target = CreateOffscreenDIB(kSize, kSize, 16);
        ASSERT_NE(target, nullptr);
        Fill(0);
        previous = SetDrawWindow(target);
    }
    void TearDown() override {
        SetDrawWindow(previous);
        DeleteOffscreen(target);
        FreeMapImages();
        ForgetFailedMapImages();
        FreeFeatureBitmap();
        mapImageCache.loader = &LoadImageFile;
        ClearPictureCache();
        preferences.word[pref::nightMode] = 0;
        if (savedResources.empty()) ::unsetenv("VELKARION_RESOURCES");
        else ::setenv("VELKARION_RESOURCES", savedResources.c_str(), 1);
        platform::SetInstallRoot({});
        std::filesystem::remove_all(root);
    }

    // The target's pixel at screen point (x, y).
    std::uint16_t Pixel(int x, int y) const {
        return reinterpret_cast<const std::uint16_t*>(target->pixels + (target->height - 1 - y) * target->stride)[x];
    }
    void Fill(std::uint16_t value) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                reinterpret_cast<std::uint16_t*>(target->pixels + (target->height - 1 - y) * target->stride)[x] =
                    value;
    }
    // The nearest screen point within `reach` pixels of (x, y) holding `value`, or false.
    bool Near(int x, int y, std::uint16_t value, int reach) const {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (Pixel(x + dx, y + dy) == value) return true;
        return false;
    }

    // A picture written as PNG (the loader tells the format from the bytes, not the name);
    // pixel(x, y) gives the 5-5-5 value at column x of screen row y (0 the top).
    static void WritePicture(const std::filesystem::path& path, int width, int height,
                             const std::function<std::uint16_t(int, int)>& pixel) {
        platform::Surface s = platform::MakeSurface(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) s.Row(y)[x] = pixel(x, y);
        ASSERT_TRUE(platform::SavePng(s, path));
    }
    void WriteMap(const char* name, int width, int height, const std::function<std::uint16_t(int, int)>& pixel) {
        WritePicture(root / "install" / "maps" / (std::string(name) + "_map.jpg"), width, height, pixel);
    }
    void WriteBitmap(int id, int width, int height, const std::function<std::uint16_t(int, int)>& pixel) {
        WritePicture(root / "resources" / "bitmaps" / (std::to_string(id) + ".png"), width, height, pixel);
    }
    // One colour per quarter (east: longitude 0 and up; north: latitude 0 and up) and a
    // white marker at longitude 0, latitude 0.
    static std::uint16_t Quadrants(int x, int y, int width, int height) {
        const bool east = x >= width / 2, north = y <= height / 2 - 1;
        if (x == width / 2 && y == height / 2 - 1) return kMarker;
        return north ? (east ? kNorthEast : kNorthWest) : (east ? kSouthEast : kSouthWest);
    }
    void WriteQuadrantMap(const char* name, int width = 360, int height = 180) {
        WriteMap(name, width, height, [=](int x, int y) { return Quadrants(x, y, width, height); });
    }

    std::filesystem::path root;
    std::string savedResources;
    DrawWindow* target = nullptr;
    DrawWindow* previous = nullptr;
};

// The same, drawing on a headless 240 x 320 screen window instead of the offscreen target:
// for the views compared with golden screens or read off the window.
class GlobeScreenTest : public GlobeTest {
protected:
    void SetUp() override {
        GlobeTest::SetUp();
        if (HasFatalFailure()) return;
        platform::headless::Install(platform::headless::Options{});
        InitScreenScale();
        OpenDrawTargetWindow(platform::Rect{0, 0, 240, 320}, window, dc);
    }
    void TearDown() override {
        CloseDrawTargetWindow(window, dc);
        platform::headless::Uninstall();
        GlobeTest::TearDown();
    }
    // Shows what was drawn and compares the screen with a golden picture.
    void ExpectScreen(const std::filesystem::path& golden, const std::vector<platform::Rect>& excluded = {}) {
        platform::MarkScreenChanged();
        platform::PresentScreen();
        ExpectScreenLike(golden, excluded);
    }

    platform::Window window;
    platform::Dc dc;
};
