#include "chart/star_layers.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/star_tables.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "chart/sky_window.h"
#include "core/report.h"
#include "core/settings.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

// Font 8 is past the shared set: the largest label takes its last font.
int chartLabelFonts[4] = {2, 4, 6, 7};

namespace {

constexpr int kSizeNormal[14] = {8, 8, 8, 7, 7, 6, 5, 5, 4, 3, 2, 1, 0, 0};
constexpr int kSizeNight[14] = {7, 7, 7, 6, 6, 5, 4, 4, 3, 2, 1, 0, -1, -1};
constexpr int kSizeScale2[14] = {6, 6, 6, 5, 5, 4, 4, 3, 2, 1, 0, -1, -2, -2};
constexpr platform::Color kWhiteKey = 0xFFFFFF;
constexpr platform::Color kBlackKey = 0x000000;

bool NightOn() { return ChartSetting(chartpref::nightMode) != 0; }
bool WhiteStrip() { return ChartSetting(chartpref::background) == kBackgroundWhite && !NightOn(); }

int ZoomIndex(int zoom) { return std::clamp(zoom, 0, 13); }

// Where a level entry keeps its magnitude (see StellarStarEntry).
constexpr std::size_t kStellarMagnitudeByte = 10;

// The star buffer, as 8-byte little-endian entries.
void PutStarEntry(int position, std::uint32_t index, int x, int y) {
    std::uint8_t* e = starBuffer + static_cast<std::size_t>(position) * kStarBufferEntrySize;
    le::PutU32(e, 0, index);
    le::PutI16(e, 4, static_cast<std::int16_t>(x));
    le::PutI16(e, 6, static_cast<std::int16_t>(y));
}

// Collects the stars drawn, keeping room for the end marker: the 2000th entry would be
// overwritten by it, so 1999 stay.
struct StarCollector {
    int count = 0;
    void Begin() {
        count = 0;
        if (starBuffer) PutStarEntry(0, static_cast<std::uint32_t>(kStarBufferEmpty), 0, 0);
    }
    void Add(std::uint32_t index, int x, int y) {
        if (!starBuffer || count >= kStarBufferEntries) return;
        PutStarEntry(count++, index, x, y);
    }
    void End() {
        if (!starBuffer) return;
        if (count >= kStarBufferEntries) count = kStarBufferEntries - 1;
        PutStarEntry(count, static_cast<std::uint32_t>(kStarBufferEmpty), 0, 0);
    }
};

// One full turn of azimuth in pixels at the horizontal scale (16.16) of the horizon view.
int AzimuthTurnPixels(std::int32_t scaleX) {
    return static_cast<int>(std::llabs(static_cast<long long>(scaleX) * 360 / 65536));
}

// In the horizon view an x past either side is tried one turn of azimuth towards the
// inside. False when it is still outside.
bool WrapIntoView(int* x, int xMin, int xMax, int turn) {
    if (*x >= xMin && *x <= xMax) return true;
    if (!IsHorizonView()) return false;
    *x += *x < xMin ? turn : -turn;
    return *x >= xMin && *x <= xMax;
}

std::int32_t PixelTerm(std::int32_t v, std::int32_t scale) {
    return static_cast<std::int32_t>(((static_cast<std::int64_t>(v) * scale) >> 24) >> 10);
}

// The 8.24 angle of a star's h m s (or d ' ") by the fixed multipliers of the level files.
std::int32_t FixedParts(int a, int b, int c, std::int64_t ka, std::int64_t kb, std::int64_t kc) {
    const std::int64_t s = (static_cast<std::int64_t>(a) * 131072 * ka) / 16777216 +
                           (static_cast<std::int64_t>(b) * 131072 * kb) / 16777216 +
                           (static_cast<std::int64_t>(c) * 131072 * kc) / 16777216;
    return static_cast<std::int32_t>(s);
}

std::int32_t FixedRa(const StellarStarEntry& e) {
    return FixedParts(e.raHours, e.raMinutes, e.raSeconds, 562209904, 9370165, 156169);
}
std::int32_t FixedDec(const StellarStarEntry& e) {
    return FixedParts(e.decDegrees, e.decMinutes, e.decSeconds, 37480660, 624677, 10411);
}

// Right-ascension windows in minutes of time; a star's minute must lie strictly inside one.
struct RaWindows {
    double lo[2];
    double hi[2];
    bool Contains(double minute) const {
        return (minute > lo[0] && minute < hi[0]) || (minute > lo[1] && minute < hi[1]);
    }
};

// A window that starts at 0 h starts just before it: a minute must lie strictly inside,
// and the stars of the first minute of right ascension belong to the view too.
constexpr double kFromZeroHours = -1.0;

RaWindows MakeRaWindows(double ra, double hw) {
    if (hw >= 24.0) return {{kFromZeroHours, kFromZeroHours}, {1440.0, 1440.0}};
    if (ra - hw < 0.0) return {{(ra + 24.0 - hw) * 60.0, kFromZeroHours}, {1440.0, (ra + hw) * 60.0}};
    if (ra + hw > 24.0) return {{(ra - hw) * 60.0, kFromZeroHours}, {1440.0, (ra + hw - 24.0) * 60.0}};
    return {{(ra - hw) * 60.0, ra * 60.0 - 1.0}, {ra * 60.0 + 1.0, (ra + hw) * 60.0}};
}

// The initial right-ascension half-width (hours) of the zoom at the centre's declination.
double InitialHalfWidth(int zoom, double dec) {
    const double a = std::fabs(dec);
    switch (zoom) {
    case 5: return a < 70.0 ? 4.0 : 24.0;
    case 6: return a < 70.0 ? 2.0 : 24.0;
    case 7: return a < 70.0 ? 1.0 : 24.0;
    case 8: return a < 70.0 ? 0.5 : 24.0;
    case 9: return a < 75.0 ? 0.25 : 24.0;
    default: return a < 80.0 ? 0.1 : 24.0;
    }
}

// The entries of a zone record of the open level file.
int EntriesPerZone() {
    return std::min<int>(starsPerRecord, static_cast<int>(stellarDb->recordSize / kStellarStarEntrySize));
}

// What the faint-star layers keep of the open level file while it stays open (a file open
// read-only, whose records can't change): each zone's entries brightest first, so that a
// redraw visits only the stars bright enough for its zoom and not every record of the band
// in view, and each star's unit vector, worked out when the star is first drawn in a sky
// view, since its two sines and cosines were most of the cost of turning it into the view.
constexpr std::int32_t kNotWorkedOut = INT32_MIN;
// An entry's position in its zone is kept in a byte and the zone's chosen entries in a
// bit set: a zone of more entries is read as it stands.
constexpr int kMostKeptEntries = 128;
struct KeptLevel {
    std::uint64_t openSerial = 0;  // 0: nothing kept
    int entries = 0;               // per zone
    std::vector<std::uint8_t> order;       // per zone, its entries' positions, brightest first
    std::vector<std::uint8_t> magnitudes;  // per zone, the entries' magnitudes in that order
    std::vector<SkyVector> unitVectors;    // by star index; z is kNotWorkedOut until worked out
};
KeptLevel keptLevel;

// Puts each zone's entries brightest first (a stable order, so that equal magnitudes keep
// their places). False when a block of records can't be read.
bool OrderZones(KeptLevel& kept, int records) {
    constexpr int kBlock = 4096;
    const int entries = kept.entries;
    const std::size_t size = stellarDb->recordSize;
    kept.order.resize(static_cast<std::size_t>(records) * entries);
    kept.magnitudes.resize(kept.order.size());
    std::vector<std::uint8_t> block;
    for (int from = 0; from < records; from += kBlock) {
        const auto n = static_cast<std::uint32_t>(std::min(kBlock, records - from));
        const std::uint8_t* bytes = MappedRecordBlock(stellarDb.get(), static_cast<std::uint32_t>(from), n);
        if (!bytes && ReadRecordBlock(stellarDb.get(), static_cast<std::uint32_t>(from), n, block) == 0)
            bytes = block.data();
        if (!bytes) return false;
        for (std::uint32_t r = 0; r < n; ++r) {
            const std::uint8_t* rec = bytes + r * size;
            const std::size_t at = (from + r) * static_cast<std::size_t>(entries);
            std::uint8_t* order = kept.order.data() + at;
            for (int i = 0; i < entries; ++i) order[i] = static_cast<std::uint8_t>(i);
            const auto magnitude = [rec](std::uint8_t i) {
                return rec[static_cast<std::size_t>(i) * kStellarStarEntrySize + kStellarMagnitudeByte];
            };
            std::stable_sort(order, order + entries,
                             [&](std::uint8_t a, std::uint8_t b) { return magnitude(a) < magnitude(b); });
            for (int i = 0; i < entries; ++i) kept.magnitudes[at + i] = magnitude(order[i]);
        }
    }
    return true;
}

// The kept state of the open level, made at its first drawing; null for a file open for
// update, a zone of more than kMostKeptEntries entries or a file that can't be read whole.
KeptLevel* KeptLevelOfOpenFile(int entries) {
    const RecordFile* file = stellarDb.get();
    if (!file || file->mode != 0 || entries <= 0 || entries > kMostKeptEntries) return nullptr;
    if (keptLevel.openSerial == file->openSerial) return &keptLevel;
    keptLevel = KeptLevel{};
    keptLevel.entries = entries;
    const int records = GetDbRecordCount(stellarDb, 1);
    if (!OrderZones(keptLevel, records)) {
        keptLevel = KeptLevel{};
        return nullptr;
    }
    keptLevel.unitVectors.assign(static_cast<std::size_t>(records) * starsPerRecord, SkyVector{0, 0, kNotWorkedOut});
    keptLevel.openSerial = file->openSerial;
    return &keptLevel;
}

// A star's unit vector, kept when the level is.
SkyVector StarUnitVector(KeptLevel* kept, std::uint32_t index, std::int32_t ra, std::int32_t dec) {
    if (!kept) return SkyUnitVector(ra, dec);
    SkyVector& v = kept->unitVectors[index];
    if (v.z == kNotWorkedOut) v = SkyUnitVector(ra, dec);
    return v;
}

// Reads the zone records first..last (inclusive) of the open level file and hands each
// entry no fainter than `threshold` (sixteenths of a magnitude) with its star index to
// `use`. The magnitude byte is looked at before the entry is decoded: most of a band's
// stars are too faint for the zoom. An unreadable record is reported and skipped.
template <typename Use>
void ForEachStellarEntry(int first, int last, int threshold, Use use) {
    const int records = GetDbRecordCount(stellarDb, 1);
    first = std::max(first, 0);
    last = std::min(last, records - 1);
    if (first > last) return;
    const int perRecord = starsPerRecord;
    const int entries = EntriesPerZone();
    const auto useEntry = [&](int zone, const std::uint8_t* rec, int i) {
        StellarStarEntry e;
        DecodeStellarStarEntry(rec + static_cast<std::size_t>(i) * kStellarStarEntrySize, e);
        use(e, static_cast<std::uint32_t>(i + zone * perRecord));
    };
    const KeptLevel* kept = KeptLevelOfOpenFile(entries);
    const auto visit = [&](int zone, const std::uint8_t* rec) {
        if (!kept) {
            for (int i = 0; i < entries; ++i)
                if (rec[static_cast<std::size_t>(i) * kStellarStarEntrySize + kStellarMagnitudeByte] <= threshold)
                    useEntry(zone, rec, i);
            return;
        }
        // The zone's bright enough entries, then visited in the file's order as before.
        const std::size_t at = static_cast<std::size_t>(zone) * entries;
        std::uint64_t chosen[kMostKeptEntries / 64] = {};
        for (int k = 0; k < entries && kept->magnitudes[at + k] <= threshold; ++k) {
            const int i = kept->order[at + k];
            chosen[i / 64] |= std::uint64_t{1} << (i % 64);
        }
        for (int word = 0; word < kMostKeptEntries / 64; ++word)
            for (std::uint64_t bits = chosen[word]; bits != 0; bits &= bits - 1)
                useEntry(zone, rec, word * 64 + std::countr_zero(bits));
    };
    // The declination band in place from the mapped file, or else in one read: a seek and a
    // read per record cost more than the stars they hold. The read's buffer is kept between
    // drawings so that a redraw allocates nothing.
    const auto count = static_cast<std::uint32_t>(last - first + 1);
    const std::uint8_t* bytes = MappedRecordBlock(stellarDb.get(), static_cast<std::uint32_t>(first), count);
    static std::vector<std::uint8_t> band;
    if (!bytes && ReadRecordBlock(stellarDb.get(), static_cast<std::uint32_t>(first), count, band) == 0)
        bytes = band.data();
    if (bytes) {
        for (int zone = first; zone <= last; ++zone)
            visit(zone, bytes + static_cast<std::size_t>(zone - first) * stellarDb->recordSize);
        return;
    }
    // A band that could not be read whole: record by record, reporting each one lost.
    for (int zone = first; zone <= last; ++zone) {
        const std::uint8_t* rec = nullptr;
        if (QueryRecord(stellarDb.get(), static_cast<std::uint32_t>(zone), &rec) != 0) {
            ShowMessage("Can't get stellar record", "");
            continue;
        }
        visit(zone, rec);
    }
}

void FinishStellarLayer(StarCollector& collector) {
    HideBusy(1);
    FlushKeyEvents();
    FlushPenEvents();
    collector.End();
}

StarRecord* StarAt(int i) { return BrightStars() + i; }

// The star strip for the current settings, loaded once.
DrawWindow* StarStrip() {
    if (!savedChartBitmap) {
        savedChartBitmap = LoadBitmap16(StarStripId());
        if (savedChartBitmap) savedChartBitmap->transparentColour = WhiteStrip() ? kWhiteKey : kBlackKey;
    }
    return savedChartBitmap;
}

}  // namespace

