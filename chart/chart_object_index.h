#pragma once
// The chart's object popup (list 1907): its rows are the selection list's index (record
// positions, -1 past the count) with the matching selectionListPtr entries, and
// chartSelectionIndex is the current row. The rows are rebuilt from the selection records
// by the type filter row and the chart mode.
#include "catalog/records.h"

inline constexpr int kObjectPopupTrigger = 1906;
inline constexpr int kObjectPopupList = 1907;
inline constexpr int kFilterPopupList = 1909;
// Filter rows 7..10 are list commands, not categories.
inline constexpr int kFilterRowClearList = 7;

// Makes the object of a block the chart's current object: it is added at the end of the
// selection list (position: the finder catalog position of the object, a negative one
// taking the object's own), projected, and becomes the current and last popup row. An
// object already listed keeps its record and its row becomes current. Returns the popup
// row, or -1 when the object is neither added nor listed (a full list, or its row hidden
// by the filter, which then goes back to "All").
int SelectChartObject(const ObjectRef& block, int position);

// Rebuilds the rows: a record is listed when it passes the type filter (or is the record
// to keep) and, by chart mode, is on the chart (modes 0 and 1), above the horizon (mode 3),
// or always (modes 2 and 4). The current row becomes the kept record's row: -1 when there
// are no rows, 0 when the record is not listed. Returns the current row.
int BuildObjectPopupIndex(int keep);

// Rebuilds the rows keeping the current record; filter row 7 ("Clear List") instead clears
// the current selection and empties the list and the rows.
void RebuildObjectPopup();

// When the current row is valid, fills the object popup of the chart form with the rows and
// selects the current one. Nothing while the chart form is not shown.
void RefreshObjectPopup();

// Applies the type-filter popup's row (list 1909 of the chart form): a new row 1..6 shows
// only the object types of its category ("Star", "Cluster", "Double Star", "Galaxy",
// "Nebula", "Planet"), 0 and 7 and above show all; then the rows are rebuilt.
void ApplyChartTypeFilter();
// The same for a given row.
void ApplyChartTypeFilterRow(int row);
