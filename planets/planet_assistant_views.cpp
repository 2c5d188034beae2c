#include "planets/planet_assistant_views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "astro/planet_positions.h"
#include "astro/planetary_theory.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/constellations.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_records.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "eclipses/event_list.h"
#include "eclipses/event_search.h"
#include "planets/planet_assistant.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/list_views.h"
#include "shell/time_bar.h"
#include "shell/utilities.h"

using namespace planet_assistant;
using platform::Color;

namespace {

int Sx(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sy(int v) { return static_cast<int>(v * screenScale.vertical); }
int Hs() { return std::max(1, static_cast<int>(screenScale.horizontal)); }
bool Night() { return preferences.word[pref::nightMode] != 0; }
// Colours in the night palette when night mode is on.
Color C(int r, int g, int b) { return NightColour(platform::Rgb(r, g, b)); }
PlanetFormState& S() { return planetFormState; }

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }
int Width(const char* text) { return CharsWidth(text, static_cast<int>(std::strlen(text))); }
void TextRight(const char* text, int right, int y) { Text(text, right - Width(text), y); }

constexpr double kPi = 3.141592653589793;
constexpr double kDeg = kPi / 180.0;

// A body's planet symbol centred on (x, y). The icon copy leaves out an icon that would
// start left of or above the target, so one at the left or top edge is moved in to show
// whole.
void DrawBodySymbol(int body, int x, int y) {
    const int half = symbolStrip.half > 0 ? symbolStrip.half : Sx(9);
    DrawSymbolIcon(body, 0, std::max(x, half), std::max(y, half));
}

// A body's planet symbol centred on (x, y) and its name beside it in `colour`.
void DrawBody(int body, int x, int y, Color colour) {
    DrawBodySymbol(body, x, y);
    SetTextColor(colour);
    Text(bodyNames[body], x + Sx(8), y - Sy(6));
}

// The declinations either side of the equator that the ecliptic strip shows.
constexpr int kEclipticBand = 40;

// The Moon's phase picture for the form's date centred on (x, y), or its symbol when there
// is no picture. The chart's own Moon icon (for the observing time) is left as it was.
void DrawMoonPicture(int x, int y) {
    const PlanetFormState& s = S();
    const MoonBlock chartMoon = moonBlock;
    const int bitmap = GetMoonPhaseBitmap(s.year, s.month, s.day, s.hour);
    moonBlock = chartMoon;
    if (!DrawBitmapMasked(bitmap, x - Sx(8), y - Sy(8))) DrawBodySymbol(kBodyMoon, x, y);
}

// The ecliptic strip's table: a symbol, the name, the right ascension and the declination
// of each body, under the headings on tall forms.
void DrawEclipticTable(const EclipticLayout& layout, const BodyRecord* records, int width) {
    const int raRight = Sx(170), decRight = width - Sx(4);
    const int textOffset = std::max(0, (layout.rowHeight - Sy(12)) / 2);
    if (layout.headings) {
        Text("Planet", Sx(35), layout.headingY);
        TextRight("RA", raRight, layout.headingY);
        TextRight("Dec", decRight, layout.headingY);
    }
    char text[32];
    for (int body = kBodySun; body <= kBodyPluto; ++body) {
        const int y = layout.firstRowY + body * layout.rowHeight;
        DrawBodySymbol(body, Sx(20), y + layout.rowHeight / 2);
        Text(bodyNames[body], Sx(35), y + textOffset);
        TextRight(HMSToStr(text, sizeof text, records[body].rightAscension), raRight, y + textOffset);
        TextRight(DMSToStr(text, sizeof text, records[body].declination), decRight, y + textOffset);
    }
}

// The body's place (ra hours, dec degrees) at the form's instant from the mean elements.
void OrbitPlaces(int year, int month, int day, int hour, int minute, float places[kOrbitBodyCount][3],
                 float equatorial[kOrbitBodyCount][2], int mode) {
    PlanetOrbitPosition(year, month, day, hour, minute, observerLocation.zoneMinutes, places, equatorial, mode, 2, 10);
}

SelectionRecord skyRecords[60];
int skyRecordCount = 0;

}  // namespace

Bounds PlanetDrawingArea() {
    const PlanetFormState& s = S();
    const int width = s.width > 0 ? s.width : Sx(240);
    const int height = s.height > 0 ? s.height : Sy(320);
    return Bounds{0, Sy(24), width, height - Sy(22) - Sy(24)};
}

