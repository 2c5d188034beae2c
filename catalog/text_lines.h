#pragma once
// The semicolon-separated text lines users import and export: eyepieces, locations, user
// objects and observer-log entries. One record per line; a line ends with CR, LF or a run
// of CRs followed by a run of LFs; a field never runs on into the next line.
//
// Parsers return the bytes of the line they consumed (up to and including its line end),
// or -k when field k is missing or holds what the record cannot take. Callers skip a bad
// line with LineLength and count it as rejected.
#include <cstdint>
#include <string>
#include <string_view>

#include "catalog/databases.h"
#include "catalog/oculars.h"
#include "catalog/observer_log_entry.h"
#include "catalog/records.h"
#include "catalog/selection_list.h"

// The largest field a parser keeps unless a field says otherwise.
inline constexpr int kFieldMax = 254;

// Reads one field of `text` into dst (max characters and a NUL): the characters up to the
// next ';', CR or LF, or the end of the text. A longer field is cut at max characters and
// the rest of it skipped, so the next field is still the next one. Consumes the ';' and
// then any run of CRs and any run of LFs. Returns the bytes consumed (at least 1 unless
// the text is empty); *atLineEnd (when given) tells whether the field was the last of its
// line.
int ReadField(std::string_view text, char* dst, int max, bool* atLineEnd = nullptr);

// The length of the first line of `text` with its CR and LF run, or -1 when the text ends
// before a line end.
int LineLength(std::string_view text);

// "Brand full name;Brand Trigram;Eyepiece Name;Focal (in mm);Fov (in °);". A focal length
// or field of 0 or less is refused (-1).
inline constexpr const char* kEyepieceLineFormat =
    "Brand full name;Brand Trigram;Eyepiece Name;Focal (in mm);Fov (in \xB0);";
int ParseEyepieceLine(std::string_view line, EyepieceRecord& out);

// "Country;Country Code;Town Name;longitude (in °);latitude (in °);time zone (hours)".
// Longitude east positive; a longitude or latitude of exactly 0, or one outside its range,
// is refused (-1). The time zone is stored in minutes, truncated.
inline constexpr const char* kLocationLineFormat =
    "Country;Country Code;Town Name;longitude (in \xB0);latitude (in \xB0);time zone (in hours)";
int ParseLocationLine(std::string_view line, LocationRecord& out);

// Catalog prefix; number; name; type name; type detail text; right ascension; declination;
// magnitude; size a; size b; flags; distance (optional). A prefix that names no catalog
// gives catalog 63 (User); a blank prefix is the planets' when the type is a planet's. The
// constellation is found from the position.
int ParseUserObjectLine(std::string_view line, ObjectRef& out);

// Appends a list record as an export line: 11 fields, each preceded by ';' once the
// buffer holds text (so every line after the first begins with ';'), ended by "\n".
void FormatUserObjectLine(std::string& buffer, const SelectionRecord& record);

// 20 fields ending with ";\n": date (in the device's order), "hh:mm", name, right
// ascension, declination, type name, magnitude (one decimal), constellation, Moon "%d%",
// Sun altitude "%d°", visual limit (one decimal), transparency, seeing, scope, location,
// filter, comments, eyepiece, ease, brightness. An empty text is written as one blank.
void FormatObserverLogLine(std::string& buffer, const ObserverLogEntry& entry);
// Reads such a line back; the constellation is found again from the position and the
// magic number set.
int ParseObserverLogLine(std::string_view line, ObserverLogEntry& out);

// The element text as three pieces of 71 characters, each followed by "\n".
void FormatSatelliteLine(std::string& buffer, std::string_view elements);
