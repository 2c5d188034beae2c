// The mount dispatcher over fake drivers: which family each drive code reaches for every
// operation, the messages, and the GoTo from catalog place to mount.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "astro/separation.h"
#include "astro/time_scales.h"
#include "core/settings.h"
#include "scope/alignment_model.h"
#include "scope/encoder_boxes.h"
#include "scope/mount_dispatcher.h"
#include "scope/mount_drivers.h"
#include "scope/pointing_model.h"
#include "scope/serial_port.h"
#include "shell/utilities_internal.h"
#include "support/recorded_reports.h"

namespace {

using Calls = std::vector<std::string>;
using Texts = std::vector<std::string>;

// What each fake family answers, and what it was asked.
struct FakeFamily {
    std::uint32_t connect = 1;
    std::uint32_t query = 1;
    std::uint32_t gotoResult = 1;
    double first = 5.5;    // reading: hours (or azimuth, degrees)
    double second = -30.25;
    double gotoRa = -1.0;
    double gotoDec = -1.0;
};
FakeFamily fakes[kMountFamilyCount];
Calls calls;
std::vector<int> formsOpened;
bool chartFollows = false;

std::string Name(int f) { return DefaultMountDriver(static_cast<MountFamily>(f)).name; }
std::uint32_t Log(int f, const char* what, std::uint32_t result) {
    calls.push_back(Name(f) + "." + what);
    return result;
}

template <int F>
MountDriver FakeRow() {
    MountDriver d{};
    d.name = "fake";
    d.connect = [] { return Log(F, "connect", fakes[F].connect); };
    d.disconnect = [] { return Log(F, "disconnect", 1); };
    d.queryEQ = [](double* a, double* b) {
        *a = fakes[F].first;
        *b = fakes[F].second;
        return Log(F, "queryEQ", fakes[F].query);
    };
    d.queryAltAz = [](double* a, double* b) {
        *a = fakes[F].first;
        *b = fakes[F].second;
        return Log(F, "queryAltAz", fakes[F].query);
    };
    d.gotoEQ = [](double ra, double dec) {
        fakes[F].gotoRa = ra;
        fakes[F].gotoDec = dec;
        return Log(F, "goto", fakes[F].gotoResult);
    };
    d.syncEQ = [](double, double) { return Log(F, "sync", 1); };
    d.setRate = [](int) { return Log(F, "rate", 11); };
    d.move = [](int) { return Log(F, "move", 12); };
    d.stopMove = [](int) { return Log(F, "stopMove", 13); };
    d.stopAll = [] { return Log(F, "stopAll", 14); };
    d.setSiderealTime = [](double) { return Log(F, "siderealTime", 1); };
    return d;
}

template <std::size_t... I>
void InstallFakes(std::index_sequence<I...>) {
    ((mountDrivers[I] = FakeRow<static_cast<int>(I)>()), ...);
}

// The family of each drive code's connect, disconnect and GoTo ("" none), and of its rate,
// move and stop ("Emulated" for the emulated mount).
const char* const kConnectFamily[21] = {"", "Encoder", "LX200", "Encoder", "Encoder", "LX200", "LX200", "LX200",
                                        "NexStar", "NexStar", "NexStar", "Encoder", "Encoder", "ServoCat",
                                        "Takahashi", "NexStar", "Encoder", "LX200", "SiderealTech", "SkyCommander",
                                        "NexStar"};
const char* const kMotionFamily[21] = {"Emulated", "Emulated", "LX200", "Emulated", "Emulated", "LX200", "Emulated",
                                       "Emulated", "Emulated", "NexStar", "NexStar", "Emulated", "Emulated",
                                       "Emulated", "Takahashi", "NexStar", "Emulated", "LX200", "SiderealTech",
                                       "Emulated", "NexStar"};
bool Syncs(int code) { return code == 2 || code == 5 || code == 17 || code == 10 || code == 15 || code == 20 || code == 14; }

constexpr const char* kNotImplemented = "Sorry, this function is not implemented for your telescope\n";

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        std::copy(std::begin(mountDrivers), std::end(mountDrivers), savedDrivers_);
        savedPreferences_ = preferences;
        savedSite_ = observerLocation;
        savedEmulation_ = telescopeEmulation;
        InstallFakes(std::make_index_sequence<kMountFamilyCount>{});
        for (FakeFamily& f : fakes) f = FakeFamily{};
        calls.clear();
        formsOpened.clear();
        chartFollows = false;
        MountDispatchLinks links;
        links.openForm = [](int id) { formsOpened.push_back(id); };
        links.chartFollowsMount = [] { return chartFollows; };
        savedLinks_ = SetMountDispatchLinks(links);
        SetLocalClockSource([] { return LocalDateTimeFields{2024, 5, 10, 22, 30, 0}; });
        observerLocation = MakeSite(48.0f, -11.0f, 120);
        telescopeEmulation = 0;
        scopeInUse = 0;
        preferences.word[pref::alignMethod] = 0;
        preferences.word[pref::mountType] = 0;
        preferences.word[pref::hourFormat] = 0;
        preferences.word[pref::degreeFormat] = 0;
        alignmentModel = AlignmentModel{};
        ClearPointingModel();
        pointingTermCount = 7;
        ClearRecordedReports();
    }
    void TearDown() override {
        std::copy(std::begin(savedDrivers_), std::end(savedDrivers_), mountDrivers);
        preferences = savedPreferences_;
        observerLocation = savedSite_;
        telescopeEmulation = savedEmulation_;
        SetMountDispatchLinks(savedLinks_);
        SetLocalClockSource(nullptr);
        alignmentModel = AlignmentModel{};
        ClearPointingModel();
    }
    void UseDrive(int code) {
        preferences.word[pref::scopeDrive] = code;
        calls.clear();
        formsOpened.clear();
        ClearRecordedReports();
    }
    // Aligns an equatorial drive whose first axis reads 10° more than the sky.
    void AlignTurnedBy10Degrees() {
        AlignStar a, b;
        a.ra = 40.0; a.dec = 10.0; a.axis1 = 50.0; a.axis2 = 10.0;
        b.ra = 130.0; b.dec = 40.0; b.axis1 = 140.0; b.axis2 = 40.0;
        ASSERT_EQ(SolveTwoStarMatrix("22:00:00", a, b), 1);
    }

    MountDriver savedDrivers_[kMountFamilyCount];

