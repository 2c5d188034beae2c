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

// The object search for a category (type, catalog, class), whose first result becomes the
// current object. Of the search engine only the search of the solar system's bodies (kind
// 45) is built: it fills the list with the Sun, the Moon and the planets. Any other kind
// only records what was asked for, and the chart opens on the list it already has.
void RunObjectSelection(int type, int catalog, int objectClass);
// Prepares a search started from another form: clears the selection, reads the device
// clock into the observing time unless the user set it, records the search kind, object
// type and type class, recomputes the limiting magnitudes, and marks an empty selection
// list empty with count 0 (a list with entries is kept).
void InitSelectionCriteria(int typeClass, int kind, int type);
// The search started by the alignment forms and the polar assistant to get candidate
// stars: prepares the criteria as InitSelectionCriteria does and runs the search into the
// selection list, keeping the list's current position and the chart's view and instant.
// Of the searches only the alignment stars (kind 54: the bright stars with a proper name,
// added after the records the list holds) are built; other kinds only prepare.
void RunObjectSelectionQuiet(int typeClass, int kind, int type);

struct ObjectSelectionRequest {
    int type;
    int catalog;
    int objectClass;
    int count;   // searches asked for since the start
};
extern ObjectSelectionRequest lastObjectSelection;

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
