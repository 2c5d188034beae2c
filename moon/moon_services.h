#pragma once
// What the shell uses of the Moon maps: the lunar feature buffers it frees at exit.
#include <cstdint>

extern std::uint8_t* moonFeatureIndex;
extern std::uint8_t* moonFeatureOrder;

// Free the lunar feature index and sort-order buffers; a second call does nothing.
void FreeMoonFeatureIndex();
void FreeMoonFeatureOrder();