private:
    Preferences savedPreferences_{};
    ObserverLocation savedSite_{};
    int savedEmulation_ = 0;
    MountDispatchLinks savedLinks_;
};

TEST_F(Dispatcher, ConnectAndDisconnectReachTheFamilyOfTheDriveCode) {
    for (int code = -1; code <= 21; ++code) {
        SCOPED_TRACE(code);
        const bool known = code >= 1 && code <= 20;
        const std::string family = known ? kConnectFamily[code] : "";
        for (int emulating : {0, 1}) {
            telescopeEmulation = emulating;
            UseDrive(code);
            const std::uint32_t connected = ScopeConnect();
            if (emulating) {
                EXPECT_EQ(connected, 1u);
                EXPECT_EQ(calls, Calls{});
            } else if (known) {
                EXPECT_EQ(calls, Calls{family + ".connect"});
            } else {
                EXPECT_EQ(connected, 0u);
                EXPECT_EQ(ReportTexts(), Texts{code == 0 ? "Sorry, no scope drive is selected\n" : "Unknown scope drive\n"});
            }
            UseDrive(code);
            const std::uint32_t disconnected = ScopeDisconnect();
            if (known) {
                EXPECT_EQ(calls, Calls{family + ".disconnect"});
                EXPECT_EQ(disconnected, 1u);
            } else {
                // No emulation shortcut: closing the ScopeControl form while emulating says so.
                EXPECT_EQ(disconnected, 0u);
                EXPECT_EQ(ReportTexts(), Texts{code == 0 ? "Disconnect scope not supported\n" : "Unknown scope drive.\n"});
            }
        }
    }
}

