// The observer log: the entry file's bytes, reading damaged files, saving (safe names, the
// old entry kept until the new one is written, the question before replacing another
// entry), the text export and its parts, and the form's prefill, save, delete and shot.
#include "objects/observer_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/byte_order.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "catalog/text_import.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_popups.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/object_pictures.h"
#include "objects/objects_services.h"
#include "objects/observer_log_form.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/utilities.h"
#include "platform/headless.h"
#include "support/recorded_reports.h"
#include "support/test_pictures.h"
#include "support/scripted_questions.h"
#include "theories/moon_illumination.h"

namespace fs = std::filesystem;
using namespace observer_log_form;

namespace {

std::vector<std::uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
std::string TextOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
void Put(const fs::path& p, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                             static_cast<std::streamsize>(bytes.size()));
}

ObserverLogEntry SampleEntry(const char* name) {
    ObserverLogEntry e;
    e.magic = kObserverLogMagic;
    std::snprintf(e.name, sizeof e.name, "%s", name);
    e.year = 2024, e.month = 6, e.day = 7, e.hour = 23, e.minute = 5;
    e.rightAscension = 16.695f;
    e.declination = 36.46f;
    e.moonPercent = 42;
    e.sunAltitude = -18;
    e.visualLimit10 = 63;
    e.typeCode = 4;
    e.magnitude10 = 58;
    std::strcpy(e.scope, "200mm");
    std::strcpy(e.filter, "None");
    std::strcpy(e.comments, "Resolved to the core");
    return e;
}

class ObserverLogFiles : public ::testing::Test {
protected:
    void SetUp() override {
        home = fs::temp_directory_path() / ("vk-obslog-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home);
        platform::SetHomeRoot(home);
        ClearRecordedReports();
        scripted = std::make_unique<ScriptedQuestions>();
    }
    void TearDown() override {
        scripted.reset();
        platform::SetHomeRoot({});
        fs::remove_all(home);
        ClearRecordedReports();
    }
    fs::path Logs() const { return home / "userlogs"; }
    void Save(const char* name, const std::string& oldFile = "") {
        ObserverLogEntry e = SampleEntry(name);
        ASSERT_TRUE(SaveObserverLogEntry(e, oldFile));
    }

    fs::path home;
    std::unique_ptr<ScriptedQuestions> scripted;
};

TEST(ObserverLogEntryFile, EveryFieldSitsAtItsOffsetLittleEndianAndReadsBack) {
    ObserverLogEntry e = SampleEntry("M 13");
    e.listIndex = 7;
    e.constellation = 33;
    e.transparency = 1, e.seeing = 2, e.eyepiece = 3, e.ease = 1, e.brightness = 1;
    std::strcpy(e.location, "Col de la Forclaz");
    std::uint8_t b[kObserverLogEntrySize];
    std::memset(b, 0xAA, sizeof b);
    EncodeObserverLogEntry(e, b);
    const struct {
        int offset;
        std::int32_t value;
    } words[] = {{0, 123456789}, {4, 7},   {28, 2024}, {32, 6},  {36, 7},  {40, 23}, {44, 5},  {56, 42},
                 {60, -18},      {64, 63}, {68, 4},    {72, 58}, {76, 33}, {80, 1},  {84, 2},  {444, 3},
                 {448, 1},       {452, 1}};
    for (const auto& w : words) EXPECT_EQ(le::I32(b, w.offset), w.value) << "offset " << w.offset;
    EXPECT_FLOAT_EQ(le::F32(b, 48), 16.695f);
    EXPECT_FLOAT_EQ(le::F32(b, 52), 36.46f);
    const struct {
        int offset, width;
        const char* text;
    } texts[] = {{8, 20, "M 13"}, {88, 20, "200mm"}, {108, 30, "Col de la Forclaz"}, {138, 15, "None"},
                 {153, 288, "Resolved to the core"}};
    for (const auto& t : texts) {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b + t.offset)), t.text) << "offset " << t.offset;
        EXPECT_EQ(b[t.offset + t.width - 1], 0) << "offset " << t.offset;
    }
    EXPECT_EQ(b[441] | b[442] | b[443], 0);
    ObserverLogEntry back;
    DecodeObserverLogEntry(b, back);
    std::uint8_t again[kObserverLogEntrySize];
    EncodeObserverLogEntry(back, again);
    EXPECT_EQ(std::memcmp(b, again, sizeof b), 0);
}

