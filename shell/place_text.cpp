#include "shell/place_text.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "core/settings.h"
#include "shell/fonts.h"

// Degrees and tenths of a minute.
namespace {
constexpr int kTenthsOfMinute = 3;
}  // namespace

void FormatAngleMagnitude(char* out, std::size_t size, double angle) {
    std::int32_t& format = preferences.word[pref::degreeFormat];
    const std::int32_t saved = format;
    format = kTenthsOfMinute;
    DMSToStr(out, size, std::fabs(angle));
    format = saved;
}

void FormatAngleLetter(char* out, double angle, char positiveLetter, char negativeLetter) {
    char text[16];
    FormatAngleMagnitude(text, sizeof text, angle);
    std::snprintf(out, 20, "%s%c", text, angle < 0 ? negativeLetter : positiveLetter);
}

void DrawAngleLetter(double angle, char positiveLetter, char negativeLetter, int x, int y) {
    char text[20];
    FormatAngleLetter(text, angle, positiveLetter, negativeLetter);
    DrawString(text, static_cast<int>(std::strlen(text)), x, y);
}

void TrimBlanks(char* text) {
    char* start = text;
    while (*start == ' ' || *start == '\t') ++start;
    char* end = start + std::strlen(start);
    while (end > start && (end[-1] == ' ' || end[-1] == '\t')) --end;
    *end = '\0';
    if (start != text) std::memmove(text, start, static_cast<std::size_t>(end - start) + 1);
}

bool ParseSiteCoordinate(const char* text, char positiveLetter, char negativeLetter, double limit, double* degrees) {
    if (!text) return false;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    TrimBlanks(buffer);
    int sign = 1;
    std::size_t n = std::strlen(buffer);
    if (n > 0 && std::isalpha(static_cast<unsigned char>(buffer[n - 1]))) {
        const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(buffer[n - 1])));
        if (letter == negativeLetter) sign = -1;
        else if (letter != positiveLetter) return false;
        buffer[n - 1] = '\0';
        TrimBlanks(buffer);
        n = std::strlen(buffer);
        // A letter and a minus sign would contradict each other.
        if (n > 0 && buffer[0] == '-') return false;
    }
    const char* p = buffer;
    if (*p == '-' || *p == '+') {
        if (*p == '-') sign = -sign;
        ++p;
    }
    // Up to three numbers (degrees, minutes, seconds) apart by the separators of the
    // display formats; only the last may carry decimals.
    double parts[3] = {0, 0, 0};
    int count = 0;
    bool fraction = false;
    while (*p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (std::isdigit(c) || c == '.') {
            if (count == 3 || fraction) return false;
            char* end = nullptr;
            const double v = std::strtod(p, &end);
            if (end == p) return false;
            fraction = std::memchr(p, '.', static_cast<std::size_t>(end - p)) != nullptr;
            parts[count++] = v;
            p = end;
            continue;
        }
        const bool separator = c == ' ' || c == '\t' || c == 0xB0 || c == 0xBA || c == '\'' || c == '"' ||
                               c == ':' || c == 'd' || c == 'h' || c == 'm' || c == 's' || c == '*';
        if (!separator) return false;
        ++p;
    }
    if (count == 0) return false;
    if (parts[1] >= 60 || parts[2] >= 60) return false;
    const double value = parts[0] + parts[1] / 60.0 + parts[2] / 3600.0;
    if (!(value <= limit)) return false;
    *degrees = sign * value;
    return true;
}
