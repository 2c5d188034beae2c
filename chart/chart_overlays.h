#pragma once
// The overlays drawn on top of the chart's layers: the Moon as a turned phase image, the
// phase disc of a solar-system body, the target cursor and the scope marker, the telrad,
// the eyepiece circle and camera frame, the magnitude scale, the field label, the direction
// gauge and the marker of a selection record. GetMoonPhaseBitmap and SetNightMode are
// declared with the chart's services (chart/chart_services.h).
#include <cstddef>
#include <cstdint>

#include "platform/types.h"
#include "shell/draw_targets.h"

struct SelectionRecord;

// The Moon (bitmaps 3993 dark and 3994 lit) turned by its parallactic angle, in a grid of
// width x height cells of stepX x stepY pixels centred on (x, y).
void DrawMoonOnChart(int width, int height, int x, int y, int stepX, int stepY);
// The image turned by angle degrees, the columns inside the phase's lit profile taken from
// litImageId. Source pixels of the image's key colour (its top-left pixel) are skipped.
void DrawRotatedImage(int imageId, int litImageId, int width, int height, int x, int y, double phase, int angle,
                      int stepX, int stepY);

// The phase disc of a body at a local date and time; the outputs (each may be null): the
// illuminated percent, the apparent diameter in arc seconds and the elongation in degrees,
// rounded.
void DrawBodyPhaseDisc(int body, int year, int month, int day, int hour, int minute, int diameter, int rows, int x,
                       int y, int* percent, int* diameterSeconds, int* elongation);
// Fills, in the current drawing colour, the share of a disc of `rows` rows and `diameter`
// pixels centred on (x, y) that a phase of `percent` (clamped to 0..100) lights: from the
// left edge up to the terminator up to 50 percent, from the terminator to the right edge
// above.
void DrawPhaseShadow(int x, int y, int diameter, int rows, int percent);

void DrawTargetCursor(int x, int y);
void DrawScopeMarker(platform::Color colour, int x, int y);

// scale is pixels per arc minute. The telrad's three circles (settings in tenths of a
// degree) with a cross; the eyepiece's true field with its name; the camera sensor frame
// with its side labels. The last two draw inside the clip rectangle only.
void DrawTelrad(int x, int y, float scale, platform::Color colour);
void DrawEyepieceCircle(int x, int y, float scale, platform::Color colour, const Bounds& clip);
void DrawCcdFrame(int x, int y, float scale, platform::Color colour, const Bounds& clip);
// A side of the camera frame in arc minutes as its label: "%d'%02d''" up to 60 arc
// minutes, "%d°%02d'%02d''" above.
void FormatFrameSide(double arcminutes, char* out, std::size_t size);

// A column of `count` sample stars of size classes 0.. with their classes.
void DrawMagnitudeScale(DrawWindow* window, int zoom, int x, int y, int count);
// "FOV ..." and the magnitude limits of the zoom level at (x, y).
void DrawFieldLabel(int x, int y, int zoom);
void FormatFieldLabel(int zoom, char* fov, std::size_t fovSize, char* limits, std::size_t limitsSize);

// The two dials of the direction gauge (8.24 angles) at (x, y).
void DrawDirectionGauge(int x, int y, std::int32_t angleA, std::int32_t angleB);
// Where the gauge goes on a chart or view: at its bottom left, above the two info lines
// there, whole inside it and clear of the field label at the bottom middle.
Bounds DirectionGaugeBox(const Bounds& area);

// The icon and picture marker of selection record `index` at (x, y); typeArgument is the
// morphology code whose icon stands for catalog objects. Without an icon the plain marker
// stands in for it.
void DrawSelectionMarker(int x, int y, int index, int typeArgument);
// The plain marker: a ring of kPlainMarkerRadius x dpi factor about (x, y) in the cursor's
// colour (black on a white background by day, else red).
inline constexpr int kPlainMarkerRadius = 5;
void DrawPlainMarker(int x, int y);
// Whether the object pictures hold one for a name, a folder kind and a catalog code; the
// program installs it (app/composition.cpp). While null no picture marker is drawn.
extern int (*chartFindObjectPicture)(const char* name, int folderKind, int catalogCode);
// The picture name of a list record ("%s%d" of its catalog, the label of a body or a
// Messier object) into name; returns the catalog code its picture is kept under.
int SelectionPictureName(const SelectionRecord& record, char* name, std::size_t size);
// Command 1871: the picture of the current row's object below the title band, until a tap
// or a key, then the chart again. Nothing when the row has no picture.
void ShowChartObjectPicture();
