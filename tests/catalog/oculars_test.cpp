// The eyepiece and location databases: records, the getters of the forms, the choice of an
// eyepiece by magnification, and the longitude's sign on the way to the site.
#include <cstring>
#include <string>
#include <vector>

#include "catalog/oculars.h"
#include "catalog/locations.h"
#include "catalog_fixture.h"
#include "core/settings.h"
#include "support/recorded_reports.h"

namespace {

struct Eyepiece {
    const char* code;
    const char* name;
    float focal;
    float field;
};

class EyepieceTest : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        saved = preferences;
        // A 200 mm f/5 telescope: 1000 mm of focal length.
        preferences.word[pref::apertureChoice] = 200;
        preferences.word[pref::focalRatioChoice] = 50;
    }
    void TearDown() override {
        CloseEyepieceDb();
        CloseLocationDb();
        preferences = saved;
        CatalogTest::TearDown();
    }
    void WriteEyepieces(const std::vector<Eyepiece>& list) {
        WriteFile(Data(kEyepieceFile), 0, kCreatorEyepieces, kEyepieceRecordSize, static_cast<std::uint32_t>(list.size()),
                  [&](std::uint32_t i, std::uint8_t* r) {
                      EyepieceRecord e;
                      std::strcpy(e.brand, "Brand");
                      std::strcpy(e.brandCode, list[i].code);
                      std::strcpy(e.name, list[i].name);
                      e.focalLength = list[i].focal;
                      e.apparentField = list[i].field;
                      EncodeEyepieceRecord(e, r);
                  });
    }
    Preferences saved;
};

TEST_F(EyepieceTest, RecordKeepsEveryFieldAtItsOffset) {
    EyepieceRecord e;
    std::strcpy(e.brand, "Acmeopt");
    std::strcpy(e.brandCode, "WDE");
    std::strcpy(e.name, "Wide 13mm");
    e.focalLength = 13.0f;
    e.apparentField = 82.0f;
    std::uint8_t bytes[kEyepieceRecordSize];
    EncodeEyepieceRecord(e, bytes);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 28), 3), "WDE");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes + 32)), "Wide 13mm");
    EyepieceRecord back;
    DecodeEyepieceRecord(bytes, back);
    EXPECT_STREQ(back.brand, "Acmeopt");
    EXPECT_FLOAT_EQ(back.focalLength, 13.0f);
    EXPECT_FLOAT_EQ(back.apparentField, 82.0f);
}

TEST_F(EyepieceTest, WantedMagnificationPicksTheNearestAndTheLaterOnATie) {
    WriteEyepieces({{"AAA", "Plossl", 25.0f, 52.0f}, {"BBB", "Ortho", 10.0f, 45.0f}});
    struct Case {
        int wanted;
        float focal;
        const char* label;
    };
    // 25 mm gives 40x, 10 mm 100x: 70x lies 30 from both, and the later record stays.
    for (const Case& c : {Case{50, 25.0f, "AAA-Plossl"}, Case{70, 10.0f, "BBB-Ortho"}, Case{40, 25.0f, "AAA-Plossl"}}) {
        float field = 0.0f, focal = 0.0f;
        char label[32];
        ASSERT_EQ(FindEyepiece(c.wanted, &field, &focal, label, sizeof label), 1) << c.wanted;
        EXPECT_FLOAT_EQ(focal, c.focal) << c.wanted;
        EXPECT_STREQ(label, c.label) << c.wanted;
    }
    // Only the label's room is filled.
    char shortLabel[5];
    ASSERT_EQ(FindEyepiece(50, nullptr, nullptr, shortLabel, sizeof shortLabel), 1);
    EXPECT_STREQ(shortLabel, "AAA-");
}

