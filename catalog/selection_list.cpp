#include "catalog/selection_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/constellation_boundaries.h"
#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/byte_order.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/selection_hooks.h"
#include "catalog/star_tables.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/startup_alloc.h"

SelectionList selectionList{nullptr, nullptr, 0, -1, -1, -1, 0};
SelectionRecord** selectionListPtr = nullptr;

// ---------------------------------------------------------------------------------------
// File layout

void EncodeSelectionRecord(const SelectionRecord& r, std::uint8_t* b) {
    le::PutText(b, 0, kSelectionLabelLength, r.label);
    b[14] = 0;
    b[15] = r.reserved0;
    le::PutI32(b, 16, r.objectNumber);
    le::PutI16(b, 20, r.objectIndex);
    le::PutI16(b, 22, r.catalogCode);
    le::PutI16(b, 24, r.typeCode);
    le::PutI16(b, 26, r.constellation);
    le::PutF32(b, 28, r.rightAscension);
    le::PutF32(b, 32, r.declination);
    le::PutI32(b, 36, r.chartX);
    le::PutI32(b, 40, r.chartY);
    le::PutI16(b, 44, r.positionAngle);
    std::memcpy(b + 46, r.reserved1, sizeof r.reserved1);
    le::PutI16(b, 48, r.sizeA);
    le::PutI16(b, 50, r.sizeB);
    le::PutI16(b, 52, r.group);
    b[54] = static_cast<std::uint8_t>(r.flagValue);
    b[55] = static_cast<std::uint8_t>(r.morphology);
    le::PutI32(b, 56, r.magnitude10);
    std::memcpy(b + 60, r.reserved2, sizeof r.reserved2);
    le::PutU16(b, 68, r.offChart);
    le::PutU16(b, 70, r.cleared);
    le::PutF32(b, 72, r.distance);
}

void DecodeSelectionRecord(const std::uint8_t* b, SelectionRecord& r) {
    le::Text(b, 0, kSelectionLabelLength, r.label);
    r.reserved0 = b[15];
    r.objectNumber = le::I32(b, 16);
    r.objectIndex = le::I16(b, 20);
    r.catalogCode = le::I16(b, 22);
    r.typeCode = le::I16(b, 24);
    r.constellation = le::I16(b, 26);
    r.rightAscension = le::F32(b, 28);
    r.declination = le::F32(b, 32);
    r.chartX = le::I32(b, 36);
    r.chartY = le::I32(b, 40);
    r.positionAngle = le::I16(b, 44);
    std::memcpy(r.reserved1, b + 46, sizeof r.reserved1);
    r.sizeA = le::I16(b, 48);
    r.sizeB = le::I16(b, 50);
    r.group = le::I16(b, 52);
    r.flagValue = static_cast<std::int8_t>(b[54]);
    r.morphology = static_cast<std::int8_t>(b[55]);
    r.magnitude10 = le::I32(b, 56);
    std::memcpy(r.reserved2, b + 60, sizeof r.reserved2);
    r.offChart = le::U16(b, 68);
    r.cleared = le::U16(b, 70);
    r.distance = le::F32(b, 72);
}

// ---------------------------------------------------------------------------------------
// Allocation

void FreeSelectionList() {
    std::free(selectionList.index);
    std::free(selectionList.records);
    std::free(selectionListPtr);
    selectionList.index = nullptr;
    selectionList.records = nullptr;
    selectionListPtr = nullptr;
    selectionList.capacity = 0;
    selectionList.indexCount = -1;
    selectionList.recordCount = -1;
    selectionList.currentPosition = -1;
}