TEST_F(ObserverLogFiles, DamagedFilesAreRefusedAndFieldsWithoutANulAreCut) {
    std::vector<std::uint8_t> good(kObserverLogEntrySize, 'x');
    le::PutU32(good.data(), 0, kObserverLogMagic);
    Put(Logs() / "full.log", good);
    std::vector<std::uint8_t> shortFile(good.begin(), good.end() - 1);
    Put(Logs() / "short.log", shortFile);
    std::vector<std::uint8_t> bad = good;
    le::PutU32(bad.data(), 0, 123456788);
    Put(Logs() / "bad.log", bad);

    ObserverLogEntry e;
    ASSERT_TRUE(ReadObserverLogFile("full.log", e));
    EXPECT_EQ(std::strlen(e.name), 19u);
    EXPECT_EQ(std::strlen(e.comments), 287u);
    EXPECT_EQ(std::strlen(e.filter), 14u);

    ClearRecordedReports();
    EXPECT_FALSE(ReadObserverLogFile("short.log", e));
    EXPECT_FALSE(ReadObserverLogFile("bad.log", e));
    EXPECT_FALSE(ReadObserverLogFile("missing.log", e));
    ASSERT_EQ(RecordedReports().size(), 3u);
    EXPECT_EQ(RecordedReports()[0].heading, "Fail to read log file.");
    EXPECT_NE(RecordedReports()[0].detail.find("short.log"), std::string::npos);
    EXPECT_EQ(RecordedReports()[1].heading, "It seems your log data are corrupted.");
    EXPECT_EQ(RecordedReports()[2].heading, "Fail to read log file.");
    EXPECT_EQ(ListObserverLogs(), (std::vector<std::string>{"bad.log", "full.log", "short.log"}));
}

TEST_F(ObserverLogFiles, ARenamedEntryLeavesOnlyItsNewFileAndAFailedWriteKeepsTheOld) {
    Save("M13");
    ASSERT_TRUE(fs::exists(Logs() / "M13.log"));
    Save("M 92", "M13.log");
    EXPECT_TRUE(fs::exists(Logs() / "M 92.log"));
    EXPECT_FALSE(fs::exists(Logs() / "M13.log"));

    // The temporary file cannot be made: the write fails and the old entry stays whole.
    const auto before = Bytes(Logs() / "M 92.log");
    fs::create_directories(Logs() / ("NGC 6205.log" + std::string(platform::kTemporarySuffix) + std::to_string(::getpid())));
    ObserverLogEntry e = SampleEntry("NGC 6205");
    ClearRecordedReports();
    EXPECT_FALSE(SaveObserverLogEntry(e, "M 92.log"));
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, "Fail to write log file.");
    EXPECT_NE(RecordedReports()[0].detail.find("NGC 6205.log"), std::string::npos);
    EXPECT_EQ(Bytes(Logs() / "M 92.log"), before);
    EXPECT_FALSE(fs::exists(Logs() / "NGC 6205.log"));
}

TEST_F(ObserverLogFiles, ANameOfAnotherEntryAsksBeforeReplacingIt) {
    Save("Jupiter");
    const auto old = Bytes(Logs() / "Jupiter.log");
    ObserverLogEntry e = SampleEntry("Jupiter");
    std::strcpy(e.comments, "A new note");
    ScriptedQuestions::No() = true;
    EXPECT_FALSE(SaveObserverLogEntry(e, ""));
    EXPECT_EQ(ScriptedQuestions::Asked(), std::vector<std::string>{"An observation log with this name exists.|Do you want to replace it?"});
    EXPECT_EQ(Bytes(Logs() / "Jupiter.log"), old);
    ScriptedQuestions::No() = false;
    EXPECT_TRUE(SaveObserverLogEntry(e, ""));
    EXPECT_NE(Bytes(Logs() / "Jupiter.log"), old);
    // Saving an entry under its own name asks nothing.
    ScriptedQuestions::Asked().clear();
    EXPECT_TRUE(SaveObserverLogEntry(e, "Jupiter.log"));
    EXPECT_TRUE(ScriptedQuestions::Asked().empty());
}

