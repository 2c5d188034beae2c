#pragma once
// A place written out and read back: an angle with its hemisphere letter drawn on a map
// (degrees and tenths of a minute, "48°07.0N", whatever degree format the user chose),
// and a coordinate as the user types it, shared by the site form and the eclipse form.
#include <cstddef>

// |angle| in degrees and tenths of a minute followed by negativeLetter when the angle is
// below 0, positiveLetter otherwise (longitudes 'W' and 'E', latitudes 'N' and 'S').
// `out` holds at least 20 bytes.
void FormatAngleLetter(char* out, double angle, char positiveLetter, char negativeLetter);
// The same text drawn at (x, y) on the current draw target.
void DrawAngleLetter(double angle, char positiveLetter, char negativeLetter, int x, int y);
// |angle| in degrees and tenths of a minute ("48°07.0"), whatever the user's degree
// format; `out` holds at least `size` bytes.
void FormatAngleMagnitude(char* out, std::size_t size, double angle);

// Blanks and tabs taken off both ends, in place.
void TrimBlanks(char* text);

// A coordinate as typed or shown: degrees, minutes and seconds in any of the display
// formats ("33°52'07.5", "48°07.0", "-70:45:00", "45.75"), with an optional hemisphere
// letter at the end (blanks around it are ignored). The negative letter, or a leading
// minus without a letter, makes it negative. False for an empty or unreadable text, for
// minutes or seconds from 60, and beyond +-limit degrees.
bool ParseSiteCoordinate(const char* text, char positiveLetter, char negativeLetter, double limit, double* degrees);
