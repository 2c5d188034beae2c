#include "settings/site_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/databases.h"
#include "catalog/location_choice.h"
#include "catalog/record_file.h"
#include "chart/chart_services.h"
#include "chart/sky_matrix.h"
#include "core/initialisers.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/serial_fake.h"
#include "platform/surface.h"
#include "platform/system_colors.h"
#include "platform/window.h"
#include "scope/serial_equipment.h"
#include "settings/gps_reader.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "shell/list_views.h"
#include "shell/scratch_text.h"
#include "shell/text_input.h"
#include "shell/forms_fixture.h"
#include "support/headless_fixture.h"
#include "support/recorded_reports.h"

using platform::Window;
using namespace site_form;

namespace {

// ---- The arithmetic ----------------------------------------------------------------------

TEST(SiteCoordinates, TextsReadWithTheirHemisphere) {
    struct Case {
        const char* text;
        bool latitude;
        bool valid;
        double degrees;
    };
    const Case cases[] = {
        {"33\xB0" "52'07.5 S", true, true, -33.86875},
        {"151\xB0" "12'30 E", false, true, -151.208333},
        {"48\xB0" "07'02 N  ", true, true, 48.117222},   // trailing blanks keep the letter
        {"  48\xB0" "07'02 s", true, true, -48.117222},
        {"48\xB0" "07.5 N", true, true, 48.125},          // tenths of a minute
        {"-70:45:00", true, true, -70.75},
        {"45.7500 W", false, true, 45.75},
        {"-12.5", false, true, -12.5},                    // the map view's signed texts
        {"90\xB0" "00'00 N", true, true, 90.0},
        {"180\xB0" "00'00 E", false, true, -180.0},
        {"95\xB0" "00'00 N", true, false, 0},
        {"180\xB0" "00'01 W", false, false, 0},
        {"48\xB0" "60'00 N", true, false, 0},
        {"48\xB0" "07'02 E", true, false, 0},            // a longitude's letter
        {"-48\xB0" "07'02 S", true, false, 0},           // minus and south contradict
        {"", true, false, 0},
        {"abc", true, false, 0},
        {"1 2 3 4", true, false, 0},
        {"12.5 30", true, false, 0},                     // decimals only on the last number
    };
    for (const Case& c : cases) {
        double degrees = 999;
        const bool ok = c.latitude ? ParseSiteCoordinate(c.text, 'N', 'S', 90, &degrees)
                                   : ParseSiteCoordinate(c.text, 'W', 'E', 180, &degrees);
        EXPECT_EQ(ok, c.valid) << c.text;
        if (c.valid) EXPECT_NEAR(degrees, c.degrees, 1e-6) << c.text;
        else EXPECT_EQ(degrees, 999) << c.text;
    }
}

TEST(SiteCoordinates, ZoneEstimateRoundsHalvesAwayFromZero) {
    struct Case {
        double longitude;
        int hours;
    };
    const Case cases[] = {{0, 0}, {90, -6}, {-90, 6}, {7.4, 0}, {7.5, -1}, {-7.5, 1}, {-22.4, 1},
                          {-22.5, 2}, {172.5, -12}, {-180, 12}};
    for (const Case& c : cases) EXPECT_EQ(ZoneEstimateHours(c.longitude), c.hours) << c.longitude;
}

TEST(WorldMapGeometry, VerticalOffsetStaysOnTheMapAndHorizontalWraps) {
    struct Case {
        int offsetX, offsetY;
        int westX, eastX, keptX, keptY;
    };
    const int h = 274;
    const Case cases[] = {
        {100, 50, 100, 100 - 1207, 100, 0},            // past the top: held at 0
        {-100, -2000, -100, 1107, -100, h - 1207},     // past the bottom
        {1500, -300, -914, 293, -914, -300},           // beyond a half: the west half goes left
        {-1500, -300, 914, -293, 914, -300},
        {2415 + 10, -300, 10, 10 - 1207, 10, -300},    // a whole turn later: the same picture
        {-2415 * 3 - 10, -300, -10, 1197, -10, -300},
    };
    for (const Case& c : cases) {
        int x = c.offsetX, y = c.offsetY, west = 0, east = 0;
        PlaceWorldMapHalves(h, &x, &y, &west, &east);
        EXPECT_EQ(west, c.westX) << c.offsetX;
        EXPECT_EQ(east, c.eastX) << c.offsetX;
        EXPECT_EQ(x, c.keptX) << c.offsetX;
        EXPECT_EQ(y, c.keptY) << c.offsetY;
    }
    // The place under a point: the map's left edge is 180 degrees west, its top the pole.
    const Bounds view{0, 24, 240, 274};
    double longitude = 0, latitude = 0;
    WorldMapPlaceAt(0, 24, view, 0, 0, &longitude, &latitude);
    EXPECT_NEAR(longitude, 180, 1e-9);
    EXPECT_NEAR(latitude, 90, 1e-9);
    WorldMapPlaceAt(120, 24 + 137, view, 120 - 1207, 137 - 603, &longitude, &latitude);
    EXPECT_NEAR(longitude, 0.08, 0.1);
    EXPECT_NEAR(latitude, 0.08, 0.1);
    WorldMapPlaceAt(10, 100, view, 100, 0, &longitude, &latitude);  // left of the west half: east of 180
    EXPECT_NEAR(longitude, -180 + 90 * kWorldMapDegreesPerPixelX, 1e-9);
}

// ---- The form ----------------------------------------------------------------------------

class SiteFormTest : public FormScreenFixture {
protected:
    void SetUp() override {
        ConfigureScreen();
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        siteChoice = -1;
        siteMapRecentre = -1;
        selectedLocationIndex = -1;
        // The catalog set is opened once, before the form asks for it; its missing files
        // are not what these tests are about.
        OpenCatalogDatabases(0);
        ClearRecordedReports();
        SetFormDialogProc(kSiteFormId, &Location);
        platform::DialogLayout list;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout("dialog 1600\nrect 0 0 240 320\n", &list, &error)) << error;
        platform::RegisterDialogLayout(list);
        // The location list (built with the chart layers) and the home form are stand-ins: the
        // list goes back when asked, leaving its choice where the test puts it.
        SetFormDialogProc(kLocationListFormId, &StandInFormProc<kLocationListFormId>);
        SetFormDialogProc(kHomeFormId, &StandInFormProc<kHomeFormId>);
        StartWithMainWindow(&FormHostProc);
    }
    void PrepareSettings() override {
        observerLocation = ObserverLocation{};
        SetDefaultSettings();
    }
    void TearDown() override {
        Stop();
        CloseSiteForm();
        SetFormDialogProc(kSiteFormId, nullptr);
        SetFormDialogProc(kLocationListFormId, nullptr);
        SetFormDialogProc(kHomeFormId, nullptr);
        FormScreenFixture::TearDown();
        CloseCatalogDatabases();
    }
    virtual void ConfigureScreen() {}

