#pragma once
// The chart's two save-unders: the area under the info bubble (78 x 28 x dpi factor) and
// under the scope cursor (28 x 28 x dpi factor). Each keeps a 16-bit bitmap of the screen
// rectangle it last saved, made on first use and kept until FreeChartBitmaps, so that the
// bubble or cursor can be taken off again without a redraw.
#include "chart/chart_state.h"
#include "shell/draw_targets.h"

inline constexpr int kBubbleWidth = 78;
inline constexpr int kBubbleHeight = 28;
inline constexpr int kCursorSize = 28;

// Store (x, y) and copy the rectangle there from the source (null: the current draw target)
// into the area's bitmap. A bitmap that cannot be made leaves the area unsaved.
void SaveBubbleArea(DrawWindow* source, int x, int y);
void SaveCursorArea(DrawWindow* source, int x, int y);

// Copies the saved bubble back to the target at (x, y) and resets the stored position to
// (0, 0). A missing bitmap reports "WinHandled Null", a missing target "WinDest Null" and
// a missing clip rectangle "clipBounds Null"; nothing else happens then.
void RestoreBubbleArea(int x, int y, const Bounds* clip, DrawWindow* target);
// Copies the saved cursor area back to the target at (x, y), clipped to the rectangle;
// silent when anything is missing.
void RestoreCursorArea(int x, int y, const Bounds* clip, DrawWindow* target);

// Frees both areas' bitmaps and clears them.
void FreeChartBitmaps();
