#pragma once
// A place written out: an angle with its hemisphere letter drawn on a map, and a place
// written into the latitude and longitude fields of the eclipse form. Both show degrees
// and tenths of a minute ("48°07.0N"), whatever degree format the user chose.

// Fields of the eclipse form that show a place.
inline constexpr int kPlaceLatitudeField = 2716;
inline constexpr int kPlaceLongitudeField = 2715;

// |angle| in degrees and tenths of a minute followed by negativeLetter when the angle is
// below 0, positiveLetter otherwise (longitudes 'W' and 'E', latitudes 'N' and 'S').
// `out` holds at least 20 bytes.
void FormatAngleLetter(char* out, double angle, char positiveLetter, char negativeLetter);
// The same text drawn at (x, y) on the current draw target.
void DrawAngleLetter(double angle, char positiveLetter, char negativeLetter, int x, int y);
// Longitude (positive west) and latitude into the fields of the form now current, as
// "48°07.0 N"-like texts: |angle| followed by " N"/" S" and " W"/" E".
void ShowPlaceFields(double longitude, double latitude);
