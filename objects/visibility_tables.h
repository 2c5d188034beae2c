#pragma once
// Human contrast perception for visual deep-sky observing: the optimum visual angle by the
// sky's surface brightness, and the threshold contrast by visual angle and sky brightness
// (the classic disk-detection data as tabulated for visual observers).

// Pairs of (sky brightness in magnitudes per square arc second, log10 of the optimum visual
// angle in arc minutes).
inline constexpr int kOptimumAngleCount = 18;
struct OptimumAngleEntry {
    double skyBrightness;
    double logAngle;
};
extern const OptimumAngleEntry optimumAngleTable[kOptimumAngleCount];

// log10 of the threshold contrast: one row per sky brightness 4 to 27 (step 1), one column
// per log10 of the visual angle in arc minutes (thresholdAngleColumns).
inline constexpr int kThresholdRows = 24;
inline constexpr int kThresholdColumns = 7;
inline constexpr double kThresholdFirstSky = 4.0;
extern const double thresholdAngleColumns[kThresholdColumns];
extern const double thresholdContrastTable[kThresholdRows][kThresholdColumns];