// ---- The star dot ------------------------------------------------------------------------------

int StarStripId() {
    const bool mono = ChartSetting(chartpref::starColor) == 1;
    if (WhiteStrip()) return mono ? kStarStripWhiteMono : kStarStripWhiteColour;
    return (NightOn() || mono) ? kStarStripBlackMono : kStarStripBlackColour;
}

int StarSizeIndex(int zoom, int sizeClass) {
    const int z = ZoomIndex(zoom);
    int base;
    if (static_cast<int>(screenScale.horizontal) == 2) base = kSizeScale2[z];
    else base = NightOn() ? kSizeNight[z] : kSizeNormal[z];
    return std::clamp(base + sizeClass, 0, kStarSizes - 1);
}

int StarColourRow(int colourClass) {
    if (NightOn()) return 26;
    if (colourClass >= 14) return 78;
    if (colourClass >= 8) return 65;
    if (colourClass >= 6) return 52;
    if (colourClass >= 3) return 39;
    if (colourClass >= 0) return 26;
    if (colourClass >= -3) return 13;
    return 0;
}

void DrawStar(DrawWindow* window, int zoom, int sizeClass, int colourClass, int x, int y) {
    DrawWindow* strip = StarStrip();
    DrawWindow* target = window ? window : GetCurrentDrawWindow();
    if (!strip || !target) return;
    const Bounds cell{StarSizeIndex(zoom, sizeClass) * kStarCell, StarColourRow(colourClass), kStarCell, kStarCell};
    CopyBits(strip, target, cell, x - 6, y - 6, kDrawTransparent);
}

