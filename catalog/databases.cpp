#include "catalog/databases.h"
#include "catalog/user_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/observing_lists.h"
#include "catalog/satellite_import.h"
#include "catalog/star_tables.h"
#include "core/report.h"
#include "core/settings.h"
#include "catalog/chart_buffers.h"
#include "platform/paths.h"

RecordFilePtr starDb;
RecordFilePtr objectDb;
RecordFilePtr moonDb;
RecordFilePtr marsDb;
RecordFilePtr descriptionDb;
RecordFilePtr cometDb;
RecordFilePtr satelliteDb;
RecordFilePtr userObjectDb;
RecordFilePtr objectIndexDb;
RecordFilePtr crossReferenceDb;
RecordFilePtr locationDb;
std::string objectIndexFileName = kObjectIndexFile;

CatalogEntry CatalogTable[kCatalogCount] = {
    {"None", "No Criteria", kCatalogAbsent, 0},
    {"Abell", "Abell", kCatalogAbsent, 0},
    {"B", "Barnard", kCatalogAbsent, 0},
    {"Basel", "Basel", kCatalogAbsent, 0},
    {"Berk", "Berkeley", kCatalogAbsent, 0},
    {"Be", "Bernes", kCatalogAbsent, 0},
    {"Biur", "Biurakan", kCatalogAbsent, 0},
    {"Blanco", "Blanco", kCatalogAbsent, 0},
    {"Bochum", "Bochum", kCatalogAbsent, 0},
    {"C", "Caldwell", kCatalogAbsent, 0},
    {"Ced", "Cederblad", kCatalogAbsent, 0},
    {"Cr", "Collinder", kCatalogAbsent, 0},
    {"Comet", "Comet&Asteroid", kCatalogAbsent, 0},
    {"      ", "Constellation", kCatalogAbsent, 0},
    {"Czernik", "Czernik", kCatalogAbsent, 0},
    {"Do", "Dolidze", kCatalogAbsent, 0},
    {"DoDz", "Dolidze-Dzimselej", kCatalogAbsent, 0},
    {"Graff", "Graff", kCatalogAbsent, 0},
    {"Graham", "Graham", kCatalogAbsent, 0},
    {"Grindlay", "Grindlay", kCatalogAbsent, 0},
    {"Gum", "Gum", kCatalogAbsent, 0},
    {"HA", "HA", kCatalogAbsent, 0},
    {"Haffner", "Haffner", kCatalogAbsent, 0},
    {"Harvard", "Harvard", kCatalogAbsent, 0},
    {"HP", "Haute Provence", kCatalogAbsent, 0},
    {"H", "Herschel", kCatalogAbsent, 0},
    {"HIP", "Hipparchos", kCatalogAbsent, 0},
    {"Hogg", "Hogg", kCatalogAbsent, 0},
    {"HR", "HR", kCatalogAbsent, 0},
    {"IC", "IC", kCatalogAbsent, 0},
    {"Isk", "Iskudarian", kCatalogAbsent, 0},
    {"King", "King", kCatalogAbsent, 0},
    {"Lg", "Lg", kCatalogAbsent, 0},
    {"Liller", "Liller", kCatalogAbsent, 0},
    {"LDN", "Lynds", kCatalogAbsent, 0},
    {"Lynga", "Lynga", kCatalogAbsent, 0},
    {"Maffei", "Maffei", kCatalogAbsent, 0},
    {"Mrk", "Markarian", kCatalogAbsent, 0},
    {"Mayer", "Mayer", kCatalogAbsent, 0},
    {"Mel", "Melotte", kCatalogAbsent, 0},
    {"M", "Messier", kCatalogAbsent, 0},
    {"Meteor", "Meteor Showers", kCatalogAbsent, 0},
    {"NGC", "NGC", kCatalogAbsent, 0},
    {"Pal", "Palomar", kCatalogAbsent, 0},
    {"Pismis", "Pismis", kCatalogAbsent, 0},
    {"      ", "Planet", kCatalogAbsent, 0},
    {"RCW", "RCW", kCatalogAbsent, 0},
    {"Roslund", "Roslund", kCatalogAbsent, 0},
    {"Ru", "Ruprecht", kCatalogAbsent, 0},
    {"SAC", "110 Best of NGC", kCatalogAbsent, 0},
    {"Sa", "Sandqvist", kCatalogAbsent, 0},
    {"SAO", "SAO Double Star", kCatalogAbsent, 0},
    {"Sh2", "Sharpless", kCatalogAbsent, 0},
    {"SL", "SL", kCatalogAbsent, 0},
    {"      ", "Stars (Brighest)", kCatalogAbsent, 0},
    {"Steph", "Stephenson", kCatalogAbsent, 0},
    {"Stock", "Stock", kCatalogAbsent, 0},
    {"Ter", "Terzan", kCatalogAbsent, 0},
    {"Tombaugh", "Tombaugh", kCatalogAbsent, 0},
    {"Tr", "Trumpler", kCatalogAbsent, 0},
    {"TYC", "Tycho", kCatalogAbsent, 0},
    {"UGC", "UGC", kCatalogAbsent, 0},
    {"UGCA", "UGCA", kCatalogAbsent, 0},
    {"User", "User catalog", kCatalogAbsent, 0},
    {"vdB", "Van den Bergh", kCatalogAbsent, 0},
    {"vdB-Ha", "Van den Bergh-Hagen", kCatalogAbsent, 0},
    {"Waterloo", "Waterloo", kCatalogAbsent, 0},
    {"Westr", "Westerlund", kCatalogAbsent, 0},
};

