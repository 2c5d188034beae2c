#include "settings/compass_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/planet_positions.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "chart/chart_services.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/object_pictures.h"
#include "objects/objects_services.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "shell/time_bar.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Rgb;
using platform::Window;
using platform::WParam;
using namespace compass;

CompassState compassChart;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBrightStarCatalog = 28;
constexpr int kStarType = 30;
constexpr int kBodyType = 27;

Window compassWindow;

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }

int S(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }
int Factor() { return std::max(1, GetDpiFactor()); }
bool Night() { return preferences.word[pref::nightMode] > 0; }

struct DialColours {
    platform::Color white, blue, grey, black;
};
DialColours Colours() {
    if (!Night()) return {Rgb(255, 255, 255), Rgb(0x99, 0x99, 0xFF), Rgb(0xCC, 0xCC, 0xCC), Rgb(0, 0, 0)};
    return {Rgb(0, 0, 0), Rgb(0x99, 0, 0), Rgb(0xCC, 0, 0), Rgb(std::max(GetNightLevel() - 5, 0), 0, 0)};
}

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

void Disc(int cx, int cy, int r, platform::Color fill, platform::Color outline) {
    SetForeColor(fill);
    DrawDisc(cx, cy, 2 * r);
    SetForeColor(outline);
    DrawCircle(cx, cy, r);
}

const SelectionRecord* RecordOfRow(int row) {
    const int index = row < 0 ? compassChart.object : GetSelectionObject(row);
    if (index < 0 || index >= selectionList.recordCount || !selectionList.records) return nullptr;
    return &selectionList.records[index];
}

// The row's object becomes the chart's object.
void TakeRow(int row) {
    CompassState& s = compassChart;
    const SelectionRecord* r = RecordOfRow(row);
    if (!r) return;
    s.object = GetSelectionObject(row);
    s.ra = r->rightAscension;
    s.dec = r->declination;
    s.type = r->typeCode;
    s.symbol = r->objectIndex;
    s.catalog = r->catalogCode;
    std::snprintf(s.name, sizeof s.name, "%.29s", r->label);
    s.body = kObjectMarker;
    ObjectRef info;
    SelectionRecordToInfo(&info, r);
    SetObjectRefName(&info, r->label);
    currentObject.object = info;
    s.kind = r->group;
}

void PlaceOf(int body, double* ra, double* dec) {
    const ObservingDateTime& t = observingDateTime;
    if (body == kSunMarker) {
        SunPosition(ra, dec, t.year, t.month, t.day, t.hour, t.minute, t.second);
    } else if (body == kMoonMarker) {
        // The Moon as seen from the site, whatever the user's coordinate mode.
        std::int32_t& mode = preferences.word[pref::coordinateMode];
        const std::int32_t saved = mode;
        mode = 2;
        BodyRecord moon{};
        ComputePlanet(&moon, 1, t.year, t.month, t.day, t.hour, t.minute, t.second);
        mode = saved;
        *ra = moon.rightAscension;
        *dec = moon.declination;
    } else {
        *ra = compassChart.ra;
        *dec = compassChart.dec;
    }
}

void Marker(int body, int x, int y) {
    if (body == kObjectMarker) DrawObjectSymbol(compassChart.type, compassChart.symbol, x, y);
    else DrawObjectSymbol(kBodyType, body, x, y);
}

}  // namespace

// ---- Drawing ---------------------------------------------------------------------------------

