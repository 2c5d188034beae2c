// The object information form on the headless screen: its pages and stepping, the fields of
// objects whose places the program computes itself, GoTo, the chart command, the help texts
// and the description by catalog, with recording links in place of the planet views and the
// telescope.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/catalog_fixture.h"
#include "catalog/descriptions.h"
#include "catalog/designations.h"
#include "catalog/object_lookup.h"
#include "catalog/star_tables.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/selection_list.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "fixture_catalogs.h"
#include "objects/comet_position.h"
#include "objects/object_form_links.h"
#include "objects/object_info_form.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;
using namespace object_info;

namespace {

struct Recorded {
    std::vector<int> formsAsked;
    std::vector<std::string> calls;
    std::vector<Bounds> bands;
    double gotoRa = 0, gotoDec = 0;
    int gotoMode = -99;
};
Recorded rec;

platform::LResult RecordingHost(platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    if (m == platform::kMsgCommand && platform::LowWord(wp) == kCmdShowForm)
        rec.formsAsked.push_back(static_cast<int>(lp & 0xFFFF));
    return FormHostProc(w, m, wp, lp);
}

int answerNo = 0;
int RecordQuestion(const char* heading, const char*) {
    rec.calls.push_back(std::string("ask:") + heading);
    return answerNo;
}

class ObjectInfoForm : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        root = fs::temp_directory_path() /
               ("vk-objinfo-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "install" / "data");
        fs::create_directories(root / "home");
        platform::SetInstallRoot(root / "install");
        platform::SetHomeRoot(root / "home");
        CloseCatalogDatabases();
        savedTime = observingDateTime;
        savedSite = observerLocation;
        savedCurrent = currentObject;
        SetSiteLatitude(50.0f);
        observerLocation.longitude = -8.0f;
        observerLocation.zoneMinutes = 60;
        observerLocation.height = 0;
        preferences.word[pref::timeUpdateMode] = 1;
        preferences.word[pref::chartMode] = 2;
        SetObservingDateTime(2025, 1, 31, 21, 0, 0);
        objectSelection = ObjectSelection{};
        ASSERT_EQ(AllocSelectionList(), 1);
        ClearRecordedReports();
        rec = Recorded{};
        answerNo = 0;
        ObjectFormLinks links;
        links.scopeGoto = [](double ra, double dec, int mode) {
            rec.gotoRa = ra, rec.gotoDec = dec, rec.gotoMode = mode;
        };
        links.selectMarsView = [] { rec.calls.push_back("mars"); };
        links.selectJupiterView = [] { rec.calls.push_back("jupiter"); };
        links.selectSaturnView = [] { rec.calls.push_back("saturn"); };
        savedLinks = SetObjectFormLinks(links);
        SetFormDialogProc(kObjectInfoFormId, &ObjectInfo);
        StartWithMainWindow(&RecordingHost);
        // The program's start reads the device clock: the tests' instant is set after it.
        RunUntilIdle();
        Call([] { SetObservingDateTime(2025, 1, 31, 21, 0, 0); });
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(kObjectInfoFormId, nullptr);
        SetObjectFormLinks(savedLinks);
        SetReportHooks(ReportHooks{});
        FormScreenFixture::TearDown();
        FreeSelectionList();
        CloseCatalogDatabases();
        observingDateTime = savedTime;
        observerLocation = savedSite;
        currentObject = savedCurrent;
        objectSelection = ObjectSelection{};
        platform::SetInstallRoot({});
        platform::SetHomeRoot({});
        fs::remove_all(root);
    }

    // Opens the form on object `number` (1-based) of `page`, as the chart tap and the lists do.
    void OpenOn(int page, int number) {
        Call([=] {
            ClearObjectSelection();
            currentObject.listPosition = page;
            currentObject.number = static_cast<std::uint32_t>(number);
            objectInfoState.listNumber = number;
            GotoForm(kObjectInfoFormId);
        });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kObjectInfoFormId);
    }
    std::string Label(int trigger) {
        std::string out;
        Call([&] {
            const PopupControl* p = GetPopupControl(Item(trigger));
            out = p ? p->label : "?";
        });
        return out;
    }
    int CatalogRow() {
        int row = -1;
        Call([&] { row = GetListSelection(kCatalogList); });
        return row;
    }
    void Key(int key) {
        Call([=] { platform::SendMessage(formWindow, platform::kMsgKeyDown, static_cast<platform::WParam>(key), 0); });
        RunUntilIdle();
    }

    fs::path root;
    ObservingDateTime savedTime{};
    ObserverLocation savedSite{};
    CurrentObject savedCurrent{};
    ObjectFormLinks savedLinks{};
};

