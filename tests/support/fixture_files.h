#pragma once
// What the computation tests share: reading the committed reference files, the angle
// units and time argument they compute references in, and comparing places on the sky.
#include <string>
#include <vector>

// The whitespace-separated numeric rows of a committed reference file under tests/data
// (path relative to it, e.g. "theories/sun_erfa.txt"); blank lines and lines starting
// with '#' are skipped. A missing file gives no rows and a test failure naming it; a word
// that is not a number fails the test naming the line.
std::vector<std::vector<double>> ReadFixtureRows(const std::string& relativePath);
// For files that tag each line with what it holds: the numeric rows of the lines whose
// first word is `kind`, that word left out.
std::vector<std::vector<double>> ReadTaggedFixtureRows(const std::string& relativePath, const std::string& kind);
// The lines of such a file, comments and blanks skipped, for fixtures with text fields.
std::vector<std::string> ReadFixtureLines(const std::string& relativePath);
// The same lines split into their whitespace-separated words.
std::vector<std::vector<std::string>> ReadFixtureWords(const std::string& relativePath);
// One row of astro/planets_ephem.txt: a body's place from an independent ephemeris at a UT
// clock time, from the geocentre ("geo") or a site ("topo").
struct PlanetEphemRow {
    std::string line;  // as written, for messages
    int year, month, day, hour, minute, second, body;
    std::string kind;
    double latitude, longitudeEast, deltaT, ra, dec, distance, magnitude, fraction, diameter, elongation, sunDistance;
    double altitude, azimuth;
};
std::vector<PlanetEphemRow> ReadPlanetEphemRows();
// Full path of a file under tests/data.
std::string FixturePath(const std::string& relativePath);

namespace test_units {
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDeg = kPi / 180.0;          // radians per degree
inline constexpr double kRadToDeg = 180.0 / kPi;
inline constexpr double kArcsec = kDeg / 3600.0;     // radians per arc second
inline constexpr double kRadToArcsec = 206264.80624709636;
}  // namespace test_units

// Julian centuries of 36525 days from J2000.0 (JD 2451545.0).
double CenturiesFromJ2000(double jd);

// Angular separation in arc seconds of two places given as right ascension in hours and
// declination in degrees (the haversine form, sound for tiny separations).
double SeparationArcsec(double ra1Hours, double dec1Deg, double ra2Hours, double dec2Deg);
// Hours or degrees from sexagesimal parts; a negative first part makes the whole negative.
double Hms(double h, double m, double s);
double Dms(double d, double m, double s);
