#include "objects/object_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "astro/constellation_boundaries.h"
#include "astro/fixed_trig.h"
#include "astro/planet_positions.h"
#include "astro/time_scales.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "core/calendar.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/comet_position.h"
#include "objects/sky_brightness.h"
#include "objects/visibility.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"

std::int32_t searchSinLatitude = 0;
std::int32_t searchCosLatitude = 0;
std::int32_t searchAltitudeSine = 0;
float searchSiderealTime = 0.0f;

namespace {

constexpr double kTwoTo24 = 16777216.0;
constexpr double kDegreesToRadians = 3.14159265358979323846 / 180.0;

// Search groups of the passes with a group of their own.
constexpr int kGroupStars = 11;
constexpr int kGroupComets = 12;
constexpr int kGroupConstellations = 13;
constexpr int kGroupMeteors = 14;

// Types and kinds the pass conditions name.
constexpr int kTypeComet = 13;
constexpr int kTypeConstellation = 14;
constexpr int kTypeAsteroid = 18;
constexpr int kTypeNebula = 19;
constexpr int kTypePlanet = 27;
constexpr int kTypeMeteors = 29;
constexpr int kTypeStar = 30;

// The Sun, the Moon, Mercury .. Pluto; the Earth (10) is not searched.
constexpr int kSearchedBodies = 10;

float magnitudeLimitTable[9] = {100.0f, 0.0f, 0.0f, 4.0f, 6.0f, 8.0f, 10.0f, 12.0f, 14.0f};
constexpr double kVisibilityBands[6] = {10.0, 2.0, 1.5, 1.0, 0.5, -1.0};

bool PassesAnyCatalog(int kind) {
    return kind == kCatalogCaldwell || kind == kCatalogHerschel || kind == kCatalogMessier ||
           kind == kCatalogBestNgc || kind == kCatalogUser;
}

int TypeClassOf(int type) {
    return type >= 0 && type < kObjectTypeCount ? ObjectTypeTable[type].typeClass : -1;
}

// The progress box the passes write their titles into, when something can be drawn on.
struct ProgressBox {
    int x = 0;
    int y = 0;
    bool shown = false;

    void Open() {
        if (!GetCurrentDrawWindow()) return;
        int width = 0, height = 0;
        GetScreenSize(&width, &height);
        x = (width - 140) / 2;
        y = std::max((height - 80) / 2, 60);
        shown = true;
    }
    void Title(const char* title, int indent = 10, const char* second = nullptr) {
        if (!shown) return;
        SetForeColor(GetForeColor());
        DrawRectangle(Bounds{x, y, 140, 40}, 0);
        SetForeColor(GetBackColor());
        DrawRectangle(Bounds{x + 1, y + 1, 138, 38}, 0);
        const platform::Color text = SetTextColor(GetForeColor());
        DrawChars(title, static_cast<int>(std::strlen(title)), x + indent, y + 10);
        if (second) DrawChars(second, static_cast<int>(std::strlen(second)), x + 10, y + 21);
        SetTextColor(text);
    }
};

// One search: where the list stands and whether it filled up.
struct SearchRun {
    const SelectionCriteria& criteria = selectionCriteria;
    ProgressBox box;
    bool full = false;
    double jd = 0;

    SelectionList& List() { return selectionList; }
    int Position() { return std::max(selectionList.indexCount, 0); }