TEST_F(ObserverLogFiles, NamesAreMadePlainFileNamesInsideTheFolderOrRefused) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {{"../x", "x.log"}, {"a/b", "ab.log"}, {"c:d", "c:d.log"}, {"..\\..\\y", "y.log"}};
    for (const auto& c : cases) {
        ObserverLogEntry e = SampleEntry(c.name);
        std::string saved;
        ASSERT_TRUE(SaveObserverLogEntry(e, "", &saved)) << c.name;
        EXPECT_EQ(saved, c.file);
        EXPECT_TRUE(fs::exists(Logs() / c.file)) << c.name;
    }
    ClearRecordedReports();
    for (const char* name : {"", "..", "  "}) {
        ObserverLogEntry e = SampleEntry(name);
        EXPECT_FALSE(SaveObserverLogEntry(e, "")) << '"' << name << '"';
    }
    ASSERT_EQ(RecordedReports().size(), 3u);
    EXPECT_EQ(RecordedReports()[0].heading, "You should type an object (or event) name");
    EXPECT_EQ(ListObserverLogs().size(), 4u);
}

TEST_F(ObserverLogFiles, AnImportedLineAndASavedEntryOfOneNameAreOneFile) {
    Save("../M 13");
    fs::create_directories(home / "import");
    std::ofstream(home / "import" / "logs.txt", std::ios::binary)
        << "07/06/2024;23:05;../M 13;16:41:42;36:27:35;Globular Cluster;5.8;Her;42%;-18\xB0;6.3;1;2;200mm; ;None;"
           "Imported;3;1;0;\n";
    ASSERT_EQ(DownloadObserverLogs(1, "logs"), 1);
    EXPECT_EQ(ListObserverLogs(), std::vector<std::string>{"M 13.log"});
    ObserverLogEntry e;
    ASSERT_TRUE(ReadObserverLogFile("M 13.log", e));
    EXPECT_STREQ(e.comments, "Imported");
}