int DrawSunView() {
    const PlanetFormState& s = S();
    const Bounds area = PlanetDrawingArea();
    SetForeColor(Night() ? C(0, 0, 0) : C(238, 238, 255));
    DrawRectangle(area, 0);
    const int cx = area.x + area.width / 2, cy = area.y + area.height / 2;
    const int level = GetNightLevel();
    const Color line = Night() ? C(level, 0, 0) : C(0, 0, 150);
    const Color text = Night() ? C(std::max(1, level - 10), 0, 0) : C(0, 0, 0);
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(text);
    const int k = Hs();
    float places[kOrbitBodyCount][3] = {}, equatorial[kOrbitBodyCount][2] = {};
    OrbitPlaces(s.year, s.month, s.day, 0, 0, places, equatorial, kOrbitViewDrawing);

    // Wrapped in the box left of the centre, clear of the "0\xB0" label above it.
    const int previousFont = SetFont(2);
    DrawTextInBox("Heliocentric planet positions for the next 30 days.", Sx(2), area.y + 2, cx - 10, area.height / 2);
    SetFont(previousFont);
    Text("0\xB0", cx - Sx(4), area.y + Sy(14));
    Text("90\xB0", 0, cy);
    TextRight("270\xB0", area.x + area.width, cy);
    Text("180\xB0", cx - Sx(4), area.y + area.height - Sy(14));
    SetForeColor(line);
    for (int body : {kBodyMercury, kBodyVenus, kBodyMars, kBodyEarth}) {
        const double r = std::hypot(places[body][0] * k, places[body][1] * k);
        DrawCircle(cx, cy, static_cast<int>(r));
    }
    // Every second day of the next 30: a dot per inner planet, and a line to the Sun on
    // the first and the last.
    int dots = 0;
    for (int d = 0; d <= 28; d += 2) {
        OrbitPlaces(s.year, s.month, s.day + d, 0, 0, places, equatorial, kOrbitViewDrawing);
        for (int body : {kBodyMercury, kBodyVenus, kBodyMars}) {
            const int x = cx + static_cast<int>(k * places[body][0]), y = cy + static_cast<int>(k * places[body][1]);
            DrawRectangle(Bounds{x - 1, y - 1, 2, 2}, 0);
            ++dots;
            if (d == 0 || d == 28) DrawLineColor(x, y, cx, cy, line);
        }
    }
    OrbitPlaces(s.year, s.month, s.day, 0, 0, places, equatorial, kOrbitViewDrawing);
    DrawBodySymbol(kBodySun, cx, cy);
    for (int body = kBodyMercury; body <= kBodyEarth; ++body)
        DrawBody(body, cx + static_cast<int>(k * places[body][0]), cy + static_cast<int>(k * places[body][1]), text);
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
    return dots;
}

