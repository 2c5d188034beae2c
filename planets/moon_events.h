#pragma once
// The day's transits, shadow transits, eclipses and occultations of Jupiter's Galilean
// moons and of five of Saturn's moons, for the planet view's "Events" page: the day is
// scanned, the phenomenon states become intervals refined to the minute, the table is kept
// for its date and drawn below the Sun's and the planet's day bars.
#include "planets/planet_view_state.h"

inline constexpr int kMoonEventSlots = 5;
extern const char kJupiterEventMoons[kMoonEventSlots][10];
extern const char kSaturnEventMoons[kMoonEventSlots][10];
extern const char* const kMoonEventKinds[6];

// Minutes the refinement may move a start back or an end forward.
inline constexpr int kMoonEventRefineLimit = 12 * 60;

// The phenomenon states (0..5) of the five moon slots `minutes` minutes after local
// midnight of the given local date, for the mode (Jupiter or Saturn). Saturn's tables are
// prepared again when the instant lies outside their sampled span.
void MoonEventStates(int mode, int year, int month, int day, int minutes, int states[kMoonEventSlots]);

// Computes the table of planetView.moonEventTable for the local date (unless it already
// holds that date): scan, refinement and sort. Returns 1 when it computed, 0 when it reused.
// `scans` (may be null) counts the state computations made.
int ComputeMoonEvents(int mode, int year, int month, int day, long* scans = nullptr);

// Minutes from local midnight of the table's date to a record's start or its end.
int MoonEventStart(const MoonEventRecord& record);
int MoonEventEnd(const MoonEventRecord& record);

// Whether a record is listed: not empty, of the filtered moon (filter 0 all, else slot
// filter - 1) and overlapping the local day of the table.
bool MoonEventListed(const MoonEventRecord& record, int filter);

// The Events page for the form's date: computes or reuses the table and draws it from
// y = 24 x scale down, with the day bars when the screen is tall enough.
void DrawMoonEvents();
