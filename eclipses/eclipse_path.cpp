#include "eclipses/eclipse_path.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_form.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_state.h"
#include "platform/dialog.h"
#include "platform/gfx_objects.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/place_text.h"
#include "shell/utilities.h"

namespace {

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }

// The night modes are 1 to 3 (the night red, GetNightLevel, is 255 by day too).
bool NightShown() { return preferences.word[pref::nightMode] > 0; }

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// Path lines white by day, red at night; the text in the scheme's colour.
void SetPathColours() {
    SetTextColor(GetForeColor());
    SetForeColor(NightShown() ? platform::Rgb(255, 0, 0) : platform::Rgb(255, 255, 255));
}

// The world map at (x, y), or a frame where the picture was not made at set-up.
void DrawWorldMap(int x, int y, int width, int height) {
    if (DrawBitmap(kEclipseWorldMap, x, y)) return;
    const platform::Color saved = SetForeColor(GetForeColor());
    DrawFrame(Bounds{x, y, width, height});
    SetForeColor(saved);
}

// y of a latitude on a map `height` pixels high.
int MapY(double latitude, int height) { return RoundChecked((90.0 - latitude) * height / 180.0, 0); }

// "hh'mm.t UT"-like instant text of the Path page: minutes with tenths.
void InstantText(char* out, std::size_t size, double hours) {
    const int seconds = RoundChecked(hours * 3600.0, 0);
    const int h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    std::snprintf(out, size, ": %02dh%02d.%d UT", h, m, s * 10 / 60);
}

// One line of the Path page: a word, an instant and the central line's place then.
void DrawPathLine(const char* word, double hours, int x0, int y, int instantX, double deltaT) {
    Text(word, x0 + Sx(1), y);
    char text[40];
    InstantText(text, sizeof text, hours);
    Text(text, x0 + Sx(instantX), y);
    double latitude, longitude, duration, width;
    if (!GetCentralLinePoint(eclipseState.elements, hours, deltaT, &latitude, &longitude, &duration, &width)) return;
    DrawAngleLetter(longitude, 'W', 'E', x0 + Sx(120), y);
    DrawAngleLetter(latitude, 'N', 'S', x0 + Sx(182), y);
}

// The best place's latitude and longitude in degrees and tenths of a minute.
void DrawBestPlace(double latitude, double longitude, int y) {
    Text("Best place", Sx(1), y);
    char magnitude[24], text[32];
    FormatAngleMagnitude(magnitude, sizeof magnitude, latitude);
    std::snprintf(text, sizeof text, "%s %s", magnitude, latitude < 0 ? "S" : "N");
    Text(text, Sx(66), y);
    FormatAngleMagnitude(magnitude, sizeof magnitude, longitude);
    std::snprintf(text, sizeof text, "%s %s", magnitude, longitude < 0 ? "E" : "W");
    Text(text, Sx(131), y);
}

// The bottom of the eclipse list in the form's client coordinates.
int ListBottom() {
    const platform::Window form = GetActiveForm();
    const platform::Window list = platform::GetDialogItem(form, eclipse_form::kList);
    if (!list) return Sy(148);
    return platform::GetRectInParent(list).bottom;
}

// The lunar branch: the half of the Earth that does not see the Moon hatched, and the
// sub-lunar point marked and returned (west positive).
void DrawMoonSide(const EclipseEntry& e, int xm, int ym, double* latitude, double* longitude) {
    double ra, dec;
    MoonPositionAt(MakeSite(0, 0, 0), GetDeltaT(e.year, e.month, e.day), &ra, &dec, e.year, e.month, e.day, e.hour,
                   e.minute, 0);
    const double lst = LocalSiderealTime(e.year, e.month, e.day, e.hour, e.minute, e.second, 0.0, 0);
    const double g = 15.0 * NormalizeHourAngle(lst - ra);
    const int width = Sy(240), height = Sy(120);
    const double sinDec = SineAwayFromZero(std::sin(dec * kDegToRad)), cosDec = std::cos(dec * kDegToRad);
    SetForeColor(NightShown() ? platform::Rgb(153, 0, 0) : platform::Rgb(153, 153, 153));
    const int edge = dec >= 0 ? ym + height : ym;
    for (int i = 0; i < width; ++i) {
        const double lambda = (i * 360.0 / width + g) * kDegToRad;
        const double a = std::atan(-std::cos(lambda) * cosDec / sinDec) / kDegToRad;
        const int boundary = ym + RoundChecked(height * (90.0 + a) / 180.0, dec >= 0 ? height : 0);
        DrawLine(xm + i, edge, xm + i, boundary);
    }
    double west = std::fmod(180.0 - g, 360.0);
    if (west < 0) west += 360.0;
    *latitude = dec;
    *longitude = 180.0 - west;
    const int x = xm + Sy(120) - RoundChecked(Sy(120) * *longitude / 180.0, 0);
    const int y = ym + Sy(60) - RoundChecked(Sy(60) * *latitude / 90.0, 0);
    DrawSymbolIcon(1, 0, x - Sx(4), y - Sy(4));
}

}  // namespace

