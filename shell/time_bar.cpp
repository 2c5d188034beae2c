#include "shell/time_bar.h"

#include <algorithm>

#include "core/calendar.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/utilities.h"

TimeBarState timeBar;

namespace {

// The one-pixel column saved under the marker and where it came from.
DrawWindow* savedColumn = nullptr;
int savedX = 0, savedY = 0;

int Sx(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sy(int v) { return static_cast<int>(v * screenScale.vertical); }

}  // namespace

void FreeTimeBarBitmap() {
    if (savedColumn) DeleteOffscreen(savedColumn);
    savedColumn = nullptr;
}

int DrawTimeBar(int x, int y, int dateFieldId, int timeFieldId, int year, int month) {
    const int margin = Sx(20);
    const Bounds bar{margin, Sy(24), timeBar.drawWidth - margin, timeBar.drawHeight - Sy(21) - Sy(22) - Sy(24)};
    if (!PointInRect(x, y, bar)) {
        timeBar.markerX = std::clamp(timeBar.markerX, margin, std::max(margin, timeBar.drawWidth));
        return 0;
    }
    DrawWindow* screen = GetCurrentDrawWindow();
    if (savedColumn && screen) CopyBits(savedColumn, screen, Bounds{0, 0, 1, savedColumn->height}, savedX, savedY, 0);
    FreeTimeBarBitmap();
    const int top = Sy(21) + Sy(24);
    const int bottom = timeBar.drawHeight - Sy(24) - Sy(22);
    if (screen && bottom > top) {
        savedColumn = CreateOffscreen(1, bottom - top + 1);
        if (savedColumn) {
            savedX = x, savedY = top;
            CopyBits(screen, savedColumn, Bounds{x, top, 1, bottom - top + 1}, 0, 0, 0);
        }
    }
    DrawLineColor(x, top, x, bottom, platform::Rgb(155, 0, 0));
    timeBar.markerX = x;

    int y0 = year, m0 = month, d0 = 1;
    const float scale = timeBar.pixelsPerDay > 0 ? timeBar.pixelsPerDay : 1.0f;
    AddDays(&y0, &m0, &d0, static_cast<int>((x - margin) / scale));
    char text[40];
    FormatDate(text, d0, m0, y0);
    SetField(dateFieldId, text);
    if (timeFieldId > 0) SetField(timeFieldId, "00:00");
    return 1;
}
