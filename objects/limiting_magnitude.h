#pragma once
// The two magnitude limits of the observing plans: the faintest star the telescope shows and
// the faintest the naked eye sees near the zenith at the site and the observing time.

// 7.5 + 5 log10 of the aperture in whole centimetres (truncated), truncated to tenths; an
// aperture below 1 cm counts as 1 cm.
float TelescopeLimitingMagnitude(int apertureMm);

// Copies the observing date and time (year to minute) into `selectionCriteria`, runs the
// sky model for that instant at the current site (the local sidereal time first, into
// `skyModel`), and writes the telescope limit, the naked-eye limit (at most 7.0) and the
// sunlight and moonlight magnitudes into the criteria; the catalog kind is left alone.
// Returns the telescope limit.
float ComputeLimitingMagnitude();
