#pragma once
// Instants of the principal lunar phases and, at new and full moon, the test for a solar
// or lunar eclipse with its type, instant of greatest eclipse and, for the lunar eclipse
// pages, contacts, magnitudes and shadow radii (the phase and eclipse methods of Meeus'
// Astronomical Algorithms).
//
// Lunation k counts new moons from the one of 2000 January 6 (k = 0); k + 0.25, 0.5 and
// 0.75 are the first quarter, full moon and last quarter of lunation k.

inline constexpr double kPhaseNewMoon = 0.0;
inline constexpr double kPhaseFirstQuarter = 0.25;
inline constexpr double kPhaseFullMoon = 0.5;
inline constexpr double kPhaseLastQuarter = 0.75;

// Eclipse types.
inline constexpr double kEclipseNone = -1.0;  // no eclipse, or not tested
inline constexpr double kEclipsePenumbral = 1.0;
inline constexpr double kEclipsePartial = 2.0;
inline constexpr double kEclipseAnnular = 3.0;
inline constexpr double kEclipseTotal = 4.0;

// The circumstances of a lunar eclipse: times are Julian days UT, radii in Earth
// equatorial radii at the Moon's distance. A contact that does not occur (totality of a
// partial eclipse, the umbral contacts of a penumbral one) holds NaN.
enum LunarEclipseCircumstance {
    kLunarP1 = 0,               // first contact with the penumbra
    kLunarU1 = 1,               // first contact with the umbra
    kLunarU2 = 2,               // beginning of totality
    kLunarGreatest = 3,         // greatest eclipse
    kLunarU3 = 4,               // end of totality
    kLunarU4 = 5,               // last contact with the umbra
    kLunarP4 = 6,               // last contact with the penumbra
    kLunarUmbralMagnitude = 7,
    kLunarPenumbralMagnitude = 8,
    kLunarPenumbralRadius = 9,  // rho
    kLunarUmbralRadius = 10,    // sigma
    kLunarGamma = 11,
    kLunarU = 12,
    kLunarCircumstanceCount = 13,
};

// The Julian day (UT) of a phase (0, 0.25, 0.5 or 0.75; anything else returns 0 and writes
// nothing but the lunation) of a lunation.
//  - lunationFromDate: non-zero computes k from year, month, day (read through their
//    pointers), hour and minute and writes it to *lunation, so a caller steps on by adding
//    1 and passing 0; zero takes *lunation as k (k = 0 included).
//  - Delta T is taken for year, month, day.
//  - eclipseType and eclipseJD, when not null, are set to kEclipseNone; with eclipseTest
//    non-zero at new or full moon they receive the type and the instant (JD UT) of greatest
//    eclipse. That test needs eclipseType (null returns 0) and eclipseJD.
//  - circumstances (kLunarCircumstanceCount doubles, may be null) are written whenever an
//    eclipse is found; gamma and u serve both kinds, the rest only lunar eclipses.
double GetMoonPhaseTime(double phase, int eclipseTest, double* eclipseType, double* eclipseJD, int* lunation,
                        int lunationFromDate, int* day, int* month, int* year, int hour, int minute,
                        double* circumstances);
