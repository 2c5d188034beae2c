// The MoonAssistant (6000) and the MoonMap (6020) on the headless screen with a small Moon
// feature database: the calendar's icons and taps, the tapped day's text, the month tables
// against the altitudes they stand for, the feature index and the terminator sorts, the
// map's taps, mirrors, zoom, filter, held keys and information text, and the missing
// database.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/catalog_fixture.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "moon/lunar_ephemeris.h"
#include "moon/moon_assistant.h"
#include "moon/moon_fixture.h"
#include "moon/moon_image.h"
#include "moon/moon_map.h"
#include "platform/paths.h"
#include "shell/date_time_form.h"
#include "shell/form_paint_step.h"
#include "shell/forms_fixture.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"
#include "support/fixture_files.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;

namespace {

// Features at their true places; column and row on the 960-pixel picture.
TestFeature Feature(int kind, const char* name, float latitude, float longitude, float diameter) {
    TestFeature f;
    f.kind = kind;
    f.name = name;
    f.storedLatitude = -latitude;
    f.longitude = longitude;
    f.diameter = diameter;
    const double b = latitude * test_units::kDeg, l = longitude * test_units::kDeg;
    f.column = static_cast<int>(480.0 * (1.0 + std::sin(l) * std::cos(b)));
    f.row = static_cast<int>(480.0 * (1.0 - std::sin(b)));
    f.radius = 12;
    return f;
}

std::vector<TestFeature> LunarFeatures() {
    return {Feature(12, "Imbrium", 32.8f, -15.6f, 1123), Feature(2, "Copernicus", 9.7f, -20.0f, 93),
            Feature(2, "Tycho", -43.3f, -11.2f, 86), Feature(12, "Crisium", 17.0f, 59.1f, 556),
            Feature(2, "Plato", 51.6f, -9.3f, 101)};
}
constexpr int kCopernicus = 1;

class MoonForms : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        root = fs::temp_directory_path() / ("vk-moon-forms-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "install" / "data");
        fs::create_directories(root / "home");
        // The symbol font the text drawing needs, as the program ships it.
        fs::create_directories(root / "install" / "font");
        fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", root / "install" / "font" / "symbol.ttf");
        savedInstall = platform::InstallRoot();
        platform::SetInstallRoot(root / "install");
        platform::SetHomeRoot(root / "home");
        CloseCatalogDatabases();
        savedTime = observingDateTime;
        savedSite = observerLocation;
        SetSiteCoordinates(-2.0, 48.0, 0);
        SetObservingDateTime(1992, 4, 12, 0, 0, 0);
        preferences.word[pref::timeUpdateMode] = 1;
        dateOrderMonthFirst = 0;
        ResetState();
        ClearRecordedReports();
        SetFormDialogProc(moon_assistant::kFormId, &MoonAssistant);
        SetFormDialogProc(moon_map::kFormId, &MoonMap);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        CloseMoonAssistant();
        CloseMoonMap();
        SetFormDialogProc(moon_assistant::kFormId, nullptr);
        SetFormDialogProc(moon_map::kFormId, nullptr);
        FormScreenFixture::TearDown();
        CloseCatalogDatabases();
        ResetState();
        observingDateTime = savedTime;
        observerLocation = savedSite;
        platform::SetInstallRoot(savedInstall);
        platform::SetHomeRoot({});
        fs::remove_all(root);
    }
    static void ResetState() {
        moonAssistant = MoonAssistantState{};
        moonMap = MoonMapState{};
        moonImageView = MoonImageView{};
        FreeMoonIndexBuffer();
        moonFeatureIndex = MoonFeatureIndex{};
    }
    void WriteFeatures(const std::vector<TestFeature>& features) {
        WriteMoonDatabase(root / "install" / "data", features);
        Call([] { OpenMoonDatabase(); });
    }
    void Open(int id) {
        Call([id] { GotoForm(id); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), id);
    }
    void Send(unsigned message, platform::WParam wParam, platform::LParam lParam) {
        Call([=] { platform::SendMessage(formWindow, message, wParam, lParam); });
        RunUntilIdle();
    }
    void Tap(int x, int y) {
        const platform::LParam p = platform::PointToParam(platform::Point{x, y});
        Send(platform::kMsgPenDown, 0, p);
        Send(platform::kMsgPenUp, 0, p);
    }
    // The client point of a large-picture pixel in the map's view.
    platform::Point MapPoint(int column, int row) {
        const MoonImageView& v = moonImageView;
        const int band = static_cast<int>(24 * screenScale.vertical);
        return {v.view.x + column * v.imageSize / 960 - v.scrollX, v.view.y + band + row * v.imageSize / 960 - v.scrollY};
    }
    void Close() {
        Call([] { platform::SendMessage(formWindow, platform::kMsgCommand, kCmdCloseForm, 0); });
        RunUntilIdle();
    }
    std::string Label(int trigger) {
        std::string out;
        Call([&] {
            const PopupControl* p = GetPopupControl(Item(trigger));
            out = p ? p->label : "?";
        });
        return out;
    }
    int PopupRow(int trigger) {
        int row = -2;
        Call([&] {
            const PopupControl* p = GetPopupControl(Item(trigger));
            row = p ? p->selected : -2;
        });
        return row;
    }
    // The last report the forms raised, "heading\ndetail".
    static std::string LastBox() {
        const std::vector<std::string> texts = ReportTexts();
        return texts.empty() ? "" : texts.back();
    }
    int Copernicus() {
        int position = -1;
        Call([&] {
            MoonFeatureRecord r;
            GetMoonFeature(kCopernicus, &r);
            position = FindIndexPosition(r);
        });
        return position;
    }

