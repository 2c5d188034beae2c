#pragma once
// What the shell uses of the object information and observing-plan layer: the search
// criteria's date and limiting magnitudes, and the observer log entry buffer.
#include <cstdint>

#include "shell/growable_arrays.h"

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
};
extern SelectionCriteria selectionCriteria;

// Observer log file names; created empty by the program's initialisers.
extern NameList observerLogList;

// The observer log entry being edited; null when none.
extern std::uint8_t* observerLogEntry;

// Frees the observer log entry buffer; a second call does nothing.
void FreeObserverLogEntry();

// The object search for a category (type, catalog, class), whose first result becomes the
// current object. The search engine is not part of the program yet: until it is, the call
// only records what was asked for, and the chart opens on the list it already has.
void RunObjectSelection(int type, int catalog, int objectClass);
struct ObjectSelectionRequest {
    int type;
    int catalog;
    int objectClass;
    int count;   // searches asked for since the start
};
extern ObjectSelectionRequest lastObjectSelection;

// Copies the observing date and time into the criteria and recomputes the telescope's
// limiting magnitude (5 log10 of the aperture in centimetres + 7.5, cut to tenths). The
// naked-eye limit belongs to the visibility model and is left as it is until that exists.
void ComputeLimitingMagnitude();
