#pragma once
// The two-star alignment's steps behind its form: reading the mount for a star, taking the
// typed fields, solving and keeping the model, clearing, and restoring the last alignment.
#include "scope/alignment_model.h"

// The texts of the form for one star: time, RA (hours), Dec, first and second scope axis.
struct TwoStarFieldTexts {
    const char* time;
    const char* ra;
    const char* dec;
    const char* axis1;
    const char* axis2;
};

// Read for a star (0 first, 1 second): the device time becomes the star's time; with a
// drive the mount is read (right ascension in hours stored × 15 on equatorial mounts);
// without one the typed axes are parsed (the first in hours on equatorial mounts), or,
// when they are null or empty, the star's own position (ra/dec, or azimuth/altitude at the
// site) is taken. A mount type outside 0..2: "Please select scope output type (EQ, AZ,
// Encoder)" and 0.
int TwoStarRead(int which, const char* axis1Text, const char* axis2Text);

// Ok and Align read the typed values: the alignment time text, then, whenever that text is
// not empty, both stars' fields (the first axis × 15 on equatorial mounts).
void ReadTwoStarFields(const char* timeText, const TwoStarFieldTexts& first, const TwoStarFieldTexts& second);

// Solves the model from the working stars; on success the device time's Julian day and
// both stars go to the saved alignment, and the change of settings is announced
// (AfterSettingsHook). "Fail to compute align matrix" / "Please verify inputs." on
// failure. 1 solved.
int ComputeTwoStarAlignment();

// Forgets the encoder offsets and the model; both stars zeroed with objectNumber -1; the
// alignment time text becomes the device time.
void ClearTwoStarAlignment();

// The saved alignment back into the working stars and the encoder offsets, solved again.
// "Fail to compute align matrix" / "Please redo 2 star alignment." on failure. 1 solved.
int RecomputeAlignMatrix();

// Once per run, while not aligned, when the saved alignment is under half a day old: asks
// "Would you want to restore your last alignment?"; Yes recomputes it, No forgets it and
// the encoder offsets. 1 when the question was asked.
int OfferLastAlignment();
// Lets the question be asked again (a new run in tests).
void ResetLastAlignmentOffer();

// Thins the selection list for a pick at the device time and the site: every star
// (type 30) outside altitudes lowAlt..highAlt (inclusive) is removed, and, with a
// reference azimuth, every star not 90 ± 30° from it (the difference taken modulo 360).
// The record at *keepPos (when given and not negative) stays whatever it is, and *keepPos
// follows it to its new position. Returns the records left.
int KeepAlignmentCandidates(double lowAlt, double highAlt, const double* referenceAzimuth, int* keepPos);
