#pragma once
// Reads the source files the set-up step installed into a BuildInput.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tools/catalog_builder/builder.h"

namespace catalog_builder {

struct SourcePaths {
    std::filesystem::path brightStarCatalog;  // xplanet's stars/BSC
    std::filesystem::path arcLines;           // xplanet's arcs/constellations
    std::filesystem::path d3Data;             // d3-celestial's data folder
    std::filesystem::path openNgc;            // OpenNGC exported as tab-separated lines; optional
    // Optional: stellarium-data's deep-sky catalogue (unpacked), the folder of its star
    // files, npm city-timezones' cityMap.json and the tzdata folder (/usr/share/zoneinfo).
    std::filesystem::path stellariumDso;
    std::filesystem::path stellariumStars;
    std::filesystem::path towns;
    std::filesystem::path zoneinfo;
    // Optional: the gazetteer (stellarium-data's data/nomenclature.dat, unpacked), xplanet's
    // markers/mars, and stellarium-data's minor-body files (read in the order given).
    std::filesystem::path nomenclature;
    std::filesystem::path marsMarkers;
    std::vector<std::filesystem::path> minorBodies;
};

// Reads every source. In the d3-celestial folder the deepest star and object files present
// are used (stars.8.json before stars.6.json for the default stars, stars.14.json first
// for the Hipparcos levels, dsos.20.json before dsos.14.json and dsos.6.json). The star
// files of stellarium-data are its stars_*.cat in name order. false with a message naming
// the file on failure.
bool ReadSources(const SourcePaths& paths, BuildInput& in, const std::function<void(const std::string&)>& progress,
                 std::string& error);

}  // namespace catalog_builder
