#include "objects/visibility.h"

#include <algorithm>
#include <cmath>

#include "astro/rise_set.h"
#include "objects/sky_brightness.h"
#include "objects/visibility_tables.h"

namespace {

constexpr int kMaxMagnificationSteps = 50;
constexpr double kLogLimit = 37.0;
constexpr double kMaxOptimumAngle = 360.0;
constexpr int kMaxEyepieceMm = 50;

// Dusk and dawn hours by month, January first.
constexpr double kDuskHour[12] = {17.5, 18, 19, 20, 21, 22, 22, 21, 20, 19, 18, 17.5};
constexpr double kDawnHour[12] = {7.5, 7, 6.5, 6, 5.5, 5, 5, 5.5, 6, 6.5, 7, 7.5};

constexpr const char* kGradeWords[5] = {"Too faint", "Very difficult", "Difficult", "Easy", "Very easy"};

double Lerp(double y0, double y1, double fraction) { return y0 + (y1 - y0) * fraction; }

// Interpolated value of one table row in log10 of the angle.
double RowValue(const double* row, double logAngle) {
    const double* col = thresholdAngleColumns;
    if (!(logAngle > col[0])) return row[0];
    int i = 0;
    if (logAngle >= col[kThresholdColumns - 1]) {
        i = kThresholdColumns - 2;
    } else {
        while (logAngle > col[i + 1]) ++i;
    }
    return Lerp(row[i], row[i + 1], (logAngle - col[i]) / (col[i + 1] - col[i]));
}

}  // namespace

TelescopeLimitsResult TelescopeLimits(double aperture) {
    TelescopeLimitsResult r;
    r.limitingMagnitude = 2.5 * std::log10(aperture * aperture) + 3.7;
    r.minimumMagnification = static_cast<int>(aperture * 0.03937007874015748 * 3.375 + 0.5);
    return r;
}

ObjectBrightness ObjectSurfaceBrightness(double magnitude, double sizeA, double sizeB, double skyBrightness) {
    ObjectBrightness o;
    o.surfaceBrightness = magnitude + 2.5 * std::log10(2827.0 * sizeA * sizeB);
    o.logContrast = -0.4 * (o.surfaceBrightness - skyBrightness);
    o.smallerSize = sizeA < sizeB ? sizeA : sizeB;
    o.combinedBrightness = -2.5 * std::log10(std::pow(10.0, -0.4 * skyBrightness) + std::pow(10.0, -0.4 * o.surfaceBrightness));
    return o;
}

double OptimumAngle(double skyBrightness) {
    const OptimumAngleEntry* t = optimumAngleTable;
    double y;
    if (!(skyBrightness > t[0].skyBrightness)) {
        y = t[0].logAngle;
    } else {
        int i = 0;
        if (skyBrightness >= t[kOptimumAngleCount - 1].skyBrightness) {
            i = kOptimumAngleCount - 2;
        } else {
            while (skyBrightness > t[i + 1].skyBrightness) ++i;
        }
        y = Lerp(t[i].logAngle, t[i + 1].logAngle,
                 (skyBrightness - t[i].skyBrightness) / (t[i + 1].skyBrightness - t[i].skyBrightness));
    }
    y = std::clamp(y, -kLogLimit, kLogLimit);
    return std::min(std::pow(10.0, y), kMaxOptimumAngle);
}

double ThresholdContrast(double angle, double skyBrightness) {
    const double logAngle = std::log10(angle);
    double offset = skyBrightness - kThresholdFirstSky;
    int row = 0;
    double fraction = 0.0;
    if (offset > 0.0) {
        row = std::min(static_cast<int>(offset), kThresholdRows - 2);
        fraction = offset - row;   // beyond 1 past the faintest rows: extended linearly
    }
    const double value = Lerp(RowValue(thresholdContrastTable[row], logAngle),
                              RowValue(thresholdContrastTable[row + 1], logAngle), fraction);
    return std::pow(10.0, std::clamp(value, -kLogLimit, kLogLimit));
}

