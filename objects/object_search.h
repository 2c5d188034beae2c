#pragma once
// The search by criteria: every object of the program's catalogs (the Sun, the Moon and the
// planets, constellations, meteor showers, comets and asteroids, the observing lists, the
// user's objects, the deep-sky database and the named bright stars) tested against
// `selectionCriteria` at its instant and appended to the selection list with a search
// group that the list's sorts use.
#include <cstdint>

#include "catalog/records.h"
#include "core/observing_time.h"

// The geometry of one search, set once before it: the site latitude's sine and cosine and
// the sine of the minimum altitude, each times 2^24 and truncated, and the local sidereal
// time (hours) of the search instant.
extern std::int32_t searchSinLatitude;
extern std::int32_t searchCosLatitude;
extern std::int32_t searchAltitudeSine;
extern float searchSiderealTime;

// Search kinds (catalog codes) with a pass or a rule of their own.
inline constexpr int kSearchKindBodies = 45;
inline constexpr int kSearchKindAlignmentStars = 54;

// True for a proper name ("Vega", "Kaus Australis"); false for an empty name and for the
// designations the name file gives stars without one: "HR 1234", and a name whose last
// word is a constellation's abbreviation ("Alpha CrA", "61 Cyg").
bool IsProperStarName(const char* name);

// The latitude pair from the current site.
void SetSearchLatitude();
// sin(degrees) x 2^24, truncated.
std::int32_t FixedAltitudeSine(double degrees);
// The minimum altitude (degrees) of an elevation choice 0..10: 0, the horizon, 15 to 50 in
// steps of 5, the horizon; 0 outside.
double MinimumAltitudeDegrees(int minAltitude);

// 1 when the candidate meets every criterion, else 0. A magnitude of exactly 0 (none in
// the catalog) becomes 99 in the candidate.
int MatchSelectionCriteria(const SelectionCriteria& criteria, ObjectRef* candidate);

// Whether a visibility margin lies in the band of a visibility class 1 to 5 ("Very Easy"
// 2.0 to 10.0, "Easy" 1.5 to 2.0, "Difficult" 1.0 to 1.5, "Very Difficult" 0.5 to 1.0),
// both edges included.
bool InVisibilityBand(int visibilityClass, double margin);

// 1 when the place (hours, degrees) stands at or above the altitude whose sine x 2^24 is
// given, at the sidereal time and the search latitude; integer arithmetic throughout.
int IsAboveMinAltitude(float siderealTime, float rightAscension, float declination, std::int32_t altitudeSine);

// Runs every pass whose condition the criteria meet and appends the matches to the
// selection list after its index count, sorted by group and catalog (bright stars and user
// catalogs in their own order). Sets the record and index counts and the current position
// 0. Returns true when the list filled up and a match was left out.
bool SearchAllCategories();

// Removes from the selection list every record that matches the criteria (an observing
// list's kind removes only that list's own records). Returns the new count.
int RemoveMatchingRecords();

// "The list is full: %d objects kept." with the list's count.
void ReportFullSelectionList();
