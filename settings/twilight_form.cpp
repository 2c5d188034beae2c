#include "settings/twilight_form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/planet_positions.h"
#include "catalog/designations.h"
#include "catalog/object_selection.h"
#include "chart/chart_services.h"
#include "core/checked_math.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "shell/time_bar.h"
#include "settings/darkness_chart.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace twilight;

DarknessFormState darknessForm;

namespace {

constexpr const char* kTimeModes[3] = {"Local Time (LT)", "LT&DayLight", "Universal Time (UT)"};
constexpr int kPlanetCount = 8;  // Mercury to Pluto, BodyIndex 2 to 9
constexpr std::uint32_t kKindCaldwell = 1;
constexpr std::uint32_t kKindMessier = 5;

Window twilightWindow;

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }

// The name is composed whole first, then cut to the form's 14 characters.
void SetName(const char* text) {
    std::memset(darknessForm.name, 0, sizeof darknessForm.name);
    if (!text) return;
    const std::size_t n = std::min(std::strlen(text), sizeof darknessForm.name - 1);
    std::memcpy(darknessForm.name, text, n);
}

void CurrentMonth() {
    int year = 0, month = 0;
    GetLocalDateTime(&year, &month, nullptr, nullptr, nullptr, nullptr);
    darknessForm.chartYear = year;
    darknessForm.chartMonth = month;
}

// The object picked in the finder becomes the form's.
void TakePickedObject() {
    ObjectRef object;
    std::uint32_t sub = 0;
    const int kind = GetSelectedObject(&object, &sub);
    char text[96];
    const char* prefix = CatalogPrefix(static_cast<int>(object.catalog));
    const long number = static_cast<long>(object.number);
    if (kind == static_cast<int>(kKindCaldwell)) {
        std::snprintf(text, sizeof text, "C%u, %s%ld", sub, prefix, number);
    } else if (kind == static_cast<int>(kKindMessier)) {
        std::snprintf(text, sizeof text, "M%u, %s%ld", sub, prefix, number);
    } else if (kind == 2 || kind == 3 || kind == 6) {
        char name[kSelectionNameSize] = {};
        GetSelectedName(name);
        std::snprintf(text, sizeof text, "%s", name);
    } else {
        std::snprintf(text, sizeof text, "%s%ld", prefix, number);
    }
    SetName(text);
    darknessForm.ra = object.ra;
    darknessForm.dec = object.dec;
    darknessForm.bodyIndex = -1;
    darknessForm.catalog = static_cast<std::int32_t>(object.catalog);
    darknessForm.number = static_cast<std::int32_t>(object.number);
    darknessForm.objectFlag = 1;
}

int CursorAt(int x, int y) {
    return DrawTimeBar(x, y, kDate, 0, darknessForm.chartYear, darknessForm.chartMonth);
}

}  // namespace

void OpenDarknessForm(const char* name, int catalog, int number, double ra, double dec, int bodyIndex, int year,
                      int month) {
    SetName(name);
    darknessForm.catalog = catalog;
    darknessForm.number = number;
    darknessForm.ra = static_cast<float>(ra);
    darknessForm.dec = static_cast<float>(dec);
    darknessForm.bodyIndex = bodyIndex;
    darknessForm.chartYear = year;
    darknessForm.chartMonth = month;
    darknessForm.objectFlag = 1;
    GotoForm(kFormId);
}

void RefreshDarknessForm() {
    DarknessFormState& s = darknessForm;
    SetPopupList(kTimeModePopup, kTimeModeList, s.timeMode);
    char text[40];
    FormatDate(text, s.dayShown, s.chartMonth, s.chartYear);
    SetField(kDate, text);
    DrawYearDarknessChart(s.name, s.catalog, s.number, s.ra, s.dec, s.bodyIndex, s.chartYear, s.chartMonth,
                          s.timeMode);
}

void InitDarknessForm() {
    DarknessFormState& s = darknessForm;
    FreeTimeBarBitmap();
    PushFormHistory(kFormId);
    if (s.chartMonth < 0) CurrentMonth();
    if (s.pickRequest && IsObjectSelected()) TakePickedObject();
    s.pickRequest = 0;
    if (!s.objectFlag) s.ra = -1.0f;
    if (platform::IsWindow(twilightWindow))
        for (int id : {kBack, kPick, kPlanetPopup, kDate, kThisMonth}) ShowObject(twilightWindow, id);
    RefreshDarknessForm();
}

int DarknessFormCommand(int id) {
    DarknessFormState& s = darknessForm;
    switch (id) {
    case kHelp:
        ShowMessage("\x95 Display the sky darkness among the year and let you see the best period to observe an "
                    "object (when the area between rise and set curves cross the darkest part of the chart).",
                    "\x95 Tap on the graph or use navigation keys to find a particular date.");
        return 1;
    case kBack:
        GoBackForm();
        return 1;
    case kNothing:
    case kDate:
        return 1;
    case kThisMonth:
        CurrentMonth();
        RefreshDarknessForm();
        return 1;
    case kPick:
        ClearObjectSelection();
        s.pickRequest = 1;
        RequestChartCentre(kFormId, -1);
        return 1;
    case kTimeModeList: {
        const int row = GetListSelection(kTimeModeList);
        if (row < 0 || row > 2) return 1;
        s.timeMode = row;
        RefreshDarknessForm();
        return 1;
    }
    case kPlanetList: {
        const int row = GetListSelection(kPlanetList);
        if (row < 0 || row >= kPlanetCount) return 1;
        if (platform::IsWindow(twilightWindow)) HideObject(twilightWindow, kPlanetList);
        s.bodyIndex = 2 + row;
        SetName(bodyNames[s.bodyIndex]);
        s.ra = 0.0f;
        s.dec = 0.0f;
        s.catalog = 0;
        s.number = 0;
        s.objectFlag = 1;
        RefreshDarknessForm();
        return 1;
    }
    default:
        return 0;
    }
}

