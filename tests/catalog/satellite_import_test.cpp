// The user's element file: reading three-line sets with the line check, the merge by
// catalogue number and epoch, and the import into the writable copy of the satellite
// database.
#include "catalog/satellite_import.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/element_lines.h"
#include "catalog/record_file.h"
#include "core/settings.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kIss1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
constexpr const char* kIss2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";
constexpr const char* kStr1 = "1 88888U          80275.98708465  .00073094  13844-3  66816-4 0    87";
constexpr const char* kStr2 = "2 88888  72.8435 115.9689 0086731  52.6988 110.5714 16.05824518  1058";

// Line 1 with another day of the year (three digits) and its checksum.
std::string WithDay(std::string line1, const char* day) {
    line1.replace(20, 3, day);
    line1[68] = static_cast<char>('0' + ElementLineChecksum(line1.c_str()));
    return line1;
}

// A line with another catalogue number and its checksum.
std::string Renumbered(std::string line, const char* number) {
    line.replace(2, 5, number);
    line[68] = static_cast<char>('0' + ElementLineChecksum(line.c_str()));
    return line;
}

SatelliteRecord Set(const char* name, const std::string& line1, const std::string& line2) {
    SatelliteRecord r;
    std::snprintf(r.name, sizeof r.name, "%s", name);
    std::snprintf(r.line1, sizeof r.line1, "%s", line1.c_str());
    std::snprintf(r.line2, sizeof r.line2, "%s", line2.c_str());
    return r;
}

// Two good sets around a set with a wrong checksum (its first line is line 4) and one whose
// lines name two numbers (line 7), with CR LF ends and a blank line.
std::string FourSets() {
    std::string wrongSum = kIss2;
    wrongSum[68] = wrongSum[68] == '0' ? '1' : '0';
    std::string text = std::string("ISS (ZARYA)\r\n") + kIss1 + "\r\n" + kIss2 + "\r\n";
    text += std::string("BAD SUM\n") + kIss1 + "\n" + wrongSum + "\n";
    text += std::string("MIXED\n") + kIss1 + "\n" + kStr2 + "\n\n";
    text += std::string("REPORT 3\n") + kStr1 + "\n" + kStr2 + "\n";
    return text;
}

TEST(ElementFile, TakesCheckedSetsAndNamesTheSkippedLines) {
    const ElementFileSets read = ReadElementFile(FourSets());
    ASSERT_EQ(read.sets.size(), 2u);
    EXPECT_STREQ(read.sets[0].name, "ISS (ZARYA)");
    EXPECT_STREQ(read.sets[0].line2, kIss2);
    EXPECT_STREQ(read.sets[1].line1, kStr1);
    EXPECT_EQ(read.skippedLines, (std::vector<int>{4, 7}));

    // A set without its name line costs one line; the next set is read again.
    const ElementFileSets nameless = ReadElementFile(std::string(kIss1) + "\n" + kIss2 + "\nREPORT 3\n" + kStr1 +
                                                     "\n" + kStr2 + "\nTRAILING NAME\n" + kIss1);
    ASSERT_EQ(nameless.sets.size(), 1u);
    EXPECT_STREQ(nameless.sets[0].name, "REPORT 3");
    EXPECT_EQ(nameless.skippedLines, (std::vector<int>{1, 2, 6}));
    EXPECT_TRUE(ReadElementFile("").sets.empty());
}

