#include "moon/globe_drawing.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "catalog/databases.h"
#include "core/settings.h"
#include "moon/map_textures.h"
#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

SphereView sphereView;

namespace {

// Mars feature kinds whose names a tap shows: Planitia, Planum, Terra.
constexpr int kPlanitia = 3, kPlanum = 4, kTerra = 9;
constexpr int kTapReach = 15;
constexpr int kRingDarkChannel = 10;

// A size in pixels from a float argument: truncated; 0 for anything not a number or past
// the canvas limit, which then draws nothing.
int PixelSize(double value) {
    if (!std::isfinite(value) || value <= 0.0 || value >= kMaxGlobeCanvas + 1.0) return 0;
    return static_cast<int>(value);
}

DiscPixels PixelsOf(DrawWindow* record) {
    DiscPixels d;
    d.pixels = reinterpret_cast<std::uint16_t*>(record->pixels);
    d.width = record->width;
    d.height = record->height;
    d.stride = record->stride / 2;
    return d;
}

// A cleared 16-bit square of the given side, or null.
DrawWindow* MakeCanvas(int side) {
    DrawWindow* canvas = CreateOffscreenDIB(side, side, 16);
    if (!canvas) return nullptr;
    if (!canvas->pixels || canvas->bytesPerPixel != 2) {
        DeleteOffscreen(canvas);
        return nullptr;
    }
    const DiscPixels d = PixelsOf(canvas);
    for (int v = 0; v < d.height; ++v)
        for (int u = 0; u < d.width; ++u) d.Row(v)[u] = 0;
    return canvas;
}

void SetSphereView(const GlobeView& view, int radius, int scale) {
    sphereView.view = view;
    sphereView.radius = static_cast<std::int16_t>(radius);
    sphereView.xScale = sphereView.yScale = static_cast<std::int16_t>(scale);
}

// Carries every texel of `map` forward onto the disc: rows from the bottom (south) up,
// column i taking the longitude of table entry `firstColumn` + i. Texels on the far side
// or outside 0..limit-1 are dropped; with a key (0 or more) texels of that value too. The
// sums are those of GlobeTexelPlace with the terms of the row's latitude taken once.
void MapTexels(const DrawWindow& map, const std::int16_t* sinTable, const std::int16_t* cosTable, int firstColumn,
               const GlobeView& view, std::int32_t flattening, int centre, int scale, int limit, int key,
               const DiscPixels& disc) {
    const int w = map.width, h = map.height;
    const float step = static_cast<float>(kGlobeTurnExact / (2.0 * h));
    const std::int32_t p0 = view.p[0], p2 = view.p[2], q0 = view.q[0], q2 = view.q[2], r0 = view.r[0],
                       r2 = view.r[2];
    const std::int16_t* sines = sinTable + firstColumn;
    const std::int16_t* cosines = cosTable + firstColumn;
    float latitude = -(static_cast<float>(h) * step) / 2.0f;
    for (int row = 0; row < h; ++row, latitude += step) {
        const GlobeTrig lat = GlobeSinCos(static_cast<std::int32_t>(latitude));
        const std::int32_t lc = lat.c;
        const GlobeVector polar = GlobeSurfaceVector(lat, GlobeTrig{0, 0}, flattening);
        const std::int32_t py = GlobeMul(view.p[1], polar.y), qy = GlobeMul(view.q[1], polar.y),
                           ry = GlobeMul(view.r[1], polar.y);
        const auto* texels =
            reinterpret_cast<const std::uint16_t*>(map.pixels + static_cast<std::ptrdiff_t>(row) * map.stride);
        for (int i = 0; i < w; ++i) {
            const std::int32_t x = static_cast<std::int16_t>(GlobeMul(lc, sines[i]));
            const std::int32_t z = static_cast<std::int16_t>(GlobeMul(lc, cosines[i]));
            if (static_cast<std::int16_t>(GlobeMul(r0, x) + ry + GlobeMul(r2, z)) >= 1) continue;
            const std::uint16_t texel = texels[i];
            if (key >= 0 && texel == key) continue;
            const int u = static_cast<std::int16_t>(
                centre + ((static_cast<std::int16_t>(GlobeMul(p0, x) + py + GlobeMul(p2, z)) * scale) >> 11));
            if (u < 0 || u >= limit) continue;
            const int v = static_cast<std::int16_t>(
                centre - ((static_cast<std::int16_t>(GlobeMul(q0, x) + qy + GlobeMul(q2, z)) * scale) >> 11));
            if (v < 0 || v >= limit) continue;
            disc.Row(v)[u] = texel;
        }
    }
}

// The map of the cache for `mapId`, loading it when another is cached.
const DrawWindow* CachedMap(int mapId) {
    if (mapImageCache.mapId != mapId || !mapImageCache.map) LoadMapImage(mapId);
    return mapImageCache.map;
}

int Channel(std::uint16_t p, int shift) { return (p >> shift) & 31; }

// The ring picture laid into the plane of the equator of a globe of radius g centred at
// (c, c) on the canvas.
void RingTexels(const DrawWindow& ring, const GlobeView& view, int c, int g, const DiscPixels& disc) {
    const int w2 = ring.width, h2 = ring.height;
    const std::int16_t cs = static_cast<std::int16_t>(static_cast<int>(12868.0 / (3.0 * w2)));
    const float rs = static_cast<float>(static_cast<int>(cs) * h2 / w2);
    const auto* first = reinterpret_cast<const std::uint16_t*>(ring.pixels);
    const std::uint16_t key = w2 > 2 ? first[2] : first[0];
    const int scale = c - 1;
    const int limit = 2 * c;
    float zf = -(static_cast<float>(h2) * rs) / 2.0f;
    for (int row = 0; row < h2; ++row, zf += rs) {
        const auto* texels =
            reinterpret_cast<const std::uint16_t*>(ring.pixels + static_cast<std::ptrdiff_t>(row) * ring.stride);
        const std::int32_t z = static_cast<std::int32_t>(zf + 0.5f);
        float xi = static_cast<float>(static_cast<int>(-(static_cast<float>(cs) * w2) / 2.0f));
        for (int i = 0; i < w2; ++i, xi += cs) {
            const std::uint16_t t = texels[i];
            if (t == key) continue;
            const std::int32_t x = static_cast<std::int32_t>(xi + 0.5f);
            const int u = static_cast<std::int16_t>(
                c - (((GlobeMul(view.p[0], x) + GlobeMul(view.p[2], z)) * scale) >> 11));
            if (u < 0 || u >= limit) continue;
            const int v = static_cast<std::int16_t>(
                c + (((GlobeMul(view.q[0], x) + GlobeMul(view.q[2], z)) * scale) >> 11));
            if (v < 0 || v >= limit) continue;
            const std::int16_t e = static_cast<std::int16_t>(GlobeMul(view.r[0], x) + GlobeMul(view.r[2], z));
            const bool overGlobe = c - g < u && u < c + g && (u - c) * (u - c) + (v - c) * (v - c) < g * g;
            std::uint16_t& o = disc.Row(v)[u];
            if (e < 0) {
                // Behind the globe: hidden wherever the globe drew.
                if (!(overGlobe && o != 0)) o = t;
            } else if (overGlobe && Channel(t, 10) < kRingDarkChannel && Channel(t, 5) < kRingDarkChannel &&
                       Channel(t, 0) < kRingDarkChannel) {
                // A dark ring texel in front only tints the globe; the channels are mixed
                // one by one so none spills into the next.
                int mixed = 0;
                for (int shift : {10, 5, 0}) {
                    const int oc = Channel(o, shift), tc = Channel(t, shift);
                    mixed |= ((oc * (255 - tc) + tc * tc) / 255) << shift;
                }
                o = static_cast<std::uint16_t>(mixed);
            } else {
                o = t;
            }
        }
    }
}

void CopyToDrawWindow(DrawWindow* canvas, int side, int x, int y, int mode) {
    CopyBits(canvas, GetDrawWindow(), Bounds{0, 0, side, side}, x, y, mode);
}

}  // namespace

