#pragma once
// Angles and times as text: the parsers for sexagesimal text typed by the user or read
// from import files, and the formatters of hours and degrees (doubles or 8.24 fixed-point
// angles) in the display formats chosen on the preference pages.
//
// Display format (`Preferences` words pref::hourFormat and pref::degreeFormat):
//   0  decimal                    23.7500         -70.7500
//   1  "%02d:%02d:%02d"           23:45:00        -70:45:00
//   2  "%02dh%02dm%02d"           23h45m00        -70°45'00   (degree sign byte 0xB0)
//   3  tenths of a minute         23h45.0         -70°45.0
//
// The formatters write at most `size` bytes including the terminating 0 (16 bytes hold
// every value in the usual ranges), show "--" for a value that is not finite, and return
// the buffer.
#include <cstddef>
#include <cstdint>

// Splits text into up to three integer fields, any run of non-digits separating them (the
// separator argument is not used). The first field carries the text's sign. A decimal
// minute field ("45.5", "45.55") gives its fraction as seconds in the third field.
// Leading blanks and tabs are skipped, as StrToDouble skips them, so " 23.75" is the
// decimal number too. Returns 1 when split, 0 when the text is empty or blank or a plain
// decimal number ("23.75").
// Outputs may be null; each is set to 0 first.
int ParseSexagesimal(const char* text, char separator, int* first, int* second, int* third);

// Hours from any of the display forms or a plain decimal; "-0:30:00" gives -0.5.
double HmsStrToHours(const char* text);
// The same hours as degrees (x 15).
double HmsStrToDeg(const char* text);
// Degrees from any of the display forms or a plain decimal.
double DmsStrToDeg(const char* text);

// Hours (reduced into 0 to 24) by the hour format.
char* HMSToStr(char* buffer, std::size_t size, double hours);
// Degrees by the degree format; negative values keep their sign.
char* DMSToStr(char* buffer, std::size_t size, double degrees);
// A fixed-point hour value (292818 units per hour: an 8.24 right ascension / 15) by the
// hour format, not reduced into a day: negative values keep their sign ("-05:03:00").
char* HmsFixToStr(char* buffer, std::size_t size, std::int32_t value);
// A signed 8.24 angle (292818 units per degree) by the degree format.
char* DmsFixToStr(char* buffer, std::size_t size, std::int32_t value);
// Degrees / 15 as "%02d:%02d:%02d" hours, minutes and seconds (truncated), whatever the
// settings.
char* DegToHmsText(char* buffer, std::size_t size, double degrees);
