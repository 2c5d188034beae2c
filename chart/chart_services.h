#pragma once
// What the shell uses of the sky chart: its symbol bitmap set for day and night, the
// program's clock step (chart/chart_state.h), the Moon phase icon, the chart's current
// object (chart/chart_object_index.h), and the chart bitmaps freed at exit.
#include <cstdint>

#include "chart/chart_object_index.h"
#include "chart/chart_save_under.h"
#include "chart/chart_state.h"

struct DrawWindow;
struct ObjectRef;

// The chart's six symbol bitmap ids and their transparent colour, and the tool icon set
// (0 day, 2 night), as SetNightMode chose them.
struct ChartSymbolSet {
    int bitmaps[6];
    std::uint32_t transparentColour;
    int toolIconSet;
};
extern ChartSymbolSet chartSymbols;

// The current Moon phase icon, the Moon's age index (0..29) and its parallactic angle in
// whole degrees.
struct MoonBlock {
    int bitmapId;
    int ageIndex;
    int parallacticAngle;
};
extern MoonBlock moonBlock;

// Chooses the symbol set: with a non-zero argument outside night mode the set drawn on a
// white background (transparent white), otherwise the day set (transparent black), which
// the drawing layer turns red at night.
void SetNightMode(int on);

// The bitmap id of the Moon phase icon for that date and hour.
int GetMoonPhaseBitmap(int year, int month, int day, int hour);

// The chart's two cached bitmaps and its saved bitmap; null while not made.
extern DrawWindow* chartBitmaps[2];
extern DrawWindow* savedChartBitmap;

// Free the chart's two cached bitmaps, and its saved bitmap, clearing their slots.
void FreeCachedChartBitmaps();
void FreeSavedBitmap();

// A request from another form to centre the finder on an entry: the selection flags are
// cleared, the form to return to recorded, the entry index kept when it is 0 or more, and
// the finder form 2350 opened.
struct ChartCentreRequest {
    int selectionFlags;
    int returnFormId;
    int index;
};
extern ChartCentreRequest chartCentreRequest;
void RequestChartCentre(int returnFormId, int index);

// Opens the finder form (2350) for a new search: the selection is cleared, the entry mode
// kept and, when it is 0 or more, the catalog.
void OpenFinderForm(int entryMode, int catalog);