int ComputeEclipsePath(const BesselElements& elements, double deltaTSeconds, double centralLatitude, int width,
                       int height, EclipsePathLines* lines) {
    lines->count = 0;
    lines->columns = 0;
    double start, end, latitude, a, b, duration, pathWidth;
    if (!GetCentralLineEnds(elements, deltaTSeconds, &start, &end)) return 0;
    if (!GetCentralLinePoint(elements, start + 1.0 / 7200.0, deltaTSeconds, &latitude, &a, &duration, &pathWidth) ||
        !GetCentralLinePoint(elements, end - 1.0 / 7200.0, deltaTSeconds, &latitude, &b, &duration, &pathWidth))
        return 0;
    if (a < b) {
        // The path crosses the 180th meridian; a polar path runs round the whole map.
        if (centralLatitude < -60.0) {
            a = 180.0;
            b = -180.0;
        } else {
            b -= 360.0;
        }
    }
    const int la = ToIntChecked(a, 0), lb = ToIntChecked(b, 0);
    if (la < lb || width < 1) return 0;
    auto add = [lines](int x0, int y0, int x1, int y1) {
        if (lines->count < kMaxPathSegments) lines->segments[lines->count++] = EclipsePathSegment{x0, y0, x1, y1};
    };
    int px = 0, py[3] = {0, 0, 0};
    for (int l = la; l >= lb; l -= 4) {
        int x = ToIntChecked((180.0 - l) / 360.0 * width, 0) % width;
        if (x < 0) x += width;
        int y[3];
        const double magnitude[3] = {0.0, 1.0, 0.0};
        const int side[3] = {-1, -1, 1};
        for (int k = 0; k < 3; ++k)
            y[k] = MapY(GetLimitLatitude(elements, l, magnitude[k], deltaTSeconds, side[k]), height);
        if (lines->columns == 0) {
            add(x, y[0], x, y[2]);
        } else if (std::abs(x - px) < 100) {
            for (int k = 0; k < 3; ++k) add(px, py[k], x, y[k]);
        }
        px = x;
        for (int k = 0; k < 3; ++k) py[k] = y[k];
        ++lines->columns;
    }
    if (lines->columns > 0) add(px, py[0], px, py[2]);
    return lines->count;
}

