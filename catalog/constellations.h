#pragma once
// The constellations, indexed by constellation number 0..88 (the number FindConstellation
// gives and object records carry). Cancer stands at 11 and at 22; the boundary table uses 22.
#include <cstdint>

inline constexpr int kConstellationCount = 89;

struct ConstellationEntry {
    char abbreviation[4];
    char name[28];
    std::int32_t labelRa;   // label position: right ascension in thousandths of an hour
    std::int32_t labelDec;  // declination in hundredths of a degree
};

// The label positions are 0 (no source for them yet).
extern const ConstellationEntry ConstellationTable[kConstellationCount];
