#pragma once
// The instant the whole system computes for, and the search criteria that carry a copy of
// its date with the limiting magnitudes.
#include <cstdint>

// The observing instant in local civil time of the site.
struct ObservingDateTime {
    int year;
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59
};
extern ObservingDateTime observingDateTime;

struct SelectionCriteria {
    // The instant the search is made for, written with the observing date.
    std::int16_t year;
    std::int16_t month;
    std::int16_t day;
    std::int16_t hour;
    std::int16_t minute;
    // Limiting magnitudes of the telescope and of the naked eye.
    float telescopeLimit;
    float nakedEyeLimit;
    // What the search is for: its kind (63 a user catalog, 45 the chart, 54 the alignment
    // forms), the object type and the type class.
    std::int16_t searchKind;
    std::int16_t objectType;
    std::int16_t typeClass;
};
extern SelectionCriteria selectionCriteria;

// Sets the six `ObservingDateTime` fields and the 16-bit date copy of `SelectionCriteria`
// (year to minute). The arguments are not checked: writers pass a valid calendar date.
void SetObservingDateTime(int year, int month, int day, int hour, int minute, int second);
// Copies the observing date (year to minute) into the criteria.
void CopyObservingDateToCriteria();

// What follows a change of the observing time the user made (the limiting magnitudes are
// recomputed for the new instant). The program installs it at start; none by default.
using ObservingTimeHook = void (*)();
void SetObservingTimeChangedHook(ObservingTimeHook hook);
// Calls the installed hook, if any.
void ObservingTimeChanged();
