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

// Appends a record from the template (ra, dec, objectNumber, catalogCode, name) and the
// measured axes (degrees), stamped with the device time and the local sidereal time. 0 when
// the table is full, when a held star is at that position ("There is already a star
// selected at this position") or when the model is missing; else 1, the new record
// selected.
int SelectNStarFromChart(const AlignStar& templ, double measured1, double measured2);

// The table's records 0..nStarCount-1 into `out` (room for kNStarTableSize) and back.
int LoadNStarTable(AlignStar* out);
void StoreNStarTable(const AlignStar* records, int count);