void FillDiscHoles(const DiscPixels& disc) {
    for (int v = 1; v + 1 < disc.height; ++v) {
        std::uint16_t* row = disc.Row(v);
        for (int u = 1; u + 1 < disc.width; ++u) {
            if (row[u] != 0) continue;
            int count = 0, r = 0, g = 0, b = 0;
            for (int dv = -1; dv <= 1; ++dv) {
                const std::uint16_t* n = disc.Row(v + dv);
                for (int du = -1; du <= 1; ++du) {
                    const std::uint16_t p = n[u + du];
                    if (p == 0) continue;
                    ++count;
                    r += Channel(p, 10);
                    g += Channel(p, 5);
                    b += Channel(p, 0);
                }
            }
            if (count > 4) row[u] = static_cast<std::uint16_t>((r / count) << 10 | (g / count) << 5 | (b / count));
        }
    }
}

int DrawMapOnSphere(int resourceId, int x, int y, int large, double a, double b, double c, double radius,
                    int keyColour, std::uint32_t discColour) {
    const DrawWindow* west = CachedBitmap(resourceId);
    const DrawWindow* east = west ? CachedBitmap(resourceId + 1) : nullptr;
    if (!west || !east || !west->pixels || !east->pixels || west->width != east->width ||
        west->height != east->height) {
        ReportMissingMapResource(resourceId);
        return 0;
    }
    const int h = west->height, w = west->width;
    const int r = keyColour >= 0 ? PixelSize(radius) : (large ? (8 * h) / 32 - 4 : (8 * h - h) / 32 - 4);
    if (r < 1 || 2 * r > kMaxGlobeCanvas) return 0;
    DrawWindow* canvas = MakeCanvas(2 * r);
    if (!canvas) return 0;

    // The disc under the texels, in the disc colour with a black outline.
    platform::GfxObject brush = platform::MakeBrush(discColour);
    platform::GfxObject pen = platform::MakePen(platform::PenStyle::Solid, 1, platform::Rgb(0, 0, 0));
    platform::GfxObject oldBrush = platform::SelectObject(canvas->dc, brush);
    platform::GfxObject oldPen = platform::SelectObject(canvas->dc, pen);
    platform::RoundRect(canvas->dc, platform::Rect{0, 0, 2 * r, 2 * r}, 2 * r, 2 * r);
    platform::SelectObject(canvas->dc, oldBrush);
    platform::SelectObject(canvas->dc, oldPen);
    platform::DeleteObject(brush);
    platform::DeleteObject(pen);

    const GlobeView view = MakeGlobeView(a, b, c);
    SetSphereView(view, r, r);
    std::vector<std::int16_t> sinTable(2 * w), cosTable(2 * w);
    for (int i = 0; i < 2 * w; ++i) {
        const GlobeTrig t =
            GlobeSinCos(static_cast<std::int32_t>(std::int64_t{i} * kGlobeTurn / (2 * w)) - kGlobeHalfTurn);
        sinTable[i] = t.s;
        cosTable[i] = t.c;
    }
    const DiscPixels disc = PixelsOf(canvas);
    MapTexels(*west, sinTable.data(), cosTable.data(), 0, view, kGlobeOne, r, r, 2 * r, keyColour, disc);
    MapTexels(*east, sinTable.data(), cosTable.data(), w, view, kGlobeOne, r, r, 2 * r, keyColour, disc);

    canvas->transparentColour = platform::Rgb(0, 0, 0);
    CopyToDrawWindow(canvas, 2 * r, x - r, y - r, kDrawTransparent);
    DeleteOffscreen(canvas);
    return 1;
}

