// The chart's commands, popups and keys, and the mount on the chart (scope cursor and scope
// popup), through the headless driver with the mount behind fake chart links.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/chart_commands.h"
#include "chart/chart_form.h"
#include "chart/chart_form_fixture.h"
#include "chart/chart_keys.h"
#include "chart/chart_object_index.h"
#include "chart/chart_links.h"
#include "chart/chart_popups.h"
#include "chart/chart_projection.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_zoom.h"
#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/separation.h"
#include "shell/position_dialog.h"
#include "chart/scope_cursor.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "chart/sky_view_chart.h"
#include "catalog/object_selection.h"
#include "catalog/star_tables.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/messages.h"
#include "shell/fonts.h"
#include "shell/list_views.h"
#include "shell/utilities.h"
#include "shell/utilities_internal.h"
#include "support/fixture_files.h"

using namespace chartctl;

namespace {

// The mount as the chart sees it.
struct FakeMount {
    std::vector<std::string> calls;
    unsigned connectResult = 1;
    unsigned readResult = 1;
    double ra = 0.0;
    double dec = 0.0;
    bool encoder = false;
    bool emulated = false;
    double gotoRa = 0.0, gotoDec = 0.0;
    int gotoMode = -99;
    int rate = -1;
    int moved = -1;
};
FakeMount mount;

void InstallMount(ChartLinks& links) {
    links.scopeConnect = [] { return mount.calls.push_back("connect"), mount.connectResult; };
    links.scopeDisconnect = [] { return mount.calls.push_back("disconnect"), 1u; };
    links.scopeGetPosition = [](double* ra, double* dec) {
        mount.calls.push_back("read");
        *ra = mount.ra;
        *dec = mount.dec;
        return mount.readResult;
    };
    links.scopeSync = [](double ra, double dec) {
        mount.calls.push_back("sync");
        mount.gotoRa = ra;
        mount.gotoDec = dec;
        return 1u;
    };
    links.scopeGoto = [](double ra, double dec, int mode) {
        mount.calls.push_back("goto");
        mount.gotoRa = ra;
        mount.gotoDec = dec;
        mount.gotoMode = mode;
    };
    links.scopeSetRate = [](int rate) { mount.rate = rate; };
    links.moveScopeWhileKeyHeld = [](int direction) { mount.moved = direction; };
    links.isEncoderDrive = [] { return mount.encoder; };
    links.telescopeEmulated = [] { return mount.emulated; };
}

class ChartMountTest : public ChartFormFixture {
protected:
    void SetUp() override {
        mount = FakeMount{};
        ChartFormFixture::SetUp();
        if (HasFatalFailure()) return;
        ChartLinks links;
        links.runObjectSelection = &FakeSearch;
        links.initSelectionCriteria = [](int, int, int) {};
        InstallMount(links);
        SetChartLinks(links);
        chartSkyModes = ChartSkyModes{&DrawChartSkyView, &TapChartSkyView, &DragChartSkyView};
    }
    void TearDown() override {
        chartSkyModes = ChartSkyModes{};
        scopeTracking = 0;
        ChartFormFixture::TearDown();
    }
    static void ClearShown() {
        platform::ClearShownBoxes();
        ClearRecordedReports();
    }
    // The position under a chart pixel.
    static void SkyAt(int x, int y, double* ra, double* dec) {
        float r = 0.0f, d = 0.0f;
        PixelToSky(x, y, &r, &d);
        *ra = r;
        *dec = d;
    }
    int Follow(double ra, double dec) {
        int drew = -1;
        Call([&] {
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            drew = FollowScopeOnChart(static_cast<float>(ra), static_cast<float>(dec));
            platform::ReleaseDc(formWindow, dc);
        });
        return drew;
    }
    void Command(int id) {
        Call([id] {
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            ChartFormCommand(id);
            platform::ReleaseDc(formWindow, dc);
        });
    }
    void Choose(int list, int row) {
        Call([list, row] {
            SetListSelection(list, row);
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            ChartFormSelect(list);
            platform::ReleaseDc(formWindow, dc);
        });
    }
};

TEST_F(ChartMountTest, ScopeCursorFollowsTheMountAndRecentresNearAnEdge) {
    Open();
    scopeTracking = 1;
    const Bounds r = chartState.chartRect;
    const int g = GetDpiFactor();
    double ra = 0.0, dec = 0.0;
    SkyAt(r.x + r.width / 2 + 10, r.y + r.height / 2, &ra, &dec);
    EXPECT_EQ(Follow(ra, dec), 1);
    EXPECT_EQ(chartScope.cursorShown, 1);
    // The same read again draws nothing.
    EXPECT_EQ(Follow(ra, dec), 0);

    // Near the left edge: within 20 x g pixels the chart re-centres on the mount, a few
    // pixels further in it does not.
    const int recentres = chartScope.recentres;
    SkyAt(r.x + 20 * g + 3, r.y + r.height / 2, &ra, &dec);
    EXPECT_EQ(Follow(ra, dec), 1);
    EXPECT_EQ(chartScope.recentres, recentres);
    SkyAt(r.x + 20 * g - 2, r.y + r.height / 2, &ra, &dec);
    EXPECT_EQ(Follow(ra, dec), 1);
    EXPECT_EQ(chartScope.recentres, recentres + 1);
    EXPECT_EQ(chartSelectionIndex, -1);
    EXPECT_NEAR(chartViews[0].view.ra, ra, 1e-4);
    EXPECT_EQ(chartViews[0].view.number, 0u);
}

// The sky views follow the mount too: the cursor where the view shows the mount's place,
// the chart re-centred on the mount once it reaches the view's bottom band.
TEST_F(ChartMountTest, SkyViewsFollowTheMountAcrossTheView) {
    Open();
    for (int mode : {kChartModeWholeSky, kChartModeVisibleSky, kChartModeEquatorialSky}) {
        SCOPED_TRACE(mode);
        Choose(kMenuList, 5 + mode);
        scopeTracking = 1;
        const int g = GetDpiFactor();
        const auto place = [](int x, int y, double* ra, double* dec) {
            const SkyView& v = skyViewState.view;
            std::int32_t a = 0, b = 0;
            ASSERT_TRUE(ScreenToSky(v, x - v.originX, y - v.originY, &a, &b));
            *ra = a / 16777216.0 * 12.0 / 3.141592653589793;
            *dec = b / 16777216.0 * 180.0 / 3.141592653589793;
        };
        const Bounds r = skyViewState.rect;
        const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
        const int recentres = chartScope.recentres;
        // Across the view from its middle to the right: the cursor moves with the mount.
        for (int step = 0; step < 3; ++step) {
            double ra = 0.0, dec = 0.0;
            place(cx + step * 20 * g, cy, &ra, &dec);
            EXPECT_EQ(Follow(ra, dec), 1);
            EXPECT_EQ(chartScope.cursorShown, 1);
            EXPECT_NEAR(chartScope.x, cx + step * 20 * g, 2 * g);
            EXPECT_NEAR(chartScope.y, cy, 2 * g);
            EXPECT_FLOAT_EQ(currentObject.object.ra, static_cast<float>(ra));
            EXPECT_EQ(currentObject.object.type, 0);
        }
        EXPECT_EQ(chartScope.recentres, recentres);
        // Into the bottom band: the view turns to put the mount in its middle.
        double ra = 0.0, dec = 0.0;
        place(cx, r.y + r.height - 10 * g, &ra, &dec);
        EXPECT_EQ(Follow(ra, dec), 1);
        EXPECT_EQ(chartScope.recentres, recentres + 1);
        EXPECT_EQ(chartSelectionIndex, -1);
        std::int32_t x = 0, y = 0;
        ASSERT_TRUE(SkyViewProjectPoint(skyViewState.view, HoursToFixedAngle(ra), DegreesToFixedAngle(dec), &x, &y));
        EXPECT_NEAR(x + skyViewState.view.originX, cx, 2);
        EXPECT_NEAR(y + skyViewState.view.originY, cy, 2);
        // The mount standing still there is shown in the new picture at the next read.
        EXPECT_EQ(Follow(ra, dec), 1);
        EXPECT_EQ(chartScope.cursorShown, 1);
        EXPECT_NEAR(chartScope.x, cx, 2 * GetDpiFactor());
        scopeTracking = 0;
    }
}

// A change of chart type keeps the sky point in the middle, whichever frames the two types
// draw in.
TEST_F(ChartMountTest, ChartTypeSwitchesKeepTheSkyPoint) {
    const double ra = 13.0 + 27.0 / 60.0 + 38.0 / 3600.0, dec = 41.0 + 9.0 / 60.0;
    const auto centre = [this](double* r, double* d) {
        if (ChartMode() >= kChartModeWholeSky) {
            Call([r, d] { ChartSkyViewCentrePlace(r, d); });
        } else {
            *r = chartViews[0].view.ra;
            *d = chartViews[0].view.dec;
        }
    };
    const struct {
        int from, to;
    } cases[] = {
        {kChartModeWholeSky, kChartModeEquatorialSky}, {kChartModeEquatorialSky, kChartModeWholeSky},
        {kChartModeWholeSky, kChartModeVisibleSky},    {kChartModeVisibleSky, kChartModeSkyMap},
        {kChartModeSkyMap, kChartModeWholeSky},        {kChartModeEquatorialSky, kChartModeHorizon},
        {kChartModeHorizon, kChartModeEquatorialSky},  {kChartModeSkyMap, kChartModeHorizon},
    };
    Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        Choose(kMenuList, 5 + c.from);
        Call([ra, dec] {
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            if (ChartMode() >= kChartModeWholeSky) {
                CentreChartSkyViewOn(ra, dec);
            } else {
                ChartView place{};
                place.ra = static_cast<float>(ra);
                place.dec = static_cast<float>(dec);
                SetChartView(&place);
                chartSelectionIndex = selectionList.currentPosition = -1;
            }
            DrawChart();
            platform::ReleaseDc(formWindow, dc);
        });
        double r = 0.0, d = 0.0;
        centre(&r, &d);
        ASSERT_LT(AngularSeparation(r, d, ra, dec) * 60.0, 1.0) << "the start";
        Choose(kMenuList, 5 + c.to);
        ASSERT_EQ(ChartMode(), c.to);
        centre(&r, &d);
        EXPECT_LT(AngularSeparation(r, d, ra, dec) * 60.0, 1.0) << r << " " << d;
    }
}