// ---- Bright stars ------------------------------------------------------------------------------

void DrawBrightStars(int zoom, int magnitudeLimit, int xMin, int xMax, int yMin, int yMax) {
    StarRecord* stars = BrightStars();
    if (!stars) return;
    const int f = GetDpiFactor();
    const int plus = f == 1 ? 1 : 0;
    const bool symbols = ChartSetting(chartpref::starSymbols) != 0;
    std::int32_t sx = 0;
    GetChartMetrics(nullptr, nullptr, &sx, nullptr);
    const int turn = AzimuthTurnPixels(sx);
    const int count = GetStarTableCount();
    for (int i = 0; i < count; ++i) {
        const StarRecord& s = stars[i];
        const int sizeClass = s.Half(6) >> 4;
        if (zoom <= 1 && sizeClass > magnitudeLimit) continue;
        if (s.word[starword::hidden]) continue;
        int x = s.word[starword::pixelX];
        const int y = s.word[starword::pixelY];
        if (!WrapIntoView(&x, xMin, xMax, turn) || y < yMin || y > yMax) continue;
        DrawStar(nullptr, zoom, sizeClass + plus, s.Half(7), x, y);
        const int letter = s.Byte(17);
        const bool letterWanted = (letter != 0 && f != 1 && symbols && zoom > 2) || zoom >= 7;
        // Wide views name only the brightest two of a constellation.
        if (letter != 0 && letterWanted && (zoom >= 6 || letter == 'a' || letter == 'b'))
            DrawSymbolChar(static_cast<char>(letter), x - 5 * f, y - 2 * f);
        const int flamsteed = s.Byte(16);
        if (flamsteed != 0 && zoom >= 7 && symbols) {
            char text[8];
            const int n = std::snprintf(text, sizeof text, "%d", flamsteed);
            const int previous = SetFont(2);
            DrawString(text, n, x + 2 * f, y);
            SetFont(previous);
        }
    }
}