TEST_F(Dispatcher, SyncOnlyWhereTheMountSyncsAndAlwaysDisconnects) {
    for (int code = 1; code <= 20; ++code) {
        SCOPED_TRACE(code);
        UseDrive(code);
        const std::string family = kConnectFamily[code];
        EXPECT_EQ(ScopeSync(5.0, 20.0), 1u);
        if (Syncs(code)) {
            EXPECT_EQ(calls, (Calls{family + ".connect", family + ".sync", family + ".disconnect"}));
            EXPECT_EQ(ReportTexts(), Texts{});
        } else {
            // Code 8 included: its hand control would slew to a sync.
            EXPECT_EQ(calls, (Calls{family + ".connect", family + ".disconnect"}));
            EXPECT_EQ(ReportTexts(), Texts{kNotImplemented});
        }
    }
    UseDrive(5);
    fakes[1].connect = 0;
    EXPECT_EQ(ScopeSync(5.0, 20.0), 0u);
    EXPECT_EQ(calls, Calls{"LX200.connect"});
}

TEST_F(Dispatcher, RateMoveAndStopGoToTheFamilyOrTheEmulatedMountWhileEmulating) {
    for (int code = -1; code <= 21; ++code) {
        for (int emulating : {0, 1}) {
            SCOPED_TRACE(std::to_string(code) + (emulating ? " emulating" : ""));
            telescopeEmulation = emulating;
            UseDrive(code);
            const int results[4] = {ScopeSetRate(2), ScopeStartMove(3), ScopeStopMove(1), ScopeStop()};
            if (code < 0 || code > 20) {
                EXPECT_EQ(calls, Calls{});
                EXPECT_EQ(ReportTexts(), (Texts{"Unknown scope drive.\n", "Unknown scope drive\n",
                                                "Unknown scope drive.\n", "Unknown scope drive.\n"}));
                continue;
            }
            const std::string family = kMotionFamily[code];
            if (family == "Emulated" && !emulating) {
                EXPECT_EQ(calls, Calls{});
                EXPECT_EQ(std::vector<int>(results, results + 4), (std::vector<int>{2, 3, 1, 0}));
            } else {
                EXPECT_EQ(calls, (Calls{family + ".rate", family + ".move", family + ".stopMove", family + ".stopAll"}));
                EXPECT_EQ(std::vector<int>(results, results + 4), (std::vector<int>{11, 12, 13, 14}));
            }
            EXPECT_EQ(ReportTexts(), Texts{});
        }
    }
}

// ---- GoTo -----------------------------------------------------------------------------

TEST_F(Dispatcher, GotoWithoutAnAlignmentStillDrivesAnLx200ToTheApparentPlace) {
    UseDrive(5);
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_EQ(ReportTexts(), Texts{"Please first perfom the 2 star aligment\n"});
    EXPECT_EQ(calls, (Calls{"LX200.connect", "LX200.goto"}));
    EXPECT_DOUBLE_EQ(fakes[1].gotoRa, 5.5);
    EXPECT_DOUBLE_EQ(fakes[1].gotoDec, 20.0);
    EXPECT_EQ(formsOpened, std::vector<int>{2400});
    EXPECT_EQ(scopeInUse, 1u);

    // The apparent place of now, not the catalog place.
    UseDrive(5);
    ScopeGoto(5.5, 20.0, 0);
    EXPECT_GT(std::fabs(fakes[1].gotoRa - 5.5), 1e-3);

    // The chart following the mount keeps the chart.
    UseDrive(5);
    chartFollows = true;
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_EQ(formsOpened, std::vector<int>{});
}

