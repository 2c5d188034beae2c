#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

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

// Stellar level files, written as the data builder writes them: entries sorted by
// declination, 42 to a record, the last record filled up with faint entries at the pole.
class StellarLevelTest : public StarTablesTest {
protected:
    void SetUp() override {
        StarTablesTest::SetUp();
        savedChoice_ = preferences.word[pref::stellarCatalogChoice];
    }
    void TearDown() override {
        preferences.word[pref::stellarCatalogChoice] = savedChoice_;
        StarTablesTest::TearDown();
    }
    static StellarStarEntry Entry(std::uint32_t number, int h, int m, int s, int d, int am, int as, int mag16) {
        StellarStarEntry e;
        e.number = number;
        e.raHours = static_cast<std::int8_t>(h);
        e.raMinutes = static_cast<std::int8_t>(m);
        e.raSeconds = static_cast<std::int8_t>(s);
        e.decDegrees = static_cast<std::int8_t>(d);
        e.decMinutes = static_cast<std::int8_t>(am);
        e.decSeconds = static_cast<std::int8_t>(as);
        e.magnitude = static_cast<std::uint8_t>(mag16);
        return e;
    }
    // Writes the level file and returns each star number's record.
    std::map<std::uint32_t, int> WriteLevel(int level, std::vector<StellarStarEntry> stars) {
        std::stable_sort(stars.begin(), stars.end(), [](const StellarStarEntry& a, const StellarStarEntry& b) {
            return StellarEntryDeclination(a) < StellarEntryDeclination(b);
        });
        const int per = StellarStarsPerRecord(stars.size());
        std::map<std::uint32_t, int> recordOf;
        const auto records = static_cast<std::uint32_t>((stars.size() + per - 1) / per);
        WriteFile(Data(kStellarLevelFiles[level]), 0, kCreatorStellarLevel, static_cast<std::uint32_t>(per * 12), records,
                  [&](std::uint32_t r, std::uint8_t* rec) {
                      for (int k = 0; k < per; ++k) {
                          const std::size_t at = r * static_cast<std::size_t>(per) + static_cast<std::size_t>(k);
                          const StellarStarEntry e = at < stars.size() ? stars[at] : Entry(0, 0, 0, 0, 90, 0, 0, 255);
                          EncodeStellarStarEntry(e, rec + k * 12);
                          if (at < stars.size()) recordOf[e.number] = static_cast<int>(r);
                      }
                  });
        return recordOf;
    }
    void WriteIndex(const char* file, std::uint32_t creator, const std::map<std::uint32_t, int>& recordOf) {
        const std::uint32_t records = recordOf.rbegin()->first / 42 + 1;
        WriteFile(Data(file), 0, creator, 84, records, [&](std::uint32_t r, std::uint8_t* rec) {
            for (std::uint32_t k = 0; k < 42; ++k) {
                auto it = recordOf.find(r * 42 + k);
                le::PutI16(rec, 2 * k, static_cast<std::int16_t>(it == recordOf.end() ? -1 : it->second));
            }
        });
    }
    // `count` stars from declination -80 upwards in steps of `step` degrees, numbered from 1.
    static std::vector<StellarStarEntry> Band(int count, int step = 1) {
        std::vector<StellarStarEntry> stars;
        for (int i = 0; i < count; ++i) stars.push_back(Entry(static_cast<std::uint32_t>(i + 1), i % 24, 0, 0, -80 + step * i, 0, 0, 100));
        return stars;
    }
    int savedChoice_ = 0;
};

TEST_F(StellarLevelTest, TheChartTakesTheLevelOfTheCardCatalogSettingOrTheNearestPresent) {
    WriteLevel(1, Band(10));
    WriteLevel(4, Band(60));
    preferences.word[pref::stellarCatalogChoice] = 0;
    EXPECT_EQ(SelectStarCatalogLevel(5), 0) << "no expansion card";
    EXPECT_EQ(IsStellarDbOpen(), 0);

    preferences.word[pref::stellarCatalogChoice] = 4;
    EXPECT_EQ(SelectStarCatalogLevel(5), 1);
    EXPECT_EQ(starCatalogLevel, 4);
    EXPECT_EQ(starsPerRecord, 42);
    EXPECT_EQ(GetStellarStarCount(), 84) << "two records";
    EXPECT_EQ(SelectStarCatalogLevel(6), 1) << "the open level serves any zoom";
    preferences.word[pref::stellarCatalogChoice] = 1;
    EXPECT_EQ(SelectStarCatalogLevel(5), 1);
    EXPECT_EQ(starCatalogLevel, 1);
    EXPECT_TRUE(Messages().empty());

    // A chosen level that is not installed: the nearest present, fainter-limited first,
    // reported once.
    preferences.word[pref::stellarCatalogChoice] = 6;
    EXPECT_EQ(SelectStarCatalogLevel(5), 1);
    EXPECT_EQ(starCatalogLevel, 4);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"velkarion_tycho_2500k.ppc is not installed\nThe stars of "
                                                    "velkarion_hip_110k.ppc are shown instead."}));
    EXPECT_EQ(SelectStarCatalogLevel(5), 1);
    preferences.word[pref::stellarCatalogChoice] = 2;
    EXPECT_EQ(SelectStarCatalogLevel(5), 1);
    EXPECT_EQ(starCatalogLevel, 1);
    EXPECT_EQ(Messages().size(), 2u) << "one report per missing level";

    // The set's reopen opens the chosen level, and its close closes it.
    preferences.word[pref::stellarCatalogChoice] = 4;
    OpenCatalogDatabases(1);
    EXPECT_EQ(starCatalogLevel, 4);
    CloseCatalogDatabases();
    EXPECT_EQ(IsStellarDbOpen(), 0);
    EXPECT_EQ(starCatalogLevel, kStarLevelNone);
}

