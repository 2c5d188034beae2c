#pragma once
// The sky chart form on the headless driver, for the tests of the chart form and of what
// its controls do: a catalog of three dozen bright stars in a temporary install, a site
// and an instant, a fake search that fills an empty list with two objects, and the forms
// the chart asks for.
#include <gtest/gtest.h>
#include <unistd.h>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>
#include "catalog/byte_order.h"
#include "catalog/catalog_fixture.h"
#include "chart/chart_fixture.h"
#include "catalog/chart_buffers.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_popups.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_zoom.h"
#include "core/observing_time.h"
#include "shell/forms_fixture.h"
#include "support/golden_screen.h"

// The fake search the chart runs on an empty list: two objects, the first one the Moon's
// neighbour in the sky of the test's instant.
struct SearchCalls {
    int count = 0;
    int typeClass = 0, kind = 0, type = 0;
};
inline SearchCalls searchCalls;

inline void FakeSearch(int typeClass, int kind, int type) {
    searchCalls = SearchCalls{searchCalls.count + 1, typeClass, kind, type};
    const float places[2][2] = {{13.42f, -11.16f}, {14.26f, 19.18f}};
    for (int i = 0; i < 2; ++i) {
        SelectionRecord& r = selectionList.records[i];
        r = SelectionRecord{};
        std::snprintf(r.label, sizeof r.label, "Obj %d", i + 1);
        r.objectNumber = 10 + i;
        r.catalogCode = 42;
        r.typeCode = 16;
        r.rightAscension = places[i][0];
        r.declination = places[i][1];
        r.magnitude10 = 80;
        selectionList.index[i] = i;
        selectionListPtr[i] = &r;
    }
    selectionList.recordCount = selectionList.indexCount = 2;
    InvalidateSelectionProjection();
}

// The forms the chart asked for, in order.
inline std::vector<int> askedForms;
inline platform::LResult ChartHostProc(platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    if (m == platform::kMsgCommand && platform::LowWord(wp) == kCmdShowForm) {
        askedForms.push_back(static_cast<int>(lp & 0xFFFF));
    }
    return FormHostProc(w, m, wp, lp);
}

