#include "tools/catalog_builder/writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <system_error>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "catalog/star_tables.h"
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
    r.flag = static_cast<std::int16_t>(o.hasAngle ? o.angle : 0);
    r.morphology = static_cast<std::int16_t>(o.morphology);
    r.distance = static_cast<float>(DistanceValueOfKpc(o.distanceKpc));
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

// A star entry: the place rounded to whole seconds of time and of arc (every part of a
// southern declination negative), the magnitude in sixteenths (0 for anything brighter
// than magnitude 0, 255 at the faint end) and B−V in tenths.
StellarStarEntry ToStellarEntry(const LevelStar& s) {
    StellarStarEntry e;
    e.number = s.number;
    long raSeconds = std::lround(s.ra * 3600.0) % 86400;
    if (raSeconds < 0) raSeconds += 86400;
    e.raHours = static_cast<std::int8_t>(raSeconds / 3600);
    e.raMinutes = static_cast<std::int8_t>(raSeconds / 60 % 60);
    e.raSeconds = static_cast<std::int8_t>(raSeconds % 60);
    long decSeconds = std::min(std::lround(std::fabs(s.dec) * 3600.0), 90L * 3600);
    const int sign = s.dec < 0.0 ? -1 : 1;
    e.decDegrees = static_cast<std::int8_t>(sign * (decSeconds / 3600));
    e.decMinutes = static_cast<std::int8_t>(sign * (decSeconds / 60 % 60));
    e.decSeconds = static_cast<std::int8_t>(sign * (decSeconds % 60));
    e.magnitude = static_cast<std::uint8_t>(std::clamp(std::lround(s.vmag * 16.0), 0L, 255L));
    e.colour = static_cast<std::int8_t>(s.hasBv ? std::clamp(std::lround(s.bv * 10.0), -128L, 127L) : 0);
    return e;
}

// A stellar level file: records of 42 entries (80 in files of more than 25000 stars),
// sorted by declination. Slots past the last star hold entries that are never drawn: at
// the pole, at the faintest magnitude, numbered 0.
struct LevelFile {
    RecordFileImage image;
    std::map<std::uint32_t, int> recordOf;  // star number -> record, for the index files
};

LevelFile Level(const std::vector<LevelStar>& stars) {
    std::vector<StellarStarEntry> entries;
    entries.reserve(stars.size());
    for (const LevelStar& s : stars) entries.push_back(ToStellarEntry(s));
    auto dec = [](const StellarStarEntry& e) { return e.decDegrees * 3600 + e.decMinutes * 60 + e.decSeconds; };
    auto ra = [](const StellarStarEntry& e) { return e.raHours * 3600 + e.raMinutes * 60 + e.raSeconds; };
    std::stable_sort(entries.begin(), entries.end(), [&](const StellarStarEntry& a, const StellarStarEntry& b) {
        return dec(a) != dec(b) ? dec(a) < dec(b) : ra(a) < ra(b);
    });
    const int perRecord = StellarStarsPerRecord(entries.size());
    LevelFile f;
    f.image = Image(kCreatorStellarLevel, 0, static_cast<std::uint32_t>(perRecord * kStellarStarEntrySize));
    StellarStarEntry filler;
    filler.decDegrees = 90;
    filler.magnitude = 255;
    for (std::size_t i = 0; i < entries.size(); i += static_cast<std::size_t>(perRecord)) {
        std::uint8_t* rec = f.image.Append();
        const int record = static_cast<int>(f.image.Count()) - 1;
        for (int k = 0; k < perRecord; ++k) {
            const std::size_t at = i + static_cast<std::size_t>(k);
            const StellarStarEntry& e = at < entries.size() ? entries[at] : filler;
            EncodeStellarStarEntry(e, rec + k * kStellarStarEntrySize);
            if (at < entries.size() && e.number > 0) f.recordOf.emplace(e.number, record);
        }
    }
    return f;
}

