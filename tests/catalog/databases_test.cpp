#include <array>
#include <cstring>
#include <set>

#include "catalog/byte_order.h"
#include "catalog/observing_lists.h"
#include "catalog_fixture.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;

namespace {

const char* kNoStars =
    "Could not open star database\nPlease install velkarion_default_stars.ppc into data sub directory.\n";
const char* kNoObjects =
    "Could not open object database\n\nPlease install either:\nvelkarion_obj_1k.ppc or,\nvelkarion_obj_18k.ppc into "
    "data sub directory.\n";
const char* kOldObjects =
    "You did not install the last version of velkarion_obj_18k.ppc or velkarion_obj_1k.ppc into data sub directory.\n";
const char* kOldMoon = "You did not install the last version of velkarion_moon.ppc\n";

class DatabasesTest : public CatalogTest {
protected:
    // Object files hold (catalog, number) keys, sorted as shipped.
    void WriteObjects(const char* name, std::uint32_t version, const std::vector<CatalogKey>& keys) {
        WriteFile(Data(name), version, kCreatorObjects, kObjectRecordSize, static_cast<std::uint32_t>(keys.size()),
                  [&](std::uint32_t i, std::uint8_t* r) {
                      ObjectRecord o;
                      o.catalog = keys[i].catalog;
                      o.number = keys[i].number;
                      o.type = 16;
                      o.magnitude = static_cast<float>(i);
                      EncodeObjectRecord(o, r);
                  });
    }
    void WriteMoon(std::uint32_t version, std::uint32_t count) {
        WriteFile(Data(kMoonFile), version, kCreatorMoon, kMoonFeatureRecordSize, count,
                  [](std::uint32_t i, std::uint8_t* r) { le::PutI16(r, 2, static_cast<std::int16_t>(i)); });
    }
    // The three files whose absence is reported at start-up.
    void WriteRequiredFiles() {
        WriteFile(Data(kDefaultStarsFile), 0, kCreatorDefaultStars, kStarRecordSize, 3,
                  [](std::uint32_t, std::uint8_t*) {});
        WriteObjects(kObjects1kFile, kObjectFileVersion, {{29, 342}, {42, 40}});
        WriteMoon(kMoonFileVersion, 10);
    }
    std::uint32_t FirstObjectNumber() {
        ObjectRef o;
        EXPECT_EQ(GetObjectRecord(0, &o), 1);
        return o.number;
    }
};

}  // namespace

TEST_F(DatabasesTest, LargeObjectFileIsPreferred) {
    WriteRequiredFiles();
    WriteObjects(kObjects18kFile, kObjectFileVersion, {{42, 7000}});
    EXPECT_EQ(OpenCatalogDatabases(0), 1);
    EXPECT_EQ(FirstObjectNumber(), 7000u);
    EXPECT_TRUE(Messages().empty());

    fs::remove(Data(kObjects18kFile));
    EXPECT_EQ(OpenCatalogDatabases(0), 1);
    EXPECT_EQ(FirstObjectNumber(), 7000u) << "an open set is not opened again";
    EXPECT_EQ(OpenCatalogDatabases(1), 1);
    EXPECT_EQ(FirstObjectNumber(), 342u) << "a reopen takes the small file";
}

TEST_F(DatabasesTest, MissingFilesAreReportedAtOpen) {
    starBuffer[0] = 5;
    EXPECT_EQ(OpenAllCatalogDatabases(), -1);
    // Each names the folders searched, the program's and the user's.
    const std::string searched =
        "Searched " + (root / "install" / "data").string() + " or " + (root / "home" / "data").string();
    EXPECT_EQ(Messages(), (std::vector<std::string>{kNoStars + searched, kNoObjects + searched}));
    std::int32_t marker = 0;
    std::memcpy(&marker, starBuffer, sizeof marker);
    EXPECT_EQ(marker, kStarBufferEmpty) << "the chart's star buffer is emptied";

    ClearRecordedReports();
    ObjectRef o;
    EXPECT_EQ(GetObjectRecord(0, &o), 0);
    MoonFeatureRecord m;
    EXPECT_EQ(GetMoonFeature(0, &m), 0);
    SatelliteRecord s;
    EXPECT_EQ(GetSatelliteData(0, &s), 0);
    MarsFeatureRecord mars;
    EXPECT_EQ(GetMarsFeature(0, &mars), 0);
    CometRecord c;
    EXPECT_EQ(GetCometData(0, &c), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Object database isn't open!\n", "Moon Database isn't open!\n",
                                                    "Satellite database isn't open!\n", "Mars Database isn't open!\n"}));
}