TEST(ObjectInfoPages, PageTableAndWrappingSteps) {
    struct Case {
        int page, catalog, category, type, size;
    } cases[] = {{1, 9, 3, 0, 109},  {3, 13, 13, 0, 89}, {4, 25, 7, 0, 400}, {5, 40, 2, 0, 110},
                 {6, 41, 14, 29, 70}, {7, 45, 1, 27, 10}, {8, 49, 9, 0, 110}, {10, -1, -1, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(objectInfoPages[c.page].catalog, c.catalog);
        EXPECT_EQ(objectInfoPages[c.page].chartCategory, c.category);
        EXPECT_EQ(objectInfoPages[c.page].chartType, c.type);
        EXPECT_EQ(ObjectInfoPageSize(c.page), c.size);
    }
    EXPECT_STREQ(objectInfoPages[0].label, "BrightStars");
    EXPECT_STREQ(objectInfoPages[4].label, "Hershel");
    EXPECT_EQ(StepObjectInfoNumber(1, 109, 1), 1);
    EXPECT_EQ(StepObjectInfoNumber(1, 1, -1), 109);
    EXPECT_EQ(StepObjectInfoNumber(7, 4, 1), 5);
    EXPECT_EQ(StepObjectInfoNumber(10, 3, 1), 0);
}

TEST_F(ObjectInfoForm, APlanetShowsItsComputedPlaceAndSteppingWraps) {
    OpenOn(7, 6);  // Jupiter
    EXPECT_EQ(Label(kObjectPopup), "Jupiter");
    EXPECT_EQ(CatalogRow(), 7);  // "Planet"
    BodyRecord body{};
    ASSERT_TRUE(ComputePlanet(&body, 5, 2025, 1, 31, 21, 0, 0));
    char text[32];
    EXPECT_EQ(Text(kRa), HMSToStr(text, sizeof text, static_cast<float>(body.rightAscension)));
    EXPECT_EQ(Text(kDec), DMSToStr(text, sizeof text, static_cast<float>(body.declination)));
    const int seconds = static_cast<int>(std::lround(static_cast<float>(body.diameter) * 60.0));
    std::snprintf(text, sizeof text, "%d'%02d", seconds / 60, seconds % 60);
    EXPECT_EQ(Text(kSize), text);
    std::snprintf(text, sizeof text, "%.1f", static_cast<float>(body.magnitude));
    EXPECT_EQ(Text(kMagnitude), text);

    Key(platform::kKeyPageUp);
    EXPECT_EQ(Label(kObjectPopup), "Saturn");
    EXPECT_EQ(static_cast<int>(currentObject.number), 7);
    for (int i = 0; i < 4; ++i) Key(platform::kKeyDown);  // past the tenth body to the Sun
    EXPECT_EQ(static_cast<int>(currentObject.number), 1);
    Key(platform::kKeyUp);
    EXPECT_EQ(static_cast<int>(currentObject.number), 10);
}

TEST_F(ObjectInfoForm, AConstellationStandsAtItsLabelPlace) {
    OpenOn(3, 61);
    const ConstellationEntry& c = ConstellationTable[60];
    char text[32];
    EXPECT_EQ(Label(kObjectPopup), std::string(c.abbreviation) + ", " + c.name);
    // Constellations are placed by the coordinate mode like any fixed object: the label
    // place itself is what the form starts from.
    EXPECT_FLOAT_EQ(currentObject.object.ra, static_cast<float>(c.labelRa * 0.001));
    EXPECT_FLOAT_EQ(currentObject.object.dec, static_cast<float>(c.labelDec * 0.01));
    EXPECT_EQ(Text(kSize), "");
    EXPECT_EQ(Text(kConstellation), c.abbreviation);
    (void)text;
}

TEST_F(ObjectInfoForm, GotoRulesAsACaseTable) {
    // The float declination on the meridian just at or below 2.0 degrees of altitude.
    auto limitDec = [](double lst) {
        float dec = -38.1f;
        while (ComputeAltitude(lst, static_cast<float>(lst), std::nextafter(dec, 0.0f), 50.0) <= 2.0)
            dec = std::nextafter(dec, 0.0f);
        return dec;
    };
    constexpr float kAtLimit = -1000.0f;
    struct Case {
        const char* name;
        int page, number;
        float dec;  // NAN: the object's own place
        int hour;
        std::string message;
        int mode;
    } cases[] = {
        {"jupiter", 7, 6, NAN, 21, "", kModeNone},
        {"at 2.0", 7, 6, kAtLimit, 21, "This object is below the horizon\n", -99},
        {"at 2.01", 7, 6, -37.99f, 21, "", kModeNone},
        {"sun below", 7, 1, NAN, 21, "This object is below the horizon\n", -99},
        {"sun above", 7, 1, NAN, 12, "Sorry, GoTo to Sun is disable.\n", -99},
        {"orion", 3, 61, NAN, 21, "", kModeTopocentricRefracted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Call([&] { SetObservingDateTime(2025, 1, 31, c.hour, 0, 0); });
        OpenOn(c.page, c.number);
        ClearRecordedReports();
        rec.gotoMode = -99;
        Call([&] {
            const ObservingDateTime& t = observingDateTime;
            const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                                 observerLocation.longitude, observerLocation.zoneMinutes);
            if (!std::isnan(c.dec)) {
                currentObject.object.ra = static_cast<float>(lst);
                currentObject.object.dec = c.dec == kAtLimit ? limitDec(lst) : c.dec;
            }
            ObjectInfoGoto();
        });
        EXPECT_EQ(ReportTexts(), c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
        EXPECT_EQ(rec.gotoMode, c.mode);
    }
    // Orion's label place is what is sent.
    EXPECT_FLOAT_EQ(static_cast<float>(rec.gotoRa), currentObject.object.ra);

    OpenOn(kObjectInfoFinderPage, -1);
    ClearRecordedReports();
    Command(kGoto);
    Command(kSky);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"Please select at least one object.\n",
                                                       "Please select at least one object.\n"}));
}

