#pragma once
// Refining the pointing from the stars of the N-star table, by one of two methods (the
// alignment method, `Preferences` word 8):
//   0 the two-star model (alignment_model.h): FitAlignmentModel searches its three
//     axis-error terms and sets its two zero-point offsets;
//   1 "External": FitPointingModel fits a linear pointing model of up to seven terms by
//     least squares, which ApplyPointingModel adds to every GoTo target.
//
// N-star records (AlignStar): axis1/axis2 the position expected at entry, measuredAxis1/2
// the mount reading taken then (degrees), modelAxis1/2 and correctedAxis1/2 what the
// current model predicts. Both fits block the caller and step the busy indicator.
#include <cstdint>

#include "scope/alignment_model.h"

inline constexpr int kPointingTermsMax = 8;
// The pointing-model terms, radians; zero at start.
extern double pointingTerms[kPointingTermsMax];
// Terms in use: 7 at start; FitPointingModel sets 4 (three stars), 6 (equatorial mounts,
// whose seventh column is empty) or 7 (alt-azimuth mounts).
extern std::int32_t pointingTermCount;

// The design-matrix rows of a position (x first, y second axis, degrees): `n` entries,
// those past 4 only while n is above 4.
void PointingRowEquatorialRa(double x, double y, double* row, int n);
void PointingRowEquatorialDec(double x, double y, double* row, int n);
void PointingRowAzimuth(double x, double y, double* row, int n);
void PointingRowAltitude(double x, double y, double* row, int n);

// The N-star form's Calc (fromChart 0) or a synchronisation from the chart (1): with the
// "External" method or from the chart, FitPointingModel over the table (1 when it holds a
// record); else, with 4 records or more, FitAlignmentModel from the two-star alignment
// (its time text and working stars) and the corrected axes of every record. 1 when a fit
// ran.
int ComputePointingCorrection(int fromChart, AlignStar* table, int count, const char* alignTimeText,
                              const AlignStar& first, const AlignStar& second);

// The coordinate search over c0, c1 and z, then the offsets; shows "Converge in %d
// iteration" with the terms. Returns the number of model evaluations.
int FitAlignmentModel(const char* alignTimeText, const AlignStar& first, const AlignStar& second, AlignStar* table,
                      int count);
// The zero-point offsets (degrees) from the ranges of the residuals corrected - measured:
// the first takes their centre away (with the sign of the model's angle, mirrored on
// alt-azimuth mounts); the second is their centre when the largest is above 0, else minus
// half their range.
void ResidualOffsets(double min1, double max1, double min2, double max2, bool altAz, double* axis1Offset,
                     double* axis2Offset);
// Re-solves the two-star model with the current terms, predicts every record (modelAxis
// in degrees) and returns the mean error, radians.
double EvaluateAlignmentModel(const char* alignTimeText, const AlignStar& first, const AlignStar& second,
                              AlignStar* table, int count);
// A difference of two angles brought into -half turn .. half turn (turn 360 for degrees).
double WrappedAngle(double difference, double turn);
// Mean distance (radians) between each record's model axes and its measured reading.
double MeanAlignmentError(const AlignStar* table, int count);
// sqrt(sum of squared measured - model differences, degrees) / count; 0 below 1 record.
double ComputeAlignmentResiduals(const AlignStar* table, int count);
// The current mean error (degrees) as the N-star form shows it: the residuals with the
// "External" method, else the mean error. Its text ("No stars" without records) goes to
// the installed sink.
double ShowAlignmentError(const AlignStar* table, int count);
// Where ShowAlignmentError's text goes (the N-star form's error field); null: nowhere.
void SetAlignmentErrorSink(void (*sink)(const char* text));

// Least squares over the table; 0 on success, else the failure status (terms all 0). One
// or two records give a pure offset of the two axes. Records within 1° of the pole
// (equatorial) or of the horizon or the zenith (alt-azimuth) stay out of a fit of more
// terms, with a message naming how many.
int FitPointingModel(AlignStar* table, int count);
// Adds the model to a position (degrees): 0, or -1 with "Too much errors parameters"
// when more than 8 terms are in use.
int ApplyPointingModel(double* first, double* second);
void ClearPointingModel();
