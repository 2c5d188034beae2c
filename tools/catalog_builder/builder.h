#pragma once
// Assembles the program's catalog databases from the parsed sources: the default star
// table with its names and constellation figures, the deep-sky object files with the
// objects the fixed observing lists need, the chart's object index and the cross
// references. Everything here works on plain records in memory; writer.h turns them into
// files.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "catalog/star_tables.h"
#include "tools/catalog_builder/planet_features.h"
#include "tools/catalog_builder/sources.h"
#include "tools/catalog_builder/stellarium.h"
#include "tools/catalog_builder/towns.h"

namespace catalog_builder {

struct BuildInput {
    std::vector<BscStar> brightStars;
    std::vector<HipStar> hipStars;
    std::vector<HipStarName> hipNames;
    std::vector<DsoSource> openNgc;  // NGC and IC; where empty, the other objects' NGC and IC entries serve
    std::vector<DsoSource> objects;  // every catalog; morphology and names fill in OpenNGC's entries
    // The deep-sky catalogue of stellarium-data: distances for all, and magnitudes, sizes,
    // angles and whole catalogues the sources above lack.
    std::vector<CatalogObject> catalogObjects;
    std::vector<MessierEntry> messier;
    std::map<std::string, std::string> objectNames;  // by designation as the source writes it
    std::vector<LineSegment> figureLines;            // line set 0
    std::vector<LineSegment> arcLines;               // line set 1
    std::vector<HipStar> hipparcos;     // every Hipparcos star with a number: the levels 1 to 4
    std::vector<CatalogStar> tycho;     // the Hipparcos and Tycho stars of level 5
    std::vector<Town> towns;
    std::map<std::string, int> zoneOffsets;  // standard offset in minutes by IANA zone
    std::vector<GazetteerFeature> gazetteer;  // Moon and Mars features (other bodies are ignored)
    std::vector<LandingSite> landers;         // the marker file's; the later ones are added
    std::vector<MinorBody> minorBodies;       // comets, asteroids and dwarf planets
    FeatureSkips skipped;                     // lines and bodies the readers could not use
    // The star table's size; the program's table holds exactly this many stars.
    std::size_t starTableSize = kDefaultStarCount;
};

struct Star {
    int hr = 0;
    int hip = 0;  // 0 when no Hipparcos star matched
    double ra = 0.0, dec = 0.0;
    double vmag = 0.0;
    bool hasBv = false;
    double bv = 0.0;
    int constellation = 0;
    int flamsteed = 0;
    int bayer = -1;
    int superscript = 0;
    std::string properName;
};

struct Line {
    int set = 0;
    int constellation = 0;
    int star1 = 0, star2 = 0;  // indexes into the default star table
};

struct StarName {
    std::string name;
    int star = 0;  // index into the default star table
};

struct DeepSkyObject {
    int catalog = 0;
    std::uint32_t number = 0;
    int type = 0;
    int constellation = 0;
    double ra = 0.0, dec = 0.0;
    bool hasMagnitude = false;
    double magnitude = 0.0;
    double sizeA = 0.0, sizeB = 0.0;
    int morphology = 0;
    bool hasAngle = false;
    int angle = 0;  // position angle, whole degrees 0..179
    double distanceKpc = 0.0;  // 0 when unknown
    std::string commonName;
};

struct CrossReference {
    int keyCatalog = 0;
    std::uint32_t keyNumber = 0;
    int otherCatalog[3] = {0, 0, 0};
    std::uint32_t otherNumber[3] = {0, 0, 0};
    std::string name;
};

struct IndexEntry {
    std::uint32_t number = 0;
    int catalog = 0;
    int record = 0;  // the object's record index in the large object file
    std::int32_t ra = 0, dec = 0;  // 8.24 fixed-point angles
    int type = 0;
    int limit = 0;  // magnitude × 10
};

// A star of a stellar level file.
struct LevelStar {
    std::uint32_t number = 0;  // HR or HIP number; 0 where the file's catalogue has none
    double ra = 0.0, dec = 0.0;
    double vmag = 0.0;
    bool hasBv = false;
    double bv = 0.0;
};

// The Hipparcos levels 1 to 4 hold the brightest stars up to these counts; level 4 all.
inline constexpr std::size_t kHipparcosLevelSizes[4] = {16000, 32000, 64000, SIZE_MAX};

// Towns for the location list: those of at least this many people.
inline constexpr double kTownMinimumPopulation = 50000.0;

struct Location {
    std::string country, countryCode, town;
    double latitude = 0.0, longitude = 0.0;  // east positive
    int zoneMinutes = 0;
};

struct BuildReport {
    int brightStarsRead = 0;
    int starsMatchedToHip = 0;
    int lineSegmentsDropped[2] = {0, 0};
    int duplicateLinesDropped[2] = {0, 0};
    int objectsSkipped = 0;  // designations outside the program's catalogs
    int townsWithoutZone = 0;  // towns whose zone the machine's tzdata lacks
    int minorBodiesSkipped = 0;  // bodies without usable elements, spacecraft, repeats
    std::vector<std::string> missingListObjects;
    std::vector<std::string> warnings;
    std::string error;  // set when the files cannot be written as built
};

struct BuildOutput {
    std::vector<Star> stars;  // the default star table, sorted by HR number
    std::vector<StarName> starNames;  // one per default star, sorted by name (bytewise)
    std::vector<Line> lines;          // set 0, then set 1
    std::vector<DeepSkyObject> objects;       // the large object file, by (catalog, number)
    std::vector<DeepSkyObject> smallObjects;  // the small object file, by (catalog, number)
    std::vector<IndexEntry> index;            // by declination
    std::vector<CrossReference> crossReferences;  // by (catalog, number), without record 0
    std::vector<LevelStar> levels[7];  // the stellar level files 0..6; level 6 has no source
    std::vector<Location> locations;   // by country, then town
    std::vector<MoonFeatureRecord> moonFeatures;  // by name; written twice (by name, by place)
    std::vector<MarsFeatureRecord> marsFeatures;  // by kind, then name
    std::vector<CometRecord> comets;              // by kind, then name
    BuildReport report;
};

// The object file's records are addressed by 16-bit signed numbers in the chart's index.
inline constexpr std::size_t kMaxObjectRecords = 32767;

// The size of the small object file: the list objects, then the brightest others.
inline constexpr std::size_t kSmallObjectFileSize = 1130;

// The program's catalog code of a designation prefix: every prefix of the catalog table
// ("NGC" 42, "IC" 29, "Sh2" 52, "LDN" 34, "Tr" 59, ...) and the sources' own spellings of
// some ("ACO" for Abell, "VdB" for vdB). −1 for catalogs the program does not know.
int CatalogCodeOfPrefix(const std::string& prefix);

// Fixed-point angles as the star table and the object index hold them (truncated).
std::int32_t HoursToFixed(double hours);
std::int32_t DegreesToFixed(double degrees);

// The constellation number of a J2000 position.
int ConstellationOf(double raHours, double decDegrees);

// An ASCII name for a star without a proper name: "Alpha CMa", "Alpha1 Cen", "58 Ori",
// or "HR 1234", at most 17 characters.
std::string StarDisplayName(const Star& s);

BuildOutput BuildCatalogs(const BuildInput& in);

}  // namespace catalog_builder