// ---- Faint stars -------------------------------------------------------------------------------

void DrawStellarStars(int centreX, int centreY, int precise, int dpiFactor, float lst, int zoom, int width,
                      int height) {
    if (!IsStellarDbOpen() || !starBuffer || starsPerRecord <= 0) return;
    StarCollector collector;
    collector.Begin();
    float limit = 0.0f;
    GetMagnitudeLimits(zoom, &limit, nullptr);
    if (limit < 5.5f) return;
    const int threshold = static_cast<int>(limit * 16.0f);

    // The sky in view: the centre, then the corners and edge middles 12 pixels in.
    float cra = 0.0f, cdec = 0.0f;
    PixelToSky(width / 2, height / 2, &cra, &cdec);
    double hw = InitialHalfWidth(zoom, cdec);
    int halfHeight = 0;
    const int xs[3] = {12, width / 2, width - 12};
    const int ys[3] = {12, height / 2, height - 12};
    for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
            if (a == 1 && b == 1) continue;
            float ra = 0.0f, dec = 0.0f;
            PixelToSky(xs[a], ys[b], &ra, &dec);
            halfHeight = std::max(halfHeight, static_cast<int>(std::fabs(dec - cdec)));
            const double dra = std::fabs(static_cast<double>(ra) - cra);
            if (dra > hw && dra < 6.0) hw = dra;
        }
    }
    if (halfHeight < 2) ++halfHeight;
    const RaWindows windows = MakeRaWindows(cra, hw);

    int first = FindStellarRecordByDec(std::max(static_cast<double>(cdec) - halfHeight, -90.0));
    int last = FindStellarRecordByDec(std::min(static_cast<double>(cdec) + halfHeight, 90.0));
    if (first < 0 || last < 0) {
        FinishStellarLayer(collector);
        return;
    }
    if (first > last) std::swap(first, last);
    // The zone search gives the record whose first star lies at or below the bound; the
    // record before it may still hold stars of the lower edge.
    first -= 1;

    std::int32_t sx = 0, sy = 0;
    GetChartMetrics(nullptr, nullptr, &sx, &sy);
    const int turn = AzimuthTurnPixels(sx);
    const bool floating = zoom >= 12 || precise == 0;
    const std::int32_t lstFixed = HoursToFixedAngle(lst);
    const int plus = dpiFactor == 1 ? 1 : 0;
    ForEachStellarEntry(first, last, threshold, [&](const StellarStarEntry& e, std::uint32_t index) {
        if (!windows.Contains(e.raHours * 60.0 + e.raMinutes)) return;
        std::int32_t p = 0, q = 0;
        int up;
        if (floating) {
            const float ra = static_cast<float>(e.raHours + (e.raMinutes * 60 + e.raSeconds) * 0.000277777777);
            const float dec = static_cast<float>(e.decDegrees + (e.decMinutes * 60 + e.decSeconds) * 0.000277777777);
            up = ProjectHorizontalPoint(lst, ra, dec, &p, &q);
        } else {
            up = ProjectEquatorialPoint(lstFixed, FixedRa(e), FixedDec(e), &p, &q);
        }
        if (!up) return;
        const int y = centreY - PixelTerm(p, sy);
        if (y < 0 || y >= height) return;
        int x = centreX - PixelTerm(q, sx);
        if (!WrapIntoView(&x, 0, width - 1, turn)) return;
        DrawStar(nullptr, zoom, (e.magnitude >> 4) + plus, e.colour, x, y);
        collector.Add(index, x, y);
    });
    FinishStellarLayer(collector);
}

