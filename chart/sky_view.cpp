#include "chart/sky_view.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "astro/angle_text.h"
#include "astro/fixed_trig.h"
#include "catalog/chart_buffers.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_math.h"
#include "chart/chart_overlays.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "chart/sky_view_internal.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

SkyViewState& skyViewState = *new SkyViewState{};

namespace skyview {

using chartmath::FixProduct;

platform::Color ChartColour(int n) { return RGBToColorRef(chartColors[n]); }

std::int32_t ToFixedDegrees(double degrees) { return static_cast<std::int32_t>(degrees * kDegreesToFixed); }

Frame MakeFrame(const SkyView& view) {
    Frame f{};
    f.view = view;
    FixSinCos(view.turn, &f.cosTurn, &f.sinTurn);
    FixSinCos(view.tilt, &f.cosTilt, &f.sinTilt);
    return f;
}

// The orthographic view of a unit vector of the sky matrix. Behind when its depth is not
// positive; the pixel is written for every point in front.
bool FrameProject(const Frame& f, std::int32_t x, std::int32_t y, std::int32_t z, int* px, int* py) {
    const std::int32_t w = FixProduct(f.cosTurn, y) + FixProduct(x, f.sinTurn);
    const std::int32_t depth = FixProduct(f.cosTilt, w) + FixProduct(z, f.sinTilt);
    if (depth < 1) return false;
    const std::int32_t u = FixProduct(x, f.cosTurn) - FixProduct(y, f.sinTurn);
    const std::int32_t v = FixProduct(f.cosTilt, z) - FixProduct(w, f.sinTilt);
    *px = f.view.centreX - FixProduct(f.view.scaleX, u);
    *py = f.view.centreY - FixProduct(v, f.view.scaleY);
    return true;
}

// A record's unit vector: its x and y as ProjectObjects left them, z through the same
// rows (bodies of date through the horizon rows alone).
void RecordVector(const SelectionRecord& r, std::int32_t* x, std::int32_t* y, std::int32_t* z) {
    const bool ofDate = r.catalogCode == kCatalogPlanet;
    if (ofDate) SelectHorizonOnlyMatrix();
    ProjectToChart(HoursToFixedAngle(r.rightAscension), DegreesToFixedAngle(r.declination), x, y, z);
    if (ofDate) SelectFullSkyMatrix();
}

}  // namespace skyview

namespace {

using namespace skyview;
using chartmath::kTwoPi;

int Dpi() { return std::clamp(GetDpiFactor(), 1, 32); }

platform::Color BackgroundColour() { return RGBToColorRef(chartBackgroundColor); }

// Colours of the drawing, by role.
constexpr int kStarColour = 0;
constexpr int kLineColour = 1;
constexpr int kLabelColour = 4;
constexpr int kTrackColour = 6;

// The pixels per unit of the unit sphere for a zoom level: 80 x dpi factor over the tangent
// of half the field, computed in integers as the views always have been, then the chart
// flip of the level.
void ViewScales(int zoom, std::int32_t* sx, std::int32_t* sy) {
    const std::int32_t half = ToFixedDegrees(zoomFieldWidths[zoom]) / 2;
    std::int32_t t = FixTanSeries(half);
    if (t < 1) t = 1;
    const std::int64_t base = 2621440 / (32 / Dpi());
    const std::int64_t k = ((base << 24) / t) >> 10;
    int x = static_cast<int>(k), y = static_cast<int>(k);
    ApplyChartFlip(zoom, &x, &y);
    *sx = x;
    *sy = y;
}

bool IsCurrentRecord(const SelectionRecord* records, int i) {
    if (records != selectionList.records) return false;
    const int pos = selectionList.currentPosition;
    return pos >= 0 && GetSelectionObject(pos) == i;
}

// ---- Bitmaps ------------------------------------------------------------------------------

// Copies the rectangle of the target into view bitmap n, remaking it when it is too small.
void SaveToBitmap(int n, DrawWindow* source, const Bounds& rect) {
    OffscreenPtr& bitmap = skyViewState.bitmaps[n];
    if (bitmap && (bitmap->width < rect.width || bitmap->height < rect.height)) bitmap.reset();
    if (!bitmap) bitmap.reset(CreateOffscreen(std::max(rect.width, 1), std::max(rect.height, 1)));
    if (!bitmap || !source) return;
    CopyBits(source, bitmap.get(), rect, 0, 0, 0);
    skyViewState.saved[n] = rect;
}

void RestoreFromBitmap(int n, DrawWindow* target) {
    DrawWindow* bitmap = skyViewState.bitmaps[n].get();
    const Bounds& r = skyViewState.saved[n];
    if (!bitmap || !target || r.width <= 0) return;
    CopyBits(bitmap, target, Bounds{0, 0, r.width, r.height}, r.x, r.y, 0);
}

// ---- Text ---------------------------------------------------------------------------------

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

// A leader line from the point out to (x + dx, y + dy) with the text at its outer end.
void DrawLeaderLabel(const char* text, int x, int y, int dx, int dy) {
    SetForeColor(ChartColour(kLabelColour));
    DrawLine(x, y, x + dx, y + dy);
    SetTextColor(ChartColour(kLabelColour));
    Text(text, x + dx + 1, y + dy - 6);
}

}  // namespace