int DrawPlanetTexture(int mapId, int x, int y, double a, double b, double c, double radius, double k) {
    const int r = PixelSize(radius);
    if (r < 1 || 2 * r > kMaxGlobeCanvas) return 0;
    const DrawWindow* map = CachedMap(mapId);
    if (!map) return 0;
    DrawWindow* canvas = MakeCanvas(2 * r);
    if (!canvas) return 0;
    const GlobeView view = MakeGlobeView(a, b, c);
    SetSphereView(view, r, r - 1);
    const DiscPixels disc = PixelsOf(canvas);
    MapTexels(*map, mapImageCache.sinTable.data(), mapImageCache.cosTable.data(), 0, view, GlobeFlattening(k), r,
              r - 1, 2 * r, -1, disc);
    FillDiscHoles(disc);
    CopyToDrawWindow(canvas, 2 * r, x - r, y - r, 0);
    DeleteOffscreen(canvas);
    return 1;
}

int DrawPlanetSphere(int mapId, int ringId, int x, int y, double a, double b, double c, double size, double k) {
    const int half = std::isfinite(size) ? PixelSize(size * 2.0) : 0;
    const int g = (5 * half / 6) / 2;
    if (g < 1 || 2 * half + 1 > kMaxGlobeCanvas) return 0;
    const DrawWindow* map = CachedMap(mapId);
    if (!map) return 0;
    DrawWindow* canvas = MakeCanvas(2 * half + 1);
    if (!canvas) return 0;
    const GlobeView view = MakeGlobeView(a, b, c);
    SetSphereView(view, g, g - 1);
    const DiscPixels disc = PixelsOf(canvas);
    MapTexels(*map, mapImageCache.sinTable.data(), mapImageCache.cosTable.data(), 0, view, GlobeFlattening(k), half,
              g - 1, 2 * half, -1, disc);
    if (const DrawWindow* ring = LoadRingImage(ringId); ring && ring->pixels) RingTexels(*ring, view, half, g, disc);
    FillDiscHoles(disc);
    CopyToDrawWindow(canvas, 2 * half, x - half, y - half, 0);
    DeleteOffscreen(canvas);
    return 1;
}

