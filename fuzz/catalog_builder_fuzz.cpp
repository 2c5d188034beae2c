// The catalog builder's inputs: the public source files, read from the network-fetched
// cache, are any bytes. The input is cut at lines "%%" into the sources in the order below;
// what the readers take goes through the build and is written as a data folder.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_files.h"
#include "tools/catalog_builder/builder.h"
#include "tools/catalog_builder/sources.h"
#include "tools/catalog_builder/stellarium.h"
#include "tools/catalog_builder/towns.h"
#include "tools/catalog_builder/writer.h"

namespace cb = catalog_builder;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    while (parts.size() < 12) {
        const std::size_t cut = rest.find("\n%%\n");
        if (cut == std::string_view::npos) break;
        parts.push_back(rest.substr(0, cut));
        rest.remove_prefix(cut + 4);
    }
    parts.push_back(rest);
    parts.resize(13);

    cb::BuildInput in;
    std::string error;
    cb::ReadBrightStarCatalog(parts[0], in.brightStars, error);
    cb::ReadArcLines(parts[1], in.arcLines, error);
    cb::ReadHipStars(parts[2], in.hipStars, error);
    cb::ReadHipStarNames(parts[3], in.hipNames, error);
    cb::ReadDeepSkyObjects(parts[4], in.objects, error);
    cb::ReadMessierList(parts[5], in.messier, error);
    cb::ReadDsoNames(parts[6], in.objectNames, error);
    cb::ReadFigureLines(parts[7], in.figureLines, error);
    cb::ReadOpenNgc(parts[8], in.openNgc, error);
    cb::ReadStellariumDsoCatalog(parts[9], in.catalogObjects, error);
    cb::ReadStellariumStarFile(parts[10], in.tycho, error);
    cb::ReadTowns(parts[11], in.towns, error);
    int minutes = 0;
    if (cb::ZoneStandardOffset(parts[12], minutes))
        for (const cb::Town& t : in.towns) in.zoneOffsets[t.zone] = minutes;
    in.hipparcos = in.hipStars;
    std::string prefix;
    int number = 0;
    cb::SplitDesignation(parts[0], prefix, number);

    in.starTableSize = in.brightStars.size();
    const cb::BuildOutput built = cb::BuildCatalogs(in);
    cb::WriteDataFolder(built, scratch / "install" / "built", "fuzz", [](const std::string&) {}, error);
    return 0;
}
