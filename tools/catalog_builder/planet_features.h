#pragma once
// The Moon and Mars feature databases and the comet and asteroid database:
//  - the IAU gazetteer of planetary nomenclature as stellarium-data ships it
//    (data/nomenclature.dat, unpacked: body, id, _("name","type"), type code, latitude,
//    east longitude 0..360, size km, separated by tabs);
//  - xplanet's Mars marker file (latitude, west longitude, "name"), whose landing sites
//    section gives the older landers;
//  - stellarium-data's minor-body files (ssystem_minor.ini, ssystem_1000comets.ini): one
//    [section] of key = value lines per body.
// Readers take the file's text; a line or section that cannot be read is skipped and
// counted.
#include <string>
#include <string_view>
#include <vector>

#include "catalog/records.h"

namespace catalog_builder {

struct GazetteerFeature {
    std::string body;  // "Moon", "Mars", ...
    std::string name;  // UTF-8
    std::string code;  // two-letter type code
    double latitude = 0.0;
    double longitude = 0.0;  // east, as in the file (0..360)
    double sizeKm = 0.0;
};

struct LandingSite {
    std::string name;
    double latitude = 0.0;
    double longitude = 0.0;  // east positive
};

// One body of the minor-body files, with the keys the database uses (NaN when absent).
struct MinorBody {
    std::string name;  // UTF-8
    std::string type;  // "comet", "asteroid", "dwarf planet", ...
    double absoluteMagnitude, slope, epoch, meanAnomaly, semiMajorAxis, eccentricity, argPerihelion, ascendingNode,
        inclination, perihelionDistance, perihelionTime;
};

// Counts of what the readers skipped.
struct FeatureSkips {
    int gazetteerLines = 0;
    int markerLines = 0;
    int minorBodies = 0;
};

bool ReadGazetteer(const std::string& text, std::vector<GazetteerFeature>& out, std::string& error, int* skipped = nullptr);
// The landing sites of xplanet's Mars marker file (its "Landing Sites" section).
bool ReadLandingMarkers(const std::string& text, std::vector<LandingSite>& out, std::string& error,
                        int* skipped = nullptr);
bool ReadMinorBodies(const std::string& text, std::vector<MinorBody>& out, std::string& error, int* skipped = nullptr);

// The landers after the marker file's: published landing places.
std::vector<LandingSite> LaterLandingSites();

// Moon kinds of the database by gazetteer code; −1 for a code left out.
int MoonFeatureKind(std::string_view code);
int MarsFeatureKind(std::string_view code);
inline constexpr int kMarsLandingKind = 5;
inline constexpr int kMoonFeatureLimit = 500;  // the program counts no more (1000 records)
inline constexpr double kMarsSmallestCrater = 100.0;
inline constexpr int kCometKind = 13;
inline constexpr int kMinorPlanetKind = 18;
inline constexpr std::size_t kMaxCometRecords = 65534;

// The near-side Moon features of the database (kinds of MoonFeatureKind), at most
// kMoonFeatureLimit: every feature that is not a crater, then craters from the largest.
// Sorted by name; the file holds them twice (by name, then by column and row).
std::vector<MoonFeatureRecord> BuildMoonFeatures(const std::vector<GazetteerFeature>& gazetteer);
// The Mars features (craters of 100 km and more, every feature of the other kinds, the
// landing sites), sorted by kind, then name.
std::vector<MarsFeatureRecord> BuildMarsFeatures(const std::vector<GazetteerFeature>& gazetteer,
                                                 const std::vector<LandingSite>& landers);
// Comets (kind 13) and minor planets (kind 18), sorted by kind, then name, at most
// kMaxCometRecords. Bodies with neither a perihelion time nor a mean anomaly, and
// spacecraft, are left out and counted in `skipped`.
std::vector<CometRecord> BuildCometRecords(const std::vector<MinorBody>& bodies, int* skipped = nullptr);

// The perihelion nearest the epoch of elliptic elements: epoch − M / n, n = 0.9856076686
// / a^1.5 degrees a day, with M above 180 taken as the next perihelion.
double PerihelionJdOfMeanAnomaly(double epochJd, double meanAnomalyDeg, double semiMajorAxis);

// Picture places: the 960-pixel Moon picture (column, row of a longitude and latitude,
// zero libration, east to the right) and the 640 x 320 Mars map.
void MoonPicturePoint(double longitudeEast, double latitude, int* column, int* row);
void MarsMapPoint(double longitudeEast, double latitude, int* x, int* y);

}  // namespace catalog_builder
