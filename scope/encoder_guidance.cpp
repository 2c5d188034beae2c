#include "scope/encoder_guidance.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "core/settings.h"
#include "platform/window.h"
#include "scope/alignment_model.h"
#include "scope/encoder_boxes.h"
#include "scope/serial_port.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

const char* const kEncoderRefreshTexts[kEncoderRefreshRows] = {"Real Time", " 1/4s", " 1/2s", " 1s ",
                                                               " 2s ",      " 3s ",  " 4s "};
const std::uint32_t kEncoderRefreshPeriods[kEncoderRefreshRows] = {125, 250, 500, 1000, 2000, 3000, 4000};

std::uint32_t encoderRefreshIndex = 0;
std::uint32_t encoderRefreshPeriod = 0;

namespace {

constexpr int kRefreshPopup = 2305;
constexpr int kRefreshList = 2304;
constexpr unsigned kFormTimerId = 1;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kTwoPi = 6.283185307179586;

// Design columns and rows of the page.
constexpr int kLeft = 4;
constexpr int kTop = 30;
constexpr int kRow = 14;
constexpr int kColumn1 = 100;
constexpr int kColumn2 = 170;
constexpr int kPageWidth = 232;
constexpr int kPageHeight = 150;

int Sh(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sv(int v) { return static_cast<int>(v * screenScale.vertical); }

void Text(const char* s, int column, int row) {
    DrawString(s, static_cast<int>(std::strlen(s)), Sh(column), Sv(kTop + row * kRow));
}

// A band heading: the title on a bar across the page.
void Band(const char* title, int row, platform::Color bar, platform::Color text) {
    const Bounds r{Sh(kLeft), Sv(kTop + row * kRow), Sh(kPageWidth), Sv(kRow - 1)};
    const platform::Color previous = SetForeColor(bar);
    FillRectangle(r);
    SetForeColor(previous);
    const platform::Color previousText = SetTextColor(text);
    Text(title, kLeft + 2, row);
    SetTextColor(previousText);
}

// Where the GoTo target lies in the mount's own axes, in degrees: the two-star model of
// the target at the clock time (degrees), with the axis-error correction, mirrored on an
// alt-azimuth mount as the model keeps its azimuth.
void TargetMountPosition(double timeDeg, double* firstDeg, double* secondDeg) {
    AlignStar star{};
    star.time = timeDeg;
    star.ra = encoderState.targetRa * 15.0;
    star.dec = encoderState.targetDec;
    SkyToMount(star);
    double first = star.modelAxis1, second = star.modelAxis2;
    if (preferences.word[pref::alignMethod] == 0) {
        const bool altAz = preferences.word[pref::mountType] != 0;
        if (altAz) first = kTwoPi - first;
        MountErrorCorrect(&second, &first);
        if (altAz) first = kTwoPi - first;
    }
    *firstDeg = first * kRadToDeg;
    *secondDeg = second * kRadToDeg;
}

}  // namespace

double WrapAzimuthDifference(double degrees) {
    if (std::fabs(degrees) > 180.0) degrees += degrees > 0 ? -360.0 : 360.0;
    return degrees;
}

void SetScopeRefreshTimer() {
    const int row = GetListSelection(kRefreshList);
    if (row < 0 || row >= kEncoderRefreshRows) return;
    encoderRefreshIndex = static_cast<std::uint32_t>(row);
    SetPopupList(kRefreshPopup, kRefreshList, row);
    encoderRefreshPeriod = kEncoderRefreshPeriods[row];
    const platform::Window form = GetActiveForm();
    platform::KillTimer(form, kFormTimerId);
    platform::SetTimer(form, kFormTimerId, encoderRefreshPeriod);
}

void DrawEncoderInfo() {
    if (!EncoderConnect()) return;
    const bool night = preferences.word[pref::nightMode] != 0;
    const platform::Color background = night ? platform::Rgb(0, 0, 0) : GetBackColor();
    const platform::Color ink = night ? platform::Rgb(GetNightLevel(), 0, 0) : GetForeColor();
    const platform::Color bar = night ? platform::Rgb(GetNightLevel() / 3, 0, 0) : platform::Rgb(200, 200, 200);

    const platform::Color previousFore = SetForeColor(background);
    FillRectangle(Bounds{Sh(kLeft), Sv(kTop + kRow), Sh(kPageWidth), Sv(kPageHeight)});
    FillRectangle(Bounds{Sh(kLeft), Sv(kTop), Sh(kColumn1 - kLeft - 4), Sv(kRow)});
    SetForeColor(previousFore);
    const platform::Color previousText = SetTextColor(ink);
    const int previousTransparent = SetTextTransparent(1);

    char a[48], b[48];
    Text("Refresh Rate", kLeft, 0);
    int hour = 0, minute = 0, second = 0;
    GetLocalDateTime(nullptr, nullptr, nullptr, &hour, &minute, &second);
    std::snprintf(a, sizeof a, "%02d:%02d:%02d", hour, minute, second);
    const double timeDeg = HmsStrToDeg(a);
    Text("Time", kLeft, 1);
    Text(a, kColumn1 - 20, 1);
    Text(DMSToStr(b, sizeof b, timeDeg), kColumn2 - 10, 1);

    double az = 0.0, alt = 0.0;
    std::int32_t rawAz = 0, rawAlt = 0;
    if (EncoderQueryAltAz(&az, &alt, &rawAz, &rawAlt)) {
        Band("Encoder Informations", 2, bar, ink);
        Text("Encoder positions", kLeft, 3);
        std::snprintf(a, sizeof a, "%d", rawAz);
        std::snprintf(b, sizeof b, "%d", rawAlt);
        Text(a, kColumn1 + 20, 3);
        Text(b, kColumn2 + 10, 3);
        Band("Current Scope Position", 4, bar, ink);
        Text("Hor & Elv", kLeft, 5);
        Text(DMSToStr(a, sizeof a, az), kColumn1 - 10, 5);
        Text(DMSToStr(b, sizeof b, alt), kColumn2, 5);
        if (IsAligned()) {
            double targetAz = 0.0, targetAlt = 0.0;
            TargetMountPosition(timeDeg, &targetAz, &targetAlt);
            Band("Target Scope Position", 6, bar, ink);
            Text("Hor & Elv", kLeft, 7);
            Text(DMSToStr(a, sizeof a, targetAz), kColumn1 - 10, 7);
            Text(DMSToStr(b, sizeof b, targetAlt), kColumn2, 7);
            const double dAz = WrapAzimuthDifference(az - targetAz);
            const double dAlt = alt - targetAlt;
            Text("Delta Hor & Elv", kLeft, 8);
            Text(DMSToStr(a, sizeof a, dAz), kColumn1 - 10, 8);
            Text(DMSToStr(b, sizeof b, dAlt), kColumn2, 8);
            if (telescopeEmulation) {
                const auto resolution = [](int word) { return std::abs(preferences.word[word]); };
                encoderState.azStep = static_cast<std::int32_t>(resolution(pref::encoderStepsAz) * dAz / 360.0);
                encoderState.altStep = static_cast<std::int32_t>(resolution(pref::encoderStepsAlt) * dAlt / 360.0);
            }
        }
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    platform::MarkScreenChanged();
    platform::PresentScreen();
}
