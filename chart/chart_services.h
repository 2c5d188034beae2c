#pragma once
// What the shell uses of the sky chart: its symbol bitmap set for day and night, the
// program's clock step, the Moon phase icon, and the chart bitmaps freed at exit.
#include <cstdint>

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

// The chart's clock: the tick second of the last step, and the local sidereal time of the
// observing instant in hours and in fixed-point turns (a full turn is 105414356).
struct ChartClock {
    std::uint32_t lastStep;
    float siderealTime;
    std::int32_t siderealTimeFixed;
};
extern ChartClock chartClock;

// Chooses the symbol set: with a non-zero argument outside night mode the set drawn on a
// white background (transparent white), otherwise the day set (transparent black), which
// the drawing layer turns red at night.
void SetNightMode(int on);

// The program's clock step. With force 1 it always steps; otherwise nothing happens until
// 120 s have passed since the last step. A step reads the device clock into the observing
// time (or, when the user set the time, advances it by the time elapsed), computes the
// local sidereal time and refreshes the Moon phase icon. Returns 1 when it stepped.
int UpdateCurrentTime(int force);

// The bitmap id of the Moon phase icon for that date and hour.
int GetMoonPhaseBitmap(int year, int month, int day, int hour);

// The chart's two offscreen bitmaps and its saved bitmap; null while not made.
extern DrawWindow* chartBitmaps[2];
extern DrawWindow* savedChartBitmap;

// Free the chart's two offscreen bitmaps, and its saved bitmap, clearing their slots.
void FreeChartBitmaps();
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

// The chart's selection projection flag: 1 while its selection records are projected for
// the current view; any change of the selection list clears it.
extern int selectionProjected;
void InvalidateSelectionProjection();

// Makes an object the chart's current object; a negative position takes the finder
// position of the object's catalog. The chart's object popup is not part of the program
// yet: until it is, the call records the request and gives no popup row (-1).
struct ChartObjectRequest {
    int catalog;
    int number;
    int position;
    int count;   // requests since the start
};
extern ChartObjectRequest chartObjectRequest;
int SelectChartObject(const ObjectRef& object, int position);

// Opens the finder form (2350) for a new search: the selection is cleared, the entry mode
// kept and, when it is 0 or more, the catalog.
void OpenFinderForm(int entryMode, int catalog);