void DrawStellarStarsHorizon(const SkyView& view, int offsetX, int offsetY, int zoom, int visibleSkyOnly) {
    if (!IsStellarDbOpen() || !starBuffer || starsPerRecord <= 0) return;
    StarCollector collector;
    collector.Begin();
    float limit = 0.0f;
    GetMagnitudeLimits(zoom, &limit, nullptr);
    if (limit < 5.1f) return;
    const int threshold = static_cast<int>(limit * 16.0f);

    const int w = view.centreX * 2, h = view.centreY * 2;
    const SkyWindow window = FindSkyWindow(&view, Bounds{0, 0, w, h});
    if (!window.all && window.raMin > window.raMax) {
        FinishStellarLayer(collector);
        return;
    }
    int first = FindStellarRecordByDec(window.decMin / kDegreesToFixed);
    int last = FindStellarRecordByDec(window.decMax / kDegreesToFixed);
    if (first < 0 || last < 0) {
        FinishStellarLayer(collector);
        return;
    }
    if (first > last) std::swap(first, last);
    if (last == 0) last = 1;
    if (first == last) --first;
    const SkyViewTrig trig = MakeSkyViewTrig(view);
    KeptLevel* kept = KeptLevelOfOpenFile(EntriesPerZone());
    ForEachStellarEntry(first, last, threshold, [&](const StellarStarEntry& e, std::uint32_t index) {
        const std::int32_t ra = e.raHours * 4392265 + e.raMinutes * 73204 + e.raSeconds * 1220;
        const std::int32_t dec = e.decDegrees * 292818 + e.decMinutes * 4880 + e.decSeconds * 81;
        if (!window.Contains(ra)) return;
        const SkyVector p = TurnToChart(StarUnitVector(kept, index, ra, dec));
        if (visibleSkyOnly && p.z < 0) return;
        std::int32_t x = 0, y = 0;
        if (!SkyViewProjectVector(view, trig, p, &x, &y)) return;
        if (std::abs(x - view.centreX) > view.centreX || std::abs(y - view.centreY) > view.centreY) return;
        DrawStar(nullptr, zoom, e.magnitude >> 4, e.colour, x, y);
        collector.Add(index, x + offsetX, y + offsetY);
    });
    FinishStellarLayer(collector);
}

