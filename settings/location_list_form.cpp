#include "settings/location_list_form.h"

#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "catalog/location_choice.h"
#include "catalog/locations.h"
#include "core/report.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/scratch_text.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace location_list;

namespace {

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }

// A coordinate in the user's degree format with its hemisphere letter.
void ShowCoordinate(int id, double value, const char* positive, const char* negative) {
    char degrees[32];
    DMSToStr(degrees, sizeof degrees, value < 0.0 ? -value : value);
    char text[40];
    std::snprintf(text, sizeof text, "%s%s", degrees, value < 0.0 ? negative : positive);
    SetField(id, text);
}

// The row chosen on the list: its coordinates, and the choice.
void TakeSelectedRow() {
    const int row = GetListSelection(kList);
    if (row < 0 || row >= locationCount) return;
    LocationRecord town;
    if (!ReadOpenLocation(row, &town)) {
        locationChoice = -1;
        return;
    }
    ShowCoordinate(kLatitude, town.latitude, " N", " S");
    ShowCoordinate(kLongitude, town.longitude, " E", " W");
    locationChoice = row;
}


}  // namespace

void InitLocationList() {
    // Whatever happens below, Ok without a row chosen takes no town.
    locationChoice = -1;
    // The form is on the way back even without its database, so that Ok leads back.
    PushFormHistory(kFormId);
    if (!OpenLocationDb()) {
        locationCount = 0;
        ShowMessage("Could not retreive velkarion_location.ppc database.", "");
        return;
    }
    locationCount = CountLocationRecords();
    const Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return;
    for (int id : {kList, kLatitude, kLongitude, kLatitudeLabel, kLongitudeLabel, kLatitudeColon, kLongitudeColon, kOk,
                   kCancel})
        ShowObject(w, id);
    FillList(platform::GetDialogItem(w, kList), nullptr, locationCount);
}

int LayoutLocationList(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    MoveObject(dialog, kOk, 0, dy, 0, 0);
    MoveObject(dialog, kCancel, dx, dy, 0, 0);
    for (int id : {kLatitude, kLongitude, kLatitudeLabel, kLongitudeLabel, kLatitudeColon, kLongitudeColon})
        MoveObject(dialog, id, 0, dy, 0, 0);
    MoveObject(dialog, kList, 0, 0, dx, dy);
    return 1;
}

int LocationListCommand(int id) {
    switch (id) {
    case kList:
        TakeSelectedRow();
        return 1;
    case kOk:
        GoBackForm();
        return 1;
    case kCancel:
        locationChoice = -1;
        GoBackForm();
        return 1;
    default:
        return 0;
    }
}

int LocationListKeyDown(int key) {
    if (DefaultKeyHook(key)) return 1;
    if (key != platform::kKeyPageUp && key != platform::kKeyPageDown) return 0;
    if (locationCount <= 0) return 1;
    const int row = GetListSelection(kList);
    int next;
    if (key == platform::kKeyPageUp) next = row + 1 >= locationCount ? 0 : row + 1;
    else next = row <= 0 ? locationCount - 1 : row - 1;
    SetListSelection(kList, next);
    TakeSelectedRow();
    return 1;
}

void DrawLocationRow(int row, Bounds rect, int, int) {
    LocationRecord town;
    if (!ReadOpenLocation(row, &town)) return;
    const int sx = static_cast<int>(screenScale.horizontal);
    char* text = txtBuffer;
    char local[64];
    if (!text) text = local;
    std::snprintf(text, sizeof local, "%.21s", town.country);
    DrawString(text, static_cast<int>(std::strlen(text)), rect.x + sx, rect.y);
    std::snprintf(text, sizeof local, "%s", town.town);
    DrawString(text, static_cast<int>(std::strlen(text)), rect.x + 95 * sx, rect.y);
}

void ReleaseLocationListControls(Window dialog) {
    *Redraw() = 1;
    for (int id : {kTitle, kLatitude, kLongitude, kList, kOk, kCancel}) ReleaseControl(dialog, id);
}

LResult LocationList(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result))
        return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        InitFormWindow(w);
        InitTitle(w, kTitle, "LocationList");
        InitButton(w, kOk, platform::FindBitmapEntry(5074) ? 5074 : -1, 0, 0);
        InitButton(w, kCancel, -1, 0, 0);
        InitField(w, kLatitude, 0);
        InitField(w, kLongitude, 0);
        InitList(w, kList, 0, -1, 1);
        *Redraw() = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutLocationList(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitLocationList, Redraw(), 1, 0);
        return 1;
    case platform::kMsgDrawItem:
        if (platform::LowWord(wParam) == kList)
            DrawOwnerListItem(w, reinterpret_cast<const platform::DrawItemInfo*>(lParam), &DrawLocationRow);
        return 1;
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != 33 && key != 34 && (key < 37 || key > 40)) return 0;
        DrawOnForm(w, [key] { LocationListKeyDown(key); });
        return 1;
    }
    case platform::kMsgClose:
        ReleaseLocationListControls(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseLocationDb();
            ReleaseLocationListControls(w);
            CloseForm(kFormId);
            return 1;
        case 1:
            LocationListCommand(kOk);
            return 1;
        case kList:
        case kOk:
        case kCancel:
            DrawOnForm(w, [id] { LocationListCommand(id); });
            return 1;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