    // Tests the working candidate and appends it. False when the list is full and the
    // pass should end.
    bool Offer(int objectIndex, int group, const char* label = nullptr) {
        ObjectRef& candidate = currentObject.object;
        if (!MatchSelectionCriteria(criteria, &candidate)) return true;
        const int p = Position();
        if (p >= selectionList.capacity) {
            full = true;
            return false;
        }
        if (!AddObjectToSelection(objectIndex, group, selectionList.records, candidate)) return true;
        if (label) {
            std::snprintf(selectionList.records[p].label, kSelectionLabelLength + 1, "%.*s", kSelectionLabelLength,
                          label);
        }
        selectionList.indexCount = p + 1;
        return true;
    }
    int Constellation(double ra, double dec) const { return FindConstellation(ra, dec, jd); }
};

void ResetCandidate(ObjectRef& candidate) { candidate = ObjectRef{}; }

void SearchPlanets(SearchRun& run) {
    const SelectionCriteria& c = run.criteria;
    run.box.Title("Checking Planets");
    ObjectRef& candidate = currentObject.object;
    const double deltaT = GetDeltaT(c.year, c.month, c.day);
    for (int body = 0; body < kSearchedBodies; ++body) {
        BodyRecord rec{};
        // Topocentric places: the altitude test is made for the observer.
        ComputePlanetAt(observerLocation, deltaT, 2, &rec, body, c.year, c.month, c.day, c.hour, c.minute, 0);
        ResetCandidate(candidate);
        candidate.catalog = kCatalogPlanet;
        candidate.number = static_cast<std::uint32_t>(body);
        candidate.type = kTypePlanet;
        candidate.ra = static_cast<float>(rec.rightAscension);
        candidate.dec = static_cast<float>(rec.declination);
        candidate.magnitude = static_cast<float>(rec.magnitude);
        candidate.sizeA = candidate.sizeB = static_cast<float>(rec.diameter);
        candidate.distance = static_cast<float>(rec.distance);
        candidate.constellation = run.Constellation(rec.rightAscension, rec.declination);
        if (!run.Offer(body, kGroupBody)) return;
    }
}

void SearchConstellations(SearchRun& run) {
    run.box.Title("Checking Constellation");
    ObjectRef& candidate = currentObject.object;
    for (int n = 0; n < kConstellationCount; ++n) {
        const ConstellationEntry& e = ConstellationTable[n];
        ResetCandidate(candidate);
        candidate.catalog = kCatalogConstellation;
        candidate.type = kTypeConstellation;
        candidate.number = static_cast<std::uint32_t>(n);
        candidate.constellation = n;
        candidate.ra = static_cast<float>(e.labelRa * 0.001);
        candidate.dec = static_cast<float>(e.labelDec * 0.01);
        candidate.magnitude = 0.1f;
        if (!run.Offer(n, kGroupConstellations, e.name)) return;
    }
}

void SearchMeteorShowers(SearchRun& run) {
    run.box.Title("Checking Meteor Showers", 5);
    ObjectRef& candidate = currentObject.object;
    for (int n = 0; n < kMeteorShowerCount; ++n) {
        const MeteorShower& s = meteorShowerTable[n];
        ResetCandidate(candidate);
        candidate.catalog = kCatalogMeteor;
        candidate.type = kTypeMeteors;
        candidate.number = static_cast<std::uint32_t>(n);
        candidate.ra = static_cast<float>(s.radiantRa100 * 0.01);
        candidate.dec = static_cast<float>(s.radiantDec);
        candidate.magnitude = 3.0f;
        candidate.sizeA = candidate.sizeB = 1200.0f;
        candidate.constellation = run.Constellation(candidate.ra, candidate.dec);
        if (!run.Offer(n, kGroupMeteors, s.name)) return;
    }
}

void SearchComets(SearchRun& run) {
    run.box.Title("Checking Comets&Asteroid", 5);
    ObjectRef& candidate = currentObject.object;
    const int count = GetDbRecordCount(cometDb, 1);
    for (int n = 0; n < count; ++n) {
        if (n % 10 == 0) ShowBusy(1);
        CometRecord rec;
        if (!GetCometData(n, &rec)) continue;
        CometPlace place{};
        // Equinox of the search year, as the comet's own forms place it.
        if (!ComputeCometPosition(rec, run.jd, run.criteria.year, &place)) continue;
        const double magnitude = CometMagnitude(rec, place);
        if (!std::isfinite(magnitude)) continue;
        ResetCandidate(candidate);
        candidate.catalog = kCatalogComet;
        candidate.type = static_cast<std::int32_t>(rec.kind);
        candidate.number = static_cast<std::uint32_t>(n);
        candidate.ra = static_cast<float>(place.rightAscension);
        candidate.dec = static_cast<float>(place.declination);
        candidate.magnitude = static_cast<float>(magnitude);
        candidate.distance = static_cast<float>(place.earthDistance);
        candidate.constellation = run.Constellation(place.rightAscension, place.declination);
        if (!run.Offer(n, kGroupComets, rec.name)) return;
    }
}

// An observing list walked by position. A position whose object the object file lacks is
// passed over; a read that fails ends the pass.
void SearchObservingList(SearchRun& run, const char* title, int count, int busyEvery, int group,
                         int (*get)(int, ObjectRef*)) {
    run.box.Title(title);
    ObjectRef& candidate = currentObject.object;
    for (int n = 0; n < count; ++n) {
        if (n % busyEvery == 0) ShowBusy(1);
        ResetCandidate(candidate);
        if (!get(n, &candidate)) {
            if (objectDb) continue;
            return;
        }
        if (!run.Offer(n, group)) return;
    }
}

int GroupOfType(int type) { return GetTypeCategory(type); }

void SearchUserObjects(SearchRun& run) {
    const int count = GetUserObjectCount();
    if (count <= 0) {
        if (run.criteria.searchKind == kCatalogUser) ShowMessage("No personnal object found.", "");
        return;
    }
    run.box.Title("Checking your Objects", 10, "Press any key to stop.");
    ObjectRef& candidate = currentObject.object;
    for (int n = 0; n < count; ++n) {
        ResetCandidate(candidate);
        if (!GetUserObject(n, &candidate)) return;
        const auto code = static_cast<std::int32_t>(candidate.catalog);
        if (code < 0 || code > kCatalogCount - 1) {
            candidate.catalog = kCatalogUser;
            candidate.number = static_cast<std::uint32_t>(n);
        }
        char label[kObjectNameSize];
        std::snprintf(label, sizeof label, "%s", candidate.name);
        if (!run.Offer(n, GroupOfType(candidate.type), label)) return;
    }
}

void SearchDeepSky(SearchRun& run) {
    const int kind = run.criteria.searchKind;
    int first = 0;
    int last = std::min(GetDbRecordCount(objectDb, 1), static_cast<int>(kAppendRecord));
    if (kind > 0 && kind < kCatalogCount) {
        if (CatalogTable[kind].first == kCatalogAbsent) return;
        first = CatalogTable[kind].first;
        last = std::min(last, static_cast<int>(CatalogTable[kind].last));
    }
    run.box.Title("Checking Objects");
    ObjectRef& candidate = currentObject.object;
    for (int n = first; n < last; ++n) {
        if (n % 50 == 0) {
            // The only way to stop a long search: a held cursor or page key.
            if (IsNavKeyDown()) return;
            char line[40];
            std::snprintf(line, sizeof line, "Objects to check: %05d", last - n);
            run.box.Title(line);
            ShowBusy(1);
        }
        ResetCandidate(candidate);
        if (!GetObjectRecord(n, &candidate)) return;
        if (!run.Offer(n, GroupOfType(candidate.type))) return;
    }
}

// The leading records of the planets, Messier and Caldwell groups keep their order; the
// rest follows by catalog and number.
void SortSearchResults() {
    SelectionRecord* records = selectionList.records;
    const int count = std::max(selectionList.indexCount, 0);
    if (count <= 1) return;
    auto byGroup = [](const SelectionRecord& a, const SelectionRecord& b) { return CompareSelectionByGroup(a, b) < 0; };
    std::stable_sort(records, records + count, byGroup);
    int k = 0;
    while (k < count && (records[k].group == kGroupBody || records[k].group == kGroupMessier ||
                         records[k].group == kGroupCaldwell))
        ++k;
    if (count - k > 1) {
        auto byCatalog = [](const SelectionRecord& a, const SelectionRecord& b) {
            return CompareSelectionByCatalog(a, b) < 0;
        };
        std::stable_sort(records + k, records + count, byCatalog);
    }
}

// A named bright star of the name file, as the pass tests it.
struct NamedStar {
    int record;
    ObjectRef star;
};

// Bright stars known by a proper name (a designation is no help to a user aligning a
// telescope), each name once (the brighter component of a pair that shares it). When the
// list cannot take them all, the brightest are kept; they go in in the file's order.
void SearchBrightStars(SearchRun& run) {
    SelectionCriteria& c = selectionCriteria;
    const std::int16_t savedType = c.objectType;
    c.objectType = kTypeStar;
    run.box.Title("Checking Bright Stars");
    const int named = GetBrightStarCount();
    if (named <= 0) {
        c.objectType = savedType;
        ShowMessage("Could not find velkarion_brightstar.ppc catalog.", "");
        return;
    }
    LoadStarTable(0);
    const StarRecord* stars = BrightStars();
    const int starCount = GetStarTableCount();
    std::vector<NamedStar> matches;
    ObjectRef& candidate = currentObject.object;
    for (int n = 0; n < named; ++n) {
        if (n % 15 == 0) ShowBusy(1);
        BrightStarRecord entry;
        if (!GetBrightStarRecord(n, &entry) || !IsProperStarName(entry.name)) continue;
        if (!stars || entry.starIndex < 0 || entry.starIndex >= starCount) continue;
        const StarRecord& s = stars[entry.starIndex];
        ResetCandidate(candidate);
        candidate.catalog = kCatalogBrightStar;
        candidate.type = kTypeStar;
        candidate.number = static_cast<std::uint32_t>(n);
        candidate.ra = static_cast<float>(s.word[1] * 24.0 / 105414356.0);
        candidate.dec = static_cast<float>(s.word[2] * 360.0 / 105414356.0);
        candidate.magnitude = static_cast<float>(s.Half(6) / 16.0);
        candidate.morphology = s.Half(7);
        candidate.sizeA = candidate.sizeB = 0.1f;
        SetObjectRefName(&candidate, entry.name);
        candidate.constellation = run.Constellation(candidate.ra, candidate.dec);
        if (!MatchSelectionCriteria(c, &candidate)) continue;
        auto same = std::find_if(matches.begin(), matches.end(),
                                 [&](const NamedStar& m) { return std::strcmp(m.star.name, candidate.name) == 0; });
        if (same == matches.end())
            matches.push_back({n, candidate});
        else if (candidate.magnitude < same->star.magnitude)
            *same = NamedStar{n, candidate};
    }
    c.objectType = savedType;
    const int room = std::max(selectionList.capacity - run.Position(), 0);
    if (static_cast<int>(matches.size()) > room) {
        run.full = true;
        std::stable_sort(matches.begin(), matches.end(),
                         [](const NamedStar& a, const NamedStar& b) { return a.star.magnitude < b.star.magnitude; });
        matches.resize(static_cast<std::size_t>(room));
        std::sort(matches.begin(), matches.end(), [](const NamedStar& a, const NamedStar& b) { return a.record < b.record; });
    }
    for (const NamedStar& m : matches) {
        const int p = run.Position();
        if (p >= selectionList.capacity) break;
        if (AddObjectToSelection(m.record, kGroupStars, selectionList.records, m.star)) selectionList.indexCount = p + 1;
    }
}

bool IsConstellationAbbreviation(const char* word) {
    for (const ConstellationEntry& e : ConstellationTable)
        if (std::strcmp(word, e.abbreviation) == 0) return true;
    return false;
}

}  // namespace

