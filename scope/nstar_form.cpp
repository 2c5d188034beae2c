#include "scope/nstar_form.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "scope/alignment_model.h"
#include "scope/assistant_forms.h"
#include "scope/assistant_links.h"
#include "scope/mount_dispatcher.h"
#include "scope/nstar_table.h"
#include "scope/pointing_model.h"
#include "scope/saved_alignment.h"
#include "scope/scope_control_form.h"
#include "scope/two_star_state.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;

NStarFormState nStarForm;

namespace {

enum : int {
    kTitle = 8015, kList = 2101, kAdd = 2102, kObsRa = 2103, kObsDec = 2104, kTrueRa = 2105, kTrueDec = 2106,
    kCalcRa = 2107, kCalcDec = 2108, kSync = 2109, kDel = 2110, kCalc = 2111, kMeanError = 2112, kOk = 2116,
    kShowOnChart = 2117, kLeftPopup = 2118, kLeftList = 2119, kRightPopup = 2120, kRightList = 2121, kInfo = 2122,
    kLastId = 2124,
};
constexpr int kChartFormId = 1900;
constexpr int kFields[] = {kObsRa, kObsDec, kTrueRa, kTrueDec, kCalcRa, kCalcDec, kMeanError};
constexpr int kButtons[] = {kAdd, kDel, kSync, kCalc};
constexpr FieldEdit kFieldEdits[] = {{kTrueRa, "True Ra:", 12}, {kTrueDec, "True Dec:", 12}};
constexpr const char* kScaleRows[kNStarScaleRows] = {"7'", "15'", "30'", "1\xB0", "3\xB0", "5\xB0", "10\xB0"};
constexpr float kScales[kNStarScaleRows] = {0.1f, 0.2f, 0.333333f, 1.0f, 2.0f, 4.0f, 8.0f};
// The sky view's zoom level: about 27° across, enough to know the star among its neighbours.
constexpr int kSkyViewZoom = 7;

Window nStarWindow;

bool ExternalMethod() { return preferences.word[pref::alignMethod] == 1; }
bool HasDrive() { return preferences.word[pref::scopeDrive] != 0; }

void Redraw(Window w) {
    *FormRedrawFlag(kNStarFormId) = 1;
    platform::InvalidateRect(w, nullptr, false);
}

// An axis as the fields show it: degrees on alt-azimuth mounts, hours on equatorial ones.
void SetAxisField(int id, double degrees, bool first) {
    char text[32];
    if (first && !IsAltAzMount()) HMSToStr(text, sizeof text, degrees / 15.0);
    else DMSToStr(text, sizeof text, degrees);
    SetField(id, text);
}

void ShowSelectedRecord() {
    AlignStar r;
    if (nStarCount <= 0 || !ReadNStarRecord(nStarSelectedRow, &r)) {
        for (int id : {kObsRa, kObsDec, kTrueRa, kTrueDec, kCalcRa, kCalcDec}) SetField(id, "");
        return;
    }
    char text[32];
    SetField(kObsRa, HMSToStr(text, sizeof text, r.ra / 15.0));
    SetField(kObsDec, DMSToStr(text, sizeof text, r.dec));
    SetAxisField(kTrueRa, r.measuredAxis1, true);
    SetAxisField(kTrueDec, r.measuredAxis2, false);
    SetAxisField(kCalcRa, r.correctedAxis1, true);
    SetAxisField(kCalcDec, r.correctedAxis2, false);
}

void ShowMeanError() {
    AlignStar table[kNStarTableSize];
    const int count = LoadNStarTable(table);
    ShowAlignmentError(table, count);
}

// The mount's reading in degrees (its right ascension turned from hours on equatorial
// mounts). A failed reading was told by the mount's driver and gives false.
bool ReadMountAxes(double* first, double* second) {
    if (!ScopeReadPositionOnce(first, second)) return false;
    if (!IsAltAzMount()) *first *= 15.0;
    return true;
}

void SetChartTimeNow() {
    int y, mo, d, h, mi;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, nullptr);
    if (const auto set = GetAssistantLinks().setChartTime) set(y, mo, d, h, mi);
}

// ---- Add, and the star the chart gives back ------------------------------------------------

