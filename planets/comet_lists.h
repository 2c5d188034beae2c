#pragma once
// The orbit assistant's two rankings of the whole comet database: "Brightest" (every
// object brighter than magnitude 19 at the form's instant, brightest first) and "Best
// Dates" (for each object whose reference date is at most 30 days past, the instant of its
// least distance from the Earth near that date, in date order).
#include <cstdint>
#include <vector>

#include "catalog/records.h"
#include "shell/draw_targets.h"

// One row of a list.
struct CometListEntry {
    std::int32_t record = 0;
    float magnitude = 0.0f;
    std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0;
};
// The rows of the list last built (owned by the form) and the record every row is read into.
extern std::vector<CometListEntry> cometMagList;
extern CometRecord cometWorkRecord;

inline constexpr double kCometListMagnitudeCut = 19.0;

// The Brightest rows for an instant (second 0, the scale of the fields): every record whose
// magnitude, as the row stores it (a float), is at most 19.0, sorted by the magnitude in
// hundredths, ties in record order. Records that cannot be solved or give no finite
// magnitude are left out.
std::vector<CometListEntry> ComputeBrightestEntries(int year, int month, int day, int hour, int minute);

// The reference date of a record (Julian day): a comet's perihelion instant; an asteroid's
// date (at 0 h) as far after its epoch as its perihelion date lies before it.
double CometReferenceDate(const CometRecord& record);

// The instant of the least Earth distance of a record inside [first, last] around `ref`
// (Brent's search when ref is nearer than both ends, else a scan of one-day steps refined
// around its least sample). 1 with the instant and the distance; 0 when the orbit cannot
// be solved.
int FindLeastEarthDistance(const CometRecord& record, double first, double ref, double last, double* jd,
                           double* distance);

// The Best Dates rows for an instant, sorted by date, rows of one day in record order.
std::vector<CometListEntry> ComputeBestDatesEntries(int year, int month, int day, int hour, int minute);

// Build the list of the form's instant into cometMagList, fill the form's row list, make
// the first row's record the current comet (0 when the list is empty) and show the form's
// time.
void BuildBrightestList();
void BuildBestDatesList();

// Draws row `row` of the list (nothing when its record cannot be read).
void DrawCometListRow(int row, const Bounds& rect);
