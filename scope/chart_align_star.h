#pragma once
// "Improve Pointing" on the chart: the chart's current object, with the telescope centred
// on it, becomes the next star of the N-star table and the pointing correction is refitted.
#include "catalog/records.h"
#include "scope/alignment_model.h"

// The record for the object (right ascension in hours and declination of the catalog
// place, its catalog code, number and name) at the device time: the apparent place with
// refraction, the clock time in degrees, the mount reading (or the star's own position
// without a drive) and, with the two-star method and a model, SkyToMount in degrees.
AlignStar ChartObjectAlignStar(const ObjectRef& object);

// Builds the record, hands it to SelectNStarFromChart and refits the pointing correction.
// Null (no current object): "No Object or Star selected.". Returns what the fit returns,
// 0 when the star was refused.
int AddChartObjectAsAlignStar(const ObjectRef* object);