void DrawCompassDial(int cx, int cy, int r, int altitudeFlag) {
    const DialColours c = Colours();
    const int f = Factor();
    Disc(cx, cy, r, c.blue, c.black);
    SetForeColor(c.black);
    for (int a = 0; a < 360; a += 10) {
        const double rad = a * kPi / 180.0;
        DrawLine(cx, cy, cx + ToIntChecked(r * std::sin(rad), 0), cy - ToIntChecked(r * std::cos(rad), 0));
    }
    const int inner = r - 4 * f;
    Disc(cx, cy, inner, c.white, c.black);
    const int d = ToIntChecked(0.7071067811865476 * r, 0);
    SetForeColor(c.black);
    DrawLine(cx - d, cy - d, cx + d, cy + d);
    DrawLine(cx - d, cy + d, cx + d, cy - d);
    SetForeColor(c.white);
    DrawDisc(cx, cy, 2 * std::max(inner - 16 * f, 0));
    SetForeColor(c.black);
    DrawLine(cx - r, cy, cx + r, cy);
    DrawLine(cx, cy - r, cx, cy + r);
    const platform::Color previousText = SetTextColor(c.black);
    const int previousTransparent = SetTextTransparent(1);
    if (altitudeFlag) {
        SetForeColor(c.white);
        DrawRectangle(Bounds{cx + 1, cy - r, r + 1, 2 * r + 1}, 0);
        Text(" H ", cx + 8 * f - r, cy - 5 * f);
        Text("Z", cx + 2 * f, cy - 2 * f - r);
    } else {
        Text(" W ", cx - r + 8 * f, cy - 5 * f);
        Text(" E ", cx + r - 16 * f, cy - 5 * f);
        Text("N", cx - 2 * f, cy - r + 8 * f);
        Text("S", cx - 2 * f, cy + r - 19 * f);
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
}

void DrawAltitudeBar(int x, int y, int width, int height) {
    const DialColours c = Colours();
    const int f = Factor();
    SetForeColor(c.blue);
    DrawRectangle(Bounds{x, y, width, height}, 0);
    SetForeColor(c.black);
    DrawFrame(Bounds{x, y, width, height});
    const float scale = static_cast<float>(height) / 180.0f;
    for (int a = -80; a <= 80; a += 10) {
        const int ly = y + ToIntChecked((a + 90) * scale, 0);
        DrawLine(x, ly, x + width - 1, ly);
    }
    const platform::Color previousText = SetTextColor(c.black);
    const int previousTransparent = SetTextTransparent(1);
    const int previousFont = f > 1 ? SetFont(4) : GetFont();
    for (int a : {90, 45, 0, -45, -90}) {
        const int ly = y + ToIntChecked((90 - a) * scale, 0);
        DrawLine(x - 5 * f, ly, x, ly);
        if (f > 1 && a != -90 && a != 0) {
            char label[8];
            std::snprintf(label, sizeof label, "%d\xB0", a);
            Text(label, x - 16 * f, ly - 3 * f);
        }
    }
    Text("0\xB0", x - 13 * f, y + height / 2 - 3 * f);
    SetFont(previousFont);
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    SetForeColor(c.white);
    DrawRectangle(Bounds{x + 4 * f, y + 1, width - 8 * f, height - 1}, 0);
    SetForeColor(c.black);
    DrawLine(x + 4 * f, y + height / 2, x + width - 4 * f - 1, y + height / 2);
}

void DrawAltitudePath(const Bounds& rect, int year, int month, int day, int hour, int minute) {
    CompassState& s = compassChart;
    const DialColours c = Colours();
    const int f = Factor();
    SetForeColor(c.white);
    DrawRectangle(rect, 0);
    const Bounds plot{rect.x + 20 * f / 2, rect.y + 10 * f / 2, rect.width - 24 * f / 2, rect.height - 12 * f / 2};
    SetForeColor(c.blue);
    DrawRectangle(plot, 0);
    SetForeColor(c.black);
    DrawLine(plot.x, plot.y, plot.x, plot.y + plot.height);
    DrawLine(plot.x + plot.width, plot.y, plot.x + plot.width, plot.y + plot.height);
    // Altitude 90 at the top to -45 at the bottom.
    auto yOf = [&](double altitude) { return plot.y + ToIntChecked((90.0 - altitude) * plot.height / 135.0, 0); };
    const platform::Color previousText = SetTextColor(c.black);
    const int previousTransparent = SetTextTransparent(1);
    const int previousFont = SetFont(4);
    for (int a : {45, 0, -45}) {
        DrawLine(plot.x, yOf(a), plot.x + plot.width, yOf(a));
    }
    Text("45\xB0", rect.x + 1, yOf(45) - 3 * f);
    Text("T", rect.x + 1, yOf(0) - 3 * f);

    const ObserverLocation& site = observerLocation;
    double ra = 0, dec = 0;
    PlaceOf(s.body, &ra, &dec);
    auto place = [&](int offsetHours, double* altitude, double* azimuth) {
        int y = year, m = month, d = day, h = hour, mi = minute;
        AddMinutes(&y, &m, &d, &h, &mi, offsetHours * 60);
        const double lst = LocalSiderealTime(y, m, d, h, mi, 0, site.longitude, site.zoneMinutes);
        *altitude = ComputeAltitude(lst, ra, dec, site.latitude);
        *azimuth = ComputeAzimuth(lst, ra, dec, site.latitude);
    };
    double altitude = 0, azimuth = 0;
    place(-2, &altitude, &azimuth);
    // The azimuth scale starts at the body's azimuth two hours before, down to a multiple
    // of 10 degrees, and runs a whole turn across the plot.
    const int start = (ToIntChecked(std::lround(azimuth), 0) / 10) * 10;
    auto xOf = [&](double az) {
        double along = std::fmod(az - start + 720.0, 360.0);
        return plot.x + ToIntChecked(along * plot.width / 360.0, 0);
    };
    char label[16];
    for (int k = 0; k < 36; k += 3) {
        const int a = (start + 10 * k) % 360;
        const int x = plot.x + ToIntChecked(10.0 * k * plot.width / 360.0, 0);
        if (a % 90 == 0) std::snprintf(label, sizeof label, "%c", "NESW"[a / 90]);
        else std::snprintf(label, sizeof label, "%d\xB0", a);
        Text(label, x, rect.y);
    }
    bool had = false;
    int lastX = 0, lastY = 0;
    s.pathDrawn = 1;
    for (int h = -2; h <= 22; ++h) {
        place(h, &altitude, &azimuth);
        const int x = xOf(azimuth);
        const int y = yOf(altitude);
        if (((hour + h) % 2 + 2) % 2 == 0) {
            SetForeColor(c.black);
            DrawLine(x, plot.y + plot.height - 3 * f, x, plot.y + plot.height);
            std::snprintf(label, sizeof label, "%02d", ((hour + h) % 24 + 24) % 24);
            Text(label, x - 3 * f, plot.y + plot.height - 9 * f);
        }
        if (altitude < -45.0) {
            had = false;
            continue;
        }
        SetForeColor(Rgb(Night() ? GetNightLevel() : 200, 0, 0));
        // A jump of the azimuth past the plot's edge wraps the path: no line across.
        if (had && std::abs(x - lastX) < 40) DrawLine(lastX, lastY, x, y);
        else DrawPixel(x, y);
        had = true;
        lastX = x;
        lastY = y;
    }
    SetFont(previousFont);
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
}

void DrawCompassChart() {
    CompassState& s = compassChart;
    GetScreenSize(&s.width, &s.height);
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, site.longitude,
                                         site.zoneMinutes);
    const int top = Sy(24);
    const int r = std::min(s.width, s.height) / 3 - S(3);
    const Window w = compassWindow;
    if (platform::IsWindow(w)) {
        const bool picture = s.name[0] && FindObjectPicture(s.name, kPictureFolderCatalog, s.catalog) != 0;
        if (picture) ShowObject(w, kPicture);
        else HideObject(w, kPicture);
    }
    char text[40];
    FormatDate(text, t.day, t.month, t.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    SetField(kTime, text);
    if (s.row >= 0 && s.haveObject) {
        SetPopupList(kObjectPopup, kObjectList, s.row);
        if (s.catalog == kBrightStarCatalog) SetPopupLabel(kObjectPopup, "");
    }

    const Bounds area{0, top, s.width, Sy(200)};
    DrawWindow* offscreen = CreateOffscreen(s.width, s.width);
    DrawWindow* const form = GetDrawWindow();
    const int shift = offscreen ? top : 0;  // the offscreen's row 0 is the area's top
    if (offscreen) SetDrawWindow(offscreen);
    const DialColours c = Colours();
    SetForeColor(Night() ? Rgb(0, 0, 0) : Rgb(255, 255, 255));
    DrawRectangle(Bounds{0, top - shift, area.width, area.height}, 0);

    // Where each body is.
    const int bodies = s.ra >= 0.0f ? 3 : 2;
    for (int b = 0; b < 3; ++b) s.drawn[b] = 0;
    for (int b = 0; b < bodies; ++b) {
        double ra = 0, dec = 0;
        PlaceOf(b, &ra, &dec);
        s.altitude[b] = ComputeAltitude(lst, ra, dec, site.latitude);
        s.azimuth[b] = ComputeAzimuth(lst, ra, dec, site.latitude);
        s.drawn[b] = 1;
    }
    const int body = s.drawn[s.body] ? s.body : kSunMarker;
    const int f = Factor();
    const int x0 = (s.width - S(240)) / 3;
    const int barTop = top + S(12);
    const platform::Color previousText = SetTextColor(c.black);
    const int previousTransparent = SetTextTransparent(1);
    // The altitude display.
    if (s.barMode == 0) {
        DrawAltitudeBar(x0 + S(32), barTop - shift, S(40), 2 * r);
        for (int b = 0; b < bodies; ++b) {
            s.altitudeX[b] = x0 + S(52);
            s.altitudeY[b] = barTop + ToIntChecked((90.0 - s.altitude[b]) * 2 * r / 180.0, 0);
        }
    } else {
        DrawCompassDial(x0 + r, barTop + r - shift, r, 1);
        for (int b = 0; b < bodies; ++b) {
            const double a = s.altitude[b] * kPi / 180.0;
            s.altitudeX[b] = x0 + r + ToIntChecked((r - 8 * f) * std::cos(a), 0);
            s.altitudeY[b] = barTop + r - ToIntChecked((r - 8 * f) * std::sin(a), 0);
        }
    }
    // The azimuth dial.
    const int cx = r + 2 * r / 3 - S(2) + (s.width - S(240)) / 4 + S(32);
    const int cy = barTop + r;
    DrawCompassDial(cx, cy - shift, r, 0);
    const int markerRadius = r - 12 * f;
    for (int b = 0; b < bodies; ++b) {
        const double a = s.azimuth[b] * kPi / 180.0;
        s.azimuthX[b] = cx + ToIntChecked(markerRadius * std::sin(a), 0);
        s.azimuthY[b] = cy - ToIntChecked(markerRadius * std::cos(a), 0);
    }
    // The figures and lines of the chosen body.
    std::snprintf(text, sizeof text, "Alt %d\xB0", ToIntChecked(s.altitude[body], 0));
    Text(text, x0 + S(78), top - shift);
    std::snprintf(text, sizeof text, "Az %d\xB0", ToIntChecked(s.azimuth[body], 0));
    Text(text, cx + r / 3, top - shift);
    SetForeColor(c.black);
    if (s.barMode == 0)
        DrawLine(s.altitudeX[body] - S(24), s.altitudeY[body] - shift, s.altitudeX[body] + S(24), s.altitudeY[body] - shift);
    else
        DrawLine(x0 + r, barTop + r - shift, s.altitudeX[body], s.altitudeY[body] - shift);
    DrawLine(cx, cy - shift, s.azimuthX[body], s.azimuthY[body] - shift);
    for (int b = 0; b < bodies; ++b) {
        Marker(b, s.altitudeX[b], s.altitudeY[b] - shift);
        Marker(b, s.azimuthX[b], s.azimuthY[b] - shift);
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    if (offscreen) {
        SetDrawWindow(form);
        CopyBits(offscreen, form, Bounds{0, 0, area.width, area.height}, 0, top, 0);
        DeleteOffscreen(offscreen);
    }
    s.pathDrawn = 0;
    if (s.height >= Sy(320)) DrawAltitudePath(Bounds{0, S(205), s.width - S(10), S(85)}, t.year, t.month, t.day, t.hour, t.minute);
}

void DrawObjectListRow(int row, Bounds rect, int) {
    const SelectionRecord* r = RecordOfRow(row);
    if (!r) return;
    const int previousTransparent = SetTextTransparent(1);
    if (r->typeCode == kStarType) {
        // A star is a dot sized by its magnitude, with no name of its own.
        const int sizeClass = std::clamp(7 - r->magnitude10 / 10, 0, 7);
        DrawStar(nullptr, 0, sizeClass, 0, rect.x + S(6), rect.y + S(6));
    } else {
        DrawObjectSymbol(r->typeCode, r->objectIndex, rect.x + S(8), rect.y + S(7));
    }
    if (r->catalogCode == kBrightStarCatalog) {
        DrawBrightStarLabel(r->objectNumber, rect.x + S(18), rect.y, 1);
    } else if (r->typeCode != kStarType) {
        Text(r->label, rect.x + S(18), rect.y);
    }
    SetTextTransparent(previousTransparent);
}

// ---- The form ---------------------------------------------------------------------------------

void InitCompassChart() {
    CompassState& s = compassChart;
    PushFormHistory(kFormId);
    if (preferences.word[pref::timeUpdateMode] == 0) {
        ObservingDateTime t{};
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
        SetObservingDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
    }
    const ObservingDateTime& t = observingDateTime;
    GetMoonPhaseBitmap(t.year, t.month, t.day, t.hour);
    if (s.pickPending && IsObjectSelected()) {
        ObjectRef picked;
        s.kind = GetSelectedObject(&picked, nullptr);
        LocateSelectionInList();
        if (selectionList.currentPosition >= 0) s.row = selectionList.currentPosition;
    } else if (selectionList.recordCount <= 0 && !s.searched) {
        // An empty list: the Sun, the Moon and the planets, once.
        s.searched = 1;
        RunObjectSelection(7, 45, 27);
        if (platform::IsWindow(compassWindow)) EraseWindow(compassWindow);
    }
    const int count = selectionList.recordCount > 0 && selectionList.records
                          ? FilterSelectionByType(selectionList.categoryFilter, selectionList.records,
                                                  selectionList.recordCount)
                          : 0;
    if (platform::IsWindow(compassWindow)) FillList(platform::GetDialogItem(compassWindow, kObjectList), nullptr, count);
    if (count <= 0) s.row = -1;
    else if (s.row >= count || s.row < 0) s.row = 0;
    if (s.row < 0) {
        SetPopupLabel(kObjectPopup, "");
    } else {
        TakeRow(s.row);
        s.haveObject = 1;
    }
    s.pickPending = 0;
    GetScreenSize(&s.width, &s.height);
    if (!s.haveObject) {
        s.ra = -1.0f;
        s.body = kSunMarker;
    }
    if (platform::IsWindow(compassWindow))
        for (int id : {kBack, kPick, kInfo, kChart, kDate, kTime, kNow}) ShowObject(compassWindow, id);
    DrawCompassChart();
}

int CompassFormCommand(int id) {
    CompassState& s = compassChart;
    switch (id) {
    case kHelp:
        ShowMessage("\x95 Display object azimuth and altitude.\n\n\x95 Evolution of altitude of the object during the "
                    "next hours is also displayed on wide screens.",
                    "");
        return 1;
    case kBack:
        GoBackForm();
        return 1;
    case kPick:
        s.pickPending = 1;
        RequestChartCentre(kFormId, -1);
        return 1;
    case kNow: {
        ObservingDateTime t{};
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
        SetObservingDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
        ObservingTimeChanged();
        GetMoonPhaseBitmap(t.year, t.month, t.day, t.hour);
        DrawCompassChart();
        return 1;
    }
    case kObjectList: {
        s.row = GetListSelection(kObjectList);
        if (s.row < 0) {
            s.body = kSunMarker;
            SetPopupLabel(kObjectPopup, "");
        } else {
            TakeRow(s.row);
            s.haveObject = 1;
        }
        DrawCompassChart();
        return 1;
    }
    case kInfo:
        if (CatalogToListIndex(currentObject.object) != 10)
            SetCurrentObjectRecord(&currentObject.object, CatalogToFinderIndex(currentObject.object));
        else
            SetObjectSelection(&currentObject.object, 0);
        GotoForm(kObjectInfoFormId);
        return 1;
    case kPicture:
        ShowObjectPicture(s.name, 0, 0, S(160), S(160), 1, kPictureFolderCatalog, s.catalog);
        return 1;
    case kChart:
        GotoForm(kChartFormId);
        return 1;
    default:
        return 0;
    }
}

int LayoutCompassForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    MoveObject(dialog, kHelp, dx, 0, 0, 0);
    for (int id : {kBack, kPick, kInfo, kPicture, kChart}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kDate, kNow, kTime}) MoveObject(dialog, id, dx, dy, 0, 0);
    MoveObject(dialog, kObjectList, 0, 0, 0, height - Sy(240));
    return 1;
}