// GoTo sends the object the user chose: a row of the object list becomes the chart's
// object and its middle; with none chosen, and for the Sun, the mount is not sent.
TEST_F(ChartMountTest, GotoSendsTheChosenObjectOnly) {
    SetChartSetting(chartpref::chartType, kChartModeWholeSky);
    Open();
    // The row the chart shows at start was nobody's choice.
    Command(kGoto);
    EXPECT_TRUE(Shown("Please select at least one object."));
    EXPECT_EQ(mount.gotoMode, -99);

    // The Sun and the Moon as the list's first rows.
    for (int n : {0, 1}) {
        SelectionRecord& body = selectionList.records[n];
        body.catalogCode = 45;
        body.typeCode = 27;
        body.objectNumber = n;
        body.objectIndex = static_cast<std::int16_t>(n);
    }
    struct Case {
        int row;
        bool refused;
        int mode;
    } const cases[] = {{1, false, -1}, {0, true, -99}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        ClearShown();
        mount.gotoMode = -99;
        Choose(kObjectsList, c.row);
        const SelectionRecord& r = selectionList.records[c.row];
        EXPECT_FLOAT_EQ(chartViews[0].view.ra, r.rightAscension);
        double ra = 0.0, dec = 0.0;
        Call([&] { ChartSkyViewCentrePlace(&ra, &dec); });
        // A body's place is of date: the middle is the catalog place that shows there.
        EXPECT_LT(AngularSeparation(ra, dec, r.rightAscension, r.declination), 0.5);
        Command(kGoto);
        EXPECT_EQ(Shown("Sorry, GoTo to Sun is disable."), c.refused);
        EXPECT_EQ(mount.gotoMode, c.mode);
        if (!c.refused) {
            // The body goes at its own topocentric place now, not at the list's row.
            double bodyRa = 0.0, bodyDec = 0.0;
            Call([&] {
                int y, mo, d, h, mi, s;
                GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
                ComputeBodyPointingPlace(r.objectNumber, y, mo, d, h, mi, s, &bodyRa, &bodyDec);
            });
            EXPECT_LT(AngularSeparation(mount.gotoRa, mount.gotoDec, bodyRa, bodyDec), 0.01);
        }
    }
}