namespace skyview {

void LabelRecord(const SelectionRecord& r, int x, int y, int dx, int dy) {
    if (r.catalogCode == kCatalogHr) {
        SetForeColor(ChartColour(kLabelColour));
        DrawLine(x, y, x + dx, y + dy);
        PaintBrightStarLabel(r.objectNumber, x + dx, y + dy);
        return;
    }
    DrawLeaderLabel(r.label, x, y, dx, dy);
}

void DrawLabelAt(const char* text, int x, int y, int dx, int dy) { DrawLeaderLabel(text, x, y, dx, dy); }

void SaveViewArea(int n, const Bounds& rect) { SaveToBitmap(n, GetDrawWindow(), rect); }
void RestoreViewArea(int n) { RestoreFromBitmap(n, GetDrawWindow()); }

// The status line's position of a point of the view: right ascension / 15 and declination,
// or azimuth and altitude with "Alt/Az Grid".
void PointPosition(int x, int y, std::int32_t* first, std::int32_t* second) {
    *first = 0;
    *second = 0;
    const SkyView& v = skyViewState.view;
    if (ChartSetting(chartpref::altAzGrid) != 0) {
        SkyViewPixelToAltAz(v, x + v.originX, y + v.originY, first, second);
        return;
    }
    std::int32_t ra = 0, dec = 0;
    if (ScreenToSky(v, x, y, &ra, &dec)) {
        *first = ra / 15;
        *second = dec;
    }
}

}  // namespace skyview

// ---- DrawSkyView --------------------------------------------------------------------------