TEST_F(StellarLevelTest, LookupsFindStarsThroughTheirLevelsIndex) {
    // Sirius, Vega and Polaris by HR number in the HR level, by HIP number in the 110K level.
    const StellarStarEntry sirius = Entry(2491, 6, 45, 9, -16, -42, -58, 0);
    std::vector<StellarStarEntry> hr = Band(50);
    for (auto& e : hr) e.number += 5000;  // other HR numbers
    hr.push_back(sirius);
    hr.push_back(Entry(7001, 18, 36, 56, 38, 47, 1, 0));
    WriteIndex(kHrIndexFile, kCreatorHrIndex, WriteLevel(kStarLevelHr, hr));
    std::vector<StellarStarEntry> hip = Band(100);
    StellarStarEntry siriusHip = sirius;
    siriusHip.number = 32349;
    hip.push_back(siriusHip);
    hip.push_back(Entry(11767, 2, 31, 47, 89, 15, 51, 32));
    WriteIndex(kHipIndexFile, kCreatorHipIndex, WriteLevel(kStarLevelHip110k, hip));

    preferences.word[pref::stellarCatalogChoice] = 1;  // a level that is not installed
    StellarStarEntry e;
    ASSERT_EQ(SelectStarCatalogLevel(kStarLookupHip), 1);
    EXPECT_EQ(starCatalogLevel, kStarLevelHip110k);
    ASSERT_EQ(GetHipparcosStar(32349, &e), 1) << "HIP 32349 is Sirius";
    EXPECT_EQ(e.number, 32349u);
    EXPECT_EQ(std::make_tuple(e.raHours, e.raMinutes, e.raSeconds), std::make_tuple(6, 45, 9));
    EXPECT_EQ(std::make_tuple(e.decDegrees, e.decMinutes, e.decSeconds), std::make_tuple(-16, -42, -58));
    ASSERT_EQ(GetHipparcosStar(11767, &e), 1);
    EXPECT_EQ(e.decDegrees, 89);
    EXPECT_EQ(GetHipparcosStar(2491, &e), 0) << "an HR number is no HIP number";
    EXPECT_EQ(GetHipparcosStar(200000, &e), 0) << "past the index";
    EXPECT_EQ(GetTychoStar(123400056, &e), 0) << "not a Tycho level";

    ASSERT_EQ(SelectStarCatalogLevel(kStarLookupHr), 1);
    EXPECT_EQ(starCatalogLevel, kStarLevelHr);
    ASSERT_EQ(GetHipparcosStar(2491, &e), 1);
    EXPECT_EQ(e.raMinutes, 45);
    EXPECT_EQ(GetHipparcosStar(32349, &e), 0);
    EXPECT_TRUE(Messages().empty()) << "lookups report failures themselves";

    // Without the index the lookup finds nothing.
    fs::remove(Data(kHrIndexFile));
    EXPECT_EQ(GetHipparcosStar(2491, &e), 0);
    // A lookup level that is missing leaves no level open.
    fs::remove(Data(kStellarLevelFiles[kStarLevelHip110k]));
    ResetStarCatalogLevel();
    EXPECT_EQ(SelectStarCatalogLevel(kStarLookupHip), 0);
    EXPECT_EQ(IsStellarDbOpen(), 0);
}

