#pragma once
// The eclipse assistant (form 2700, "EclipseAssistant"): the coming solar and lunar
// eclipses from a date, and for the one selected five pages chosen from a popup: List
// (with the summary under the list), Info (the local circumstances at a typed place and
// time), Path (the central path on the small world map), Map and Diagram (the limits on a
// globe). Its state lives in `eclipseState` for the whole run.
#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

inline constexpr int kEclipseFormId = 2700;

namespace eclipse_form {
constexpr int kTitle = 8028;
constexpr int kHelp = 2701;
constexpr int kPagePopup = 2702;
constexpr int kPageList = 2703;
constexpr int kList = 2704;
constexpr int kBack = 2705;
constexpr int kListButton = 2706;
constexpr int kInfoButton = 2707;
constexpr int kYear = 2708;
constexpr int kYearButton = 2709;
constexpr int kPathButton = 2710;
constexpr int kTimeLabel = 2711;
constexpr int kTime = 2712;
constexpr int kTimeSet = 2713;
constexpr int kPlaceLabel = 2714;
constexpr int kLatitude = 2715;
constexpr int kLongitude = 2716;
constexpr int kPlaceSet = 2717;
constexpr int kMapTime = 2718;
constexpr int kStepIn = 2719;
constexpr int kStepOut = 2720;
constexpr int kMapButton = 2721;
constexpr int kInfoAtTap = 2724;

constexpr int kPageListPage = 0;
constexpr int kPageInfo = 1;
constexpr int kPagePath = 2;
constexpr int kPageMap = 3;
constexpr int kPageDiagram = 4;
}  // namespace eclipse_form

platform::LResult EclipseAssistant(platform::Window dialog, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam);
// Releases the form's controls after setting its redraw flag.
void CloseEclipseForm(platform::Window dialog);
// Moves the controls for a new client size; 0 when the size is the design size.
int LayoutEclipseForm(platform::Window dialog, int width, int height);
// The row function of the eclipse list.
void DrawEclipseRow(int row, Bounds rect, int flag, int rowWidth);
struct EclipseEntry;
// What selecting a solar eclipse computes: its instant refined to the least separation of
// the Sun and the Moon (once per list), the elements fitted around it, the central point
// with its duration, and the position tables over the central line's span. An eclipse
// without a central line gets duration 0 and no tables.
void ComputeSolarEntry(EclipseEntry* entry);
// Computes the selected eclipse (once per selection) and draws its summary.
int ComputeSolarEclipse();
// Draws the current page, building the list first when it is empty.
void RefreshEclipseForm();
// The first paint.
void InitEclipseForm();
// 1 when handled; 0 for ids outside the form's.
int HandleEclipseCommand(int controlId);
int SetEclipsePenDown(int x, int y);
// Frees the position tables, the list and everything the pages keep.
void FreeEclipseData();
// The place (longitude west positive, latitude) into the Latitude and Longitude fields in
// degrees and tenths of a minute with the hemisphere letter ("40°30.0 S", "3°42.0 E").
void ShowPlaceFields(double longitude, double latitude);
// The Diagram page.
void DrawEclipseDiagram();
// Where the Diagram page's globe stands: its centre and radius in pixels.
void EclipseGlobeGeometry(int* cx, int* cy, int* radius);
// The help of a page: the heading lines and the detail lines, each line starting with the
// bullet 0x95.
const char* EclipseHelpHeading(int page);
const char* EclipseHelpDetail(int page);