TEST_F(ChartMountTest, AFailedReadStopsTheFollowing) {
    Open();
    scopeTracking = 1;
    mount.readResult = 0;
    EXPECT_EQ(Follow(0.0, 0.0), 0);
    EXPECT_TRUE(Shown("fail scope"));
    EXPECT_EQ(scopeTracking, 0);
    EXPECT_EQ(mount.calls, (std::vector<std::string>{"read", "disconnect"}));
}

TEST_F(ChartMountTest, ScopePopupRows) {
    Open();
    // "RorAdudo Control" on and off.
    preferences.word[pref::starsShown] = 2;
    Choose(kScopeList, scope_popup::kFollowMount);
    EXPECT_EQ(scopeTracking, 1);
    EXPECT_EQ(chartScope.savedStars, 2);
    preferences.word[pref::starsShown] = 0;
    Choose(kScopeList, scope_popup::kFollowMount);
    EXPECT_EQ(scopeTracking, 0);
    EXPECT_EQ(preferences.word[pref::starsShown], 2);
    EXPECT_EQ(mount.calls, (std::vector<std::string>{"connect", "disconnect"}));
    // A mount that does not connect is not followed.
    mount.connectResult = 0;
    Choose(kScopeList, scope_popup::kFollowMount);
    EXPECT_EQ(scopeTracking, 0);

    // "Sync Coord" syncs the current object.
    mount.calls.clear();
    Choose(kScopeList, scope_popup::kSyncCoord);
    EXPECT_EQ(mount.calls, std::vector<std::string>{"sync"});
    EXPECT_NEAR(mount.gotoRa, chartViews[0].view.ra, 1e-6);

    // "Goto Object": the Sun is refused, planets go without corrections, others with.
    struct Case {
        int type;
        unsigned number;
        int mode;
    } const cases[] = {{27, 0, -99}, {27, 4, -1}, {16, 10, 3}};  // the bodies' place is topocentric
    chartForm.objectChosen = 1;
    for (const Case& c : cases) {
        mount.gotoMode = -99;
        ClearShown();
        chartViews[0].view.type = c.type;
        chartViews[0].view.number = c.number;
        Choose(kScopeList, scope_popup::kGotoObject);
        EXPECT_EQ(mount.gotoMode, c.mode) << c.type << " " << c.number;
        EXPECT_EQ(Shown("Sorry, GoTo to Sun is disable."), c.mode == -99);
    }

    // "Get Scope RA&Dec": a mount below the horizon is refused.
    preferences.word[pref::scopeDrive] = 5;
    mount.ra = 0.0;
    mount.dec = -89.0;
    ClearShown();
    Choose(kScopeList, scope_popup::kGetScopePosition);
    EXPECT_TRUE(Shown("Your scope doesn't seem to point to the sky\nCheck your location information and current time."));
}