TEST_F(ObjectInfoForm, FieldHelpAndTheRiseAndSetMessage) {
    OpenOn(7, 6);
    int vowel = -1, consonant = -1;
    for (int i = 1; i < kObjectTypeCount; ++i) {
        const char first = ObjectTypeTable[i].name[0];
        if (!first) continue;
        if (std::strchr("AEIOUaeiou", first) && vowel < 0) vowel = i;
        if (!std::strchr("AEIOUaeiou", first) && consonant < 0) consonant = i;
    }
    ASSERT_GE(vowel, 0);
    ASSERT_GE(consonant, 0);
    ClearRecordedReports();
    Call([&] {
        currentObject.object.type = vowel;
        ShowObjectFieldHelp(1);
        currentObject.object.type = consonant;
        ShowObjectFieldHelp(1);
        currentObject.object.constellation = 60;
        ShowObjectFieldHelp(0);
        ShowObjectFieldHelp(17);
    });
    EXPECT_EQ(ReportTexts(),
              (std::vector<std::string>{std::string("The current object is an\n") + ObjectTypeTable[vowel].name,
                                        std::string("The current object is a\n") + ObjectTypeTable[consonant].name,
                                        std::string("Constellation (") + ConstellationTable[60].abbreviation + ")\n" +
                                            ConstellationTable[60].name}));
    Command(kSize);  // no box
    EXPECT_EQ(RecordedReports().size(), 3u);

    struct Case {
        double rise, transit, set;
        std::string heading;
    } cases[] = {{6.5, 13.0, 19.5, "\x95 Rise    "}, {0, 1.5, kNeverSetsHour, "\x95 Circumpolar object\n\x95 Transit "},
                 {0, 0, 0, "\x95 Object never visible.\n"}};
    for (const Case& c : cases) {
        ClearRecordedReports();
        Call([&] {
            objectInfoState.rise = c.rise, objectInfoState.transit = c.transit, objectInfoState.set = c.set;
            ShowRiseSetMessage();
        });
        ASSERT_EQ(RecordedReports().size(), 1u);
        EXPECT_EQ(ReportText(0).substr(0, c.heading.size()), c.heading);
    }
    char t[24];
    HMSToStr(t, sizeof t, 13.0);
    EXPECT_NE(ReportTexts().size(), 0u);
    Call([&] {
        objectInfoState.rise = 6.5, objectInfoState.transit = 13.0, objectInfoState.set = 19.5;
        ShowRiseSetMessage();
    });
    EXPECT_NE(ReportTexts().back().find(std::string("\x95 Transit ") + t + "\n\x95 Set     "), std::string::npos);
}