bool IsProperStarName(const char* name) {
    if (!name || !*name) return false;
    if (std::strncmp(name, "HR ", 3) == 0 && name[3] >= '0' && name[3] <= '9') return false;
    const char* lastSpace = std::strrchr(name, ' ');
    return !lastSpace || !IsConstellationAbbreviation(lastSpace + 1);
}

void SetSearchLatitude() {
    const double lat = observerLocation.latitude * kDegreesToRadians;
    searchSinLatitude = static_cast<std::int32_t>(std::sin(lat) * kTwoTo24);
    searchCosLatitude = static_cast<std::int32_t>(std::cos(lat) * kTwoTo24);
}

std::int32_t FixedAltitudeSine(double degrees) {
    return static_cast<std::int32_t>(std::sin(degrees * kDegreesToRadians) * kTwoTo24);
}

double MinimumAltitudeDegrees(int minAltitude) {
    if (minAltitude == 1 || minAltitude == 10) return GetHorizonAltitude();
    if (minAltitude >= 2 && minAltitude <= 9) return 15.0 + 5.0 * (minAltitude - 2);
    return 0.0;
}

int MatchSelectionCriteria(const SelectionCriteria& c, ObjectRef* candidate) {
    if (!candidate) return 0;
    if (c.typeClass > 0 && TypeClassOf(candidate->type) != c.typeClass) return 0;
    if (c.constellation > 0 && candidate->constellation != c.constellation - 1) return 0;
    if (c.searchKind > 0 && !PassesAnyCatalog(c.searchKind) &&
        static_cast<std::int32_t>(candidate->catalog) != c.searchKind)
        return 0;
    if (c.objectType >= 1 && c.objectType != kTypeNebula && candidate->type != c.objectType) return 0;
    if (candidate->magnitude == 0.0f) candidate->magnitude = 99.0f;
    if (c.magnitudeLimit > 0 && c.magnitudeLimit < 9) {
        magnitudeLimitTable[1] = c.nakedEyeLimit;
        magnitudeLimitTable[2] = c.telescopeLimit;
        const float m = candidate->magnitude;
        if (m >= 0.0f && m > magnitudeLimitTable[c.magnitudeLimit]) return 0;
    }
    if (c.visibilityClass > 0 || c.eyepiece > 0) {
        const int focal = GetFocalLengthMm();
        int magnification = 0;
        double margin = 0;
        EstimateVisibility(GetApertureMm(), focal, GetSiteSkyBrightness(), candidate->magnitude, candidate->sizeA,
                           candidate->sizeB, &magnification, &margin);
        if (c.eyepiece > 0) {
            const int ideal = magnification < 1 ? 10000 : focal / magnification;
            if (ideal == 0) return 0;
            const float ratio = static_cast<float>(c.eyepieceFocalLength) / static_cast<float>(ideal);
            if (std::fabs(1.0f - ratio) > 0.6f) return 0;
        }
        if (c.visibilityClass > 0 && !InVisibilityBand(c.visibilityClass, margin)) return 0;
    }
    if (c.minAltitude == 0) return 1;
    const int above = IsAboveMinAltitude(searchSiderealTime, candidate->ra, candidate->dec, searchAltitudeSine);
    return c.minAltitude == 10 ? (above == 0) : (above == 1);
}

