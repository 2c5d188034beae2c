#include "app/startup_data.h"

#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>

#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/descriptions.h"
#include "catalog/selection_list.h"
#include "catalog/settings_file.h"
#include "catalog/star_tables.h"
#include "catalog/user_lists.h"
#include "chart/chart_services.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/eclipses_services.h"
#include "moon/moon_services.h"
#include "objects/objects_services.h"
#include "planets/planets_services.h"
#include "platform/paths.h"
#include "scope/saved_alignment.h"
#include "scope/serial_port.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/scratch_text.h"
#include "shell/utilities.h"

namespace {

// The user's files need a usable home folder. When it cannot be used the user is told once,
// here, and the program runs on without saving (the stores check platform::HomeUsable).
void CheckUserFolder() {
    const std::string reason = platform::PrepareHomeFolder();
    if (reason.empty()) return;
    const std::string detail =
        platform::HomeRoot().string() + ": " + reason + ".\nVelkarion runs on, but nothing will be saved.";
    ShowMessage("Can't use the user folder", detail.c_str());
}

// The machine's UTC offset in minutes (local minus UT, summer time included) at a local
// instant, from its time zone (TZ, else the system's).
int MachineZoneMinutes(const ObservingDateTime& t) {
    std::tm local{};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    const std::time_t instant = std::mktime(&local);
    std::tm back{};
    if (instant == static_cast<std::time_t>(-1) || !localtime_r(&instant, &back)) return 0;
    return static_cast<int>(back.tm_gmtoff / 60);
}

// The user's saved settings over the defaults. A file that cannot be used is named once
// and left where it is; the next save of the settings replaces it. Returns whether saved
// settings were taken.
bool ReadSavedSettings() {
    std::string why;
    switch (ReadSettingsFile(&why)) {
    case SettingsRead::Missing:
        return false;
    case SettingsRead::Refused: {
        const std::string detail = SettingsFilePath().string() + ": " + why +
                                   ".\nVelkarion starts from the default settings; the file is left as it is "
                                   "until the settings are saved again.";
        ShowMessage("Can't read the saved settings", detail.c_str());
        return false;
    }
    case SettingsRead::Read:
        break;
    }
    // What belongs to one run starts afresh: the clock gives the observing time and the
    // home form follows it.
    std::int32_t* w = preferences.word;
    for (int i = pref::savedYear; i <= pref::savedMinute; ++i) w[i] = 0;
    w[pref::timeUpdateMode] = 0;
    w[pref::lastPushedForm] = 1950;
    // The site form opens by itself only when no site has been set.
    noSiteFlag = observerLocation.latitude == 0.0f && observerLocation.longitude == 0.0f ? 1 : 0;
    return true;
}

}  // namespace

int AllocStartupData() {
    CheckUserFolder();
    SetDefaultSettings();
    const bool savedSettings = ReadSavedSettings();
    SetSettingsStore(&StoreSettings);
    telescopeEmulation = 1;

    if (!AllocScratchText()) return 0;
    if (!AllocBrightStarsList()) return 0;
    AllocChartBuffers();
    AllocSelectionList();
    if (!AllocSearchBuffers()) return 0;
    if (!AllocAlignmentStars()) return 0;
    if (!AllocDescriptionBuffer()) return 0;
    if (!AllocEventRowTexts()) return 0;

    // The observing time: a saved date when there is one, else the device clock.
    std::int32_t* w = preferences.word;
    ObservingDateTime& t = observingDateTime;
    if (w[pref::savedYear] == 0) {
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    } else {
        t = {w[pref::savedYear], w[pref::savedMonth], w[pref::savedDay], w[pref::savedHour], w[pref::savedMinute], 0};
    }
    CopyObservingDateToCriteria();
    // Until the user gives a site, the default one ("None") keeps the machine's time zone,
    // so that UT is right from the first start.
    if (!savedSettings || std::strcmp(observerLocation.name, "None") == 0) observerLocation.zoneMinutes = static_cast<std::int16_t>(MachineZoneMinutes(t));

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
    // Settings changed from here on belong to no running program.
    SetSettingsStore(nullptr);
    std::int32_t* w = preferences.word;
    w[pref::savedYear] = observingDateTime.year;
    w[pref::savedMonth] = observingDateTime.month;
    w[pref::savedDay] = observingDateTime.day;
    w[pref::savedHour] = observingDateTime.hour;
    w[pref::savedMinute] = observingDateTime.minute;

    SaveUserList("last_list", ListSave::Automatic);
    if (w[pref::nightMode] != 0) SetNightColours(0);

    // Other subsystems' buffers and handles.
    DeleteSchemeBrushes();
    FreeMoonIndexBuffer();
    FreeTerminatorList();
    FreeScreenBuffer();
    SetSerialHold(0);
    CloseSerialPort();
    FreeConstellationLines();
    FreeChartBitmaps();
    FreeCachedChartBitmaps();
    FreeSatelliteSprites();
    FreeObserverLogEntry();
    FreeEventList();
    FreeAstrometryBuffers();
    FreeSymbolStrips();
    FreeSelectionList();
    FreeSavedBitmap();
    CloseCatalogDatabases();

    // The start-up buffers.
    FreeScratchText();
    FreeSearchBuffers();
    FreeDescriptionBuffer();
    FreeEventRowTexts();
    FreeChartBuffers();
    FreeAlignmentStars();
    FreeBrightStarsList();
}
