#include "tools/catalog_builder/writer.h"

#include <cmath>
#include <system_error>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "platform/paths.h"
#include "tools/catalog_builder/names.h"

namespace catalog_builder {

namespace {

StarRecord ToStarRecord(const Star& s) {
    std::uint8_t b[kStarRecordSize] = {};
    le::PutI16(b, 0, static_cast<std::int16_t>(s.hr));
    le::PutI16(b, 2, static_cast<std::int16_t>(s.constellation));
    le::PutF32(b, 4, static_cast<float>(s.ra));
    le::PutF32(b, 8, static_cast<float>(s.dec));
    le::PutI16(b, 12, static_cast<std::int16_t>(std::lround(s.vmag * 16.0)));
    // The colour class is B−V in tenths; the chart picks the star's colour row from it.
    le::PutI16(b, 14, static_cast<std::int16_t>(s.hasBv ? std::lround(s.bv * 10.0) : 0));
    b[16] = static_cast<std::uint8_t>(s.flamsteed > 0 && s.flamsteed < 256 ? s.flamsteed : 0);
    b[17] = static_cast<std::uint8_t>(GreekSymbolChar(s.bayer));
    b[18] = static_cast<std::uint8_t>(s.bayer >= 0 ? s.superscript : 0);
    StarRecord r;
    DecodeStarRecord(b, r);
    return r;
}

ObjectRecord ToObjectRecord(const DeepSkyObject& o) {
    ObjectRecord r;
    r.catalog = static_cast<std::uint32_t>(o.catalog);
    r.number = o.number;
    r.type = o.type;
    r.constellation = o.constellation;
    r.ra = static_cast<float>(o.ra);
    r.dec = static_cast<float>(o.dec);
    // A magnitude of exactly 0 is the program's "no magnitude".
    r.magnitude = o.hasMagnitude ? static_cast<float>(o.magnitude) : 0.0f;
    r.sizeA = static_cast<float>(o.sizeA);
    r.sizeB = static_cast<float>(o.sizeB);
    r.morphology = static_cast<std::int16_t>(o.morphology);
    return r;
}

RecordFileImage Image(std::uint32_t creator, std::uint32_t version, std::uint32_t recordSize) {
    RecordFileImage image;
    image.creator = creator;
    image.version = version;
    image.recordSize = recordSize;
    return image;
}

RecordFileImage Stars(const BuildOutput& b) {
    RecordFileImage image = Image(kCreatorDefaultStars, 0, kStarRecordSize);
    for (const Star& s : b.stars) EncodeStarRecord(ToStarRecord(s), image.Append());
    return image;
}

RecordFileImage StarNames(const BuildOutput& b) {
    RecordFileImage image = Image(kCreatorBrightStars, 0, kBrightStarRecordSize);
    auto put = [&](const std::string& name, int star) {
        BrightStarRecord r;
        std::snprintf(r.name, sizeof r.name, "%.17s", name.c_str());
        r.starIndex = static_cast<std::int16_t>(star);
        EncodeBrightStarRecord(r, image.Append());
    };
    // The name half, then the same stars by number: the table is sorted by number, so by
    // table index.
    for (const StarName& n : b.starNames) put(n.name, n.star);
    std::vector<const StarName*> byStar(b.stars.size(), nullptr);
    for (const StarName& n : b.starNames) byStar[static_cast<std::size_t>(n.star)] = &n;
    for (const StarName* n : byStar)
        if (n) put(n->name, n->star);
    return image;
}

RecordFileImage Lines(const BuildOutput& b) {
    RecordFileImage image = Image(kCreatorConstellationLines, 0, kConstellationLineRecordSize);
    for (const Line& l : b.lines) {
        ConstellationLineRecord r;
        r.set = static_cast<std::int16_t>(l.set);
        r.value[0] = static_cast<std::int16_t>(l.constellation);
        r.value[1] = static_cast<std::int16_t>(l.star1);
        r.value[2] = static_cast<std::int16_t>(l.star2);
        EncodeConstellationLineRecord(r, image.Append());
    }
    return image;
}

RecordFileImage Objects(const std::vector<DeepSkyObject>& objects) {
    RecordFileImage image = Image(kCreatorObjects, kObjectFileVersion, kObjectRecordSize);
    for (const DeepSkyObject& o : objects) EncodeObjectRecord(ToObjectRecord(o), image.Append());
    return image;
}

RecordFileImage Index(const BuildOutput& b) {
    constexpr int kRecord = kObjectIndexEntrySize * kObjectIndexEntriesPerRecord;
    RecordFileImage image = Image(kCreatorObjectIndex, 0, kRecord);
    for (std::size_t i = 0; i < b.index.size(); i += kObjectIndexEntriesPerRecord) {
        std::uint8_t* rec = image.Append();
        for (int k = 0; k < kObjectIndexEntriesPerRecord; ++k) {
            ObjectIndexEntry e;
            std::size_t at = i + static_cast<std::size_t>(k);
            if (at < b.index.size()) {
                const IndexEntry& x = b.index[at];
                e.number = x.number;
                e.catalog = static_cast<std::int16_t>(x.catalog);
                e.selectionNumber = static_cast<std::int16_t>(x.record);
                e.ra = x.ra;
                e.dec = x.dec;
                e.type = static_cast<std::int16_t>(x.type);
                e.limit = static_cast<std::int16_t>(x.limit);
            } else {
                // The last zone is filled up with entries no chart limit ever shows, at the
                // pole so that they never widen a declination search.
                e.dec = DegreesToFixed(90.0);
                e.limit = 32767;
            }
            EncodeObjectIndexEntry(e, rec + k * kObjectIndexEntrySize);
        }
    }
    return image;
}

RecordFileImage CrossReferences(const BuildOutput& b) {
    RecordFileImage image = Image(kCreatorCrossReferences, 0, kCrossReferenceRecordSize);
    image.Append();  // record 0 is not an entry
    for (const CrossReference& r : b.crossReferences) {
        std::uint8_t* rec = image.Append();
        le::PutI16(rec, 0, static_cast<std::int16_t>(r.keyCatalog));
        for (int i = 0; i < 3; ++i) {
            le::PutI16(rec, 2 + 2 * static_cast<std::size_t>(i), static_cast<std::int16_t>(r.otherCatalog[i]));
            le::PutU32(rec, 12 + 4 * static_cast<std::size_t>(i), r.otherCatalog[i] > 0 ? r.otherNumber[i] : 0);
        }
        le::PutU32(rec, 8, r.keyNumber);
        if (!r.name.empty()) {
            // The reader drops the stored text's last character: a blank carries it.
            std::string text = r.name.substr(0, kCrossReferenceNameSize - 2) + " ";
            le::PutText(rec, 24, kCrossReferenceNameSize, text.c_str());
        }
    }
    return image;
}

}  // namespace

bool WriteDataFolder(const BuildOutput& built, const std::filesystem::path& folder, const std::string& sources,
                     const std::function<void(const std::string&)>& progress, std::string& error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    struct File {
        const char* name;
        RecordFileImage image;
    };
    std::vector<File> files;
    files.push_back({kDefaultStarsFile, Stars(built)});
    files.push_back({kBrightStarFile, StarNames(built)});
    files.push_back({kConstellationFile, Lines(built)});
    files.push_back({kObjects18kFile, Objects(built.objects)});
    files.push_back({kObjects1kFile, Objects(built.smallObjects)});
    files.push_back({kObjectIndexFile, Index(built)});
    files.push_back({kCrossReferenceFile, CrossReferences(built)});
    // No public source with a usable licence carries the NGC descriptions; the program finds
    // an empty file and shows none. The others are filled by the program or later data.
    files.push_back({kDescriptionsFile, Image(kCreatorDescriptions, 0, 0)});
    files.push_back({kMoonFile, Image(kCreatorMoon, kMoonFileVersion, 0)});
    files.push_back({kMarsFile, Image(kCreatorMars, 0, 0)});
    files.push_back({kCometFile, Image(kCreatorComets, 0, 0)});
    files.push_back({kSatelliteFile, Image(kCreatorSatellites, 0, 0)});
    files.push_back({kUserObjectFile, Image(kCreatorUserObjects, 0, 0)});
    files.push_back({kEyepieceFile, Image(kCreatorEyepieces, 0, 0)});
    files.push_back({kLocationFile, Image(kCreatorLocations, 0, 0)});
    files.push_back({kCameraLogFile, Image(kCreatorCameraLog, 0, 0)});

    std::string counts;
    for (const File& f : files) {
        std::string line = std::string(f.name) + ": " + std::to_string(f.image.Count()) + " records";
        if (progress) progress("writing " + line);
        if (!WriteRecordFileImage(folder / f.name, f.image)) {
            error = "cannot write " + (folder / f.name).string();
            return false;
        }
        counts += line + "\n";
    }
    std::string text = sources + (sources.empty() || sources.back() == '\n' ? "" : "\n") + "\n" + counts;
    if (!platform::WriteFileAtomically(folder / "SOURCES", text.data(), text.size())) {
        error = "cannot write " + (folder / "SOURCES").string();
        return false;
    }
    return true;
}

}  // namespace catalog_builder
