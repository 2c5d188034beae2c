#pragma once
// Bodies drawn as globes: an equirectangular map laid onto an orthographic sphere under
// any rotation A, pole angle B and tilt C (degrees), a ringed planet, points projected onto
// the last globe drawn, and the name of the Mars region under a tap.
//
// Nothing is computed per screen pixel: every texel of the map is carried forward onto a
// 16-bit disc image (with the fixed-point view of astro/globe_view.h), the holes that this
// leaves near the limb are filled afterwards, and the disc is copied to the current draw
// window. Every drawing replaces `sphereView`, which the projections read: draw the globe
// first, then project.
#include <cstdint>

#include "astro/globe_view.h"
#include "catalog/records.h"

// The Earth map halves of DrawMapOnSphere (western half; the eastern half is the next id),
// and the smaller pair for a low-resolution screen.
inline constexpr int kEarthMapHalves = 6042;
inline constexpr int kEarthMapHalvesSmall = 6044;
// The largest side of a disc image; larger sizes draw nothing.
inline constexpr int kMaxGlobeCanvas = 4096;

// The projection of the last drawing.
struct SphereView {
    GlobeView view;
    std::int16_t radius = 0;
    std::int16_t xScale = 0;
    std::int16_t yScale = 0;
};
extern SphereView sphereView;

// The Earth from two bitmap resources (western half under `resourceId`, eastern under the
// next id, both 16-bit pictures of the same size) on a disc of the disc colour centred at
// (x, y). Without a key colour (negative) the radius follows the halves' height H:
// 7H/32 - 4, or H/4 - 4 with the large flag, and every texel is drawn; with a key colour
// (a 16-bit pixel value) the radius argument is taken and texels of that value are left
// out. Black is transparent when the disc is copied. 1 drawn; 0 when a half is missing
// ("Can't alloc DrawMapOnSphere", once a run) or the size is out of range.
int DrawMapOnSphere(int resourceId, int x, int y, int large, double a, double b, double c, double radius,
                    int keyColour, std::uint32_t discColour);

// Map `mapId` (a cached texture, see moon/map_textures.h) on a globe of `radius` pixels
// centred at (x, y), flattened by k (1 for a sphere), copied opaquely as a square. 0 when
// the map is not available or the radius is below 1 or too large.
int DrawPlanetTexture(int mapId, int x, int y, double a, double b, double c, double radius, double k);

// A ringed planet: the map on a globe of about 0.83 x size pixels in a canvas of half-side
// 2 x size, with ring picture `ringId` (31 Saturn, 32 Uranus; another id draws no ring) in
// the equatorial plane, hidden behind the globe and laid over it in front (dark ring
// texels only tint the globe). 0 when the map is not available or the size is out of range.
int DrawPlanetSphere(int mapId, int ringId, int x, int y, double a, double b, double c, double size, double k);

// One point (longitude west positive, latitude, degrees) on the last globe drawn around
// (cx, cy): 1 and the screen point when it is on the visible side, 0 otherwise.
int ProjectSpherePoint(int* x, int* y, int cx, int cy, double longitudeWest, double latitude);

// Names the first Planitia, Planum or Terra of the Mars feature database lying within 15
// design pixels of the tap on the last globe drawn around (cx, cy), white on black at the
// feature's place. `record` is the caller's buffer for reading the records. 1 when a name
// was drawn.
int ShowTappedRegionName(MarsFeatureRecord* record, int cx, int cy, int tapX, int tapY);

// The disc images' pixels: 16-bit 5-5-5, rows bottom-up, `stride` pixels apart.
struct DiscPixels {
    std::uint16_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    std::uint16_t* Row(int v) const { return pixels + static_cast<std::ptrdiff_t>(v) * stride; }
};

// Fills the gaps the forward mapping leaves: a 0 pixel with more than 4 non-zero pixels
// around it takes their mean, channel by channel. Rows bottom-up and columns left to
// right, in place, so a filled pixel counts for those after it; the outermost rows and
// columns are left alone.
void FillDiscHoles(const DiscPixels& disc);
