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