// A telescope sent to the Moon points at its topocentric place: from the geocentre the
// Moon is up to a degree away. The reference is python3-ephem's topocentric place, which
// has no refraction; the place sent is refracted, by one to two arc minutes at these heights.
TEST_F(ChartMountTest, GotoTheMoonSendsItsTopocentricPlace) {
    Open();
    const ObserverLocation saved = observerLocation;
    int checked = 0;
    for (const PlanetEphemRow& row : ReadPlanetEphemRows()) {
        if (row.body != 1 || row.kind != "topo" || row.altitude < 20.0 || checked == 4) continue;
        SCOPED_TRACE(row.line);
        ++checked;
        observerLocation = MakeSite(static_cast<float>(row.latitude), static_cast<float>(-row.longitudeEast), 0);
        SetLocalClockSource([&row] {
            return LocalDateTimeFields{row.year, row.month, row.day, row.hour, row.minute, row.second};
        });
        chartViews[0].view.type = 27;
        chartViews[0].view.number = 1;
        chartForm.objectChosen = 1;
        mount.gotoMode = -99;
        Choose(kScopeList, scope_popup::kGotoObject);
        SetLocalClockSource(nullptr);
        ASSERT_EQ(mount.gotoMode, -1);
        const double apart = AngularSeparation(mount.gotoRa, mount.gotoDec, row.ra, row.dec) * 60.0;
        const double refraction = 1.0 / std::tan((row.altitude + 7.31 / (row.altitude + 4.4)) * test_units::kDeg);
        EXPECT_LT(apart, refraction + 1.0) << "arc minutes";
    }
    EXPECT_EQ(checked, 4);
    observerLocation = saved;
}

TEST_F(ChartMountTest, KeysDriveAFollowedMountOrScrollTheChart) {
    Open();
    scopeTracking = 1;
    Choose(kZoomList, 7);
    const int panY = chartForm.panY;
    Key(platform::kKeyUp);
    EXPECT_EQ(mount.moved, 0);
    EXPECT_EQ(mount.rate, 1);
    EXPECT_EQ(chartForm.panY, panY);

    // An encoder box cannot slew: the keys scroll the chart.
    mount = FakeMount{};
    mount.encoder = true;
    platform::headless::Schedule(platform::InputEvent{platform::InputKind::KeyDown, {}, platform::kKeyUp});
    platform::InputEvent up{platform::InputKind::KeyUp, {}, platform::kKeyUp};
    up.time = platform::headless::Tick() + 200;
    platform::headless::Schedule(up);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(mount.moved, -1);
    EXPECT_LT(chartForm.panY, panY);
}