namespace {

bool InView(const Pass& p, int x, int y) {
    return x >= p.area.x - p.margin && x < p.area.x + p.area.width + p.margin && y >= p.area.y - p.margin &&
           y < p.area.y + p.area.height + p.margin;
}

// 0 drawn, 1 in front but outside the view or below the horizon, 2 behind.
int ProjectVector(const Pass& p, std::int32_t x, std::int32_t y, std::int32_t z, int* px, int* py) {
    if (!FrameProject(p.frame, x, y, z, px, py)) return 2;
    if (p.visibleOnly && z < 0) return 1;
    return InView(p, *px, *py) ? 0 : 1;
}

// The stars' state of this drawing (0 drawn, 1 not drawn, 2 behind), for the lines.
std::vector<std::uint8_t>& StarStates() {
    static std::vector<std::uint8_t> states;
    return states;
}

void ProjectStars(const Pass& p) {
    StarRecord* stars = BrightStars();
    const int n = stars ? GetStarTableCount() : 0;
    std::vector<std::uint8_t>& states = StarStates();
    states.assign(static_cast<std::size_t>(n), 2);
    const bool plain = ChartSetting(chartpref::skyViewPlain) != 0;
    for (int i = 0; i < n; ++i) {
        StarRecord& s = stars[i];
        if (plain || s.word[starword::hidden] < 0) continue;
        int x = 0, y = 0;
        const int state = ProjectVector(p, s.word[starword::planeP], s.word[starword::planeQ], s.word[starword::skyZ], &x, &y);
        states[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(state);
        s.word[starword::pixelX] = x;
        s.word[starword::pixelY] = y;
        s.word[starword::hidden] = state == 0 ? 0 : 1;
    }
}

void DrawConstellationLines(const Pass& p) {
    StarRecord* stars = BrightStars();
    const std::vector<std::uint8_t>& states = StarStates();
    const int n = static_cast<int>(states.size());
    const bool drawEnds = ChartSetting(chartpref::starsShown) == 1;
    SetForeColor(ChartColour(kLineColour));
    for (const ConstellationLine& line : constellationLines) {
        const int a = line.value[1], b = line.value[2];
        if (a < 0 || b < 0 || a >= n || b >= n) continue;
        const int sa = states[static_cast<std::size_t>(a)], sb = states[static_cast<std::size_t>(b)];
        if (sa == 2 || sb == 2 || (sa != 0 && sb != 0)) continue;
        if (p.visibleOnly && (stars[a].word[starword::skyZ] < 0 || stars[b].word[starword::skyZ] < 0)) continue;
        const StarRecord& s = stars[a];
        const StarRecord& t = stars[b];
        DrawLine(s.word[starword::pixelX], s.word[starword::pixelY], t.word[starword::pixelX], t.word[starword::pixelY]);
        if (drawEnds) {
            if (sa == 0) PaintStar(p.zoom, s, s.word[starword::pixelX], s.word[starword::pixelY]);
            if (sb == 0) PaintStar(p.zoom, t, t.word[starword::pixelX], t.word[starword::pixelY]);
        }
    }
}

void DrawBrightStarLayer(const Pass& p) {
    if (ChartSetting(chartpref::starsShown) == 1) return;
    if (ChartSetting(chartpref::starsAsPixel) == 0 || p.detail || p.zoom >= 6) {
        PaintBrightStars(p);
        return;
    }
    StarRecord* stars = BrightStars();
    const std::vector<std::uint8_t>& states = StarStates();
    SetForeColor(ChartColour(kStarColour));
    for (std::size_t i = 0; i < states.size(); ++i)
        if (states[i] == 0) DrawPixel(stars[i].word[starword::pixelX], stars[i].word[starword::pixelY]);
}

void DrawConstellationNames(const Pass& p) {
    SetTextColor(ChartColour(kLineColour));
    for (const ConstellationEntry& c : ConstellationTable) {
        // Entries without a label position have none to draw.
        if (c.labelRa == 0 && c.labelDec == 0) continue;
        std::int32_t x = 0, y = 0, z = 0;
        ProjectToChart(c.labelRa * 4392, c.labelDec * 2928, &x, &y, &z);
        int px = 0, py = 0;
        if (ProjectVector(p, x, y, z, &px, &py) != 0) continue;
        Text(c.abbreviation, px - 10, py);
    }
}

// The records: their pixels and offChart flags. Returns nothing; the labels come later.
void ProjectRecords(const Pass& p, SelectionRecord* records, int count) {
    float starLimit = 0.0f, objectLimit = 0.0f;
    GetMagnitudeLimits(p.zoom, &starLimit, &objectLimit);
    const float limit = objectLimit * (count == 1 ? 100.0f : 10.0f);
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = records[i];
        r.offChart = 1;
        const bool bright = static_cast<float>(r.magnitude10) <= limit;
        if (!bright && !IsCurrentRecord(records, i) && r.cleared == 0) continue;
        std::int32_t x = 0, y = 0, z = 0;
        RecordVector(r, &x, &y, &z);
        int px = 0, py = 0;
        if (ProjectVector(p, x, y, z, &px, &py) != 0) continue;
        SetSelectionPixel(r, px, py);
        r.offChart = 0;
    }
}

// Consecutive records of one object joined by a line, when one of them is drawn (and both
// are above the horizon in the visible sky).
void DrawTracks(const Pass& p, SelectionRecord* records, int count) {
    SetForeColor(ChartColour(kTrackColour));
    for (int i = 1; i < count; ++i) {
        SelectionRecord& a = records[i - 1];
        SelectionRecord& b = records[i];
        if (a.objectIndex != b.objectIndex || a.catalogCode != b.catalogCode) continue;
        if (a.offChart != 0 && b.offChart != 0) continue;
        std::int32_t v[2][3];
        RecordVector(a, &v[0][0], &v[0][1], &v[0][2]);
        RecordVector(b, &v[1][0], &v[1][1], &v[1][2]);
        if (p.visibleOnly && (v[0][2] < 0 || v[1][2] < 0)) continue;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        if (!FrameProject(p.frame, v[0][0], v[0][1], v[0][2], &x0, &y0)) continue;
        if (!FrameProject(p.frame, v[1][0], v[1][1], v[1][2], &x1, &y1)) continue;
        DrawLine(x0, y0, x1, y1);
    }
}

// The angle (degrees) by which north in the view turns from straight up, at a record.
double NorthAngle(const Pass& p, const SelectionRecord& r, int x, int y) {
    if (r.declination > 89.0f) return 0.0;
    std::int32_t v[3];
    SelectionRecord north = r;
    north.declination = r.declination + 1.0f;
    RecordVector(north, &v[0], &v[1], &v[2]);
    int nx = 0, ny = 0;
    if (!FrameProject(p.frame, v[0], v[1], v[2], &nx, &ny)) return 0.0;
    return std::atan2(static_cast<double>(nx - x), static_cast<double>(y - ny)) * chartmath::kRadToDeg;
}

// Draws the records that are in view and labels them. Returns the index of the record
// labelled at the centre, -1 for none.
int DrawRecords(const Pass& p, SelectionRecord* records, int count) {
    const int g = Dpi();
    const double sx = screenScale.horizontal;
    const bool labelAll = ChartSetting(chartpref::objectNames) != 0 && p.detail;
    const int near = static_cast<int>(12 * sx);
    const int cx = p.frame.view.centreX, cy = p.frame.view.centreY;
    const double sizeScale = GetZoomScale(p.zoom) * sx;
    const bool filtered = records == selectionList.records;
    int labelled = -1;
    // The labels placed so far, and their positions in that list by band of 64 columns: a
    // label's box is narrower than a band, so only those of its band and the two beside it
    // can lie across its columns.
    constexpr int kLabelWidth = 60;
    constexpr int kLabelBandShift = 6;
    static_assert(kLabelWidth <= 1 << kLabelBandShift);
    std::vector<Bounds> labels, column;
    std::unordered_map<int, std::vector<int>> bands;
    std::vector<int> nearby;
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = records[i];
        if (r.offChart != 0) continue;
        if (filtered && !IsRecordInCategory(i) && !IsCurrentRecord(records, i)) continue;
        const int x = SelectionPixelX(r), y = SelectionPixelY(r);
        PaintRecordSymbol(p.zoom, r, x, y);
        if (p.zoom > 8) {
            const double a = r.sizeA * sizeScale;
            if (r.typeCode == kTypeBody && r.objectNumber == -1) {
                const int h = static_cast<int>(a);
                SetForeColor(ChartColour(kStarColour));
                DrawFrame(Bounds{x - h, y - h, 2 * h + 1, 2 * h + 1});
            } else if (p.detail && r.sizeA > 0 && r.group != 5 && r.typeCode != kTypeStar && a > 2.0) {
                const double angle = r.positionAngle - (NorthAngle(p, r, x, y) - 45.0);
                SetForeColor(ChartColour(kLineColour));
                PaintEllipse(x, y, r.sizeA, r.sizeB, angle, sizeScale);
            }
        }
        if (labelAll) {
            // Each label clear of those before it: moved down until it overlaps none. Only
            // the labels across its columns can move it (it never moves sideways), so the
            // passes go over those alone, in the same order.
            Bounds box{x + 10 * g, y + 10 * g - 6, kLabelWidth, 12};
            const int band = box.x >> kLabelBandShift;
            nearby.clear();
            for (int b = band - 1; b <= band + 1; ++b)
                if (const auto it = bands.find(b); it != bands.end())
                    nearby.insert(nearby.end(), it->second.begin(), it->second.end());
            std::sort(nearby.begin(), nearby.end());
            column.clear();
            for (const int k : nearby) {
                const Bounds& o = labels[static_cast<std::size_t>(k)];
                if (box.x < o.x + o.width && o.x < box.x + box.width) column.push_back(o);
            }
            for (bool moved = true; moved;) {
                moved = false;
                for (const Bounds& o : column)
                    if (box.y < o.y + o.height && o.y < box.y + box.height) {
                        box.y = o.y + o.height;
                        moved = true;
                    }
            }
            bands[band].push_back(static_cast<int>(labels.size()));
            labels.push_back(box);
            LabelRecord(r, x, y, box.x - x, box.y + 6 - y);
            if (labelled < 0 && std::abs(x - cx) <= near && std::abs(y - cy) <= near) labelled = i;
        } else if (labelled < 0 && std::abs(x - cx) <= near && std::abs(y - cy) <= near) {
            labelled = i;
            LabelRecord(r, x, y, 10 * g, 10 * g);
        }
    }
    return labelled;
}

}  // namespace

