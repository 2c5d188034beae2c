#include "chart/chart_services.h"

#include "catalog/object_selection.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "core/settings.h"
#include "shell/form_dispatcher.h"
#include "shell/utilities.h"

ChartSymbolSet chartSymbols{};
MoonBlock moonBlock{};
DrawWindow* chartBitmaps[2] = {nullptr, nullptr};
DrawWindow* savedChartBitmap = nullptr;
ChartCentreRequest chartCentreRequest{0, 0, -1};

namespace {

constexpr int kDaySymbols[6] = {4054, 4088, 4056, 4055, 4063, 4107};
constexpr int kNightSymbols[6] = {4081, 4089, 4083, 4082, 4084, 4108};
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

}  // namespace

void SetNightMode(int on) {
    const bool whiteSet = on != 0 && preferences.word[pref::nightMode] == 0;
    const int* ids = whiteSet ? kNightSymbols : kDaySymbols;
    for (int i = 0; i < 6; ++i) chartSymbols.bitmaps[i] = ids[i];
    chartSymbols.transparentColour = whiteSet ? kWhite : kBlack;
    chartSymbols.toolIconSet = whiteSet ? 2 : 0;
    LoadToolIcons(chartSymbols.toolIconSet);
}

void FreeCachedChartBitmaps() {
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

void OpenFinderForm(int entryMode, int catalog) {
    ClearObjectSelection();
    finderEntry.entryMode = entryMode;
    if (catalog >= 0) finderEntry.catalog = catalog;
    GotoForm(2350);
}
