#pragma once
// Element sets for the satellite tests: records made from element lines, and the cases of
// the committed SGP4 reference file.
#include <array>
#include <utility>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/records.h"
#include "core/settings.h"
#include "satellites/satellite_math.h"
#include "satellites/two_line_elements.h"

// The classic test set of Spacetrack Report No. 3.
inline constexpr const char* kStr3Line1 = "1 88888U          80275.98708465  .00073094  13844-3  66816-4 0    87";
inline constexpr const char* kStr3Line2 = "2 88888  72.8435 115.9689 0086731  52.6988 110.5714 16.05824518  1058";

inline SatelliteRecord MakeSatelliteRecord(const std::string& line1, const std::string& line2) {
    SatelliteRecord record;
    std::strncpy(record.line1, line1.c_str(), kSatelliteTextSize);
    std::strncpy(record.line2, line2.c_str(), kSatelliteTextSize);
    return record;
}

inline TleElements ConvertLines(const std::string& line1, const std::string& line2) {
    TleElements elements;
    ConvertTleElements(MakeSatelliteRecord(line1, line2), &elements);
    return elements;
}

// A state in km and km/s, as the reference prints it.
struct StateKm {
    std::array<double, 3> position{};
    std::array<double, 3> velocity{};
};

inline StateKm ToKm(const SatVector& position, const SatVector& velocity) {
    constexpr double kKmPerSecond = kSatEarthRadiusKm / 60.0;
    return {{position.x * kSatEarthRadiusKm, position.y * kSatEarthRadiusKm, position.z * kSatEarthRadiusKm},
            {velocity.x * kKmPerSecond, velocity.y * kKmPerSecond, velocity.z * kKmPerSecond}};
}

inline double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    double sum = 0.0;
    for (int i = 0; i < 3; ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return std::sqrt(sum);
}

// One case of tests/data/satellites/sgp4_verification.txt.
struct ReferenceRow {
    double minutes = 0.0;
    StateKm state;
};
struct ReferenceCase {
    std::string number;
    bool deep = false;
    std::string source;
    std::string line1;
    std::string line2;
    std::vector<ReferenceRow> rows;
    std::vector<double> noPosition;  // instants where the reference gives no position
};

std::vector<ReferenceCase> ReadSgp4Reference();

// tests/data/satellites/observer_geometry.txt: what an observer sees, from python3-ephem.
struct ObserverSite {
    double latitude = 0.0;       // degrees north
    double longitudeWest = 0.0;  // degrees
    double heightMetres = 0.0;
};
struct LookRow {
    std::string set, site;
    double jd = 0.0, azimuth = 0.0, elevation = 0.0, range = 0.0, subLatitude = 0.0, subLongitudeWest = 0.0,
           height = 0.0;
    int eclipsed = 0;
    double umbraDepth = 0.0;  // degrees, positive inside
};
struct PassRow {
    std::string set, site;
    double aos = 0.0, los = 0.0;
    double maxElevation = 0.0;  // degrees, the highest point of the pass
    int eclipsedRise = 0, eclipsedSet = 0;
};
struct MoonRow {
    std::string set, site;
    double jd = 0.0, separation = 0.0;
};
struct ObserverReference {
    std::vector<std::pair<std::string, std::array<std::string, 2>>> sets;
    std::vector<std::pair<std::string, ObserverSite>> sites;
    std::vector<LookRow> looks;
    std::vector<PassRow> passes;
    std::vector<MoonRow> moons;     // least separation, whether the satellite is up or not
    std::vector<MoonRow> transits;  // a transit seen above the horizon

    std::array<std::string, 2> Lines(const std::string& name) const;
    TleElements Elements(const std::string& name) const;
    ObserverSite Site(const std::string& name) const;
};
const ObserverReference& ReadObserverReference();

// Puts the current site at `site` in UT (zone offset 0), the rest of the record as it was.
void PlaceObserver(const ObserverSite& site);