bool InVisibilityBand(int visibilityClass, double margin) {
    if (visibilityClass < 1 || visibilityClass > 5) return true;
    return kVisibilityBands[visibilityClass] <= margin && margin <= kVisibilityBands[visibilityClass - 1];
}

int IsAboveMinAltitude(float siderealTime, float rightAscension, float declination, std::int32_t altitudeSine) {
    float h = siderealTime - rightAscension;
    while (h > 12.0f) h -= 24.0f;
    while (h < -12.0f) h += 24.0f;
    const auto hourAngle = static_cast<std::int32_t>(h * kHoursToFixed);
    const auto dec = static_cast<std::int32_t>(declination * kDegreesToFixed);
    std::int32_t cosH = 0, sinH = 0, cosDec = 0, sinDec = 0;
    FixSinCosPair(hourAngle, dec, &cosH, &sinH, &cosDec, &sinDec);
    const auto product = static_cast<std::int32_t>((static_cast<std::int64_t>(cosH) * cosDec) >> 24);
    const auto first = static_cast<std::int32_t>((static_cast<std::int64_t>(searchCosLatitude) * product) >> 24);
    const auto second = static_cast<std::int32_t>((static_cast<std::int64_t>(searchSinLatitude) * sinDec) >> 24);
    const std::int32_t s = static_cast<std::int32_t>(static_cast<std::uint32_t>(first) + static_cast<std::uint32_t>(second));
    return s >= altitudeSine ? 1 : 0;
}