int DrawSkyView(SelectionRecord* records, int count, const Bounds& rect, DrawWindow* window, int zoom, float first,
                float second, int detail) {
    DrawWindow* screen = GetDrawWindow();
    if (!window && !screen) return -1;
    zoom = std::clamp(zoom, 0, kLastZoomLevel);
    if (!records) count = 0;

    SkyViewState& st = skyViewState;
    st.rect = rect;
    st.zoom = zoom;
    st.visibleOnly = ChartMode() == kChartModeVisibleSky;
    st.horizontalGrid = ChartSetting(chartpref::altAzGrid);
    SkyView& v = st.view;
    ViewScales(zoom, &v.scaleX, &v.scaleY);
    v.turn = ToFixedDegrees(first);
    v.tilt = ToFixedDegrees(second);
    Bounds area = rect;
    if (window) {
        v.originX = rect.x;
        v.originY = rect.y;
        area.x = 0;
        area.y = 0;
        SetDrawWindow(window);
    } else {
        v.originX = 0;
        v.originY = 0;
        ClipRectangle(rect);
    }
    v.centreX = area.x + area.width / 2;
    v.centreY = area.y + area.height / 2;

    SetForeColor(BackgroundColour());
    DrawRectangle(area, 0);
    SetBackColor(BackgroundColour());
    const int previousFont = SetFont(0);

    Pass p{MakeFrame(v), area, 30, st.visibleOnly != 0, detail != 0, zoom};
    ProjectRecords(p, records, count);
    ProjectStars(p);
    if (ChartSetting(chartpref::constLines) != 0 && LoadConstellationLines(ChartSetting(chartpref::constLineSet) != 0 ? 1 : 0))
        DrawConstellationLines(p);
    DrawFaintLayers(p, records, count);
    if (zoom < 12) {
        // -1: the horizon ring alone ("Hide Grid", or a scroll without "Show Grid"); 0 draws
        // the grid's circles straight in the view's frame (the equator's in the equatorial
        // view, the horizon's, an alt/az grid, in the others); 1 the equatorial grid through
        // the sky matrix.
        int horizon = 1;
        if (ChartSetting(chartpref::hideGrid) != 0 || (!detail && ChartSetting(chartpref::showGrid) == 0))
            horizon = -1;
        else if (ChartMode() == kChartModeEquatorialSky || ChartSetting(chartpref::altAzGrid) != 0)
            horizon = 0;
        PaintGrid(p, horizon);
    }
    DrawBrightStarLayer(p);
    if (detail && ChartSetting(chartpref::constNames) != 0) DrawConstellationNames(p);
    if (detail && ChartSetting(chartpref::ecliptic) != 0) PaintEcliptic(p);
    if (detail && skyViewOwner != 0) DrawTracks(p, records, count);
    if (ChartSetting(chartpref::starsLegend) != 0) PaintMagnitudeLegend(p);
    const int labelled = DrawRecords(p, records, count);
    if (zoom > 4) PaintOverlays(p);

    std::int32_t a = 0, b = 0;
    PointPosition(v.centreX, v.centreY, &a, &b);
    DrawSkyViewStatus(area, labelled >= 0 ? &records[labelled] : nullptr, a, b);
    if (ChartSetting(chartpref::cursor) != 2) {
        const int g = Dpi();
        SaveViewArea(2, Bounds{v.centreX - 8 * g, v.centreY - 8 * g, 16 * g, 16 * g});
        PaintTargetCursor(v.centreX, v.centreY);
    }
    SetFont(previousFont);
    if (window) {
        SetDrawWindow(screen);
        if (screen) CopyBits(window, screen, Bounds{0, 0, rect.width, rect.height}, rect.x, rect.y, 0);
    } else {
        ResetClip();
    }
    return labelled >= 0 && records == selectionList.records ? FindSelectionPos(labelled) : -1;
}