    fs::path root, savedInstall;
    ObservingDateTime savedTime{};
    ObserverLocation savedSite{};
};

// ---- The calendar --------------------------------------------------------------------------

TEST(MoonCalendar, IconsOfASyntheticMonth) {
    // Days 1 to 31 and the 1st of the next month: new Moon on day 3, two days above 0.996
    // of which the second is the brighter, then a waning day still at 1.0.
    std::vector<double> p(32);
    for (int d = 1; d <= 32; ++d) p[d - 1] = (1.0 - std::cos(2.0 * 3.141592653589793 * (d - 3) / 29.53)) / 2.0;
    p[1] = 0.01;  // day 2
    p[2] = 0.0;   // day 3: new
    p[16] = 0.997, p[17] = 0.9985, p[18] = 1.0, p[19] = 0.97;  // days 17 to 20
    const std::vector<MoonCalendarCell> cells = MoonCalendarIcons(p);
    ASSERT_EQ(cells.size(), 31u);
    int fulls = 0, news = 0;
    for (const MoonCalendarCell& c : cells) fulls += c.full, news += c.isNew;
    EXPECT_EQ(fulls, 1);
    EXPECT_EQ(news, 1);
    EXPECT_EQ(cells[2].icon, kMoonIconNew);
    EXPECT_EQ(cells[16].icon, 6056);          // brighter next day: waxing, 6051 + 5
    EXPECT_EQ(cells[17].icon, 6056);          // still brighter next day
    EXPECT_EQ(cells[18].icon, kMoonIconFull);  // the first not outshone by the next
    EXPECT_EQ(cells[19].icon, 6062 - 5);      // waning after the full Moon
    EXPECT_EQ(cells[19].percent, 97);
    EXPECT_EQ(cells[9].icon, 6051 + static_cast<int>(6 * p[9]));
    EXPECT_EQ(cells[25].icon, 6062 - static_cast<int>(6 * p[25]));
    // A day at exactly 1.0 after the full Moon keeps to the last waning icon.
    const std::vector<MoonCalendarCell> flat = MoonCalendarIcons({0.5, 0.999, 0.998, 1.0, 0.9});
    EXPECT_EQ(flat[1].icon, kMoonIconFull);
    EXPECT_EQ(flat[3].icon, 6057);
}