    void Open() {
        Call([] { GotoForm(kSiteFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kSiteFormId);
        ASSERT_TRUE(platform::IsWindow(formWindow));
    }
    static bool FormOpen() { return platform::IsWindow(formWindow) && GetCurrentFormId() == kSiteFormId; }

    // A coordinate field edited: the form reads the coordinates back at once.
    int EditCoordinate(int id, const std::string& text) {
        int taken = 0;
        Call([&] {
            SetField(id, text.c_str());
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            taken = DrawSiteFields();
            platform::ReleaseDc(formWindow, dc);
        });
        return taken;
    }
    // Valid values in every number field.
    void FillValidNumbers() {
        SetText(kHeight, "250");
        SetText(kZone, "60");
        SetText(kTemperature, "12");
        SetText(kPressure, "1000");
        SetText(kHumidity, "50");
    }
    int Apply() {
        int result = 0;
        Call([&] { result = ApplySiteFields(); });
        return result;
    }
    // A tap on the form, in its client coordinates.
    void TapForm(int x, int y) {
        const platform::Point o = platform::ClientToScreen(formWindow, platform::Point{x, y});
        Tap(o);
        RunUntilIdle();
    }
    // The 15 colour bits of a pixel of the form, and of a colour.
    std::uint16_t PixelAt(int x, int y) {
        const platform::Surface* s = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        return s->Row(y + o.y)[x + o.x] & 0x7FFF;
    }
    static std::uint16_t Bits(platform::Color c) { return platform::ColorToPixel(c) & 0x7FFF; }
    void SetSite(const char* name, float latitude, float longitude, int zone) {
        std::snprintf(observerLocation.name, sizeof observerLocation.name, "%s", name);
        SetSiteLatitude(latitude);
        observerLocation.longitude = longitude;
        observerLocation.zoneMinutes = static_cast<std::int16_t>(zone);
    }
    static std::vector<std::string> Headings() {
        std::vector<std::string> out;
        for (const ReportRecord& r : RecordedReports()) out.push_back(r.heading);
        return out;
    }

};

TEST_F(SiteFormTest, TheFormOpensOnTheSiteInForce) {
    // The start-up site matches none of the empty stored sites, which never replace it.
    ASSERT_STREQ(observerLocation.name, "None");
    Open();
    EXPECT_EQ(GetSiteChoice(), 0);
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(observerLocation.latitude, 51.0f);
    EXPECT_EQ(observerLocation.longitude, 0.0f);
    EXPECT_EQ(observerLocation.siteClass, 3);
    EXPECT_EQ(Text(kName), "None");
    EXPECT_EQ(Text(kLatitude), "51\xB0" "00'00 N");
    EXPECT_EQ(Text(kLongitude), "00\xB0" "00'00 W");
    EXPECT_EQ(Text(kZone), "0");
    EXPECT_EQ(Text(kPressure), "1013");
    EXPECT_EQ(Text(kHumidity), "40");
    EXPECT_EQ(platform::GetWindowText(Item(kTitle)), "");
    EXPECT_TRUE(platform::IsWindowVisible(Item(kLatitude)));
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    // The lists read from the top as their values count.
    auto row = [this](int list, int n) {
        std::string text;
        Call([&] { platform::SendMessage(Item(list), platform::kMsgListGetItemText, n, reinterpret_cast<platform::LParam>(&text)); });
        return text;
    };
    EXPECT_EQ(row(kSiteList, 0), "Site1");
    EXPECT_EQ(row(kSiteList, 2), "Site3");
    EXPECT_EQ(row(kClassList, 0), "Bright town");
    EXPECT_EQ(row(kClassList, 4), "Desert/Mountain");
    // A stored site equal to the site is found again.
    Call([] { GoBackForm(); });
    RunUntilIdle();
    observerLocation.storedSites[2] = StoredSite{"Lyon", 45.75f, -4.85f, 2, 170, 60, 0};
    SetSite("Lyon", 45.75f, -4.85f, 60);
    siteChoice = -1;
    Open();
    EXPECT_EQ(siteChoice, 2);
    EXPECT_EQ(Text(kLongitude), "04\xB0" "51'00 E");
}

TEST_F(SiteFormTest, NumberFieldsAreCheckedAtTheirBoundaries) {
    Open();
    struct Case {
        int field;
        const char* text;
        int daylight;
        bool accepted;
    };
    const Case cases[] = {
        {kZone, "1439", 0, true},       {kZone, "1440", 0, false},     {kZone, "-1440", 0, false},
        {kZone, "-1439", 0, true},      {kZone, "1379", 1, true},      {kZone, "1380", 1, false},
        {kZone, "-1500", 1, false},     {kPressure, "900", 0, true},   {kPressure, "1100", 0, true},
        {kPressure, "899", 0, false},   {kPressure, "1101", 0, false}, {kHumidity, "99", 0, true},
        {kHumidity, "100", 0, false},   {kHumidity, "0", 0, true},     {kTemperature, "59", 0, true},
        {kTemperature, "60", 0, false}, {kTemperature, "-70", 0, true}, {kTemperature, "-71", 0, false},
        {kHeight, "31999", 0, true},    {kHeight, "32000", 0, false},  {kHeight, "-1", 0, false},
        {kHeight, "12a", 0, false},     {kHeight, "", 0, false},       {kHeight, " 42 ", 0, true},
    };
    auto stored = [](int field) -> int {
        const ObserverLocation& s = observerLocation;
        switch (field) {
        case kHeight: return s.height;
        case kZone: return s.zoneMinutes;
        case kTemperature: return s.temperature;
        case kPressure: return s.pressure;
        default: return s.humidity;
        }
    };
    for (const Case& c : cases) {
        observerLocation.daylight = static_cast<std::int16_t>(c.daylight);
        FillValidNumbers();
        ASSERT_EQ(Apply(), 1);
        const int before = stored(c.field);
        SetText(c.field, c.text);
        ClearRecordedReports();
        const int slotHeight = observerLocation.storedSites[0].height;
        EXPECT_EQ(Apply(), c.accepted ? 1 : 0) << c.field << " " << c.text;
        if (c.accepted) {
            EXPECT_TRUE(RecordedReports().empty()) << c.text;
            EXPECT_EQ(stored(c.field), std::atoi(c.text) + (c.field == kZone ? 60 * c.daylight : 0)) << c.text;
        } else {
            ASSERT_EQ(RecordedReports().size(), 1u) << c.text;
            EXPECT_EQ(RecordedReports()[0].heading.substr(0, 8), "Invalid ") << c.text;
            EXPECT_EQ(stored(c.field), before) << "the stored value is kept: " << c.text;
            EXPECT_EQ(Text(c.field), c.text) << "the typed text is kept";
            EXPECT_EQ(observerLocation.storedSites[0].height, slotHeight) << "nothing saved into the slot";
        }
    }
}

TEST_F(SiteFormTest, DayLightMovesTheZoneAtOnceAndTheGmtFieldShowsTheStandardZone) {
    SetSite("Paris", 48.85f, -2.35f, 60);
    observerLocation.storedSites[0] = StoredSite{"Paris", 48.85f, -2.35f, 3, 35, 60, 0};
    Open();
    Call([] { SetCheck(formWindow, kDaylight, 1); });
    Command(kDaylight);
    EXPECT_EQ(observerLocation.zoneMinutes, 120);
    EXPECT_EQ(observerLocation.daylight, 1);
    Call([] { FillSiteFields(); });
    EXPECT_EQ(Text(kZone), "60");
    Call([] { SetCheck(formWindow, kDaylight, 0); });
    Command(kDaylight);
    EXPECT_EQ(observerLocation.zoneMinutes, 60);
    Command(kDaylight);  // no change of the box: nothing moves
    EXPECT_EQ(observerLocation.zoneMinutes, 60);
}

TEST_F(SiteFormTest, TypedCoordinatesBecomeTheSiteAndBadOnesAreRefused) {
    Open();
    EXPECT_EQ(EditCoordinate(kLatitude, "33\xB0" "52'07.5 S"), 1);
    EXPECT_EQ(EditCoordinate(kLongitude, "151\xB0" "12'30 E"), 1);
    EXPECT_NEAR(observerLocation.latitude, -33.8688, 1e-4);
    EXPECT_NEAR(observerLocation.longitude, -151.2083, 1e-4);
    EXPECT_NEAR(observerLocation.sinLatitude, std::sin(-33.86875 * M_PI / 180), 1e-6);
    EXPECT_NEAR(observerLocation.cosLatitude, std::cos(-33.86875 * M_PI / 180), 1e-6);

    ClearRecordedReports();
    EXPECT_EQ(EditCoordinate(kLatitude, "95\xB0" "00'00 N"), 0);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Invalid latitude"}));
    EXPECT_NEAR(observerLocation.latitude, -33.8688, 1e-4);
    EXPECT_EQ(Text(kLatitude), "95\xB0" "00'00 N");
    // Ok names it again and keeps the form open.
    FillValidNumbers();
    ClearRecordedReports();
    Command(kOk);
    EXPECT_TRUE(FormOpen());
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Invalid latitude"}));

    // Through the text input, as the user types it.
    Call([] { platform::PostMessage(formWindow, kMsgFieldTap, kLatitude, 0); });
    RunUntilIdle();
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    const Window input = platform::ModalStack()[0];
    Call([=] { platform::SetWindowText(platform::GetDialogItem(input, kTextInputEdit), ""); });
    Type("12 30 00 n");
    Key(platform::kKeyReturn);
    RunUntilIdle();
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_NEAR(observerLocation.latitude, 12.5, 1e-6);
}

TEST_F(SiteFormTest, SetSiteCoordinatesMovesOnlyTheCoordinatesAndZone) {
    SetSite("Home", 10.0f, 20.0f, 120);
    observerLocation.height = 300;
    observerLocation.temperature = 5;
    observerLocation.daylight = 1;
    observerLocation.storedSites[1].latitude = 7.0f;
    const ObserverLocation before = observerLocation;
    SetSiteCoordinates(-30.5, 45.0, -60);
    EXPECT_EQ(observerLocation.longitude, -30.5f);
    EXPECT_EQ(observerLocation.latitude, 45.0f);
    EXPECT_NEAR(observerLocation.sinLatitude, std::sqrt(0.5), 1e-6);
    EXPECT_NEAR(observerLocation.cosLatitude, std::sqrt(0.5), 1e-6);
    EXPECT_EQ(observerLocation.zoneMinutes, -60);
    EXPECT_STREQ(observerLocation.name, "Home");
    EXPECT_EQ(observerLocation.height, before.height);
    EXPECT_EQ(observerLocation.temperature, before.temperature);
    EXPECT_EQ(observerLocation.daylight, before.daylight);
    EXPECT_EQ(observerLocation.storedSites[1].latitude, 7.0f);
}

TEST_F(SiteFormTest, ChoosingAnotherStoredSiteSavesTheFieldsIntoTheOldOne) {
    observerLocation.storedSites[1] = StoredSite{"Bordeaux", 44.84f, 0.58f, 1, 20, 60, 0};
    Open();
    SetText(kName, "Edited");
    EditCoordinate(kLatitude, "10\xB0" "00'00 N");
    FillValidNumbers();
    Pick(kSitePopup, kSiteList, 1);
    EXPECT_EQ(siteChoice, 1);
    const StoredSite& first = observerLocation.storedSites[0];
    EXPECT_STREQ(first.name, "Edited");
    EXPECT_EQ(first.latitude, 10.0f);
    EXPECT_EQ(first.height, 250);
    EXPECT_STREQ(observerLocation.name, "Bordeaux");
    EXPECT_EQ(observerLocation.latitude, 44.84f);
    EXPECT_EQ(observerLocation.siteClass, 1);
    EXPECT_EQ(Text(kName), "Bordeaux");
    // A refused value keeps the user on the slot, with the edit.
    SetText(kHumidity, "100");
    Pick(kSitePopup, kSiteList, 2);
    EXPECT_EQ(siteChoice, 1);
    EXPECT_EQ(Text(kHumidity), "100");
}

TEST_F(SiteFormTest, CancelPutsBackWhatTheFormChanged) {
    observerLocation.storedSites[0] = StoredSite{"Paris", 48.85f, -2.35f, 3, 35, 60, 0};
    SetSite("Before", 40.0f, 5.0f, 60);
    const ObserverLocation before = observerLocation;
    Open();
    ASSERT_STREQ(observerLocation.name, "Before");
    EditCoordinate(kLongitude, "10\xB0" "00'00 W");
    ASSERT_EQ(observerLocation.longitude, 10.0f);
    FillValidNumbers();
    SetText(kTemperature, "-20");
    ASSERT_EQ(Apply(), 1);
    ASSERT_EQ(observerLocation.temperature, -20);
    Command(kCancel);
    EXPECT_FALSE(FormOpen());
    // The site as it was before the form opened, the stored sites and the choice too.
    EXPECT_STREQ(observerLocation.name, "Before");
    EXPECT_EQ(observerLocation.longitude, 5.0f);
    EXPECT_EQ(observerLocation.latitude, 40.0f);
    EXPECT_EQ(observerLocation.temperature, before.temperature);
    EXPECT_EQ(observerLocation.storedSites[0].longitude, -2.35f);
    EXPECT_EQ(siteChoice, -1);
}

TEST_F(SiteFormTest, OkAppliesAndRefreshesTheTimeOnlyWhenEverythingIsValid) {
    Open();
    FillValidNumbers();
    SetText(kPressure, "1200");
    selectionProjected = 1;
    chartClock.lastStep = 0;
    skyCacheKey.horizonFlag = 1;
    Command(kOk);
    EXPECT_TRUE(FormOpen());
    EXPECT_EQ(selectionProjected, 1);
    EXPECT_EQ(skyCacheKey.horizonFlag, 1);
    EXPECT_EQ(chartClock.lastStep, 0u);

    SetText(kPressure, "1020");
    SetText(kName, "Garden");
    Pick(kClassPopup, kClassList, 4);
    Command(kOk);
    EXPECT_FALSE(FormOpen());
    EXPECT_EQ(selectionProjected, 0);
    // The sky views' matrix is rebuilt for the new site at their next drawing.
    EXPECT_EQ(skyCacheKey.horizonFlag, -1);
    EXPECT_NE(chartClock.lastStep, 0u);
    EXPECT_EQ(observerLocation.pressure, 1020);
    EXPECT_EQ(observerLocation.siteClass, 4);
    EXPECT_STREQ(observerLocation.storedSites[0].name, "Garden");
    EXPECT_EQ(observerLocation.storedSites[0].siteClass, 4);
    EXPECT_EQ(observerLocation.storedSites[0].zoneMinutes, 60);
}

TEST_F(SiteFormTest, ATapOnTheSmallMapSetsTheSite) {
    Open();
    TapForm(120, 84);
    EXPECT_EQ(observerLocation.latitude, 0.0f);
    EXPECT_EQ(observerLocation.longitude, 0.0f);
    EXPECT_EQ(observerLocation.zoneMinutes, 0);
    EXPECT_STREQ(observerLocation.name, "User Tap");
    EXPECT_EQ(Text(kName), "User Tap");
    // The cross is drawn where the site is.
    EXPECT_EQ(siteForm.crossX, 120);
    EXPECT_EQ(siteForm.crossY, 84);
    EXPECT_EQ(PixelAt(120 + 3, 84), Bits(platform::Rgb(200, 0, 0)));

    observerLocation.daylight = 1;
    TapForm(60, 54);
    EXPECT_EQ(observerLocation.longitude, 90.0f);
    EXPECT_EQ(observerLocation.latitude, 45.0f);
    EXPECT_EQ(observerLocation.zoneMinutes, -360 + 60);
    EXPECT_EQ(Text(kZone), "-360");
}

TEST_F(SiteFormTest, TheWorldMapRecentresDragsAndPicksAPlaceOnOk) {
    observerLocation.storedSites[0] = StoredSite{"Quito", -0.22f, 78.5f, 3, 2850, -300, 0};
    SetSite("Quito", -0.22f, 78.5f, -300);
    Open();
    Command(kMap);
    ASSERT_EQ(siteForm.mode, 1);
    EXPECT_FALSE(platform::IsWindowVisible(Item(kLatitude)));
    const Bounds v = siteForm.view;
    EXPECT_EQ(v.y, 24);
    EXPECT_EQ(v.height, 320 - 22 - 24);
    // Centred on the site: the middle of the view shows it.
    double longitude = 0, latitude = 0;
    WorldMapPlaceAt(v.x + v.width / 2, v.y + v.height / 2, v, siteForm.offsetX, siteForm.offsetY, &longitude, &latitude);
    EXPECT_NEAR(longitude, 78.5, 0.2);
    EXPECT_NEAR(latitude, -0.22, 0.2);
    // Map opened: the centre is in the fields, the site is unchanged.
    EXPECT_EQ(Text(kZone), "-300");
    EXPECT_EQ(observerLocation.longitude, 78.5f);

    // Drags: past the top and the bottom the map stops; sideways it goes round.
    Drag(platform::ClientToScreen(formWindow, {120, 100}), platform::ClientToScreen(formWindow, {120, 290}), 4);
    Drag(platform::ClientToScreen(formWindow, {120, 100}), platform::ClientToScreen(formWindow, {120, 290}), 4);
    Drag(platform::ClientToScreen(formWindow, {120, 100}), platform::ClientToScreen(formWindow, {120, 290}), 4);
    Drag(platform::ClientToScreen(formWindow, {120, 100}), platform::ClientToScreen(formWindow, {120, 290}), 4);
    RunUntilIdle();
    EXPECT_EQ(siteForm.offsetY, 0);
    for (int i = 0; i < 8; ++i)
        Drag(platform::ClientToScreen(formWindow, {120, 290}), platform::ClientToScreen(formWindow, {120, 30}), 4);
    RunUntilIdle();
    EXPECT_EQ(siteForm.offsetY, v.height - 1207);
    for (int i = 0; i < 12; ++i)
        Drag(platform::ClientToScreen(formWindow, {230, 200}), platform::ClientToScreen(formWindow, {10, 200}), 4);
    RunUntilIdle();
    EXPECT_GT(siteForm.offsetX, -kWorldMapPeriod);
    EXPECT_LT(siteForm.offsetX, kWorldMapPeriod);
    EXPECT_EQ(observerLocation.longitude, 78.5f) << "dragging picks nothing";

    // A tap fills the fields with signed values and the zone estimate; Ok takes them.
    const int x = 100, y = 150;
    WorldMapPlaceAt(x, y, v, siteForm.offsetX, siteForm.offsetY, &longitude, &latitude);
    TapForm(x, y);
    double typed = 0;
    ASSERT_TRUE(ParseSiteCoordinate(Text(kLongitude).c_str(), 'W', 'E', 180, &typed));
    EXPECT_NEAR(typed, longitude, 1.0 / 3600);
    EXPECT_EQ(Text(kLongitude).find_first_of("WE"), std::string::npos);
    EXPECT_EQ(Text(kZone), std::to_string(ZoneEstimateHours(longitude) * 60));
    EXPECT_EQ(observerLocation.longitude, 78.5f) << "the site changes only on Ok";
    Command(kOk);
    EXPECT_TRUE(FormOpen());
    EXPECT_EQ(siteForm.mode, 0);
    EXPECT_TRUE(platform::IsWindowVisible(Item(kLatitude)));
    EXPECT_NEAR(observerLocation.longitude, longitude, 1.0 / 3600);
    EXPECT_NEAR(observerLocation.latitude, latitude, 1.0 / 3600);
    EXPECT_EQ(observerLocation.zoneMinutes, ZoneEstimateHours(longitude) * 60);
    EXPECT_EQ(siteMapRecentre, -1);

    // Cancel in the map view drops what the map wrote.
    Command(kMap);
    TapForm(200, 200);
    const float kept = observerLocation.longitude;
    Command(kCancel);
    EXPECT_TRUE(FormOpen());
    EXPECT_EQ(siteForm.mode, 0);
    EXPECT_EQ(observerLocation.longitude, kept);
}

TEST_F(SiteFormTest, TheGpsButtonPutsThePositionIntoTheFields) {
    SerialBench bench;
    bench.UseFake();
    preferences.word[pref::gpsPort] = 1;
    Open();
    std::string burst;
    while (burst.size() < 900) burst += "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    platform::fakeSerial.Reply(burst);
    Command(kGps);
    EXPECT_EQ(Text(kLatitude), "48\xB0" "07'02 N");
    EXPECT_EQ(Text(kLongitude), "011\xB0" "31'00 E");
    EXPECT_NEAR(observerLocation.latitude, 48.11722, 1e-4);
    EXPECT_NEAR(observerLocation.longitude, -11.51667, 1e-4);

    // Without a fix nothing changes.
    platform::fakeSerial.input.clear();
    burst.clear();
    while (burst.size() < 900) burst += "$GPGGA,123519,,,,,0,00,,,M,,M,,*66\r\n";
    platform::fakeSerial.Reply(burst);
    ClearRecordedReports();
    Command(kGps);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"No GPS position received."}));
    EXPECT_EQ(Text(kLatitude), "48\xB0" "07'02 N");
    EXPECT_NEAR(observerLocation.latitude, 48.11722, 1e-4);
}