// ---- Labels ------------------------------------------------------------------------------------

void DrawBrightStarLabel(int starNumber, int x, int y, int transparent) {
    LoadStarTable(0);
    const StarRecord* stars = BrightStars();
    const int count = GetStarTableCount();
    // The table is sorted by star number; every record is searched, the first included.
    int lo = 0, hi = count - 1;
    while (stars && lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int n = stars[mid].StarNumber();
        if (n == starNumber) {
            const StarRecord& s = stars[mid];
            DrawStarName(s.Byte(16), s.Byte(17), s.Byte(18), s.Half(1), starNumber, x, y, transparent);
            return;
        }
        if (n < starNumber) lo = mid + 1;
        else hi = mid - 1;
    }
    char text[16];
    const int n = std::snprintf(text, sizeof text, "HR%d", starNumber);
    if (transparent) DrawString(text, n, x, y);
    else DrawStringNoFont(text, n, x, y);
}

void DrawStarName(int flamsteed, int bayerLetter, int letterIndex, int constellation, int starNumber, int x, int y,
                  int transparent) {
    const int previous = SetFont(transparent ? 4 : 0);
    auto draw = [&](const char* text, int n) {
        if (transparent) DrawString(text, n, x, y);
        else DrawStringNoFont(text, n, x, y);
        x += CharsWidth(text, n);
    };
    char text[64];
    char name[40] = {};
    if (FindCrossReference(kCatalogHr, static_cast<std::uint32_t>(starNumber), nullptr, nullptr, 0, name,
                           sizeof name) &&
        name[0]) {
        draw(name, static_cast<int>(std::strlen(name)));
        SetFont(previous);
        return;
    }
    const int fl = flamsteed & 0xFF;
    const int letter = bayerLetter & 0xFF;
    if (fl == 0 && letter == 0) {
        draw(text, std::snprintf(text, sizeof text, "HR%d", starNumber));
        SetFont(previous);
        return;
    }
    if (fl) draw(text, std::snprintf(text, sizeof text, "%d", fl));
    if (letter) {
        DrawSymbolChar(static_cast<char>(letter), x, y);
        const char c = static_cast<char>(letter);
        x += CharsWidth(&c, 1);
    }
    if (letterIndex) draw(text, std::snprintf(text, sizeof text, "%d", letterIndex));
    if (constellation >= 0 && constellation < kConstellationCount)
        draw(text, std::snprintf(text, sizeof text, " %.3s", ConstellationTable[constellation].abbreviation));
    SetFont(previous);
}