TEST(MoonCalendar, HomeIconRuleIsShared) {
    EXPECT_EQ(MoonPhaseIcon(0.997, true), kMoonIconFull);
    EXPECT_EQ(MoonPhaseIcon(0.003, false), kMoonIconNew);
    EXPECT_EQ(MoonPhaseIcon(0.5, true), MoonSixthIcon(0.5, true));
    EXPECT_EQ(MoonSixthIcon(1.0, true), 6056);
    EXPECT_EQ(MoonSixthIcon(1.0, false), 6057);
}

TEST_F(MoonForms, CalendarTapsMapToMondayFirstDays) {
    Open(moon_assistant::kFormId);
    EXPECT_EQ(moonAssistant.mode, moon_assistant::kCalendar);
    EXPECT_EQ(Text(moon_assistant::kDate), "01/04/1992");
    const int cw = moonAssistant.cellWidth, ch = moonAssistant.cellHeight;
    const int top = static_cast<int>(46 * screenScale.vertical);
    const auto cell = [&](int row, int column) { return platform::Point{3 + column * cw + cw / 2, top + row * ch + ch / 2}; };
    // 1 April 1992 was a Wednesday: the third column of the first row.
    int days[4] = {};
    Call([&] {
        days[0] = MoonCalendarTapDay(1992, 4, cell(0, 2).x, cell(0, 2).y);
        days[1] = MoonCalendarTapDay(1992, 4, cell(0, 1).x, cell(0, 1).y);
        days[2] = MoonCalendarTapDay(1992, 4, cell(4, 3).x, cell(4, 3).y);
        days[3] = MoonCalendarTapDay(1992, 4, cell(5, 2).x, cell(5, 2).y);
    });
    EXPECT_EQ(days[0], 1);
    EXPECT_EQ(days[1], 0);
    EXPECT_EQ(days[2], 30);
    EXPECT_EQ(days[3], -1);

    Tap(cell(0, 1).x, cell(0, 1).y);
    EXPECT_EQ(LastBox(), "Please click on one Moon.\n");
    ClearRecordedReports();
    Tap(cell(5, 2).x, cell(5, 2).y);
    EXPECT_TRUE(RecordedReports().empty());
    Tap(cell(1, 5).x, cell(1, 5).y);  // Saturday 11 April
    EXPECT_EQ(LastBox().rfind("11/04/1992:\n\x95 Rise", 0), 0u) << LastBox();

    // The keys step the month, wrapping with the year.
    for (int i = 0; i < 4; ++i) Send(platform::kMsgKeyDown, platform::kKeyPageDown, 0);
    EXPECT_EQ(moonAssistant.month, 8);
    for (int i = 0; i < 8; ++i) Send(platform::kMsgKeyDown, platform::kKeyDown, 0);
    EXPECT_EQ(moonAssistant.month, 12);
    EXPECT_EQ(moonAssistant.year, 1991);
}

TEST_F(MoonForms, TappedDayTextShowsDashesWithoutMoonrise) {
    int found = 0;
    for (int d = 1; d <= 30 && !found; ++d) {
        double rise = 0, transit = 0, set = 0;
        ComputeMoonRiseSet(1992, 4, d, &rise, &transit, &set, nullptr);
        if (!(rise > 0.0 && rise < 24.0)) found = d;
    }
    ASSERT_NE(found, 0);
    std::string text;
    Call([&] { text = MoonDayInfoText(1992, 4, found); });
    EXPECT_NE(text.find("\x95 Rise       ----\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Phase    "), std::string::npos);
    EXPECT_NE(text.find("\x95 Visual limit (23h) "), std::string::npos);
}

// ---- The month tables ----------------------------------------------------------------------

double AltitudeAt(bool moon, int year, int month, int day, double hours) {
    int y = year, m = month, d = day, h = 0, mi = 0;
    AddMinutes(&y, &m, &d, &h, &mi, static_cast<int>(std::lround(hours * 60.0)));
    double ra = 0, dec = 0;
    if (moon) MoonPosition(&ra, &dec, y, m, d, h, mi, 0);
    else SunPosition(&ra, &dec, y, m, d, h, mi, 0);
    const double lst = LocalSiderealTime(y, m, d, h, mi, 0, observerLocation.longitude, observerLocation.zoneMinutes);
    return ComputeAltitude(lst, ra, dec, observerLocation.latitude);
}

