#pragma once
// How easily an extended object shows in the user's telescope under the site's sky: the
// magnification that makes the object's smaller dimension appear at the eye's optimum size
// for the darkened eyepiece sky, the object's contrast against the sky compared with the
// eye's threshold contrast at that size, and the margin turned into one of five grades.
// Also which months the object crosses the meridian at night.
//
// Sizes in arc minutes, apertures and focal lengths in millimetres, sky brightness in
// magnitudes per square arc second, contrasts and margins in log10 units.
#include "core/settings.h"

struct TelescopeLimitsResult {
    double limitingMagnitude;   // 2.5 log10(D^2) + 3.7
    int minimumMagnification;   // D / 25.4 x 3.375, rounded
};
TelescopeLimitsResult TelescopeLimits(double aperture);

struct ObjectBrightness {
    double surfaceBrightness;    // of the a x b object, magnitudes per square arc second
    double logContrast;          // -0.4 (SB - S)
    double smallerSize;          // arc minutes
    double combinedBrightness;   // object and sky together
};
ObjectBrightness ObjectSurfaceBrightness(double magnitude, double sizeA, double sizeB, double skyBrightness);

// The optimum visual angle (arc minutes, at most 360) for a sky brightness, interpolated in
// the table; the first value below its first entry, the line through the last two beyond
// the last.
double OptimumAngle(double skyBrightness);
// The eye's threshold contrast for a visual angle (arc minutes) and a sky brightness,
// interpolated in the table in log10 of the angle and in the sky brightness (extended
// linearly past the largest angle and the faintest sky; held at the smallest angle and the
// brightest sky).
double ThresholdContrast(double angle, double skyBrightness);

struct MagnificationChoice {
    int magnification = 0;
    double eyepieceSky = 0;          // sky brightness in the eyepiece
    double logThreshold = 0;         // log10 of the threshold contrast at that magnification
    double eyepieceCombined = 0;     // combined brightness in the eyepiece
    int iterations = 0;              // steps taken, at most 50
    bool settled = false;            // the last step moved by 0.1 or less
};
// The magnification whose eyepiece sky makes the smaller size appear at the optimum angle,
// kept between the lowest and the highest magnification.
MagnificationChoice ChooseMagnification(double skyBrightness, double smallerSize, double aperture, int lowest,
                                        int highest, double combinedBrightness);

// Eyepieces and magnifications the telescope allows: the longest eyepiece gives the exit
// pupil of the observer's age (6 mm below 35, 5 mm to 49, 4 mm from 50), at most 50 mm;
// the shortest is F/D (seeing class 2 or more) or 1.5 F/D. Both are at least 1 mm;
// magnifications are the focal length's whole millimetres divided by them.
struct EyepieceRange {
    int longest = 0;
    int lowest = 0;
    int shortest = 0;
    int highest = 0;
};
EyepieceRange ComputeEyepieceRange(double aperture, double focalLength, int age, int seeingClass);

// The estimate for an object of magnitude m and sizes a and b (b <= 0 takes a) in a
// telescope of aperture D and focal length F under sky S. An object without size, or a
// telescope without aperture or focal length, gets magnification 0 and margin 0; an object
// fainter than the telescope's limit gets magnification 0 and margin 0 ("Too faint").
void EstimateVisibilityFor(double aperture, double focalLength, double skyBrightness, double magnitude, double sizeA,
                           double sizeB, int age, int seeingClass, int* magnification, double* margin);
// The same for the observer's age from the settings and the site's seeing class.
void EstimateVisibility(double aperture, double focalLength, double skyBrightness, double magnitude, double sizeA,
                        double sizeB, int* magnification, double* margin);

// The site record keeps no seeing class: every site counts as a cleared record's 0.
inline constexpr int kSiteSeeingClass = 0;

// Grades 0 "Too faint" (margin <= 0.5), 1 "Very difficult" (<= 1.0), 2 "Difficult"
// (<= 1.5), 3 "Easy" (<= 2.0), 4 "Very easy".
int VisibilityGrade(double margin);
const char* VisibilityGradeWord(int grade);
// Bitmaps 5000 to 5004 by day, 5005 to 5009 at night.
int VisibilityGradeBitmap(int grade, bool night);

// Whether the month's cell of the best-period bar is filled, from the object's rise,
// transit and set (local hours) on the 15th: the transit falls after the month's dusk hour
// or before its dawn hour, and the object rises at all (rise and set not both 0).
bool BestPeriodCellFilled(int month, double rise, double transit, double set);
// The same for a place (hours, degrees) seen from a site, the horizon at `altitude`.
bool BestPeriodMonthFilled(const ObserverLocation& site, int year, int month, double ra, double dec, double altitude);