TEST_F(ObjectInfoForm, DescriptionByCatalog) {
    struct Case {
        int page, number;
        int form;
        const char* call;
    } cases[] = {{7, 2, 6000, nullptr}, {7, 5, 2460, "mars"}, {7, 6, 2460, "jupiter"}, {7, 7, 2460, "saturn"},
                 {7, 4, 0, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        OpenOn(c.page, c.number);
        rec.formsAsked.clear();
        rec.calls.clear();
        Command(kDescription);
        EXPECT_EQ(rec.formsAsked, c.form ? std::vector<int>{c.form} : std::vector<int>{});
        EXPECT_EQ(rec.calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
    }
    // A deep-sky object of no description file.
    ClearRecordedReports();
    Call([] {
        currentObject.object = ObjectRef{};
        currentObject.object.catalog = kCatalogNgc;
        currentObject.object.number = 224;
        currentObject.object.type = 6;
        ShowObjectDescription();
    });
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"No description available.\n"});
}

TEST_F(ObjectInfoForm, ChartCommandAsksOnlyInTheModesThatHideTheObject) {
    ReportHooks hooks;
    hooks.askYesNo = &RecordQuestion;
    SetReportHooks(hooks);
    // The Southern Cross never rises at 50 degrees north.
    int crux = -1;
    for (int i = 0; i < kConstellationCount; ++i)
        if (std::string(ConstellationTable[i].abbreviation) == "Cru") crux = i;
    ASSERT_GE(crux, 0);
    struct Case {
        int mode, no;
        bool asked;
        int modeAfter;
        bool chart;
    } cases[] = {{0, 1, true, 0, false}, {0, 0, true, 2, true}, {2, 0, false, 2, true}, {4, 0, false, 4, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.no);
        preferences.word[pref::chartMode] = c.mode;
        answerNo = c.no;
        OpenOn(3, crux + 1);
        rec.calls.clear();
        rec.formsAsked.clear();
        Command(kSky);
        EXPECT_EQ(rec.calls.size(), c.asked ? 1u : 0u);
        EXPECT_EQ(preferences.word[pref::chartMode], c.modeAfter);
        EXPECT_EQ(rec.formsAsked, c.chart ? std::vector<int>{1900} : std::vector<int>{});
    }
}

TEST_F(ObjectInfoForm, RiseAndSetButtonOpensTheEphemerisOnTheObject) {
    OpenOn(7, 5);
    rec.formsAsked.clear();
    Command(kRiseSet);
    EXPECT_EQ(rec.formsAsked, std::vector<int>{2530});
    EXPECT_TRUE(IsObjectSelected());
    EXPECT_EQ(objectSelection.object.catalog, static_cast<std::uint32_t>(kCatalogPlanet));
    EXPECT_EQ(objectSelection.object.number, 4u);
}

TEST_F(ObjectInfoForm, MeteorShowerDatesAndGradeFromTheActivityClass) {
    const double grades[5] = {0, 3.0, 2.0, 1.5, 1.0};
    bool seen[5] = {};
    for (int i = 0; i < kMeteorShowerCount; ++i) {
        const MeteorShower& m = meteorShowerTable[i];
        if (m.activityClass < 1 || m.activityClass > 4 || seen[m.activityClass] || m.peakDay == 0) continue;
        seen[m.activityClass] = true;
        SCOPED_TRACE(m.name);
        OpenOn(6, i + 1);
        char text[16];
        std::snprintf(text, sizeof text, "%02d-%s", m.startDay, MonthAbbreviation(m.startMonth));
        EXPECT_EQ(Text(kSize), text);
        std::snprintf(text, sizeof text, "%02d-%s", m.peakDay, MonthAbbreviation(m.peakMonth));
        EXPECT_EQ(Text(kMagnitude), text);
        std::snprintf(text, sizeof text, "%02d-%s", m.endDay, MonthAbbreviation(m.endMonth));
        EXPECT_EQ(Text(kEyepiece), text);
        EXPECT_EQ(Text(kSizeLabel), "Start");
        EXPECT_EQ(Text(kMagnitudeLabel), "Max");
        EXPECT_DOUBLE_EQ(objectInfoState.visibility, grades[m.activityClass]);
    }
    // Without the darkness graph's link its form is asked for directly.
    rec.formsAsked.clear();
    Command(kBestPeriod);
    EXPECT_EQ(rec.formsAsked, std::vector<int>{2410});
}

