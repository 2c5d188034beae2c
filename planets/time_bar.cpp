#include "planets/time_bar.h"

#include <cmath>

#include "core/calendar.h"
#include "platform/types.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/utilities.h"

float timeBarPixelsPerDay = 0.0f;

namespace {

DrawWindow* timeBarBitmap = nullptr;
int timeBarX = 0;

int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

}  // namespace

void FreeTimeBarBitmap() {
    if (timeBarBitmap) DeleteOffscreen(timeBarBitmap);
    timeBarBitmap = nullptr;
}

int DrawTimeBar(int x, int y, int dateFieldId, int timeFieldId, int year, int month) {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int left = Sx(20);
    const int top = Sy(24);
    const int bottom = height - Sy(21) - Sy(22);
    if (x < left || x >= width || y < top || y >= bottom) return 0;
    // The background under the previous cursor goes back before the new column is saved.
    if (timeBarBitmap) {
        RestoreRect(timeBarBitmap, timeBarX, 0);
        timeBarBitmap = nullptr;
    }
    timeBarBitmap = SaveRect(Bounds{x, 0, 0, height - 1});
    timeBarX = x;
    const platform::Color previous = SetForeColor(platform::Rgb(155, 0, 0));
    DrawLine(x, Sy(21) + Sy(24), x, height - Sy(24) - Sy(22));
    SetForeColor(previous);

    const float perDay = timeBarPixelsPerDay > 0.0f ? timeBarPixelsPerDay : static_cast<float>(width - left) / 380.0f;
    int day = 1;
    AddDays(&year, &month, &day, static_cast<int>(std::lround((x - left) / perDay)));
    char text[40];
    FormatDate(text, day, month, year);
    SetField(dateFieldId, text);
    if (timeFieldId != 0) SetField(timeFieldId, "00:00");
    return 1;
}
