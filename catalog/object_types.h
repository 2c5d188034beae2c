#pragma once
// Object type codes (the i32 at 8 of every ObjectRecord) with their classes, and the
// morphology codes (the i16 at 38) with their short texts. Both give icon numbers: the
// picture shown is bitmap resource 2999 + number.
#include <cstdint>

inline constexpr int kObjectTypeCount = 42;
inline constexpr int kMorphologyCount = 297;
// Bytes a GetTypeCodeText destination needs: 8 characters and the NUL.
inline constexpr int kTypeCodeTextSize = 9;

// Classes of the type codes.
enum ObjectClass : std::uint8_t {
    kClassOther = 0,
    kClassStarCluster = 1,
    kClassSupernovaRemnant = 2,
    kClassGalaxy = 3,
    kClassNebula = 4,
    kClassSingleStar = 5,
    kClassMultipleStar = 6,
    kClassPlanet = 7,
    kClassConstellation = 8,
    kClassCometMinorPlanet = 9,
    kClassSatellite = 10,
};

struct ObjectTypeEntry {
    std::uint8_t typeClass;
    char code[7];
    char name[38];
    std::int16_t icon;    // 0 none
    std::uint8_t shown;   // 1 while objects of this type pass the selection list's type filter
};

// Indexed by type code. The shown flags start at 1; the selection list's type filter sets
// them.
extern ObjectTypeEntry ObjectTypeTable[kObjectTypeCount];

// Writes the morphology text of `code` (8 characters, blank-padded) into `dest` (at least
// kTypeCodeTextSize bytes, or null) and returns its icon number. A code outside 0..296
// leaves a single blank in `dest` and returns 0.
int GetTypeCodeText(char* dest, int code);

// The search category of a type code's class: class 1 -> 4, 2 -> 10, 3 -> 6, 4 -> 8,
// 5 -> 11, 6 -> 5, 7 -> 1; any other class, or a code outside the table, -> 99.
int GetTypeCategory(int typeCode);
