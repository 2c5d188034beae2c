// The Moon, Mars and minor-body databases built from source fixtures cut from the real
// files, read back through the record layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "core/calendar.h"
#include "tools/catalog_builder/builder.h"
#include "tools/catalog_builder/planet_features.h"
#include "tools/catalog_builder/writer.h"

namespace cb = catalog_builder;

namespace {

std::string Fixture(const char* name) {
    std::ifstream f(std::string(VELKARION_TEST_DATA) + "/tools/planets/" + name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<cb::GazetteerFeature> Gazetteer() {
    std::vector<cb::GazetteerFeature> g;
    std::string error;
    EXPECT_TRUE(cb::ReadGazetteer(Fixture("nomenclature.dat"), g, error)) << error;
    return g;
}

const cb::GazetteerFeature& Named(const std::vector<cb::GazetteerFeature>& g, const std::string& name) {
    return *std::find_if(g.begin(), g.end(), [&](const cb::GazetteerFeature& f) { return f.name == name; });
}

// The file written by the builder, read back record by record.
template <typename Record>
std::vector<Record> ReadBack(const std::filesystem::path& path, int recordSize, void (*decode)(const std::uint8_t*, Record&),
                             std::uint32_t* version = nullptr) {
    RecordFileImage image;
    EXPECT_TRUE(ReadRecordFileImage(path, image)) << path;
    if (version) *version = image.version;
    std::vector<Record> out(image.Count());
    for (std::size_t i = 0; i < out.size(); ++i) decode(image.Record(static_cast<std::uint32_t>(i)), out[i]);
    EXPECT_EQ(image.recordSize, static_cast<std::uint32_t>(recordSize));
    return out;
}

class PlanetDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("vk_planets_" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
};

TEST(PlanetFeatureReaders, ReadTheFixturesAndSkipBrokenLines) {
    std::vector<cb::GazetteerFeature> g;
    std::string error;
    int skipped = 0;
    ASSERT_TRUE(cb::ReadGazetteer(Fixture("nomenclature.dat") + "Moon\tx\t_(\"Broken\",\"crater\")\tAA\tnorth\t1\t2\n", g,
                                  error, &skipped));
    EXPECT_EQ(g.size(), 21u);
    EXPECT_EQ(skipped, 1);
    EXPECT_EQ(Named(g, "Büsching").code, "AA");

    std::vector<cb::LandingSite> landers;
    ASSERT_TRUE(cb::ReadLandingMarkers(Fixture("mars_markers"), landers, error)) << error;
    ASSERT_EQ(landers.size(), 1u);  // neither the crater nor the pole
    EXPECT_EQ(landers[0].name, "Viking 1 Lander");
    EXPECT_NEAR(landers[0].longitude, -47.97, 1e-9);  // 47.97 W

    std::vector<cb::MinorBody> bodies;
    ASSERT_TRUE(cb::ReadMinorBodies(Fixture("minor.ini"), bodies, error)) << error;
    EXPECT_EQ(bodies.size(), 4u);
    EXPECT_TRUE(std::any_of(bodies.begin(), bodies.end(), [](const cb::MinorBody& b) { return b.name == "C/Alcock (1959f=1959VI)"; }));

    EXPECT_FALSE(cb::ReadGazetteer("# nothing\n", g = {}, error));
}

TEST(PlanetFeatures, MoonKeepsTheNearSideKindsAndStoresLatitudeNegated) {
    const auto g = Gazetteer();
    const auto moon = cb::BuildMoonFeatures(g);
    std::vector<std::string> names;
    for (const auto& r : moon) names.push_back(r.name);
    // Korolev lies on the far side; the rille and the satellite feature are other kinds.
    const std::vector<std::string> expected = {"Andel", "B\xFCsching", "Catena Littrow", "Lacus Somniorum",
                                               "Mare Crisium", "Montes Apenninus", "Oceanus Procellarum", "Tycho"};
    EXPECT_EQ(names, expected);
    const auto tycho = *std::find_if(moon.begin(), moon.end(), [](const MoonFeatureRecord& r) { return std::strcmp(r.name, "Tycho") == 0; });
    EXPECT_EQ(tycho.kind, 2);
    EXPECT_NEAR(tycho.latitude, 43.2958, 1e-4);
    EXPECT_NEAR(tycho.longitude, 348.7847 - 360.0, 1e-4);
    EXPECT_NEAR(tycho.column, 480.0 * (1.0 + std::sin(tycho.longitude * M_PI / 180) * std::cos(43.2958 * M_PI / 180)), 0.51);
    EXPECT_NEAR(tycho.row, 480.0 * (1.0 + std::sin(43.2958 * M_PI / 180)), 0.51);
    EXPECT_EQ(tycho.radius, std::lround(85.2938 / 2 / 1737.4 * 480));
}

TEST(PlanetFeatures, MoonCapKeepsEveryOtherKindThenTheLargestCraters) {
    std::vector<cb::GazetteerFeature> g;
    for (int i = 0; i < 20; ++i) g.push_back({"Moon", "Mare " + std::to_string(i), "ME", 0.0, 10.0, 300.0});
    for (int i = 0; i < 600; ++i) g.push_back({"Moon", "Crater " + std::to_string(i), "AA", 1.0, 20.0, 1.0 + i});
    const auto moon = cb::BuildMoonFeatures(g);
    ASSERT_EQ(moon.size(), 500u);
    EXPECT_EQ(std::count_if(moon.begin(), moon.end(), [](const MoonFeatureRecord& r) { return r.kind == 12; }), 20);
    float smallest = 1e9f;
    for (const auto& r : moon)
        if (r.kind == 2) smallest = std::min(smallest, r.diameter);
    EXPECT_EQ(smallest, 121.0f);  // craters 600 down to 121: 480 of them
}

TEST(PlanetFeatures, MarsKeepsBigCratersOtherKindsAndLandersGroupedByKind) {
    const auto g = Gazetteer();
    std::vector<cb::LandingSite> landers = {{"Viking 1 Lander", 22.27, -47.97}};
    const auto mars = cb::BuildMarsFeatures(g, landers);
    std::vector<std::string> names;
    for (const auto& r : mars) names.push_back(r.name);
    // López is a crater under 100 km; the vallis and the albedo feature are other kinds.
    const std::vector<std::string> expected = {"Olympus Mons",    "Gale",            "Hellas Planitia", "Syrtis Major Planum",
                                               "Viking 1 Lander", "Coprates Catena", "Ius Chasma",      "Arabia Terra"};
    EXPECT_EQ(names, expected);
    EXPECT_TRUE(std::is_sorted(mars.begin(), mars.end(),
                               [](const MarsFeatureRecord& a, const MarsFeatureRecord& b) { return a.kind < b.kind; }));
    const MarsFeatureRecord& olympus = mars[0];
    EXPECT_NEAR(olympus.longitude, 226.1975 - 360.0, 1e-4);
    EXPECT_EQ(olympus.x, static_cast<int>((226.1975 - 360.0 + 180.0) / 360.0 * 640));
    EXPECT_EQ(olympus.y, static_cast<int>((90.0 - 18.6528) / 180.0 * 320));
    EXPECT_EQ(mars[4].kind, cb::kMarsLandingKind);
    EXPECT_EQ(mars[4].sizeKm, 0);
}

TEST(MinorBodies, PerihelionOfAnAsteroidFromItsEpochAndMeanAnomaly) {
    // 1998 VF31: the source's own mean motion 0.52378364 degrees a day gives the same date.
    EXPECT_NEAR(cb::PerihelionJdOfMeanAnomaly(2457600.5, 46.17851, 1.5241747), 2457600.5 - 46.17851 / 0.52378364, 0.02);
    // Past 180 degrees the next perihelion is nearer.
    const double n = 0.9856076686;  // a = 1
    EXPECT_NEAR(cb::PerihelionJdOfMeanAnomaly(2451545.0, 300.0, 1.0), 2451545.0 + 60.0 / n, 1e-9);
}

TEST(MinorBodies, CometsAndAsteroidsWithTheirMagnitudesSortedByKind) {
    std::vector<cb::MinorBody> bodies;
    std::string error;
    ASSERT_TRUE(cb::ReadMinorBodies(Fixture("minor.ini"), bodies, error));
    int skipped = 0;
    const auto records = cb::BuildCometRecords(bodies, &skipped);
    EXPECT_EQ(skipped, 1);  // the spacecraft
    ASSERT_EQ(records.size(), 3u);
    EXPECT_STREQ(records[0].name, "1P/Halley (2061)");
    EXPECT_STREQ(records[1].name, "C/Alcock (1959f=1959VI)");
    EXPECT_STREQ(records[2].name, "1998 VF31");
    EXPECT_EQ(records[0].kind, 13u);
    EXPECT_EQ(records[2].kind, 18u);
    EXPECT_EQ(records[1].eccentricity, 1.0f);
    // Alcock: slope 4 in the list's 2.5 n log r form.
    const auto alcock = std::find_if(bodies.begin(), bodies.end(), [](const cb::MinorBody& b) { return b.eccentricity == 1.0; });
    EXPECT_FLOAT_EQ(records[1].magnitude2, static_cast<float>(2.5 * alcock->slope));
    // The perihelion date splits into year, month and day with its fraction.
    const double jd = DateTimeToJD(records[1].year, records[1].month, static_cast<int>(records[1].perihelionDay), 0, 0, 0, 0) +
                      (records[1].perihelionDay - std::floor(records[1].perihelionDay));
    EXPECT_NEAR(jd, 2436827.38030, 1e-3);
    const auto& vf31 = records[2];
    EXPECT_NEAR(vf31.perihelionDistance, 1.5241747 * (1 - 0.1004355), 1e-5);
    EXPECT_NEAR(vf31.magnitude1, 17.2, 1e-5);
    EXPECT_NEAR(vf31.magnitude2, 0.15, 1e-6);
}

TEST_F(PlanetDatabases, WrittenFilesReadBackInTheirOrders) {
    cb::BuildOutput built;
    built.moonFeatures = cb::BuildMoonFeatures(Gazetteer());
    built.marsFeatures = cb::BuildMarsFeatures(Gazetteer(), cb::LaterLandingSites());
    std::string error;
    ASSERT_TRUE(cb::WriteDataFolder(built, folder, "", nullptr, error)) << error;
    std::uint32_t version = 0;
    const auto moon = ReadBack<MoonFeatureRecord>(folder / kMoonFile, kMoonFeatureRecordSize, DecodeMoonFeatureRecord, &version);
    EXPECT_EQ(version, kMoonFileVersion);
    const std::size_t n = built.moonFeatures.size();
    ASSERT_EQ(moon.size(), 2 * n);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        EXPECT_LT(std::strcmp(moon[i].name, moon[i + 1].name), 0);
        EXPECT_LE(moon[n + i].column, moon[n + i + 1].column);
    }
    const auto mars = ReadBack<MarsFeatureRecord>(folder / kMarsFile, kMarsFeatureRecordSize, DecodeMarsFeatureRecord);
    EXPECT_EQ(mars.size(), built.marsFeatures.size());
    for (const auto& r : mars) {
        EXPECT_GE(r.longitude, -180.0f);
        EXPECT_LE(r.longitude, 180.0f);
    }
}

}  // namespace