TEST_F(MoonForms, MonthTablesFollowTheAltitudes) {
    const auto riseSet = ComputeMoonMonthTable(0, 1992, 4);
    ASSERT_EQ(riseSet.size(), 30u);
    EXPECT_EQ(riseSet[0].weekday, 'W');
    int withoutRise = 0;
    for (const MoonTableRow& r : riseSet) {
        double rise = 0, transit = 0, set = 0;
        ComputeMoonRiseSet(1992, 4, r.day, &rise, &transit, &set, nullptr);
        EXPECT_EQ(r.hasStart, rise > 0.0 && rise < 24.0) << r.day;
        if (r.hasStart) {
            EXPECT_NEAR(r.start, rise, 1e-9) << r.day;
        }
        if (!r.hasStart) {
            ++withoutRise;
            EXPECT_EQ(FormatMoonTableTime(r.hasStart, r.start), "  -----");
        }
    }
    EXPECT_GE(withoutRise, 1);

    for (int kind : {1, 2}) {
        const double moonLimit = kind == 1 ? kMoonRiseSetAltitude : 20.0;
        int windows = 0, empty = 0;
        for (const MoonTableRow& r : ComputeMoonMonthTable(kind, 1992, 4)) {
            if (!r.hasStart) {
                ++empty;
                continue;
            }
            ++windows;
            const double middle = (r.start + r.end) / 2.0;
            EXPECT_LT(AltitudeAt(false, 1992, 4, r.day, middle), -18.0) << kind << " day " << r.day;
            const double moonAltitude = AltitudeAt(true, 1992, 4, r.day, middle);
            if (kind == 1) {
                EXPECT_LT(moonAltitude, moonLimit) << "day " << r.day;
            } else {
                EXPECT_GT(moonAltitude, moonLimit) << "day " << r.day;
            }
            // Just outside either end one of the two conditions fails.
            for (double t : {r.start - 0.1, r.end + 0.1}) {
                const bool dark = AltitudeAt(false, 1992, 4, r.day, t) < -18.0;
                const double m = AltitudeAt(true, 1992, 4, r.day, t);
                const bool moonOk = kind == 1 ? m < moonLimit : m > moonLimit;
                EXPECT_FALSE(dark && moonOk) << kind << " day " << r.day << " at " << t;
            }
        }
        EXPECT_GT(windows, 5) << kind;
        EXPECT_GT(empty, 0) << kind;
    }
}

// ---- The feature index and the terminator list ---------------------------------------------

TEST_F(MoonForms, FeatureIndexSortsAndRuns) {
    WriteFeatures(LunarFeatures());
    std::vector<int> records, kinds;
    int built[2] = {}, kindRun[2] = {}, catena[2] = {};
    Call([&] {
        built[0] = BuildMoonFeatureIndex();
        built[1] = BuildMoonFeatureIndex();
        SortMoonFeatureIndex(1);
        for (const MoonIndexEntry& e : moonFeatureIndex.entries) records.push_back(e.record), kinds.push_back(e.kind);
        kindRun[0] = FindKindRun(12, &kindRun[1]);
        catena[0] = FindKindRun(6, &catena[1]);
    });
    EXPECT_EQ(built[0], 0);
    EXPECT_EQ(built[1], 1);
    EXPECT_EQ(records, (std::vector<int>{1, 2, 4, 0, 3}));
    EXPECT_EQ(kinds, (std::vector<int>{2, 2, 2, 12, 12}));
    EXPECT_EQ(kindRun[0], 3);
    EXPECT_EQ(kindRun[1], 2);
    EXPECT_EQ(catena[0], -1);
    EXPECT_EQ(catena[1], 0);
    std::vector<int> columns;
    Call([&] {
        SortMoonFeatureIndex(2);
        for (const MoonIndexEntry& e : moonFeatureIndex.entries) columns.push_back(e.column);
    });
    EXPECT_TRUE(std::is_sorted(columns.begin(), columns.end()));
    Call([&] {
        ApplyMoonTypeFilter(4);  // Mare
        MoonFeatureRecord r;
        EXPECT_EQ(GetIndexedMoonFeature(0, &r), 1);
        EXPECT_STREQ(r.name, "Imbrium");
        EXPECT_EQ(GetIndexedMoonFeature(2, &r), 0);
        FreeMoonIndexBuffer();
        FreeMoonIndexBuffer();
        EXPECT_EQ(GetIndexedMoonFeature(0, &r), 0);
        FreeTerminatorList();
        FreeTerminatorList();
    });
}