MagnificationChoice ChooseMagnification(double skyBrightness, double smallerSize, double aperture, int lowest,
                                        int highest, double combinedBrightness) {
    MagnificationChoice c;
    const double k = 1.0 / (aperture * 0.11155460629921259);
    double M = 100.0;
    double next = M;
    double eyepieceSky = skyBrightness;
    for (int i = 0; i < kMaxMagnificationSteps; ++i) {
        eyepieceSky = skyBrightness + 5.0 * std::log10(k * M);
        next = std::max(OptimumAngle(eyepieceSky) / smallerSize, static_cast<double>(lowest));
        c.iterations = i + 1;
        if (std::fabs(next - M) <= 0.1) {
            c.settled = true;
            break;
        }
        M = next;
    }
    int magnification = static_cast<int>(next + 0.5);
    magnification = std::min(std::max(magnification, lowest), highest);
    c.magnification = magnification;
    c.eyepieceSky = eyepieceSky;
    c.logThreshold = std::log10(ThresholdContrast(magnification * smallerSize, eyepieceSky));
    c.eyepieceCombined = combinedBrightness + 5.0 * std::log10(k * M);
    return c;
}

EyepieceRange ComputeEyepieceRange(double aperture, double focalLength, int age, int seeingClass) {
    EyepieceRange r;
    if (!(aperture > 0.0) || !(focalLength > 0.0)) return r;
    const double ratio = focalLength / aperture;
    const int pupil = age < 35 ? 6 : (age < 50 ? 5 : 4);
    const int focal = static_cast<int>(focalLength);
    // A focal ratio below 1 would make eyepieces of 0 mm.
    r.longest = std::clamp(static_cast<int>(ratio * pupil), 1, kMaxEyepieceMm);
    r.lowest = focal / r.longest;
    r.shortest = std::max(static_cast<int>(seeingClass >= 2 ? ratio : 1.5 * ratio), 1);
    r.highest = focal / r.shortest;
    return r;
}

void EstimateVisibilityFor(double aperture, double focalLength, double skyBrightness, double magnitude, double sizeA,
                           double sizeB, int age, int seeingClass, int* magnification, double* margin) {
    *magnification = 0;
    *margin = 0.0;
    if (!(sizeA > 0.0) || !(aperture > 0.0) || !(focalLength > 0.0)) return;
    if (!(sizeB > 0.0)) sizeB = sizeA;
    const TelescopeLimitsResult limits = TelescopeLimits(aperture);
    const EyepieceRange range = ComputeEyepieceRange(aperture, focalLength, age, seeingClass);
    if (limits.limitingMagnitude < magnitude) return;
    const ObjectBrightness object = ObjectSurfaceBrightness(magnitude, sizeA, sizeB, skyBrightness);
    const MagnificationChoice choice = ChooseMagnification(skyBrightness, object.smallerSize, aperture, range.lowest,
                                                           range.highest, object.combinedBrightness);
    *magnification = choice.magnification;
    *margin = object.logContrast - choice.logThreshold;
}

void EstimateVisibility(double aperture, double focalLength, double skyBrightness, double magnitude, double sizeA,
                        double sizeB, int* magnification, double* margin) {
    EstimateVisibilityFor(aperture, focalLength, skyBrightness, magnitude, sizeA, sizeB,
                          static_cast<int>(SkyObserverFromPreferences().age), kSiteSeeingClass, magnification, margin);
}

int VisibilityGrade(double margin) {
    if (margin <= 0.5) return 0;
    if (margin <= 1.0) return 1;
    if (margin <= 1.5) return 2;
    if (margin <= 2.0) return 3;
    return 4;
}

const char* VisibilityGradeWord(int grade) { return kGradeWords[std::clamp(grade, 0, 4)]; }

int VisibilityGradeBitmap(int grade, bool night) { return (night ? 5005 : 5000) + std::clamp(grade, 0, 4); }

bool BestPeriodCellFilled(int month, double rise, double transit, double set) {
    if (month < 1 || month > 12) return false;
    if (rise == 0.0 && set == 0.0) return false;
    return transit > kDuskHour[month - 1] || transit < kDawnHour[month - 1];
}

bool BestPeriodMonthFilled(const ObserverLocation& site, int year, int month, double ra, double dec, double altitude) {
    double rise = 0, transit = 0, set = 0;
    ComputeRiseSet(year, month, 15, site.latitude, site.longitude, site.zoneMinutes, site.height, altitude, ra, dec,
                   &rise, &transit, &set);
    return BestPeriodCellFilled(month, rise, transit, set);
}
