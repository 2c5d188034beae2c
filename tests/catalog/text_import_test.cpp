// The memo export and the list import, and the downloads into the user's catalogs.
#include "catalog/text_import.h"

#include <unistd.h>

#include <string>
#include <vector>

#include "catalog/data_service.h"
#include "catalog/object_types.h"
#include "catalog/observer_log_entry.h"
#include "catalog/text_lines.h"
#include "selection_fixture.h"
#include "support/http_test_server.h"

namespace fs = std::filesystem;

namespace {

// A write failure at the n-th busy step: a folder where the file's temporary goes.
int busySteps = 0;
int failAtStep = 0;
fs::path failingFile;
void FailAtStep(int) {
    if (++busySteps == failAtStep) fs::create_directories(fs::path(failingFile.string() + ".vktmp-" + std::to_string(::getpid())));
}

class TextImportTest : public SelectionFixture {
protected:
    void SetUp() override {
        SelectionFixture::SetUp();
        SetDownloadTimeouts(2, 1);
    }
    void TearDown() override {
        SetReportHooks(ReportHooks{});
        SetDownloadTimeouts(0, 0);
        SelectionFixture::TearDown();
    }
    fs::path Home() const { return root / "home"; }
    void WriteText(const fs::path& path, const std::string& text) {
        ASSERT_TRUE(platform::WriteFileAtomically(path, text.data(), text.size()));
    }
    std::string ReadText(const fs::path& path) {
        const auto b = Bytes(path);
        return std::string(b.begin(), b.end());
    }
    // The records of a user file, each as its bytes.
    std::vector<std::vector<std::uint8_t>> Records(const fs::path& path) {
        RecordFileImage image;
        EXPECT_TRUE(ReadRecordFileImage(path, image));
        std::vector<std::vector<std::uint8_t>> out;
        for (std::uint32_t i = 0; i < image.Count(); ++i)
            out.emplace_back(image.Record(i), image.Record(i) + image.recordSize);
        return out;
    }
    void WriteEyepieceFile(const fs::path& path, const std::vector<const char*>& names) {
        WriteFile(path, 0, kCreatorEyepieces, kEyepieceRecordSize, static_cast<std::uint32_t>(names.size()),
                  [&](std::uint32_t i, std::uint8_t* r) {
                      EyepieceRecord e;
                      std::snprintf(e.name, sizeof e.name, "%s", names[i]);
                      e.focalLength = 10;
                      e.apparentField = 50;
                      EncodeEyepieceRecord(e, r);
                  });
    }
    static std::string Name(const std::vector<std::uint8_t>& eyepiece) {
        return reinterpret_cast<const char*>(eyepiece.data() + 32);
    }
    void SetService(const std::string& url) {
        std::snprintf(preferences.dataUrl, sizeof preferences.dataUrl, "%s", url.c_str());
    }
    static int PlanetType() {
        for (int t = 0; t < kObjectTypeCount; ++t)
            if (ObjectTypeTable[t].typeClass == kClassPlanet) return t;
        return 0;
    }
};

}  // namespace

TEST_F(TextImportTest, AnExportedListImportsBackAsItWas) {
    OpenSet();
    FreshList();
    selectionList.indexCount = 0;
    ObjectRef planet = MakeRef(kCatalogPlanet, 3, "Mars");
    planet.type = PlanetType();
    const struct {
        ObjectRef ref;
        int group, index;
    } entries[] = {
        {MakeRef(40, 30), kGroupMessier, 30},
        {MakeRef(9, 4), kGroupCaldwell, 4},
        {planet, kGroupBody, 3},
        {MakeRef(1, 300), kGroupCatalog, 0},
    };
    for (const auto& e : entries) {
        ASSERT_EQ(AddObjectToSelection(e.index, e.group, selectionList.records, e.ref), 1);
        ++selectionList.indexCount;
    }
    selectionList.recordCount = selectionList.indexCount;
    selectionList.records[0].magnitude10 = 65;
    std::vector<SelectionRecord> before(selectionList.records, selectionList.records + 4);

    ASSERT_EQ(ExportUserObjects(), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"4 Objects exported.\n\n"});
    const fs::path memo = Home() / "userlists" / "20240315_velkamemo_2200.txt";
    const std::string text = ReadText(memo);
    // Every line after the first begins with ';'; the list's entries go out under their
    // list's catalog and position.
    EXPECT_EQ(text.substr(0, 6), "M;31;M") << text;
    EXPECT_NE(text.find(";6.5;"), std::string::npos) << text;
    EXPECT_NE(text.find("\n;C;5;C5;"), std::string::npos) << text;
    EXPECT_NE(text.find("\n;      ;3;Venus;Planet;"), std::string::npos) << text;
    EXPECT_NE(text.find("\n;Abell;300;Abell300;"), std::string::npos) << text;

    WriteText(Home() / "import" / "user_object.txt", text);
    FreshList();
    ClearRecordedReports();
    ASSERT_EQ(ImportUserObjects(), 1);
    EXPECT_TRUE(Messages().empty()) << Messages()[0];
    ASSERT_EQ(selectionList.recordCount, 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const SelectionRecord& r = selectionList.records[i];
        EXPECT_STREQ(r.label, before[i].label);
        EXPECT_EQ(r.catalogCode, before[i].catalogCode);
        EXPECT_EQ(r.objectNumber, before[i].objectNumber);
        EXPECT_EQ(r.group, before[i].group);
    }

    // A second export in the same minute goes beside the first.
    selectionList.indexCount = 1;
    ClearRecordedReports();
    ExportUserObjects();
    EXPECT_EQ(Messages(), std::vector<std::string>{"1 Object exported.\n\n"});
    EXPECT_EQ(ReadText(memo), text);
    EXPECT_EQ(ReadText(Home() / "userlists" / "20240315_velkamemo_2200_2.txt").substr(0, 6), "M;31;M");

    // The same object twice: the second is refused with its line.
    WriteText(Home() / "import" / "user_object.txt",
              "Abell;100;A;Galaxy Cluster; ;0:42;41;15;2;0;0\n;Abell;100;A;Galaxy Cluster; ;0:42;41;15;2;0;0\n");
    ClearRecordedReports();
    ASSERT_EQ(ImportUserObjects(), 1);
    EXPECT_EQ(selectionList.recordCount, 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Already loaded:\nAbell;100;A;Galaxy Cluster; ;0"});
}