void DrawEclipsePath() {
    EclipseState& s = eclipseState;
    const int factor = GetDpiFactor();
    const int mapWidth = 120 * factor, mapHeight = 60 * factor;
    const int x0 = (s.formWidth - Sx(240)) / 2, y0 = Sy(37);
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, Sy(24), s.formWidth, s.formHeight - Sy(22) - Sy(24)});
    if (s.selectedRow < 0 || !s.eclipseList || s.selectedRow >= s.eclipseCount) {
        ShowMessage("Please select an eclipse!", "");
        return;
    }
    const EclipseEntry& e = s.eclipseList[s.selectedRow];
    const double deltaT = GetDeltaT(e.year, e.month, e.day);
    SetPathColours();
    char date[40], text[80];
    FormatDate(date, e.day, e.month, e.year);
    std::snprintf(text, sizeof text, "Central Path of %s Sun Eclipse", date);
    Text(text, x0 + 1, Sy(24));
    DrawWorldMap(x0, y0, mapWidth, mapHeight);

    // The three lines carry an instant and a place each: the small font keeps them apart.
    SetFont(2);
    double start, end;
    if (GetCentralLineEnds(s.elements, deltaT, &start, &end)) {
        const int lineY = y0 + Sx(120) + Sy(2);
        DrawPathLine("Start", start + 0.5 / 3600.0, x0, lineY, 40, deltaT);
        DrawPathLine("Greatest", e.hour + e.minute / 60.0 + e.second / 3600.0, x0, lineY + Sy(13), 40, deltaT);
        DrawPathLine("End", end - 0.5 / 3600.0, x0, lineY + 2 * Sy(13), 40, deltaT);
    }

    static EclipsePathLines lines;
    ComputeEclipsePath(s.elements, deltaT, s.centralLatitude, mapWidth, mapHeight, &lines);
    for (int i = 0; i < lines.count; ++i) {
        const EclipsePathSegment& g = lines.segments[i];
        DrawLine(x0 + g.x0, y0 + g.y0, x0 + g.x1, y0 + g.y1);
    }

    // The mark of greatest eclipse, red whatever the scheme.
    const int gx = x0 + RoundChecked((180.0 - s.centralLongitude) / 360.0 * mapWidth, 0);
    const int gy = y0 + MapY(s.centralLatitude, mapHeight);
    const int arm = 5 * factor;
    const platform::Color line = SetForeColor(platform::Rgb(255, 0, 0));
    DrawLine(gx, gy - arm, gx, gy + arm);
    DrawLine(gx - arm, gy, gx + arm, gy);
    SetForeColor(line);

    if (Sy(240) < s.formHeight) {
        const int seconds = ToIntChecked(s.centralDuration, 0);
        std::snprintf(text, sizeof text, "At Greatest time:Central duration: %dm%ds", seconds / 60,
                      ToIntChecked(s.centralDuration + 0.5, 0) % 60);
        Text(text, x0 + Sx(1), y0 + Sx(120) + Sy(2) + 3 * Sy(13));
    }
}

void FormatEclipseSummary(const EclipseEntry& e, bool central, char* out, std::size_t size) {
    const int marker = e.refined < 0 ? 0 : e.refined;
    if (e.kind != 0 && !central) {
        std::snprintf(out, size, "At %02dh%02d'%02dUT No Central Line (%02d'%02d)", e.hour, e.minute, e.second,
                      marker / 60, marker % 60);
        return;
    }
    const int d = e.duration;
    char duration[24];
    if (d < 3600) std::snprintf(duration, sizeof duration, "%02dm%02ds", d / 60, d % 60);
    else std::snprintf(duration, sizeof duration, "%02dh%02dm", d / 3600, d % 3600 / 60);
    std::snprintf(out, size, "At %02dh%02d'%02dUT duration %s(%02d'%02d)", e.hour, e.minute, e.second, duration,
                  marker / 60, marker % 60);
}

int DrawSolarEclipseSummary(EclipseEntry* list, int row, double* latitude, double* longitude, int width,
                            int height) {
    if (!list || row < 0) return 0;
    const int top = ListBottom();
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, top, width, height - top});
    SetFont(0);
    SetTextColor(GetForeColor());
    const EclipseEntry& e = list[row];
    const bool solar = e.kind == 1;
    const bool central = solar && e.type != 2.0 && eclipseState.centralLine;
    char text[96];
    FormatEclipseSummary(e, central, text, sizeof text);
    Text(text, Sx(1), top);
    if (e.kind != 0 && !central) return 1;

    const int xm = width / 2 - Sy(120) + Sx(1), ym = top + Sy(13);
    DrawWorldMap(xm, ym, Sy(240), Sy(120));
    if (solar) {
        const int x = xm + Sy(120) - RoundChecked(Sy(120) * *longitude / 180.0, 0);
        const int y = ym + Sy(60) - RoundChecked(Sy(60) * *latitude / 90.0, 0);
        const int arm = Sx(8);
        const platform::Color saved = SetForeColor(platform::Rgb(255, 0, 0));
        DrawLine(x - arm, y, x + arm, y);
        DrawLine(x, y - arm, x, y + arm);
        SetForeColor(saved);
    } else {
        DrawMoonSide(e, xm, ym, latitude, longitude);
    }
    SetTextColor(GetForeColor());
    DrawBestPlace(*latitude, *longitude, ym + Sy(121));
    return 1;
}
