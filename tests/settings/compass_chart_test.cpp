// The Compass chart (form 2830) on the headless screen: the markers of the altitude bar,
// the Sun's figures without an object, the object search of an empty list, the device
// clock, the altitude path of tall screens and the ObjectInfo request.
#include "settings/compass_chart.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "astro/time_scales.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "catalog/selection_list.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

namespace {

using namespace compass;

constexpr int kBackForm = 60201;

class CompassTest : public FormScreenFixture {
protected:
    void SetUp() override {
        options.start = platform::LocalTime{2024, 6, 21, 23, 40, 0, 0, 5};
        Configure();
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        UseTestSite(51.5074, 0.1278, 0);
        preferences.word[pref::timeUpdateMode] = 1;
        SetObservingDateTime(2024, 6, 21, 22, 0, 0);
        compassChart = CompassState{};
        ASSERT_EQ(AllocSelectionList(), 1);
        ClearRecordedReports();
        platform::DialogLayout back;
        std::string error;
        for (int id : {kBackForm, kObjectInfoFormId}) {
            ASSERT_TRUE(platform::ParseDialogLayout("dialog " + std::to_string(id) + "\nrect 0 0 240 320\n", &back,
                                                    &error))
                << error;
            platform::RegisterDialogLayout(back);
        }
        SetFormDialogProc(kBackForm, &StandInFormProc<kBackForm>);
        SetFormDialogProc(kObjectInfoFormId, &StandInFormProc<kObjectInfoFormId>);
        SetFormDialogProc(kFormId, &CompassChart);
        StartWithMainWindow(&FormHostProc);
    }
    virtual void Configure() {}
    void TearDown() override {
        Stop();
        FreeSelectionList();
        SetFormDialogProc(kFormId, nullptr);
        SetFormDialogProc(kObjectInfoFormId, nullptr);
        SetFormDialogProc(kBackForm, nullptr);
        FormScreenFixture::TearDown();
    }
    void Open() {
        Call([] { GotoForm(kBackForm); });
        ASSERT_TRUE(RunUntilIdle());
        Call([] { GotoForm(kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFormId);
    }
    // One record of the selection list at a place.
    static void PutRecord(int slot, const char* label, double ra, double dec, int type = 1) {
        SelectionRecord& r = selectionList.records[slot];
        std::snprintf(r.label, sizeof r.label, "%s", label);
        r.objectNumber = 100 + slot;
        r.catalogCode = 42;
        r.typeCode = static_cast<std::int16_t>(type);
        r.rightAscension = static_cast<float>(ra);
        r.declination = static_cast<float>(dec);
        selectionList.index[slot] = slot;
        selectionList.recordCount = slot + 1;
        selectionList.indexCount = slot + 1;
    }
    static double Lst() {
        const ObservingDateTime& t = observingDateTime;
        return LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.longitude,
                                 observerLocation.zoneMinutes);
    }
    SavedObservingState saved;
};

TEST_F(CompassTest, AnObjectAtTheZenithTopsTheBarAndOneAtTheNadirEndsIt) {
    const double lst = Lst();
    PutRecord(0, "Zenith", lst, 51.5074);
    PutRecord(1, "Nadir", std::fmod(lst + 12.0, 24.0), -51.5074);
    Open();
    const int r = std::min(240, 320) / 3 - 3;
    const int barTop = 24 + 12;
    EXPECT_EQ(compassChart.body, kObjectMarker);
    EXPECT_STREQ(compassChart.name, "Zenith");
    EXPECT_NEAR(compassChart.altitude[kObjectMarker], 90.0, 0.01);
    EXPECT_EQ(compassChart.altitudeY[kObjectMarker], barTop);
    Pick(kObjectPopup, kObjectList, 1);
    EXPECT_STREQ(compassChart.name, "Nadir");
    EXPECT_NEAR(compassChart.altitude[kObjectMarker], -90.0, 0.01);
    EXPECT_EQ(compassChart.altitudeY[kObjectMarker], barTop + 2 * r);
}

TEST_F(CompassTest, WithNoObjectTheFiguresAreTheSuns) {
    // A list the search cannot fill stays empty: the Sun and the Moon alone.
    FreeSelectionList();
    Open();
    EXPECT_EQ(compassChart.row, -1);
    EXPECT_EQ(compassChart.body, kSunMarker);
    EXPECT_LT(compassChart.ra, 0.0f);
    EXPECT_EQ(compassChart.drawn[kObjectMarker], 0);
    EXPECT_EQ(compassChart.drawn[kMoonMarker], 1);
    double ra = 0, dec = 0;
    SunPosition(&ra, &dec, 2024, 6, 21, 22, 0, 0);
    EXPECT_NEAR(compassChart.altitude[kSunMarker], ComputeAltitude(Lst(), ra, dec, 51.5074), 1e-6);
    EXPECT_LT(compassChart.altitude[kSunMarker], 0.0) << "22:00 UT in June at London";
}

TEST_F(CompassTest, AnEmptyListIsFilledOnceWithTheSunTheMoonAndThePlanets) {
    preferences.word[pref::chartMode] = 2;  // the whole sky: bodies below the horizon too
    Open();
    EXPECT_EQ(compassChart.searched, 1);
    ASSERT_GE(selectionList.recordCount, 9);
    EXPECT_STREQ(selectionList.records[0].label, "Sun");
    EXPECT_STREQ(selectionList.records[1].label, "Moon");
    int rows = 0;
    Call([&] { rows = GetListCount(Item(kObjectList)); });
    EXPECT_EQ(rows, selectionList.recordCount);
    EXPECT_EQ(compassChart.row, 0);
    EXPECT_STREQ(compassChart.name, "Sun");
}

TEST_F(CompassTest, NowTakesTheDeviceClockAndInfoAsksForTheObjectForm) {
    PutRecord(0, "M13", 16.7, 36.5);
    Open();
    Command(kNow);
    EXPECT_EQ(observingDateTime.hour, 23);
    EXPECT_EQ(observingDateTime.minute, 40);
    EXPECT_EQ(Text(kTime), "23:40");
    EXPECT_EQ(compassChart.pathDrawn, 1) << "a screen 320 high shows the altitude path";
    Command(kInfo);
    EXPECT_EQ(GetCurrentFormId(), kObjectInfoFormId);
}

class CompassLandscapeTest : public CompassTest {
protected:
    void Configure() override {
        options.width = 320;
        options.height = 240;
    }
};

TEST_F(CompassLandscapeTest, AShortScreenHasNoAltitudePath) {
    PutRecord(0, "M13", 16.7, 36.5);
    Open();
    EXPECT_EQ(compassChart.pathDrawn, 0);
    EXPECT_EQ(compassChart.drawn[kObjectMarker], 1);
}

}  // namespace