TEST(ElementFile, MergeKeepsTheLatestEpochOfEachNumber) {
    const std::string later = WithDay(kIss1, "270"), earlier = WithDay(kIss1, "200");
    struct Case {
        const char* what;
        std::vector<SatelliteRecord> copy, incoming;
        std::vector<std::string> line1s;  // of the merged copy, in order
        int changed;
    } cases[] = {
        {"a later epoch replaces", {Set("ISS", kIss1, kIss2)}, {Set("ISS NEW", later, kIss2)}, {later}, 1},
        {"an earlier one does not", {Set("ISS", kIss1, kIss2)}, {Set("ISS OLD", earlier, kIss2)}, {kIss1}, 0},
        {"an edited (later) copy stays", {Set("ISS", later, kIss2)}, {Set("ISS", kIss1, kIss2)}, {later}, 0},
        {"a new number is appended", {Set("ISS", kIss1, kIss2)}, {Set("R3", kStr1, kStr2)}, {kIss1, kStr1}, 1},
        {"a set only in the copy stays", {Set("R3", kStr1, kStr2), Set("ISS", kIss1, kIss2)}, {}, {kStr1, kIss1}, 0},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(MergeElementSets(c.copy, c.incoming), c.changed);
        ASSERT_EQ(c.copy.size(), c.line1s.size());
        for (std::size_t i = 0; i < c.copy.size(); ++i) EXPECT_EQ(c.copy[i].line1, c.line1s[i]);
    }
    EXPECT_LT(ElementEpochKey(kStr1), ElementEpochKey(kIss1));  // 1980 before 2008
    EXPECT_EQ(ElementEpochKey("1 25544U"), -1.0);
}

class ElementImport : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        savedPreferences = preferences;
        SetPreferenceDouble(pref::elementFileDate, 0.0);
        // The shipped satellite file is empty; the user's copy is made from it.
        WriteFile(Data(kSatelliteFile), 0, kCreatorSatellites, kSatelliteRecordSize, 0, [](std::uint32_t, std::uint8_t*) {});
        OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile);
    }
    void TearDown() override {
        preferences = savedPreferences;
        CatalogTest::TearDown();
    }
    fs::path ElementFile() const { return root / "home" / "import" / "satellites.txt"; }
    void WriteElementFile(const std::string& text, int secondsLater = 0) {
        fs::create_directories(ElementFile().parent_path());
        std::ofstream(ElementFile(), std::ios::binary) << text;
        fs::last_write_time(ElementFile(), fs::file_time_type::clock::now() + std::chrono::seconds(secondsLater));
    }
    Preferences savedPreferences{};
};

TEST_F(ElementImport, MergesTheUsersFileOnceAndSaysWhatItTook) {
    EXPECT_EQ(ImportUserElementFile(), 0);  // no file: nothing
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(GetSatelliteCount(), 0);

    WriteElementFile(FourSets());
    ASSERT_EQ(ImportUserElementFile(), 1);
    EXPECT_EQ(GetSatelliteCount(), 2);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("2 satellite element sets taken from import/satellites.txt."), std::string::npos)
        << Messages()[0];
    EXPECT_NE(Messages()[0].find("lines 4, 7"), std::string::npos) << Messages()[0];
    // The same file again: not merged twice.
    EXPECT_EQ(ImportUserElementFile(), 0);
    EXPECT_EQ(Messages().size(), 1u);

    // The records are in the user's copy, and an edit there survives a newer file with an
    // older set of the same number.
    SatelliteRecord edited = Set("ISS EDITED", WithDay(kIss1, "300"), kIss2);
    ASSERT_EQ(WriteSatellite(0, edited), 1);
    WriteElementFile(std::string("ISS\n") + kIss1 + "\n" + kIss2 + "\nNEW\n" + Renumbered(kStr1, "77777") + "\n" +
                         Renumbered(kStr2, "77777") + "\n",
                     60);
    EXPECT_EQ(ImportUserElementFile(), 1);
    CloseDb(satelliteDb);
    OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile);
    ASSERT_EQ(GetSatelliteCount(), 3);
    SatelliteRecord back;
    ASSERT_EQ(GetSatelliteData(0, &back), 1);
    EXPECT_STREQ(back.name, "ISS EDITED");
    ASSERT_EQ(GetSatelliteData(2, &back), 1);
    EXPECT_STREQ(back.name, "NEW");
    EXPECT_TRUE(fs::exists(UserCopy(kSatelliteFile)));
}

}  // namespace