TEST_F(ObjectInfoForm, AChartTapOnAnObjectOpensTheFormOnIt) {
    Call([] {
        ObjectRef mars;
        mars.catalog = kCatalogPlanet;
        mars.number = 5;  // as the chart hands bodies: index + 1
        mars.type = 27;
        SetCurrentObjectRecord(&mars, 1);
        GotoForm(kObjectInfoFormId);
    });
    ASSERT_TRUE(RunUntilIdle());
    ASSERT_EQ(GetCurrentFormId(), kObjectInfoFormId);
    EXPECT_EQ(CatalogRow(), 7);  // "Planet"
    EXPECT_EQ(Label(kObjectPopup), "Mars");
    EXPECT_EQ(objectInfoState.present, 1);
}

// The screen as most devices have it, and one 80 lines taller: the band under the panel takes
// Jupiter with its Red Spot transits, Saturn or a finder chart only on the taller one.
void InstallPlanetRecorders() {
    ObjectFormLinks l = objectFormLinks;
    l.redSpotTransits = [](int year, int month, int day, int hours[3], int minutes[3]) {
        rec.calls.push_back("redspot " + std::to_string(year * 10000 + month * 100 + day));
        const int h[3] = {3, 13, 25}, m[3] = {7, 4, 0};
        for (int i = 0; i < 3; ++i) hours[i] = h[i], minutes[i] = m[i];
    };
    l.drawJupiter = [](int, int, int, int hour, int, Bounds band) {
        rec.calls.push_back("jupiter " + std::to_string(hour));
        rec.bands.push_back(band);
    };
    l.drawSaturn = [](int, int, int, int hour, int, Bounds band) {
        rec.calls.push_back("saturn " + std::to_string(hour));
        rec.bands.push_back(band);
    };
    SetObjectFormLinks(l);
}

TEST_F(ObjectInfoForm, TheDesignScreenHasNoLowerPanel) {
    Call(&InstallPlanetRecorders);
    for (int body : {6, 7, 5}) {
        SCOPED_TRACE(body);
        OpenOn(7, body);
        EXPECT_EQ(objectInfoState.lowerPanel, 0);
    }
    EXPECT_EQ(rec.calls, std::vector<std::string>{});
}

class ObjectInfoTallScreen : public ObjectInfoForm {
protected:
    void SetUp() override {
        options.height = 400;
        ObjectInfoForm::SetUp();
    }
};

TEST_F(ObjectInfoTallScreen, JupiterSaturnOrAFinderChartUnderThePanel) {
    Call(&InstallPlanetRecorders);
    OpenOn(7, 6);
    EXPECT_EQ(objectInfoState.lowerPanel, 1);
    EXPECT_STREQ(objectInfoState.redSpot[0], "03h07");
    EXPECT_STREQ(objectInfoState.redSpot[1], "13h04");
    EXPECT_STREQ(objectInfoState.redSpot[2], "01h00");  // past midnight, shown modulo 24
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"redspot 20250131", "jupiter 21"}));
    ASSERT_EQ(rec.bands.size(), 1u);
    EXPECT_EQ(rec.bands[0].y, 226);
    EXPECT_EQ(rec.bands[0].width, 240);
    EXPECT_EQ(rec.bands[0].height, 400 - 22 - 226);

    rec.calls.clear();
    Key(platform::kKeyPageUp);  // Saturn
    EXPECT_EQ(objectInfoState.lowerPanel, 2);
    EXPECT_EQ(rec.calls, std::vector<std::string>{"saturn 21"});
    EXPECT_EQ(objectInfoState.redSpot[0][0], '\0');

    rec.calls.clear();
    Key(platform::kKeyPageUp);  // Uranus
    EXPECT_EQ(objectInfoState.lowerPanel, 3);
    EXPECT_EQ(rec.calls, std::vector<std::string>{});

    // Without the planet views Jupiter gets the finder chart as any other object.
    Call([] {
        ObjectFormLinks l = objectFormLinks;
        l.drawJupiter = nullptr;
        l.drawSaturn = nullptr;
        l.redSpotTransits = nullptr;
        SetObjectFormLinks(l);
    });
    OpenOn(7, 6);
    EXPECT_EQ(objectInfoState.lowerPanel, 3);
}

// The fixture catalog set opened as at start-up.
class ObjectInfoCatalogs : public ObjectInfoForm {
protected:
    void SetUp() override {
        ObjectInfoForm::SetUp();
        if (HasFatalFailure()) return;
        Call([this] { catalogs.Open(root); });
        ClearRecordedReports();
    }
    void TearDown() override {
        Stop();
        catalogs.Close();
        ObjectInfoForm::TearDown();
    }
    FixtureCatalogs catalogs;
};

