// The site form's maps: the small world map under the title with the site's cross, and
// the world map of the Map view, which the user drags around and taps to pick a place.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "astro/angle_text.h"
#include "catalog/location_choice.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/gfx_context.h"
#include "shell/place_text.h"
#include "settings/site_form.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"

namespace {

constexpr platform::Color kSeaColour = platform::Rgb(153, 153, 203);
constexpr platform::Color kCrossColour = platform::Rgb(200, 0, 0);
constexpr int kDragThreshold = 3;
// Design size of the small map.
constexpr int kSmallMapWidth = 240;
constexpr int kSmallMapHeight = 120;
constexpr int kSmallMapTop = 24;

// The two halves as last loaded, kept while the form is open so that a drag does not read
// them again at every step; `night` is the night mode they were loaded for.
struct MapHalves {
    DrawWindow* west = nullptr;
    DrawWindow* east = nullptr;
    int night = -1;
};
MapHalves halves;

int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

bool NightShown() { return preferences.word[pref::nightMode] > 0; }

void FreeHalves() {
    DeleteOffscreen(halves.west);
    DeleteOffscreen(halves.east);
    halves = MapHalves{};
}

void LoadHalves() {
    const int night = preferences.word[pref::nightMode];
    if (halves.night == night) return;
    FreeHalves();
    halves.west = LoadBitmap16(kWorldMapWestBitmap);
    halves.east = LoadBitmap16(kWorldMapEastBitmap);
    halves.night = night;
}

// Lines every 30 degrees over an area of the map: what stands in for a map picture that
// was not made (the pictures are generated from public maps when the program is set up),
// so that the form still works and a tap still lands where the lines say.
void DrawGraticule(int x, int y, int width, int height) {
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

// A half at (x, y), its top-left colour (the sea) left out so the fill shows through.
void DrawHalf(DrawWindow* half, int x, int y) {
    if (!half) {
        DrawGraticule(x, y, kWorldMapHalf, kWorldMapHalf);
        return;
    }
    platform::Color key = platform::GetPixel(half->dc, 0, 0);
    if (key == platform::kNoColor) key = 0;
    platform::TransparentBlit(GetDrawDC(), x, y, half->width, half->height, half->dc, 0, 0, half->width, half->height,
                              key);
}

// The mark of a tapped place: a small red circle with a cross.
void DrawTapMark(int x, int y) {
    const int f = GetDpiFactor() > 0 ? GetDpiFactor() : 2;
    const platform::Color red = NightShown() ? platform::Rgb(GetNightLevel(), 0, 0) : platform::Rgb(255, 0, 0);
    SetForeColor(red);
    DrawCircle(x, y, 3 * f);
    DrawLine(x - 5 * f, y, x - f, y);
    DrawLine(x + f, y, x + 5 * f, y);
    DrawLine(x, y - 5 * f, x, y - f);
    DrawLine(x, y + f, x, y + 5 * f);
}

bool SmallMapShown() {
    return siteForm.mode == 0 && siteForm.screenHeight > static_cast<int>(260 * screenScale.vertical);
}

}  // namespace

// ---- The arithmetic ----------------------------------------------------------------------

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

// ---- Drawing -----------------------------------------------------------------------------

void DrawSmallMap() {
    if (!SmallMapShown()) return;
    const int top = Sy(kSmallMapTop);
    if (!DrawBitmap(kSmallMapBitmap, 0, top)) {
        const Bounds map{0, top, Sx(kSmallMapWidth), Sy(kSmallMapHeight)};
        SetForeColor(NightShown() ? platform::Rgb(0, 0, 0) : kSeaColour);
        DrawRectangle(map, 0);
        DrawGraticule(map.x, map.y, map.width, map.height);
    }
    const ObserverLocation& site = observerLocation;
    const int x = Sx(120) - static_cast<int>(120 * screenScale.horizontal * site.longitude / 180.0);
    const int y = Sy(24) + Sy(60) - static_cast<int>(60 * screenScale.vertical * site.latitude / 90.0);
    siteForm.crossX = x;
    siteForm.crossY = y;
    const int arm = Sx(4);
    SetForeColor(NightShown() ? platform::Rgb(GetNightLevel(), 0, 0) : kCrossColour);
    DrawLine(x - arm, y, x + arm, y);
    DrawLine(x, y - arm, x, y + arm);
}

int DrawWorldMap(const Bounds& view, float longitude, float latitude) {
    if (!siteForm.mapOffscreen) {
        siteForm.mapOffscreen = CreateOffscreen(siteForm.screenWidth, siteForm.screenHeight);
        if (!siteForm.mapOffscreen) {
            ShowMessage("Can't allocate offscreen Buffer to draw map", "");
            return 0;
        }
    }
    DrawWindow* const screen = SetDrawWindow(siteForm.mapOffscreen);
    if (siteMapRecentre == -1) {
        siteForm.offsetX = view.x + view.width / 2 - static_cast<int>((180.0 - longitude) * kWorldMapPixelsPerDegreeX);
        siteForm.offsetY = view.height / 2 - static_cast<int>((90.0 - latitude) * kWorldMapPixelsPerDegreeY);
        siteMapRecentre = 0;
    }
    SetForeColor(NightShown() ? platform::Rgb(0, 0, 0) : kSeaColour);
    DrawRectangle(Bounds{0, 0, siteForm.mapOffscreen->width, siteForm.mapOffscreen->height}, 0);
    int westX = 0, eastX = 0;
    PlaceWorldMapHalves(view.height, &siteForm.offsetX, &siteForm.offsetY, &westX, &eastX);
    LoadHalves();
    DrawHalf(halves.west, westX, siteForm.offsetY);
    DrawHalf(halves.east, eastX, siteForm.offsetY);
    SetDrawWindow(screen);
    CopyBits(siteForm.mapOffscreen, screen, Bounds{0, 0, view.width, view.height}, view.x, view.y, 0);
    return 1;
}

void FreeWorldMap() {
    DeleteOffscreen(siteForm.mapOffscreen);
    siteForm.mapOffscreen = nullptr;
    FreeHalves();
}

// ---- Taps and drags ----------------------------------------------------------------------

int SiteWorldMapTap(int x, int y) {
    double longitude = 0, latitude = 0;
    WorldMapPlaceAt(x, y, siteForm.view, siteForm.offsetX, siteForm.offsetY, &longitude, &latitude);
    siteForm.penX = x;
    siteForm.penY = y;
    DrawWorldMap(siteForm.view, observerLocation.longitude, observerLocation.latitude);
    const int previousFont = SetFont(4);
    DrawAngleLetter(longitude, 'W', 'E', Sx(2), Sy(24));
    DrawAngleLetter(latitude, 'N', 'S', Sx(60), Sy(24));
    char text[24];
    SetField(kSiteLatitudeField, DMSToStr(text, sizeof text, latitude));
    SetField(kSiteLongitudeField, DMSToStr(text, sizeof text, longitude));
    std::snprintf(text, sizeof text, "%d", ZoneEstimateHours(longitude) * 60);
    SetField(site_form::kZone, text);
    DrawTapMark(x, y);
    SetFont(previousFont);
    return 1;
}

int SiteSmallMapTap(int x, int y) {
    ObserverLocation& site = observerLocation;
    const int centreX = Sx(120), halfWidth = Sx(120);
    const int equator = Sy(60) + Sy(24), halfHeight = Sy(60);
    const double longitude = -180.0 * (x - centreX) / halfWidth;
    const double latitude = 90.0 * (equator - y) / halfHeight;
    const int zone = ZoneEstimateHours(longitude) * 60 + (site.daylight ? 60 : 0);
    SetSiteCoordinates(longitude, latitude, static_cast<std::int16_t>(zone));
    std::snprintf(site.name, sizeof site.name, "%s", "User Tap");
    selectedLocationIndex = -1;
    FillSiteFields();
    return 1;
}

int SiteMapStylusDown(int x, int y) {
    siteForm.penX = x;
    siteForm.penY = y;
    siteForm.dragging = 0;
    return 1;
}

int SiteMapStylusMove(int x, int y) {
    if (siteForm.mode != 1) return 0;
    if (!siteForm.dragging) {
        if (std::abs(x - siteForm.penX) <= kDragThreshold && std::abs(y - siteForm.penY) <= kDragThreshold) return 0;
        siteForm.dragging = 1;
    }
    siteForm.offsetX += x - siteForm.penX;
    siteForm.offsetY += y - siteForm.penY;
    siteForm.penX = x;
    siteForm.penY = y;
    DrawWorldMap(siteForm.view, observerLocation.longitude, observerLocation.latitude);
    return 1;
}

int SiteMapStylusUp(int x, int y) {
    const Bounds& v = siteForm.view;
    int result = 0;
    if (siteForm.mode == 1) {
        if (!siteForm.dragging && PointInRect(x, y, v)) result = SiteWorldMapTap(x, y);
    } else if (SmallMapShown() && PointInRect(x, y, Bounds{0, Sy(kSmallMapTop), Sx(kSmallMapWidth), Sy(kSmallMapHeight)})) {
        result = SiteSmallMapTap(x, y);
    }
    siteForm.dragging = 0;
    return result;
}