void DrawPlanetTable(int view) {
    const PlanetFormState& s = S();
    const Bounds area = PlanetDrawingArea();
    const ObserverLocation& site = observerLocation;
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(C(255, 255, 255));
    const int previousFont = SetFont(0);
    // Two lines a row under two lines of headings.
    const int line = Sy(12);
    const int rowHeight = 2 * line;
    const double lst = LocalSiderealTime(s.year, s.month, s.day, s.hour, s.minute, 0, site.longitude, site.zoneMinutes);
    const double jd = DateTimeToJD(s.year, s.month, s.day, s.hour, s.minute, 0, site.zoneMinutes);
    static const char* const kHeads[3][7] = {{"RA", "Dec", "Az ", "Alt ", "eLon", "eLat", "Cnst"},
                                             {"RA", "Dec", "Mag", "Diam", "Dist", "Phase", "Elon"},
                                             {"Rise", "Transit", "Set", "", "", "", ""}};
    const int table = view == kPosition ? 0 : view == kInfo ? 1 : 2;
    const int top = area.y + (table == 2 ? 1 : 2) * line;
    const int columns = table == 2 ? 3 : 7;
    const int nameWidth = Sx(50);
    const int columnWidth = (area.width - nameWidth) / (table == 2 ? 3 : 4);
    for (int body = 0; body <= kBodyPluto; ++body) {
        const int y = top + body * rowHeight;
        if (y + rowHeight > area.y + area.height) break;
        SetForeColor(body % 2 == 0 ? C(41, 41, 140) : C(21, 21, 120));
        DrawRectangle(Bounds{0, y, area.width, rowHeight}, 0);
        BodyRecord r{};
        ComputePlanet(&r, body, s.year, s.month, s.day, s.hour, s.minute, 0);
        DrawBodySymbol(body, Sx(9), y + rowHeight / 2);
        Text(bodyNames[body], Sx(19), y);
        char cells[7][24] = {};
        char text[32];
        auto trimmed = [&](char* out, const char* from) {
            std::snprintf(out, 24, "%s", from);
            const int n = static_cast<int>(std::strlen(out));
            if (n > 3) out[n - 3] = '\0';
        };
        if (table == 0 || table == 1) {
            trimmed(cells[0], HMSToStr(text, sizeof text, r.rightAscension));
            trimmed(cells[1], DMSToStr(text, sizeof text, r.declination));
        }
        if (table == 0) {
            trimmed(cells[2], DMSToStr(text, sizeof text, ComputeAzimuth(lst, r.rightAscension, r.declination,
                                                                          site.latitude)));
            trimmed(cells[3], DMSToStr(text, sizeof text, ComputeAltitude(lst, r.rightAscension, r.declination,
                                                                           site.latitude)));
            std::snprintf(cells[4], 24, "%.1f", r.eclipticLongitude);
            std::snprintf(cells[5], 24, "%.1f", r.eclipticLatitude);
            const int c = FindConstellation(r.rightAscension, r.declination, jd);
            std::snprintf(cells[6], 24, "%s", c >= 0 && c < kConstellationCount ? ConstellationTable[c].abbreviation : "");
        } else if (table == 1) {
            std::snprintf(cells[2], 24, "%.1f", r.magnitude);
            if (body <= kBodyMoon)
                std::snprintf(cells[3], 24, "%d.%d'", static_cast<int>(r.diameter),
                              static_cast<int>(r.diameter * 10) % 10);
            else
                std::snprintf(cells[3], 24, "%d''", static_cast<int>(r.diameter * 60 + 0.5));
            if (body == kBodyMoon) std::snprintf(cells[4], 24, "-");
            else std::snprintf(cells[4], 24, "%.1f", r.distance);
            if (body == kBodySun) std::snprintf(cells[5], 24, "-");
            else std::snprintf(cells[5], 24, "%d%%", static_cast<int>(r.illuminatedFraction * 100 + 0.5));
            if (body <= kBodyMoon) std::snprintf(cells[6], 24, "-");
            else std::snprintf(cells[6], 24, "%d\xB0", static_cast<int>(r.elongation + 0.5));
        } else {
            double rise = 0, transit = 0, set = 0;
            ComputeRiseSet(s.year, s.month, s.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                           GetHorizonAltitude(), r.rightAscension, r.declination, &rise, &transit, &set);
            const double times[3] = {rise, transit, set};
            for (int i = 0; i < 3; ++i) {
                const int minutes = static_cast<int>(std::lround(times[i] * 60));
                std::snprintf(cells[i], 24, "%02dh%02d", (minutes / 60) % 24, minutes % 60);
            }
        }
        // Two lines a row: the first columns, then the rest.
        for (int c = 0; c < columns; ++c) {
            const int row = table == 2 ? 0 : c / 4;
            const int col = table == 2 ? c : c % 4;
            const int right = nameWidth + (col + 1) * columnWidth;
            if (body == 0) TextRight(kHeads[table][c], right, area.y + row * line);
            TextRight(cells[c], right, y + row * line);
        }
    }
    SetFont(previousFont);
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
}

EclipticLayout PlanetEclipticLayout() {
    const PlanetFormState& s = S();
    const Bounds area = PlanetDrawingArea();
    const int height = s.height > 0 ? s.height : Sy(320);
    EclipticLayout l{};
    // The vertical scale in whole sixtieths.
    l.perDegree = std::max(1.0, std::floor(screenScale.vertical * 60)) / 60;
    const int half = static_cast<int>(kEclipticBand * l.perDegree);
    const int margin = Sy(4);
    // The ticks and hour labels under the strip.
    const int axis = Sy(16);
    l.headings = height > Sy(320);
    l.rows = height > Sy(240);
    const int line = Sy(12);
    const int top = area.y + Sy(2);
    if (!l.rows) {
        l.centreY = area.y + area.height / 2;
        return l;
    }
    // Ten rows of at most 16 layout pixels in what the strip leaves free.
    const int free = area.height - Sy(2) - (margin + 2 * half + axis) - (l.headings ? line : 0);
    l.rowHeight = std::clamp(free / 10, std::max(1, Sy(10)), Sy(16));
    if (l.headings) {
        // The table with its headings first, the strip under it.
        l.headingY = top;
        l.firstRowY = top + line;
        l.centreY = l.firstRowY + 10 * l.rowHeight + margin + half;
    } else {
        l.centreY = top + margin + half;
        l.firstRowY = l.centreY + half + axis;
        l.headingY = l.firstRowY;
    }
    return l;
}