TEST_F(DatabasesTest, OutdatedFilesAreReportedAndStillUsed) {
    WriteRequiredFiles();
    WriteObjects(kObjects1kFile, 25, {{42, 40}});
    WriteMoon(23, 4);
    EXPECT_EQ(OpenAllCatalogDatabases(), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{kOldObjects, kOldMoon}));
    EXPECT_EQ(FirstObjectNumber(), 40u);
    EXPECT_EQ(GetMoonFeatureCount(), 2);
}

TEST_F(DatabasesTest, MoonFeatureBounds) {
    WriteRequiredFiles();
    for (const auto& [records, features] : {std::pair{1000u, 500}, std::pair{1001u, 0}}) {
        WriteMoon(kMoonFileVersion, records);
        OpenCatalogDatabases(1);
        EXPECT_EQ(GetMoonFeatureCount(), features) << records << " records";
    }
    WriteMoon(kMoonFileVersion, 1800);
    OpenCatalogDatabases(1);
    ClearRecordedReports();
    MoonFeatureRecord m;
    EXPECT_EQ(GetMoonFeature(1795, &m), 0);
    EXPECT_EQ(GetMoonFeature(-1, &m), 0);
    EXPECT_TRUE(Messages().empty());
    ASSERT_EQ(GetMoonFeature(1794, &m), 1);
    EXPECT_EQ(m.column, 1794);

    WriteMoon(kMoonFileVersion, 100);
    OpenCatalogDatabases(1);
    EXPECT_EQ(GetMoonFeature(100, &m), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Could not retrieve moon record!\n"}));
}

TEST_F(DatabasesTest, CatalogRangesAndListsComeFromTheObjectFile) {
    WriteRequiredFiles();
    // Sorted by catalog and number: IC 342 (C5), NGC 221 (M32), NGC 224 (M31), NGC 7000
    // (C20), SAO 28353 (M40); no M1.
    WriteObjects(kObjects1kFile, kObjectFileVersion, {{29, 342}, {42, 221}, {42, 224}, {42, 7000}, {51, 28353}});
    ASSERT_EQ(OpenAllCatalogDatabases(), 0);

    EXPECT_EQ(CatalogTable[kCatalogIc].first, 0);
    EXPECT_EQ(CatalogTable[kCatalogIc].last, 1);
    EXPECT_EQ(CatalogTable[kCatalogNgc].first, 1);
    EXPECT_EQ(CatalogTable[kCatalogNgc].last, 4);
    EXPECT_EQ(CatalogTable[kCatalogSao].first, 4);
    EXPECT_EQ(CatalogTable[1].first, kCatalogAbsent) << "no Abell objects";

    ObjectRef o;
    ASSERT_EQ(GetMessierObject(30, &o), 1);
    EXPECT_EQ(o.catalog, 42u);
    EXPECT_EQ(o.number, 224u);
    EXPECT_EQ(o.name[0], '\0');
    ASSERT_EQ(GetMessierObject(39, &o), 1);
    EXPECT_EQ(o.number, 28353u);
    ASSERT_EQ(GetCaldwellObject(4, &o), 1);
    EXPECT_EQ(o.number, 342u);
    ASSERT_EQ(GetCaldwellObject(19, &o), 1);
    EXPECT_EQ(o.number, 7000u);
    EXPECT_EQ(GetMessierObject(0, &o), 0) << "M1 is not in this file";
    EXPECT_EQ(GetMessierObject(110, &o), 0);
    EXPECT_EQ(GetCaldwellObject(109, &o), 0);
    EXPECT_EQ(GetHerschelObject(400, &o), 0);
    EXPECT_EQ(GetBestNgcObject(-1, &o), 0);
    EXPECT_TRUE(Messages().empty());

    CloseCatalogDatabases();
    EXPECT_EQ(CatalogTable[kCatalogNgc].first, kCatalogAbsent);
}

TEST_F(DatabasesTest, ObservingListKeysAreWellFormed) {
    // The Herschel and Best-of-NGC lists run by NGC number; no list names an object twice.
    auto check = [](const CatalogKey* keys, int count, bool ascending) {
        std::set<std::pair<std::uint32_t, std::uint32_t>> seen;
        for (int i = 0; i < count; ++i) {
            EXPECT_LT(keys[i].catalog, static_cast<std::uint32_t>(kCatalogCount));
            EXPECT_TRUE(seen.insert({keys[i].catalog, keys[i].number}).second) << keys[i].number;
            if (ascending && i > 0) {
                EXPECT_LT(keys[i - 1].number, keys[i].number);
            }
        }
    };
    check(kMessierKeys, kMessierCount, false);
    check(kCaldwellKeys, kCaldwellCount, false);
    check(kHerschelKeys, kHerschelCount, true);
    check(kBestNgcKeys, kBestNgcCount, true);
    EXPECT_EQ(kMessierKeys[30].number, 224u);
    EXPECT_EQ(kCaldwellKeys[1].number, 40u);
    EXPECT_EQ(kHerschelKeys[0].number, 40u);
}

TEST_F(DatabasesTest, WritableCopiesKeepTheUsersRecords) {
    WriteRequiredFiles();
    WriteFile(Data(kCometFile), 0, kCreatorComets, kCometRecordSize, 2, [](std::uint32_t i, std::uint8_t* r) {
        CometRecord c;
        c.kind = 13;
        std::snprintf(c.name, sizeof c.name, "Comet %u", i);
        EncodeCometRecord(c, r);
    });
    ASSERT_EQ(OpenAllCatalogDatabases(), 0);
    ASSERT_TRUE(fs::exists(UserCopy(kCometFile)));
    ASSERT_EQ(DeleteDbRecord(cometDb, 0), 1);

    OpenCatalogDatabases(1);
    CometRecord c;
    ASSERT_EQ(GetCometData(0, &c), 1);
    EXPECT_STREQ(c.name, "Comet 1");
    EXPECT_EQ(GetCometData(1, &c), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"GetCometData: Could not retrieve comet record! 1\n"}));
}

