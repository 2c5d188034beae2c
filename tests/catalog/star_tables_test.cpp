#include <cmath>
#include <cstring>

#include "catalog/byte_order.h"
#include "catalog_fixture.h"
#include "core/report.h"
#include "core/settings.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;

namespace {

struct Star {
    std::int16_t number;
    float ra, dec;
};

class StarTablesTest : public CatalogTest {
protected:
    void WriteStars(const std::vector<Star>& stars) {
        WriteFile(Data(kDefaultStarsFile), 0, kCreatorDefaultStars, kStarRecordSize,
                  static_cast<std::uint32_t>(stars.size()), [&](std::uint32_t i, std::uint8_t* r) {
                      le::PutI16(r, 0, stars[i].number);
                      le::PutF32(r, 4, stars[i].ra);
                      le::PutF32(r, 8, stars[i].dec);
                      le::PutI32(r, 40, 77);  // word 10, cleared in the table
                  });
        OpenCatalogDatabases(1);
        ClearRecordedReports();  // the other files of the set are not needed here
    }
    // Bright-star file: the name half, then the number half (entries: name, table index).
    void WriteBrightStars(const std::vector<std::pair<const char*, int>>& byName,
                          const std::vector<std::pair<const char*, int>>& byNumber) {
        std::vector<std::pair<const char*, int>> all = byName;
        all.insert(all.end(), byNumber.begin(), byNumber.end());
        WriteFile(Data(kBrightStarFile), 0, kCreatorBrightStars, kBrightStarRecordSize,
                  static_cast<std::uint32_t>(all.size()), [&](std::uint32_t i, std::uint8_t* r) {
                      BrightStarRecord b;
                      std::strcpy(b.name, all[i].first);
                      b.starIndex = static_cast<std::int16_t>(all[i].second);
                      EncodeBrightStarRecord(b, r);
                  });
    }
    void WriteLines(const std::vector<ConstellationLineRecord>& lines) {
        WriteFile(Data(kConstellationFile), 0, kCreatorConstellationLines, kConstellationLineRecordSize,
                  static_cast<std::uint32_t>(lines.size()),
                  [&](std::uint32_t i, std::uint8_t* r) { EncodeConstellationLineRecord(lines[i], r); });
    }
};

}  // namespace

TEST_F(StarTablesTest, FixedPointConversions) {
    EXPECT_EQ(HoursToFixedAngle(12.0), 52707178);
    EXPECT_EQ(DegreesToFixedAngle(-30.0), -8784529);
    EXPECT_EQ(DegreesToFixedAngle(1.0), 292817);
    EXPECT_EQ(HoursToFixedAngle(24.0), 105414357);
    EXPECT_EQ(HoursToFixedAngle(std::nan("")), 0);
    EXPECT_EQ(DegreesToFixedAngle(1e30), INT32_MAX);
}

TEST_F(StarTablesTest, StarTableIsLoadedOnceInFixedPoint) {
    std::vector<Star> stars(301, Star{0, 1.0f, 2.0f});
    stars[0] = {2491, 12.0f, -30.0f};
    WriteStars(stars);
    const int stepsBefore = BusySteps();
    ASSERT_EQ(LoadStarTable(1), 1);
    EXPECT_EQ(BusySteps() - stepsBefore, 3) << "a step every 150 stars";
    EXPECT_FALSE(IsBusyShown());
    ASSERT_EQ(GetStarTableCount(), 301);
    EXPECT_EQ(BrightStars()[0].StarNumber(), 2491);
    EXPECT_EQ(BrightStars()[0].word[1], 52707178);
    EXPECT_EQ(BrightStars()[0].word[2], -8784529);
    EXPECT_EQ(BrightStars()[0].word[10], 0);

    WriteStars({{1, 0.0f, 0.0f}});
    EXPECT_EQ(LoadStarTable(1), 1);
    EXPECT_EQ(GetStarTableCount(), 301) << "the table is read only once";
    EXPECT_EQ(BrightStars()[0].StarNumber(), 2491);
}

TEST_F(StarTablesTest, StarTableWaitsForTheStarFileAndItsBuffer) {
    EXPECT_EQ(LoadStarTable(0), 1);
    EXPECT_FALSE(IsStarTableLoaded());
    std::uint8_t* buffer = brightStarsList;
    brightStarsList = nullptr;
    WriteStars({{5, 6.0f, 45.0f}});
    EXPECT_EQ(LoadStarTable(0), 1);
    EXPECT_FALSE(IsStarTableLoaded());
    brightStarsList = buffer;
    WriteStars({{5, 6.0f, 45.0f}});
    EXPECT_EQ(LoadStarTable(0), 1);
    ASSERT_EQ(GetStarTableCount(), 1);
    StarRecord raw;
    ASSERT_EQ(GetStarRecord(0, &raw), 1);
    EXPECT_FLOAT_EQ(raw.FloatWord(1), 6.0f);
    EXPECT_EQ(GetStarRecord(1, &raw), 0);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StarTablesTest, BrightStarLookups) {
    // Table: index 0 star 10 (Vega), 1 star 20 (Altair), 2 star 30 (Deneb), 3 star 40 (no name).
    WriteStars({{10, 18.6f, 38.8f}, {20, 19.8f, 8.9f}, {30, 20.7f, 45.3f}, {40, 1.0f, 1.0f}});
    WriteBrightStars({{"Altair", 1}, {"Deneb", 2}, {"Vega", 0}, {"Zzz", 3}},
                     {{"Vega", 0}, {"Altair", 1}, {"Deneb", 2}, {"Nameless", 3}});
    EXPECT_EQ(GetBrightStarCount(), 4);
    BrightStarRecord rec;
    ASSERT_EQ(GetBrightStarRecord(5, &rec), 1);
    EXPECT_STREQ(rec.name, "Altair");

    struct Case {
        int starNumber, index;
        const char* name;
    };
    for (const Case c : {Case{10, 2, "Vega"}, Case{20, 0, "Altair"}, Case{30, 1, "Deneb"},
                         Case{40, 7, "Nameless"}, Case{50, -1, nullptr}}) {
        SCOPED_TRACE(c.starNumber);
        BrightStarRecord found;
        EXPECT_EQ(FindBrightStar(c.starNumber, &found), c.index);
        if (c.name) {
            EXPECT_STREQ(found.name, c.name);
        }
    }
}