TEST_F(Dispatcher, GotoEndingsByFamily) {
    struct Case {
        int code;
        std::uint32_t gotoResult;
        Calls calls;
        Texts messages;
        bool opensControl;
    };
    const Case cases[] = {
        {5, 0, {"LX200.connect", "LX200.goto", "LX200.disconnect"}, {"Goto failed\n"}, false},
        {17, 1, {"LX200.connect", "LX200.goto"}, {}, true},
        {8, 1, {"NexStar.connect", "NexStar.goto", "NexStar.disconnect"}, {}, false},
        {10, 1, {"NexStar.connect", "NexStar.goto"}, {}, true},
        {20, 0, {"NexStar.connect", "NexStar.goto", "NexStar.disconnect"}, {"Goto failed\n"}, false},
        {13, 1, {"ServoCat.connect", "ServoCat.goto", "ServoCat.disconnect"}, {}, false},
        {13, 0, {"ServoCat.connect", "ServoCat.goto", "ServoCat.disconnect"}, {"Goto failed\n"}, false},
        {14, 1, {"Takahashi.siderealTime", "Takahashi.connect", "Takahashi.goto"}, {}, true},
        {14, 0, {"Takahashi.siderealTime", "Takahashi.connect", "Takahashi.goto", "Takahashi.disconnect"},
         {"Goto failed\n"}, false},
        {18, 1, {"SiderealTech.connect", "SiderealTech.goto"}, {}, true},
        {19, 1, {"SkyCommander.connect", "SkyCommander.goto"}, {}, false},
        {19, 0, {"SkyCommander.connect", "SkyCommander.goto", "SkyCommander.disconnect"}, {"Goto failed\n"}, false},
    };
    AlignTurnedBy10Degrees();  // no message before the mount's
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        UseDrive(c.code);
        for (FakeFamily& f : fakes) f.gotoResult = c.gotoResult;
        ScopeGoto(5.5, 20.0, -1);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(ReportTexts(), c.messages);
        EXPECT_EQ(formsOpened, c.opensControl ? std::vector<int>{2400} : std::vector<int>{});
    }
    // A failed connect ends it quietly (the driver told the user).
    UseDrive(5);
    fakes[1].connect = 0;
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_EQ(calls, Calls{"LX200.connect"});
    EXPECT_EQ(formsOpened, std::vector<int>{});
}

TEST_F(Dispatcher, GotoThroughTheTwoStarModelAndThePointingModel) {
    AlignTurnedBy10Degrees();
    UseDrive(5);
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_NEAR(fakes[1].gotoRa, 5.5 + 10.0 / 15.0, 1e-9);
    EXPECT_NEAR(fakes[1].gotoDec, 20.0, 1e-9);
    EXPECT_EQ(ReportTexts(), Texts{});

    // Method 1: the model's RA offset of 1° reaches the mount as 4 minutes of time.
    preferences.word[pref::alignMethod] = 1;
    pointingTerms[0] = 1.0 * kDegToRad;
    pointingTerms[1] = -0.5 * kDegToRad;
    UseDrive(5);
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_NEAR(fakes[1].gotoRa, 5.5 + 1.0 / 15.0, 1e-9);
    EXPECT_NEAR(fakes[1].gotoDec, 19.5, 1e-9);

    // On an alt-azimuth mount the model's terms are azimuth and altitude: no terms, no
    // change; half a degree of altitude moves the target half a degree.
    preferences.word[pref::mountType] = 1;
    ClearPointingModel();
    UseDrive(5);
    ScopeGoto(15.0, 40.0, -1);
    EXPECT_NEAR(fakes[1].gotoRa, 15.0, 1e-12);
    EXPECT_NEAR(fakes[1].gotoDec, 40.0, 1e-12);
    pointingTerms[1] = 0.5 * kDegToRad;
    UseDrive(5);
    ScopeGoto(15.0, 40.0, -1);
    EXPECT_NEAR(AngularSeparation(fakes[1].gotoRa, fakes[1].gotoDec, 15.0, 40.0), 0.5, 1e-3);
}