bool SearchAllCategories() {
    SearchRun run;
    const SelectionCriteria& c = run.criteria;
    if (!selectionList.records || !selectionList.index) return false;
    if (selectionList.indexCount < 0) selectionList.indexCount = 0;
    run.jd = DateTimeToJD(c.year, c.month, c.day, c.hour, c.minute, 0, observerLocation.zoneMinutes);
    run.box.Open();
    const int type = c.objectType, kind = c.searchKind, typeClass = c.typeClass;
    const bool listsPass = type != kTypePlanet && typeClass != 5;

    if ((type == kTypePlanet || type == 0) && (kind == 0 || kind == kCatalogPlanet) && typeClass != 5)
        SearchPlanets(run);
    if (kind == kCatalogConstellation || type == kTypeConstellation) SearchConstellations(run);
    if (kind == kCatalogMeteor || type == kTypeMeteors) SearchMeteorShowers(run);
    if (kind == kCatalogComet || type == kTypeComet || type == kTypeAsteroid) SearchComets(run);
    if ((kind == kCatalogMessier || kind == 0) && listsPass)
        SearchObservingList(run, "Checking Messier  ", kMessierCount, 30, kGroupMessier, &GetMessierObject);
    if (type == 0 && (kind == 0 || kind == kCatalogUser)) SearchUserObjects(run);
    if ((kind == kCatalogCaldwell || kind == 0) && listsPass)
        SearchObservingList(run, "Checking Caldwell   ", kCaldwellCount, 15, kGroupCaldwell, &GetCaldwellObject);
    if ((kind == kCatalogBestNgc || kind == 0) && listsPass)
        SearchObservingList(run, "Checking Best SAC", kBestNgcCount, 10, kGroupBestNgc, &GetBestNgcObject);
    if ((kind == kCatalogHerschel || kind == 0) && listsPass)
        SearchObservingList(run, "Checking Herschel", kHerschelCount, 10, kGroupHerschel, &GetHerschelObject);
    const bool deepSkyKind = kind != kCatalogMessier && kind != kCatalogCaldwell && kind != kCatalogHerschel &&
                             kind != kCatalogBestNgc && kind != kCatalogComet && kind != kCatalogConstellation &&
                             kind != kCatalogMeteor && kind != kCatalogBrightStar;
    const bool deepSkyType = type != kTypeComet && type != kTypeMeteors && type != kTypeAsteroid && type != kTypePlanet;
    if (deepSkyKind && deepSkyType && typeClass != 5) SearchDeepSky(run);
    if (kind != kCatalogUser) SortSearchResults();
    if (kind == kCatalogBrightStar && type == 0) SearchBrightStars(run);

    InvalidateSelectionProjectionHook();
    HideBusy();
    SelectionList& list = selectionList;
    list.recordCount = list.indexCount;
    if (list.recordCount < list.capacity) list.records[list.recordCount].objectNumber = -1;
    list.indexCount = FilterSelectionByType(list.categoryFilter, list.records, list.recordCount);
    list.currentPosition = 0;
    return run.full;
}