TEST_F(StarTablesTest, BrightStarFileMissingOrDamaged) {
    WriteStars({{10, 1.0f, 1.0f}});
    BrightStarRecord rec;
    EXPECT_EQ(GetBrightStarCount(), 0);
    EXPECT_EQ(FindBrightStar(10, &rec), -1);
    EXPECT_EQ(GetBrightStarRecord(0, &rec), 0);
    // A record pointing outside the star table finds nothing.
    WriteBrightStars({{"Vega", 0}}, {{"Vega", 900}});
    EXPECT_EQ(FindBrightStar(10, &rec), -1);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StarTablesTest, ConstellationLineSets) {
    WriteStars(std::vector<Star>(10, Star{1, 1.0f, 1.0f}));
    LoadStarTable(0);
    WriteLines({{0, {1, 0, 1}}, {1, {9, 2, 3}}, {0, {2, 1, 10}}, {0, {3, -1, 4}}, {0, {4, 8, 9}}, {1, {9, 4, 5}}});
    ASSERT_EQ(LoadConstellationLines(0), 1);
    ASSERT_EQ(constellationLines.size(), 2u) << "lines naming stars outside the table are dropped";
    EXPECT_EQ(constellationLines[1].value[0], 4);
    EXPECT_EQ(constellationLines[1].value[2], 9);

    fs::remove(Data(kConstellationFile));
    EXPECT_EQ(LoadConstellationLines(0), 1) << "the loaded set is not read again";
    EXPECT_TRUE(Messages().empty());

    WriteLines({{0, {1, 0, 1}}, {1, {9, 2, 3}}, {1, {9, 4, 5}}});
    ASSERT_EQ(LoadConstellationLines(1), 1);
    ASSERT_EQ(constellationLines.size(), 2u);
    EXPECT_EQ(constellationLines[0].value[1], 2);

    FreeConstellationLines();
    EXPECT_TRUE(constellationLines.empty());
    fs::remove(Data(kConstellationFile));
    EXPECT_EQ(LoadConstellationLines(1), 0) << "a freed set is read again";
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "Could not find velkarion_constellation.ppc\nPlease verify your configuration."}));
    EXPECT_EQ(LoadConstellationLines(2), 0);
}

TEST_F(StarTablesTest, ObjectIndexSearchByDeclination) {
    auto writeIndex = [&](const std::vector<std::int32_t>& decs) {
        WriteFile(Data(kObjectIndexFile), 0, kCreatorObjectIndex, kObjectIndexEntriesPerRecord * kObjectIndexEntrySize,
                  static_cast<std::uint32_t>(decs.size()),
                  [&](std::uint32_t i, std::uint8_t* r) { le::PutI32(r, 12, decs[i]); });
        OpenObjectIndex();
    };
    EXPECT_EQ(FindObjectIndexByDec(0), -1) << "no index file";
    writeIndex({500});
    EXPECT_EQ(FindObjectIndexByDec(-1000), 0);
    writeIndex({-900, -600, -300, 0, 300, 600, 900});
    EXPECT_EQ(FindObjectIndexByDec(300), 4);
    EXPECT_EQ(FindObjectIndexByDec(-100000), 1) << "below every record: the lowest probed, never 0";
    EXPECT_EQ(FindObjectIndexByDec(100000), 6);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StarTablesTest, NoStellarLevelFileIsOpen) {
    preferences.word[pref::stellarCatalogChoice] = 0;
    EXPECT_EQ(SelectStarCatalogLevel(4), 0);
    preferences.word[pref::stellarCatalogChoice] = 4;
    EXPECT_EQ(SelectStarCatalogLevel(4), 0);
    EXPECT_EQ(starCatalogLevel, kStarLevelNone);
    EXPECT_EQ(SelectStarCatalogLevel(kStarLevelNone), 1);
    EXPECT_EQ(IsStellarDbOpen(), 0);
    EXPECT_EQ(GetStellarStarCount(), 0);
    EXPECT_EQ(FindStellarRecordByDec(10.0), -1);
    StellarStarEntry e;
    EXPECT_EQ(GetHipparcosStar(32349, &e), 0);
    EXPECT_EQ(GetTychoStar(123400056, &e), 0);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(GetStellarStar(0, &e), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Database Hipparchos isn't open!\n"}));
}
