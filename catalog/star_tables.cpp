#include "catalog/star_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/startup_alloc.h"

std::uint8_t* brightStarsList = nullptr;
std::vector<ConstellationLine> constellationLines;
RecordFilePtr stellarDb;
int starCatalogLevel = kStarLevelNone;
int starsPerRecord = 0;

const char* const kStellarLevelFiles[7] = {
    "velkarion_hr.ppc",      "velkarion_hip_16k.ppc",   "velkarion_hip_32k.ppc",     "velkarion_hip_64k.ppc",
    "velkarion_hip_110k.ppc", "velkarion_tycho_390k.ppc", "velkarion_tycho_2500k.ppc",
};

namespace {

bool starTableLoaded = false;
int starTableCount = 0;
int brightStarCount = -1;  // -1 until read from the file
int loadedLineSet = -1;
bool lineSetComplete = false;

std::int32_t ToFixed(double value, double scale) {
    if (!std::isfinite(value)) return 0;
    const double v = value * scale;
    constexpr double kMax = std::numeric_limits<std::int32_t>::max();
    constexpr double kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::clamp(v, kMin, kMax));
}

int OpenBrightStarFile(RecordFilePtr& db) {
    return OpenDb(db, kCreatorBrightStars, kTypeCodeQvn1, 0, kDataFolder, kBrightStarFile);
}

bool ReadBrightStar(RecordFilePtr& db, int n, BrightStarRecord& out) {
    std::uint8_t bytes[kBrightStarRecordSize];
    if (n < 0 || n >= kAppendRecord || !GetDbRecord(db, static_cast<std::uint16_t>(n), bytes, sizeof bytes))
        return false;
    DecodeBrightStarRecord(bytes, out);
    return true;
}

// The star number of the table entry a bright-star record points at; false for a pointer
// outside the table.
bool StarNumberOf(const BrightStarRecord& rec, int& number) {
    if (rec.starIndex < 0 || rec.starIndex >= starTableCount) return false;
    number = BrightStars()[rec.starIndex].StarNumber();
    return true;
}

// Stars a constellation line may name: the loaded table, else the star file's records.
std::size_t StarTableSize() {
    if (starTableLoaded) return static_cast<std::size_t>(starTableCount);
    if (starDb) return starDb->recordCount;
    return kDefaultStarCount;
}

}  // namespace

std::int32_t HoursToFixedAngle(double hours) { return ToFixed(hours, kHoursToFixed); }
std::int32_t DegreesToFixedAngle(double degrees) { return ToFixed(degrees, kDegreesToFixed); }

// ---------------------------------------------------------------------------------------

int GetStarRecord(int n, StarRecord* out) {
    if (!starDb || !out || n < 0 || n >= GetDbRecordCount(starDb, 1)) return 0;
    std::uint8_t bytes[kStarRecordSize];
    if (!GetDbRecord(starDb, static_cast<std::uint16_t>(n), bytes, sizeof bytes)) {
        char detail[32];
        std::snprintf(detail, sizeof detail, "recId %d", n);
        ShowMessage("Could not retrieve star record!", detail);
        return 0;
    }
    DecodeStarRecord(bytes, *out);
    return 1;
}

bool AllocBrightStarsList() {
    return StartupAllocate(brightStarsList, 1, kBrightStarsListSize,
                           std::string(kStartupAllocFailure) + "bright stars list");
}

void FreeBrightStarsList() {
    StartupRelease(brightStarsList);
    // A later start gets a new, empty block: the table must be read into it again.
    starTableLoaded = false;
    starTableCount = 0;
}

StarRecord* BrightStars() {
    // The start-up loader's zero-filled block of implicit-lifetime records, used only as
    // StarRecord from here on.
    return reinterpret_cast<StarRecord*>(brightStarsList);
}

int GetStarTableCount() { return starTableCount; }

int LoadStarTable(int owner) {
    if (starTableLoaded) return 1;
    StarRecord* table = BrightStars();
    if (!starDb || !table) return 1;
    // A star file larger than the table is read as far as the table holds.
    const int count = std::min(GetDbRecordCount(starDb, 1), kStarTableCapacity);
    int loaded = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 150 == 0) ShowBusy(owner);
        StarRecord star;
        if (!GetStarRecord(n, &star)) break;
        star.word[1] = HoursToFixedAngle(star.FloatWord(1));
        star.word[2] = DegreesToFixedAngle(star.FloatWord(2));
        star.word[10] = 0;
        table[n] = star;
        ++loaded;
    }
    starTableCount = loaded;
    starTableLoaded = true;
    HideBusy(owner);
    return 1;
}

bool IsStarTableLoaded() { return starTableLoaded; }

// ---------------------------------------------------------------------------------------