void AddNStarStar() {
    if (!ExternalMethod() && !IsAligned()) {
        ShowMessage("Please do 2 stars alignment first", "");
        return;
    }
    if (RefuseFullNStarTable()) return;
    preferences.word[pref::chartMode] = 3;
    preferences.word[pref::chartPickFlag] = 1;
    if (selectionList.recordCount <= 0) {
        // The candidates: bright stars from the object search, the first of them offered.
        if (const auto run = GetAssistantLinks().runObjectSelectionQuiet) run(0, 54, 0);
        if (selectionList.recordCount > 0 && selectionList.records) {
            const SelectionRecord& first = selectionList.records[0];
            ObjectRef ref;
            ref.catalog = static_cast<std::uint32_t>(first.catalogCode);
            ref.number = static_cast<std::uint32_t>(first.objectNumber);
            ref.type = first.typeCode;
            ref.ra = first.rightAscension;
            ref.dec = first.declination;
            SetObjectRefName(&ref, first.label);
            SetObjectSelection(&ref, 0);
            SetChartTimeNow();
        }
    }
    nStarForm.pendingPick = true;
    GotoForm(kChartFormId);
}

// The object picked on the chart (its current object, or the selected one) joins the table,
// read on the mount now (or, without a drive, at its own apparent place).
void TakePickedStar() {
    if (!nStarForm.pendingPick) return;
    nStarForm.pendingPick = false;
    if (RefuseFullNStarTable()) return;
    ObjectRef o;
    int row = -1;
    if (!GetChartPick(&o, &row)) {
        ShowMessage("Please select a star or an object.", "");
        return;
    }
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    double ra = 0, dec = 0, alt = 0, az = 0;
    ComputeApparentPosition(o.ra, o.dec, &ra, &dec, &alt, &az, kModeTopocentricRefracted, y, mo, d, h, mi, s);
    AlignStar templ;
    templ.ra = ra * 15.0;
    templ.dec = dec;
    templ.time = (s / 3600.0 + mi / 60.0 + h) * 15.0;

    double measured1 = templ.ra, measured2 = templ.dec;
    if (HasDrive()) {
        if (!ReadMountAxes(&measured1, &measured2)) return;
    } else if (IsAltAzMount()) {
        measured1 = az;
        measured2 = alt;
    }

    // Its name and number from its row of the selection list when it has one.
    if (row >= 0) {
        const SelectionRecord& r = selectionList.records[row];
        templ.catalogCode = r.catalogCode;
        templ.objectNumber = r.objectNumber;
        std::snprintf(templ.name, 10, "%.9s", r.label);
    } else {
        templ.catalogCode = static_cast<std::int32_t>(o.catalog);
        templ.objectNumber = static_cast<std::int32_t>(o.number);
        if (templ.catalogCode < kCatalogUser) FormatDesignation(templ.name, 10, templ.catalogCode, o.number);
    }
    SelectNStarFromChart(templ, measured1, measured2);
}

// ---- Sync, Calc ---------------------------------------------------------------------------

// The scope position typed into a True: field, or false with a message naming it.
bool TypedAxis(int id, const char* name, double* degrees) {
    const FieldText f = ReadField(id);
    if (!std::strpbrk(f.text, "0123456789")) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "Type the scope's %s into the True: field, then tap Sync.", name);
        ShowMessage("The scope position is missing.", detail);
        return false;
    }
    *degrees = DmsStrToDeg(f.text);
    return true;
}

void SyncSelectedStar() {
    const int row = nStarSelectedRow;
    if (!CanSyncNStarRecord(row)) return;
    double first = 0, second = 0;
    if (HasDrive()) {
        if (!ReadMountAxes(&first, &second)) return;
    } else {
        if (!TypedAxis(kTrueRa, IsAltAzMount() ? "azimuth" : "right ascension", &first)) return;
        if (!TypedAxis(kTrueDec, IsAltAzMount() ? "altitude" : "declination", &second)) return;
        if (!IsAltAzMount()) first *= 15.0;
    }
    if (!SyncNStarRecord(row, first, second)) return;
    ShowSelectedRecord();
    ShowMeanError();
}

int CalcCorrection() {
    AlignStar table[kNStarTableSize];
    const int count = LoadNStarTable(table);
    const int fitted = ComputePointingCorrection(0, table, count, twoStar.timeText, twoStar.first, twoStar.second);
    StoreNStarTable(table, count);
    if (!fitted) ShowMessage("Please add at least 4 stars to do correction.", "");
    return fitted;
}

// ---- Drawing ------------------------------------------------------------------------------

platform::Color PlotColour() {
    if (preferences.word[pref::nightMode] == 0) return platform::Rgb(200, 200, 200);
    const int level = GetNightLevel() * 2 * 2 / 3;
    return platform::Rgb(level > 255 ? 255 : level, 0, 0);
}

