#pragma once
// Jupiter's System II central meridian and the local times at which the Great Red Spot
// crosses it; the Red Spot table of the planet view and its "Adjust" command, which derives
// the Spot's longitude from an observed transit.

// Degrees of System II longitude the Red Spot drifts per day (11.846 a year).
inline constexpr double kRedSpotDriftPerDay = 0.032433001632180276;
// System II rotation, degrees per day.
inline constexpr double kSystemIIRate = 870.27;
// Hours of one System II rotation.
inline constexpr double kSystemIIPeriodHours = 24.0 * 360.0 / kSystemIIRate;
inline constexpr int kRedSpotTransits = 3;

// Jupiter's System II central meridian, degrees [0, 360), at a UT Julian day, from mean
// elements and the IAU rotation W = 43.3 + 870.27 d with the light time taken off.
double JupiterCentralMeridianII(double jd);

// The Red Spot's System II longitude for an instant: the "GRS Long.:" setting, valid on the
// device's current date and drifting continuously before and after it.
double RedSpotLongitudeAt(double jd);

// The three transits of the Red Spot for a local date, counted from local midnight: the
// first in hours 0 to 9, each next one a rotation later (the third may pass hour 24).
void ComputeRedSpotTransits(int year, int month, int day, int hours[kRedSpotTransits],
                            int minutes[kRedSpotTransits]);
// The same with the Spot at longitude `longitude` for the whole day.
void RedSpotTransitsFor(double jdMidnight, double longitude, int hours[kRedSpotTransits],
                        int minutes[kRedSpotTransits]);

// How a transit is marked in the table.
enum RedSpotSight : int {
    kRedSpotVisible = 0,  // Jupiter above 10 degrees in a dark sky: highlighted
    kRedSpotDaylight = 1, // the Sun at or above -10 degrees: the Sun icon
    kRedSpotLow = 2,      // Jupiter at or below 10 degrees: the struck Jupiter icon
};
RedSpotSight ClassifyRedSpotTransit(double jupiterAltitude, double sunAltitude);

// One day of the table: its date and the transits before midnight.
struct RedSpotTableRow {
    int year, month, day;
    int count;
    int hours[kRedSpotTransits], minutes[kRedSpotTransits];
    RedSpotSight sight[kRedSpotTransits];
};
// The table's rows for the screen height (rows 1 to n - 1 of the drawing, n = (height - 59
// x scale) / (15 x scale)) from the view's date; returns the number of rows written, at
// most `capacity`.
int ComputeRedSpotTable(int year, int month, int day, int rowCount, RedSpotTableRow* rows, int capacity);

// Draws the Red Spot sub-view for the view's date (planetView) into the screen buffer, one
// row per day; the view's date is put back afterwards.
void DrawRedSpotTable();

// The "Adjust" command: asks for an observed transit time on the observing date and moves
// the setting until the predicted transit meets it. 1 when the setting was changed.
int SolveRedSpotLongitude();
// The same for a transit observed at a local date and time: refused with "It seems it is not
// a valid Red Spot UTC transit time" when no predicted transit is within an hour of it.
int AdjustRedSpotLongitude(int year, int month, int day, int hour, int minute);
