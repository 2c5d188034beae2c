#pragma once
// The map textures of the globes: the equirectangular pictures "maps\<name>_map.jpg" of
// the bodies and the two ring pictures, kept one map (with its ring) at a time, and the
// per-column sine and cosine of a map's longitudes that the texture passes read.
//
// A cached picture keeps the colours (day or night) it was loaded in until it is freed.
// A picture that cannot be read is reported once and remembered for the run, so that a
// globe redrawn at every step of a drag does not raise the message again.
#include <cstdint>
#include <vector>

#include "shell/draw_targets.h"

inline constexpr int kMapImageCount = 33;
inline constexpr int kMapImageNameSize = 15;
inline constexpr int kSaturnRingMapId = 31;
inline constexpr int kUranusRingMapId = 32;
inline constexpr int kNoMapImage = -1;

// The map names by map id; 0 to 31 are map textures, 31 and 32 the ring textures.
extern const char mapImageNames[kMapImageCount][kMapImageNameSize];

struct MapImageCache {
    DrawWindow* map = nullptr;   // 16-bit, bottom-up
    int mapId = kNoMapImage;
    DrawWindow* ring = nullptr;
    int ringId = kNoMapImage;
    // Q11 sine and cosine of column i's longitude floor(i x 12868 / W) - 6434 (W the
    // map's width; column 0 is longitude -180, east to the right).
    std::vector<std::int16_t> sinTable;
    std::vector<std::int16_t> cosTable;
    // Map ids whose picture could not be read in this run, one bit each, and the bitmap
    // resources of the Earth's halves that were missing.
    std::uint64_t failed = 0;
    std::vector<int> failedResources;
    // Reads a picture file (program path) into a 16-bit offscreen; the picture loader
    // unless a test counts the loads.
    DrawWindow* (*loader)(const char* relativePath, int bitsPerPixel) = &LoadImageFile;
};
extern MapImageCache mapImageCache;

// "maps\<name>_map.jpg" for a map id; empty for an id outside 0 to 32.
const char* MapImagePath(int mapId);

// Replaces the cache with map `mapId` and its longitude tables (the ring is dropped with
// it). Ids outside 0 to 31 load nothing. A picture that cannot be read shows "Can't alloc
// DrawMapOnSphere" after the loader's own message, the first time only. Returns 1 when the
// map is cached.
int LoadMapImage(int mapId);
// Makes the ring picture of `ringId` (31 or 32) the cached ring, loading it when another
// or none is cached; any other id drops the ring. The ring picture of the cache, or null.
DrawWindow* LoadRingImage(int ringId);
// Releases the map, the ring and the tables and sets both ids to -1; harmless twice.
void FreeMapImages();
// Forgets the pictures that could not be read, so that the next use tries them again
// (after the maps were installed, and between tests).
void ForgetFailedMapImages();
// Tells "Can't alloc DrawMapOnSphere" for a missing map resource the first time only.
void ReportMissingMapResource(int resourceId);
