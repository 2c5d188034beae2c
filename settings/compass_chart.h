#pragma once
// The Compass chart (form 2830): where to look for the Sun, the Moon and one object of the
// selection list at the observing date and time, as markers on an altitude bar and an
// azimuth dial, the chosen body's altitude and azimuth in figures, and on screens at least
// 320 (x scale) high the chosen body's path over the coming hours.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

namespace compass {
constexpr int kFormId = 2830;
constexpr int kTitle = 8023;
constexpr int kHelp = 2831;
constexpr int kBack = 2832;
constexpr int kPick = 2833;
constexpr int kDate = 2834;
constexpr int kNow = 2835;
constexpr int kTime = 2836;
constexpr int kObjectPopup = 2837;
constexpr int kObjectList = 2838;
constexpr int kInfo = 2840;
constexpr int kPicture = 2841;
constexpr int kChart = 2842;
constexpr int kObjectInfoFormId = 112;
constexpr int kChartFormId = 1900;
// Bodies of the markers and figures.
constexpr int kSunMarker = 0;
constexpr int kMoonMarker = 1;
constexpr int kObjectMarker = 2;
}  // namespace compass

struct CompassState {
    std::int32_t row = 0;          // of the object popup; -1 with an empty selection list
    std::int32_t object = -1;      // the row's object index (GetSelectionObject)
    float ra = -1.0f;              // hours; negative: no object
    float dec = 0.0f;
    std::int32_t type = 0;
    std::int32_t symbol = 0;
    std::int32_t catalog = 0;
    char name[30] = {};
    std::int32_t body = 0;         // whose figures are written
    std::int32_t haveObject = 0;
    std::int32_t pickPending = 0;
    std::int32_t kind = 0;
    std::int32_t barMode = 0;      // 0: the altitude on a bar; otherwise on a half dial
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The markers of the last drawing, by body: on the altitude display and on the dial.
    std::int32_t altitudeX[3] = {};
    std::int32_t altitudeY[3] = {};
    std::int32_t azimuthX[3] = {};
    std::int32_t azimuthY[3] = {};
    std::int32_t drawn[3] = {};    // 1 when the body's markers were drawn
    double altitude[3] = {};       // degrees, of the last drawing
    double azimuth[3] = {};
    std::int32_t pathDrawn = 0;    // the altitude path was drawn
    std::int32_t searched = 0;     // the empty list's object search ran
};
extern CompassState compassChart;

platform::LResult CompassChart(platform::Window dialog, unsigned message, platform::WParam wParam,
                               platform::LParam lParam);
void CompassChartClose(platform::Window dialog);
void CloseCompassForm();
void InitCompassChart();
int CompassFormCommand(int id);
int LayoutCompassForm(platform::Window dialog, int width, int height);
void DrawObjectListRow(int row, Bounds rect, int flag);
void DrawCompassChart();
void DrawCompassDial(int cx, int cy, int r, int altitudeFlag);
void DrawAltitudeBar(int x, int y, int width, int height);
// The chosen body's path from 2 hours before the observing hour to 22 after.
void DrawAltitudePath(const Bounds& rect, int year, int month, int day, int hour, int minute);