TEST_F(EyepieceTest, NoFocalLengthsGiveRecordZero) {
    WriteEyepieces({{"AAA", "First", 0.0f, 50.0f}, {"BBB", "Second", 0.0f, 60.0f}});
    float field = 0.0f;
    ASSERT_EQ(FindEyepiece(100, &field, nullptr, nullptr, 0), 1);
    EXPECT_FLOAT_EQ(field, 50.0f);
}

TEST_F(EyepieceTest, MissingDatabaseReadsAsNone) {
    char label[32];
    EXPECT_EQ(HasEyepieceDb(), 0);
    EXPECT_EQ(GetEyepieceByIndex(0, nullptr, nullptr, label, sizeof label), 0);
    EXPECT_STREQ(label, "None");
    std::strcpy(label, "x");
    EXPECT_EQ(FindEyepiece(50, nullptr, nullptr, label, sizeof label), 0);
    EXPECT_STREQ(label, "None");
}

TEST_F(EyepieceTest, GettersUseTheWritableCopyAndCloseIt) {
    WriteEyepieces({{"AAA", "Plossl", 25.0f, 52.0f}});
    EXPECT_EQ(HasEyepieceDb(), 1);
    float field = 0.0f, focal = 0.0f;
    char label[32];
    EXPECT_EQ(GetEyepieceByIndex(0, &field, &focal, label, sizeof label), 1);
    EXPECT_STREQ(label, "AAA-Plossl");
    EXPECT_EQ(GetEyepieceByIndex(1, &field, &focal, label, sizeof label), 0);
    EXPECT_STREQ(label, "None");
    EXPECT_FALSE(eyepieceDb);
    EXPECT_TRUE(std::filesystem::exists(UserCopy(kEyepieceFile)));
}

TEST_F(EyepieceTest, ImportOperationsAppendCountAndDelete) {
    const std::filesystem::path path = root / "import.ppc";
    ASSERT_EQ(OpenEyepieceDbAt(nullptr), -1);
    WriteFile(path, 0, kCreatorEyepieces, 0, 0, [](std::uint32_t, std::uint8_t*) {});
    ASSERT_NE(OpenEyepieceDbAt(path.string().c_str()), 0);
    EyepieceRecord e;
    std::strcpy(e.brandCode, "AAA");
    for (const char* name : {"One", "Two", "Three"}) {
        std::strcpy(e.name, name);
        ASSERT_EQ(AppendEyepieceRecord(kAppendRecord, e), 1);
    }
    EXPECT_EQ(CountEyepieceRecords(), 3);
    EXPECT_EQ(DeleteEyepieceRecord(0), 1);
    EXPECT_EQ(CountEyepieceRecords(), 2);
    CloseEyepieceDb();
    EXPECT_EQ(CountEyepieceRecords(), 0);
}

TEST_F(EyepieceTest, StoredEastLongitudeReachesTheSiteAsWest) {
    WriteFile(Data(kLocationFile), 0, kCreatorLocations, kLocationRecordSize, 2, [](std::uint32_t i, std::uint8_t* r) {
        LocationRecord l;
        std::strcpy(l.country, i == 0 ? "France" : "Peru");
        std::strcpy(l.town, i == 0 ? "Paris" : "Lima");
        l.latitude = i == 0 ? 48.86f : -12.05f;
        l.longitude = i == 0 ? 2.35f : -77.04f;
        l.zoneMinutes = static_cast<std::int16_t>(i == 0 ? 60 : -300);
        EncodeLocationRecord(l, r);
    });
    LocationRecord town;
    ASSERT_EQ(GetLocationRecord(0, &town), 1);
    EXPECT_FLOAT_EQ(town.longitude, -2.35f);
    ASSERT_EQ(OpenLocationDb(), 1);
    EXPECT_EQ(CountLocationRecords(), 2);
    ASSERT_EQ(ReadOpenLocation(1, &town), 1);
    EXPECT_FLOAT_EQ(town.longitude, -77.04f);
    EXPECT_EQ(ReadOpenLocation(2, &town), 0);
}

}  // namespace
