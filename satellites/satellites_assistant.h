#pragma once
// The satellite form (2800): one satellite of the satellite database at a time in one of
// eight views, its own date and time (local civil time) run live or accelerated on a
// 1000 ms timer, and the commands that step through, export and delete the records.
#include <cstdint>
#include <vector>

#include "catalog/records.h"
#include "catalog/selection_list.h"
#include "platform/window.h"
#include "satellites/satellite_rows.h"
#include "satellites/two_line_elements.h"

namespace satellites_form {
inline constexpr int kFormId = 2800;
inline constexpr int kTitle = 8029;
inline constexpr int kHelp = 2801;
inline constexpr int kViewPopup = 2802;
inline constexpr int kViewList = 2803;
inline constexpr int kBack = 2804;
inline constexpr int kSatellitePopup = 2805;
inline constexpr int kSatelliteList = 2806;
inline constexpr int kTime = 2808;
inline constexpr int kDate = 2809;
inline constexpr int kNow = 2810;
inline constexpr int kClockPopup = 2811;
inline constexpr int kClockList = 2812;
inline constexpr int kResultList = 2813;
inline constexpr int kShowInSky = 2814;
inline constexpr int kFovPopup = 2815;
inline constexpr int kFovList = 2816;
inline constexpr int kElevationPopup = 2817;
inline constexpr int kElevationList = 2818;
inline constexpr int kLine1 = 2819;
inline constexpr int kLine2 = 2820;
inline constexpr int kExport = 2821;
inline constexpr int kStepPopup = 2823;
inline constexpr int kStepList = 2824;
inline constexpr int kDelete = 2825;
inline constexpr unsigned kClockTimer = 1;
inline constexpr unsigned kClockPeriodMs = 1000;

enum View : int { kInfo = 0, kSkyView, kPass, kNext, kFlare, kTransit, kGlobe, kData };
}  // namespace satellites_form

// The form's state, one instance for the run; the fields marked kept survive closing and
// reopening the form.
struct SatellitesAssistantState {
    std::int32_t viewMode = 0;
    std::int32_t currentSatellite = -1;  // kept
    std::int32_t formYear = -1, formMonth = 1, formDay = 1, formHour = 0, formMinute = 0, formSecond = 0;  // kept
    double formJD = 0.0;
    std::int32_t trackSpan = -1;
    std::int32_t clockChoice = 0;      // kept
    std::int32_t fovChoice = 1;        // kept
    std::int32_t elevationChoice = 0;  // kept
    std::int32_t selectedRow = -1;
    std::int32_t flareMode = 0;
    std::int32_t transitMode = 0;
    SatelliteRecord elementRecord;
    TleElements elements;
    std::vector<SatellitePass> passTable;
    std::int32_t transitBody = 0;  // the body of the last transit refinement: 0 the Moon, 1 the Sun
    // The Sky View's records (the Sun, the Moon and the track), built once until tapCount is 0.
    std::vector<SelectionRecord> tapItems;
    std::int32_t tapCount = 0;
    Bounds viewRect{};  // drawing area of the Sky View and the Globe
    std::int32_t cursorX = 0, cursorY = 0;
    std::int32_t penX = 0, penY = 0, penMoved = 0;
    float skyAzimuth = 0.0f, skyAltitude = 0.0f;
    std::int32_t globeLongitude = 0, globeLatitude = 0;
    std::int32_t globeRadius = 0, globeLeft = 0, globeTop = 0;
    DrawWindow* offscreen = nullptr;      // the Sky View is drawn here, then copied
    DrawWindow* viewOffscreen = nullptr;  // the Globe's save-under of the satellite symbol
    Bounds symbolRect{};                  // where viewOffscreen was saved from
    std::int32_t screenWidth = 0, screenHeight = 0;
    std::int32_t passesValid = 0;
    std::int32_t listValid = 0;
    bool recordLoaded = false;  // elementRecord holds currentSatellite's record
    bool open = false;          // the borrowed chart settings are out
    std::int32_t savedChartMode = 0, savedObjectLabels = 0;
};
extern SatellitesAssistantState satellitesAssistant;

platform::LResult SatellitesAssistant(platform::Window w, unsigned message, platform::WParam wParam,
                                      platform::LParam lParam);
int SatellitesAssistantCommand(int id);
int SatellitesAssistantKey(int key);
// The live tick: 1 when it redrew.
int PaintSatellitesAssistant();
void RefreshSatellitesAssistant(int satellite);
// Pen handlers of the Sky View (pan, tap) and the Globe (turn, tap): 1 when handled or the
// screen changed.
int SatellitesAssistantPenDown(int x, int y);
int SatellitesAssistantPenMove(int x, int y);
int SatellitesAssistantPenUp(int x, int y);
int LayoutSatellitesAssistant(platform::Window dialog, int width, int height);
// Gives the borrowed chart settings back and frees the buffers; safe to call twice.
void CloseSatellitesAssistant();
int SatellitesAssistantDelete(int satellite);
int GetSatelliteViewMode();
// The form's date and time in fields 2809 and 2808.
void ShowSatelliteFormTime();
// Reads record `satellite` into the form's record and converts it; false when missing.
bool LoadCurrentSatellite();
// Checks an edited element line and, when valid, writes it into the current record; the
// message says what is wrong otherwise.
bool AcceptEditedLine(int lineNumber, const char* text);