void DrawEclipticView() {
    PlanetFormState& s = S();
    const Bounds area = PlanetDrawingArea();
    const EclipticLayout layout = PlanetEclipticLayout();
    // The strip takes the sky chart's colours, so that the chart's star dots (drawn for its
    // background) sit on the background they were made for.
    const Color background = RGBToColorRef(chartBackgroundColor);
    const Color textColour = RGBToColorRef(chartColors[0]);
    const Color grid = RGBToColorRef(chartColors[3]);
    const Color lines = RGBToColorRef(chartColors[4]);
    const Color ecliptic = RGBToColorRef(chartColors[5]);
    SetForeColor(background);
    DrawRectangle(area, 0);
    char text[40];
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour % 100, s.minute % 100);
    SetField(kTime, text);
    const double jd = DateTimeToJD(s.year, s.month, s.day, s.hour, s.minute, 0, observerLocation.zoneMinutes);
    const double eps = GetMeanObliquity((jd - 2451545.0) / 36525.0) * kDeg;
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(textColour);
    const int width = area.width;
    auto xOf = [&](double ra) { return area.x + static_cast<int>(std::floor((24 - ra) * width / 24)); };
    auto yOf = [&](double dec) { return layout.centreY - static_cast<int>(dec * layout.perDegree); };
    for (int dec : {0, 20, -20}) {
        DrawLineColor(area.x, yOf(dec), area.x + width, yOf(dec), grid);
        std::snprintf(text, sizeof text, "%d\xB0", dec);
        Text(text, area.x + 1, yOf(dec) - Sy(12));
    }
    const int axis = yOf(-kEclipticBand);
    for (int k = 0; k < 24; ++k) {
        const int x = width * k / 24;
        DrawLineColor(x, axis, x, axis + (k % 6 == 0 ? 5 : 2), grid);
        if (k % 6 == 0) {
            std::snprintf(text, sizeof text, "%dh", 24 - k);
            Text(text, x + 1, axis + 2);
        }
    }
    DrawLineColor(width - 1, axis, width - 1, axis + 5, grid);
    Text("0h", width - Width("0h") - 1, axis + 2);
    // The ecliptic.
    int lastX = 0, lastY = 0;
    for (int l = 1; l <= 361; l += 15) {
        const double lambda = l * kDeg;
        double ra = std::atan2(std::sin(lambda) * std::cos(eps), std::cos(lambda)) * 12 / kPi;
        if (ra < 0) ra += 24;
        const double dec = std::asin(std::sin(lambda) * std::sin(eps)) / kDeg;
        const int x = xOf(ra), y = yOf(dec);
        if (l > 1 && std::abs(x - lastX) < Sx(120)) DrawLineColor(lastX, lastY, x, y, ecliptic);
        lastX = x, lastY = y;
    }
    // The default stars of the band and the constellation lines between them; a line
    // whose ends lie either side of 0 h would cross the whole strip and is left out.
    if (!s.eclipticStarsLoaded) {
        LoadStarTable(0);
        LoadConstellationLines(ChartSetting(chartpref::constLineSet) != 0 ? 1 : 0);
        s.eclipticStarsLoaded = true;
    }
    const StarRecord* stars = BrightStars();
    const int starCount = stars ? GetStarTableCount() : 0;
    auto starPlace = [&](const StarRecord& star, int* x, int* y) {
        const double dec = star.word[starword::dec] / kDegreesToFixed;
        if (std::fabs(dec) > kEclipticBand) return false;
        *x = xOf(star.word[starword::ra] / kHoursToFixed), *y = yOf(dec);
        return true;
    };
    for (const ConstellationLine& line : constellationLines) {
        const int a = line.value[1], b = line.value[2];
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (a < 0 || b < 0 || a >= starCount || b >= starCount) continue;
        if (!starPlace(stars[a], &x1, &y1) || !starPlace(stars[b], &x2, &y2) || std::abs(x1 - x2) > width / 2)
            continue;
        DrawLineColor(x1, y1, x2, y2, lines);
    }
    const int plus = GetDpiFactor() == 1 ? 1 : 0;
    for (int i = 0; i < starCount; ++i) {
        int x = 0, y = 0;
        if (starPlace(stars[i], &x, &y)) DrawStar(nullptr, 0, (stars[i].Half(6) >> 4) + plus, stars[i].Half(7), x, y);
    }

    BodyRecord records[kBodyPluto + 1] = {};
    for (int body = kBodySun; body <= kBodyPluto; ++body)
        ComputePlanet(&records[body], body, s.year, s.month, s.day, s.hour, s.minute, 0);
    static constexpr int kOrder[10] = {kBodyPluto, kBodyNeptune, kBodyUranus,  kBodySaturn, kBodyJupiter,
                                       kBodyMars,  kBodySun,     kBodyMercury, kBodyVenus,  kBodyMoon};
    for (int body : kOrder) {
        const int x = xOf(records[body].rightAscension), y = yOf(records[body].declination);
        if (body == kBodyMoon) DrawMoonPicture(x, y);
        else DrawBodySymbol(body, x, y);
        Text(bodyNames[body], x + Sx(8), y - Sy(6));
    }
    if (layout.rows) DrawEclipticTable(layout, records, width);
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
}