int DarknessFormKey(int key) {
    DarknessFormState& s = darknessForm;
    if (key != platform::kKeyLeft && key != platform::kKeyRight) return 0;
    const int step = key == platform::kKeyLeft ? -1 : 1;
    int result = 0;
    // One pixel a step while the key is held; a step off the chart is undone and ends it.
    do {
        s.cursorX += step;
        result = CursorAt(s.cursorX, s.cursorY);
        if (!result) {
            s.cursorX -= step;
            break;
        }
    } while (IsNavKeyDown());
    return result;
}

int SetDarknessPenPoint(int x, int y) {
    darknessForm.cursorX = x;
    darknessForm.cursorY = y;
    darknessForm.penMoved = 0;
    return 1;
}

int DarknessFormPen(int x, int y) {
    DarknessFormState& s = darknessForm;
    const int near = Sx(3);
    if (!s.penMoved && std::abs(x - s.cursorX) < near && std::abs(y - s.cursorY) < near) return 0;
    s.penMoved = 1;
    return CursorAt(x, y);
}

int DrawDarknessGraph(int x, int y) { return CursorAt(x, y); }

void LayoutDarknessForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return;
    MoveObject(dialog, kHelp, dx, 0, 0, 0);
    for (int id : {kBack, kPick, kPlanetPopup}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kDate, kThisMonth}) MoveObject(dialog, id, dx, dy, 0, 0);
}

void CloseDarknessForm(Window dialog) {
    *Redraw() = 1;
    FreeTimeBarBitmap();
    darknessForm.penTracking = 0;
    for (int id : {kTitle, kTimeModePopup, kHelp, kBack, kPick, kPlanetPopup, kDate, kThisMonth})
        ReleaseControl(dialog, id);
    if (twilightWindow == dialog) twilightWindow = Window{};
}

LResult TwilightForm(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    DarknessFormState& s = darknessForm;
    switch (message) {
    case platform::kMsgInitDialog: {
        twilightWindow = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, "Twilight");
        // Lists show the last item added first.
        for (int i = 2; i >= 0; --i) AppendListItem(w, kTimeModeList, kTimeModes[i]);
        InitPopupList(w, kTimeModePopup, kTimeModeList, -1, 0, s.timeMode);
        InitHelpAndBackButtons(w, kHelp, kBack);
        for (int i = kPlanetCount - 1; i >= 0; --i) AppendListItem(w, kPlanetList, bodyNames[2 + i]);
        InitPopupList(w, kPlanetPopup, kPlanetList, -1, 0, -1);
        const bool night = preferences.word[pref::nightMode] > 0;
        InitButton(w, kPick, night ? 5134 : 5124, night ? 0 : 1, platform::Rgb(255, 255, 255));
        SetPopupIcon(w, kPlanetPopup, kPlanetBitmap, 1, platform::Rgb(255, 255, 255));
        InitField(w, kDate, 0);
        InitButton(w, kThisMonth, 120, 0, 0);
        *Redraw() = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutDarknessForm(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitDarknessForm, Redraw(), 1, 0);
        return 1;
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != 33 && key != 34 && (key < 37 || key > 40)) return 0;
        DrawOnForm(w, [key] { DarknessFormKey(key); });
        SaveScreen();
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        s.penTracking = SetDarknessPenPoint(p.x, p.y);
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!s.penTracking) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        int drawn = 0;
        DrawOnForm(w, [&] { drawn = DarknessFormPen(p.x, p.y); });
        if (drawn) SaveScreen();
        return 1;
    }
    case platform::kMsgPenUp: {
        if (!s.penTracking) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        int drawn = 0;
        DrawOnForm(w, [&] { drawn = DrawDarknessGraph(p.x, p.y); });
        if (drawn) SaveScreen();
        s.penTracking = 0;
        return 1;
    }
    case kMsgFieldTap:
        DarknessFormCommand(platform::LowWord(wParam));
        return 1;
    case platform::kMsgClose:
        CloseDarknessForm(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseDarknessForm(w);
            CloseForm(kFormId);
            return 1;
        case 1:
        case kBack:
            DarknessFormCommand(kBack);
            return 1;
        case kHelp:
        case kPick:
            DarknessFormCommand(id);
            return 1;
        case kThisMonth:
            DrawOnForm(w, [&] {
                DarknessFormCommand(kThisMonth);
                if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
            });
            SaveScreen();
            return 1;
        case kTimeModePopup:
        case kPlanetPopup: {
            const int list = platform::HighWord(wParam);
            DrawOnForm(w, [&] {
                EraseWindow(w);
                if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
                DarknessFormCommand(list);
            });
            SaveScreen();
            return 1;
        }
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