void CloseCompassForm() { FreeTimeBarBitmap(); }

void CompassChartClose(Window dialog) {
    *Redraw() = 1;
    for (int id : {kTitle, kObjectPopup, kHelp, kBack, kPick, kPicture, kInfo, kChart, kDate, kTime, kNow})
        ReleaseControl(dialog, id);
    if (compassWindow == dialog) compassWindow = Window{};
}

LResult CompassChart(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        compassWindow = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, "CompassChart");
        InitPopupList(w, kObjectPopup, kObjectList, -1, 0, -1);
        SetListDrawFunction(w, kObjectPopup, &DrawObjectListRow);
        InitHelpAndBackButtons(w, kHelp, kBack);
        const bool night = Night();
        InitButton(w, kPick, night ? 5134 : 5124, 0, 0);
        InitButton(w, kInfo, 5125, 0, 0);
        InitButton(w, kPicture, 1941, 0, 0);
        InitButton(w, kChart, night ? 5138 : 5094, 0, 0);
        InitButton(w, kNow, 120, 0, 0);
        InitField(w, kDate, 0);
        InitField(w, kTime, 0);
        *Redraw() = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutCompassForm(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitCompassChart, Redraw(), 1, 0);
        return 1;
    case platform::kMsgDrawItem:
        if (platform::LowWord(wParam) == kObjectList)
            DrawOwnerListItem(w, reinterpret_cast<const platform::DrawItemInfo*>(lParam),
                              [](int row, Bounds rect, int flag, int) { DrawObjectListRow(row, rect, flag); });
        return 1;
    case platform::kMsgDestroy:
        CloseCompassForm();
        CompassChartClose(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseCompassForm();
            CompassChartClose(w);
            CloseForm(kFormId);
            return 1;
        case 1:
            CompassFormCommand(kBack);
            return 1;
        case kObjectPopup:
            DrawOnForm(w, [&] {
                EraseWindow(w);
                if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
                CompassFormCommand(platform::HighWord(wParam));
            });
            SaveScreen();
            return 1;
        case kNow:
            EraseWindow(w);
            DrawOnForm(w, [] { CompassFormCommand(kNow); });
            SaveScreen();
            return 1;
        case kHelp:
        case kBack:
        case kPick:
        case kInfo:
        case kPicture:
        case kChart:
            CompassFormCommand(id);
            return 1;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