TEST_F(StellarLevelTest, TychoLookupsSearchTheirRegionsDeclinationBand) {
    std::vector<StellarStarEntry> stars = Band(120);
    stars.push_back(Entry(123400056, 3, 0, 0, 20, 10, 0, 150));
    stars.push_back(Entry(123400057, 3, 0, 1, -70, 0, 0, 150));  // outside its region's band
    WriteLevel(kStarLevelTycho390k, stars);
    WriteFile(Data(kTychoIndexFile), 0, kCreatorTychoIndex, 8, 1235, [](std::uint32_t r, std::uint8_t* rec) {
        le::PutF32(rec, 0, r == 1234 ? 19.5f : 1.0f);
        le::PutF32(rec, 4, r == 1234 ? 20.5f : -1.0f);
    });
    preferences.word[pref::stellarCatalogChoice] = 4;
    ASSERT_EQ(SelectStarCatalogLevel(kStarLookupTycho), 1) << "the largest Tycho level present";
    EXPECT_EQ(starCatalogLevel, kStarLevelTycho390k);
    EXPECT_EQ(starsPerRecord, 42);
    StellarStarEntry e;
    ASSERT_EQ(GetTychoStar(123400056, &e), 1);
    EXPECT_EQ(e.decMinutes, 10);
    EXPECT_EQ(GetTychoStar(123400057, &e), 0);
    EXPECT_EQ(GetTychoStar(5, &e), 0) << "a region without stars";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StellarLevelTest, TheFaintStarLayerReadsTheZonesOfItsDeclinationBand) {
    WriteLevel(3, Band(126));  // -80 .. +45 degrees, three records of 42
    preferences.word[pref::stellarCatalogChoice] = 3;
    ASSERT_EQ(SelectStarCatalogLevel(5), 1);
    EXPECT_EQ(GetStellarStarCount(), 126);
    EXPECT_EQ(FindStellarRecordByDec(-90.0), 0) << "below every record";
    EXPECT_EQ(FindStellarRecordByDec(-38.0), 1) << "the first star of record 1";
    EXPECT_EQ(FindStellarRecordByDec(-37.5), 1);
    EXPECT_EQ(FindStellarRecordByDec(90.0), 2);
    // Every star between -50 and 0 degrees lies in the zones the layer reads.
    const int first = FindStellarRecordByDec(-50.0), last = FindStellarRecordByDec(0.0);
    int seen = 0;
    for (int index = first * starsPerRecord; index < (last + 1) * starsPerRecord; ++index) {
        StellarStarEntry e;
        ASSERT_EQ(GetStellarStar(index, &e), 1);
        const double dec = StellarEntryDeclination(e);
        if (dec >= -50.0 && dec <= 0.0) ++seen;
    }
    EXPECT_EQ(seen, 51);
    StellarStarEntry e;
    EXPECT_EQ(GetStellarStar(126, &e), 0) << "past the file";
    // The record declinations are remembered per open file: another level answers for its own.
    WriteLevel(2, Band(84, 2));  // -80 .. +86 degrees, two records
    preferences.word[pref::stellarCatalogChoice] = 2;
    ASSERT_EQ(SelectStarCatalogLevel(5), 1);
    EXPECT_EQ(FindStellarRecordByDec(90.0), 1);
    EXPECT_EQ(FindStellarRecordByDec(3.9), 0);
    EXPECT_EQ(FindStellarRecordByDec(4.0), 1);
    // A file of as many records opened in the open one's place without closing the level (as
    // a fixture may) is not answered from the earlier file's table.
    std::vector<StellarStarEntry> shifted = Band(84, 2);
    for (StellarStarEntry& star : shifted) star.decDegrees = static_cast<std::int8_t>(star.decDegrees + 2);
    WriteLevel(2, shifted);  // -78 .. +88 degrees: the second record starts at +6
    ASSERT_TRUE(OpenDb(stellarDb, kCreatorStellarLevel, kTypeCodeQvn1, 0, kDataFolder, kStellarLevelFiles[2]));
    EXPECT_EQ(FindStellarRecordByDec(4.0), 0);
    EXPECT_EQ(FindStellarRecordByDec(6.0), 1);
}

TEST_F(StellarLevelTest, NoLevelFileAtAll) {
    preferences.word[pref::stellarCatalogChoice] = 4;
    EXPECT_EQ(SelectStarCatalogLevel(5), 0);
    EXPECT_EQ(SelectStarCatalogLevel(kStarLookupHip), 0);
    EXPECT_EQ(starCatalogLevel, kStarLevelNone);
    EXPECT_EQ(IsStellarDbOpen(), 0);
    EXPECT_EQ(GetStellarStarCount(), 0);
    EXPECT_EQ(FindStellarRecordByDec(10.0), -1);
    StellarStarEntry e;
    EXPECT_EQ(GetHipparcosStar(32349, &e), 0);
    EXPECT_EQ(GetTychoStar(123400056, &e), 0);
    EXPECT_TRUE(Messages().empty()) << "nothing installed is no fallback to report";
    EXPECT_EQ(GetStellarStar(0, &e), 0);
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Database Hipparchos isn't open!\n"}));
}
