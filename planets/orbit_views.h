#pragma once
// The orbit assistant's drawn pages: the 3D view of the planets' orbits and the object's,
// turned by dragging; the object's track over 15 dates on the sky view; and the ephemeris
// table. They draw the form's current comet at the form's date, time and step.
#include <cstdint>
#include <vector>

#include "catalog/selection_list.h"
#include "shell/draw_targets.h"

// One body of the 3D view. Positions, q and the focal offset are in pixels of the zoom
// times 2^12 (an AU is 2^(zoom + 12) units); the semi-axes in whole pixels.
struct Orbit3DObject {
    char name[45] = {};
    std::int32_t matrix[9] = {};     // orbit plane to ecliptic, 8.24 (first two columns)
    std::int64_t x = 0, y = 0, z = 0;
    bool positionValid = false;      // false when the position lies beyond the drawable range
    std::int64_t q = 0;
    std::int64_t focalOffset = 0;    // a e
    float earthDistance = 0.0f, sunDistance = 0.0f;  // AU, of the object only
    std::int64_t semiMajor = 0, semiMinor = 0;
    int type = 2;                    // 0 ellipse, 1 parabola-like, 2 none
};
inline constexpr int kOrbit3DBodies = 11;
extern std::vector<Orbit3DObject> orbit3DObjects;

// What the last DrawOrbitView drew of each body: its orbit (segments drawn), its symbol and
// where.
struct OrbitViewDrawing {
    bool skipped[kOrbit3DBodies] = {};
    int segments[kOrbit3DBodies] = {};
    bool symbol[kOrbit3DBodies] = {};
    int symbolX[kOrbit3DBodies] = {}, symbolY[kOrbit3DBodies] = {};
};
extern OrbitViewDrawing lastOrbitView;

// The pixels one way within which a point or an axis of the 3D view is drawn.
inline constexpr std::int64_t kOrbitDrawableRange = 32767;

// Rebuilds the eleven bodies for the form's date and time at `zoom` (1..7). 0 when the
// current record cannot be read.
int DrawOrbit3D(int zoom);
// Paints the bodies into `offscreen` (null: the current target) in `rect` turned by the three
// angles (degrees), then copies the offscreen to the current target.
void DrawOrbitView(DrawWindow* offscreen, const Bounds& rect, const Orbit3DObject* objects, int count, int angle1,
                   int angle2, int angle3, int zoom);
// A drag of the pen by (dx, dy) pixels: angle 1 turns by 2 dy, angle 3 by 2 dx.
void TurnOrbitView(int dx, int dy);

// The sky view's 15 track points of the last drawing.
inline constexpr int kCometTrackPoints = 15;
extern SelectionRecord cometTrackPoints[kCometTrackPoints];
// Builds the track of record `index` from the form's date in steps of the form's step and
// draws the sky view around the form's centre. 0 when the record cannot be read.
int DrawCometSkyView(int index);
// A drag of the sky view: the centre follows the pen (right ascension wrapped into 0..360,
// declination held within -90..90). 1 when the centre moved.
int DragCometSkyView(int dx, int dy);
// A tap on the sky view: the nearest track point or object is shown and the point becomes
// the next centre. Returns the track point, -1 for none.
int TapCometSkyView(int x, int y);

// The texts of the ephemeris rows last drawn, and whether a day bar was drawn.
struct CometEphemerisRow {
    char text[7][24] = {};
    double jd = 0;
    bool dayBar = false;
};
extern std::vector<CometEphemerisRow> cometEphemerisRows;
// Draws the table of the current comet from the form's date at the form's step.
void DrawCometEphemeris();
