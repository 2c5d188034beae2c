#pragma once
// The brightness of the sky near the zenith and the faintest star the naked eye sees there:
// B. E. Schaefer's model of the visual limiting magnitude, run in the visual (V) band only,
// with the Sun and the Moon from low-precision series.
//
// The model follows the published form: extinction and the night sky, twilight and
// daylight of Schaefer's "To the visual limits" (Sky & Telescope, May 1998); moonlight of
// Krisciunas & Schaefer (PASP 103, 1033, 1991); glare near the Moon, the eye's threshold
// and its corrections (extinction, colour, pupil, acuity and seeing) of Schaefer,
// "Telescopic limiting magnitudes" (PASP 102, 212, 1990) and "Astronomy and the limits of
// vision" (Vistas in Astronomy 36, 311, 1993). Brightnesses are in nanolamberts.
#include <cstdint>

#include "core/settings.h"

// Values kept "to 0.1" and "to 0.01": rounded half up to tenths or hundredths.
double RoundToTenth(double value);
double RoundToHundredth(double value);

// The angle of the point (x, y) in radians, 0 <= a < 2 pi; 0 at the origin.
double Atan2Positive(double x, double y);

// The Sun's apparent right ascension (hours) and declination (degrees) from the short
// series of the Astronomical Almanac, for a Julian day.
void LowPrecisionSun(double jd, double* ra, double* dec);

// The Moon's geocentric ecliptic longitude and latitude (degrees, not reduced) and
// horizontal parallax (degrees) from the short series, for a Julian day.
void LowPrecisionMoonEcliptic(double jd, double* longitude, double* latitude, double* parallax);
// The Moon seen from a site at the local sidereal time (hours) and latitude (degrees):
// right ascension (hours), declination (degrees) and distance (Earth radii).
void LowPrecisionMoon(double jd, double lst, double latitude, double* ra, double* dec, double* distance);

// Surface brightness in magnitudes per square arc second of a brightness in nanolamberts.
double SurfaceBrightness(double nanolamberts);

// The observer inputs of the model: acuity as a Snellen ratio (1.0 normal), age in years
// and experience (the model's neutral value is 6).
struct SkyObserver {
    double acuity = 1.0;
    double age = 25.0;
    double experience = 6.0;
};
// From the settings: acuity (word 21 + 2) x 0.1, age word 20, experience word 19 x 5.
SkyObserver SkyObserverFromPreferences();

// The model's record, in this order.
struct SkyModel {
    double altitude = 89.0;    // of the direction looked at, degrees
    double azimuth = 180.0;
    double humidity = 0;       // percent
    double temperature = 0;    // degrees C
    double latitude = 0;
    double longitude = 0;      // degrees, positive west
    double zoneHours = 0;      // local time minus UT
    double height = 0;         // metres
    double acuity = 1.0;       // Snellen ratio
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    double age = 0;
    double experience = 0;
    double moonFraction = 0;          // illuminated fraction k
    double moonDistance = 0;          // Moon to the direction, degrees to 0.1
    double sunDistance = 0;           // Sun to the direction, degrees to 0.1
    double extinctionCoefficient = 0; // K, magnitudes per air mass, to 0.01
    double extinction = 0;            // towards the direction, magnitudes, to 0.01
    double moonlightMagnitude = 50.0; // the Moon's light after extinction; 50 below the horizon
    double sunlightMagnitude = 50.0;  // the same for the Sun
    double skySurfaceBrightness = 0;  // magnitudes per square arc second, to 0.01
    double skyBrightness = 0;         // nanolamberts, to 0.01 up to 1000
    double moonSurfaceBrightness = -500.0;  // of the moonlight alone; -500 below the horizon
    double moonBrightness = 0;
    double limitingMagnitude = 0;     // naked eye, to 0.01
    double uncertainty = 0;           // of the limit, magnitudes, to 0.01
    float localSiderealTime = 0;      // hours, written before the model runs
};
extern SkyModel skyModel;

// Brightness terms of one run, for the tests and the forms that show them (nanolamberts;
// the pollution term in magnitudes).
struct SkyTerms {
    double night = 0;
    double moon = 0;
    double glare = 0;
    double twilight = 0;
    double daylight = 0;
    double total = 0;
    bool dayVision = false;
    double moonAirMass = 0;
    double sunAirMass = 0;
    double limitBeforePollution = 0;
    double pollution = 0;
};

// Fills `model` for the site, the observer and a local civil time (seconds 0), looking at
// altitude 89 and azimuth 180. skyValue is the site's sky brightness value (14, 19, 22,
// 24 or 29) whose light pollution is taken off the limit. Returns the uncertainty of the
// limit. `terms` may be null.
double ComputeSkyBrightnessFor(SkyModel* model, const ObserverLocation& site, const SkyObserver& observer,
                               int skyValue, int year, int month, int day, int hour, int minute,
                               SkyTerms* terms = nullptr);

// The same for the current site, the observer of the settings and the site's sky value.
double ComputeSkyBrightness(SkyModel* model, int year, int month, int day, int hour, int minute);

// The magnitudes taken off the limit for a site's sky brightness value c: (log10(31 - c))^10
// (0 from c = 30 on).
double LightPollutionTerm(int skyValue);

// The current site's sky brightness value for its sky class 0 to 4: 14, 19, 22, 24 or 29,
// the same table as the chart font size of the site's class.
int GetSiteSkyBrightness();