TEST_F(MoonForms, TerminatorSortsBySizeNameAndLatitude) {
    const auto f = [](float diameter, float stored) {
        TestFeature t;
        t.diameter = diameter;
        t.storedLatitude = stored;
        return t;
    };
    WriteFeatures({f(10.9f, 5.04f), f(10.2f, 5.0f), f(50.0f, -20.0f), f(10.5f, 5.09f), f(12.0f, 5.2f)});
    std::vector<std::int32_t> bySize, byName, byLatitude;
    Call([&] {
        moonAssistant.terminatorList = {3, 4, 1, 2, 0};
        moonAssistant.terminatorCount = 5;
        SortTerminatorList(0);
        bySize = moonAssistant.terminatorList;
        SortTerminatorList(1);
        byName = moonAssistant.terminatorList;
        SortTerminatorList(2);
        byLatitude = moonAssistant.terminatorList;
    });
    EXPECT_EQ(bySize, (std::vector<std::int32_t>{2, 4, 0, 1, 3}));  // 10.9, 10.2, 10.5 km tie
    EXPECT_EQ(byName, (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(byLatitude, (std::vector<std::int32_t>{2, 0, 1, 3, 4}));  // north first, 0.1 degree steps
}

TEST_F(MoonForms, FeaturesAndTerminatorModes) {
    WriteFeatures(LunarFeatures());
    Open(moon_assistant::kFormId);
    Pick(moon_assistant::kModePopup, moon_assistant::kModeList, moon_assistant::kFeatures);
    EXPECT_EQ(moonAssistant.mode, moon_assistant::kFeatures);
    EXPECT_EQ(Label(moon_assistant::kFeaturePopup), "Imbrium");
    Pick(moon_assistant::kTypePopup, moon_assistant::kTypeList, 2);  // Crater
    EXPECT_EQ(Label(moon_assistant::kFeaturePopup), "Copernicus");
    Send(platform::kMsgKeyDown, platform::kKeyDown, 0);
    EXPECT_EQ(Label(moon_assistant::kFeaturePopup), "Tycho");

    // At 0h on 12 April 1992 the Sun stands 2.3 degrees over Copernicus.
    Pick(moon_assistant::kModePopup, moon_assistant::kModeList, moon_assistant::kTerminator);
    ASSERT_EQ(moonAssistant.mode, moon_assistant::kTerminator);
    ASSERT_GE(moonAssistant.terminatorCount, 1);
    EXPECT_NE(std::find(moonAssistant.terminatorList.begin(),
                        moonAssistant.terminatorList.begin() + moonAssistant.terminatorCount, kCopernicus),
              moonAssistant.terminatorList.begin() + moonAssistant.terminatorCount);
    Pick(moon_assistant::kSizePopup, moon_assistant::kSizeList, 3);  // >120km: Copernicus is 93
    for (int i = 0; i < moonAssistant.terminatorCount; ++i) EXPECT_NE(moonAssistant.terminatorList[i], kCopernicus);
    Close();
    EXPECT_TRUE(moonAssistant.terminatorList.empty());
    EXPECT_FALSE(moonFeatureIndex.built);
}

TEST_F(MoonForms, MissingDatabaseReturnsToTheCalendar) {
    Open(moon_assistant::kFormId);
    for (int mode : {moon_assistant::kFeatures, moon_assistant::kTerminator}) {
        ClearRecordedReports();
        Pick(moon_assistant::kModePopup, moon_assistant::kModeList, mode);
        EXPECT_EQ(LastBox(), "Moon database not found.\nPlease install velkarion_moon.ppc\nThis module can't be used.");
        EXPECT_EQ(moonAssistant.mode, moon_assistant::kCalendar);
    }
}

// ---- The map -------------------------------------------------------------------------------

TEST_F(MoonForms, MapModeOpensTheMapAndATapNamesTheFeature) {
    WriteFeatures(LunarFeatures());
    Open(moon_assistant::kFormId);
    Pick(moon_assistant::kModePopup, moon_assistant::kModeList, moon_assistant::kMap);
    RunUntilIdle();
    ASSERT_EQ(GetCurrentFormId(), moon_map::kFormId);
    EXPECT_EQ(moonAssistant.mode, moon_assistant::kCalendar);
    ASSERT_NE(moonImage, nullptr);

    // Copernicus near the top-left of the view: scroll the picture so that it is in sight.
    Call([] {
        moonMap.selected = -1;
        ShowMapFeature(-1);
    });
    const TestFeature copernicus = LunarFeatures()[kCopernicus];
    Call([&] {
        MoonImageView& v = moonImageView;
        v.scrollX = std::clamp(copernicus.column * v.imageSize / 960 - v.view.width / 2, 0, MoonScrollLimit(v.imageSize, v.view.width));
        v.scrollY = std::clamp(copernicus.row * v.imageSize / 960 - v.view.height / 2, 0, MoonScrollLimit(v.imageSize, v.view.height));
    });
    const platform::Point p = MapPoint(copernicus.column + 3, copernicus.row - 2);
    Tap(p.x, p.y);
    EXPECT_EQ(moonMap.selected, Copernicus());
    EXPECT_EQ(Label(moon_map::kFeaturePopup), "Copernicus, 93.0km");

    // A pen that travels 6 pixels drags and selects nothing new.
    Call([] { moonMap.selected = -1; });
    const platform::LParam down = platform::PointToParam(platform::Point{p.x, p.y});
    Send(platform::kMsgPenDown, 0, down);
    Send(platform::kMsgPenMove, 0, platform::PointToParam(platform::Point{p.x + 6, p.y}));
    Send(platform::kMsgPenUp, 0, platform::PointToParam(platform::Point{p.x + 6, p.y}));
    EXPECT_EQ(moonMap.selected, -1);
}

TEST_F(MoonForms, FarTapsAndAnEmptyDatabaseSelectNothing) {
    WriteFeatures(LunarFeatures());
    Open(moon_map::kFormId);
    int far = 0;
    Call([&] {
        // Large-picture pixel (5, 955): more than 500 pixels from each feature.
        const MoonImageView& v = moonImageView;
        const int band = static_cast<int>(24 * screenScale.vertical);
        far = FindNearestFeature(5 * v.imageSize / 960 + v.view.x - v.scrollX,
                                 955 * v.imageSize / 960 + v.view.y + band - v.scrollY);
    });
    EXPECT_EQ(far, -1);
    EXPECT_EQ(moonMap.selected, -1);
    Call([] { CloseCatalogDatabases(); });
    int none = 0;
    Call([&] { none = FindNearestFeature(100, 100); });
    EXPECT_EQ(none, -1);
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(MoonForms, MirrorFilterAndZoom) {
    WriteFeatures(LunarFeatures());
    Open(moon_map::kFormId);
    const int copernicus = Copernicus();
    ASSERT_GE(copernicus, 0);
    Pick(moon_map::kFeaturePopup, moon_map::kFeatureList, copernicus);
    EXPECT_EQ(moonMap.selected, copernicus);
    EXPECT_EQ(moonMap.circleColumn, LunarFeatures()[kCopernicus].column);
    Pick(moon_map::kMirrorPopup, moon_map::kMirrorList, 3);  // horizontal
    EXPECT_EQ(moonImageView.mirrorX, 1);
    EXPECT_EQ(moonImageView.mirrorY, 0);
    EXPECT_EQ(moonMap.circleColumn, 960 - LunarFeatures()[kCopernicus].column);
    EXPECT_EQ(moonMap.circleRow, LunarFeatures()[kCopernicus].row);
    Pick(moon_map::kMirrorPopup, moon_map::kMirrorList, 0);

    // A tap on a feature while the filter shows "Mare" puts the filter back to "All".
    Pick(moon_map::kTypePopup, moon_map::kTypeList, 4);
    EXPECT_EQ(moonFeatureIndex.typeRow, 4);
    EXPECT_EQ(moonFeatureIndex.runCount, 2);
    int selected = -1;
    Call([&] {
        const TestFeature c = LunarFeatures()[kCopernicus];
        const MoonImageView& v = moonImageView;
        const int band = static_cast<int>(24 * screenScale.vertical);
        selected = FindNearestFeature(c.column * v.imageSize / 960 + v.view.x - v.scrollX,
                                      c.row * v.imageSize / 960 + v.view.y + band - v.scrollY);
    });
    EXPECT_EQ(moonFeatureIndex.typeRow, 0);
    EXPECT_EQ(PopupRow(moon_map::kTypePopup), 0);
    EXPECT_EQ(selected, copernicus);

    // "-" in the small picture and "+" in the large one change nothing.
    ASSERT_EQ(moonImageView.zoomMode, 1);
    Command(moon_map::kZoomOut);
    EXPECT_EQ(moonImageView.zoomMode, 1);
    EXPECT_EQ(moonMap.selected, copernicus);
    Command(moon_map::kZoomIn);
    EXPECT_EQ(moonImageView.zoomMode, 2);
    EXPECT_EQ(moonImageView.imageSize, 960);
    EXPECT_EQ(moonMap.selected, -1);
    Pick(moon_map::kFeaturePopup, moon_map::kFeatureList, copernicus);
    const int scrollX = moonImageView.scrollX;
    Command(moon_map::kZoomIn);
    EXPECT_EQ(moonMap.selected, copernicus);
    EXPECT_EQ(moonImageView.scrollX, scrollX);
}

// Each step of the arrow keys moves the observing time by an hour and shades the picture
// anew for it. (On the headless screen a held key's polling loop sees the virtual clock
// jump to the key's release, so each key-down makes one step.)
TEST_F(MoonForms, ArrowKeysStepTheHourAndShadeAnew) {
    WriteFeatures(LunarFeatures());
    Open(moon_map::kFormId);
    Pick(moon_map::kFeaturePopup, moon_map::kFeatureList, Copernicus());
    const auto colongitude = [] {
        const ObservingDateTime& t = observingDateTime;
        double l0 = 0, b0 = 0, c0 = 0;
        ComputeSelenographicSun(DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, 0, observerLocation.zoneMinutes),
                                &l0, &b0, &c0);
        return c0;
    };
    EXPECT_NEAR(moonImageView.colongitude, colongitude(), 1e-9);
    for (int step = 1; step <= 3; ++step) {
        Send(platform::kMsgKeyDown, platform::kKeyRight, 0);
        EXPECT_EQ(observingDateTime.hour, step);
        EXPECT_EQ(observingDateTime.day, 12);
        EXPECT_NEAR(moonImageView.colongitude, colongitude(), 1e-9) << step;
        EXPECT_EQ(moonMap.selected, -1);
        ASSERT_NE(moonImage, nullptr);
    }
    Send(platform::kMsgKeyDown, platform::kKeyLeft, 0);
    Send(platform::kMsgKeyDown, platform::kKeyLeft, 0);
    Send(platform::kMsgKeyDown, platform::kKeyLeft, 0);
    Send(platform::kMsgKeyDown, platform::kKeyLeft, 0);
    EXPECT_EQ(observingDateTime.day, 11);
    EXPECT_EQ(observingDateTime.hour, 23);
    EXPECT_NEAR(moonImageView.colongitude, colongitude(), 1e-9);
}

TEST_F(MoonForms, InformationTextNamesTheFeatureAndItsSunriseAndSunset) {
    WriteFeatures(LunarFeatures());
    Open(moon_map::kFormId);
    Command(moon_map::kInfo);
    EXPECT_EQ(LastBox(), "Please select first a feature by clicking on the map.\n");
    std::string text;
    Call([&] {
        MoonFeatureRecord r;
        GetMoonFeature(kCopernicus, &r);
        text = MoonFeatureInfoText(r, DateTimeToJD(1992, 4, 12, 0, 0, 0, 0), 0);
    });
    // Sunrise about JD 2448724.31 (11 April, 19:26 UT), sunset some 14.8 days later.
    EXPECT_EQ(text.rfind("Crater Copernicus\n\x95 Lat:     9.7\xB0\n\x95 Lon:     -20.0\xB0\n\x95 Diam: 93km\n\n"
                         "Dates of best visibility\n\x95 Rise :11/04/1992 ",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\n\x95 Set :26/04/1992 "), std::string::npos) << text;
    // Where the Sun does not cross the horizon within reach, the dates read "----".
    Call([&] {
        MoonFeatureRecord polar;
        std::snprintf(polar.name, sizeof polar.name, "Pole");
        polar.latitude = -89.5f;
        polar.longitude = 30.0f;
        text = MoonFeatureInfoText(polar, DateTimeToJD(1992, 4, 12, 0, 0, 0, 0), 0);
    });
    EXPECT_NE(text.find("\x95 Rise :----\n\x95 Set :----"), std::string::npos) << text;
    const int copernicus = Copernicus();
    Pick(moon_map::kFeaturePopup, moon_map::kFeatureList, copernicus);
    Command(moon_map::kInfo);
    EXPECT_EQ(LastBox().rfind("Crater Copernicus", 0), 0u);
}

}  // namespace

namespace {

// On a screen of scale 2 the map opens on the large picture, the controls follow the edges
// and a tap still finds its feature.
class MoonFormsLarge : public MoonForms {
protected:
    void SetUp() override {
        options.scale = 2;
        MoonForms::SetUp();
    }
};

TEST_F(MoonFormsLarge, MapOpensLargeAndTapsStillFindFeatures) {
    WriteFeatures(LunarFeatures());
    Open(moon_map::kFormId);
    EXPECT_EQ(moonImageView.zoomMode, 2);
    EXPECT_EQ(moonImageView.imageSize, 960);
    EXPECT_EQ(moonImageView.view.width, 480);
    EXPECT_EQ(moonImageView.scrollX, 480);  // 320 x scale, clamped to keep the view inside
    Bounds help{}, date{};
    Call([&] {
        GetObjectBounds(formWindow, moon_map::kHelp, &help);
        GetObjectBounds(formWindow, moon_map::kDate, &date);
    });
    EXPECT_GT(help.x, 400);
    EXPECT_GT(date.y, 580);
    const TestFeature tycho = LunarFeatures()[2];
    Call([&] {
        moonImageView.scrollX = 200;
        moonImageView.scrollY = MoonScrollLimit(960, moonImageView.view.height);
    });
    const platform::Point q = MapPoint(tycho.column, tycho.row);
    ASSERT_GE(q.y, 48);
    ASSERT_LT(q.y, 640 - 44);
    Tap(q.x, q.y);
    int tychoPosition = -1;
    Call([&] {
        MoonFeatureRecord r;
        GetMoonFeature(2, &r);
        tychoPosition = FindIndexPosition(r);
    });
    EXPECT_EQ(moonMap.selected, tychoPosition);
    EXPECT_EQ(Label(moon_map::kFeaturePopup), "Tycho, 86.0km");

    Open(moon_assistant::kFormId);
    EXPECT_EQ(moonAssistant.cellWidth, 480 / 7);
    EXPECT_EQ(moonAssistant.cellHeight, (640 - 118) / 6);
}

}  // namespace
