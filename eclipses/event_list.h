#pragma once
// The list of sky events the event search finds: oppositions and inferior conjunctions,
// conjunctions of two bodies, New and Full Moons and eclipses. It keeps at most 100
// records, merges a body's record of consecutive days into the closest one, sorts and
// filters them for the Events view, and draws the view's rows.
#include <cstdint>

#include "shell/draw_targets.h"

// Record types.
inline constexpr int kEventOpposition = 1;  // inferior conjunction (Mercury, Venus) or opposition
inline constexpr int kEventConjunction = 2; // two bodies; the second may be the Sun (0)
inline constexpr int kEventMoonPhase = 3;   // value 100 Full Moon, 0 New Moon
inline constexpr int kEventLunarEclipse = 5;
inline constexpr int kEventSolarEclipse = 6;

// Filters, by the row of the Events view's filter popup: "All", "Conj.", "Moon", "Opp.",
// "Eclipse".
inline constexpr int kEventFilterAll = 0;
inline constexpr int kEventFilterConjunctions = 1;
inline constexpr int kEventFilterMoon = 2;
inline constexpr int kEventFilterOppositions = 3;
inline constexpr int kEventFilterEclipses = 4;

inline constexpr int kEventListCapacity = 100;
// The list of the Events view.
inline constexpr int kEventListId = 2447;

// Thirteen 32-bit fields. Dates and times are the site's local civil time.
struct EventRecord {
    std::int32_t keyA;         // spare key, part of the duplicate test; the search writes 0
    std::int32_t firstBody;    // BodyIndex of the planet (types 1, 2); 0 otherwise
    std::int32_t keyB;         // spare key, part of the duplicate test; the search writes 0
    std::int32_t secondBody;   // second body of a conjunction (0 the Sun); 0 otherwise
    std::int32_t type;
    float value;               // degrees (types 1, 2), 100/0 (type 3), eclipse type (5, 6)
    std::int32_t year, month, day, hour, minute;
    std::int32_t flagA;        // the search writes 1
    std::int32_t flagB;        // the search writes 0
};
static_assert(sizeof(EventRecord) == 13 * 4, "an event record is thirteen 32-bit words");

struct EventListState {
    EventRecord* records;  // block of kEventListCapacity records; null while the list is empty
    int count;
    int filter;            // 0..4
    int viewWidth;         // drawing width of the Events view, set by the view
    bool allocationReported;  // the failure to make the block was told once
};
extern EventListState eventList;

// Appends a record, or merges it into a matching one among the last three (same keys,
// bodies and type, first body not 0): the stored one takes the new date, time and value
// when the new value is smaller. Records past the 100th are dropped. A block that cannot
// be made is reported once ("Can't allocate memory for the event list") and adds nothing.
void AddEvent(int keyA, int firstBody, int keyB, int secondBody, int type, float value, int year, int month,
              int day, int hour, int minute, int flagA, int flagB);

// Whether a record of the type passes the filter.
bool EventPassesFilter(int type, int filter);

// Sort order: with a filter set the type first; then date, hour and minute. Negative,
// zero or positive.
int CompareEvents(const EventRecord& a, const EventRecord& b);

// Sorts the list, and returns the number of rows the filter passes after setting it as
// the row count of list 2447 of the form on screen (when there is one).
int SortEvents();

// Index of the first record the filter passes: 0 with no filter or an empty list, the
// record count when none passes.
int FindFirstFilteredEvent();

// Row function of list 2447: draws record row + FindFirstFilteredEvent() (text composed in
// txtBuffer, icon at the right of the view's width).
void DrawEventRow(int row, Bounds rect, int flag, int rowWidth);

// Filter back to 0, the block freed, count 0. A second call does nothing more.
void FreeEventList();
