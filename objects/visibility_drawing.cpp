#include "objects/visibility_drawing.h"

#include <cstring>

#include "core/settings.h"
#include "objects/visibility.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"

namespace {

using platform::Color;
using platform::Rgb;

// The grade bitmaps have a white background, left out when they are drawn (5-5-5 white).
constexpr std::uint32_t kGradeKeyColour = 0x7FFF;
constexpr int kWordFont = 4;
constexpr int kInitialsFont = 2;
constexpr const char* kMonthInitials = "JFMAMJJASOND";
constexpr int kDaysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool Night() { return preferences.word[pref::nightMode] != 0; }

}  // namespace

void DrawDifficultyScale(int buttonId, double margin) {
    const platform::Window form = GetActiveForm();
    const platform::Window button = platform::GetDialogItem(form, static_cast<std::uint16_t>(buttonId));
    const int grade = VisibilityGrade(margin);
    SetButtonIcon(form, buttonId, VisibilityGradeBitmap(grade, Night()), 1, kGradeKeyColour);
    if (!button) return;

    const platform::Rect r = platform::GetRectInParent(button);
    const int sx = static_cast<int>(screenScale.horizontal);
    const int sy = static_cast<int>(screenScale.vertical);
    const Bounds band{r.left - 5 * sx, r.bottom - sy, r.Width() + 10 * sx, 15 * sy};
    FillRectangle(band);

    const char* word = VisibilityGradeWord(grade);
    const int length = static_cast<int>(std::strlen(word));
    const int previousFont = SetFont(kWordFont);
    const Color previousText = SetTextColor(Night() ? GetForeColor() : Rgb(0, 0, 0));
    const int width = CharsWidth(word, length);
    DrawStringNoFont(word, length, band.x + (band.width - width) / 2, band.y + sy);
    SetTextColor(previousText);
    SetFont(previousFont);
}

void DrawBestPeriodBar(int x, int y, int width, int height, int year, double ra, double dec, int month, int day) {
    const bool night = Night();
    const Color frame = night ? Rgb(GetNightLevel(), 0, 0) : Rgb(255, 255, 180);
    const Color filled = night ? Rgb(GetNightLevel() - 51, 0, 0) : Rgb(249, 210, 20);
    const int cell = (width - 13) / 12;
    const double horizon = GetHorizonAltitude();

    const Color caller = SetForeColor(frame);
    DrawRectangle(Bounds{x, y, width, height}, 0);

    const int previousFont = SetFont(kInitialsFont);
    const Color previousText = SetTextColor(Rgb(0, 0, 0));
    for (int m = 1; m <= 12; ++m) {
        const int cx = x + 1 + (m - 1) * (cell + 1);
        if (BestPeriodMonthFilled(observerLocation, year, m, ra, dec, horizon)) {
            SetForeColor(filled);
            DrawRectangle(Bounds{cx, y + 1, cell, height - 2}, 0);
        }
        const char* initial = kMonthInitials + (m - 1);
        DrawStringNoFont(initial, 1, cx + (cell - CharsWidth(initial, 1)) / 2, y + 1);
        if (m < 12) {
            SetForeColor(night ? Rgb(0, 0, 0) : Rgb(128, 128, 128));
            DrawLine(cx + cell, y + 1, cx + cell, y + height - 2);
        }
    }
    SetTextColor(previousText);
    SetFont(previousFont);

    if (month >= 1 && month <= 12) {
        const int days = kDaysInMonth[month - 1];
        const int mx = x + 1 + (month - 1) * (cell + 1) + (day - 1) * cell / days;
        SetForeColor(Rgb(200, 0, 0));
        DrawLine(mx, y, mx, y + height - 1);
    }
    SetForeColor(caller);
}