void SkyPathBodies(int stepIndex, int* first, int* last) {
    if (stepIndex < 3) *first = kBodyMercury, *last = kBodyMars;
    else if (stepIndex < 6) *first = kBodyMars, *last = kBodySaturn;
    else *first = kBodyJupiter, *last = kBodyPluto;
}

SelectionRecord* PlanetSkyRecords(int* count) {
    *count = skyRecordCount;
    return skyRecords;
}

int DrawPlanetSkyView() {
    PlanetFormState& s = S();
    const PlanetFormSettings& f = planetFormSettings;
    int first = 0, last = 0;
    SkyPathBodies(f.stepIndex, &first, &last);
    int count = 0;
    auto add = [&](int body, float ra, float dec, const char* label, double jd) {
        if (count >= 60) return;
        SelectionRecord& r = skyRecords[count++];
        r = SelectionRecord{};
        // Labels hold 14 characters: longer ones are cut.
        const std::size_t n = std::min(std::strlen(label), sizeof r.label - 1);
        std::memcpy(r.label, label, n);
        r.label[n] = '\0';
        r.objectNumber = body;
        r.typeCode = 27;
        r.rightAscension = ra;
        r.declination = dec;
        r.constellation = static_cast<std::int16_t>(FindConstellation(ra, dec, jd));
        r.magnitude10 = 0;
    };
    float places[kOrbitBodyCount][3] = {}, equatorial[kOrbitBodyCount][2] = {};
    int y = s.year, m = s.month, d = s.day;
    double jd = DateTimeToJD(y, m, d, 0, 0, 0, observerLocation.zoneMinutes);
    OrbitPlaces(y, m, d, 0, 0, places, equatorial, -1);
    char label[40];
    for (int body = kBodyMercury; body <= kBodyPluto; ++body) {
        std::snprintf(label, sizeof label, "%s %02d/%02d", bodyNames[body], m, d);
        add(body, equatorial[body][0], equatorial[body][1], label, jd);
    }
    for (int k = 0; k < 10; ++k) {
        AddDays(&y, &m, &d, kPlanetStepDays[f.stepIndex]);
        jd = DateTimeToJD(y, m, d, 0, 0, 0, observerLocation.zoneMinutes);
        OrbitPlaces(y, m, d, 0, 0, places, equatorial, -1);
        char date[40];
        FormatDate(date, d, m, y);
        for (int body = first; body <= last; ++body) {
            std::snprintf(label, sizeof label, "%s %.5s", bodyNames[body], date);
            add(body, equatorial[body][0], equatorial[body][1], label, jd);
        }
    }
    skyRecordCount = count;
    SetSkyDateTime(nullptr, s.year, s.month, s.day, s.hour, s.minute);
    ProjectObjects(skyRecords, count);
    if (s.skyAzimuth == 0.0f && s.skyAltitude == 0.0f) {
        const SelectionRecord& centre = skyRecords[s.tappedRecord >= 0 && s.tappedRecord < count ? s.tappedRecord : 0];
        const ObserverLocation& site = observerLocation;
        const double lst =
            LocalSiderealTime(s.year, s.month, s.day, s.hour, s.minute, 0, site.longitude, site.zoneMinutes);
        s.skyAzimuth = static_cast<float>(ComputeAzimuth(lst, centre.rightAscension, centre.declination, site.latitude));
        s.skyAltitude =
            static_cast<float>(ComputeAltitude(lst, centre.rightAscension, centre.declination, site.latitude));
    }
    // As the chart does for its zoom: the label fonts of the zoom, and the faint-star level
    // of the "Card Catalog" setting (the zoom decides only the faintest magnitude drawn).
    SetChartFontSizes(f.zoomIndex);
    if (ChartSetting(chartpref::cardCatalog) != 0) SelectStarCatalogLevel(kStarLookupChart);
    DrawSkyView(skyRecords, count, PlanetDrawingArea(), nullptr, f.zoomIndex, s.skyAzimuth, s.skyAltitude, 1);
    return count;
}

