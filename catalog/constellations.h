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

// The label positions are the label points of npm d3-celestial 0.7.35 (BSD-3-Clause),
// data/constellations.json, written by tools/make_constellation_labels.py.
extern const ConstellationEntry ConstellationTable[kConstellationCount];
