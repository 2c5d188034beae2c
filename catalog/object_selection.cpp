#include "catalog/object_selection.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalog/databases.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "core/number_text.h"
#include "core/settings.h"

ObjectSelection objectSelection;
CurrentObject currentObject;
FinderEntry finderEntry;
int listOpenedFromChart = 0;

int TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(value);
}

namespace {

void CopyName(char* dest, std::size_t size, const char* name) {
    std::strncpy(dest, name, size - 1);
    dest[size - 1] = '\0';
}

}  // namespace

void SetObjectSelection(const ObjectRef* object, std::uint32_t subIndex) {
    if (!object) return;
    objectSelection.object = *object;
    objectSelection.object.name[kObjectNameSize - 1] = '\0';
    if (object->catalog == kCatalogUser || object->name[0] != '\0')
        CopyName(objectSelection.displayName, sizeof objectSelection.displayName, objectSelection.object.name);
    objectSelection.kind = kSelectionKindObject;
    objectSelection.subIndex = subIndex;
    objectSelection.selected = 1;
}

void ClearObjectSelection() {
    objectSelection.selected = 0;
    objectSelection.displayName[0] = '\0';
    finderEntry.designation[0] = '\0';
    finderEntry.numberEntered = 0;
}

int IsObjectSelected() { return objectSelection.selected; }

std::uint32_t GetSelectionKind() { return objectSelection.kind; }

int GetSelectedName(char* dest) {
    if (dest) std::memcpy(dest, objectSelection.displayName, sizeof objectSelection.displayName);
    return 1;
}

int GetSelectedObject(ObjectRef* out, std::uint32_t* subIndex) {
    if (!out) return -1;
    *out = objectSelection.object;
    if (subIndex) *subIndex = objectSelection.subIndex;
    return static_cast<int>(objectSelection.kind);
}

void SetObjectRefName(ObjectRef* object, const char* name) {
    if (!object) return;
    std::memset(object->name, 0, sizeof object->name);
    if (name) std::strncpy(object->name, name, kObjectNameSize - 1);
}

void SetCurrentObjectRecord(const ObjectRef* object, int source) {
    if (!object) return;
    ClearObjectSelection();
    currentObject.object = *object;
    currentObject.number = object->number;
    currentObject.workingNumber = object->number;
    switch (source) {
        case 1: currentObject.listPosition = 7; break;
        case 2: currentObject.listPosition = 5; break;
        case 3: currentObject.listPosition = 1; break;
        case 7: currentObject.listPosition = 4; break;
        case 9: currentObject.listPosition = 8; break;
        case 12: currentObject.listPosition = 2; break;
        case 13: currentObject.listPosition = 3; break;
        case 14: currentObject.listPosition = 6; break;
        case 15: currentObject.listPosition = 9; break;
        case 11:
            if (object->catalog == kCatalogBrightStar) {
                currentObject.listPosition = 0;
                currentObject.number = object->number - 1;
            } else {
                SetObjectSelection(object, object->number);
            }
            break;
        default: currentObject.listPosition = source; break;
    }
    currentObject.changed = 1;
}

int LocateSelectionInList() {
    SelectChartObjectHook(objectSelection.object, -1);
    const int record = FindSelectionRecord(selectionList.records, objectSelection.object);
    selectionList.currentPosition = record < 0 ? -1 : FindSelectionPos(record);
    return 1;
}

int CatalogToListIndex(const ObjectRef& object) {
    switch (object.catalog) {
        case kCatalogBrightStar: return 0;
        case kCatalogCaldwell: return 1;
        case kCatalogComet: return 2;
        case kCatalogConstellation: return 3;
        case kCatalogHerschel: return 4;
        case kCatalogMessier: return 5;
        case kCatalogMeteor: return 6;
        case kCatalogPlanet: return 7;
        case kCatalogBestNgc: return 8;
        case kCatalogUser: return 9;
        default: return 10;
    }
}

int CatalogToFinderIndex(const ObjectRef& object) {
    switch (object.catalog) {
        case kCatalogBrightStar: return 11;
        case kCatalogCaldwell: return 3;
        case kCatalogComet: return 12;
        case kCatalogConstellation: return 13;
        case kCatalogHerschel: return 7;
        case kCatalogMessier: return 2;
        case kCatalogMeteor: return 14;
        case kCatalogPlanet: return 1;
        case kCatalogBestNgc: return 9;
        case kCatalogUser: return 15;
        default: return 99;
    }
}

void SelectionRecordToInfo(ObjectRef* out, const SelectionRecord* record) {
    if (!out || !record) return;
    out->catalog = static_cast<std::uint32_t>(static_cast<std::int32_t>(record->catalogCode));
    out->number = static_cast<std::uint32_t>(record->objectIndex + 1);
    out->type = record->typeCode;
    out->constellation = record->constellation;
    out->ra = record->rightAscension;
    out->dec = record->declination;
    out->magnitude = static_cast<float>(record->magnitude10 * 0.1);
    out->sizeA = record->sizeA;
    out->sizeB = record->sizeB;
    out->flag = record->flagValue;
    out->morphology = record->morphology;
}

void SetListChartFlag(int flag) { listOpenedFromChart = flag; }

void FormatDistance(const ObjectRef& object, char* dest) {
    if (!dest) return;
    const double v = object.distance;
    const int type = object.type;
    if (type == 13 || type == 18 || type == 27) {
        int n = 0;
        if (v > 0.01) {
            n = FormatFixed(dest, v, 4);
            std::strcpy(dest + n, " AU");
        } else {
            n = FormatFixed(dest, v * 149597970.0, 0);
            std::strcpy(dest + n, " km");
        }
        return;
    }
    if (type == 14 || type == 15 || (type >= 30 && type <= 37)) {
        std::strcpy(dest, "-");
        return;
    }
    double d = std::fabs(v) * 0.014084507 * 0.001;
    const char* unit = "pc";
    if (preferences.distanceUnit != 0) {
        d *= 3.26163626;
        unit = "ly";
    }
    if (d > 10.0)
        std::snprintf(dest, kDistanceTextSize, "%d m%s", TruncateToInt(d + 0.5), unit);
    else if (d > 0.01)
        std::snprintf(dest, kDistanceTextSize, "%d k%s", TruncateToInt(d * 1000.0 + 0.5), unit);
    else if (d > 0.0)
        std::snprintf(dest, kDistanceTextSize, "%d %s", TruncateToInt(d * 1000000.0 + 0.5), unit);
    else
        std::strcpy(dest, "-");
}