TEST_F(ChartMountTest, ToolbarTogglesAndZoom) {
    Open();
    const struct {
        int control, word;
    } toggles[] = {{kTelrad, pref::showTelrad}, {kHideGrid, pref::hideGrid}, {kNames, pref::showObjNames},
                   {kDrilldown, pref::objDrilldown}};
    for (const auto& t : toggles) {
        const int before = preferences.word[t.word];
        const int draws = chartForm.drawRuns;
        Command(t.control);
        EXPECT_EQ(preferences.word[t.word], before ? 0 : 1) << t.control;
        EXPECT_EQ(chartForm.drawRuns, draws + 1) << t.control;
    }
    Command(kDistance);
    EXPECT_EQ(chartTap.distanceMode, 1);

    // The zoom row already current redraws without the redraw flag; another saves word 153.
    chartState.redraw = 0;
    Choose(kZoomList, chartZoom);
    EXPECT_EQ(chartState.redraw, 0);
    Choose(kZoomList, 6);
    EXPECT_EQ(chartZoom, 6);
    EXPECT_EQ(preferences.word[pref::chartZoom], 6);
}

TEST_F(ChartMountTest, DirectionAndFilterPopups) {
    Open();
    // The sky map turns by the row's angle.
    for (int row : {2, 5, 0}) {
        Choose(kDirectionList, row);
        EXPECT_EQ(chartState.rotation, -180 + 45 * row);
    }
    // "Edit List" opens the list form and the filter goes back to "All".
    askedForms.clear();
    Choose(kFilterList, 8);
    EXPECT_EQ(chartFilterRow, 0);
    EXPECT_EQ(askedForms, std::vector<int>{1800});
    // "Clear List" empties the list the chart shows.
    Open();
    Choose(kFilterList, kFilterRowClearList);
    EXPECT_EQ(chartFilterRow, 0);
    EXPECT_EQ(selectionList.recordCount, 0);
}

TEST_F(ChartMountTest, ManualPositionsBecomeUserObjects) {
    Open();
    chartInputNumber = 1;
    struct Case {
        int control;
        const char* label;       // what the dialog calls the first value
        const char* name;
        const char* first;
        const char* second;
        bool confirm;
    } const cases[] = {
        {kInputEquatorial, "RA", "Spica", "13:25:12", "-11:09:41", true},
        {kInputHorizontal, "Az", "South", "180:00:00", "45:00:00", true},
        {kInputEquatorial, "RA", "Gone", "01:00:00", "10:00:00", false},
    };
    unsigned number = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int draws = chartForm.drawRuns;
        const ChartView before = chartViews[0].view;
        Command(c.control);
        const auto stack = platform::ModalStack();
        ASSERT_FALSE(stack.empty());
        const platform::Window dialog = stack.back();
        const auto item = [&](int id) { return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id)); };
        EXPECT_EQ(platform::GetWindowText(item(kPositionFirstLabel)), c.label);
        Call([&] {
            platform::SetWindowText(item(kPositionName), c.name);
            platform::SetWindowText(item(kPositionFirst), c.first);
            platform::SetWindowText(item(kPositionSecond), c.second);
        });
        TapWindow(item(c.confirm ? kPositionOk : kPositionCancel));
        ASSERT_TRUE(RunUntilIdle());
        EXPECT_EQ(chartForm.drawRuns, draws + 1);
        const ChartView& v = chartViews[0].view;
        if (!c.confirm) {
            EXPECT_EQ(v.number, before.number);
            EXPECT_STREQ(v.name, before.name);
            continue;
        }
        double ra = HmsStrToHours(c.first), dec = DmsStrToDeg(c.second);
        if (c.control == kInputHorizontal)
            HorizontalToEquatorial(chartClock.siderealTime, DmsStrToDeg(c.first), DmsStrToDeg(c.second), &ra, &dec);
        EXPECT_EQ(v.catalog, 63u);
        EXPECT_EQ(v.number, 1 + number++);  // the view holds the number + 1
        EXPECT_STREQ(v.name, c.name);
        EXPECT_NEAR(v.ra, ra, 1e-4);
        EXPECT_NEAR(v.dec, dec, 1e-4);
    }
    EXPECT_EQ(chartInputNumber, 3);
}

}  // namespace
