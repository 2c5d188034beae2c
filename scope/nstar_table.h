#pragma once
// The N-star table: up to 20 synchronised stars (alignment star records, saved_alignment.h)
// from which the pointing correction is fitted (pointing_model.h).
#include "scope/alignment_model.h"

// Records held, 0 to kNStarTableSize; the row the N-star list shows as selected.
extern int nStarCount;
extern int nStarSelectedRow;

// True when a held record lies within 0.5° of right ascension (the difference taken across
// 0°/360°) and 1.0° of declination of the position.
bool NStarPositionHeld(double raDeg, double decDeg);

// The axes the current model expects for the record (degrees) into axis1/axis2,
// modelAxis1/2 and correctedAxis1/2: with the two-star method SkyToMount (0 and
// "Please do 2 stars alignment first." while unaligned), with the "External" method
// azimuth and altitude from its siderealTime on alt-azimuth mounts, else ra and dec.
bool ExpectNStarAxes(AlignStar& record);

// True, with "Sorry, no more than 20 stars: delete one first.", when the table is full.
bool RefuseFullNStarTable();

// Appends a record from the template (ra, dec, objectNumber, catalogCode, name) and the
// measured axes (degrees), stamped with the device time and the local sidereal time. 0 when
// the table is full, when a held star is at that position ("There is already a star
// selected at this position") or when the model is missing; else 1, the new record
// selected.
int SelectNStarFromChart(const AlignStar& templ, double measured1, double measured2);

// Whether the record at `row` can be synchronised: "Please add at least one stars." without
// records, "Please select one stars." for a row outside them, "Please do 2 stars alignment
// first" with the two-star method and no model.
bool CanSyncNStarRecord(int row);
// Synchronises the record at `row` on a new mount reading (degrees): the device time, the
// local sidereal time, the measured axes and the expected axes again. 1 done, 0 refused
// (as CanSyncNStarRecord, the record unchanged).
int SyncNStarRecord(int row, double measured1, double measured2);

// Removes the record at `row`; later records move down, and removing the last one moves
// the selection up a row. "Sorry, there is no more star to delete." without records and
// "Please select one stars." for a row outside them delete nothing. 1 removed.
int DeleteNStarRecord(int row);

// Every record without a name is named "St %d" by its row.
void NameUnnamedNStarRecords();

// The table's records 0..nStarCount-1 into `out` (room for kNStarTableSize) and back.
int LoadNStarTable(AlignStar* out);
void StoreNStarTable(const AlignStar* records, int count);