// A location database of two towns in the user's writable folder.
void WriteTowns() {
    RecordFileImage image;
    image.creator = kCreatorLocations;
    image.recordSize = kLocationRecordSize;
    LocationRecord paris;
    std::strcpy(paris.country, "France");
    std::strcpy(paris.town, "Paris");
    paris.latitude = 48.85f;
    paris.longitude = 2.35f;
    paris.zoneMinutes = 60;
    EncodeLocationRecord(paris, image.Append());
    LocationRecord rio;
    std::strcpy(rio.country, "Brazil");
    std::strcpy(rio.town, "Rio de Janeiro");
    rio.latitude = -22.9f;
    rio.longitude = -43.2f;
    rio.zoneMinutes = -180;
    EncodeLocationRecord(rio, image.Append());
    const auto path = platform::ResolvePath("usercatalogs\\data\\velkarion_location.ppc");
    ASSERT_TRUE(platform::EnsureParentFolders(path));
    ASSERT_TRUE(WriteRecordFileImage(path, image));
}

TEST_F(SiteFormTest, TheTownChosenOnTheLocationListIsLoadedAtTheNextOpening) {
    WriteTowns();
    observerLocation.storedSites[0] = StoredSite{"Paris", 48.85f, -2.35f, 3, 35, 60, 0};
    Open();
    observerLocation.daylight = 1;
    // List: the form closes for the location list, whose Ok leaves its choice behind.
    Command(kList);
    EXPECT_EQ(GetCurrentFormId(), kLocationListFormId);
    EXPECT_FALSE(platform::IsWindow(Item(kLatitude)));
    selectedLocationIndex = 1;
    Call([] { GoBackForm(); });
    RunUntilIdle();
    ASSERT_TRUE(FormOpen());
    EXPECT_STREQ(observerLocation.name, "Rio de Jane");
    EXPECT_EQ(observerLocation.latitude, -22.9f);
    EXPECT_EQ(observerLocation.longitude, 43.2f);
    EXPECT_EQ(observerLocation.zoneMinutes, -180 + 60);
    EXPECT_EQ(observerLocation.height, 0);
    EXPECT_EQ(selectedLocationIndex, -1);
    EXPECT_EQ(Text(kName), "Rio de Jane");

    // Cancel on the list: the form shows the site in force again.
    Command(kList);
    Call([] { GoBackForm(); });
    RunUntilIdle();
    ASSERT_TRUE(FormOpen());
    EXPECT_STREQ(observerLocation.name, "Rio de Jane");
    EXPECT_EQ(observerLocation.longitude, 43.2f);
    // The trips to the list kept what Cancel puts back: the site before the first opening.
    Command(kCancel);
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(observerLocation.latitude, 51.0f);
}

class SiteFormLandscape : public SiteFormTest {
protected:
    void ConfigureScreen() override {
        options.width = 320;
        options.height = 240;
    }
};

TEST_F(SiteFormLandscape, TheSmallMapMakesWayForTheFields) {
    Open();
    const platform::Rect label = platform::GetRectInParent(Item(kFirstLabel));
    EXPECT_EQ(label.top, 150 - 80 - 40);
    EXPECT_EQ(label.left, 2 + 40);
    EXPECT_EQ(platform::GetRectInParent(Item(kOk)).top, 299 - 80);
    EXPECT_EQ(platform::GetRectInParent(Item(kMap)).left, 198 + 80);
    // No map where it would be, and a tap there changes nothing.
    EXPECT_EQ(PixelAt(2, 140), Bits(GetBackColor()));
    TapForm(2, 140);
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(observerLocation.latitude, 51.0f);
}

}  // namespace