int ProjectSpherePoint(int* x, int* y, int cx, int cy, double longitudeWest, double latitude) {
    return GlobeProjectPoint(sphereView.view, longitudeWest, latitude, cx, cy, sphereView.xScale, sphereView.yScale,
                             x, y)
               ? 1
               : 0;
}

int ShowTappedRegionName(MarsFeatureRecord* record, int cx, int cy, int tapX, int tapY) {
    if (!record) return 0;
    const int reachX = static_cast<int>(kTapReach * screenScale.horizontal);
    const int reachY = static_cast<int>(kTapReach * screenScale.vertical);
    const int count = GetMarsFeatureCount();
    for (int n = 0; n < count; ++n) {
        if (!GetMarsFeature(n, record)) continue;
        if (record->kind != kPlanitia && record->kind != kPlanum && record->kind != kTerra) continue;
        if (!std::isfinite(record->latitude) || !std::isfinite(record->longitude) ||
            std::fabs(record->latitude) > 1000.0f || std::fabs(record->longitude) > 1000.0f)
            continue;
        const int latitude = static_cast<int>(record->latitude) * kGlobeUnitsPerWholeDegree;
        const int longitude = static_cast<int>(record->longitude) * kGlobeUnitsPerWholeDegree;
        const GlobeVector v = GlobeSurfaceVector(GlobeSinCos(latitude), GlobeSinCos(longitude));
        if (GlobeTexelHidden(sphereView.view, v)) continue;
        const int x = GlobeScreen(cx, GlobeDot(sphereView.view.p, v), sphereView.xScale);
        const int y = GlobeScreen(cy, GlobeDot(sphereView.view.q, v), sphereView.yScale);
        if (std::abs(x - tapX) >= reachX || std::abs(y - tapY) >= reachY) continue;

        const platform::Color text = SetTextColor(platform::Rgb(255, 255, 255));
        const platform::Color back = SetBackColor(platform::Rgb(0, 0, 0));
        const int transparent = SetTextTransparent(0);
        if (GetDpiFactor() > 1) SetFont(5);
        record->name[sizeof record->name - 1] = '\0';
        DrawStringNoFont(record->name, static_cast<int>(std::strlen(record->name)), x, y);
        if (GetDpiFactor() > 1) SetFont(0);
        SetTextTransparent(transparent);
        SetTextColor(text);
        SetBackColor(back);
        return 1;
    }
    return 0;
}