int AllocSelectionList() {
    FreeSelectionList();
    const int n = GetSelectionListCapacity();
    if (n <= 0) return 0;
    const auto count = static_cast<std::size_t>(n);

    auto* index = static_cast<std::int32_t*>(StartupCalloc(count, sizeof(std::int32_t)));
    if (!index) {
        ShowMessage("Can't allocate memory during initialization for selection list index", "");
        return 0;
    }
    std::memset(index, 0xFF, count * sizeof(std::int32_t));

    auto* records = static_cast<SelectionRecord*>(StartupCalloc(count, sizeof(SelectionRecord)));
    if (!records) {
        std::free(index);
        ShowMessage("Can't allocate memory during initialization for selection", "");
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i) records[i].objectNumber = -1;

    auto* pointers = static_cast<SelectionRecord**>(StartupCalloc(count, sizeof(SelectionRecord*)));
    if (!pointers) {
        std::free(index);
        std::free(records);
        ShowMessage("Can't allocate memory selectionListPtr", "");
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i) pointers[i] = &records[i];

    selectionList.index = index;
    selectionList.records = records;
    selectionListPtr = pointers;
    selectionList.capacity = n;
    InvalidateSelectionProjectionHook();
    selectionList.recordCount = 0;
    selectionList.indexCount = -1;
    selectionList.currentPosition = -1;
    return 1;
}

int GetSelectionListCapacity() {
    return std::max(GetBrightStarCount(), kDefaultStarCount) + kSelectionListReserve + 5;
}

// ---------------------------------------------------------------------------------------
// Records

namespace {

// Category filter 1..6 -> the search category its types belong to.
constexpr int kCategoryTable[7] = {0, 11, 4, 5, 6, 8, 1};

bool IsDuplicate(const SelectionRecord* records, int count, const ObjectRef& ref) {
    for (int k = 0; k < count; ++k)
        if (records[k].objectNumber == static_cast<std::int32_t>(ref.number) &&
            records[k].catalogCode == static_cast<std::int16_t>(ref.catalog))
            return true;
    return false;
}

// The label of a new record into `text` (at least 64 bytes); false when the reference
// names a table row that does not exist. `keep` is set when the record's old label stays.
bool ComposeLabel(int group, int objectIndex, const ObjectRef& ref, char* text, std::size_t size, bool* keep) {
    const auto catalog = static_cast<int>(ref.catalog);
    const auto number = static_cast<int>(ref.number);
    *keep = false;
    switch (group) {
        case kGroupBody:
            if (objectIndex >= 0 && objectIndex < 10)
                std::snprintf(text, size, "%s", bodyNames[objectIndex]);
            else
                *keep = true;
            return true;
        case kGroupMessier: std::snprintf(text, size, "M%d", objectIndex + 1); return true;
        case kGroupCaldwell: std::snprintf(text, size, "C%d", objectIndex + 1); return true;
        case kGroupHerschel: std::snprintf(text, size, "%s%d", CatalogPrefix(catalog), number); return true;
        case kGroupByCatalog:
            if (catalog == kCatalogHr) {
                if (!FindCrossReference(catalog, ref.number, nullptr, nullptr, 0, text, kSelectionLabelLength))
                    std::snprintf(text, size, "%s%d", CatalogPrefix(catalog), number);
            } else if (catalog == kCatalogBrightStar) {
                std::snprintf(text, size, "%.*s", kObjectNameSize - 1, ref.name);
            } else if (catalog == kCatalogTycho) {
                FormatTychoDesignation(text, size, static_cast<long>(number));
            } else {
                std::snprintf(text, size, "%s%d", CatalogPrefix(catalog), number);
            }
            return true;
        default:
            break;
    }
    if (ref.catalog >= static_cast<std::uint32_t>(kCatalogCount)) {
        std::snprintf(text, size, "NoCat%d %d", catalog, number);
    } else if (catalog == kCatalogConstellation || ref.type == 14) {
        if (ref.number >= static_cast<std::uint32_t>(kConstellationCount)) return false;
        std::snprintf(text, size, "%s", ConstellationTable[ref.number].abbreviation);
    } else if (catalog == kCatalogTycho) {
        FormatTychoDesignation(text, size, static_cast<long>(number));
    } else if (ref.name[0] != '\0') {
        std::snprintf(text, size, "%.*s", kObjectNameSize - 1, ref.name);
    } else {
        std::snprintf(text, size, "%s%d", CatalogPrefix(catalog), number);
    }
    return true;
}

}  // namespace

