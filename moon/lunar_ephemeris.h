#pragma once
// Where the Sun stands for the Moon's surface: the Moon's libration, the selenographic
// place of the Sun and its colongitude, the Sun's altitude over a lunar feature, the
// instants of sunrise and sunset there, and the features lying just inside the terminator.
//
// Angles are degrees; instants are Julian days used as they are given (no Delta T is
// added). A feature's selenographic latitude beta is the record's stored latitude with its
// sign reversed; the functions taking a latitude take beta.
#include <cstdint>

// The libration of the Moon in the direction of a geocentric ecliptic longitude and
// latitude (of the Moon itself, or of any point whose selenographic place is wanted):
// optical libration l', b' and physical libration l'', b''. l' lies in (-180, 180].
struct LunarLibration {
    double opticalLongitude = 0, opticalLatitude = 0;
    double physicalLongitude = 0, physicalLatitude = 0;
};
int ComputeLunarLibration(double jd, double lambda, double beta, double* outL1, double* outB1, double* outL2,
                          double* outB2);
LunarLibration LunarLibrationAt(double jd, double lambda, double beta);

// The selenographic longitude l0 and latitude b0 of the sub-solar point and the Sun's
// colongitude c0. l0 and b0 are reduced by the floating remainder (a negative value stays
// negative); c0 lies in [0, 360).
int ComputeSelenographicSun(double jd, double* outL0, double* outB0, double* outC0);

// The Sun's altitude over the lunar point (longitude eta, latitude beta).
double GetFeatureSunAltitude(double jd, double longitude, double latitude);

// What the sunrise and sunset searches return when the Sun does not cross the point's
// horizon within their reach (near the poles, where it may never set or never rise).
inline constexpr double kNoFeatureEvent = 0.0;
// The search's limits: steps, and days away from the start.
inline constexpr int kTerminatorMaxSteps = 60;
inline constexpr double kTerminatorMaxDays = 30.0;

// The instant at which the Sun's altitude over the point reaches 0, iterated from jd until
// it is within 0.001 degree: backward = 1 finds the nearest sunrise (back from a sunlit
// point, forward from a dark one), 0 the nearest sunset. kNoFeatureEvent when the
// iteration leaves its limits.
double FindFeatureTerminator(double jd, double longitude, double latitude, int backward);
double FindFeatureSunrise(double jd, double longitude, double latitude);
double FindFeatureSunset(double jd, double longitude, double latitude);

// Record numbers of the Moon features (of the first copy in the database) with a diameter
// of at least minDiameterKm over which the Sun stands between 0 and altitudeLimitDeg
// degrees, in record order; stops at maxCount. Unreadable records are skipped. Returns
// the count written.
int ListTerminatorFeatures(double jd, std::int32_t* outList, int maxCount, int minDiameterKm, int altitudeLimitDeg);
