#pragma once
// The chart's layer tests: the chart fixture with the program's resources, a 240 x 320
// 16-bit canvas the layers draw on (black at start), and small record files of stars,
// level-file zones and object index zones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "astro/time_scales.h"
#include "catalog/databases.h"
#include "catalog/records.h"
#include "chart/chart_services.h"
#include "chart_fixture.h"
#include "platform/gfx_context.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "support/draw_target_window.h"

class ChartLayerTest : public ChartTest {
protected:
    void SetUp() override {
        // The resources are found from the program's install, before the test's own.
        resourcesLoaded = platform::LoadResources();
        ChartTest::SetUp();
        ASSERT_TRUE(resourcesLoaded);
        platform::ResetWindows();
        platform::SetScreenGeometry(1, 0, 0);
        InitScreenScale();
        OpenDrawTargetWindow(platform::Rect{0, 0, 240, 320}, window, dc);
        canvas = CreateOffscreenDIB(240, 320, 16);
        ASSERT_NE(canvas, nullptr);
        previous = SetDrawWindow(canvas);
        Clear();
        SetTextColor(platform::Rgb(255, 255, 255));
        FreeSavedBitmap();
        LoadToolIcons(0);
    }
    void TearDown() override {
        SetDrawWindow(previous);
        DeleteOffscreen(canvas);
        FreeSavedBitmap();
        FreeSymbolStrips();
        ResetStarCatalogLevel();
        CloseDb(objectIndexDb);
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        ChartTest::TearDown();
    }

    // Black everywhere; the drawing colour stays as it was.
    void Clear() {
        const platform::Color colour = SetForeColor(platform::Rgb(0, 0, 0));
        DrawRectangle(Bounds{0, 0, 240, 320}, 0);
        SetForeColor(colour);
    }
    platform::Color Pixel(int x, int y) const { return platform::GetPixel(canvas->dc, x, y); }
    bool Lit(int x, int y) const { return (Pixel(x, y) & 0xF8F8F8) != 0; }
    // Pixels that are not black inside [x0, x1) x [y0, y1).
    int CountLit(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = std::max(y0, 0); y < std::min(y1, 320); ++y)
            for (int x = std::max(x0, 0); x < std::min(x1, 240); ++x) n += Lit(x, y) ? 1 : 0;
        return n;
    }

    // Sets the observing time of the test's day to the minute whose local sidereal time
    // lies nearest `lstHours`, and lays the chart out for that time.
    void UseChartAtLst(int mode, int level, double lstHours) {
        int best = 0;
        double bestDiff = 99.0;
        for (int m = 0; m < 1440; ++m) {
            const double lst = LocalSiderealTime(2024, 10, 11, m / 60, m % 60, 0, observerLocation.longitude,
                                                 observerLocation.zoneMinutes);
            double d = std::fabs(lst - lstHours);
            d = std::min(d, 24.0 - d);
            if (d < bestDiff) {
                bestDiff = d;
                best = m;
            }
        }
        deviceTime = LocalDateTimeFields{2024, 10, 11, best / 60, best % 60, 0};
        SetChartSetting(chartpref::timeUpdate, 0);
        UseChart(mode, level);
    }

    // A stellar level file of zones of 42 entries sorted by declination, opened as the
    // chart's level. Stars are (ra hours, dec degrees, magnitude sixteenths).
    struct FaintStar {
        double ra;
        double dec;
        int magnitude;
    };
    void OpenLevelFile(std::vector<FaintStar> stars) {
        WriteLevelFile("level_test.ppc", std::move(stars));
        ASSERT_TRUE(OpenDb(stellarDb, kCreatorStellarLevel, kTypeCodeQvn1, 0, kDataFolder, "level_test.ppc"));
        starsPerRecord = 42;
    }
    void WriteLevelFile(const char* name, std::vector<FaintStar> stars) {
        std::sort(stars.begin(), stars.end(), [](const FaintStar& a, const FaintStar& b) { return a.dec < b.dec; });
        const std::uint32_t records = static_cast<std::uint32_t>((stars.size() + 41) / 42);
        WriteFile(Data(name), 0, kCreatorStellarLevel, 42 * kStellarStarEntrySize, records,
                  [&](std::uint32_t r, std::uint8_t* bytes) {
                      for (std::size_t i = 0; i < 42; ++i) {
                          const std::size_t k = r * 42 + i;
                          // The last zone repeats its last star where the list ends, too
                          // faint to be drawn.
                          FaintStar s = stars[std::min(k, stars.size() - 1)];
                          if (k >= stars.size()) s.magnitude = 255;
                          StellarStarEntry e;
                          e.number = static_cast<std::uint32_t>(k + 1);
                          const double ra = s.ra * 3600.0;
                          e.raHours = static_cast<std::int8_t>(static_cast<int>(ra) / 3600);
                          e.raMinutes = static_cast<std::int8_t>(static_cast<int>(ra) / 60 % 60);
                          e.raSeconds = static_cast<std::int8_t>(static_cast<int>(ra) % 60);
                          const double dec = std::fabs(s.dec) * 3600.0;
                          const int sign = s.dec < 0 ? -1 : 1;
                          e.decDegrees = static_cast<std::int8_t>(sign * (static_cast<int>(dec) / 3600));
                          e.decMinutes = static_cast<std::int8_t>(sign * (static_cast<int>(dec) / 60 % 60));
                          e.decSeconds = static_cast<std::int8_t>(sign * (static_cast<int>(dec) % 60));
                          e.magnitude = static_cast<std::uint8_t>(s.magnitude);
                          EncodeStellarStarEntry(e, bytes + i * kStellarStarEntrySize);
                      }
                  });
    }

    // An object index of zones of 15 entries sorted by declination, opened as the chart's.
    void OpenObjectIndexFile(std::vector<ObjectIndexEntry> entries) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const ObjectIndexEntry& a, const ObjectIndexEntry& b) { return a.dec < b.dec; });
        const std::uint32_t records = static_cast<std::uint32_t>((entries.size() + 14) / 15);
        WriteFile(Data(kObjectIndexFile), 0, kCreatorObjectIndex, 15 * kObjectIndexEntrySize, records,
                  [&](std::uint32_t r, std::uint8_t* bytes) {
                      for (std::size_t i = 0; i < 15; ++i) {
                          const std::size_t k = r * 15 + i;
                          ObjectIndexEntry e = entries[std::min(k, entries.size() - 1)];
                          // Padding past the list is never shown.
                          if (k >= entries.size()) e.limit = 30000;
                          EncodeObjectIndexEntry(e, bytes + i * kObjectIndexEntrySize);
                      }
                  });
        ASSERT_TRUE(OpenDb(objectIndexDb, kCreatorObjectIndex, kTypeCodeQvn1, 0, kDataFolder, kObjectIndexFile));
    }
    static ObjectIndexEntry Object(std::uint32_t number, double raHours, double decDegrees, int type = 16) {
        ObjectIndexEntry e;
        e.number = number;
        e.catalog = 42;
        e.selectionNumber = static_cast<std::int16_t>(number);
        e.ra = HoursToFixedAngle(raHours);
        e.dec = DegreesToFixedAngle(decDegrees);
        e.type = static_cast<std::int16_t>(type);
        e.limit = 50;
        return e;
    }

    bool resourcesLoaded = false;
    platform::Window window;
    platform::Dc dc;
    DrawWindow* canvas = nullptr;
    DrawWindow* previous = nullptr;
};