void SetSelectionFromObject(SelectionRecord& r, const ObjectRef& ref) {
    r.catalogCode = static_cast<std::int16_t>(ref.catalog);
    r.typeCode = static_cast<std::int16_t>(ref.type);
    r.constellation = static_cast<std::int16_t>(ref.constellation);
    r.objectNumber = static_cast<std::int32_t>(ref.number);
    r.rightAscension = ref.ra;
    r.declination = ref.dec;
    r.magnitude10 = TruncateToInt(ref.magnitude * 10.0);
    r.distance = ref.distance;
    r.sizeA = static_cast<std::int16_t>(TruncateToInt(ref.sizeA));
    r.sizeB = static_cast<std::int16_t>(TruncateToInt(ref.sizeB));
    if (r.sizeB == 0) r.sizeB = r.sizeA;
    r.flagValue = static_cast<std::int8_t>(ref.flag & 0xFF);
    r.morphology = static_cast<std::int8_t>(ref.morphology & 0xFF);
    // The data builder stores a galaxy's position angle in the flag value.
    r.positionAngle = ref.flag;
}

int AddObjectToSelection(int objectIndex, int group, SelectionRecord* records, const ObjectRef& given) {
    if (!records || !selectionList.index) return 0;
    // Right after allocation the index count is -1: the first record goes at 0.
    const int p = std::max(selectionList.indexCount, 0);
    if (p >= selectionList.capacity) return 0;

    ObjectRef ref = given;
    if (ref.catalog == kCatalogMessier || ref.catalog == kCatalogCaldwell) {
        const int position = static_cast<int>(ref.number);
        const bool found = ref.catalog == kCatalogMessier ? GetMessierObject(position, &ref)
                                                          : GetCaldwellObject(position, &ref);
        if (found) {
            objectIndex = position;
            SetObjectRefName(&ref, given.name);
        } else {
            ref = given;
            objectIndex = position;
        }
    }
    if (IsDuplicate(records, p, ref)) return 0;

    char text[64] = {};
    bool keepLabel = false;
    if (!ComposeLabel(group, objectIndex, ref, text, sizeof text, &keepLabel)) return 0;

    SelectionRecord& r = records[p];
    selectionList.index[p] = p;
    r.objectIndex = static_cast<std::int16_t>(objectIndex);
    SetSelectionFromObject(r, ref);
    r.group = static_cast<std::int16_t>(group);
    r.cleared = 0;
    if (!keepLabel) std::memcpy(r.label, text, kSelectionLabelLength);
    r.label[kSelectionLabelLength] = '\0';
    return 1;
}

int RemoveSelectionRecord(int pos) {
    if (!selectionList.records || pos < 0 || pos >= selectionList.indexCount) return 0;
    const int oldCount = std::clamp(selectionList.recordCount, 0, selectionList.capacity);
    --selectionList.indexCount;
    --selectionList.recordCount;
    if (oldCount > pos + 1)
        std::memmove(&selectionList.records[pos], &selectionList.records[pos + 1],
                     sizeof(SelectionRecord) * static_cast<std::size_t>(oldCount - pos - 1));
    const int last = std::max(oldCount - 1, 0);
    if (last < selectionList.capacity) {
        selectionList.records[last].objectNumber = -1;
        selectionList.records[last].label[0] = '\0';
    }
    return 1;
}

int FindSelectionRecord(const SelectionRecord* records, const ObjectRef& ref) {
    if (!records) return -1;
    const int count = std::min(selectionList.recordCount, selectionList.capacity);
    for (int k = 0; k < count; ++k)
        if (records[k].objectNumber == static_cast<std::int32_t>(ref.number) &&
            records[k].catalogCode == static_cast<std::int16_t>(ref.catalog))
            return k;
    return -1;
}

int FindSelectionPos(int value) {
    if (!selectionList.index) return -1;
    const int count = std::min(selectionList.indexCount, selectionList.capacity);
    for (int k = 0; k < count; ++k)
        if (selectionList.index[k] == value) return k;
    return -1;
}

int GetSelectionObject(int pos) {
    if (pos < 0 || pos >= selectionList.capacity || !selectionList.index) return -1;
    return selectionList.index[pos];
}

