#pragma once
// What the shell uses of the Moon maps: the lunar feature buffers it frees at exit.
#include <cstdint>

extern std::uint8_t* moonFeatureIndex;
extern std::uint8_t* moonFeatureOrder;

// Free the lunar feature index and sort-order buffers; a second call does nothing.
void FreeMoonFeatureIndex();
void FreeMoonFeatureOrder();

// The ids of the two map images the map views keep cached, -1 for none.
extern int cachedMapImageIds[2];
// Frees the map views' cached images and sets both ids to -1. The map views keep no
// bitmaps or textures yet, so there is nothing else to free; harmless when nothing is
// cached.
void FreeMapImages();