int RemoveMatchingRecords() {
    SelectionList& list = selectionList;
    if (!list.records) return 0;
    const SelectionCriteria& c = selectionCriteria;
    int count = std::clamp(list.recordCount, 0, list.capacity);
    int ownGroup = -1;
    switch (c.searchKind) {
        case kCatalogMessier: ownGroup = kGroupMessier; break;
        case kCatalogCaldwell: ownGroup = kGroupCaldwell; break;
        case kCatalogHerschel: ownGroup = kGroupHerschel; break;
        case kCatalogBestNgc: ownGroup = kGroupBestNgc; break;
        default: break;
    }
    for (int k = count - 1; k >= 0; --k) {
        if (k % 15 == 0) ShowBusy(1);
        ObjectRef candidate;
        SelectionRecordToInfo(&candidate, &list.records[k]);
        if (!MatchSelectionCriteria(c, &candidate)) continue;
        if (ownGroup >= 0 && list.records[k].group != ownGroup) continue;
        if (count > k + 1)
            std::memmove(&list.records[k], &list.records[k + 1],
                         sizeof(SelectionRecord) * static_cast<std::size_t>(count - k - 1));
        --count;
        list.records[count].objectNumber = -1;
    }
    if (count < list.capacity) list.records[count].objectNumber = -1;
    list.recordCount = count;
    // The index follows the records that remain, or the list would show removed ones.
    list.indexCount = FilterSelectionByType(list.categoryFilter, list.records, count);
    InvalidateSelectionProjectionHook();
    list.currentPosition = -1;
    HideBusy();
    return count;
}

void ReportFullSelectionList() {
    char heading[64];
    std::snprintf(heading, sizeof heading, "The list is full: %d objects kept.", std::max(selectionList.recordCount, 0));
    ShowMessage(heading, "");
}
