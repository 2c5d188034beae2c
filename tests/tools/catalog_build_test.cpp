// Builds the data folder from a tiny fixture of each source format and reads the files
// back through the program's own database layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "catalog/star_tables.h"
#include "core/settings.h"
#include "support/recorded_reports.h"
#include "platform/paths.h"
#include "catalog/chart_buffers.h"
#include "tools/catalog_builder/builder.h"
#include "tools/catalog_builder/inputs.h"
#include "tools/catalog_builder/writer.h"

namespace cb = catalog_builder;
namespace fs = std::filesystem;

namespace {

fs::path FixtureFolder() { return fs::path(VELKARION_TEST_DATA) / "tools"; }

cb::BuildInput ReadFixtures() {
    cb::SourcePaths paths;
    paths.brightStarCatalog = FixtureFolder() / "BSC";
    paths.arcLines = FixtureFolder() / "constellations";
    paths.d3Data = FixtureFolder() / "d3";
    paths.openNgc = FixtureFolder() / "openngc.tsv";
    paths.stellariumDso = FixtureFolder() / "stellarium" / "catalog.dat";
    paths.stellariumStars = FixtureFolder() / "stellarium";
    paths.towns = FixtureFolder() / "towns" / "cityMap.json";
    paths.zoneinfo = FixtureFolder() / "zoneinfo";
    paths.nomenclature = FixtureFolder() / "planets" / "nomenclature.dat";
    paths.marsMarkers = FixtureFolder() / "planets" / "mars_markers";
    paths.minorBodies = {FixtureFolder() / "planets" / "minor.ini"};
    cb::BuildInput in;
    std::string error;
    EXPECT_TRUE(cb::ReadSources(paths, in, nullptr, error)) << error;
    return in;
}

struct Header {
    std::uint32_t version = 0, creator = 0, count = 0, size = 0;
};

// All records of a data file, read through the database layer.
std::vector<std::vector<std::uint8_t>> ReadAll(const char* file, std::uint32_t creator, Header* header = nullptr) {
    RecordFilePtr db;
    EXPECT_TRUE(OpenDb(db, creator, kTypeCodeQvn1, 0, kDataFolder, file)) << file;
    std::vector<std::vector<std::uint8_t>> records;
    if (!db) return records;
    if (header) *header = {db->version, db->creator, db->recordCount, db->recordSize};
    int n = GetDbRecordCount(db, 1);
    for (int i = 0; i < n; ++i) {
        std::vector<std::uint8_t> r(db->recordSize);
        EXPECT_EQ(GetDbRecord(db, static_cast<std::uint16_t>(i), r.data(), r.size()), 1);
        records.push_back(std::move(r));
    }
    CloseDb(db);
    return records;
}

std::string NameAt(const std::vector<std::uint8_t>& r, std::size_t at, std::size_t size) {
    std::string s(reinterpret_cast<const char*>(r.data() + at), size);
    return s.substr(0, s.find('\0'));
}

class CatalogBuildTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("vk-catalog-build-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        built_ = cb::BuildCatalogs(ReadFixtures());
        std::string error;
        ASSERT_TRUE(cb::WriteDataFolder(built_, root_ / "data", "test sources\n", nullptr, error)) << error;
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    void SetUp() override { EnterCatalogState(root_, root_ / "home"); }
    void TearDown() override { LeaveCatalogState(); }

    static inline fs::path root_;
    static inline cb::BuildOutput built_;
};

TEST_F(CatalogBuildTest, EveryFileHasItsCreatorCodeVersionAndRecordSize) {
    struct Expect {
        const char* file;
        std::uint32_t creator, version, size;
        bool empty;
    };
    const Expect files[] = {
        {kDefaultStarsFile, kCreatorDefaultStars, 0, 44, false},
        {kBrightStarFile, kCreatorBrightStars, 0, 20, false},
        {kConstellationFile, kCreatorConstellationLines, 0, 8, false},
        {kObjects18kFile, kCreatorObjects, 26, 44, false},
        {kObjects1kFile, kCreatorObjects, 26, 44, false},
        {kObjectIndexFile, kCreatorObjectIndex, 0, 300, false},
        {kCrossReferenceFile, kCreatorCrossReferences, 0, cb::kCrossReferenceRecordSize, false},
        {kDescriptionsFile, kCreatorDescriptions, 0, 0, true},
        {kMoonFile, kCreatorMoon, 24, kMoonFeatureRecordSize, false},
        {kMarsFile, kCreatorMars, 0, kMarsFeatureRecordSize, false},
        {kCometFile, kCreatorComets, 0, kCometRecordSize, false},
        {kSatelliteFile, kCreatorSatellites, 0, 0, true},
        {kUserObjectFile, kCreatorUserObjects, 0, 0, true},
        {kEyepieceFile, kCreatorEyepieces, 0, 0, true},
        {kLocationFile, kCreatorLocations, 0, 64, false},
        {kCameraLogFile, kCreatorCameraLog, 0, 0, true},
        {"velkarion_hr.ppc", kCreatorStellarLevel, 0, 42 * 12, false},
        {"velkarion_hip_16k.ppc", kCreatorStellarLevel, 0, 42 * 12, false},
        {"velkarion_hip_110k.ppc", kCreatorStellarLevel, 0, 42 * 12, false},
        {"velkarion_tycho_390k.ppc", kCreatorStellarLevel, 0, 42 * 12, false},
        {kHrIndexFile, kCreatorHrIndex, 0, 84, false},
        {kHipIndexFile, kCreatorHipIndex, 0, 84, false},
        {kTychoIndexFile, kCreatorTychoIndex, 0, 8, true},
    };
    for (const Expect& e : files) {
        Header h;
        auto records = ReadAll(e.file, e.creator, &h);
        EXPECT_EQ(h.creator, e.creator) << e.file;
        EXPECT_EQ(h.version, e.version) << e.file;
        EXPECT_EQ(h.size, e.size) << e.file;
        EXPECT_EQ(records.empty(), e.empty) << e.file;
    }
    EXPECT_TRUE(fs::exists(root_ / "data" / "SOURCES"));
    EXPECT_FALSE(fs::exists(root_ / "data" / "velkarion_tycho_2500k.ppc")) << "no source";
}

TEST_F(CatalogBuildTest, MoonAndMarsFeaturesAndCometsOpenThroughTheProgramsDatabases) {
    ASSERT_EQ(OpenCatalogDatabases(1), 1);
    // Eight near-side features of the gazetteer fixture, each stored twice.
    EXPECT_EQ(GetMoonFeatureCount(), 8);
    MoonFeatureRecord moon;
    ASSERT_EQ(GetMoonFeature(8, &moon), 1);  // the first by place: the westernmost
    EXPECT_STREQ(moon.name, "Oceanus Procellarum");
    // Every kind is one run: the landing sites are the marker file's one and the six later.
    int first = 0, count = 0;
    ASSERT_GE(FindMarsFeatureRun(cb::kMarsLandingKind, &first, &count), 0);
    EXPECT_EQ(count, 7);
    MarsFeatureRecord mars;
    for (int i = first; i < first + count; ++i) {
        ASSERT_EQ(GetMarsFeature(i, &mars), 1);
        EXPECT_EQ(mars.kind, cb::kMarsLandingKind) << mars.name;
        EXPECT_EQ(mars.sizeKm, 0) << mars.name;
    }
    ASSERT_GE(FindMarsFeatureRun(2, &first, &count), 0);
    EXPECT_EQ(count, 1);  // Gale; López is under 100 km
}

TEST_F(CatalogBuildTest, NamedStarsCarryMagnitudeColourAndDesignation) {
    auto stars = ReadAll(kDefaultStarsFile, kCreatorDefaultStars);
    ASSERT_EQ(stars.size(), 12u);  // the fixture holds fewer stars than the table
    for (std::size_t i = 1; i < stars.size(); ++i) EXPECT_LT(le::I16(stars[i - 1].data(), 0), le::I16(stars[i].data(), 0));

    struct Expect {
        int hr;
        float magnitude;
        int colour;  // B−V in tenths
        int constellation, flamsteed;
        char bayer;
        const char* name;
    };
    const Expect expected[] = {
        {2491, -1.44f, 0, 20, 9, 'a', "Sirius"},
        {7001, 0.03f, 0, 52, 3, 'a', "Vega"},
        {424, 2.02f, 6, 84, 1, 'a', "Polaris"},
        {2061, 0.50f, 15, 60, 58, 'a', "Betelgeuse"},
    };
    ASSERT_EQ(OpenCatalogDatabases(1), 1);
    ASSERT_EQ(LoadStarTable(0), 1);
    for (const Expect& e : expected) {
        auto it = std::find_if(stars.begin(), stars.end(), [&](const auto& r) { return le::I16(r.data(), 0) == e.hr; });
        ASSERT_NE(it, stars.end()) << e.hr;
        const std::uint8_t* r = it->data();
        EXPECT_NEAR(le::I16(r, 12) / 16.0, e.magnitude, 1.0 / 32) << e.name;
        EXPECT_EQ(le::I16(r, 14), e.colour) << e.name;
        EXPECT_EQ(le::I16(r, 2), e.constellation) << e.name;
        EXPECT_EQ(r[16], e.flamsteed) << e.name;
        EXPECT_EQ(r[17], static_cast<std::uint8_t>(e.bayer)) << e.name;
        BrightStarRecord named;
        int at = FindBrightStar(e.hr, &named);
        ASSERT_GE(at, 0) << e.name;
        EXPECT_STREQ(named.name, e.name);
        EXPECT_LT(at, GetBrightStarCount()) << "found in the name half";
    }
    // A star without a proper name is named by its designation, one without any by HR.
    BrightStarRecord named;
    ASSERT_GE(FindBrightStar(5459, &named), 0);
    EXPECT_STREQ(named.name, "Rigil Kentaurus");
    ASSERT_GE(FindBrightStar(5958, &named), 0);
    EXPECT_STREQ(named.name, "HR 5958");
}

TEST_F(CatalogBuildTest, BrightStarNamesAreSortedByNameThenByNumber) {
    auto names = ReadAll(kBrightStarFile, kCreatorBrightStars);
    auto stars = ReadAll(kDefaultStarsFile, kCreatorDefaultStars);
    ASSERT_EQ(names.size(), 2 * stars.size());
    const std::size_t n = stars.size();
    for (std::size_t i = 1; i < n; ++i)
        EXPECT_LE(std::strcmp(NameAt(names[i - 1], 0, 18).c_str(), NameAt(names[i], 0, 18).c_str()), 0);
    for (std::size_t i = n + 1; i < 2 * n; ++i) {
        int a = le::I16(stars[static_cast<std::size_t>(le::I16(names[i - 1].data(), 18))].data(), 0);
        int b = le::I16(stars[static_cast<std::size_t>(le::I16(names[i].data(), 18))].data(), 0);
        EXPECT_LT(a, b);
    }
}

TEST_F(CatalogBuildTest, LineEndsAreStarsOfTheTable) {
    auto stars = ReadAll(kDefaultStarsFile, kCreatorDefaultStars);
    auto lines = ReadAll(kConstellationFile, kCreatorConstellationLines);
    std::map<int, int> perSet;
    for (const auto& l : lines) {
        ConstellationLineRecord r;
        DecodeConstellationLineRecord(l.data(), r);
        ++perSet[r.set];
        for (int end : {r.value[1], r.value[2]}) {
            EXPECT_GE(end, 0);
            EXPECT_LT(end, static_cast<int>(stars.size()));
        }
        EXPECT_NE(r.value[1], r.value[2]);
        EXPECT_EQ(r.value[0], 60);  // every fixture line lies in Orion
    }
    // Set 0: the five-star figure less its repeated segment and the line to nowhere; set 1:
    // three arcs, one of them without stars.
    EXPECT_EQ(perSet[0], 4);
    EXPECT_EQ(perSet[1], 3);
    EXPECT_EQ(built_.report.lineSegmentsDropped[0], 1);
    EXPECT_EQ(built_.report.duplicateLinesDropped[0], 1);
    EXPECT_EQ(built_.report.lineSegmentsDropped[1], 1);
    ASSERT_EQ(OpenCatalogDatabases(1), 1);
    ASSERT_EQ(LoadStarTable(0), 1);
    EXPECT_EQ(LoadConstellationLines(0), 1);
    EXPECT_EQ(constellationLines.size(), 4u);
}

using Key = std::pair<std::uint32_t, std::uint32_t>;

std::map<Key, ObjectRecord> RecordsByKey(const std::vector<std::vector<std::uint8_t>>& objects) {
    std::map<Key, ObjectRecord> byKey;
    for (const auto& o : objects) {
        ObjectRecord r;
        DecodeObjectRecord(o.data(), r);
        byKey[{r.catalog, r.number}] = r;
    }
    return byKey;
}

TEST_F(CatalogBuildTest, ObjectsComeFromEverySourceSortedByCatalogAndNumber) {
    auto objects = ReadAll(kObjects18kFile, kCreatorObjects);
    std::vector<Key> keys;
    for (const auto& o : objects) keys.push_back({le::U32(o.data(), 0), le::U32(o.data(), 4)});
    EXPECT_TRUE(std::adjacent_find(keys.begin(), keys.end(), std::greater_equal<>()) == keys.end()) << "sorted, unique";
    const auto byKey = RecordsByKey(objects);
    // OpenNGC and the other sources as before; from the deep-sky catalogue the objects they
    // lack (NGC 6991, which OpenNGC has without a place; Trumpler 14 with its Collinder and
    // van den Bergh-Hagen numbers; Stock 2; Ruprecht 44; the Coma cluster; a UGC galaxy) and
    // further designations (Sh2 281 of the Orion Nebula).
    for (Key k : std::vector<Key>{{2, 33},   {9, 99},   {29, 434}, {34, 1622}, {42, 224}, {42, 1976}, {42, 6991},
                                  {52, 281}, {11, 230}, {59, 14},  {65, 102},  {56, 2},   {48, 44},   {1, 1656},
                                  {61, 3580}, {51, 28353}, {39, 22}})
        EXPECT_TRUE(byKey.count(k)) << k.first << " " << k.second;
    EXPECT_FALSE(byKey.count({61, 454})) << "the UGC number of an NGC galaxy is a cross reference only";

    auto at = [&](std::uint32_t catalog, std::uint32_t number) { return byKey.at({catalog, number}); };
    const ObjectRecord m31 = at(42, 224);
    EXPECT_EQ(m31.type, 16);
    EXPECT_EQ(m31.constellation, 0);                    // Andromeda
    EXPECT_NEAR(m31.ra, 10.6847916666667 / 15, 1e-6);  // OpenNGC's place
    EXPECT_NEAR(m31.dec, 41.2690555555556, 1e-5);
    EXPECT_FLOAT_EQ(m31.magnitude, 4.36f);
    EXPECT_FLOAT_EQ(m31.sizeA, 177.83f);
    EXPECT_EQ(m31.morphology, 252);  // "Sb", from the other source's SA(s)b
    EXPECT_EQ(m31.flag, 35) << "OpenNGC's position angle before the catalogue's 45";
    EXPECT_NEAR(m31.distance * 0.014084507, 778.0, 0.01) << "778 kpc, shown as 778 kpc";
    EXPECT_EQ(at(42, 5866).flag, 126);
    EXPECT_FLOAT_EQ(at(42, 5866).magnitude, 10.74f);
    EXPECT_GT(at(42, 5866).distance, 0.0f);
    EXPECT_EQ(at(42, 869).flag, 0) << "no angle in any source";
    EXPECT_EQ(at(42, 2070).type, 11) << "cluster with nebulosity in the LMC";
    EXPECT_EQ(at(51, 28353).type, 31) << "M40 is a double star";
    const ObjectRecord dup = at(42, 3190);
    EXPECT_EQ(dup.type, at(42, 3189).type);
    EXPECT_FLOAT_EQ(dup.ra, at(42, 3189).ra);

    // No dark nebula has a magnitude, whatever its sources wrote there.
    for (const auto& [key, o] : byKey) {
        if (o.type == 21) {
            EXPECT_FLOAT_EQ(o.magnitude, 0.0f) << key.first << " " << key.second;
        }
    }
    EXPECT_EQ(at(34, 1622).type, 21);
    EXPECT_EQ(at(2, 33).type, 21);

    const ObjectRecord ngc6991 = at(42, 6991);
    EXPECT_EQ(ngc6991.type, 6);
    EXPECT_NEAR(ngc6991.ra, 20.915, 1e-4);
    EXPECT_FLOAT_EQ(ngc6991.magnitude, 0.0f) << "no source has a magnitude";
    const ObjectRecord tr14 = at(59, 14);
    EXPECT_FLOAT_EQ(tr14.ra, at(11, 230).ra);
    EXPECT_FLOAT_EQ(tr14.magnitude, 5.5f);
    EXPECT_NEAR(at(1, 1656).ra, 12.9969, 1e-3);

    // The small file: list objects, then NGC and IC objects with a magnitude.
    for (const auto& o : ReadAll(kObjects1kFile, kCreatorObjects))
        EXPECT_TRUE(byKey.count({le::U32(o.data(), 0), le::U32(o.data(), 4)}));
}

TEST_F(CatalogBuildTest, FixedListsResolveThroughTheCatalogLayer) {
    ASSERT_EQ(OpenCatalogDatabases(1), 1);
    ObjectRef o;
    ASSERT_EQ(GetMessierObject(0, &o), 1);  // M1
    EXPECT_EQ(std::make_pair(o.catalog, o.number), std::make_pair(42u, 1952u));
    ASSERT_EQ(GetMessierObject(30, &o), 1);  // M31
    EXPECT_EQ(std::make_pair(o.catalog, o.number), std::make_pair(42u, 224u));
    ASSERT_EQ(GetMessierObject(44, &o), 1);  // M45
    EXPECT_EQ(std::make_pair(o.catalog, o.number), std::make_pair(39u, 22u));
    ASSERT_EQ(GetCaldwellObject(13, &o), 1);  // C14
    EXPECT_EQ(std::make_pair(o.catalog, o.number), std::make_pair(42u, 869u));
    ASSERT_EQ(GetCaldwellObject(98, &o), 1);  // C99, the Coalsack
    EXPECT_EQ(std::make_pair(o.catalog, o.number), std::make_pair(9u, 99u));
}

TEST_F(CatalogBuildTest, CrossReferencesAreSortedAndNameObjectsAndStars) {
    Header h;
    auto refs = ReadAll(kCrossReferenceFile, kCreatorCrossReferences, &h);
    ASSERT_GT(refs.size(), 1u);
    EXPECT_EQ(std::vector<std::uint8_t>(refs[0].size(), 0), refs[0]) << "record 0 is no entry";
    std::map<std::pair<int, std::uint32_t>, const std::vector<std::uint8_t>*> byKey;
    for (std::size_t i = 1; i < refs.size(); ++i) {
        auto key = std::make_pair(static_cast<int>(le::I16(refs[i].data(), 0)), le::U32(refs[i].data(), 8));
        if (i > 1) {
            auto prev = std::make_pair(static_cast<int>(le::I16(refs[i - 1].data(), 0)), le::U32(refs[i - 1].data(), 8));
            EXPECT_LT(prev, key);
        }
        byKey[key] = &refs[i];
    }
    auto other = [&](int catalog, std::uint32_t number, int slot) {
        const auto& r = *byKey.at({catalog, number});
        return std::make_pair(static_cast<int>(le::I16(r.data(), 2 + 2 * slot)), le::U32(r.data(), 12 + 4 * slot));
    };
    // The stored name keeps one trailing character that the reader drops.
    auto name = [&](int catalog, std::uint32_t number) {
        std::string s = NameAt(*byKey.at({catalog, number}), 24, cb::kCrossReferenceNameSize);
        return s.empty() ? s : s.substr(0, s.size() - 1);
    };
    EXPECT_EQ(other(40, 1, 0), std::make_pair(42, 1952u));
    EXPECT_EQ(other(42, 1952, 0), std::make_pair(40, 1u));
    EXPECT_EQ(other(40, 31, 0), std::make_pair(42, 224u));
    EXPECT_EQ(other(9, 14, 0), std::make_pair(42, 869u));
    EXPECT_EQ(other(40, 45, 0), std::make_pair(39, 22u));
    EXPECT_EQ(other(42, 3190, 0), std::make_pair(42, 3189u)) << "duplicate designation";
    EXPECT_EQ(other(59, 14, 0), std::make_pair(11, 230u)) << "a further designation names its object";
    auto names = [&](int catalog, std::uint32_t number, std::pair<int, std::uint32_t> wanted) {
        for (int slot = 0; slot < 3; ++slot)
            if (other(catalog, number, slot) == wanted) return true;
        return false;
    };
    EXPECT_TRUE(names(42, 224, {61, 454u})) << "the UGC number of M31, a cross reference only";
    EXPECT_EQ(name(42, 224), "Andromeda Galaxy");
    EXPECT_EQ(name(40, 31), "Andromeda Galaxy");
    EXPECT_EQ(name(42, 869), "h Persei Cluster");
    EXPECT_EQ(name(39, 22), "Pleiades");
    EXPECT_EQ(name(28, 2491), "Sirius");
    EXPECT_EQ(name(28, 2061), "Betelgeuse");
}

TEST_F(CatalogBuildTest, ObjectIndexAscendsByDeclinationAndPointsAtItsRecords) {
    auto objects = ReadAll(kObjects18kFile, kCreatorObjects);
    auto index = ReadAll(kObjectIndexFile, kCreatorObjectIndex);
    ASSERT_FALSE(index.empty());
    std::int32_t last = INT32_MIN;
    std::set<Key> indexed;
    for (const auto& rec : index) {
        for (int k = 0; k < kObjectIndexEntriesPerRecord; ++k) {
            ObjectIndexEntry e;
            DecodeObjectIndexEntry(rec.data() + k * kObjectIndexEntrySize, e);
            EXPECT_GE(e.dec, last);
            last = e.dec;
            if (e.limit == 32767) continue;  // filler of the last zone
            EXPECT_TRUE(indexed.insert({static_cast<std::uint32_t>(e.catalog), e.number}).second) << "drawn once";
            const auto& o = objects.at(static_cast<std::size_t>(e.selectionNumber));
            EXPECT_EQ(le::U32(o.data(), 0), static_cast<std::uint32_t>(e.catalog));
            EXPECT_EQ(le::U32(o.data(), 4), e.number);
            EXPECT_EQ(e.dec, cb::DegreesToFixed(le::F32(o.data(), 20)));
        }
    }
    // Every object once: a further designation of an object is not drawn a second time.
    const std::vector<Key> further{{42, 3190}, {52, 117}, {52, 281}, {34, 1730}, {59, 14}, {65, 102}};
    for (Key k : further) {
        EXPECT_FALSE(indexed.count(k)) << k.first << " " << k.second;
    }
    EXPECT_EQ(indexed.size(), objects.size() - further.size());
    for (Key own : std::vector<Key>{{42, 3189}, {42, 1976}, {2, 33}, {11, 230}, {42, 6991}, {56, 2}}) {
        EXPECT_TRUE(indexed.count(own)) << own.first << " " << own.second;
    }
}

TEST_F(CatalogBuildTest, StellarLevelsHoldTheStarsAndTheirIndexesFindThem) {
    EXPECT_EQ(built_.levels[0].size(), 12u) << "every star of the Bright Star Catalogue fixture";
    EXPECT_FALSE(built_.levels[1].empty());
    EXPECT_EQ(built_.levels[4].size(), built_.levels[1].size()) << "the fixture holds fewer than 16000 stars";
    EXPECT_EQ(built_.levels[5].size(), 14u) << "every star of both star file fixtures";
    EXPECT_TRUE(built_.levels[6].empty());

    const int saved = preferences.word[pref::stellarCatalogChoice];
    preferences.word[pref::stellarCatalogChoice] = 4;
    ASSERT_EQ(OpenCatalogDatabases(1), 1);
    EXPECT_EQ(starCatalogLevel, 4) << "the default Card Catalog, opened with the set";
    StellarStarEntry e;
    ASSERT_EQ(SelectStarCatalogLevel(kStarLookupHip), 1);
    ASSERT_EQ(GetHipparcosStar(32349, &e), 1) << "HIP 32349 is Sirius";
    // Sirius at 6h45m08.9s, -16d42'58": whole seconds of time and arc.
    EXPECT_EQ(std::make_tuple(e.raHours, e.raMinutes, e.raSeconds), std::make_tuple(6, 45, 9));
    EXPECT_EQ(std::make_tuple(e.decDegrees, e.decMinutes, e.decSeconds), std::make_tuple(-16, -42, -58));
    EXPECT_EQ(e.magnitude, 0) << "brighter than magnitude 0";
    ASSERT_EQ(SelectStarCatalogLevel(kStarLookupHr), 1);
    ASSERT_EQ(GetHipparcosStar(7001, &e), 1) << "HR 7001 is Vega";
    EXPECT_EQ(std::make_tuple(e.raHours, e.raMinutes), std::make_tuple(18, 36));
    EXPECT_EQ(e.decDegrees, 38);
    ASSERT_EQ(SelectStarCatalogLevel(kStarLookupTycho), 1);
    EXPECT_EQ(starCatalogLevel, kStarLevelTycho390k);
    EXPECT_EQ(GetTychoStar(123400056, &e), 0) << "the source has no Tycho numbers";
    EXPECT_TRUE(ReportTexts().empty());
    // Every level file is sorted by declination.
    for (int level : {0, 1, 4, 5}) {
        preferences.word[pref::stellarCatalogChoice] = level == 0 ? 1 : level;
        ASSERT_EQ(SelectStarCatalogLevel(level == 0 ? kStarLookupHr : 5), 1);
        double last = -91.0;
        for (int i = 0; i < GetStellarStarCount(); ++i) {
            ASSERT_EQ(GetStellarStar(i, &e), 1);
            EXPECT_GE(StellarEntryDeclination(e), last) << level << " " << i;
            last = StellarEntryDeclination(e);
        }
    }
    preferences.word[pref::stellarCatalogChoice] = saved;
}

TEST_F(CatalogBuildTest, LocationsAreTownsByCountryWithTheirZonesStandardOffset) {
    auto records = ReadAll(kLocationFile, kCreatorLocations);
    std::vector<LocationRecord> towns;
    for (const auto& r : records) {
        LocationRecord l;
        DecodeLocationRecord(r.data(), l);
        towns.push_back(l);
    }
    // Sydney in Canada and Chaghcharan are below 50000 people.
    ASSERT_EQ(towns.size(), 5u);
    const char* expected[][2] = {{"Australia", "Adelaide"}, {"Australia", "Sydney"}, {"France", "Paris"},
                                 {"Nepal", "Kathmandu"},     {"United States of Amer", "New York"}};
    for (std::size_t i = 0; i < towns.size(); ++i) {
        EXPECT_STREQ(towns[i].country, expected[i][0]);
        EXPECT_STREQ(towns[i].town, expected[i][1]);
    }
    EXPECT_STREQ(towns[2].countryCode, "FR");
    EXPECT_NEAR(towns[2].latitude, 48.867, 0.01);
    EXPECT_NEAR(towns[2].longitude, 2.333, 0.01) << "stored east positive";
    EXPECT_EQ(towns[2].zoneMinutes, 60);
    EXPECT_EQ(towns[0].zoneMinutes, 570);
    EXPECT_EQ(towns[3].zoneMinutes, 345);
    EXPECT_EQ(towns[4].zoneMinutes, -300);

    LocationRecord paris;
    ASSERT_EQ(GetLocationRecord(2, &paris), 1);
    EXPECT_NEAR(paris.longitude, -2.333, 0.01) << "the site keeps longitudes positive west";
    EXPECT_EQ(GetLocationRecord(5, &paris), 0);
}

TEST(CatalogBuild, TownsWhoseZoneTheMachineLacksAreLeftOutAndCounted) {
    cb::BuildInput in;
    in.towns = {{"Here", "Land", "LA", 1.0, 2.0, 60000, "Nowhere/Zone"}, {"There", "Land", "LA", 1.0, 2.0, 60000, "UTC"}};
    in.zoneOffsets["UTC"] = 0;
    cb::BuildOutput out = cb::BuildCatalogs(in);
    ASSERT_EQ(out.locations.size(), 1u);
    EXPECT_EQ(out.locations[0].town, "There");
    EXPECT_EQ(out.report.townsWithoutZone, 1);
}

TEST(CatalogBuild, FixedPointAnglesTruncateAsTheStarTableDoes) {
    EXPECT_EQ(cb::HoursToFixed(12.0), 52707178);
    EXPECT_EQ(cb::DegreesToFixed(-30.0), -8784529);
}

TEST(CatalogBuild, TheStarTableKeepsFigureStarsBeforeBrighterOnes) {
    cb::BuildInput in = ReadFixtures();
    in.starTableSize = 8;
    cb::BuildOutput out = cb::BuildCatalogs(in);
    std::vector<int> hr;
    for (const cb::Star& s : out.stars) hr.push_back(s.hr);
    // The seven stars of both figures (Meissa, at 3.4, among them), then the brightest other
    // star, Sirius; Vega, Alpha Centauri and Polaris are left out.
    EXPECT_EQ(hr, (std::vector<int>{1713, 1790, 1852, 1879, 1903, 1948, 2061, 2491}));
    for (const cb::Line& l : out.lines) {
        EXPECT_LT(l.star1, 8);
        EXPECT_LT(l.star2, 8);
    }
}

}  // namespace