TEST_F(TextImportTest, EyepiecesReplaceTheListsRecordsAndAFailureKeepsTheOldList) {
    HttpTestServer server([](const std::string&) {
        return HttpTestReply{200, "Wideview;WDE;Wide 13mm;13;82;\nBad;B;X;0;50;\nNortho;NTH;NW 10;10;70;\n"
                                  "Baader;BAA;Hyperion 8;8;68;\n"};
    });
    SetService(server.Url("/"));
    const fs::path file = Home() / "usercatalogs" / "mine.eyp";
    WriteEyepieceFile(file, {"old 1", "old 2", "old 3", "old 4", "old 5"});

    ASSERT_EQ(DownloadEyepieces(1, "mine"), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"3 User eyepieces uploaded, 1 rejected\n"});
    auto records = Records(file);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(Name(records[0]), "Wide 13mm");
    EXPECT_EQ(Name(records[2]), "Hyperion 8");
    EXPECT_NE(server.Requests().at(0).find("param6=mine.txt "), std::string::npos);

    // The file cannot be written (a folder where its temporary goes): the old list stays
    // whole, and the user is told.
    WriteEyepieceFile(file, {"old 1", "old 2", "old 3", "old 4", "old 5"});
    const auto oldBytes = Bytes(file);
    busySteps = 0;
    failAtStep = 3;
    failingFile = file;
    ReportHooks hooks;
    hooks.showBusy = &FailAtStep;
    SetReportHooks(hooks);
    ClearRecordedReports();
    EXPECT_EQ(DownloadEyepieces(1, "mine"), 0);
    SetReportHooks(ReportHooks{});
    fs::remove_all(fs::path(file.string() + ".vktmp-" + std::to_string(::getpid())));
    EXPECT_EQ(Bytes(file), oldBytes);
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Fail to download eyepiece catalog:\n" + file.string() +
                                     " could not be written; the old records are kept.");

    // A reply cut short, one too large and one with a NUL byte change nothing either.
    HttpTestServer broken([](const std::string& target) {
        if (target.find("cut") != std::string::npos)
            return HttpTestReply{200, "Northo;NTH;NW 10;10;70;\nWideview;WDU;Wide 13mm;13;8", HttpTestReply::Cut};
        if (target.find("nul") != std::string::npos)
            return HttpTestReply{200, std::string("Northo;NTH;NW 10;10;70;\n") + '\0' + "Wideview;WDU;Wide 13mm;13;82;\n"};
        std::string lines;
        while (lines.size() < 70000) lines += "Northo;NTH;NW 10;10;70;\n";
        return HttpTestReply{200, lines};
    });
    SetService(broken.Url("/"));
    for (const char* name : {"cut", "nul", "large"}) {
        SCOPED_TRACE(name);
        fs::copy_file(file, Home() / "usercatalogs" / (std::string(name) + ".eyp"));
        ClearRecordedReports();
        EXPECT_EQ(DownloadEyepieces(1, name), 0);
        EXPECT_EQ(Bytes(Home() / "usercatalogs" / (std::string(name) + ".eyp")), oldBytes);
        ASSERT_EQ(Messages().size(), 2u);
        EXPECT_NE(Messages()[0].find("nothing was changed"), std::string::npos) << Messages()[0];
    }

    // A failed download names where it looked.
    ClearRecordedReports();
    preferences.dataUrl[0] = 0;
    EXPECT_EQ(DownloadEyepieces(1, "mine"), 0);
    EXPECT_EQ(Messages().back(), "Fail to download eyepiece catalog:\nmine.txt\n\nTry eyepiece_list as a test.");
}