// ---- Status line --------------------------------------------------------------------------

namespace skyview {

void ComposeSkyViewStatus(const SelectionRecord* record, std::int32_t first, std::int32_t second, char* line1,
                          char* line2) {
    const SkyCacheKey& key = skyCacheKey;
    char date[24] = "";
    FormatDateShort(date, key.day, key.month, key.year);
    // The matrix keeps pi - LST; the sidereal time comes back wrapped into one turn.
    std::int64_t lst = kFixHalfTurn - static_cast<std::int64_t>(chartMatrix.piMinusLst);
    while (lst < 0) lst += kFixTurn;
    lst %= kFixTurn;
    std::snprintf(line1, kStatusLineSize, "%s %02d:%02d  LST:%02d:%02d", date, key.hour, key.minute,
                  static_cast<int>(lst / 4392264), static_cast<int>(lst % 4392264 / 73204));

    char a[24] = "", b[24] = "", mag[16] = "";
    if (record) std::snprintf(mag, sizeof mag, "%0.1f", record->magnitude10 * 0.1);
    if (ChartSetting(chartpref::altAzGrid) == 0) {
        HmsFixToStr(a, sizeof a, first);
        DmsFixToStr(b, sizeof b, second);
        std::snprintf(line2, kStatusLineSize, "%s  %s  %s   ", a, b, mag);
    } else {
        DmsFixToStr(a, sizeof a, second);
        DmsFixToStr(b, sizeof b, first);
        std::snprintf(line2, kStatusLineSize, "%s  %s  %s", a, b, mag);
    }
}

}  // namespace skyview

