#include "shell/world_map.h"

#include <cstdlib>

#include "core/settings.h"
#include "platform/gfx_context.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"

namespace {

bool NightShown() { return preferences.word[pref::nightMode] > 0; }

// A half at (x, y), its top-left colour (the sea) left out so the fill shows through.
void DrawHalf(DrawWindow* half, int x, int y) {
    if (!half) {
        DrawWorldMapGraticule(x, y, kWorldMapHalf, kWorldMapHalf);
        return;
    }
    platform::Color key = platform::GetPixel(half->dc, 0, 0);
    if (key == platform::kNoColor) key = 0;
    platform::TransparentBlit(GetDrawDC(), x, y, half->width, half->height, half->dc, 0, 0, half->width, half->height,
                              key);
}

}  // namespace

void PlaceWorldMapHalves(int viewHeight, int* offsetX, int* offsetY, int* westX, int* eastX) {
    if (*offsetY > 0) *offsetY = 0;
    if (*offsetY < viewHeight - kWorldMapHalf) *offsetY = viewHeight - kWorldMapHalf;
    const int r = *offsetX % kWorldMapPeriod;
    if (std::abs(r) >= kWorldMapHalf) {
        const int r2 = r % kWorldMapHalf;
        const int r1 = r >= 0 ? r2 - kWorldMapHalf : r2 + kWorldMapHalf;
        *westX = r1;
        *eastX = r2;
        *offsetX = r1;
    } else {
        *westX = r;
        *eastX = r >= 0 ? r - kWorldMapHalf : r + kWorldMapHalf;
        *offsetX = r;
    }
}

void WorldMapPlaceAt(int x, int y, const Bounds& view, int offsetX, int offsetY, double* longitude, double* latitude) {
    double lon = 180.0 - (x - view.x - offsetX) * kWorldMapDegreesPerPixelX;
    if (lon > 180.0) lon -= 360.0;
    *longitude = lon;
    *latitude = 90.0 - (y - view.y - offsetY) * kWorldMapDegreesPerPixelY;
}

void FreeWorldMapHalves(WorldMapHalves* halves) {
    DeleteOffscreen(halves->west);
    DeleteOffscreen(halves->east);
    *halves = WorldMapHalves{};
}

void LoadWorldMapHalves(WorldMapHalves* halves) {
    const int night = preferences.word[pref::nightMode];
    if (halves->night == night) return;
    FreeWorldMapHalves(halves);
    halves->west = LoadBitmap16(kWorldMapWestBitmap);
    halves->east = LoadBitmap16(kWorldMapEastBitmap);
    halves->night = night;
}

platform::Color WorldMapSeaColour() { return NightShown() ? platform::Rgb(0, 0, 0) : platform::Rgb(153, 153, 203); }

void DrawWorldMapGraticule(int x, int y, int width, int height) {
    SetForeColor(NightShown() ? platform::Rgb(GetNightLevel() / 2, 0, 0) : platform::Rgb(230, 230, 240));
    for (int k = 0; k <= 12; ++k) {
        const int gx = x + k * (width - 1) / 12;
        DrawLine(gx, y, gx, y + height - 1);
    }
    for (int k = 0; k <= 6; ++k) {
        const int gy = y + k * (height - 1) / 6;
        DrawLine(x, gy, x + width - 1, gy);
    }
}

void DrawWorldMapHalves(WorldMapHalves* halves, int width, int viewHeight, int* offsetX, int* offsetY) {
    SetForeColor(WorldMapSeaColour());
    DrawRectangle(Bounds{0, 0, width, viewHeight}, 0);
    int westX = 0, eastX = 0;
    PlaceWorldMapHalves(viewHeight, offsetX, offsetY, &westX, &eastX);
    LoadWorldMapHalves(halves);
    DrawHalf(halves->west, westX, *offsetY);
    DrawHalf(halves->east, eastX, *offsetY);
}
