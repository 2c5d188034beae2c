#pragma once
// What the computation tests share: reading the committed reference files, and comparing
// places on the sky.
#include <string>
#include <vector>

// The whitespace-separated numeric rows of a committed reference file under tests/data
// (path relative to it, e.g. "theories/sun_erfa.txt"); blank lines and lines starting
// with '#' are skipped. A missing file gives no rows and a test failure naming it.
std::vector<std::vector<double>> ReadFixtureRows(const std::string& relativePath);
// The lines of such a file, comments and blanks skipped, for fixtures with text fields.
std::vector<std::string> ReadFixtureLines(const std::string& relativePath);
// Full path of a file under tests/data.
std::string FixturePath(const std::string& relativePath);

namespace test_units {
inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDeg = kPi / 180.0;          // radians per degree
inline constexpr double kArcsec = kDeg / 3600.0;     // radians per arc second
inline constexpr double kRadToArcsec = 206264.80624709636;
}  // namespace test_units

// Angular separation in arc seconds of two places given as right ascension in hours and
// declination in degrees (the haversine form, sound for tiny separations).
double SeparationArcsec(double ra1Hours, double dec1Deg, double ra2Hours, double dec2Deg);
// Hours or degrees from sexagesimal parts; a negative first part makes the whole negative.
double Hms(double h, double m, double s);
double Dms(double d, double m, double s);
