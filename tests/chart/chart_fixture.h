#pragma once
// The chart tests' world: a site, a star file, the selection list and the chart buffers in
// a temporary install, the chart's state as at program start, a tick and clock source the
// test drives, and fakes for the services the chart calls in other subsystems.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/catalog_fixture.h"
#include "catalog/chart_buffers.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_links.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "chart/sky_matrix.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "shell/utilities_internal.h"

// What the fakes of the chart's links saw.
struct LinkCalls {
    std::vector<int> rates;
    int mapImagesFreed = 0;
    int criteria = 0;
    int nightDialogs = 0;
    bool encoder = false;
};
inline LinkCalls linkCalls;

// The chart's globals as at program start, the flip settings cleared.
inline void ResetChartGlobals() {
    chartState = ChartState{};
    chartState.horizonZoom = chartState.otherZoom = -1;
    chartState.starLimit = 13.0f;
    chartState.objectLimit = 100.0f;
    chartState.xSign = chartState.ySign = 1;
    chartClock = ChartClock{};
    chartViews[0] = chartViews[1] = ChartViewRecord{};
    chartZoom = -1;
    chartSelectionIndex = -1;
    lastDrawnRow = 0;
    chartFilterRow = 0;
    scopeTracking = 0;
    skyCacheKey = SkyCacheKey{-1, 0, 0, 0, 0, 0, 0, 0, 0.0f, 0.0f};
    chartMatrix = ChartMatrix{};
    for (int n = 0; n < kZoomLevels; ++n) zoomPixelScales[n] = -1.0f;
    static const std::int32_t kScales[kZoomLevels] = {65536,   91750,   115015,  153354,  230031,
                                                      306708,  458752,  688128,  1376256, 2752512,
                                                      5505024, 9175000, 13762560, 16500000};
    for (int n = 0; n < kZoomLevels; ++n) zoomChartScales[n] = kScales[n];
    for (int w = chartpref::viewFirst; w <= chartpref::viewLast; ++w) preferences.word[w] = 0;
}

class ChartTest : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        savedPreferences = preferences;
        savedSite = observerLocation;
        savedTime = observingDateTime;
        SetDefaultSettings();
        ResetChart();

        SetLatitude(observerLocation, 48.2f);
        observerLocation.longitude = -16.4f;  // west positive: 16.4 degrees east
        observerLocation.zoneMinutes = 60;
        SetObservingDateTime(2024, 5, 10, 22, 30, 0);

        objectBuffer = static_cast<std::uint8_t*>(std::calloc(1, kObjectBufferSize));
        ticks = 0;
        deviceTime = LocalDateTimeFields{2024, 5, 10, 22, 30, 0};
        SetTickSource([this] { return ticks; });
        SetLocalClockSource([this] { return deviceTime; });

        linkCalls = LinkCalls{};
        ChartLinks fakes;
        fakes.scopeSetRate = [](int rate) { linkCalls.rates.push_back(rate); };
        fakes.isEncoderDrive = [] { return linkCalls.encoder; };
        fakes.freeMapImages = [] { ++linkCalls.mapImagesFreed; };
        fakes.initSelectionCriteria = [](int, int, int) { ++linkCalls.criteria; };
        fakes.nightModeSettings = [] { ++linkCalls.nightDialogs; };
        previousLinks = SetChartLinks(fakes);
    }
    void TearDown() override {
        SetChartLinks(previousLinks);
        SetTickSource({});
        SetLocalClockSource({});
        FreeSelectionList();
        std::free(objectBuffer);
        objectBuffer = nullptr;
        ResetChart();
        preferences = savedPreferences;
        observerLocation = savedSite;
        observingDateTime = savedTime;
        CatalogTest::TearDown();
    }

    static void ResetChart() { ResetChartGlobals(); }

    // Chart mode and zoom level, with the chart laid out on the 240 x 320 screen and its
    // clock stepped to the device time.
    void UseChart(int mode, int level, int rotation = 0) {
        SetChartSetting(chartpref::chartType, mode);
        chartState.horizonZoom = chartState.otherZoom = level;
        UpdateCurrentTime(1);
        PrepareChartView();
        chartState.rotation = rotation;
        SetProjectionCenter(rotation);
    }

    // Writes a default star file of (ra hours, dec degrees) and loads it into the table.
    void LoadStars(const std::vector<std::pair<float, float>>& stars) {
        WriteFile(Data(kDefaultStarsFile), 0, kCreatorDefaultStars, kStarRecordSize,
                  static_cast<std::uint32_t>(stars.size()), [&](std::uint32_t i, std::uint8_t* r) {
                      le::PutI16(r, 0, static_cast<std::int16_t>(i + 1));
                      le::PutF32(r, 4, stars[i].first);
                      le::PutF32(r, 8, stars[i].second);
                  });
        OpenCatalogDatabases(1);
        ClearRecordedReports();
        ASSERT_EQ(LoadStarTable(0), 1);
        ASSERT_EQ(GetStarTableCount(), static_cast<int>(stars.size()));
    }

    // A selection list holding these places (ra hours, dec degrees) as NGC objects.
    void FillSelection(const std::vector<std::pair<float, float>>& places) {
        ASSERT_EQ(AllocSelectionList(), 1);
        for (std::size_t i = 0; i < places.size(); ++i) {
            SelectionRecord& r = selectionList.records[i];
            r.objectNumber = static_cast<std::int32_t>(1000 + i);
            r.catalogCode = 42;
            r.typeCode = 16;
            r.rightAscension = places[i].first;
            r.declination = places[i].second;
            selectionList.index[i] = static_cast<std::int32_t>(i);
            selectionListPtr[i] = &r;
        }
        selectionList.recordCount = selectionList.indexCount = static_cast<int>(places.size());
    }

    // A list filled to its capacity with places at Arcturus; returns the capacity.
    int FillFullSelection() {
        if (AllocSelectionList() != 1) return 0;
        const int capacity = selectionList.capacity;
        for (int i = 0; i < capacity; ++i) {
            SelectionRecord& r = selectionList.records[i];
            r.objectNumber = i;
            r.catalogCode = 42;
            r.rightAscension = 14.26f;
            r.declination = 19.18f;
            selectionList.index[i] = i;
        }
        selectionList.recordCount = selectionList.indexCount = capacity;
        return capacity;
    }

    // Both chart buffers carry their empty markers.
    static void ExpectBuffersEmpty() {
        std::int32_t marker;
        std::memcpy(&marker, starBuffer, sizeof marker);
        EXPECT_EQ(marker, kStarBufferEmpty);
        std::int16_t end;
        std::memcpy(&end, objectBuffer, sizeof end);
        EXPECT_EQ(end, kObjectBufferEnd);
    }

    std::uint32_t ticks = 0;
    LocalDateTimeFields deviceTime;
    ChartLinks previousLinks;
    Preferences savedPreferences;
    ObserverLocation savedSite;
    ObservingDateTime savedTime;
};