TEST_F(Dispatcher, EncoderBoxesOnlyTakeATargetAfterATwoStarAlignment) {
    UseDrive(3);
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_EQ(ReportTexts(),
              (Texts{"Please first perfom the 2 star aligment\n", "Please do the 2 Stars aligment first.\n"}));
    EXPECT_EQ(calls, Calls{});

    UseDrive(3);
    preferences.word[pref::alignMethod] = 1;
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_EQ(ReportTexts(), Texts{"Please select Velkarion 2 Stars aligment method into Pref1/7 panel.\n"});

    preferences.word[pref::alignMethod] = 0;
    AlignTurnedBy10Degrees();
    UseDrive(3);
    ScopeGoto(5.5, 20.0, -1);
    EXPECT_EQ(calls, Calls{"Encoder.goto"});
    EXPECT_DOUBLE_EQ(fakes[0].gotoRa, 5.5);  // the apparent place: the box shows the way itself
    EXPECT_DOUBLE_EQ(encoderState.targetRa, 5.5);
    EXPECT_EQ(formsOpened, std::vector<int>{});
}

TEST_F(Dispatcher, CodesWithoutGotoShowTheSkyAndTheMountPosition) {
    for (int code : {0, 6, 7}) {
        for (int mountType : {0, 1}) {
            SCOPED_TRACE(code * 10 + mountType);
            preferences.word[pref::mountType] = mountType;
            UseDrive(code);
            ScopeGoto(6.0, -20.5, -1);
            EXPECT_EQ(calls, Calls{});
            ASSERT_EQ(RecordedReports().size(), 2u);  // and the reminder to align
            const ReportRecord& r = RecordedReports()[1];
            EXPECT_EQ(r.heading.rfind("Sky position:\nRa:6.0000\nDec:-20.5000\nAzt:", 0), 0u) << r.heading;
            EXPECT_EQ(r.detail, mountType ? "Scope Position:\nAzt:90.0000\nAlt:-20.5000"
                                          : "Scope Position:\nRa:6.0000\nDec:-20.5000");
        }
    }
}

TEST_F(Dispatcher, GotoRefusesWhatItCouldNotCompute) {
    UseDrive(5);
    ScopeGoto(std::nan(""), 20.0, 0);
    EXPECT_EQ(calls, Calls{});
    EXPECT_EQ(ReportTexts().back(), "Goto failed\n");
    UseDrive(21);
    ScopeGoto(5.0, 20.0, -1);
    EXPECT_EQ(ReportTexts().back(), "Unknown scope drive: 21\n");
}

// ---- Position ---------------------------------------------------------------------------

TEST_F(Dispatcher, GetPositionThroughTheModelOrTheSite) {
    AlignTurnedBy10Degrees();
    UseDrive(5);
    double first = 0, second = 0;
    ASSERT_EQ(ScopeGetPosition(&first, &second), 1u);
    EXPECT_EQ(calls, (Calls{"LX200.connect", "LX200.queryEQ"}));
    EXPECT_NEAR(first, 5.5 - 10.0 / 15.0, 1e-9);
    EXPECT_NEAR(second, -30.25, 1e-9);

    // An alt-azimuth box without an alignment: the reading turned at the site, now.
    ClearAlignment();
    preferences.word[pref::mountType] = 1;
    UseDrive(3);
    fakes[0].first = 120.0;
    fakes[0].second = 35.0;
    ASSERT_EQ(ScopeGetPosition(&first, &second), 1u);
    EXPECT_EQ(calls, (Calls{"Encoder.connect", "Encoder.queryAltAz"}));
    double ra = 0, dec = 0;
    HorizontalToEquatorial(LocalSiderealTime(2024, 5, 10, 22, 30, 0, -11.0, 120), 120.0 * kDegToRad,
                           35.0 * kDegToRad, &ra, &dec);
    EXPECT_DOUBLE_EQ(first, ra);
    EXPECT_DOUBLE_EQ(second, dec);

    // Aligned, but with the external method: the raw reading.
    AlignTurnedBy10Degrees();
    preferences.word[pref::alignMethod] = 1;
    UseDrive(3);
    ASSERT_EQ(ScopeGetPosition(&first, &second), 1u);
    EXPECT_EQ(first, 120.0);
    EXPECT_EQ(second, 35.0);

    UseDrive(5);
    fakes[1].connect = 0;
    EXPECT_EQ(ScopeGetPosition(&first, &second), 0u);
    EXPECT_EQ(calls, Calls{"LX200.connect"});
}