TEST_F(DatabasesTest, UserObjectsReadBackWithTheirNames) {
    WriteRequiredFiles();
    OpenCatalogDatabases(0);
    std::array<const char*, kMaxCatalogListEntries> names{};
    std::array<int, kMaxCatalogListEntries> codes{};
    EXPECT_EQ(GetCatalogList(names, codes), 8) << "the user-object file is closed after start-up";
    EXPECT_STREQ(names[0], "Caldwell");
    EXPECT_STREQ(names[7], "Stars (Brighest)");
    EXPECT_EQ(codes[6], 49);
    ObjectRef o;
    EXPECT_EQ(GetUserObject(0, &o), 0);
    EXPECT_EQ(WriteUserObject(kAppendRecord, o), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"User Object database isn't open!\n", "Database isn't open!\n"}));

    ASSERT_EQ(CreateRecordFile("usercatalogs\\mine.ppc", kTypeCodeQvn1, kCreatorUserObjects), 0);
    ASSERT_EQ(OpenDb(userObjectDb, kCreatorUserObjects, kTypeCodeQvn1, 1, kUserCatalogFolder, "mine.ppc"), 1);
    ObjectRef ngc;
    ngc.catalog = 42;
    ngc.number = 224;
    ngc.distance = 99;
    ObjectRef named = ngc;
    std::strcpy(named.name, "My galaxy");
    ASSERT_EQ(WriteUserObject(kAppendRecord, ngc), 1);
    ASSERT_EQ(WriteUserObject(kAppendRecord, named), 1);
    EXPECT_EQ(GetUserObjectCount(), 2);
    ASSERT_EQ(GetUserObject(0, &o), 1);
    EXPECT_STREQ(o.name, "NGC224");
    EXPECT_EQ(o.distance, 0.0f);
    ASSERT_EQ(GetUserObject(1, &o), 1);
    EXPECT_STREQ(o.name, "My galaxy");
    EXPECT_EQ(GetUserObject(2, &o), 0);
    EXPECT_EQ(GetCatalogList(names, codes), 9);
    EXPECT_STREQ(names[8], "User catalog");
    EXPECT_EQ(codes[8], 63);
    ASSERT_EQ(DeleteUserObject(0), 1);
    EXPECT_EQ(GetUserObjectCount(), 1);
    EXPECT_EQ(CloseUserObjectDb(), 0);
    EXPECT_EQ(GetUserObjectCount(), 0);
}

TEST_F(DatabasesTest, MarsFeatureRuns) {
    WriteRequiredFiles();
    const std::vector<std::int16_t> kinds = {1, 1, 2, 2, 2, 3, 4, 4, 4, 4, 7, 7, 7, 8};
    WriteFile(Data(kMarsFile), 0, kCreatorMars, kMarsFeatureRecordSize, static_cast<std::uint32_t>(kinds.size()),
              [&](std::uint32_t i, std::uint8_t* r) { le::PutI16(r, 20, kinds[i]); });
    OpenCatalogDatabases(0);
    int first = -5, count = -5;
    EXPECT_EQ(FindMarsFeatureRun(7, &first, &count), 10);
    EXPECT_EQ(first, 10);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(FindMarsFeatureRun(9, &first, &count), -1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(count, 14);
    MarsFeatureRecord m;
    EXPECT_EQ(GetMarsFeature(14, &m), 0);
    ASSERT_EQ(GetMarsFeature(13, &m), 1);
    EXPECT_EQ(m.kind, 8);
    EXPECT_TRUE(Messages().empty());
}
