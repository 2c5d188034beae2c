#pragma once
// What the shell uses of the object information and observing-plan layer: the search
// criteria's date and limiting magnitudes, and the observer log entry buffer.
#include <cstddef>
#include <cstdint>

#include "catalog/selection_hooks.h"
#include "core/growable_arrays.h"
#include "core/initialisers.h"
#include "core/observing_time.h"
#include "objects/comet_position.h"
#include "objects/limiting_magnitude.h"

// The observer log entry being edited; null when none.
extern std::uint8_t* observerLogEntry;

// Frees the observer log entry buffer; a second call does nothing.
void FreeObserverLogEntry();

// The searches other forms start, each with (type class, search kind, object type) and
// the other criteria cleared. RunObjectSelection replaces the selection list with what it
// finds, hands the first result to the chart at the observing time and tells the user when
// the list filled up; kind 12 (comets and asteroids) asks for the telescope's limiting
// magnitude.
void RunObjectSelection(int typeClass, int kind, int type);
// Prepares a search started from another form: clears the selection, reads the device
// clock into the observing time unless the user set it, sets the kind, type and class,
// clears the other criteria, takes the minimum altitude from the chart mode ("Visible"
// where the chart shows the sky above the horizon), sets the search geometry, recomputes
// the limiting magnitudes and the sidereal time, and marks an empty list empty with count
// 0 (a list with entries is kept).
void InitSelectionCriteria(int typeClass, int kind, int type);
// The search of the alignment forms and the polar assistant: prepared as above, appended
// to the list, keeping the list's current position and the chart's view and instant;
// silent when the list fills up.
void RunObjectSelectionQuiet(int typeClass, int kind, int type);

// The search forms' button and catalog choice blocks, made at start.
inline constexpr std::size_t kButtonListSize = 80;
inline constexpr std::size_t kCatalogListSize = 276;
inline constexpr std::size_t kCatalogList2Size = 172;
extern std::uint8_t* buttonList;
extern std::uint8_t* buttonList2;
extern std::uint8_t* buttonListSave;
extern std::uint8_t* buttonListTypeSave;
extern std::uint8_t* catalogList;
extern std::uint8_t* catalogList2;
// In this order; the first failure is reported and ends the step. Returns false then.
bool AllocSearchBuffers();
void FreeSearchBuffers();