class ChartFormFixture : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("vk-chartform-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "install" / "data");
        std::filesystem::create_directories(root / "home");
        // The symbol font the chart's labels need, as the program ships it.
        std::filesystem::create_directories(root / "install" / "font");
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   root / "install" / "font" / "symbol.ttf");
        EnterCatalogState(root / "install", root / "home");
        WriteStars();
        OpenCatalogDatabases(1);
        ASSERT_EQ(LoadStarTable(0), 1);
        ASSERT_EQ(AllocSelectionList(), 1);
        // The catalog files beyond the stars are not what these tests are about.
        ClearRecordedReports();
        objectBuffer = static_cast<std::uint8_t*>(std::calloc(1, kObjectBufferSize));
        std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);

        savedSite = observerLocation;
        savedTime = observingDateTime;
        SetLatitude(observerLocation, 48.2f);
        observerLocation.longitude = -16.4f;
        observerLocation.zoneMinutes = 60;
        SetObservingDateTime(2024, 5, 10, 22, 30, 0);
        SetChartSetting(chartpref::timeUpdate, 1);   // the set time runs on
        SetChartSetting(chartpref::chartType, kChartModeSkyMap);
        SetChartSetting(chartpref::savedZoom, 3);
        SetChartSetting(chartpref::background, kBackgroundWhite);
        SetChartSetting(chartpref::cursor, 0);
        SetChartSetting(chartpref::objectNames, 1);
        SetChartSetting(chartpref::hideCompass, 0);
        SetChartSetting(chartpref::tapAction, 1);
        for (int w = chartpref::viewFirst; w <= chartpref::viewLast; ++w) preferences.word[w] = 0;
        ResetChartForm();

        searchCalls = SearchCalls{};
        ChartLinks links;
        links.runObjectSelection = &FakeSearch;
        links.initSelectionCriteria = [](int, int, int) {};
        previousLinks = SetChartLinks(links);

        SetFormDialogProc(kChartFormId, &ScopeAssistant);
        for (int id : {112, 2830, 1950}) parked.emplace_back(id, SetFormDialogProc(id, nullptr));
        messageHeadingTexts.count = messageDetailTexts.count = 0;
        messageQueue.busy = 0;
        platform::ClearShownBoxes();
        StartWithMainWindow(&ChartHostProc);
        Advance(5000);
    }
    void TearDown() override {
        Stop();
        CloseChartForm();
        SetFormDialogProc(kChartFormId, nullptr);
        for (auto [id, proc] : parked) SetFormDialogProc(id, proc);
        SetChartLinks(previousLinks);
        FreeSelectionList();
        std::free(objectBuffer);
        objectBuffer = nullptr;
        LeaveCatalogState();
        std::filesystem::remove_all(root);
        observerLocation = savedSite;
        observingDateTime = savedTime;
        ResetChartForm();
        FormScreenFixture::TearDown();
    }

    static void ResetChartForm() {
        DeleteOffscreen(chartState.offscreen);
        ResetChartGlobals();
        chartForm = ChartFormState{};
        chartTap = ChartTapState{};
        penTapArmed = 0;
    }

    // Three dozen bright stars spread over the sky, brightest first.
    void WriteStars() {
        RecordFileImage image;
        image.version = 0;
        image.creator = kCreatorDefaultStars;
        image.recordSize = kStarRecordSize;
        for (int i = 0; i < 36; ++i) {
            std::uint8_t* r = image.Append();
            le::PutI16(r, 0, static_cast<std::int16_t>(100 + i));
            le::PutF32(r, 4, static_cast<float>(std::fmod(i * 2.37, 24.0)));
            le::PutF32(r, 8, static_cast<float>(-60.0 + (i * 37) % 140));
            le::PutI16(r, 12, static_cast<std::int16_t>(16 * (i % 5)));
            le::PutI16(r, 14, static_cast<std::int16_t>(i % 7));
        }
        ASSERT_TRUE(WriteRecordFileImage(root / "install" / "data" / kDefaultStarsFile, image));
        // A constellation figure through the first dozen stars.
        RecordFileImage lines;
        lines.creator = kCreatorConstellationLines;
        lines.recordSize = kConstellationLineRecordSize;
        for (int i = 0; i < 12; ++i) {
            ConstellationLineRecord line{};
            line.set = 0;
            line.value[0] = 0;
            line.value[1] = static_cast<std::int16_t>(i);
            line.value[2] = static_cast<std::int16_t>(i + 1);
            EncodeConstellationLineRecord(line, lines.Append());
        }
        ASSERT_TRUE(WriteRecordFileImage(root / "install" / "data" / kConstellationFile, lines));
    }

    void Open() {
        Call([] { GotoForm(kChartFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kChartFormId);
        ASSERT_TRUE(platform::IsWindow(formWindow));
    }
    platform::Point At(int x, int y) const {
        const platform::Point o = platform::WindowOrigin(formWindow);
        return platform::Point{o.x + x, o.y + y};
    }
    void PenAt(int x, int y) {
        Tap(At(x, y));
        ASSERT_TRUE(RunUntilIdle());
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const platform::ShownBox& b : platform::ShownBoxes()) out.push_back(b.text);
        for (const std::string& t : ReportTexts()) out.push_back(t);
        return out;
    }
    bool Shown(const std::string& text) const {
        for (const std::string& t : Texts())
            if (t.find(text) != std::string::npos) return true;
        return false;
    }

    std::filesystem::path root;
    ObserverLocation savedSite;
    ObservingDateTime savedTime;
    ChartLinks previousLinks;
    std::vector<std::pair<int, platform::DialogProc>> parked;
};
