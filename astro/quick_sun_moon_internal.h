#pragma once
// The storage of the five-point Sun and Moon tables, which tests look into.
#include "astro/quick_sun_moon.h"

// Columns of a table, five values each.
enum InterpolationColumn {
    kTableAbscissa = 0,   // T, Julian centuries
    kTableWeights = 1,    // Lagrange weights of the abscissae
    kTableLongitude = 2,  // radians, plus the caller's offset
    kTableLatitude = 3,   // radians
    kTableDistance = 4,   // AU
    kTableColumns = 5,
};
inline constexpr int kTableNodes = 5;

// Null columns while the table is empty.
struct InterpolationTable {
    double* column[kTableColumns];
};
extern InterpolationTable sunTable;
extern InterpolationTable moonTable;