void SetChartFontSizes(int zoom) {
    const int b = ChartSetting(chartpref::starColor) == 1 ? 2 : 0;
    int first;
    if (GetDpiFactor() == 1) {
        if (zoom <= 1) first = b - 1;
        else if (zoom <= 4) first = b;
        else if (zoom == 5) first = b + 1;
        else if (zoom == 6) first = b + 2;
        else first = b + 4;
    } else {
        // Larger screens keep the default sizes, raised by 2 for black and white.
        first = b + 2;
    }
    // The shared font set has fonts 0..7.
    for (int i = 0; i < 4; ++i) chartLabelFonts[i] = std::clamp(GetDpiFactor() == 1 ? first + i : first + 2 * i, 0, 7);
}

// ---- Pixels and taps ---------------------------------------------------------------------------

void UpdateStarPixels(int dx, int dy, int shiftOnly) {
    if (!BrightStars()) return;
    const int count = GetStarTableCount();
    for (int i = 0; i < count; ++i) {
        StarRecord& s = *StarAt(i);
        if (s.word[starword::hidden]) continue;
        if (shiftOnly) {
            s.word[starword::pixelX] += dx;
            s.word[starword::pixelY] += dy;
        } else {
            std::int32_t x = 0, y = 0;
            PlaneToPixel(s.word[starword::planeP], s.word[starword::planeQ], &x, &y);
            s.word[starword::pixelX] = x;
            s.word[starword::pixelY] = y;
        }
    }
}

int FindNearestBrightStar(int originX, int originY, int x, int y, int radius) {
    const StarRecord* stars = BrightStars();
    if (!stars) return -1;
    const int limit = 2 * GetDpiFactor() * radius;
    int best = 32000, found = -1;
    const int count = GetStarTableCount();
    for (int i = 0; i < count; ++i) {
        const StarRecord& s = stars[i];
        if (s.word[starword::hidden]) continue;
        const int d = std::abs(s.word[starword::pixelX] - (x - originX)) + std::abs(s.word[starword::pixelY] - (y - originY));
        if (d < best && d < limit) {
            best = d;
            found = i;
        }
    }
    return found;
}

int StarBufferCount() {
    if (!starBuffer) return 0;
    int n = 0;
    while (n < kStarBufferEntries &&
           le::U32(starBuffer, static_cast<std::size_t>(n) * kStarBufferEntrySize) != static_cast<std::uint32_t>(kStarBufferEmpty))
        ++n;
    return n;
}

StarBufferEntry GetStarBufferEntry(int position) {
    const std::uint8_t* e = starBuffer + static_cast<std::size_t>(position) * kStarBufferEntrySize;
    return {le::U32(e, 0), le::I16(e, 4), le::I16(e, 6)};
}

int FindStellarTapEntry(int x, int y, int tolerance) {
    const int n = StarBufferCount();
    for (int i = 0; i < n; ++i) {
        const StarBufferEntry e = GetStarBufferEntry(i);
        if (std::abs(e.x - x) <= tolerance && std::abs(e.y - y) <= tolerance) return i;
    }
    return -1;
}