void DrawPlanetCharts(int year, int month, int quantity) {
    const PlanetFormState& s = S();
    const Bounds area = PlanetDrawingArea();
    SetForeColor(Night() ? C(0, 0, 0) : C(102, 102, 153));
    DrawRectangle(area, 0);
    const Color kDay[5] = {C(0, 255, 255), C(255, 255, 0), C(255, 0, 0), C(255, 0, 255),
                                  C(235, 235, 235)};
    const Color kNight[5] = {C(255, 0, 0), C(203, 0, 0), C(153, 0, 0), C(103, 0, 0), C(53, 0, 0)};
    const Color* colours = Night() ? kNight : kDay;
    const int previousTransparent = SetTextTransparent(1);
    const Color previousText = SetTextColor(C(255, 255, 255));
    for (int i = 0; i < 4; ++i) {
        const int x = Sx(2) + i * Sx(49);
        DrawBodySymbol(kBodyMercury + i, x + Sx(7), area.y + 1 + Sy(6));
        SetTextColor(colours[i]);
        Text(bodyNames[kBodyMercury + i], x + Sx(13), area.y + 1);
    }
    struct Axis {
        int low, high, step;
        const char* unit;
    };
    static constexpr Axis kAxes[5] = {{0, 190, 20, "\xB0"}, {0, 75, 10, "''"}, {-5, 9, 2, " "}, {0, 105, 10, "%"},
                                      {-90, 90, 30, "\xB0"}};
    const Axis& axis = kAxes[std::clamp(quantity, 0, 4)];
    const int top = area.y + Sy(14), bottom = area.y + area.height - Sy(14);
    const double perUnit = static_cast<double>(bottom - top) / (axis.high - axis.low);
    auto yOf = [&](double v) { return bottom - static_cast<int>((v - axis.low) * perUnit); };
    const Color grid = Night() ? C(60, 0, 0) : C(140, 140, 190);
    SetTextColor(C(255, 255, 255));
    char text[24];
    for (int v = axis.low; v <= axis.high; v += axis.step) {
        DrawLineColor(area.x, yOf(v), area.x + area.width, yOf(v), grid);
        std::snprintf(text, sizeof text, "%d%s", v, axis.unit);
        Text(text, area.x + 1, yOf(v) - Sy(12));
    }
    const int left = Sx(20);
    const double scale = static_cast<double>(area.width - left) / 380;
    timeBar.pixelsPerDay = static_cast<float>(scale);
    timeBar.drawWidth = area.width;
    timeBar.drawHeight = area.y + area.height + Sy(22);
    static constexpr const char* kInitials = "JFMAMJJASOND";
    for (int d = 0, months = 0; d <= 382; ++d) {
        if (d % 30 != 0) continue;
        const int x = left + static_cast<int>(d * scale);
        const char initial[2] = {kInitials[(month - 1 + months) % 12], 0};
        Text(initial, x, bottom);
        if ((month - 1 + months) % 12 == 0 && months > 0) DrawLineColor(x, top, x, bottom, grid);
        ++months;
    }
    const ObserverLocation& site = observerLocation;
    int previousX[5] = {}, previousY[5] = {};
    bool started[5] = {};
    int lastSample = -1000;
    const int gap = quantity == 4 ? 4 : 2;
    for (int d = 0; d <= 382; ++d) {
        const int x = left + static_cast<int>(d * scale);
        if (x - lastSample < gap) continue;
        lastSample = x;
        int y0 = year, m0 = month, d0 = 1;
        AddDays(&y0, &m0, &d0, d);
        float places[kOrbitBodyCount][3] = {}, equatorial[kOrbitBodyCount][2] = {};
        PlanetOrbitPosition(y0, m0, d0, s.hour, s.minute, site.zoneMinutes, places, equatorial, kOrbitDistances,
                            kBodyMercury, kBodyEarth);
        const double lst = quantity == 4 ? LocalSiderealTime(y0, m0, d0, s.hour, s.minute, 0, site.longitude,
                                                             site.zoneMinutes)
                                         : 0.0;
        for (int i = 0; i < 5; ++i) {
            if (i > 0 && x % 3 != 0) continue;
            const int body = kBodyMercury + i;
            double magnitude = 0, fraction = 1, elongation = 0;
            PlanetPhase(body, places[body][0], places[body][1], places[body][2], &magnitude, &fraction, &elongation);
            double value = 0;
            switch (quantity) {
            case 0: value = elongation; break;
            case 1: value = ApparentDiameter(body, places[body][0]) * 60; break;
            case 2: value = magnitude; break;
            case 3: value = fraction * 100; break;
            default: value = ComputeAltitude(lst, equatorial[body][0], equatorial[body][1], site.latitude); break;
            }
            const int py = std::clamp(yOf(value), top, bottom);
            // While a key is held (the date stepping on) the curves are left out.
            if (started[i] && !IsNavKeyDown()) DrawLineColor(previousX[i], previousY[i], x, py, colours[i]);
            previousX[i] = x, previousY[i] = py, started[i] = true;
        }
    }
    SetTextColor(previousText);
    SetTextTransparent(previousTransparent);
}

