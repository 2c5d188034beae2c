#pragma once
// Form 2450, the PlanetAssistant: all the planets over any date in ten views (the ecliptic
// strip, the heliocentric Sun View, three tables, a sky view with the planets' paths, yearly
// charts, the event list, the phase view of form 2460 and a textured 3D globe).
#include "platform/window.h"
#include "shell/draw_targets.h"

namespace planet_assistant {
inline constexpr int kFormId = 2450;
inline constexpr int kTitle = 8021;
inline constexpr int kViewPopup = 2449;
inline constexpr int kViewList = 2448;
inline constexpr int kHelp = 2453;
inline constexpr int kNow = 2457;
inline constexpr int kBack = 2451;
inline constexpr int kShowOnChart = 2446;
inline constexpr int kDate = 2455;
inline constexpr int kTime = 2456;
inline constexpr int kStepPopup = 2509;
inline constexpr int kStepList = 2510;
inline constexpr int kZoomPopup = 2511;
inline constexpr int kZoomList = 2512;
inline constexpr int kQuantityPopup = 2438;
inline constexpr int kQuantityList = 2439;
inline constexpr int kPeriodLabel = 2443;
inline constexpr int kPeriodPopup = 2444;
inline constexpr int kPeriodList = 2445;
inline constexpr int kFilterLabel = 2440;
inline constexpr int kFilterPopup = 2441;
inline constexpr int kFilterList = 2442;
inline constexpr int kEventList = 2447;
inline constexpr int kBodyPopup = 2528;
inline constexpr int kBodyList = 2529;
inline constexpr int kStepForward = 2591;
inline constexpr int kStepBack = 2592;

enum View : int {
    kEcliptic = 0, kSunView, kPosition, kSkyView, kInfo, kRiseSet, kCharts, kEvents, kPhase, k3DView
};
inline constexpr int kBodyRows = 30;
}  // namespace planet_assistant

// The form's state, one for the run.
struct PlanetFormState {
    int view = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    float skyAzimuth = 0.0f, skyAltitude = 0.0f;
    int dragStarted = 0;
    int rotation = 0, tilt = 0;
    int quantity = 0, filter = 0, period = 1, body = 0;
    int penX = 0, penY = 0;
    int width = 0, height = 0;
    DrawWindow* offscreen = nullptr;
    bool open = false;
    int savedChartMode = 0, savedObjectNames = 0, savedLegend = 0;
    int tappedRecord = -1;
    // The ecliptic strip asked for the star table and the constellation lines during this
    // visit (a missing file is reported once a visit, not at every redraw).
    bool eclipticStarsLoaded = false;
};
extern PlanetFormState planetFormState;

// The remembered choices.
struct PlanetFormSettings {
    int rememberedYear = -1, rememberedMonth = 0, rememberedDay = 0, rememberedHour = 0, rememberedMinute = 0;
    int stepIndex = 2;
    int zoomIndex = 2;
    int globeSize = 90;
    int globeLimit = 155;
};
extern PlanetFormSettings planetFormSettings;
inline constexpr int kPlanetStepDays[9] = {1, 2, 5, 7, 10, 14, 30, 60, 90};

platform::LResult PlanetAssistant(platform::Window w, unsigned message, platform::WParam wParam,
                                  platform::LParam lParam);
void InitPlanetAssistant();
void RedrawPlanetAssistant();
int PlanetAssistantCommand(int id);
int PlanetAssistantKey(int key);
int PlanetAssistantPenDown(int x, int y);
int PlanetAssistantPenMove(int x, int y);
int PlanetAssistantPenUp(int x, int y);
int LayoutPlanetAssistant(platform::Window dialog, int width, int height);
// Gives back the borrowed chart settings, remembers the date and frees the buffers; safe to
// call twice.
void ClosePlanetAssistant();
// The 3D globe of body row `row` centred at (x, y).
void DrawPlanetGlobe(int row, int x, int y, int size);
// The help heading and detail of a view (empty for the Phase view).
void PlanetAssistantHelp(int view, const char** text, const char** detail);
// The 3D body table: map id, pole angle, flattening and size factor of a body row.
struct GlobeBody {
    int mapId;
    double poleAngle, flattening, sizeFactor;
};
GlobeBody PlanetGlobeBody(int row);
