#pragma once
// What the sky view's files share: the view frame with its sines and cosines, one drawing
// pass, and the layers a pass draws with.
#include <cstdint>

#include "catalog/records.h"
#include "catalog/selection_list.h"
#include "chart/sky_matrix.h"
#include "platform/types.h"
#include "shell/draw_targets.h"

namespace skyview {

// Object type codes the views treat apart.
inline constexpr int kTypeBody = 27;
inline constexpr int kTypeStar = 30;

struct Frame {
    SkyView view;
    std::int32_t cosTurn, sinTurn, cosTilt, sinTilt;
};
Frame MakeFrame(const SkyView& view);
// A unit vector of the sky matrix onto the view; false behind the viewer.
bool FrameProject(const Frame& f, std::int32_t x, std::int32_t y, std::int32_t z, int* px, int* py);
// A record's unit vector through the rows ProjectObjects uses for it.
void RecordVector(const SelectionRecord& r, std::int32_t* x, std::int32_t* y, std::int32_t* z);
std::int32_t ToFixedDegrees(double degrees);
// Entry n of the chart colours.
platform::Color ChartColour(int n);

// One drawing of a view.
struct Pass {
    Frame frame;
    Bounds area;          // the view in drawing pixels
    int margin;           // points are kept this far outside the view
    bool visibleOnly;
    bool detail;
    int zoom;
};

// A record's label with its leader line from (x, y) out to (x + dx, y + dy).
void LabelRecord(const SelectionRecord& r, int x, int y, int dx, int dy);
void DrawLabelAt(const char* text, int x, int y, int dx, int dy);
// View bitmap n saved from / put back onto the current target.
void SaveViewArea(int n, const Bounds& rect);
void RestoreViewArea(int n);
// The status line's position of a drawing pixel of the last view.
void PointPosition(int x, int y, std::int32_t* first, std::int32_t* second);

// The two status lines: the date, time and sidereal time of the sky matrix, then the
// position (right ascension / 15 and declination, or azimuth and altitude with "Alt/Az
// Grid") and the record's magnitude. Each line takes kStatusLineSize bytes.
inline constexpr int kStatusLineSize = 80;
void ComposeSkyViewStatus(const SelectionRecord* record, std::int32_t first, std::int32_t second, char* line1,
                          char* line2);

// ---- Layers -------------------------------------------------------------------------------
void PaintStar(int zoom, const StarRecord& star, int x, int y);
// The bright stars drawn by this pass, with their labels by the zoom and "Stars Symbols".
void PaintBrightStars(const Pass& p);
void PaintRecordSymbol(int zoom, const SelectionRecord& r, int x, int y);
void PaintEllipse(int x, int y, double a, double b, double angle, double scale);
void PaintBrightStarLabel(int starNumber, int x, int y);
void PaintGrid(const Pass& p, int horizonFlag);
void PaintEcliptic(const Pass& p);
void PaintMagnitudeLegend(const Pass& p);
void PaintOverlays(const Pass& p);
void PaintTargetCursor(int x, int y);
void PaintDirectionGauge(int x, int y, std::int32_t a, std::int32_t b);
// The faint stars and the deep-sky objects of the object index (or their quick versions
// while scrolling).
void DrawFaintLayers(const Pass& p, SelectionRecord* records, int count);

}  // namespace skyview
