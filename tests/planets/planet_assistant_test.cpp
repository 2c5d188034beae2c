// Form 2450 headless: its date across visits, the Phase view, keys and drags, the Sun View,
// the Charts' time bar and what closing gives back.
#include "planets/planet_assistant.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "catalog/selection_list.h"
#include "chart/chart_settings.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/event_list.h"
#include "planets/planet_assistant_views.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
#include "shell/forms_fixture.h"
#include "shell/date_time_form.h"
#include "shell/time_bar.h"
#include "shell/utilities.h"
#include "shell/fonts.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "platform/surface.h"
#include "core/observing_time.h"
#include "support/held_keys.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

using namespace planet_assistant;

namespace {

class PlanetAssistantTest : public FormScreenFixture {
protected:
    void SetUp() override {
        options.start = platform::LocalTime{2025, 1, 16, 21, 30, 0, 0, 4};
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        savedState_ = planetFormState;
        savedSettings_ = planetFormSettings;
        savedView_ = planetView;
        planetFormState = PlanetFormState{};
        planetFormSettings = PlanetFormSettings{};
        UseTestSite(48.85, -2.35, 60);
        ClearRecordedReports();
        SetFormDialogProc(kFormId, &PlanetAssistant);
        SetFormDialogProc(planet_view_form::kFormId, &StandInFormProc<planet_view_form::kFormId>);
        SetFormDialogProc(kHomeFormId, &StandInFormProc<kHomeFormId>);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(kFormId, nullptr);
        SetFormDialogProc(planet_view_form::kFormId, nullptr);
        SetFormDialogProc(kHomeFormId, nullptr);
        FreeEventList();
        FreeTimeBarBitmap();
        FormScreenFixture::TearDown();
        ClosePlanetAssistant();
        planetFormState = savedState_;
        planetFormSettings = savedSettings_;
        planetView = savedView_;
    }
    void PrepareSettings() override { SetDefaultSettings(); }
    void Open() {
        Call([] { GotoForm(kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFormId);
    }
    platform::Point At(int x, int y) { return platform::ClientToScreen(formWindow, platform::Point{x, y}); }
    PlanetFormState savedState_;
    PlanetFormSettings savedSettings_;
    PlanetViewState savedView_;
    SavedObservingState site_;
};

TEST_F(PlanetAssistantTest, DateAcrossVisitsAndSettingsGivenBack) {
    preferences.word[pref::chartMode] = 1;
    preferences.word[chartpref::objectNames] = 1;
    preferences.word[chartpref::starsLegend] = 1;
    Open();
    EXPECT_EQ(planetFormState.year, 2025);
    EXPECT_EQ(planetFormState.day, 16);
    EXPECT_EQ(Text(kTime), "21:30");
    EXPECT_EQ(preferences.word[pref::chartMode], 2);
    EXPECT_EQ(preferences.word[chartpref::objectNames], 0);
    EXPECT_EQ(preferences.word[chartpref::starsLegend], 0);
    // Left steps forward by the step (5 days), Right back.
    Key(platform::kKeyLeft);
    EXPECT_EQ(planetFormState.day, 21);
    Key(platform::kKeyRight);
    Key(platform::kKeyRight);
    EXPECT_EQ(planetFormState.day, 11);
    Command(kBack);
    EXPECT_EQ(preferences.word[pref::chartMode], 1);
    EXPECT_EQ(preferences.word[chartpref::objectNames], 1);
    EXPECT_EQ(preferences.word[chartpref::starsLegend], 1);
    // The next visit comes back to the remembered date.
    Open();
    EXPECT_EQ(planetFormState.day, 11);
    Command(kBack);
}

// Left held for two more polls steps three times forward; a Right pressed meanwhile is
// dropped. Right held once more steps twice back.
TEST_F(PlanetAssistantTest, HeldKeysRepeatTheirStep) {
    Open();
    ASSERT_EQ(planetFormSettings.stepIndex, 2);
    auto press = [&](int polls, std::initializer_list<int> keys) {
        std::unique_ptr<HeldNavKeys> held;
        Call([&] { held = std::make_unique<HeldNavKeys>(polls); });
        QueueKeyPresses(keys);
        Call([&] { held.reset(); });
    };
    press(2, {platform::kKeyLeft, platform::kKeyRight});
    EXPECT_EQ(planetFormState.month, 1);
    EXPECT_EQ(planetFormState.day, 31);
    char date[40];
    FormatDate(date, 31, 1, 2025);
    EXPECT_EQ(Text(kDate), date);
    press(1, {platform::kKeyRight});
    EXPECT_EQ(planetFormState.day, 21);
    EXPECT_EQ(planetFormSettings.rememberedDay, 21);
}

TEST_F(PlanetAssistantTest, PhaseOpensThePlanetView) {
    Open();
    Pick(kViewPopup, kViewList, kSunView);
    Pick(kViewPopup, kViewList, kPhase);
    EXPECT_EQ(GetCurrentFormId(), planet_view_form::kFormId);
    EXPECT_EQ(planetView.mode, kPhaseMode);
    EXPECT_EQ(planetFormState.view, kSunView);
}

TEST_F(PlanetAssistantTest, GlobeAndSkyViewDrags) {
    Open();
    Pick(kViewPopup, kViewList, k3DView);
    Drag(At(20, 150), At(420, 150), 8, 200);
    EXPECT_EQ(planetFormState.rotation, 40);
    EXPECT_EQ(planetFormState.tilt, 0);
    Pick(kViewPopup, kViewList, kSkyView);
    const float azimuth = planetFormState.skyAzimuth, altitude = planetFormState.skyAltitude;
    Drag(At(120, 150), At(123, 150), 1, 50);
    EXPECT_EQ(planetFormState.skyAzimuth, azimuth);
    EXPECT_EQ(planetFormState.skyAltitude, altitude);
    Drag(At(120, 150), At(140, 150), 2, 50);
    EXPECT_NE(planetFormState.skyAzimuth, azimuth);
}

TEST_F(PlanetAssistantTest, SunViewAndTimeBar) {
    Open();
    int dots = 0;
    Call([&] { dots = DrawSunView(); });
    EXPECT_EQ(dots, 3 * 15);
    Pick(kViewPopup, kViewList, kCharts);
    EXPECT_GT(timeBar.pixelsPerDay, 0.0f);
    int inside = -1, outside = -1;
    Call([&] {
        timeBar.markerX = 3;
        outside = DrawTimeBar(5, 100, kDate, kTime, 2025, 1);
    });
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(timeBar.markerX, 20);
    Call([&] { inside = DrawTimeBar(20 + static_cast<int>(31 * timeBar.pixelsPerDay) + 1, 100, kDate, kTime, 2025, 1); });
    EXPECT_EQ(inside, 1);
    char date[40];
    FormatDate(date, 1, 2, 2025);
    EXPECT_EQ(Text(kDate), date);
    EXPECT_EQ(Text(kTime), "00:00");
}

TEST_F(PlanetAssistantTest, ViewsDrawWithoutReports) {
    Open();
    for (int view : {kEcliptic, kSunView, kPosition, kSkyView, kInfo, kRiseSet, kCharts, kEvents})
        Pick(kViewPopup, kViewList, view);
    EXPECT_GT(eventList.count, 0);
    // The catalog files are not installed here; the sky view says so and draws without them.
    for (const ReportRecord& r : RecordedReports()) EXPECT_EQ(r.heading.rfind("Could not find", 0), 0u) << r.heading;
    ClearRecordedReports();
    Command(kHelp);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, "Determine the most interresting planet events for a specific time frame.");
}

// "Show on the chart" takes the date back from its field as the user typed it.
TEST_F(PlanetAssistantTest, ShowOnTheChartReadsTheDateField) {
    SetFormDialogProc(1900, &StandInFormProc<1900>);
    ASSERT_EQ(AllocSelectionList(), 1);
    Open();
    char date[40];
    FormatDate(date, 3, 3, 2026);
    SetText(kDate, date);
    Command(kShowOnChart);
    EXPECT_EQ(GetCurrentFormId(), 1900);
    EXPECT_EQ(observingDateTime.year, 2026);
    EXPECT_EQ(observingDateTime.month, 3);
    EXPECT_EQ(observingDateTime.day, 3);
    Stop();
    SetFormDialogProc(1900, nullptr);
    FreeSelectionList();
}

// A period in which no event passes the filter (no eclipse from mid-January to mid-February
// 2025) lists one row, "No event", which chooses nothing.
TEST_F(PlanetAssistantTest, AnEmptyEventListSaysNoEvent) {
    Open();
    Pick(kViewPopup, kViewList, kEvents);
    Pick(kPeriodPopup, kPeriodList, 0);
    Pick(kFilterPopup, kFilterList, 4);
    ASSERT_GT(eventList.count, 0);
    int rows = -1;
    Call([&] { rows = GetListRowCount(kEventList); });
    EXPECT_EQ(rows, 1);
    // The row's ink: a text as wide as "No event" from the row's left edge.
    const platform::Window list = Item(kEventList);
    const platform::Surface* screen = platform::WindowSurface(list);
    const platform::Point o = platform::WindowOrigin(list);
    const std::uint16_t paper = screen->Row(o.y + 2)[o.x + 150];
    int left = 1000, right = -1;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 150; ++x)
            if (screen->Row(o.y + y)[o.x + x] != paper) left = std::min(left, x), right = std::max(right, x);
    int width = 0;
    Call([&] { DrawOnForm(formWindow, [&] { width = CharsWidth("No event", 8); }); });
    EXPECT_LE(left, 2);
    EXPECT_NEAR(right + 1 - left, width, 2);
    const int day = planetFormState.day;
    Call([] { SetListSelection(kEventList, 0); });
    Command(kEventList);
    EXPECT_EQ(planetFormState.day, day);
    // With every event listed again the rows are the events.
    Pick(kFilterPopup, kFilterList, 0);
    Call([&] { rows = GetListRowCount(kEventList); });
    EXPECT_EQ(rows, eventList.count);
}

// Choosing an event row: its instant becomes the form's date and time, and the day bars of
// the Sun and the event's bodies are drawn under the list (a third for a conjunction of two
// planets, none for a New or Full Moon).
TEST_F(PlanetAssistantTest, AnEventRowBecomesTheFormsInstant) {
    Open();
    Pick(kViewPopup, kViewList, kEvents);
    ASSERT_GT(eventList.count, 0);
    const platform::Surface* screen = platform::WindowSurface(formWindow);
    const platform::Point o = platform::WindowOrigin(formWindow);
    // Columns of a bar row that differ from the background, along the bar's middle.
    auto bar = [&](int row) {
        const int y = 320 - 22 - 3 * 18 + row * 18 + 6;
        const std::uint16_t paper = screen->Row(o.y + y)[o.x + 235];
        int ink = 0;
        for (int x = 90; x < 170; ++x) ink += screen->Row(o.y + y)[o.x + x] != paper;
        return ink;
    };
    int checked = 0;
    for (int type : {kEventConjunction, kEventMoonPhase}) {
        int index = -1;
        for (int i = 0; i < eventList.count && index < 0; ++i) {
            const EventRecord& e = eventList.records[i];
            if (e.type == type && (type != kEventConjunction || e.secondBody > 0)) index = i;
        }
        if (index < 0) continue;
        const EventRecord e = eventList.records[index];
        Call([&] { SetListSelection(kEventList, index - FindFirstFilteredEvent()); });
        Command(kEventList);
        const PlanetFormState& s = planetFormState;
        EXPECT_EQ(s.year, e.year);
        EXPECT_EQ(s.month, e.month);
        EXPECT_EQ(s.day, e.day);
        EXPECT_EQ(s.hour, e.hour);
        EXPECT_EQ(s.minute, e.minute);
        char text[40];
        FormatDate(text, e.day, e.month, e.year);
        EXPECT_EQ(Text(kDate), text);
        std::snprintf(text, sizeof text, "%02d:%02d", e.hour, e.minute);
        EXPECT_EQ(Text(kTime), text);
        EXPECT_GT(bar(0), 40) << "the Sun's bar, type " << type;
        EXPECT_GT(bar(1), 40) << "the first body's bar, type " << type;
        if (type == kEventConjunction) EXPECT_GT(bar(2), 40) << "the second body's bar";
        else EXPECT_EQ(bar(2), 0) << "no third bar for a Moon phase";
        ++checked;
    }
    EXPECT_EQ(checked, 2);
}

// The Events view shows its times in local time, the other views in UT; "show on the
// chart" hands the form's instant to the observing time, runs the planets' search and asks
// for the chart.
TEST_F(PlanetAssistantTest, TimeDisplayAndShowOnTheChart) {
    SetFormDialogProc(1900, &StandInFormProc<1900>);
    ASSERT_EQ(AllocSelectionList(), 1);
    Open();
    EXPECT_EQ(dateEdit.utFlag, 1);
    Pick(kViewPopup, kViewList, kEvents);
    EXPECT_EQ(dateEdit.utFlag, 0);
    Pick(kViewPopup, kViewList, kRiseSet);
    EXPECT_EQ(dateEdit.utFlag, 1);
    Key(platform::kKeyLeft);   // 21 January
    Command(kShowOnChart);
    EXPECT_EQ(GetCurrentFormId(), 1900);
    EXPECT_EQ(observingDateTime.day, 21);
    EXPECT_EQ(observingDateTime.hour, 21);
    EXPECT_EQ(observingDateTime.minute, 30);
    ASSERT_GT(selectionList.recordCount, 0);
    for (int i = 0; i < selectionList.recordCount; ++i) EXPECT_EQ(selectionList.records[i].typeCode, 27) << i;
    Stop();
    SetFormDialogProc(1900, nullptr);
    FreeSelectionList();
}

}  // namespace