namespace {

bool catalogSetOpen = false;

// Object record of each list position, -1 when the object file lacks the object.
std::vector<std::int32_t> messierRecords(kMessierCount, -1);
std::vector<std::int32_t> caldwellRecords(kCaldwellCount, -1);
std::vector<std::int32_t> herschelRecords(kHerschelCount, -1);
std::vector<std::int32_t> bestNgcRecords(kBestNgcCount, -1);

std::uint64_t KeyOf(std::uint32_t catalog, std::uint32_t number) {
    return (static_cast<std::uint64_t>(catalog) << 32) | number;
}

void ResetCatalogIndex() {
    for (auto& row : CatalogTable) {
        row.first = kCatalogAbsent;
        row.last = 0;
    }
    for (auto* list : {&messierRecords, &caldwellRecords, &herschelRecords, &bestNgcRecords})
        std::fill(list->begin(), list->end(), -1);
}

// One pass over the object file finds each catalog's record range and the record of every
// observing-list object, so that none of them depends on a particular build of the file.
void IndexObjectFile() {
    ResetCatalogIndex();
    if (!objectDb || objectDb->recordSize < kObjectRecordSize) return;
    struct Wanted {
        std::vector<std::int32_t>* records;
        int position;
    };
    std::unordered_multimap<std::uint64_t, Wanted> wanted;
    auto want = [&](const CatalogKey* keys, int count, std::vector<std::int32_t>& records) {
        for (int i = 0; i < count; ++i) wanted.emplace(KeyOf(keys[i].catalog, keys[i].number), Wanted{&records, i});
    };
    want(kMessierKeys, kMessierCount, messierRecords);
    want(kCaldwellKeys, kCaldwellCount, caldwellRecords);
    want(kHerschelKeys, kHerschelCount, herschelRecords);
    want(kBestNgcKeys, kBestNgcCount, bestNgcRecords);

    const std::uint32_t recordSize = objectDb->recordSize;
    auto scan = [&](const std::uint8_t* records, std::uint32_t first, std::uint32_t n) {
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint8_t* rec = records + static_cast<std::size_t>(i) * recordSize;
            const std::uint32_t catalog = le::U32(rec, 0);
            const std::uint32_t number = le::U32(rec, 4);
            const auto index = static_cast<std::int32_t>(first + i);
            if (catalog < kCatalogCount) {
                CatalogEntry& row = CatalogTable[catalog];
                if (row.first == kCatalogAbsent) row.first = index;
                row.last = index + 1;
            }
            auto [lo, hi] = wanted.equal_range(KeyOf(catalog, number));
            for (auto it = lo; it != hi; ++it) {
                std::int32_t& slot = (*it->second.records)[static_cast<std::size_t>(it->second.position)];
                if (slot < 0) slot = index;
            }
        }
    };