TEST_F(ObjectInfoCatalogs, CometPageStartsOnTheFirstCometAndAppliesEachMagnitudeLaw) {
    OpenOn(2, 0);
    EXPECT_EQ(static_cast<int>(currentObject.number), 1);
    EXPECT_EQ(Label(kObjectPopup), "C/2020 F3 (NEOWISE) with a long tail name");
    const double jd = DateTimeToJD(2025, 1, 31, 21, 0, 0, 60);
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        CometRecord record;
        ASSERT_EQ(GetCometData(i, &record), 1);
        CometPlace place{};
        ASSERT_EQ(ComputeCometPosition(record, jd, 2025, &place), 1);  // of the date's equinox
        double expected = 0;
        if (i == 0) {
            expected = 5.0 + 5.0 * std::log10(place.earthDistance) + 10.0 * std::log10(place.sunDistance);
        } else {
            const double t = std::tan(place.phaseAngle / 2.0);
            const double phi1 = std::exp(-3.33 * std::pow(t, 0.63)), phi2 = std::exp(-1.87 * std::pow(t, 1.22));
            expected = 3.34 + 5.0 * std::log10(place.sunDistance * place.earthDistance) -
                       2.5 * std::log10(0.88 * phi1 + 0.12 * phi2);
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", static_cast<float>(expected));
        EXPECT_EQ(Text(kMagnitude), text);
        // Already of date: shown as computed.
        EXPECT_EQ(Text(kRa), HMSToStr(text, sizeof text, static_cast<float>(place.rightAscension)));
        EXPECT_EQ(Text(kSize), "");
        Key(platform::kKeyDown);
    }
    EXPECT_EQ(static_cast<int>(currentObject.number), 1);  // two comets: wrapped

    // The description is the orbit assistant's page 1 on this comet.
    Call([] {
        ObjectFormLinks l = objectFormLinks;
        l.setCurrentComet = [](int index) { rec.calls.push_back("comet " + std::to_string(index)); };
        l.setOrbitPage = [](int page) { rec.calls.push_back("page " + std::to_string(page)); };
        SetObjectFormLinks(l);
    });
    Key(platform::kKeyDown);
    rec.formsAsked.clear();
    rec.calls.clear();
    Command(kDescription);
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"comet 1", "page 1"}));
    EXPECT_EQ(rec.formsAsked, std::vector<int>{2550});
}

TEST_F(ObjectInfoCatalogs, BrightStarFieldsAndIdentifiers) {
    OpenOn(0, 2);  // Polaris in the name order
    EXPECT_EQ(Label(kObjectPopup), "Polaris");
    const ObjectRef& o = currentObject.object;
    // 8.24 fixed-point angles back to hours and degrees.
    EXPECT_NEAR(o.ra, 2.5303, 1e-5);
    EXPECT_NEAR(o.dec, 89.264, 1e-5);
    EXPECT_FLOAT_EQ(o.sizeA, 1.0f);
    EXPECT_EQ(Text(kMagnitude), "2.0");  // 32 sixteenths
    EXPECT_EQ(Text(kSizeLabel), "BV");
    EXPECT_EQ(Text(kSize), "0.8");

    ClearRecordedReports();
    Command(kDescription);
    std::string expected = std::string("Identifiers:\nPolaris\n") + CatalogPrefix(kCatalogHr) + "424\n" +
                           CatalogPrefix(51) + "308\n" + CatalogPrefix(26) + "11767";
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{expected});

    // A star without a cross reference lists its HR number alone, under its own name.
    Key(platform::kKeyDown);  // past the last name: back to the first, Alpheratz
    ClearRecordedReports();
    Command(kDescription);
    expected = std::string("Identifiers:\nAlpheratz\n") + CatalogPrefix(kCatalogHr) + "15";
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{expected});
}

TEST_F(ObjectInfoCatalogs, DeepSkyDescriptionFromTheDescriptionFile) {
    char expanded[256] = {};
    ExpandDreyer("pB,S,R", expanded, sizeof expanded);
    // C2 stands for NGC 40, whose description and name the files hold; C5 (IC 342) has none.
    OpenOn(1, 2);
    ClearRecordedReports();
    Command(kDescription);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{std::string("Bow-Tie Nebula\nDreyer code:\npB,S,R\n\n"
                                                                  "Translation:\n") +
                                                      expanded});
    OpenOn(1, 5);
    ClearRecordedReports();
    Command(kDescription);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"No description available.\n"});
}

}  // namespace
