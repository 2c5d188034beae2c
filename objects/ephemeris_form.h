#pragma once
// The ephemeris form (form 2530, "EphemerisAssistant"): one object tabulated over a run of
// dates, one row per date from a start date on by a chosen step of days. In the Position
// mode a row gives the magnitude, constellation, right ascension, declination, azimuth and
// altitude at the start time of day; in the Rise/Set mode the rise, transit (with its
// altitude) and set. Moving bodies are placed again for every row. Dragging the stylus
// over the table moves the start date, and with it the observing date of the program.
#include "catalog/records.h"
#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kEphemerisFormId = 2530;

namespace ephemeris_form {
constexpr int kTitle = 2540;
constexpr int kBack = 2531;
constexpr int kStepPopup = 2532;
constexpr int kStepList = 2533;
constexpr int kDate = 2534;
constexpr int kTime = 2535;
constexpr int kNow = 2537;
constexpr int kInfo = 2538;
constexpr int kChooseObject = 2539;
constexpr int kModePopup = 2541;
constexpr int kModeList = 2542;
}  // namespace ephemeris_form

inline constexpr int kEphemerisRiseSet = 0;
inline constexpr int kEphemerisPosition = 1;

struct EphemerisState {
    ObjectRef object;
    int catalog = 0;
    int number = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int penX = 0, penY = 0;
    bool penDown = false;
    int mode = kEphemerisRiseSet;
    int screenWidth = 0, screenHeight = 0;
    int firstRowY = 0, rowHeight = 0, rowCount = 0;
};
extern EphemerisState ephemerisState;
// The row of the step choice, kept for the run: 1, 2, 5, 7, 10, 14, 30, 60 or 90 days.
extern int ephemerisStep;
int EphemerisStepDays(int row);

// One row of the table as drawn, for the tests: the texts of its columns in order (date,
// magnitude, constellation, then the mode's columns).
struct EphemerisRow {
    char text[8][16];
    int columns;
};
// The rows of the last drawing.
const EphemerisRow* LastEphemerisRows(int* count);

// Opens the form on an object (number and catalog code as the object lookup takes them)
// in the Rise/Set mode.
void OpenEphemeris(int number, int catalog, int year, int month, int day, int hour, int minute);

// The table for the mode on the current draw target; leaves the observing date and time at
// the table's start.
void DrawEphemerisTable(int mode);
// A stylus move of the drag: every 10 pixels down is a day later, up a day earlier.
void EphemerisStylusMove(int x, int y);
int EphemerisCommand(int id);
// Moves the controls when the window differs from the design size; 0 when it does not.
int LayoutEphemerisAssistant(platform::Window dialog, int width, int height);

platform::LResult EphemerisAssistant(platform::Window dialog, unsigned message, platform::WParam wParam,
                                     platform::LParam lParam);