// One plot: its square at (x, y), the circles of the scale and half of it, the cross, and a
// mark per record for the residual `residual` gives (degrees). A mark that would leave the
// square is not drawn: it would fall into the other plot or off the form.
template <typename Residual>
void DrawPlot(int x, int y, int size, double scale, const AlignStar* table, int count, Residual residual) {
    const int sx = ScaleX(1), sy = ScaleY(1);
    FillRectangle(Bounds{x, y, size, size + 2 * sy});
    const platform::Color colour = PlotColour();
    SetForeColor(colour);
    const int cx = x + size / 2, cy = y + size / 2;
    DrawDisc(cx, cy, size);
    DrawDisc(cx, cy, size / 2);
    DrawLine(cx, y, cx, y + size);
    DrawLine(x, cy, x + size, cy);
    const int half = size / 2;
    for (int k = 0; k < count; ++k) {
        double d1 = 0, d2 = 0;
        residual(table[k], &d1, &d2);
        const double dx = d1 * half / scale, dy = d2 * half / scale;
        if (!(std::fabs(dx) < half && std::fabs(dy) < half)) continue;
        // The selected star stands out in the text colour (black by day, the red at night).
        SetForeColor(k == nStarSelectedRow ? GetForeColor() : colour);
        DrawRectangle(Bounds{cx + static_cast<int>(dx) - 1, cy + static_cast<int>(dy), 2 * sx, 2 * sy}, 0);
        SetForeColor(colour);
    }
}

void DrawPlots() {
    AlignStar table[kNStarTableSize];
    const int count = LoadNStarTable(table);
    const Bounds& p = nStarForm.plot;
    const int size = p.width;
    const platform::Color previous = SetForeColor(PlotColour());
    DrawPlot(p.x, p.y, size, NStarPlotScale(nStarForm.leftScale), table, count,
             [](const AlignStar& r, double* d1, double* d2) {
                 *d1 = WrappedAngle(r.axis1 - r.measuredAxis1, 360.0);
                 *d2 = r.axis2 - r.measuredAxis2;
             });
    DrawPlot(p.x + size, p.y, size, NStarPlotScale(nStarForm.rightScale), table, count,
             [](const AlignStar& r, double* d1, double* d2) {
                 *d1 = WrappedAngle(r.correctedAxis1 - r.measuredAxis1, 360.0);
                 *d2 = r.correctedAxis2 - r.measuredAxis2;
             });
    SetForeColor(previous);
}

// Below the plots down to the bottom buttons on a screen taller than the design's width;
// on a short one a small view beside the plots.
Bounds SkyViewBounds(Window w) {
    const Bounds& p = nStarForm.plot;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (height <= static_cast<int>(240 * screenScale.vertical))
        return Bounds{p.x + 2 * p.width + ScaleX(2), p.y, ScaleX(60), ScaleX(60)};
    const platform::Rect client = platform::GetClientRect(w);
    const int top = p.y + p.width + 2 * ScaleY(1) + ScaleY(2);
    const int bottom = client.Height() - ScaleY(24);
    return Bounds{ScaleX(2), top, client.Width() - ScaleX(4), bottom - top};
}

void DrawSkyViewOfStar(Window w) {
    AlignStar r;
    if (nStarCount <= 0 || !ReadNStarRecord(nStarSelectedRow, &r)) return;
    DrawSkyViewInto(nStarForm.skyView, SkyViewBounds(w), r.ra / 15.0, r.dec, kSkyViewZoom, false);
}

void DrawNStarForm() {
    PushFormHistory(kNStarFormId);
    TakePickedStar();
    if (nStarCount > kNStarTableSize) nStarCount = kNStarTableSize;
    if (nStarCount < 0) nStarCount = 0;
    if (nStarSelectedRow < 0 || nStarSelectedRow >= nStarCount) nStarSelectedRow = 0;
    NameUnnamedNStarRecords();
    FillList(FindListView(nStarWindow, kList), nullptr, nStarCount);
    if (nStarCount > 0) SetListSelection(kList, nStarSelectedRow);
    SetPopupList(kLeftPopup, kLeftList, nStarForm.leftScale);
    SetPopupList(kRightPopup, kRightList, nStarForm.rightScale);
    ShowSelectedRecord();
    ShowMeanError();
    DrawPlots();
    DrawSkyViewOfStar(nStarWindow);
}

// A row of the star list: the star's name, or the chart's label of a bright star.
void PaintNStarRow(int row, Bounds rect, int, int) {
    AlignStar r;
    if (!ReadNStarRecord(row, &r)) return;
    const auto label = GetAssistantLinks().drawBrightStarLabel;
    if (r.catalogCode == kCatalogHr && label) {
        label(r.objectNumber, rect.x + 1, rect.y);
        return;
    }
    const int transparent = SetTextTransparent(1);
    DrawString(r.name, static_cast<int>(std::strlen(r.name)), rect.x + 1, rect.y);
    SetTextTransparent(transparent);
}

// ---- Opening and closing ------------------------------------------------------------------

