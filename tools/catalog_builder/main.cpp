// catalog_builder: makes the program's catalog databases from the public source catalogs.
//
//   catalog_builder --bsc PATH --arcs PATH --d3 DIR [--openngc TSV] [--stellarium-dso FILE]
//                   [--stellarium-stars DIR] [--towns JSON] [--zoneinfo DIR] [--nomenclature FILE]
//                   [--mars-markers FILE] [--minor-bodies FILE]... --out DIR [--sources FILE]
//
// --bsc and --arcs are xplanet's "stars/BSC" and "arcs/constellations", --d3 is
// d3-celestial's data folder, --openngc OpenNGC's table as tab-separated lines (type, RA,
// Dec, magnitude, name, other names, identifier, major and minor axis, position angle),
// --stellarium-dso stellarium-data's unpacked deep-sky catalogue, --stellarium-stars its
// star folder, --towns city-timezones' cityMap.json, --zoneinfo the tzdata folder,
// --nomenclature stellarium-data's gazetteer (unpacked), --mars-markers xplanet's
// markers/mars, --minor-bodies (repeatable) stellarium-data's ssystem_minor.ini and
// ssystem_1000comets.ini, --out the data
// folder to fill, --sources a text file whose
// contents head the generated SOURCES file (which package and version each source came
// from).
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/catalog_builder/builder.h"
#include "tools/catalog_builder/inputs.h"
#include "tools/catalog_builder/writer.h"

using namespace catalog_builder;

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: catalog_builder --bsc PATH --arcs PATH --d3 DIR [--openngc TSV] [--stellarium-dso FILE]\n"
                 "                       [--stellarium-stars DIR] [--towns JSON] [--zoneinfo DIR] [--nomenclature FILE]\n"
                 "                       [--mars-markers FILE] [--minor-bodies FILE]... --out DIR [--sources FILE]\n");
    return 2;
}

void Progress(const std::string& line) {
    std::printf("  %s\n", line.c_str());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    SourcePaths paths;
    std::filesystem::path out, sourcesFile;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        std::string v = argv[++i];
        if (a == "--bsc") paths.brightStarCatalog = v;
        else if (a == "--arcs") paths.arcLines = v;
        else if (a == "--d3") paths.d3Data = v;
        else if (a == "--openngc") paths.openNgc = v;
        else if (a == "--stellarium-dso") paths.stellariumDso = v;
        else if (a == "--stellarium-stars") paths.stellariumStars = v;
        else if (a == "--towns") paths.towns = v;
        else if (a == "--zoneinfo") paths.zoneinfo = v;
        else if (a == "--nomenclature") paths.nomenclature = v;
        else if (a == "--mars-markers") paths.marsMarkers = v;
        else if (a == "--minor-bodies") paths.minorBodies.push_back(v);
        else if (a == "--out") out = v;
        else if (a == "--sources") sourcesFile = v;
        else return Usage();
    }
    if (paths.brightStarCatalog.empty() || paths.arcLines.empty() || paths.d3Data.empty() || out.empty()) return Usage();

    std::string error;
    BuildInput in;
    if (!ReadSources(paths, in, Progress, error)) {
        std::fprintf(stderr, "catalog_builder: %s\n", error.c_str());
        return 1;
    }
    std::printf("  building the catalogs\n");
    BuildOutput built = BuildCatalogs(in);
    const BuildReport& r = built.report;
    std::printf("  %zu default stars (%d of %d bright stars matched to Hipparcos), %zu figure lines\n",
                built.stars.size(), r.starsMatchedToHip, r.brightStarsRead, built.lines.size());
    std::printf("  line segments without stars in the table: %d (set 0), %d (set 1)\n", r.lineSegmentsDropped[0],
                r.lineSegmentsDropped[1]);
    std::printf("  %zu objects, %zu in the small file, %zu cross references\n", built.objects.size(),
                built.smallObjects.size(), built.crossReferences.size());
    for (int level = 0; level < 7; ++level)
        std::printf("  stellar level %d (%s): %zu stars\n", level, kStellarLevelFiles[level], built.levels[level].size());
    std::printf("  %zu towns for the location list (%d left out: zone unknown to tzdata)\n", built.locations.size(),
                r.townsWithoutZone);
    std::printf("  %zu Moon features, %zu Mars features, %zu comets and minor planets\n", built.moonFeatures.size(),
                built.marsFeatures.size(), built.comets.size());
    std::printf("  skipped: %d gazetteer lines, %d marker lines, %d minor bodies unreadable, %d left out\n",
                in.skipped.gazetteerLines, in.skipped.markerLines, in.skipped.minorBodies, r.minorBodiesSkipped);
    for (const std::string& w : r.warnings) std::printf("  warning: %s\n", w.c_str());
    if (!r.error.empty()) {
        std::fprintf(stderr, "catalog_builder: %s\n", r.error.c_str());
        return 1;
    }

    std::string sources;
    if (!sourcesFile.empty()) {
        std::ifstream f(sourcesFile, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        sources = s.str();
    }
    if (!WriteDataFolder(built, out, sources, Progress, error)) {
        std::fprintf(stderr, "catalog_builder: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