void SearchEvents() {
    const PlanetFormState& s = S();
    eventList.filter = s.filter;
    eventList.viewWidth = PlanetDrawingArea().width;
    if (eventList.count == 0) SearchEventPeriod(s.year, s.month, s.day, kEventPeriodDays[std::clamp(s.period, 0, 3)]);
    SortEvents();
}

void DrawPlanetEventList(int row) {
    PlanetFormState& s = S();
    const int index = row + FindFirstFilteredEvent();
    if (row < 0 || !eventList.records || index >= eventList.count) return;
    const EventRecord& e = eventList.records[index];
    s.year = e.year, s.month = e.month, s.day = e.day, s.hour = e.hour, s.minute = e.minute;
    char text[40];
    FormatDate(text, s.day, s.month, s.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour % 100, s.minute % 100);
    SetField(kTime, text);
    const Bounds area = PlanetDrawingArea();
    const int rowStep = Sy(13 + 5);
    // Three rows of 13 + 5 layout pixels above the bottom bar.
    const int top = area.y + area.height + Sy(22) - Sy(22 + 3 * (13 + 5));
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, top, area.width, 3 * rowStep});
    const ObserverLocation& site = observerLocation;
    const float mark = static_cast<float>(e.hour + e.minute / 60.0);
    const int bodies[3] = {kBodySun, e.firstBody == 0 ? kBodyMoon : e.firstBody, e.secondBody};
    const int rows = e.type == kEventConjunction && e.secondBody > 0 ? 3 : 2;
    for (int i = 0; i < rows; ++i) {
        BodyRecord r{};
        ComputePlanet(&r, bodies[i], s.year, s.month, s.day, s.hour, s.minute, 0);
        double rise = 0, transit = 0, set = 0;
        ComputeRiseSet(s.year, s.month, s.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                       GetHorizonAltitude(), r.rightAscension, r.declination, &rise, &transit, &set);
        const int y = top + i * rowStep;
        DrawBodySymbol(bodies[i], Sx(10), y + Sy(6));
        Text(bodyNames[bodies[i]], Sx(20), y);
        DrawDayBar(Sx(90), y, Sx(80), Sy(12), mark, static_cast<float>(rise), static_cast<float>(transit),
                   static_cast<float>(set));
    }
}