void DrawSkyViewStatus(const Bounds& rect, const SelectionRecord* record, std::int32_t first, std::int32_t second) {
    SetBackColor(BackgroundColour());
    SetTextColor(ChartColour(kLabelColour));
    first %= kFixTurn;
    if (first < 0) first += kFixTurn;
    const int g = Dpi();
    if (ChartSetting(chartpref::hideCompass) == 0) {
        std::int32_t a = 0, b = 0;
        if (skyViewState.finderKeyValid) {
            a = kFixTurn - first;
            b = second;
        } else {
            SkyViewPixelToAltAz(skyViewState.view, skyViewState.view.centreX + skyViewState.view.originX,
                                skyViewState.view.centreY + skyViewState.view.originY, &a, &b);
        }
        const Bounds box = DirectionGaugeBox(rect);
        PaintDirectionGauge(box.x, box.y, a, b);
    }
    if (ChartSetting(chartpref::hideInfoBar) != 0) return;

    char line1[kStatusLineSize], line2[kStatusLineSize];
    ComposeSkyViewStatus(record, first, second, line1, line2);
    const int lineHeight = 6 * g;
    Text(line1, rect.x + 2, rect.y + rect.height - 2 * lineHeight - 2);
    Text(line2, rect.x + 2, rect.y + rect.height - lineHeight - 2);
}

// ---- Finder chart -------------------------------------------------------------------------

