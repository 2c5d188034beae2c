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
#include "shell/world_map.h"

namespace {

constexpr platform::Color kCrossColour = platform::Rgb(200, 0, 0);
constexpr int kDragThreshold = 3;
// Design size of the small map.
constexpr int kSmallMapWidth = 240;
constexpr int kSmallMapHeight = 120;
constexpr int kSmallMapTop = 24;

// The halves, kept while the form is open.
WorldMapHalves halves;

int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

bool NightShown() { return preferences.word[pref::nightMode] > 0; }

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

// ---- Drawing -----------------------------------------------------------------------------

void DrawSmallMap() {
    if (!SmallMapShown()) return;
    const int top = Sy(kSmallMapTop);
    if (!DrawBitmap(kSmallMapBitmap, 0, top)) {
        const Bounds map{0, top, Sx(kSmallMapWidth), Sy(kSmallMapHeight)};
        SetForeColor(WorldMapSeaColour());
        DrawRectangle(map, 0);
        DrawWorldMapGraticule(map.x, map.y, map.width, map.height);
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
    DrawWorldMapHalves(&halves, view.width, view.height, &siteForm.offsetX, &siteForm.offsetY);
    SetDrawWindow(screen);
    CopyBits(siteForm.mapOffscreen, screen, Bounds{0, 0, view.width, view.height}, view.x, view.y, 0);
    return 1;
}

void FreeWorldMap() {
    DeleteOffscreen(siteForm.mapOffscreen);
    siteForm.mapOffscreen = nullptr;
    FreeWorldMapHalves(&halves);
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
