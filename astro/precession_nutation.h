#pragma once
// Rotations between the catalog frame (mean equator and equinox of J2000.0) and the
// equator of a date: IAU 1976 precession, IAU 1980 nutation and the obliquities.
//
// Position vectors are (x, y, z) with x toward the equinox and z toward the pole. Sky
// matrices are nine doubles, row-major, applied as out = M × v to vectors ordered
// (cos δ sin α, cos δ cos α, sin δ), the order the chart works in.
//
// Time arguments are Julian days of dynamical time (TT); T is Julian centuries from
// J2000.0. Angles: right ascension hours, declination degrees, nutation arc seconds.
#include <cstdint>

// Rotates a position vector from the mean equator and equinox of jd1 to that of jd2.
void Precession(double jd1, const double pos[3], double jd2, double out[3]);

// The precession angles zeta, z and theta (radians) from the mean equator and equinox of
// jd1 to that of jd2, and the rotation (out = R × in) their sines and cosines make: for
// callers that take the sines and cosines of several rotations' angles in one batch.
void PrecessionAngles(double jd1, double jd2, double angles[3]);
void PrecessionRotationOf(const double sines[3], const double cosines[3], double R[3][3]);

// Sky matrix from J2000.0 to the mean equator and equinox of jd.
void PrecessionMatrix(double jd, double M[9]);

// The Delaunay arguments l, l', F, D, Omega in radians, each in [0, 2π).
void FundamentalArguments(double T, double a[5]);

// Nutation in longitude and in obliquity, arc seconds. Always returns 0.
int NutationAngles(double T, double* dpsi, double* deps);

// Obliquities in degrees, the equation of the equinoxes in seconds of time and the
// nutation angles in arc seconds, for the dynamical-time Julian day jd. Any output may be
// null.
void ComputeEarthTilt(double jd, double* meanObliquity, double* trueObliquity,
                      double* equationOfEquinoxes, double* dpsi, double* deps);

// direction 0: mean to true equator and equinox of jd; any other value: true to mean.
void NutateVector(double jd, int direction, const double pos[3], double out[3]);

// A J2000.0 vector to the true equator and equinox of jd: Precession from J2000.0 to jd,
// then NutateVector (direction 0), with the two rotations kept for the last jd asked for.
void J2000ToTrueOfDate(double jd, const double pos[3], double out[3]);

// Sky matrix from the mean to the true equator and equinox of jd.
void NutationMatrix(double jd, double M[9]);

// In place: a J2000.0 right ascension (hours) and declination (degrees) to the true
// equator and equinox of jd; right ascension in [0, 24).
void PrecessToDate(double jd, double* ra, double* dec);

// Releases what the nutation series keeps between calls; called once at shut-down.
void FreeAstrometryBuffers();

// ---------------------------------------------------------------------------------------
// The IAU 1980 nutation series (astro/tables/nutation_iau1980.cpp).

constexpr int kNutationTermCount = 106;
constexpr int kNutationLongitudeCount = 106;
constexpr int kNutationLongitudeRateCount = 14;
constexpr int kNutationObliquityCount = 64;
constexpr int kNutationObliquityRateCount = 8;
// Argument slots 0 to 4 are l, l', 2F, D, Omega; every further slot is made by one step.
constexpr int kNutationBaseSlots = 5;
constexpr int kNutationArgumentStepCount = 101;
constexpr int kNutationSlotCount = kNutationBaseSlots + kNutationArgumentStepCount;

// Slot kNutationBaseSlots + i = slot a + sign × slot b, for step i.
struct NutationArgumentStep {
    std::int8_t a;
    std::int8_t b;
    std::int8_t sign;
};

// One coefficient of a series list: the published term (0-based row), the argument slot
// and the value in 0.0001 arc second (per Julian century for the rates).
struct NutationCoefficient {
    std::int16_t term;
    std::int16_t slot;
    double value;
};

extern const std::int8_t kNutationMultipliers[kNutationTermCount][5];  // l, l', F, D, Omega
extern const NutationArgumentStep kNutationArgumentSteps[kNutationArgumentStepCount];
extern const NutationCoefficient kNutationLongitude[kNutationLongitudeCount];
extern const NutationCoefficient kNutationLongitudeRate[kNutationLongitudeRateCount];
extern const NutationCoefficient kNutationObliquity[kNutationObliquityCount];
extern const NutationCoefficient kNutationObliquityRate[kNutationObliquityRateCount];
