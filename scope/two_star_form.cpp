#include "scope/two_star_form.h"

#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/object_selection.h"
#include "catalog/selection_hooks.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/alignment_model.h"
#include "scope/assistant_forms.h"
#include "scope/assistant_links.h"
#include "catalog/selection_list.h"
#include "scope/encoder_boxes.h"
#include "scope/lx200.h"
#include "scope/mount_dispatcher.h"
#include "scope/serial_port.h"
#include "scope/two_star_alignment.h"
#include "scope/two_star_state.h"
#include "shell/controls.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;

namespace {

enum : int {
    kTitle = 8003, kTimeField = 1301, kNow = 1302, kStar1 = 1303, kStar2 = 1304, kTime1 = 1305, kTime2 = 1306,
    kRa1 = 1307, kRa2 = 1308, kDec1 = 1309, kDec2 = 1310, kRead1 = 1311, kRead2 = 1312, kAxis2First = 1313,
    kAxis2Second = 1314, kAxis1First = 1315, kAxis1Second = 1316, kLabel1 = 1317, kLabel2 = 1318, kOk = 1319,
    kClear = 1320, kAlign = 1321, kNStar = 1322, kInfo = 1323, kPlatformOff = 1344, kPlatformOn = 1345,
    kPlatformReset = 1346,
};
constexpr int kChartFormId = 1900;
constexpr int kNStarFormId = 2100;

struct StarFields {
    int time, ra, dec, axis1, axis2;
};
constexpr StarFields kFields[2] = {{kTime1, kRa1, kDec1, kAxis1First, kAxis2First},
                                   {kTime2, kRa2, kDec2, kAxis1Second, kAxis2Second}};
constexpr int kEdits[] = {kTimeField, kTime1, kTime2, kRa1, kRa2, kDec1, kDec2, kAxis2First, kAxis2Second,
                          kAxis1First, kAxis1Second};
constexpr int kButtons[] = {kNow, kStar1, kStar2, kRead1, kRead2, kClear, kAlign, kNStar, kPlatformOff, kPlatformOn,
                            kPlatformReset};

Window twoStarWindow;
int pendingPick = -1;        // the star (0, 1) a chart pick fills on return, -1 none
bool connectPending = false; // an encoder box is connected once on each entry of the form

// The pick index is the selection list's current position: a pick offers the earlier
// pick there, and the chart moves it to the listed star the user taps.
bool ListHoldsObjects() { return selectionList.records && selectionList.indexCount > 0; }

AlignStar& Working(int which) { return which == 0 ? twoStar.first : twoStar.second; }

void SetNonZero(int id, double value, char* (*format)(char*, std::size_t, double), double scale = 1.0) {
    char text[32] = {};
    if (value != 0.0) format(text, sizeof text, value / scale);
    SetField(id, text);
}

void ShowScopeFields(int which) {
    const AlignStar& s = Working(which);
    if (IsAltAzMount()) SetNonZero(kFields[which].axis1, s.axis1, &DMSToStr);
    else SetNonZero(kFields[which].axis1, s.axis1, &HMSToStr, 15.0);
    SetNonZero(kFields[which].axis2, s.axis2, &DMSToStr);
}

void ShowPlatformButtons(Window w) {
    const bool platform = preferences.word[pref::mountType] == 2;
    const bool on = GetPlatformMode() != 0;
    ShowControl(w, kPlatformOff, platform && on);
    ShowControl(w, kPlatformReset, platform && on);
    ShowControl(w, kPlatformOn, platform && !on);
}

void DeviceTimeText(char* out, std::size_t size) {
    int h, mi, s;
    GetLocalDateTime(nullptr, nullptr, nullptr, &h, &mi, &s);
    std::snprintf(out, size, "%02d:%02d:%02d", h, mi, s);
}

// Read for a star: the mount, or without a drive the star's own position or what was typed.
void ReadStar(int which) {
    const StarFields& f = kFields[which];
    char typed1[64] = {}, typed2[64] = {};
    if (preferences.word[pref::scopeDrive] == 0) {
        std::snprintf(typed1, sizeof typed1, "%s", ReadField(f.axis1).text);
        std::snprintf(typed2, sizeof typed2, "%s", ReadField(f.axis2).text);
    }
    if (!TwoStarRead(which, typed1, typed2)) return;
    char text[16];
    DeviceTimeText(text, sizeof text);
    SetField(f.time, text);
    ShowScopeFields(which);
}

// A star picked on the chart (the chart's current object, else the listed star at the
// pick index, else the selected object); its apparent place now.
void TakePick(int which) {
    ObjectRef o;
    int record = -1;
    if (!GetChartPick(&o, &record)) o = ObjectRef{};
    if (o.type != 30 && o.type != 27) {
        ShowMessage("Please select a star or an object.", "");
        return;
    }
    if (which == 0) ClearTwoStarAlignment();
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    double ra = 0, dec = 0, alt = 0, az = 0;
    ComputeApparentPosition(o.ra, o.dec, &ra, &dec, &alt, &az, kModeTopocentricRefracted, y, mo, d, h, mi, s);
    AlignStar& star = Working(which);
    star.ra = ra * 15.0;
    star.dec = dec;
    star.objectNumber = record >= 0 ? selectionList.currentPosition : -1;
    std::memset(star.name, 0, sizeof star.name);
    std::memcpy(star.name, o.name, 9);
    star.time = (s / 3600.0 + mi / 60.0 + h) * 15.0;
    if (which == 0) DeviceTimeText(twoStar.timeText, sizeof twoStar.timeText);
    // An encoder box counts from the star it points at (once its offsets are forgotten).
    if (IsEncoderDrive()) {
        if (IsAltAzMount()) CalibrateEncoderOffsets(&az, &alt);
        else CalibrateEncoderOffsets(&star.ra, &star.dec);
    }
    // The emulated mount (no port) points where the pick is, so that Read takes the star.
    if (telescopeEmulation == 1 && !IsEncoderDrive()) PlaceEmulatedMount(star.ra / 15.0, star.dec);
    // The drive is read at once; without one the star's own position stands.
    TwoStarRead(which, nullptr, nullptr);
    // The second star is best about a quarter turn away in azimuth, neither low nor high.
    if (which == 0) {
        const double lst = LocalSiderealTime(y, mo, d, h, mi, s, observerLocation.longitude, observerLocation.zoneMinutes);
        const double reference = ComputeAzimuth(lst, o.ra, o.dec, observerLocation.latitude);
        int kept = record >= 0 ? record : FindSelectionRecord(selectionList.records, o);
        KeepAlignmentCandidates(15.0, 65.0, &reference, &kept);
        // The first star's place in the thinned list, offered again by the next pick.
        if (kept >= 0) {
            star.objectNumber = kept;
            selectionList.currentPosition = kept;
        }
        InvalidateSelectionProjectionHook();
    }
}

void FillTwoStarForm(Window w) {
    PushFormHistory(kTwoStarFormId);
    // A box gets its set-up when the form is entered, not when a star is read.
    if (connectPending) {
        connectPending = false;
        if (IsEncoderDrive() && ScopeConnect()) ScopeDisconnect();
    }
    platform::SetWindowText(platform::FindChild(w, kLabel1), IsAltAzMount() ? "Scope Azt" : "Scope RA");
    platform::SetWindowText(platform::FindChild(w, kLabel2), IsAltAzMount() ? "Scope Alt" : "Scope Dec");
    if (pendingPick >= 0) {
        const int which = pendingPick;
        pendingPick = -1;
        TakePick(which);
    }
    if (!twoStar.timeText[0]) DeviceTimeText(twoStar.timeText, sizeof twoStar.timeText);
    SetField(kTimeField, twoStar.timeText);
    for (int k = 0; k < 2; ++k) {
        const AlignStar& s = Working(k);
        SetNonZero(kFields[k].ra, s.ra, &HMSToStr, 15.0);
        SetNonZero(kFields[k].dec, s.dec, &DMSToStr);
        SetNonZero(kFields[k].time, s.time, &DegToHmsText);
        ShowScopeFields(k);
    }
}

void ReadFields() {
    FieldText time = ReadField(kTimeField);
    FieldText t[2][5];
    TwoStarFieldTexts texts[2];
    for (int k = 0; k < 2; ++k) {
        const StarFields& f = kFields[k];
        t[k][0] = ReadField(f.time);
        t[k][1] = ReadField(f.ra);
        t[k][2] = ReadField(f.dec);
        t[k][3] = ReadField(f.axis1);
        t[k][4] = ReadField(f.axis2);
        texts[k] = {t[k][0].text, t[k][1].text, t[k][2].text, t[k][3].text, t[k][4].text};
    }
    ReadTwoStarFields(time.text, texts[0], texts[1]);
}

// Star 1: while the list holds objects the earlier first star is offered again; otherwise
// the candidates are searched: bright stars between 20° and 60° of altitude now.
void PrepareFirstPick() {
    if (ListHoldsObjects()) {
        if (twoStar.first.objectNumber >= 0) selectionList.currentPosition = twoStar.first.objectNumber;
        return;
    }
    const bool wasEmpty = selectionList.recordCount <= 0;
    if (const auto run = GetAssistantLinks().runObjectSelectionQuiet) run(0, 54, 0);
    if (KeepAlignmentCandidates(20.0, 60.0, nullptr, nullptr) > 0 && wasEmpty) {
        const SelectionRecord& r = selectionList.records[0];
        objectSelection.object.ra = r.rightAscension;
        objectSelection.object.dec = r.declination;
        objectSelection.object.type = r.typeCode;
        selectionList.currentPosition = 0;
    }
    InvalidateSelectionProjectionHook();
}

void Pick(int which) {
    preferences.word[pref::chartMode] = 3;
    preferences.word[pref::chartPickFlag] = 1;
    if (which == 0) {
        PrepareFirstPick();
    } else if (ListHoldsObjects() && selectionCriteria.typeClass == 5 && twoStar.second.objectNumber >= 0) {
        selectionList.currentPosition = twoStar.second.objectNumber;
    }
    pendingPick = which;
    GotoForm(kChartFormId);
}

void Redraw(Window w) {
    *FormRedrawFlag(kTwoStarFormId) = 1;
    platform::InvalidateRect(w, nullptr, false);
}

// The title band's buttons keep to the right edge and the bottom row to the bottom; the
// platform buttons show for the mount type.
void LayoutTwoStarForm(Window w, int width, int height) {
    int dx = 0, dy = 0;
    if (GetResizeDelta(w, width, height, &dx, &dy)) {
        for (int id : {kInfo, kOk}) MoveObject(w, id, dx, 0, 0, 0);
        for (int id : {kAlign, kClear}) MoveObject(w, id, dx, dy, 0, 0);
        MoveObject(w, kNStar, 0, dy, 0, 0);
    }
    ShowPlatformButtons(w);
}

void InitTwoStarForm(Window w) {
    twoStarWindow = w;
    InitTitle(w, kTitle, "2-StarAligment");
    InitHelpAndBackButtons(w, kInfo, kOk);
    for (int id : kEdits) InitField(w, id, 0);
    for (int id : kButtons) InitButton(w, id, -1, 0, 0);
    connectPending = true;
    OfferLastAlignment();
}

void CloseTwoStarForm(Window w) {
    for (int id : {kTitle, kInfo, kOk}) ReleaseControl(w, id);
    for (int id : kEdits) ReleaseControl(w, id);
    for (int id : kButtons) ReleaseControl(w, id);
}

}  // namespace