    // Record indexes are 16-bit at the database layer.
    const std::uint32_t total = std::min<std::uint32_t>(objectDb->recordCount, kAppendRecord);
    // Every start scans the whole file (1.3 MB): mapped, its pages come from the system's
    // cache without a copy. A file that can't be mapped is read in blocks.
    if (const std::uint8_t* all = MappedRecordBlock(objectDb.get(), 0, total)) {
        scan(all, 0, total);
        return;
    }
    constexpr std::uint32_t kBlock = 4096;
    std::vector<std::uint8_t> block;
    for (std::uint32_t first = 0; first < total; first += kBlock) {
        const std::uint32_t n = std::min(kBlock, total - first);
        if (ReadRecordBlock(objectDb.get(), first, n, block) != 0) return;
        scan(block.data(), first, n);
    }
}

int ListObject(const std::vector<std::int32_t>& records, int n, ObjectRef* out) {
    if (n < 0 || static_cast<std::size_t>(n) >= records.size()) return 0;
    const std::int32_t record = records[static_cast<std::size_t>(n)];
    if (record < 0) return 0;
    return GetObjectRecord(record, out);
}

bool ValidIndex(int n) { return n >= 0 && n < kAppendRecord; }

}  // namespace

// ---------------------------------------------------------------------------------------

int OpenCatalogDatabases(int reopen) {
    if (!catalogSetOpen || reopen) {
        if (catalogSetOpen) CloseCatalogDatabases();
        OpenAllCatalogDatabases();
    }
    catalogSetOpen = true;
    return 1;
}

int OpenAllCatalogDatabases() {
    int result = 0;
    for (auto* db : {&starDb, &objectDb, &moonDb, &marsDb, &descriptionDb, &cometDb, &userObjectDb}) db->reset();

    if (!OpenDb(starDb, kCreatorDefaultStars, kTypeCodeQvn1, 0, kDataFolder, kDefaultStarsFile)) {
        ShowMessage("Could not open star database\nPlease install velkarion_default_stars.ppc into data sub directory.",
                    ("Searched " + platform::SearchedFolders(kDataFolder)).c_str());
        result = -1;
    }
    // The chart's star buffer no longer matches what is open.
    if (starBuffer) std::memcpy(starBuffer, &kStarBufferEmpty, sizeof kStarBufferEmpty);

    if (!OpenDb(objectDb, kCreatorObjects, kTypeCodeQvn1, 0, kDataFolder, kObjects18kFile) &&
        !OpenDb(objectDb, kCreatorObjects, kTypeCodeQvn1, 0, kDataFolder, kObjects1kFile)) {
        ShowMessage("Could not open object database\n\nPlease install either:\nvelkarion_obj_1k.ppc or,\n"
                    "velkarion_obj_18k.ppc into data sub directory.",
                    ("Searched " + platform::SearchedFolders(kDataFolder)).c_str());
        result = -1;
    }
    std::uint16_t version = 0;
    if (GetDbVersion(objectDb, &version) && version != kObjectFileVersion)
        ShowMessage("You did not install the last version of velkarion_obj_18k.ppc or velkarion_obj_1k.ppc into data "
                    "sub directory.",
                    "");
    IndexObjectFile();

    if (OpenDb(moonDb, kCreatorMoon, kTypeCodeQvn1, 0, kDataFolder, kMoonFile)) {
        if (GetDbVersion(moonDb, &version) && version != kMoonFileVersion)
            ShowMessage("You did not install the last version of velkarion_moon.ppc", "");
    } else {
        result = -1;
    }

    OpenDb(marsDb, kCreatorMars, kTypeCodeQvn1, 0, kDataFolder, kMarsFile);
    OpenDb(descriptionDb, kCreatorDescriptions, kTypeCodeQvn1, 0, kDataFolder, kDescriptionsFile);
    // A copy made from the empty comet file of an older set-up takes the shipped comets.
    RefreshEmptyUserCopy(std::string(kDataFolder) + kCometFile);
    OpenDb(cometDb, kCreatorComets, kTypeCodeQvn1, 1, kDataFolder, kCometFile);
    OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile);
    // The user's element file, when it changed since it was merged last.
    ImportUserElementFile();
    // Opening the user-object file only makes sure its writable copy exists.
    OpenDb(userObjectDb, kCreatorUserObjects, kTypeCodeQvn1, 1, kUserCatalogFolder, kUserObjectFile);
    CloseDb(userObjectDb);
    // A user catalog chosen in the list manager stays the user objects.
    ReopenChosenUserCatalog();

    OpenDb(objectIndexDb, kCreatorObjectIndex, kTypeCodeQvn1, 0, kDataFolder, objectIndexFileName);
    OpenDb(crossReferenceDb, kCreatorCrossReferences, kTypeCodeQvn1, 0, kDataFolder, kCrossReferenceFile);

    // The stellar level of the "Card Catalog" setting, so that the chart's faint stars and
    // the settings page find it open (a missing file is the page's to report).
    if (preferences.word[pref::stellarCatalogChoice] != 0) SelectStarCatalogLevel(kStarLookupChart);
    return result;
}

