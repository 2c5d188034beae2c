#pragma once
// The site form (1200, "Location"): where the user sets the observing site, its weather
// and sky class, and which of three stored sites is current. The site is typed in, taken
// from the location list (form 1600), read from a GPS receiver, or picked by a tap on the
// small world map under the title or on the scrollable world map of the Map view.
//
// The coordinate fields become the site's coordinates as soon as they are read back (after
// an edit, a GPS read or a tap on the small map); the other values when the user confirms
// with Ok. A value out of range is refused with a message naming the field, the form
// stays open and the site keeps its value. Cancel puts back the site, the stored sites and
// the stored-site choice as they were when the form opened.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "shell/place_text.h"
#include "shell/world_map.h"

inline constexpr int kSiteFormId = 1200;
inline constexpr int kLocationListFormId = 1600;

// Controls of dialog 1200.
inline constexpr int kSiteLatitudeField = 1201;
inline constexpr int kSiteLongitudeField = 1202;
namespace site_form {
constexpr int kTitle = 8002;
constexpr int kLatitude = kSiteLatitudeField;
constexpr int kLongitude = kSiteLongitudeField;
constexpr int kHeight = 1203;
constexpr int kZone = 1204;
constexpr int kTemperature = 1205;
constexpr int kPressure = 1206;
constexpr int kHumidity = 1207;
constexpr int kOk = 1210;
constexpr int kList = 1211;
constexpr int kGps = 1212;
constexpr int kClassPopup = 1215;
constexpr int kClassList = 1216;
constexpr int kSitePopup = 1217;
constexpr int kSiteList = 1218;
constexpr int kName = 1219;
constexpr int kInfo = 1220;
constexpr int kDaylight = 1222;
constexpr int kCancel = 1223;
constexpr int kMap = 1224;
constexpr int kFirstLabel = 1225;
constexpr int kLastLabel = 1241;
}  // namespace site_form

// The small world map of the fields view; the large one of the map view is shell's
// (shell/world_map.h).
inline constexpr int kSmallMapBitmap = 6010;

struct SiteFormState {
    int crossY = 0;          // small-map cross
    int crossX = 0;
    int penX = 0;            // stylus-down point, then the last point of a drag
    int penY = 0;
    int dragging = 0;
    int offsetX = 0;         // world-map offsets in device pixels
    int offsetY = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    int loaded = 0;          // 1 once the site is in the fields; 0 reloads it at the next fields view
    DrawWindow* mapOffscreen = nullptr;
    int mode = 0;            // 0 fields view, 1 world-map view
    Bounds view;             // world-map view rectangle
};
extern SiteFormState siteForm;

// Current stored-site slot 0..2; -1 at start (the slot that matches the site is looked for).
extern std::int32_t siteChoice;
// -1: the next world-map drawing centres the map on the site.
extern std::int32_t siteMapRecentre;

platform::LResult Location(platform::Window dialog, unsigned message, platform::WParam wParam,
                           platform::LParam lParam);
void ReleaseLocationControls(platform::Window dialog);
// siteChoice, 0 while it is negative.
int GetSiteChoice();
// Moves the controls for a new client size; 0 when the size is the design size.
int LayoutSiteForm(platform::Window dialog, int width, int height);
// Frees the world map, forgets the location choice and clears the loaded flag.
void CloseSiteForm();

int SiteMapStylusDown(int x, int y);
int SiteMapStylusMove(int x, int y);
int SiteMapStylusUp(int x, int y);

// Reads the coordinate fields into the site and draws the small map with the site's cross.
// A text that does not read as a coordinate in range is refused with a message naming the
// field; that coordinate stays as it was. 1 when both were taken.
int DrawSiteFields();
void FillSiteFields();
void LoadSiteChoice();
// Validates and stores height, zone, temperature, pressure and humidity, then the class
// and the name; 1 when every value was valid, after which the site is saved into its
// stored slot, the observing time refreshed and the chart told to project again.
int ApplySiteFields();
int DrawWorldMap(const Bounds& view, float longitude, float latitude);
// The small map with the site's cross, in the fields view of a screen more than 260 (x
// scale) high.
void DrawSmallMap();
// Frees the world map's offscreen and the halves kept for dragging.
void FreeWorldMap();
void ShowSiteView();
int SiteSmallMapTap(int x, int y);
int SiteWorldMapTap(int x, int y);
void InitSiteForm();
int SiteCommand(int id);

// ---- The arithmetic, for the tests ------------------------------------------------------

// The time zone of a longitude (west positive) in whole hours east of Greenwich: -longitude
// / 15 rounded to the nearest hour, halves away from zero.
int ZoneEstimateHours(double longitude);
