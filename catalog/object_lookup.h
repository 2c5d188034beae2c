#pragma once
// The lookup of any object by catalog code and number: deep-sky catalogs and the observing
// lists, stars, named bright stars, planets, comets and asteroids, constellations, meteor
// showers and user objects, each filled into an ObjectRef with a label and a second name
// in the catalog's designation form, and for moving bodies the place at the observing
// date, time and site.
#include <cstddef>
#include <cstdint>

#include "catalog/records.h"
#include "catalog/selection_hooks.h"

// The meteor showers, indexed by shower number.
struct MeteorShower {
    char name[26];
    std::int8_t startDay, startMonth;
    std::int8_t endDay, endMonth;
    std::int8_t peakDay, peakMonth;  // peak day 0: no peak given
    std::int16_t radiantRa100;        // hours x 100
    std::int16_t radiantDec;          // degrees
    std::uint8_t velocity;            // km/s
    std::uint8_t hourlyRate;
    std::uint8_t activityClass;       // 1..4
};
inline constexpr int kMeteorShowerCount = 70;
extern const MeteorShower meteorShowerTable[kMeteorShowerCount];

// Bytes a label or second-name buffer of BuildObjectDescription needs (a comet's name has
// 44 characters).
inline constexpr std::size_t kObjectTextSize = 48;

// Fills `out` for (catalog, number) and writes the label and second name (each null or
// kObjectTextSize bytes, emptied first, as is out's name). A negative number counts as its
// absolute value, except in the deep-sky catalogs, where 0 or less asks for the object at
// that many places after the catalog's first record (positions outside the catalog give
// 0). A positive deep-sky number found also marks the selection's record index, sub-index
// and kind (the catalog list position) without changing its object or name.
// withPosition 0 skips the place, sizes, constellation and the date-dependent fields.
// objectFlag (or null) receives 0 for stars and constellations, for a meteor shower
// whether it starts or ends in the observing month, else 1. Returns 1 when the object
// exists, 0 otherwise (texts empty).
int BuildObjectDescription(int catalog, int number, ObjectRef* out, char* label, char* secondName, int withPosition,
                           int* objectFlag);

// Magnitude of a comet (kind 13: g + 5 log10 delta + k log10 r) or an asteroid (the IAU H, G
// system with the phase angle) from its record's two magnitude parameters and its place.
double CometMagnitude(const CometRecord& elements, const CometPlace& place);
