#include "chart/chart_services.h"

#include "astro/time_scales.h"
#include "catalog/object_selection.h"
#include "core/observing_time.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "core/settings.h"
#include "shell/form_dispatcher.h"
#include "shell/utilities.h"

ChartSymbolSet chartSymbols{};
MoonBlock moonBlock{};
ChartClock chartClock{};
DrawWindow* chartBitmaps[2] = {nullptr, nullptr};
DrawWindow* savedChartBitmap = nullptr;
ChartCentreRequest chartCentreRequest{0, 0, -1};
int selectionProjected = 0;
ChartObjectRequest chartObjectRequest{0, 0, -1, 0};

namespace {

constexpr int kDaySymbols[6] = {4054, 4088, 4056, 4055, 4063, 4107};
constexpr int kNightSymbols[6] = {4081, 4089, 4083, 4082, 4084, 4108};
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr double kHoursToFixedTurn = 105414356.0 / 24.0;

}  // namespace

void SetNightMode(int on) {
    const bool whiteSet = on != 0 && preferences.word[pref::nightMode] == 0;
    const int* ids = whiteSet ? kNightSymbols : kDaySymbols;
    for (int i = 0; i < 6; ++i) chartSymbols.bitmaps[i] = ids[i];
    chartSymbols.transparentColour = whiteSet ? kWhite : kBlack;
    chartSymbols.toolIconSet = whiteSet ? 2 : 0;
    LoadToolIcons(chartSymbols.toolIconSet);
}

int UpdateCurrentTime(int force) {
    const std::uint32_t now = GetSeconds();
    std::uint32_t elapsed = 0;
    if (chartClock.lastStep == 0)
        chartClock.lastStep = now;
    else
        elapsed = now - chartClock.lastStep;
    if (elapsed < 120 && force != 1) return 0;

    ObservingDateTime& t = observingDateTime;
    if (preferences.word[pref::timeUpdateMode] == 0 || chartClock.siderealTime == 0.0f) {
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    } else {
        AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, static_cast<int>(elapsed / 60));
        t.second += static_cast<int>(elapsed % 60);
        while (t.second > 59) {
            AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, 1);
            t.second -= 60;
        }
    }

    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                         observerLocation.longitude, observerLocation.zoneMinutes);
    chartClock.siderealTime = static_cast<float>(lst);
    chartClock.siderealTimeFixed = static_cast<std::int32_t>(lst * kHoursToFixedTurn);
    chartClock.lastStep = now;
    GetMoonPhaseBitmap(t.year, t.month, t.day, t.hour);
    return 1;
}

int GetMoonPhaseBitmap(int, int, int, int) { return moonBlock.bitmapId; }

void FreeChartBitmaps() {
    for (DrawWindow*& bitmap : chartBitmaps) {
        DeleteOffscreen(bitmap);
        bitmap = nullptr;
    }
}

void FreeSavedBitmap() {
    DeleteOffscreen(savedChartBitmap);
    savedChartBitmap = nullptr;
}

void RequestChartCentre(int returnFormId, int index) {
    chartCentreRequest.selectionFlags = 0;
    chartCentreRequest.returnFormId = returnFormId;
    if (index >= 0) chartCentreRequest.index = index;
    GotoForm(2350);
}

void InvalidateSelectionProjection() { selectionProjected = 0; }

int SelectChartObject(const ObjectRef& object, int position) {
    chartObjectRequest.catalog = static_cast<int>(object.catalog);
    chartObjectRequest.number = static_cast<int>(object.number);
    chartObjectRequest.position = position < 0 ? CatalogToFinderIndex(object) : position;
    ++chartObjectRequest.count;
    return -1;
}

void OpenFinderForm(int entryMode, int catalog) {
    ClearObjectSelection();
    finderEntry.entryMode = entryMode;
    if (catalog >= 0) finderEntry.catalog = catalog;
    GotoForm(2350);
}