bool IsRecordInCategory(int pos) {
    const int filter = selectionList.categoryFilter;
    if (pos < 0 || pos >= selectionList.recordCount || pos >= selectionList.capacity || filter < 1 || filter > 6)
        return true;
    return kCategoryTable[filter] == GetTypeCategory(selectionList.records[pos].typeCode);
}

int FilterSelectionByType(int category, SelectionRecord* records, int count) {
    const bool all = category < 1 || category > 6;
    for (int t = 0; t < kObjectTypeCount; ++t)
        ObjectTypeTable[t].shown = all || GetTypeCategory(t) == kCategoryTable[category] ? 1 : 0;
    if (!records || !selectionList.index || !selectionListPtr) return 0;

    count = std::clamp(count, 0, selectionList.capacity);
    int k = 0;
    for (int i = 0; i < count; ++i) {
        const int type = records[i].typeCode;
        const bool shown = type >= 0 && type < kObjectTypeCount && ObjectTypeTable[type].shown;
        if (!all && !shown) continue;
        selectionList.index[k] = i;
        selectionListPtr[k] = &records[i];
        ++k;
    }
    for (int j = k; j < selectionList.capacity; ++j) selectionList.index[j] = -1;
    return k;
}

// ---------------------------------------------------------------------------------------
// Sorting

namespace {

template <class T>
int Compare(T a, T b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// Floating keys: a key that is not finite (a NaN place, an unknown transit) sorts after
// every finite key, in either direction.
int CompareKeys(double a, double b, bool descending = false) {
    const bool fa = std::isfinite(a);
    const bool fb = std::isfinite(b);
    if (!fa || !fb) return Compare(!fa, !fb);
    return descending ? Compare(b, a) : Compare(a, b);
}

int ThenCatalogAndNumber(int c, const SelectionRecord& a, const SelectionRecord& b) {
    if (c != 0) return c;
    c = Compare(a.catalogCode, b.catalogCode);
    return c != 0 ? c : Compare(a.objectNumber, b.objectNumber);
}

int CompareLabels(const SelectionRecord& a, const SelectionRecord& b) {
    const int c = std::strncmp(a.label, b.label, sizeof a.label);
    return Compare(c, 0);
}

}  // namespace

double SelectionTransitKey(const SelectionRecord& r) {
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    double rise = 0, transit = 0, set = 0;
    ComputeRiseSet(t.year, t.month, t.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                   GetHorizonAltitude(), r.rightAscension, r.declination, &rise, &transit, &set);
    return transit;
}

double SelectionAltitudeKey(const SelectionRecord& r) {
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, site.longitude,
                                         site.zoneMinutes);
    return ComputeAltitude(lst, r.rightAscension, r.declination, site.latitude);
}

int CompareSelectionByGroup(const SelectionRecord& a, const SelectionRecord& b) {
    const int c = Compare(a.group, b.group);
    return c != 0 ? c : Compare(a.objectIndex, b.objectIndex);
}

int CompareSelectionByCatalog(const SelectionRecord& a, const SelectionRecord& b) {
    int c = 0;
    if (selectionCriteria.searchKind == kCatalogUser) c = CompareLabels(a, b);
    return ThenCatalogAndNumber(c, a, b);
}

int CompareSelectionByMagnitude(const SelectionRecord& a, const SelectionRecord& b) {
    return ThenCatalogAndNumber(Compare(a.magnitude10, b.magnitude10), a, b);
}

int CompareSelectionBySize(const SelectionRecord& a, const SelectionRecord& b) {
    int c = Compare(b.sizeA, a.sizeA);
    if (c == 0) c = Compare(a.sizeB, b.sizeB);
    return ThenCatalogAndNumber(c, a, b);
}

int CompareSelectionByTransit(const SelectionRecord& a, const SelectionRecord& b) {
    return ThenCatalogAndNumber(CompareKeys(SelectionTransitKey(a), SelectionTransitKey(b)), a, b);
}

int CompareSelectionByRA(const SelectionRecord& a, const SelectionRecord& b) {
    return ThenCatalogAndNumber(CompareKeys(a.rightAscension, b.rightAscension), a, b);
}

