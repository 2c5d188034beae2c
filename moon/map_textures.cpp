#include "moon/map_textures.h"

#include <cstdio>
#include <new>

#include "astro/globe_view.h"
#include "core/report.h"

const char mapImageNames[kMapImageCount][kMapImageNameSize] = {
    "sky",      "sun",       "mercury",  "venus clouds", "venus ground", "earth",   "earth night",
    "moon",     "mars",      "deimos",   "phobos",       "jupiter",      "io",      "europa",
    "ganymede", "callisto",  "saturn",   "enceladus",    "tethys",       "dione",   "rhea",
    "titan",    "uranus",    "miranda",  "ariel",        "umbriel",      "titania", "oberon",
    "neptune",  "triton",    "pluto",    "saturn_ring",  "uranus_ring",
};

MapImageCache mapImageCache;

namespace {

constexpr const char* kLoadFailed = "Can't alloc DrawMapOnSphere";

bool InRange(int id) { return id >= 0 && id < kMapImageCount; }
std::uint64_t Bit(int id) { return std::uint64_t{1} << id; }

// The picture of a map id, or null; a failure is told once and remembered.
DrawWindow* LoadPicture(int id) {
    if (mapImageCache.failed & Bit(id)) return nullptr;
    DrawWindow* picture = mapImageCache.loader ? mapImageCache.loader(MapImagePath(id), 16) : nullptr;
    if (picture && (!picture->pixels || picture->bytesPerPixel != 2 || picture->width < 1 || picture->height < 1)) {
        DeleteOffscreen(picture);
        picture = nullptr;
    }
    if (!picture) {
        mapImageCache.failed |= Bit(id);
        ShowMessage(kLoadFailed, "");
    }
    return picture;
}

}  // namespace

const char* MapImagePath(int mapId) {
    static char path[64];
    if (!InRange(mapId)) return "";
    std::snprintf(path, sizeof path, "maps\\%s_map.jpg", mapImageNames[mapId]);
    return path;
}

int LoadMapImage(int mapId) {
    FreeMapImages();
    // Id 32 is only a ring picture.
    if (!InRange(mapId) || mapId >= kUranusRingMapId) return 0;
    DrawWindow* picture = LoadPicture(mapId);
    if (!picture) return 0;
    const int w = picture->width;
    try {
        mapImageCache.sinTable.resize(w);
        mapImageCache.cosTable.resize(w);
    } catch (const std::bad_alloc&) {
        DeleteOffscreen(picture);
        FreeMapImages();
        ShowMessage(kLoadFailed, "");
        return 0;
    }
    for (int i = 0; i < w; ++i) {
        const GlobeTrig t = GlobeSinCos(static_cast<std::int32_t>(std::int64_t{i} * kGlobeTurn / w) - kGlobeHalfTurn);
        mapImageCache.sinTable[i] = t.s;
        mapImageCache.cosTable[i] = t.c;
    }
    mapImageCache.map = picture;
    mapImageCache.mapId = mapId;
    return 1;
}

DrawWindow* LoadRingImage(int ringId) {
    if (mapImageCache.ringId != ringId) {
        DeleteOffscreen(mapImageCache.ring);
        mapImageCache.ring = nullptr;
        mapImageCache.ringId = kNoMapImage;
        if (ringId == kSaturnRingMapId || ringId == kUranusRingMapId) {
            mapImageCache.ring = LoadPicture(ringId);
            if (mapImageCache.ring) mapImageCache.ringId = ringId;
        }
    }
    return mapImageCache.ring;
}

void FreeMapImages() {
    DeleteOffscreen(mapImageCache.map);
    DeleteOffscreen(mapImageCache.ring);
    mapImageCache.map = nullptr;
    mapImageCache.ring = nullptr;
    mapImageCache.mapId = kNoMapImage;
    mapImageCache.ringId = kNoMapImage;
    std::vector<std::int16_t>().swap(mapImageCache.sinTable);
    std::vector<std::int16_t>().swap(mapImageCache.cosTable);
}

void ForgetFailedMapImages() {
    mapImageCache.failed = 0;
    mapImageCache.failedResources.clear();
}

void ReportMissingMapResource(int resourceId) {
    for (int id : mapImageCache.failedResources)
        if (id == resourceId) return;
    mapImageCache.failedResources.push_back(resourceId);
    ShowMessage(kLoadFailed, "");
}
