#include "tools/catalog_builder/inputs.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace catalog_builder {

namespace {

bool ReadText(const std::filesystem::path& p, std::string& out, std::string& error) {
    std::ifstream f(p, std::ios::binary);
    if (!f) {
        error = "cannot read " + p.string();
        return false;
    }
    std::ostringstream s;
    s << f.rdbuf();
    out = s.str();
    return true;
}

std::filesystem::path FirstPresent(const std::filesystem::path& folder, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (std::filesystem::exists(folder / n)) return folder / n;
    return folder / *names.begin();
}

template <typename Reader, typename Out>
bool Load(const std::filesystem::path& p, Reader read, Out& out, const std::function<void(const std::string&)>& progress,
          std::string& error) {
    if (progress) progress("reading " + p.string());
    std::string text;
    if (!ReadText(p, text, error)) return false;
    if (!read(text, out, error)) {
        error = p.string() + ": " + error;
        return false;
    }
    return true;
}

bool ReadStarFiles(const std::filesystem::path& folder, std::vector<CatalogStar>& out,
                   const std::function<void(const std::string&)>& progress, std::string& error) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("stars_", 0) == 0 && entry.path().extension() == ".cat" && name.find("hip_") == std::string::npos)
            files.push_back(entry.path());
    }
    if (ec || files.empty()) {
        error = "no star catalogue files (stars_*.cat) in " + folder.string();
        return false;
    }
    std::sort(files.begin(), files.end());
    for (const auto& f : files)
        if (!Load(f, ReadStellariumStarFile, out, progress, error)) return false;
    return true;
}

// The standard offset of every zone the towns name, from the tzdata folder; zones it
// lacks are left out (their towns are reported).
void ReadZoneOffsets(const std::filesystem::path& zoneinfo, BuildInput& in) {
    for (const Town& t : in.towns) {
        if (in.zoneOffsets.count(t.zone) || t.zone.find("..") != std::string::npos) continue;
        std::string text, error;
        int minutes = 0;
        if (ReadText(zoneinfo / t.zone, text, error) && ZoneStandardOffset(text, minutes)) in.zoneOffsets[t.zone] = minutes;
    }
}

// A reader that counts the lines it skipped into `skipped`.
template <typename Out>
auto Counting(bool (*read)(const std::string&, Out&, std::string&, int*), int& skipped) {
    return [read, &skipped](const std::string& text, Out& out, std::string& error) {
        return read(text, out, error, &skipped);
    };
}

bool ReadMinorBodyFiles(const std::vector<std::filesystem::path>& files, BuildInput& in,
                        const std::function<void(const std::string&)>& progress, std::string& error) {
    for (const auto& f : files)
        if (!Load(f, Counting(ReadMinorBodies, in.skipped.minorBodies), in.minorBodies, progress, error)) return false;
    return true;
}

}  // namespace

bool ReadSources(const SourcePaths& paths, BuildInput& in, const std::function<void(const std::string&)>& progress,
                 std::string& error) {
    const auto& d3 = paths.d3Data;
    return Load(paths.brightStarCatalog, ReadBrightStarCatalog, in.brightStars, progress, error) &&
           Load(paths.arcLines, ReadArcLines, in.arcLines, progress, error) &&
           Load(FirstPresent(d3, {"stars.8.json", "stars.6.json"}), ReadHipStars, in.hipStars, progress, error) &&
           Load(FirstPresent(d3, {"stars.14.json", "stars.8.json", "stars.6.json"}), ReadHipStars, in.hipparcos, progress,
                error) &&
           Load(d3 / "starnames.json", ReadHipStarNames, in.hipNames, progress, error) &&
           Load(FirstPresent(d3, {"dsos.20.json", "dsos.14.json", "dsos.6.json"}), ReadDeepSkyObjects, in.objects,
                progress, error) &&
           Load(d3 / "messier.json", ReadMessierList, in.messier, progress, error) &&
           Load(d3 / "dsonames.json", ReadDsoNames, in.objectNames, progress, error) &&
           Load(d3 / "constellations.lines.json", ReadFigureLines, in.figureLines, progress, error) &&
           (paths.openNgc.empty() || Load(paths.openNgc, ReadOpenNgc, in.openNgc, progress, error)) &&
           (paths.stellariumDso.empty() ||
            Load(paths.stellariumDso, ReadStellariumDsoCatalog, in.catalogObjects, progress, error)) &&
           (paths.stellariumStars.empty() || ReadStarFiles(paths.stellariumStars, in.tycho, progress, error)) &&
           (paths.towns.empty() || Load(paths.towns, ReadTowns, in.towns, progress, error)) &&
           (paths.zoneinfo.empty() || (ReadZoneOffsets(paths.zoneinfo, in), true)) &&
           (paths.nomenclature.empty() ||
            Load(paths.nomenclature, Counting(ReadGazetteer, in.skipped.gazetteerLines), in.gazetteer, progress, error)) &&
           (paths.marsMarkers.empty() ||
            Load(paths.marsMarkers, Counting(ReadLandingMarkers, in.skipped.markerLines), in.landers, progress, error)) &&
           ReadMinorBodyFiles(paths.minorBodies, in, progress, error);
}

}  // namespace catalog_builder
