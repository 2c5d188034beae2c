#pragma once
// The object the user is working with: the global selection (what the chart, the finder or
// a list picked last, read by the object forms, the ephemeris form and the telescope
// GoTo), the current object of the object information form, the catalog positions of the
// object forms, and the text of an object's distance.
#include <cstddef>
#include <cstdint>

#include "catalog/records.h"

struct SelectionRecord;

// Kind of every selection made here; a catalog-and-number lookup that finds a deep-sky
// object stores the object's catalog list position instead.
inline constexpr std::uint32_t kSelectionKindObject = 10;
inline constexpr std::size_t kSelectionNameSize = 32;

struct ObjectSelection {
    ObjectRef object;
    std::uint32_t subIndex = 0;      // passed with the object; for bright stars their position in brightStarsList
    std::uint8_t selected = 0;       // 1 while an object is selected
    std::int32_t recordIndex = 0;    // object record index of a deep-sky lookup hit
    char displayName[kSelectionNameSize] = {};  // at most 31 characters
    std::uint32_t kind = kSelectionKindObject;
};
extern ObjectSelection objectSelection;

// The object the object information form shows.
struct CurrentObject {
    ObjectRef object;
    std::uint32_t number = 0;
    std::uint32_t workingNumber = 0;
    int listPosition = 5;            // the form's catalog choice (CatalogToListIndex)
    std::uint8_t changed = 0;        // tells the form to reload
};
extern CurrentObject currentObject;

// The finder form's entry state: the form keeps the mode and catalog it was opened with,
// the designation being typed and whether a number was entered. Clearing the selection
// clears the last two, so that the finder starts a new search.
inline constexpr std::size_t kFinderDesignationSize = 32;
struct FinderEntry {
    int entryMode = 0;
    int catalog = 0;
    char designation[kFinderDesignationSize] = {};
    int numberEntered = 0;
    int listRow = 0;          // the list row or record index of the object found
    int pendingDigit = 0;     // -1 once a digit was taken
    int found = 0;            // an object is selected by the finder
    double ra = 0, dec = 0, altitude = 0, azimuth = 0;  // its apparent place at the observing time
};
extern FinderEntry finderEntry;

// 1 while the selection list form was opened from the chart.
extern int listOpenedFromChart;

// Copies the reference (null: nothing) with its sub-index, marks it selected with kind 10.
// A user object (catalog 63) always brings its name as the display name, even an empty
// one; other catalogs only a non-empty name, keeping the previous display name otherwise.
void SetObjectSelection(const ObjectRef* object, std::uint32_t subIndex);
// Clears the selected flag, the display name and the finder's designation and flag; the
// object and kind stay for GetSelectedObject.
void ClearObjectSelection();
int IsObjectSelected();
std::uint32_t GetSelectionKind();
// Copies the display name (kSelectionNameSize bytes); returns 1.
int GetSelectedName(char* dest);
// -1 when `out` is null; otherwise copies the object (and the sub-index when asked) and
// returns the kind, whether or not an object is selected.
int GetSelectedObject(ObjectRef* out, std::uint32_t* subIndex);
// Copies at most 19 characters of the name (null: empty) and zero-fills the rest.
void SetObjectRefName(ObjectRef* object, const char* name);

// Makes the reference the current object. `source` is a finder catalog position (the table
// below): it chooses the object form's catalog position; a bright star (source 11, catalog
// 54) also becomes number - 1, any other object from source 11 becomes the selection.
void SetCurrentObjectRecord(const ObjectRef* object, int source);

// Makes the selected object the chart's current object and moves the selection list's
// current position to its entry (-1 when it has none). Returns 1.
int LocateSelectionInList();

// Catalog positions of the object forms' catalog list and of the finder's catalog choice:
//   catalog  54 9  12 13 25 40 41 45 49 63 other
//   list      0 1   2  3  4  5  6  7  8  9  10
//   finder   11 3  12 13  7  2 14  1  9 15  99
int CatalogToListIndex(const ObjectRef& object);
int CatalogToFinderIndex(const ObjectRef& object);

// The record fields of a selection-list record (catalog, number = object index + 1, type,
// constellation, place, magnitude, sizes, the two flag bytes widened); the distance and the
// name of `out` are left as they were.
void SelectionRecordToInfo(ObjectRef* out, const SelectionRecord* record);

void SetListChartFlag(int flag);

// The object's distance as text (kDistanceTextSize bytes): bodies of the solar system in
// AU ("1.5000 AU"), or in km within 0.01 AU; "-" for constellations, satellites and stars;
// otherwise from the distance value in kpc-scaled units: "14 kpc", "7 pc", "12 mpc" (or
// ly with the light-year setting); "-" when there is none.
inline constexpr std::size_t kDistanceTextSize = 32;
void FormatDistance(const ObjectRef& object, char* dest);

// The integer part of a value, saturated to the int range; NaN gives 0.
int TruncateToInt(double value);