TEST_F(ObserverLogFiles, ExportWritesOnePartNamedByTheCountWithItsMessage) {
    ClearRecordedReports();
    EXPECT_EQ(ExportObserverLogs(), 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Nothing to export.\n"});

    Save("Vega");
    ClearRecordedReports();
    EXPECT_EQ(ExportObserverLogs(), 1);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"1 Observer log exported.\n"});
    EXPECT_TRUE(fs::exists(Logs() / "logs_1.txt"));

    Save("Deneb");
    Save("Altair");
    ScriptedQuestions::No() = true;
    EXPECT_EQ(ExportObserverLogs(), 0);
    EXPECT_FALSE(fs::exists(Logs() / "logs_3.txt"));
    ScriptedQuestions::No() = false;
    ClearRecordedReports();
    EXPECT_EQ(ExportObserverLogs(), 3);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"3 Observer logs exported.\n"});
    const std::string text = TextOf(Logs() / "logs_3.txt");
    ASSERT_EQ(text.rfind(ObserverLogExportHeader(1), 0), 0u);
    std::vector<std::string> lines;
    std::istringstream in(text.substr(ObserverLogExportHeader(1).size()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    // Sorted by name; 20 fields, each ended by ';'; the empty location is one blank.
    EXPECT_EQ(lines[0].find("Altair"), 17u);
    EXPECT_EQ(std::count(lines[0].begin(), lines[0].end(), ';'), 20);
    EXPECT_NE(lines[0].find(";200mm; ;None;"), std::string::npos);
}

TEST_F(ObserverLogFiles, ALongExportIsSplitIntoNumberedPartsWithNothingLost) {
    constexpr int kEntries = 160;
    for (int i = 0; i < kEntries; ++i) {
        ObserverLogEntry e = SampleEntry("");
        std::snprintf(e.name, sizeof e.name, "Object %03d long nam", i);
        std::memset(e.comments, 'c', 287);
        std::memset(e.scope, 's', 19);
        std::memset(e.location, 'l', 29);
        std::memset(e.filter, 'f', 14);
        ASSERT_TRUE(SaveObserverLogEntry(e, ""));
    }
    ClearRecordedReports();
    EXPECT_EQ(ExportObserverLogs(), kEntries);
    std::vector<fs::path> parts;
    for (const auto& f : fs::directory_iterator(Logs()))
        if (f.path().extension() == ".txt") parts.push_back(f.path());
    ASSERT_EQ(parts.size(), 2u);
    std::sort(parts.begin(), parts.end());
    const fs::path last = Logs() / ("logs_" + std::to_string(kEntries) + ".txt");
    const fs::path first = parts[0] == last ? parts[1] : parts[0];
    const std::string a = TextOf(first), b = TextOf(last);
    EXPECT_GT(a.size(), kObserverLogExportPartLimit);
    EXPECT_LT(a.size(), kObserverLogExportPartLimit + 1000);
    EXPECT_EQ(a.rfind(ObserverLogExportHeader(1), 0), 0u);
    EXPECT_EQ(b.rfind(ObserverLogExportHeader(2), 0), 0u);
    const auto lineCount = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n') - 2; };
    const int inFirst = static_cast<int>(lineCount(a));
    EXPECT_EQ(first.filename().string(), "logs_" + std::to_string(inFirst) + ".txt");
    EXPECT_EQ(inFirst + lineCount(b), kEntries);
    ASSERT_EQ(RecordedReports().size(), 2u);
    EXPECT_EQ(RecordedReports()[0].heading, std::to_string(inFirst) + " Observer logs exported.\n");
    EXPECT_EQ(RecordedReports()[1].heading, std::to_string(kEntries) + " Observer logs exported.");
}

// ---- The form ------------------------------------------------------------------------------

constexpr int kOpener = 60201;
constexpr int kFinder = 2350;

ObjectRef MakeRefForTest() {
    ObjectRef r;
    r.catalog = 54;
    r.type = 30;
    r.ra = 18.6156f;
    r.dec = 38.78f;
    r.magnitude = 0.26f;
    SetObjectRefName(&r, "Vega");
    return r;
}

class ObserverLogForm : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        platform::SetHomeRoot(home);
        savedSite = observerLocation;
        savedTime = observingDateTime;
        std::strcpy(observerLocation.name, "Forclaz");
        SetSiteLatitude(46.0f);
        observerLocation.longitude = -7.0f;
        observerLocation.zoneMinutes = 120;
        preferences.word[pref::apertureChoice] = 200;
        ASSERT_EQ(AllocSelectionList(), 1);
        objectSelection = ObjectSelection{};
        observerLogState = ObserverLogState{};
        ClearRecordedReports();
        scripted = std::make_unique<ScriptedQuestions>();
        SetNetworkAllowed(0);
        pictureState = PictureState{};
        SetFormDialogProc(kObserverLogFormId, &ObserverLog);
        SetFormDialogProc(kOpener, &StandInFormProc<kOpener>);
        SetFormDialogProc(kFinder, &StandInFormProc<kFinder>);
        for (int id : {kOpener, kFinder}) {
            platform::DialogLayout layout;
            std::string error;
            ASSERT_TRUE(platform::ParseDialogLayout("dialog " + std::to_string(id) + "\nrect 0 0 240 320\n", &layout,
                                                    &error));
            platform::RegisterDialogLayout(layout);
        }
        StartWithMainWindow(&FormHostProc);
        Call([] { GotoForm(kOpener); });
        ASSERT_TRUE(RunUntilIdle());
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(kObserverLogFormId, nullptr);
        SetFormDialogProc(kOpener, nullptr);
        SetFormDialogProc(kFinder, nullptr);
        FormScreenFixture::TearDown();
        scripted.reset();
        FreeSelectionList();
        FreeObserverLogEntry();
        observerLocation = savedSite;
        observingDateTime = savedTime;
        objectSelection = ObjectSelection{};
        observerLogState = ObserverLogState{};
        platform::SetHomeRoot({});
        ClearRecordedReports();
    }
    fs::path Logs() const { return home / "userlogs"; }
    void OpenNew() {
        Call([] { OpenObserverLogNew(); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kObserverLogFormId);
    }
    void OpenList() {
        observerLogState.mode = kObserverLogList;
        Call([] { GotoForm(kObserverLogFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kObserverLogFormId);
    }
    ObserverLogEntry Saved(const std::string& file) {
        ObserverLogEntry e;
        const auto b = Bytes(Logs() / file);
        EXPECT_EQ(b.size(), static_cast<std::size_t>(kObserverLogEntrySize));
        if (b.size() == static_cast<std::size_t>(kObserverLogEntrySize)) DecodeObserverLogEntry(b.data(), e);
        return e;
    }
    void SelectRow(const std::string& file) {
        const auto& files = observerLogState.files;
        const int row = static_cast<int>(std::find(files.begin(), files.end(), file) - files.begin());
        ASSERT_LT(row, static_cast<int>(files.size()));
        Call([=] { SetListSelection(kEntries, row); });
    }

    ObserverLocation savedSite{};
    ObservingDateTime savedTime{};
    std::unique_ptr<ScriptedQuestions> scripted;
};

TEST_F(ObserverLogForm, ANewEntryIsPrefilledWithTheCircumstancesAndRemembersTheLastChoices) {
    OpenNew();
    const ObserverLogState& s = observerLogState;
    EXPECT_EQ(Text(kScope), "200mm");
    EXPECT_EQ(Text(kFilter), "None");
    EXPECT_EQ(Text(kLocation), "Forclaz");
    char limit[16];
    std::snprintf(limit, sizeof limit, "%.1f", SkyModelVisualLimit10(s.year, s.month, s.day, s.hour, s.minute) / 10.0);
    EXPECT_EQ(Text(kVisualLimit), limit);

    SetText(kName, "M 13");
    SetText(kVisualLimit, "5.7");
    SetText(kFilter, "UHC");
    Pick(kTransparencyPopup, kTransparencyList, 2);
    Command(kSave);
    // Back to the form that opened it.
    EXPECT_EQ(GetCurrentFormId(), kOpener);
    const ObserverLogEntry e = Saved("M 13.log");
    EXPECT_EQ(e.visualLimit10, 57);
    EXPECT_EQ(e.transparency, 2);
    EXPECT_EQ(e.year, s.year);
    // The Moon and the Sun of the entry's date and time.
    const double hour = e.hour + e.minute / 60.0;
    EXPECT_EQ(e.moonPercent,
              static_cast<int>(ComputeMoonIllumination(e.year, e.month, e.day, hour, 120, nullptr) * 100.0));
    BodyRecord sun{};
    ComputePlanet(&sun, 0, e.year, e.month, e.day, e.hour, e.minute, 0);
    const double lst = LocalSiderealTime(e.year, e.month, e.day, e.hour, e.minute, 0, -7.0, 120);
    EXPECT_EQ(e.sunAltitude, static_cast<int>(ComputeAltitude(lst, sun.rightAscension, sun.declination, 46.0)));

    OpenNew();
    EXPECT_EQ(Text(kVisualLimit), "5.7");
    EXPECT_EQ(Text(kFilter), "UHC");
    EXPECT_EQ(Text(kName), "");
    int row = -1;
    Call([&] { row = GetListSelection(kTransparencyList); });
    EXPECT_EQ(row, 2);
    Command(kCancel);
    EXPECT_EQ(GetCurrentFormId(), kOpener);
}

TEST_F(ObserverLogForm, TheObjectComesFromTheSelectionOrTheListAtItsOwnScale) {
    SelectionRecord& r = selectionList.records[0];
    std::strcpy(r.label, "NGC 7000");
    r.objectNumber = 7000;
    r.typeCode = 19;
    r.rightAscension = 20.98f;
    r.declination = 44.3f;
    r.magnitude10 = 40;
    selectionList.index[0] = 0;
    selectionList.indexCount = selectionList.recordCount = 1;
    selectionList.currentPosition = 0;
    OpenNew();
    EXPECT_EQ(Text(kName), "NGC 7000");
    SetText(kName, "NGC 7000");
    Command(kSave);
    ObserverLogEntry e = Saved("NGC 7000.log");
    EXPECT_EQ(e.magnitude10, 40);
    EXPECT_EQ(e.typeCode, 19);
    EXPECT_FLOAT_EQ(e.declination, 44.3f);

    // Editing it while an object is selected takes the selected object's.
    ObjectRef vega = MakeRefForTest();
    SetObjectSelection(&vega, 0);
    OpenList();
    SelectRow("NGC 7000.log");
    Command(kOpen);
    ASSERT_EQ(observerLogState.mode, kObserverLogEditEntry);
    EXPECT_EQ(Text(kName), "Vega");
    Command(kSave);
    EXPECT_FALSE(fs::exists(Logs() / "NGC 7000.log"));
    e = Saved("Vega.log");
    EXPECT_EQ(e.magnitude10, 3);
    EXPECT_EQ(e.typeCode, 30);
    EXPECT_FLOAT_EQ(e.rightAscension, 18.6156f);
}

TEST_F(ObserverLogForm, PickingTheObjectInTheFinderKeepsWhatWasTyped) {
    OpenNew();
    SetText(kComments, "Seen with averted vision");
    SetText(kFilter, "OIII");
    Command(kFind);
    ASSERT_EQ(GetCurrentFormId(), kFinder);
    ObjectRef vega = MakeRefForTest();
    SetObjectSelection(&vega, 0);
    Call([] { GotoForm(kObserverLogFormId); });
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(Text(kName), "Vega");
    EXPECT_EQ(Text(kComments), "Seen with averted vision");
    EXPECT_EQ(Text(kFilter), "OIII");
}

TEST_F(ObserverLogForm, DeleteRemovesTheEntryAtOnceAndOpenWithoutARowAsks) {
    ObserverLogEntry a = SampleEntry("Alpha"), b = SampleEntry("Beta");
    ASSERT_TRUE(SaveObserverLogEntry(a, ""));
    ASSERT_TRUE(SaveObserverLogEntry(b, ""));
    OpenList();
    EXPECT_EQ(observerLogState.files, (std::vector<std::string>{"Alpha.log", "Beta.log"}));
    ClearRecordedReports();
    Command(kOpen);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Please select an observation log.\n"});
    SelectRow("Alpha.log");
    Command(kDelete);
    EXPECT_TRUE(ScriptedQuestions::Asked().empty());
    EXPECT_FALSE(fs::exists(Logs() / "Alpha.log"));
    EXPECT_EQ(observerLogState.files, std::vector<std::string>{"Beta.log"});
}

TEST_F(ObserverLogForm, TheShotNeedsANameAndSaysWhereTheMissingPictureGoes) {
    OpenNew();
    SetText(kName, "");
    ClearRecordedReports();
    Command(kShot);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"You should type an object (or event) name\n"});
    SetText(kName, "Comet, tail");
    ClearRecordedReports();
    Command(kShot);
    const ObserverLogState& s = observerLogState;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%04d%02d%02dComet.jpg", s.year, s.month, s.day);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, expected);
    EXPECT_NE(RecordedReports()[0].detail.find("shots/ folder"), std::string::npos);
    EXPECT_NE(RecordedReports()[0].detail.find((home / "shots").string()), std::string::npos);

    // A shot that is there opens the picture view over the form; a tap closes it.
    const std::string file = std::string(expected);
    ASSERT_TRUE(WriteTestFile(home / "shots" / file, SolidTestJpeg(16, 8, 200, 40, 40)));
    ClearRecordedReports();
    Command(kShot);
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    EXPECT_EQ(std::string(pictureState.fileName), file);
    TapWindow(platform::ModalStack()[0]);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_TRUE(RecordedReports().empty());
    EXPECT_EQ(GetCurrentFormId(), kObserverLogFormId);
}

TEST_F(ObserverLogForm, TheChartsObserverLogCommandOpensANewEntryThroughItsLink) {
    ChartLinks links;
    links.openObserverLogNew = &OpenObserverLogNew;
    const ChartLinks saved = SetChartLinks(links);
    Call([] { ChartFormCommand(chartctl::kObserverLog); });
    ASSERT_TRUE(RunUntilIdle());
    SetChartLinks(saved);
    EXPECT_EQ(GetCurrentFormId(), kObserverLogFormId);
    EXPECT_EQ(observerLogState.mode, kObserverLogNewEntry);
    EXPECT_EQ(observerLogState.openedNew, 1);
}

}  // namespace