TEST_F(TextImportTest, LocationsFromTheImportFolderAndAListOfAnotherKindIsLeftAlone) {
    WriteText(Home() / "import" / "trip.txt", "France;FR;Paris;2.35;48.85;1\nNowhere;XX;Zero;0;0;0\n");
    ASSERT_EQ(DownloadLocations(kSourceImportFolder, "trip"), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"1 User locations uploaded, 1 rejected.\n"});
    const auto records = Records(Home() / "usercatalogs" / "trip.loc");
    ASSERT_EQ(records.size(), 1u);
    LocationRecord paris;
    DecodeLocationRecord(records[0].data(), paris);
    EXPECT_STREQ(paris.town, "Paris");
    EXPECT_EQ(paris.zoneMinutes, 60);
    EXPECT_FALSE(locationDb) << "closed at the end";

    // Locations into an eyepiece list: refused, the file untouched.
    const fs::path eyepieces = Home() / "usercatalogs" / "other.loc";
    WriteEyepieceFile(eyepieces, {"kept"});
    const auto bytes = Bytes(eyepieces);
    WriteText(Home() / "import" / "other.txt", "France;FR;Paris;2.35;48.85;1\n");
    ClearRecordedReports();
    EXPECT_EQ(DownloadLocations(kSourceImportFolder, "other"), 0);
    EXPECT_EQ(Bytes(eyepieces), bytes);
    EXPECT_EQ(Messages().at(0).substr(0, 40), "This file holds another kind of records.");

    // No good line: the format is shown.
    WriteText(Home() / "import" / "bad.txt", "just words\n");
    ClearRecordedReports();
    DownloadLocations(kSourceImportFolder, "bad");
    EXPECT_EQ(Messages(), std::vector<std::string>{std::string("No location has been loaded.\nPlease check the file format:\n") +
                                                   kLocationLineFormat});
}

TEST_F(TextImportTest, AUserCatalogIsStoredAndStaysOpenAsTheUserObjects) {
    OpenSet();
    HttpTestServer server([](const std::string&) {
        return HttpTestReply{200, "NGC;7000;North America;Bright Nebula;E;20:59:17;44:31:44;4;120;100;0\nbroken\n"
                                  "Mine;2;Fuzzy;Galaxy;Sb;1.5;-20;12.5;1;1;3\n"};
    });
    SetService(server.Url("/"));
    ASSERT_EQ(DownloadUserCatalog(1, "../objects"), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"2 User Objects uploaded, 1 rejected\n"});
    EXPECT_STREQ(preferences.userCatalogFile, "objects.ppc");
    EXPECT_TRUE(fs::exists(Home() / "usercatalogs" / "objects.ppc"));
    ASSERT_EQ(GetUserObjectCount(), 2);
    ObjectRef r;
    ASSERT_EQ(GetUserObject(1, &r), 1);
    EXPECT_STREQ(r.name, "Fuzzy");
    EXPECT_EQ(r.catalog, static_cast<std::uint32_t>(kCatalogUser));
    const char* names[kMaxCatalogListEntries];
    int codes[kMaxCatalogListEntries];
    const int n = GetCatalogList(names, codes);
    EXPECT_EQ(codes[n - 1], kCatalogUser);
}

TEST_F(TextImportTest, ObserverLogsAreWrittenUnderSafeNames) {
    WriteText(Home() / "import" / "logs.txt",
              "07/06/2024;23:05;../../M 13;16:41:42;36:27:35;Globular Cluster;5.8;Her;42%;-18\xB0;6.3;1;2;200mm; ;None;"
              "Fine;3;1;0;\n"
              "garbage\n"
              "08/06/2024;01:10;.hidden;16:41:42;36:27:35;Globular Cluster;5.8;Her;42%;-18\xB0;6.3;1;2;200mm; ;None;"
              " ;3;1;0;\n");
    ASSERT_EQ(DownloadObserverLogs(1, "logs"), 1);
    EXPECT_EQ(Messages(), std::vector<std::string>{"2 User log uploaded, 1 rejected.\n"});
    const auto first = Bytes(Home() / "userlogs" / "M 13.log");
    ASSERT_EQ(first.size(), static_cast<std::size_t>(kObserverLogEntrySize));
    ObserverLogEntry e;
    DecodeObserverLogEntry(first.data(), e);
    EXPECT_EQ(e.magic, kObserverLogMagic);
    EXPECT_STREQ(e.name, "../../M 13");
    EXPECT_EQ(e.year, 2024);
    EXPECT_TRUE(fs::exists(Home() / "userlogs" / "hidden.log"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Home() / "userlogs"), fs::directory_iterator{}), 2);

    ClearRecordedReports();
    EXPECT_EQ(DownloadObserverLogs(1, "none"), 0);
    EXPECT_EQ(Messages().at(0).substr(0, 35), "Fail to download observation logs:\n");
}