void CloseCatalogDatabases() {
    for (auto* db : {&starDb, &objectDb, &moonDb, &marsDb, &descriptionDb, &cometDb, &satelliteDb, &userObjectDb,
                     &objectIndexDb, &crossReferenceDb})
        CloseDb(*db);
    ResetCatalogIndex();
    ResetStarCatalogLevel();
    catalogSetOpen = false;
}

int CloseUserObjectDb() {
    CloseDb(userObjectDb);
    return 0;
}

int OpenObjectIndex() {
    CloseDb(objectIndexDb);
    return OpenDb(objectIndexDb, kCreatorObjectIndex, kTypeCodeQvn1, 0, kDataFolder, objectIndexFileName);
}

// ---------------------------------------------------------------------------------------

int GetObjectRecord(int n, ObjectRef* out) {
    if (!objectDb) {
        ShowMessage("Object database isn't open!", "");
        return 0;
    }
    // The shipped file is read in place once mapped: the finder's halving reads a record per
    // probe, and a seek and a read each cost more than the probe.
    const std::uint8_t* mapped = nullptr;
    if (out && ValidIndex(n) && objectDb->recordSize >= kObjectRecordSize)
        mapped = MappedRecordBlock(objectDb.get(), static_cast<std::uint32_t>(n), 1);
    std::uint8_t bytes[kObjectRecordSize];
    if (!mapped &&
        (!out || !ValidIndex(n) || !GetDbRecord(objectDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes))) {
        ShowMessage("Could not retrieve object record!", "");
        return 0;
    }
    DecodeObjectRecord(mapped ? mapped : bytes, *out);
    out->name[0] = '\0';
    return 1;
}

int GetUserObjectCount() { return GetDbRecordCount(userObjectDb, 1); }

