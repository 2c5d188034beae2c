#pragma once
// Readers of the two catalogues that Debian's stellarium-data ships:
//  - the deep-sky catalogue (nebulae/default/catalog.dat, gzip-compressed; the set-up step
//    unpacks it): a Qt data stream, big-endian, of a version text, an edition text and one
//    record per object with its place, magnitudes, type, morphology, axes, orientation,
//    distance and its numbers in some thirty catalogues;
//  - the star catalogue files (stars/default/stars_*.cat): little-endian zone files of a
//    geodesic grid, each zone holding its stars as offsets from the zone's centre.
// Each reader takes the file's bytes, so that tests can feed small fixtures.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tools/catalog_builder/sources.h"

namespace catalog_builder {

// One object of the deep-sky catalogue: its data in the shared source form (prefix and
// number left empty) and every designation it carries in a catalogue the builder knows,
// written with the builder's prefixes ("NGC", "IC", "M", "C", "B", "Sh2", "VdB", "RCW",
// "LDN", "Cr", "Mel", "UGC", "ACO", "Ced", "Tr", "St", "Ru", "vdB-Ha").
struct CatalogObject {
    DsoSource data;
    std::vector<std::pair<std::string, int>> designations;
};

// false with a message naming the record when the stream is not of the expected form.
bool ReadStellariumDsoCatalog(std::string_view bytes, std::vector<CatalogObject>& out, std::string& error);

// One star of the star catalogue files.
struct CatalogStar {
    int hip = 0;  // 0 for stars without a Hipparcos number
    double ra = 0.0, dec = 0.0;  // hours, degrees, J2000
    double vmag = 0.0;
    double bv = 0.0;
};

bool ReadStellariumStarFile(std::string_view bytes, std::vector<CatalogStar>& out, std::string& error);

}  // namespace catalog_builder
