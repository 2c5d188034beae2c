#pragma once
// The Moon picture: the full Moon in grey levels (a small 320-pixel picture, or a large
// 960-pixel one put together from nine tiles) with its night side darkened for an instant,
// the scrollable view onto it that the MoonMap form shows, and the two date lines drawn
// over it.
#include <cstdint>

#include "shell/draw_targets.h"

inline constexpr int kMoonSmallPicture = 6036;
inline constexpr int kMoonFirstTile = 6025;  // 6025 to 6033, row by row in a 3 x 3 grid
inline constexpr int kMoonTileSize = 320;
inline constexpr int kMoonSmallSize = 320;
inline constexpr int kMoonLargeSize = 960;
// Features' columns and rows are pixels of the large picture.
inline constexpr int kMoonFeatureFrame = 960;
// A drag counts as one once the pen has gone this far from where it came down.
inline constexpr int kMoonDragThreshold = 6;

// The rendered picture, null when there is none.
extern DrawWindow* moonImage;

struct MoonImageView {
    int zoomMode = 1;     // 1 small picture, 2 large
    int imageSize = 320;  // 320 or 960, the picture being square
    int mirrorX = 0;
    int mirrorY = 0;
    int scrollX = 0;  // the picture pixel at the view's top left
    int scrollY = 0;
    int downX = 0, downY = 0;  // where the pen came down
    int lastX = 0, lastY = 0;  // the last pen point
    int dragging = 0;          // the pen came down inside the view
    int moved = 0;             // it went far enough to be a drag
    double colongitude = 0;    // of the last picture rendered
    Bounds view;               // the picture's part of the form, below the title band from view.y
};
extern MoonImageView moonImageView;

// Lowers each channel of count 5-5-5 pixels by 5 of 31, clamped at 0, in place.
void DarkenPixels555(std::uint16_t* pixels, int count);

// Darkens the night side of a square Moon picture for the Sun's colongitude c0 and
// selenographic latitude b0 (degrees), row by row, and marks the terminator in black.
// The record needs its pixel buffer.
void ShadeMoonImage(DrawWindow* image, double c0, double b0);

// Renders the picture (mode 1 small, else large) for a local date and time at the current
// site, shaded, turned red in night mode, mirrored as asked, and keeps it as moonImage.
// Missing picture resources leave the disc's outline. Null after "offScreen Not enough
// memory" when no offscreen could be made.
DrawWindow* RenderMoonImage(int mode, int year, int month, int day, int hour, int minute, int mirrorX, int mirrorY);
void FreeMoonImage();

// The largest scroll offset that keeps a view of `viewSize` inside a picture of `size`.
int MoonScrollLimit(int size, int viewSize);
// The height of the view that shows the picture.
int MoonViewPictureHeight();
// Copies the visible part of the picture into the current draw window under the title band.
void DrawMoonImageView();
// One step of a drag to the pen point (x, y): the moved flag, the scroll offsets (clamped)
// and the copy of the visible part.
void PanMoonImage(int x, int y);

// The Julian day (UT) of the new Moon that began the lunation running at jd (UT).
double LastNewMoonAtOrBefore(double jd);
// The observing date and time, and under it "New: " with the local date and time of the new
// Moon that began the current lunation, at the left edge from height y.
void DrawMoonDateInfo(int x, int y);