int GetUserObject(int n, ObjectRef* out) {
    if (!userObjectDb) {
        ShowMessage("User Object database isn't open!", "");
        return 0;
    }
    if (!out || n < 0 || n >= GetUserObjectCount()) return 0;
    std::uint8_t bytes[kUserObjectRecordSize];
    if (!GetDbRecord(userObjectDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        ShowMessage("Could not retrieve user object record!", "");
        return 0;
    }
    DecodeUserObjectRecord(bytes, *out);
    if (out->name[0] == '\0') {
        const char* prefix = out->catalog < kCatalogCount ? CatalogTable[out->catalog].prefix : "";
        char name[48] = {};
        std::snprintf(name, sizeof name, "%s%lu", prefix, static_cast<unsigned long>(out->number));
        std::memcpy(out->name, name, sizeof out->name - 1);
        out->name[sizeof out->name - 1] = '\0';
    }
    return 1;
}

int WriteUserObject(int n, const ObjectRef& object) {
    std::uint8_t bytes[kUserObjectRecordSize];
    EncodeUserObjectRecord(object, bytes);
    if (n != kAppendRecord && !ValidIndex(n)) return 0;
    return WriteDbRecord(userObjectDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes);
}

int DeleteUserObject(int n) { return DeleteDbRecord(userObjectDb, n); }
int DeleteSatellite(int n) { return DeleteDbRecord(satelliteDb, n); }

int GetSatelliteCount() { return satelliteDb ? GetDbRecordCount(satelliteDb, 1) : 0; }

int WriteSatellite(int n, const SatelliteRecord& record) {
    std::uint8_t bytes[kSatelliteRecordSize];
    EncodeSatelliteRecord(record, bytes);
    if (!satelliteDb || (n != kAppendRecord && !ValidIndex(n))) return 0;
    return WriteDbRecord(satelliteDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes);
}

int FormatSatelliteLine(std::string& out, const char* text) {
    const std::size_t length = strnlen(text, kSatelliteTextSize);
    out.append(text, length);
    out.push_back('\n');
    return static_cast<int>(length) + 1;
}

int GetCometData(int n, CometRecord* out) {
    if (!cometDb || !out) return 0;
    std::uint8_t bytes[kCometRecordSize];
    if (!ValidIndex(n) || !GetDbRecord(cometDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        char text[64];
        std::snprintf(text, sizeof text, "GetCometData: Could not retrieve comet record! %d", n);
        ShowMessage(text, "");
        return 0;
    }
    DecodeCometRecord(bytes, *out);
    return 1;
}

int GetCometCount() { return cometDb ? GetDbRecordCount(cometDb, 1) : 0; }

int WriteComet(int n, const CometRecord& record) {
    std::uint8_t bytes[kCometRecordSize];
    EncodeCometRecord(record, bytes);
    if (!cometDb || (n != kAppendRecord && !ValidIndex(n))) return 0;
    return WriteDbRecord(cometDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes);
}

int DeleteComet(int n) { return cometDb ? DeleteDbRecord(cometDb, n) : 0; }

int ReplaceAllComets(const std::vector<CometRecord>& comets) {
    if (!cometDb || cometDb->mode != 1) {
        ShowMessage("Comet database isn't open for writing!", "");
        return 0;
    }
    RecordFileImage image;
    image.version = cometDb->version;
    image.creator = cometDb->creator;
    image.recordSize = kCometRecordSize;
    for (const CometRecord& c : comets) EncodeCometRecord(c, image.Append());
    const std::filesystem::path path = cometDb->path;
    if (!WriteRecordFileImage(path, image)) {
        ShowMessage("Could not write the comet database!", path.string().c_str());
        return 0;
    }
    return OpenDb(cometDb, kCreatorComets, kTypeCodeQvn1, 1, kDataFolder, kCometFile) ? 1 : 0;
}

int GetSatelliteData(int n, SatelliteRecord* out) {
    if (!satelliteDb) {
        ShowMessage("Satellite database isn't open!", "");
        return 0;
    }
    std::uint8_t bytes[kSatelliteRecordSize];
    if (!out || !ValidIndex(n) || !GetDbRecord(satelliteDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        ShowMessage("Could not retrieve satellite record!", "");
        return 0;
    }
    DecodeSatelliteRecord(bytes, *out);
    return 1;
}

int GetMoonFeatureCount() {
    if (!moonDb || moonDb->recordCount > 1000) return 0;
    return static_cast<int>(moonDb->recordCount / 2);
}

int GetMoonFeature(int n, MoonFeatureRecord* out) {
    if (n < 0 || n > 1794) return 0;
    if (!moonDb) {
        ShowMessage("Moon Database isn't open!", "");
        return 0;
    }
    std::uint8_t bytes[kMoonFeatureRecordSize];
    if (!out || !GetDbRecord(moonDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        ShowMessage("Could not retrieve moon record!", "");
        return 0;
    }
    DecodeMoonFeatureRecord(bytes, *out);
    return 1;
}

int GetMarsFeatureCount() { return GetDbRecordCount(marsDb, 1); }

int GetMarsFeature(int n, MarsFeatureRecord* out) {
    if (!marsDb) {
        ShowMessage("Mars Database isn't open!", "");
        return 0;
    }
    if (n < 0 || n >= GetMarsFeatureCount()) return 0;
    std::uint8_t bytes[kMarsFeatureRecordSize];
    if (!out || !GetDbRecord(marsDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        ShowMessage("Could not retrieve mars record!", "");
        return 0;
    }
    DecodeMarsFeatureRecord(bytes, *out);
    return 1;
}

int FindMarsFeatureRun(int kind, int* first, int* count) {
    const int total = GetMarsFeatureCount();
    int start = -1;
    int run = 0;
    std::vector<std::uint8_t> block;
    if (total > 0 && marsDb->recordSize >= kMarsFeatureRecordSize &&
        ReadRecordBlock(marsDb.get(), 0, static_cast<std::uint32_t>(total), block) == 0) {
        for (int i = 0; i < total; ++i) {
            const std::int16_t k = le::I16(block.data() + static_cast<std::size_t>(i) * marsDb->recordSize, 20);
            if (k == kind) {
                if (start < 0) start = i;
                ++run;
            } else if (start >= 0) {
                break;
            }
        }
    }
    if (first) *first = start < 0 ? 0 : start;
    if (count) *count = start < 0 ? total : run;
    return start;
}

int GetCatalogList(std::span<const char*> names, std::span<int> codes) {
    static constexpr int kCodes[] = {kCatalogCaldwell, kCatalogComet, kCatalogConstellation, kCatalogHerschel,
                                     kCatalogMessier,  kCatalogPlanet, kCatalogBestNgc,       kCatalogBrightStar,
                                     kCatalogUser};
    const int n = GetUserObjectCount() > 0 ? 9 : 8;
    for (int i = 0; i < n; ++i) {
        if (static_cast<std::size_t>(i) < names.size()) names[static_cast<std::size_t>(i)] = CatalogTable[kCodes[i]].name;
        if (static_cast<std::size_t>(i) < codes.size()) codes[static_cast<std::size_t>(i)] = kCodes[i];
    }
    return n;
}

void DecodeLocationRecord(const std::uint8_t* bytes, LocationRecord& out) {
    out = LocationRecord{};
    le::Text(bytes, 0, 21, out.country);
    le::Text(bytes, 21, 3, out.countryCode);
    le::Text(bytes, 24, 23, out.town);
    out.latitude = le::F32(bytes, 48);
    out.longitude = le::F32(bytes, 52);
    out.zoneMinutes = le::I16(bytes, 56);
}

void EncodeLocationRecord(const LocationRecord& rec, std::uint8_t* bytes) {
    std::memset(bytes, 0, kLocationRecordSize);
    le::PutText(bytes, 0, 21, rec.country);
    le::PutText(bytes, 21, 3, rec.countryCode);
    le::PutText(bytes, 24, 23, rec.town);
    le::PutF32(bytes, 48, rec.latitude);
    le::PutF32(bytes, 52, rec.longitude);
    le::PutI16(bytes, 56, rec.zoneMinutes);
}

int GetLocationRecord(int index, LocationRecord* out) {
    if (!out || !ValidIndex(index)) return 0;
    CloseDb(locationDb);
    if (!OpenDb(locationDb, kCreatorLocations, kTypeCodeQvn1, 1, kDataFolder, kLocationFile)) return 0;
    std::uint8_t bytes[kLocationRecordSize];
    const int ok = GetDbRecord(locationDb, static_cast<std::uint16_t>(index), bytes, sizeof bytes);
    CloseDb(locationDb);
    if (!ok) return 0;
    DecodeLocationRecord(bytes, *out);
    out->longitude = -out->longitude;
    return 1;
}

int GetMessierObject(int n, ObjectRef* out) { return ListObject(messierRecords, n, out); }
int GetCaldwellObject(int n, ObjectRef* out) { return ListObject(caldwellRecords, n, out); }
int GetHerschelObject(int n, ObjectRef* out) { return ListObject(herschelRecords, n, out); }
int GetBestNgcObject(int n, ObjectRef* out) { return ListObject(bestNgcRecords, n, out); }