void ShowErrorInField(const char* text) { SetField(kMeanError, text); }

void InitNStarForm(Window w) {
    nStarWindow = w;
    InitTitle(w, kTitle, "   N-Star   ");
    InitHelpAndBackButtons(w, kInfo, kOk);
    for (int id : kButtons) InitButton(w, id, -1, 0, 0);
    for (int id : kFields) InitField(w, id, 0);
    for (int list : {kLeftList, kRightList})
        for (int i = kNStarScaleRows - 1; i >= 0; --i) AppendListItem(w, list, kScaleRows[i]);
    InitPopupList(w, kLeftPopup, kLeftList, -1, 0, nStarForm.leftScale);
    InitPopupList(w, kRightPopup, kRightList, -1, 0, nStarForm.rightScale);
    InitList(w, kList, 0, -1, 1);
    nStarForm.plot = Bounds{ScaleX(73), ScaleX(130), ScaleX(83), ScaleX(83)};
    LoadStarTable(0);
    SetAlignmentErrorSink(&ShowErrorInField);
    int dx = 0, dy = 0;
    const platform::Rect client = platform::GetClientRect(w);
    if (GetResizeDelta(w, client.Width(), client.Height(), &dx, &dy)) {
        MoveObject(w, kInfo, dx, 0, 0, 0);
        MoveObject(w, kOk, dx, 0, 0, 0);
        MoveObject(w, kSync, 0, dy, 0, 0);
        MoveObject(w, kCalc, dx, dy, 0, 0);
    }
}

void CloseNStarForm(Window w) {
    SetAlignmentErrorSink(nullptr);
    if (nStarForm.skyView) {
        DeleteOffscreen(nStarForm.skyView);
        nStarForm.skyView = nullptr;
    }
    for (int id : {kTitle, kInfo, kOk, kList, kLeftPopup, kRightPopup}) ReleaseControl(w, id);
    for (int id : kButtons) ReleaseControl(w, id);
    for (int id : kFields) ReleaseControl(w, id);
    if (nStarWindow == w) nStarWindow = Window{};
}

int ScaleRow(int list) {
    const int row = GetListSelection(list);
    return row >= 0 && row < kNStarScaleRows ? row : 0;
}

}  // namespace

double NStarPlotScale(int row) { return kScales[row >= 0 && row < kNStarScaleRows ? row : 0]; }

int NStarFormCommand(Window, int id, int) {
    switch (id) {
    case kList: {
        const int row = GetListSelection(kList);
        if (row >= 0 && row < nStarCount) nStarSelectedRow = row;
        return 1;
    }
    case kAdd: AddNStarStar(); return 1;
    case kSync:
        SyncSelectedStar();
        if (ExternalMethod() && nStarCount > 0) CalcCorrection();
        return 1;
    case kDel: DeleteNStarRecord(nStarSelectedRow); return 1;
    case kCalc: CalcCorrection(); return 1;
    case kOk:
    case 1:
        GoBackForm();
        return 1;
    case kShowOnChart:
        if (FindSelectionRecord(selectionList.records, objectSelection.object) >= 0) {
            SetChartTimeNow();
            GotoForm(kChartFormId);
        }
        return 1;
    case kLeftPopup:
    case kLeftList: nStarForm.leftScale = ScaleRow(kLeftList); return 1;
    case kRightPopup:
    case kRightList: nStarForm.rightScale = ScaleRow(kRightList); return 1;
    case kInfo:
        ShowMessage("Tap Add to choose 4 or more stars. For each, center it in your reticle eyepiece. Then tap Sync "
                    "after each entry. In case of manual inputs tap Sync after.",
                    "Calc will compute the pointing correction parameters.");
        return 1;
    default: return id >= kList && id <= kLastId ? 1 : 0;
    }
}

LResult NStarAlignment(Window w, unsigned message, WParam wParam, LParam lParam) {
    static const AssistantForm form = [] {
        AssistantForm f;
        f.formId = kNStarFormId;
        f.init = &InitNStarForm;
        f.draw = &DrawNStarForm;
        f.close = &CloseNStarForm;
        f.command = [](Window dialog, int id, int list) {
            const int handled = NStarFormCommand(dialog, id, list);
            if (handled && platform::IsWindow(dialog) && GetCurrentFormId() == kNStarFormId) Redraw(dialog);
            return handled;
        };
        f.fieldTap = [](Window dialog, int id) { EditListedField(dialog, id, kFieldEdits); };
        return f;
    }();
    if (message == platform::kMsgDrawItem) {
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (item && item->controlId == kList) DrawOwnerListItem(w, item, &PaintNStarRow);
        return 1;
    }
    return HandleAssistantForm(form, w, message, wParam, lParam);
}