int TwoStarFormCommand(Window w, int id) {
    switch (id) {
    case kNow:
        DeviceTimeText(twoStar.timeText, sizeof twoStar.timeText);
        SetField(kTimeField, twoStar.timeText);
        return 1;
    case kStar1: Pick(0); return 1;
    case kStar2: Pick(1); return 1;
    case kRead1: ReadStar(0); return 1;
    case kRead2: ReadStar(1); return 1;
    case kOk:
    case 1:
        ReadFields();
        GoBackForm();
        return 1;
    case kClear:
        ClearTwoStarAlignment();
        for (int k = 0; k < 2; ++k)
            for (int field : {kFields[k].time, kFields[k].ra, kFields[k].dec, kFields[k].axis1, kFields[k].axis2})
                SetField(field, "");
        SetField(kTimeField, twoStar.timeText);
        return 1;
    case kAlign:
        ReadFields();
        if (ComputeTwoStarAlignment()) GoBackForm();
        return 1;
    case kNStar:
        if (IsAligned()) GotoForm(kNStarFormId);
        else ShowMessage("Please do 2 stars alignment before going to do N stars one.", "");
        return 1;
    case kInfo:
        ShowMessage("\x95 Tap Star1 to choose the first star.  Use scope control to center on this star and then tap "
                    "Read. Repeat with Star2 and then tap Align.",
                    "\x95 You can also manually enter stars, then press the Read button.");
        return 1;
    case kPlatformOff:
        SetPlatformMode(0);
        ShowPlatformButtons(w);
        return 1;
    case kPlatformOn:
        SetPlatformMode(1);
        ShowPlatformButtons(w);
        return 1;
    case kPlatformReset: ResetPlatform(); return 1;
    default: return 0;
    }
}

LResult TwoStarAlignment(Window w, unsigned message, WParam wParam, LParam lParam) {
    static const AssistantForm form = [] {
        AssistantForm f;
        f.formId = kTwoStarFormId;
        // A change of the screen's size makes the form anew (HandleAssistantForm), which
        // lays it out again here.
        f.init = [](Window dialog) {
            InitTwoStarForm(dialog);
            const platform::Rect client = platform::GetClientRect(dialog);
            LayoutTwoStarForm(dialog, client.Width(), client.Height());
        };
        f.draw = [] { FillTwoStarForm(twoStarWindow); };
        f.close = &CloseTwoStarForm;
        f.command = [](Window dialog, int id, int) {
            const int handled = TwoStarFormCommand(dialog, id);
            if (handled && platform::IsWindow(dialog) && GetCurrentFormId() == kTwoStarFormId) Redraw(dialog);
            return handled;
        };
        return f;
    }();
    return HandleAssistantForm(form, w, message, wParam, lParam);
}
