#include "shell/startup_data.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "catalog/databases.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "catalog/user_lists.h"
#include "chart/chart_services.h"
#include "eclipses/eclipses_services.h"
#include "moon/moon_services.h"
#include "objects/objects_services.h"
#include "planets/planets_services.h"
#include "scope/scope_services.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
#include "shell/settings.h"
#include "shell/utilities.h"

char* txtBuffer = nullptr;
std::uint8_t* brightStarsList = nullptr;
std::uint8_t* starBuffer = nullptr;
std::uint8_t* objectBuffer = nullptr;
std::uint8_t* buttonList = nullptr;
std::uint8_t* buttonList2 = nullptr;
std::uint8_t* buttonListSave = nullptr;
std::uint8_t* buttonListTypeSave = nullptr;
std::uint8_t* catalogList = nullptr;
std::uint8_t* catalogList2 = nullptr;
std::uint8_t* alignmentStars = nullptr;
char* dreyerLong = nullptr;
char** objListNamePtr = nullptr;
int dateOrderMonthFirst = 0;

namespace {

StartupAllocator allocator = nullptr;

constexpr const char* kAllocFailure = "Can't allocate memory during initialization for ";

template <typename T>
bool Allocate(T*& slot, std::size_t count, std::size_t size, const std::string& failure) {
    slot = static_cast<T*>(StartupCalloc(count, size));
    if (slot) return true;
    ShowMessage(failure.c_str(), "");
    return false;
}

template <typename T>
void Release(T*& slot) {
    std::free(slot);
    slot = nullptr;
}

}  // namespace

void SetStartupAllocator(StartupAllocator a) { allocator = a; }

void* StartupCalloc(std::size_t count, std::size_t size) {
    return allocator ? allocator(count, size) : std::calloc(count, size);
}

void AllocChartBuffers() {
    if (!Allocate(starBuffer, 1, kStarBufferSize, std::string(kAllocFailure) + "star buffer")) return;
    std::memcpy(starBuffer, &kStarBufferEmpty, sizeof kStarBufferEmpty);
    if (!Allocate(objectBuffer, 1, kObjectBufferSize, std::string(kAllocFailure) + "object buffer")) return;
    std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
}

int AllocStartupData() {
    SetDefaultSettings();

    if (!Allocate(txtBuffer, 1, kTxtBufferSize, "Can't allocate txtBuffer")) return 0;
    if (!Allocate(brightStarsList, 1, kBrightStarsListSize, std::string(kAllocFailure) + "bright stars list"))
        return 0;
    AllocChartBuffers();
    AllocSelectionList();

    const std::string buttons = std::string(kAllocFailure) + "buttonList";
    const std::string catalogs = std::string(kAllocFailure) + "catalogList";
    if (!Allocate(buttonList, 1, kButtonListSize, buttons)) return 0;
    if (!Allocate(buttonList2, 1, kButtonListSize, buttons)) return 0;
    if (!Allocate(buttonListSave, 1, kButtonListSize, std::string(kAllocFailure) + "buttonListSave")) return 0;
    if (!Allocate(buttonListTypeSave, 1, kButtonListSize, std::string(kAllocFailure) + "buttonListTypeSave"))
        return 0;
    if (!Allocate(catalogList, 1, kCatalogListSize, catalogs)) return 0;
    if (!Allocate(catalogList2, 1, kCatalogList2Size, catalogs)) return 0;
    if (!Allocate(alignmentStars, 1, kAlignmentStarsSize, std::string(kAllocFailure) + "alignment stars"))
        return 0;
    if (!Allocate(dreyerLong, 1, kDreyerLongSize, "Can't allocate memory dreyerLong")) return 0;
    if (!Allocate(objListNamePtr, kObjListNameCount, sizeof(char*), "Can't allocate memory objListNamePtr"))
        return 0;

    // The observing time: a saved date when there is one, else the device clock.
    std::int32_t* w = preferences.word;
    ObservingDateTime& t = observingDateTime;
    if (w[pref::savedYear] == 0) {
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    } else {
        t = {w[pref::savedYear], w[pref::savedMonth], w[pref::savedDay], w[pref::savedHour], w[pref::savedMinute], 0};
    }
    selectionCriteria.year = static_cast<std::int16_t>(t.year);
    selectionCriteria.month = static_cast<std::int16_t>(t.month);
    selectionCriteria.day = static_cast<std::int16_t>(t.day);
    selectionCriteria.hour = static_cast<std::int16_t>(t.hour);
    selectionCriteria.minute = static_cast<std::int16_t>(t.minute);

    const int order = GetDateOrder(0);
    dateOrderMonthFirst = order >= 1 && order <= 3 ? 1 : 0;

    SetNightColours(w[pref::nightMode]);
    SetNightMode(1);
    UpdateCurrentTime(1);
    GetMoonPhaseBitmap(t.year, t.month, t.day, t.hour);
    SetSerialHold(w[pref::scopeDrive] != 0 ? 1 : 0);

    if (observerLocation.latitude == 0.0f && observerLocation.longitude == 0.0f) {
        // No site yet: the home form asks for one and the site form comes next.
        w[pref::lastPushedForm] = 1950;
        noSiteFlag = 1;
        PushFormHistory(1200);
        PushFormHistory(1200);
        return 0;
    }
    if (w[pref::lastPushedForm] == 0) w[pref::lastPushedForm] = 1950;
    LoadUserList("last_list.lst", 0);
    return 0;
}

void FreeStartupData() {
    std::int32_t* w = preferences.word;
    w[pref::savedYear] = observingDateTime.year;
    w[pref::savedMonth] = observingDateTime.month;
    w[pref::savedDay] = observingDateTime.day;
    w[pref::savedHour] = observingDateTime.hour;
    w[pref::savedMinute] = observingDateTime.minute;

    SaveUserList("last_list");
    if (w[pref::nightMode] != 0) SetNightColours(0);

    // Other subsystems' buffers and handles.
    DeleteSchemeBrushes();
    FreeMoonFeatureIndex();
    FreeMoonFeatureOrder();
    FreeScreenBuffer();
    SetSerialHold(0);
    CloseSerialPort();
    FreeConstellationLines();
    FreeChartBitmaps();
    FreeSatelliteSprites();
    FreeObserverLogEntry();
    FreeEventList();
    FreeAstrometryBuffers();
    FreeSymbolStrips();
    FreeSelectionList();
    FreeSavedBitmap();
    CloseCatalogDatabases();

    // The start-up buffers.
    Release(txtBuffer);
    Release(buttonList);
    Release(buttonList2);
    Release(buttonListSave);
    Release(buttonListTypeSave);
    Release(catalogList);
    Release(catalogList2);
    Release(dreyerLong);
    if (objListNamePtr) {
        for (int i = 0; i < kObjListNameCount && objListNamePtr[i]; ++i) Release(objListNamePtr[i]);
        Release(objListNamePtr);
    }
    Release(starBuffer);
    Release(objectBuffer);
    Release(alignmentStars);
    Release(brightStarsList);
}