int CompareSelectionByAltitude(const SelectionRecord& a, const SelectionRecord& b) {
    return ThenCatalogAndNumber(CompareKeys(SelectionAltitudeKey(a), SelectionAltitudeKey(b), true), a, b);
}

int CompareSelectionByConstellation(const SelectionRecord& a, const SelectionRecord& b) {
    return ThenCatalogAndNumber(Compare(a.constellation, b.constellation), a, b);
}

namespace {

using Comparator = int (*)(const SelectionRecord&, const SelectionRecord&);

void SortRange(SelectionRecord* first, SelectionRecord* last, Comparator compare) {
    std::stable_sort(first, last, [compare](const SelectionRecord& a, const SelectionRecord& b) {
        return compare(a, b) < 0;
    });
}

}  // namespace

int SortSelectionList(int choice) {
    SelectionRecord* records = selectionList.records;
    const int count = std::clamp(selectionList.recordCount, 0, selectionList.capacity);
    if (records && count > 1) {
        SelectionRecord* end = records + count;
        switch (choice) {
            case 0: {
                SortRange(records, end, CompareSelectionByGroup);
                // Bodies, Messier and Caldwell objects lead in their own order; the rest
                // follow by catalog.
                SelectionRecord* tail = std::find_if(records, end, [](const SelectionRecord& r) {
                    return r.group < kGroupBody || r.group > kGroupCaldwell;
                });
                if (end - tail >= 2) SortRange(tail, end, CompareSelectionByCatalog);
                break;
            }
            case 1: SortRange(records, end, CompareSelectionByMagnitude); break;
            case 2: SortRange(records, end, CompareSelectionBySize); break;
            case 3: SortRange(records, end, CompareSelectionByTransit); break;
            case 4: SortRange(records, end, CompareSelectionByRA); break;
            case 5: SortRange(records, end, CompareSelectionByAltitude); break;
            case 6: SortRange(records, end, CompareSelectionByConstellation); break;
            default: break;
        }
    }
    selectionList.indexCount = FilterSelectionByType(selectionList.categoryFilter, records, count);
    return selectionList.indexCount;
}

// ---------------------------------------------------------------------------------------
// Ephemeris

void UpdateObjectEphemeris(int year, int month, int day, int hour, int minute, int second) {
    if (!selectionList.records) return;
    const double jd = DateTimeToJD(year, month, day, hour, minute, second, observerLocation.zoneMinutes);
    const int count = std::clamp(selectionList.recordCount, 0, selectionList.capacity);
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = selectionList.records[i];
        if (r.catalogCode == kCatalogPlanet) {
            BodyRecord body{};
            std::int32_t& mode = preferences.word[pref::coordinateMode];
            const std::int32_t saved = mode;
            mode = 2;
            const int placed = ComputePlanet(&body, r.objectIndex, year, month, day, hour, minute, second);
            mode = saved;
            if (!placed) continue;
            r.rightAscension = static_cast<float>(body.rightAscension);
            r.declination = static_cast<float>(body.declination);
            r.magnitude10 = TruncateToInt(body.magnitude * 10.0);
            r.distance = static_cast<float>(body.distance);
            r.sizeA = r.sizeB = static_cast<std::int16_t>(TruncateToInt(body.diameter));
            r.constellation = static_cast<std::int16_t>(FindConstellation(body.rightAscension, body.declination, jd));
        } else if (r.catalogCode == kCatalogComet) {
            CometRecord elements;
            CometPlace place{};
            if (!GetCometData(r.objectNumber, &elements)) continue;
            if (!ComputeCometPositionHook(elements, jd, year, &place)) continue;
            r.rightAscension = static_cast<float>(place.rightAscension);
            r.declination = static_cast<float>(place.declination);
            r.constellation = static_cast<std::int16_t>(FindConstellation(place.rightAscension, place.declination, jd));
            r.magnitude10 = TruncateToInt(CometMagnitude(elements, place) * 10.0);
        }
    }
    InvalidateSelectionProjectionHook();
}