TEST_F(Dispatcher, ReadPositionOnceTellsEachFamilysFailureAndDisconnects) {
    struct Case {
        int code;
        int mountType;
        Calls calls;
        const char* failure;
    };
    const Case cases[] = {
        {3, 0, {"Encoder.connect", "Encoder.queryEQ", "Encoder.disconnect"}, "Failed to get Encoder RA and Dec\n"},
        {16, 2, {"Encoder.connect", "Encoder.queryAltAz", "Encoder.disconnect"}, "Failed to get Encoder Az and Alt\n"},
        {6, 0, {"LX200.connect", "LX200.queryEQ", "LX200.disconnect"}, "Failed to get Meade RA and Dec.\n"},
        {9, 0, {"NexStar.connect", "NexStar.queryEQ", "NexStar.disconnect"}, "Failed to get Celestron RA and Dec\n"},
        {13, 0, {"ServoCat.connect", "ServoCat.queryEQ", "ServoCat.disconnect"}, "Failed to get Servocat RA and Dec\n"},
        {14, 0, {"Takahashi.siderealTime", "Takahashi.connect", "Takahashi.queryEQ", "Takahashi.disconnect"},
         "Failed to get Takahashi RA and Dec\n"},
        {18, 1, {"SiderealTech.connect", "SiderealTech.queryAltAz", "SiderealTech.disconnect"},
         "Failed to get SiderealTech RA and Dec\n"},
        {19, 0, {"SkyCommander.connect", "SkyCommander.queryEQ", "SkyCommander.disconnect"},
         "Failed to get SkyCommander RA and Dec.\n"},
    };
    AlignTurnedBy10Degrees();  // not applied here
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        preferences.word[pref::mountType] = c.mountType;
        UseDrive(c.code);
        double first = -1, second = -1;
        for (FakeFamily& f : fakes) f.query = 1;
        EXPECT_EQ(ScopeReadPositionOnce(&first, &second), 1u);
        EXPECT_EQ(first, 5.5);
        EXPECT_EQ(calls, c.calls);
        UseDrive(c.code);
        for (FakeFamily& f : fakes) f.query = 0;
        EXPECT_EQ(ScopeReadPositionOnce(&first, &second), 0u);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(ReportTexts(), Texts{c.failure});
    }
    UseDrive(0);
    double first = -1, second = -1;
    EXPECT_EQ(ScopeReadPositionOnce(&first, &second), 0u);
    EXPECT_EQ(first, 0.0);
    EXPECT_EQ(ReportTexts(), Texts{"No drive is selected in Preference\n"});
    UseDrive(5);
    fakes[1].connect = 0;
    EXPECT_EQ(ScopeReadPositionOnce(&first, &second), 0u);
    EXPECT_EQ(calls, Calls{"LX200.connect"});
}

TEST_F(Dispatcher, OpenScopeControlAndTheEncoderGoto) {
    UseDrive(5);
    fakes[1].connect = 0;
    OpenScopeControl(1);
    EXPECT_EQ(scopeInUse, 1u);
    EXPECT_EQ(formsOpened, std::vector<int>{});
    fakes[1].connect = 1;
    OpenScopeControl(1);
    EXPECT_EQ(formsOpened, std::vector<int>{2400});

    // The box's own GoTo opens the form through its hook, connecting first.
    std::copy(std::begin(savedDrivers_), std::end(savedDrivers_), mountDrivers);
    static int opened = -1;
    SetEncoderGotoHook([](int connectFirst) { opened = connectFirst; });
    EXPECT_EQ(EncoderGotoEQ(3.0, 4.0), 1u);
    SetEncoderGotoHook(nullptr);
    EXPECT_EQ(opened, 1);
}

}  // namespace