int GetBrightStarCount() {
    if (brightStarCount >= 0) return brightStarCount;
    RecordFilePtr db;
    if (!OpenBrightStarFile(db)) return 0;
    brightStarCount = GetDbRecordCount(db, 1) / 2;
    return brightStarCount;
}

int GetBrightStarRecord(int n, BrightStarRecord* out) {
    RecordFilePtr db;
    if (!out || !OpenBrightStarFile(db)) return 0;
    return ReadBrightStar(db, n, *out) ? 1 : 0;
}

int FindBrightStar(int starNumber, BrightStarRecord* out) {
    LoadStarTable(0);
    RecordFilePtr db;
    if (!OpenBrightStarFile(db)) return -1;
    const int n = GetBrightStarCount();
    if (n == 0) return -1;

    BrightStarRecord rec;
    BrightStarRecord found;
    int m = -1;
    for (int lo = n, hi = 2 * n - 1; lo <= hi;) {
        const int mid = (lo + hi) / 2;
        int number = 0;
        if (!ReadBrightStar(db, mid, rec) || !StarNumberOf(rec, number)) return -1;
        if (number == starNumber) {
            m = mid;
            found = rec;
            break;
        }
        if (number > starNumber)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    if (m < 0) return -1;

    int result = m;
    BrightStarRecord named = found;
    for (int lo = 0, hi = n - 1; lo <= hi;) {
        const int mid = (lo + hi) / 2;
        if (!ReadBrightStar(db, mid, rec)) break;
        const int c = std::strcmp(rec.name, found.name);
        if (c == 0) {
            result = mid;
            named = rec;
            break;
        }
        if (c > 0)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    if (out) *out = named;
    return result;
}

// ---------------------------------------------------------------------------------------

int LoadConstellationLines(int set) {
    if (set < 0 || set > 1) return 0;
    if (set == loadedLineSet && lineSetComplete) return 1;
    loadedLineSet = set;
    lineSetComplete = false;
    constellationLines.clear();

    RecordFilePtr db;
    if (!OpenDb(db, kCreatorConstellationLines, kTypeCodeQvn1, 0, kDataFolder, kConstellationFile)) {
        ShowMessage("Could not find velkarion_constellation.ppc", "Please verify your configuration.");
        return 0;
    }
    const std::uint32_t total = std::min<std::uint32_t>(db->recordCount, kAppendRecord);
    std::vector<std::uint8_t> block;
    if (db->recordSize < kConstellationLineRecordSize || ReadRecordBlock(db.get(), 0, total, block) != 0) return 0;

    const std::size_t stars = StarTableSize();
    for (std::uint32_t i = 0; i < total; ++i) {
        ConstellationLineRecord rec;
        DecodeConstellationLineRecord(block.data() + static_cast<std::size_t>(i) * db->recordSize, rec);
        if (rec.set != set) continue;
        // An end star outside the table would be read past its end when the lines are drawn.
        if (rec.value[1] < 0 || static_cast<std::size_t>(rec.value[1]) >= stars || rec.value[2] < 0 ||
            static_cast<std::size_t>(rec.value[2]) >= stars)
            continue;
        constellationLines.push_back(ConstellationLine{{rec.value[0], rec.value[1], rec.value[2]}});
    }
    lineSetComplete = true;
    return 1;
}

void FreeConstellationLines() {
    constellationLines.clear();
    constellationLines.shrink_to_fit();
    loadedLineSet = -1;
    lineSetComplete = false;
}

// ---------------------------------------------------------------------------------------

int FindObjectIndexByDec(std::int32_t dec) {
    if (!objectIndexDb) return -1;
    const int count = GetDbRecordCount(objectIndexDb, 1);
    if (count <= 0) return -1;
    if (count == 1) return 0;
    int mid = -1;
    for (int lo = 1, hi = count - 1; lo <= hi;) {
        mid = (lo + hi) / 2;
        const std::uint8_t* rec = nullptr;
        if (objectIndexDb->recordSize < 16 || QueryRecord(objectIndexDb.get(), static_cast<std::uint32_t>(mid), &rec)) {
            char text[64];
            std::snprintf(text, sizeof text, "Can't find Object record number %d", mid);
            ShowMessage(text, "");
            return -1;
        }
        const std::int32_t d = le::I32(rec, 12);
        if (dec == d) return mid;
        if (dec < d)
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return mid;
}

// ---------------------------------------------------------------------------------------

namespace {

// Levels whose file failed to open since the level was last reset, and levels reported
// as not installed in this run.
bool levelMissing[7] = {};
bool levelReported[7] = {};
// The declination of each record's first star in the open level file, read once per open:
// every redraw looks up the band in view, and a probe per read cost two dozen seeks a redraw.
std::vector<double> levelFirstDeclinations;
// The opening of the file the table was read from: a level file opened in another's place
// (by a path that does not close the level first) may have as many records.
std::uint64_t levelFirstDeclinationsOpen = 0;

void CloseLevel() {
    levelFirstDeclinations.clear();
    CloseDb(stellarDb);
    starCatalogLevel = kStarLevelNone;
    starsPerRecord = 0;
}

bool OpenLevel(int level) {
    if (levelMissing[level]) return false;
    RecordFilePtr db;
    if (!OpenDb(db, kCreatorStellarLevel, kTypeCodeQvn1, 0, kDataFolder, kStellarLevelFiles[level]) ||
        db->recordSize == 0 || db->recordSize % kStellarStarEntrySize != 0) {
        levelMissing[level] = true;
        return false;
    }
    CloseLevel();
    starsPerRecord = static_cast<int>(db->recordSize / kStellarStarEntrySize);
    stellarDb = std::move(db);
    starCatalogLevel = level;
    return true;
}

// The levels that serve a caller, best first. A lookup needs its own level (its index
// names that file's records); the chart takes the chosen level, else the nearest present,
// fainter-limited ones first.
std::vector<int> LevelsFor(int level) {
    if (level == kStarLookupHr) return {kStarLevelHr};
    if (level == kStarLookupHip) return {kStarLevelHip110k};
    if (level == kStarLookupTycho) return {kStarLevelTycho2500k, kStarLevelTycho390k};
    const int chosen = std::clamp(preferences.word[pref::stellarCatalogChoice], 1, 6);
    std::vector<int> levels{chosen};
    for (int l = chosen - 1; l >= 1; --l) levels.push_back(l);
    for (int l = chosen + 1; l <= 6; ++l) levels.push_back(l);
    return levels;
}

bool IsChartLevel(int level) { return level != kStarLookupHr && level != kStarLookupHip && level != kStarLookupTycho; }

bool ReadStellarRecord(int record, const std::uint8_t** rec) {
    return stellarDb && record >= 0 && record < kAppendRecord &&
           QueryRecord(stellarDb.get(), static_cast<std::uint32_t>(record), rec) == 0;
}

// The entry of star `number` in level record `record`.
int FindInStellarRecord(int record, std::uint32_t number, StellarStarEntry* out) {
    const std::uint8_t* rec = nullptr;
    if (!ReadStellarRecord(record, &rec)) return 0;
    for (int k = 0; k < starsPerRecord; ++k) {
        StellarStarEntry e;
        DecodeStellarStarEntry(rec + static_cast<std::size_t>(k) * kStellarStarEntrySize, e);
        if (e.number != number) continue;
        if (out) *out = e;
        return 1;
    }
    return 0;
}

}  // namespace

int SelectStarCatalogLevel(int level) {
    if (preferences.word[pref::stellarCatalogChoice] == 0) return 0;
    const std::vector<int> levels = LevelsFor(level);
    for (int l : levels) {
        if (!(stellarDb && starCatalogLevel == l) && !OpenLevel(l)) continue;
        const int chosen = levels.front();
        if (l != chosen && IsChartLevel(level) && !levelReported[chosen]) {
            levelReported[chosen] = true;
            const std::string text = std::string(kStellarLevelFiles[chosen]) + " is not installed";
            const std::string detail = std::string("The stars of ") + kStellarLevelFiles[l] + " are shown instead.";
            ShowMessage(text.c_str(), detail.c_str());
        }
        return 1;
    }
    CloseLevel();
    return 0;
}

int IsStellarDbOpen() { return stellarDb ? 1 : 0; }

void ResetStarCatalogLevel() {
    CloseLevel();
    std::fill(std::begin(levelMissing), std::end(levelMissing), false);
}

int GetStellarStarCount() { return stellarDb ? GetDbRecordCount(stellarDb, starsPerRecord) : 0; }

double StellarEntryDeclination(const StellarStarEntry& e) {
    return e.decDegrees + e.decMinutes / 60.0 + e.decSeconds / 3600.0;
}

namespace {

// Fills levelFirstDeclinations from the open level file in a few block reads; false (and the
// table left empty) when a block can't be read.
bool ReadLevelFirstDeclinations(int count) {
    constexpr int kBlock = 4096;
    std::vector<std::uint8_t> block;
    levelFirstDeclinations.clear();
    levelFirstDeclinationsOpen = stellarDb->openSerial;
    levelFirstDeclinations.reserve(static_cast<std::size_t>(count));
    for (int first = 0; first < count; first += kBlock) {
        const int n = std::min(kBlock, count - first);
        const auto from = static_cast<std::uint32_t>(first), records = static_cast<std::uint32_t>(n);
        const std::uint8_t* bytes = MappedRecordBlock(stellarDb.get(), from, records);
        if (!bytes && ReadRecordBlock(stellarDb.get(), from, records, block) == 0) bytes = block.data();
        if (!bytes) {
            levelFirstDeclinations.clear();
            return false;
        }
        for (int k = 0; k < n; ++k) {
            StellarStarEntry e;
            DecodeStellarStarEntry(bytes + static_cast<std::size_t>(k) * stellarDb->recordSize, e);
            levelFirstDeclinations.push_back(StellarEntryDeclination(e));
        }
    }
    return true;
}

}  // namespace

int FindStellarRecordByDec(double decDegrees) {
    if (!stellarDb || starsPerRecord <= 0) return -1;
    const int count = GetDbRecordCount(stellarDb, 1);
    if (count <= 0) return -1;
    const bool kept = static_cast<int>(levelFirstDeclinations.size()) == count &&
                      levelFirstDeclinationsOpen == stellarDb->openSerial;
    if (kept || ReadLevelFirstDeclinations(count)) {
        const auto after = std::upper_bound(levelFirstDeclinations.begin(), levelFirstDeclinations.end(), decDegrees);
        return std::max(0, static_cast<int>(after - levelFirstDeclinations.begin()) - 1);
    }
    // A file whose blocks can't be read: a read per probe, as each record is wanted.
    int found = 0;
    for (int lo = 0, hi = count - 1; lo <= hi;) {
        const int mid = lo + (hi - lo) / 2;
        const std::uint8_t* rec = nullptr;
        if (!ReadStellarRecord(mid, &rec)) return -1;
        StellarStarEntry first;
        DecodeStellarStarEntry(rec, first);
        if (StellarEntryDeclination(first) <= decDegrees) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return found;
}

int GetStellarStar(int index, StellarStarEntry* out) {
    if (!stellarDb || starsPerRecord <= 0) {
        ShowMessage("Database Hipparchos isn't open!", "");
        return 0;
    }
    if (!out || index < 0) return 0;
    const std::uint8_t* rec = nullptr;
    if (!ReadStellarRecord(index / starsPerRecord, &rec)) return 0;
    DecodeStellarStarEntry(rec + static_cast<std::size_t>(index % starsPerRecord) * kStellarStarEntrySize, *out);
    return 1;
}

int GetHipparcosStar(int number, StellarStarEntry* out) {
    if (!stellarDb || starsPerRecord <= 0 || number <= 0) return 0;
    const bool hr = starCatalogLevel == kStarLevelHr;
    if (!hr && starCatalogLevel != kStarLevelHip110k) return 0;
    RecordFilePtr index;
    if (!OpenDb(index, hr ? kCreatorHrIndex : kCreatorHipIndex, kTypeCodeQvn1, 0, kDataFolder,
                hr ? kHrIndexFile : kHipIndexFile))
        return 0;
    const int record = number / kStellarIndexSlots;
    std::uint8_t bytes[kStellarIndexSlots * 2];
    if (record >= kAppendRecord || index->recordSize < sizeof bytes ||
        !GetDbRecord(index, static_cast<std::uint16_t>(record), bytes, sizeof bytes))
        return 0;
    const int levelRecord = le::I16(bytes, static_cast<std::size_t>(2 * (number % kStellarIndexSlots)));
    return levelRecord < 0 ? 0 : FindInStellarRecord(levelRecord, static_cast<std::uint32_t>(number), out);
}

int GetTychoStar(int number, StellarStarEntry* out) {
    if (!stellarDb || starsPerRecord <= 0 || number <= 0) return 0;
    if (starCatalogLevel != kStarLevelTycho390k && starCatalogLevel != kStarLevelTycho2500k) return 0;
    RecordFilePtr index;
    if (!OpenDb(index, kCreatorTychoIndex, kTypeCodeQvn1, 0, kDataFolder, kTychoIndexFile)) return 0;
    const int region = number / 100000;
    std::uint8_t bytes[kTychoIndexRecordSize];
    if (region >= kAppendRecord || index->recordSize < sizeof bytes ||
        !GetDbRecord(index, static_cast<std::uint16_t>(region), bytes, sizeof bytes))
        return 0;
    const float south = le::F32(bytes, 0), north = le::F32(bytes, 4);
    if (!(south <= north)) return 0;
    const int first = FindStellarRecordByDec(south), last = FindStellarRecordByDec(north);
    if (first < 0 || last < 0) return 0;
    for (int r = first; r <= last; ++r)
        if (FindInStellarRecord(r, static_cast<std::uint32_t>(number), out)) return 1;
    return 0;
}

void ResetStarTables() {
    starTableLoaded = false;
    starTableCount = 0;
    brightStarCount = -1;
    FreeConstellationLines();
}
