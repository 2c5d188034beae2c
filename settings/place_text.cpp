#include "settings/place_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "core/settings.h"
#include "shell/fields.h"
#include "shell/fonts.h"

namespace {

// Degrees and tenths of a minute.
constexpr int kTenthsOfMinute = 3;

// DMSToStr of |angle| in the tenths-of-a-minute format; the user's format is put back.
void FormatMagnitude(char* out, std::size_t size, double angle) {
    std::int32_t& format = preferences.word[pref::degreeFormat];
    const std::int32_t saved = format;
    format = kTenthsOfMinute;
    DMSToStr(out, size, std::fabs(angle));
    format = saved;
}

}  // namespace

void FormatAngleLetter(char* out, double angle, char positiveLetter, char negativeLetter) {
    char text[16];
    FormatMagnitude(text, sizeof text, angle);
    std::snprintf(out, 20, "%s%c", text, angle < 0 ? negativeLetter : positiveLetter);
}

void DrawAngleLetter(double angle, char positiveLetter, char negativeLetter, int x, int y) {
    char text[20];
    FormatAngleLetter(text, angle, positiveLetter, negativeLetter);
    DrawString(text, static_cast<int>(std::strlen(text)), x, y);
}

void ShowPlaceFields(double longitude, double latitude) {
    char magnitude[16], text[24];
    FormatMagnitude(magnitude, sizeof magnitude, latitude);
    std::snprintf(text, sizeof text, "%s %s", magnitude, latitude < 0 ? "S" : "N");
    SetField(kPlaceLatitudeField, text);
    FormatMagnitude(magnitude, sizeof magnitude, longitude);
    std::snprintf(text, sizeof text, "%s %s", magnitude, longitude < 0 ? "E" : "W");
    SetField(kPlaceLongitudeField, text);
}