// A star index: star k's level record in slot k mod 42 of index record k / 42; −1 where
// the level has no star k.
RecordFileImage StarIndex(std::uint32_t creator, const std::map<std::uint32_t, int>& recordOf) {
    RecordFileImage image = Image(creator, 0, kStellarIndexSlots * 2);
    if (recordOf.empty()) return image;
    const std::uint32_t last = recordOf.rbegin()->first;
    for (std::uint32_t first = 0; first <= last; first += kStellarIndexSlots) {
        std::uint8_t* rec = image.Append();
        for (int k = 0; k < kStellarIndexSlots; ++k) {
            auto it = recordOf.find(first + static_cast<std::uint32_t>(k));
            le::PutI16(rec, static_cast<std::size_t>(2 * k), static_cast<std::int16_t>(it == recordOf.end() ? -1 : it->second));
        }
    }
    return image;
}

RecordFileImage Locations(const BuildOutput& b) {
    RecordFileImage image = Image(kCreatorLocations, 0, kLocationRecordSize);
    for (const Location& l : b.locations) {
        LocationRecord r;
        std::snprintf(r.country, sizeof r.country, "%s", l.country.c_str());
        std::snprintf(r.countryCode, sizeof r.countryCode, "%s", l.countryCode.c_str());
        std::snprintf(r.town, sizeof r.town, "%s", l.town.c_str());
        r.latitude = static_cast<float>(l.latitude);
        r.longitude = static_cast<float>(l.longitude);
        r.zoneMinutes = static_cast<std::int16_t>(l.zoneMinutes);
        EncodeLocationRecord(r, image.Append());
    }
    return image;
}

RecordFileImage MoonFeatures(const BuildOutput& b) {
    RecordFileImage image = Image(kCreatorMoon, kMoonFileVersion, kMoonFeatureRecordSize);
    // The features by name, then the same features by place on the picture.
    std::vector<MoonFeatureRecord> byPlace = b.moonFeatures;
    std::stable_sort(byPlace.begin(), byPlace.end(), [](const MoonFeatureRecord& x, const MoonFeatureRecord& y) {
        return x.column != y.column ? x.column < y.column : x.row < y.row;
    });
    for (const MoonFeatureRecord& r : b.moonFeatures) EncodeMoonFeatureRecord(r, image.Append());
    for (const MoonFeatureRecord& r : byPlace) EncodeMoonFeatureRecord(r, image.Append());
    return image;
}

template <typename Record>
RecordFileImage Records(std::uint32_t creator, std::uint32_t recordSize, const std::vector<Record>& records,
                        void (*encode)(const Record&, std::uint8_t*)) {
    RecordFileImage image = Image(creator, 0, recordSize);
    for (const Record& r : records) encode(r, image.Append());
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
    files.push_back({kMoonFile, MoonFeatures(built)});
    files.push_back({kMarsFile, Records(kCreatorMars, kMarsFeatureRecordSize, built.marsFeatures, EncodeMarsFeatureRecord)});
    files.push_back({kCometFile, Records(kCreatorComets, kCometRecordSize, built.comets, EncodeCometRecord)});
    files.push_back({kSatelliteFile, Image(kCreatorSatellites, 0, 0)});
    files.push_back({kUserObjectFile, Image(kCreatorUserObjects, 0, 0)});
    files.push_back({kEyepieceFile, Image(kCreatorEyepieces, 0, 0)});
    files.push_back({kLocationFile, Locations(built)});
    // The stellar levels present, and the star indexes of the HR and 110K levels. No source
    // gives Tycho numbers, so the Tycho index has no regions.
    std::map<std::uint32_t, int> recordsByLevel[7];
    for (int level = 0; level < 7; ++level) {
        if (built.levels[level].empty()) continue;
        LevelFile f = Level(built.levels[level]);
        recordsByLevel[level] = std::move(f.recordOf);
        files.push_back({kStellarLevelFiles[level], std::move(f.image)});
    }
    files.push_back({kHrIndexFile, StarIndex(kCreatorHrIndex, recordsByLevel[0])});
    files.push_back({kHipIndexFile, StarIndex(kCreatorHipIndex, recordsByLevel[4])});
    files.push_back({kTychoIndexFile, Image(kCreatorTychoIndex, 0, kTychoIndexRecordSize)});
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