void DrawFinderChart(const ObjectRef& object, const char* name, const Bounds& rect, int zoom, int year, int month,
                     int day, int hour, int minute) {
    SelectionRecord r{};
    std::snprintf(r.label, sizeof r.label, "%.14s", name ? name : object.name);
    SetSelectionFromObject(r, object);

    Preferences& prefs = preferences;
    const Preferences saved = prefs;
    SetChartSetting(chartpref::chartType, kChartModeWholeSky);
    SetChartSetting(76, 0);
    SetChartSetting(142, 0);
    SetChartColors();

    SkyViewState& st = skyViewState;
    SkyCacheKey& key = skyCacheKey;
    // The matrix is the finder's while nobody rebuilt it since: the sky key then still
    // carries the finder's mark (-1) and minute.
    const bool same = st.finderKeyValid && st.finderYear == year && st.finderMonth == month && st.finderDay == day &&
                      st.finderHour == hour && st.finderMinute == minute && key.horizonFlag == -1 &&
                      key.year == year && key.month == month && key.day == day && key.hour == hour &&
                      key.minute == minute && key.latitude == observerLocation.latitude &&
                      key.longitude == observerLocation.longitude;
    if (!same) {
        BuildSkyMatrix(year, month, day, hour, minute, 0);
        // Marked -1: the chart's next UpdateSkyForDate rebuilds for its own instant, and
        // ProjectToChart goes through the horizon rows meanwhile.
        key = SkyCacheKey{-1, year, month, day, hour, minute, observerLocation.zoneMinutes, 0, observerLocation.latitude,
                          observerLocation.longitude};
        ProjectStarTable();
        st.finderKeyValid = 1;
        st.finderYear = year;
        st.finderMonth = month;
        st.finderDay = day;
        st.finderHour = hour;
        st.finderMinute = minute;
    }
    std::int32_t x = 0, y = 0, z = 0;
    RecordVector(r, &x, &y, &z);
    r.chartX = x;
    r.chartY = y;
    const double azimuth = chartmath::WrapDegrees(std::atan2(static_cast<double>(x), static_cast<double>(y)) * chartmath::kRadToDeg);
    const double altitude = std::asin(std::clamp(z * kUnitPerFixed, -1.0, 1.0)) * chartmath::kRadToDeg;
    SetChartSetting(chartpref::hideInfoBar, 1);
    SetChartSetting(chartpref::hideCompass, 1);
    DrawSkyView(&r, 1, rect, nullptr, zoom, static_cast<float>(azimuth), static_cast<float>(altitude), 1);
    prefs = saved;
    SetChartColors();
    SetNightMode(1);
}

// ---- Bitmaps ------------------------------------------------------------------------------

void SaveRestoreSkyView(int restore, const Bounds& rect) {
    if (restore == 0) {
        SaveToBitmap(0, GetDrawWindow(), rect);
        return;
    }
    DrawWindow* bitmap = skyViewState.bitmaps[0].get();
    if (!bitmap) return;
    CopyBits(bitmap, GetDrawWindow(), Bounds{0, 0, rect.width, rect.height}, rect.x, rect.y, 0);
}

void FreeSkyViewBitmaps() {
    for (int n = 0; n < 3; ++n) {
        skyViewState.bitmaps[n].reset();
        skyViewState.saved[n] = Bounds{};
    }
}

void RefreshSkyProjection() {
    skyViewState.finderKeyValid = 0;
    const ObservingDateTime& t = observingDateTime;
    UpdateSkyForDate(ChartMode() == kChartModeEquatorialSky ? 0 : 1, t.year, t.month, t.day, t.hour, t.minute, t.second,
                     1);
}

int SkyViewPointToCentre(int x, int y, float* first, float* second) {
    const SkyView& v = skyViewState.view;
    if (v.scaleX == 0 || v.scaleY == 0) return 0;
    std::int32_t a = 0, b = 0;
    if (skyCacheKey.horizonFlag == 0) {
        // The equatorial view turns by the right ascension itself.
        if (!ScreenToSky(v, x - v.originX, y - v.originY, &a, &b)) return 0;
        *first = static_cast<float>(a * kUnitPerFixed * chartmath::kRadToDeg);
    } else {
        // The turn angle atan2(x, y) of the horizon frame runs against the azimuth.
        if (!SkyViewPixelToAltAz(v, x, y, &a, &b)) return 0;
        *first = static_cast<float>(chartmath::WrapDegrees(-a * kUnitPerFixed * chartmath::kRadToDeg));
    }
    *second = static_cast<float>(b * kUnitPerFixed * chartmath::kRadToDeg);
    return 1;
}
