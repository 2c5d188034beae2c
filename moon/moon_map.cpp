#include "moon/moon_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/databases.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "moon/lunar_ephemeris.h"
#include "moon/moon_image.h"
#include "objects/object_pictures.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
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
using platform::Window;
using platform::WParam;
using namespace moon_map;

MoonFeatureIndex moonFeatureIndex;
MoonMapState moonMap;

namespace {

constexpr const char* kKindCodes[13] = {"Cv", "Mn", "Cr", "Pa", "Pn", "Ld", "Ca", "Ch", "Ru", "Tr", "Oc", "Lc", "Ma"};
constexpr const char* kMirrorRows[4] = {"None", "Vertical", "Both", "Horizontal"};
constexpr int kMirrorIconDay = 1682;
constexpr int kMirrorIconNight = 2008;
constexpr int kTitleBand = 24;
constexpr int kBottomBar = 22;
constexpr int kFeatureRowsShown = 12;
constexpr int kAllControls[] = {kTitle,        kBack,       kHelp,     kInfo,      kDate,       kPicture,   kMirrorPopup,
                                kMirrorList,   kTypePopup,  kTypeList, kFeaturePopup, kFeatureList, kZoomOut, kZoomIn};

Window formWindow_;

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }
bool Shown() { return platform::IsWindow(formWindow_); }
int Sh(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sv(int v) { return static_cast<int>(v * screenScale.vertical); }
bool NightOn() { return preferences.word[pref::nightMode] != 0; }

void Show(int id, bool shown) {
    if (!Shown()) return;
    if (shown) ShowObject(formWindow_, id);
    else HideObject(formWindow_, id);
}

// The record of an index position, or of a record number past the index.
bool ReadPositionRecord(int position, MoonFeatureRecord* out) {
    const auto& e = moonFeatureIndex.entries;
    if (position < 0) return false;
    if (position < static_cast<int>(e.size())) return GetMoonFeature(e[position].record, out) != 0;
    return GetMoonFeature(position, out) != 0;
}

void MirrorFlagsOfRow(int row, int* x, int* y) {
    *x = row == 2 || row == 3;
    *y = row == 1 || row == 2;
}

void ShowMirrorIcon() {
    if (!Shown()) return;
    // The chart's orientation icons, drawn as the chart draws them.
    const int icon = (NightOn() ? kMirrorIconNight : kMirrorIconDay) + moonMap.mirrorRow;
    SetPopupIcon(formWindow_, kMirrorPopup, platform::FindBitmapEntry(icon) ? icon : 0, 1, 0);
    SetPopupList(kMirrorPopup, kMirrorList, moonMap.mirrorRow);
}

// Renders for the zoom mode, falling back to the small picture; false when even that fails.
bool RenderOrFallBack() {
    if (RefreshMoonImage()) return true;
    if (moonImageView.zoomMode != 1) {
        moonImageView.zoomMode = 1;
        moonMap.scrollSaved = false;
        if (RefreshMoonImage()) return true;
    }
    return false;
}

void FeatureLabel(const MoonFeatureRecord& r, char* out, std::size_t size) {
    std::snprintf(out, size, "%s, %.1fkm", r.name, static_cast<double>(r.diameter));
}

}  // namespace

// ---- The feature index -------------------------------------------------------------------

const char* MapFeatureKindCode(int kind) { return kind >= 0 && kind < 13 ? kKindCodes[kind] : ""; }

int BuildMoonFeatureIndex() {
    MoonFeatureIndex& x = moonFeatureIndex;
    if (x.built) return 1;
    const int count = GetMoonFeatureCount();
    x.entries.assign(static_cast<std::size_t>(std::max(count, 0)), MoonIndexEntry{});
    for (int i = 0; i < count; ++i) {
        MoonFeatureRecord r;
        if (!GetMoonFeature(i, &r)) continue;
        x.entries[i] = MoonIndexEntry{static_cast<std::int16_t>(i), r.column, r.kind};
    }
    x.built = true;
    x.runStart = 0;
    x.runCount = count;
    x.typeRow = 0;
    return 0;
}

void SortMoonFeatureIndex(int key) {
    auto& e = moonFeatureIndex.entries;
    switch (key) {
    case 1:
        std::stable_sort(e.begin(), e.end(), [](const MoonIndexEntry& a, const MoonIndexEntry& b) {
            return a.kind != b.kind ? a.kind < b.kind : a.record < b.record;
        });
        break;
    case 2:
        std::stable_sort(e.begin(), e.end(),
                         [](const MoonIndexEntry& a, const MoonIndexEntry& b) { return a.column < b.column; });
        break;
    default:
        std::stable_sort(e.begin(), e.end(),
                         [](const MoonIndexEntry& a, const MoonIndexEntry& b) { return a.record < b.record; });
        break;
    }
}

int FindKindRun(int kind, int* outCount) {
    const auto& e = moonFeatureIndex.entries;
    int first = -1, count = 0;
    for (int i = 0; i < static_cast<int>(e.size()); ++i) {
        if (e[i].kind == kind) {
            if (first < 0) first = i;
            ++count;
        } else if (first >= 0) {
            break;
        }
    }
    if (outCount) *outCount = count;
    return first;
}

void SetFeatureRun(int start, int count) {
    moonFeatureIndex.runStart = std::max(start, 0);
    moonFeatureIndex.runCount = std::max(count, 0);
}

int GetIndexedMoonFeature(int i, MoonFeatureRecord* outRecord) {
    const MoonFeatureIndex& x = moonFeatureIndex;
    if (!x.built || i < 0 || i >= x.runCount) return 0;
    const int position = x.runStart + i;
    if (position >= static_cast<int>(x.entries.size())) return 0;
    return GetMoonFeature(x.entries[position].record, outRecord);
}

int FindIndexPosition(const MoonFeatureRecord& record) {
    const MoonFeatureIndex& x = moonFeatureIndex;
    const int n = std::min(x.runCount, static_cast<int>(x.entries.size()));
    for (int i = 0; i < n; ++i) {
        if (x.entries[i].column != record.column) continue;
        MoonFeatureRecord candidate;
        if (GetMoonFeature(x.entries[i].record, &candidate) && std::strcmp(candidate.name, record.name) == 0) return i;
    }
    return -1;
}

void ApplyMoonTypeFilter(int row) {
    MoonFeatureIndex& x = moonFeatureIndex;
    row = std::clamp(row, 0, 6);
    x.typeRow = row;
    if (row == 0) {
        SortMoonFeatureIndex(0);
        SetFeatureRun(0, static_cast<int>(x.entries.size()));
        return;
    }
    SortMoonFeatureIndex(1);
    int count = 0;
    const int first = FindKindRun(kMoonTypeKinds[row], &count);
    SetFeatureRun(first < 0 ? 0 : first, count);
}

void FreeMoonIndexBuffer() {
    moonFeatureIndex.entries.clear();
    moonFeatureIndex.entries.shrink_to_fit();
    moonFeatureIndex.built = false;
    moonFeatureIndex.runStart = moonFeatureIndex.runCount = 0;
}

void DrawMoonFeatureRow(const MoonFeatureRecord& record, Bounds rect) {
    const char* code = MapFeatureKindCode(record.kind);
    const int y = rect.y + 1;
    DrawString(code, static_cast<int>(std::strlen(code)), rect.x + Sh(2), y);
    DrawString(record.name, static_cast<int>(std::strlen(record.name)), rect.x + Sh(20), y);
}

std::string FormatFeatureEvent(double jd, int zoneMinutes) {
    if (jd == kNoFeatureEvent) return "----";
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    JDToDateTime(jd + zoneMinutes / 1440.0, &year, &month, &day, &hour, &minute, nullptr);
    char text[48];
    const int n = FormatDate(text, day, month, year);
    std::snprintf(text + n, sizeof text - n, " %02d:%02d", hour, minute);
    return text;
}

std::string MoonFeatureInfoText(const MoonFeatureRecord& record, double jd, int zoneMinutes) {
    const char* kindName = "";
    switch (record.kind) {
    case 1: kindName = "Mons"; break;
    case 2: kindName = "Crater"; break;
    case 6: kindName = "Catena"; break;
    case 10: kindName = "Oceanus"; break;
    case 11: kindName = "Lacus"; break;
    case 12: kindName = "Mare"; break;
    default: break;
    }
    const double beta = -record.latitude;
    const double eta = record.longitude;
    char text[400];
    std::snprintf(text, sizeof text,
                  "%s%s%s\n\x95 Lat:     %.1f\xB0\n\x95 Lon:     %.1f\xB0\n\x95 Diam: %.0fkm\n\nDates of best visibility",
                  kindName, *kindName ? " " : "", record.name, beta, eta, static_cast<double>(record.diameter));
    const double rise = FindFeatureSunrise(jd, eta, beta);
    const double set = rise == kNoFeatureEvent ? kNoFeatureEvent : FindFeatureSunset(rise + 0.05, eta, beta);
    std::string out = text;
    out += "\n\x95 Rise :" + FormatFeatureEvent(rise, zoneMinutes);
    out += "\n\x95 Set :" + FormatFeatureEvent(set, zoneMinutes);
    return out;
}

// ---- The form ----------------------------------------------------------------------------

bool RefreshMoonImage() {
    MoonImageView& v = moonImageView;
    v.dragging = 0;
    if (v.zoomMode == 1) {
        Show(kZoomOut, false);
        Show(kZoomIn, true);
    } else if (static_cast<int>(screenScale.horizontal) != 2) {
        Show(kZoomOut, true);
        Show(kZoomIn, false);
    }
    const ObservingDateTime& t = observingDateTime;
    return RenderMoonImage(v.zoomMode, t.year, t.month, t.day, t.hour, t.minute, v.mirrorX, v.mirrorY) != nullptr;
}

void ShowMoonMapView() {
    MoonImageView& v = moonImageView;
    const MoonFeatureIndex& x = moonFeatureIndex;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (Shown()) {
        FillList(FindListView(formWindow_, kFeatureList), nullptr, x.runCount);
        const int row = moonMap.selected - x.runStart;
        if (moonMap.selected >= 0 && row >= 0 && row < x.runCount) SetListSelection(kFeatureList, row);
    }
    const int margin = Sv(kTitleBand) + Sv(kBottomBar);
    v.view = Bounds{0, 0, width, std::max(0, height - margin)};
    if (v.zoomMode == 1) {
        v.view.x = std::max(0, (width - v.imageSize) / 2);
        v.view.y = std::max(0, (height - v.imageSize - margin) / 2);
        v.view.width = std::min(v.view.width, v.imageSize);
        v.view.height = std::min(v.view.height, v.imageSize);
    }
    if (!moonMap.scrollSaved) {
        v.scrollX = v.zoomMode == 1 ? 0 : Sh(kMoonSmallSize);
        v.scrollY = 0;
        moonMap.scrollSaved = true;
    }
    v.scrollX = std::clamp(v.scrollX, 0, MoonScrollLimit(v.imageSize, v.view.width));
    v.scrollY = std::clamp(v.scrollY, 0, MoonScrollLimit(v.imageSize, v.view.height));
    ShowMapFeature(moonMap.selected);
}

void ShowMapFeature(int position) {
    MoonImageView& v = moonImageView;
    MoonFeatureRecord record;
    const bool feature = position >= 0 && ReadPositionRecord(position, &record);
    moonMap.circleColumn = moonMap.circleRow = -1;
    if (feature) {
        const int column = v.mirrorX ? kMoonFeatureFrame - record.column : record.column;
        const int row = v.mirrorY ? kMoonFeatureFrame - record.row : record.row;
        moonMap.circleColumn = column;
        moonMap.circleRow = row;
        v.scrollX = std::clamp(column * v.imageSize / kMoonFeatureFrame - Sh(160), 0,
                               MoonScrollLimit(v.imageSize, v.view.width));
        v.scrollY = std::clamp(row * v.imageSize / kMoonFeatureFrame - Sh(160), 0,
                               MoonScrollLimit(v.imageSize, v.view.height));
        char label[64];
        FeatureLabel(record, label, sizeof label);
        if (Shown()) {
            SetPopupLabel(kFeaturePopup, label);
            const int listRow = position - moonFeatureIndex.runStart;
            if (listRow >= 0 && listRow < moonFeatureIndex.runCount) SetListSelection(kFeatureList, listRow);
        }
        Show(kPicture, FindObjectPicture(record.name, kPictureFolderMoon, 0) != 0);
    } else {
        Show(kPicture, false);
    }
    if (Shown() && GetDrawWindow()) {
        int width = 0, height = 0;
        GetScreenSize(&width, &height);
        // Black around the picture, as the sky around the Moon.
        const platform::Color previous = SetForeColor(0);
        DrawRectangle(Bounds{0, Sv(kTitleBand), width, std::max(0, height - Sv(kTitleBand) - Sv(kBottomBar))}, 0);
        DrawMoonImageView();
        DrawMoonDateInfo(0, Sv(kTitleBand));
        if (feature) {
            int r = record.radius + 4;
            if (v.zoomMode == 1) r /= 2;
            r = std::max(r, 10) * GetDpiFactor();
            moonMap.circleRadius = r;
            moonMap.circleX = v.view.x + moonMap.circleColumn * v.imageSize / kMoonFeatureFrame - v.scrollX;
            moonMap.circleY = v.view.y + Sv(kTitleBand) + moonMap.circleRow * v.imageSize / kMoonFeatureFrame - v.scrollY;
            SetForeColor(NightOn() ? GetHighlightColor() : 0);
            DrawCircle(moonMap.circleX, moonMap.circleY, r);
        }
        SetForeColor(previous);
    }
    Show(kInfo, true);
    Show(kDate, true);
}

int FindNearestFeature(int x, int y) {
    MoonImageView& v = moonImageView;
    const int n = GetMoonFeatureCount();
    if (n <= 0 || v.imageSize <= 0) return -1;
    int X = (v.scrollX - v.view.x + x) * kMoonFeatureFrame / v.imageSize;
    int Y = (v.scrollY - Sv(kTitleBand) - v.view.y + y) * kMoonFeatureFrame / v.imageSize;
    if (v.mirrorX) X = kMoonFeatureFrame - X;
    if (v.mirrorY) Y = kMoonFeatureFrame - Y;
    // Halving over the copy ordered by column.
    int low = n, high = 2 * n - 1, last = n;
    while (low <= high) {
        const int middle = (low + high) / 2;
        MoonFeatureRecord r;
        if (!GetMoonFeature(middle, &r)) {
            HideBusy(1);
            ShowMessage("Can't find moon record", "");
            return moonMap.selected;
        }
        last = middle;
        if (r.column == X) break;
        if (r.column < X) low = middle + 1;
        else high = middle - 1;
    }
    int best = -1, bestDistance = kTapReach;
    MoonFeatureRecord bestRecord;
    for (int i = std::max(n, last - 10); i <= std::min(2 * n - 1, last + 10); ++i) {
        MoonFeatureRecord r;
        if (!GetMoonFeature(i, &r)) continue;
        const int d = std::abs(X - r.column) + std::abs(Y - r.row);
        if (d <= bestDistance) {
            best = i;
            bestDistance = d;
            bestRecord = r;
        }
    }
    HideBusy(1);
    if (best < 0) {
        moonMap.selected = -1;
        return -1;
    }
    if (moonFeatureIndex.typeRow != 0) {
        ApplyMoonTypeFilter(0);
        if (Shown()) SetPopupList(kTypePopup, kTypeList, 0);
    }
    moonMap.selected = FindIndexPosition(bestRecord);
    ShowMapFeature(moonMap.selected);
    return moonMap.selected;
}

namespace {

void StoreObservingTime(int year, int month, int day, int hour, int minute, int second) {
    SetObservingDateTime(year, month, day, hour, minute, second);
    preferences.word[pref::timeUpdateMode] = 1;
    ObservingTimeChanged();
}

void EditMoonMapTime() {
    ObservingDateTime t = observingDateTime;
    if (EditDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second)) {
        StoreObservingTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
        moonMap.selected = -1;
        if (Shown()) *Redraw() = 1;
    }
    if (Shown()) platform::InvalidateRect(formWindow_, nullptr, false);
}

void ChangeZoom(int mode) {
    MoonImageView& v = moonImageView;
    if (v.zoomMode == mode) return;
    v.zoomMode = mode;
    moonMap.selected = -1;
    moonMap.scrollSaved = false;
    if (!RenderOrFallBack()) {
        GotoForm(6000);
        return;
    }
    ShowMoonMapView();
}

void ChangeMirror(int row) {
    MoonImageView& v = moonImageView;
    row = std::clamp(row, 0, 3);
    int x = 0, y = 0;
    MirrorFlagsOfRow(row, &x, &y);
    // Undoing the present flips and making the new ones is flipping by their difference.
    if (moonImage && ((x ^ v.mirrorX) || (y ^ v.mirrorY))) moonImage = MirrorOffscreen(moonImage, x ^ v.mirrorX, y ^ v.mirrorY);
    v.mirrorX = x;
    v.mirrorY = y;
    moonMap.mirrorRow = row;
    ShowMirrorIcon();
    ShowMapFeature(moonMap.selected);
}

}  // namespace

int MoonMapCommand(int id) {
    switch (id) {
    case kZoomIn: ChangeZoom(2); return 1;
    case kZoomOut: ChangeZoom(1); return 1;
    case kMirrorList: ChangeMirror(GetListSelection(kMirrorList)); return 1;
    case kDate: EditMoonMapTime(); return 1;
    case kBack: GoBackForm(); return 1;
    case kPicture: {
        MoonFeatureRecord r;
        if (ReadPositionRecord(moonMap.selected, &r)) {
            int width = 0, height = 0;
            GetScreenSize(&width, &height);
            ShowObjectPicture(r.name, 0, 0, width, height, 1, kPictureFolderMoon, 0);
        }
        return 1;
    }
    case kHelp:
        ShowMessage("\x95 This assistant displays the map of the moon.",
                    "\x95 Tap on the map to identify features.\n\x95 Use your PDA Keys to increase or decrease the "
                    "current time.");
        return 1;
    case kInfo: {
        MoonFeatureRecord r;
        if (moonMap.selected < 0 || !ReadPositionRecord(moonMap.selected, &r)) {
            ShowMessage("Please select first a feature by clicking on the map.", "");
            return 1;
        }
        const ObservingDateTime& t = observingDateTime;
        const int zone = observerLocation.zoneMinutes;
        const double jd = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, 0, zone);
        ShowMessage(MoonFeatureInfoText(r, jd, zone).c_str(), "");
        return 1;
    }
    case kTypeList: {
        const int row = GetListSelection(kTypeList);
        if (row < 0 || row > 6 || row == moonFeatureIndex.typeRow) return 1;
        ApplyMoonTypeFilter(row);
        SetPopupList(kTypePopup, kTypeList, row);
        moonMap.selected = -1;
        SetPopupLabel(kFeaturePopup, "");
        ShowMoonMapView();
        return 1;
    }
    case kFeatureList: {
        const int row = GetListSelection(kFeatureList);
        if (row < 0 || row >= moonFeatureIndex.runCount) return 1;
        const int position = moonFeatureIndex.runStart + row;
        if (position != moonMap.selected) {
            moonMap.selected = position;
            ShowMapFeature(position);
        } else {
            MoonFeatureRecord r;
            if (ReadPositionRecord(position, &r)) SetPopupLabel(kFeaturePopup, r.name);
        }
        return 1;
    }
    default: return 0;
    }
}

int MoonMapKey(int key) {
    MoonImageView& v = moonImageView;
    do {
        switch (key) {
        case platform::kKeyPageUp:
        case platform::kKeyDown: PanMoonImage(v.lastX, v.lastY + 1); break;
        case platform::kKeyPageDown:
        case platform::kKeyUp: PanMoonImage(v.lastX, v.lastY - 1); break;
        case platform::kKeyRight:
        case platform::kKeyLeft: {
            ObservingDateTime t = observingDateTime;
            AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, key == platform::kKeyRight ? 60 : -60);
            SetObservingDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
            preferences.word[pref::timeUpdateMode] = 1;
            moonMap.selected = -1;
            if (!RenderOrFallBack()) {
                GotoForm(6000);
                return 1;
            }
            ShowMoonMapView();
            break;
        }
        default: return 0;
        }
        platform::MarkScreenChanged();
        platform::IdleWait();
    } while (IsKeyDown(key));
    if (key == platform::kKeyRight || key == platform::kKeyLeft) ObservingTimeChanged();
    return 1;
}

void CloseMoonMap() { FreeMoonImage(); }

void LayoutMoonForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return;
    for (int id : {kBack, kFeaturePopup, kMirrorPopup, kInfo, kPicture}) MoveObject(dialog, id, 0, dy, 0, 0);
    MoveObject(dialog, kHelp, dx, 0, 0, 0);
    for (int id : {kDate, kZoomOut, kZoomIn}) MoveObject(dialog, id, dx, dy, 0, 0);
}

namespace {

void InitMoonMap() {
    ObservingDateTime& t = observingDateTime;
    if (t.year == 0) {
        int year, month, day, hour, minute, second;
        GetLocalDateTime(&year, &month, &day, &hour, &minute, &second);
        SetObservingDateTime(year, month, day, hour, minute, second);
    }
    PushFormHistory(kFormId);
    MoonImageView& v = moonImageView;
    if (static_cast<int>(screenScale.horizontal) == 2) v.zoomMode = 2;
    if (!RenderOrFallBack()) {
        GotoForm(6000);
        return;
    }
    ShowMirrorIcon();
    for (int id : {kBack, kMirrorPopup, kInfo, kFeaturePopup, kDate}) Show(id, true);
    BuildMoonFeatureIndex();
    SetPopupList(kTypePopup, kTypeList, moonFeatureIndex.typeRow);
    ShowMoonMapView();
}

void DrawFeatureListRow(int row, Bounds rect, int, int) {
    MoonFeatureRecord r;
    if (GetIndexedMoonFeature(row, &r)) DrawMoonFeatureRow(r, rect);
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "MoonMap");
    const auto bitmap = [](int id) { return platform::FindBitmapEntry(id) ? id : -1; };
    InitButton(w, kBack, bitmap(5074), 0, 0);
    InitButton(w, kHelp, bitmap(5076), 0, 0);
    InitButton(w, kInfo, bitmap(5125), 0, 0);
    InitButton(w, kDate, bitmap(120), 0, 0);
    InitButton(w, kPicture, bitmap(1941), 0, 0);
    InitButton(w, kZoomOut, -1, 0, 0);
    InitButton(w, kZoomIn, -1, 0, 0);
    for (int i = 3; i >= 0; --i) AppendListItem(w, kMirrorList, kMirrorRows[i]);
    for (int i = 6; i >= 0; --i) AppendListItem(w, kTypeList, kMoonTypeRows[i]);
    InitPopupList(w, kMirrorPopup, kMirrorList, -1, 0, moonMap.mirrorRow);
    InitPopupList(w, kTypePopup, kTypeList, -1, 0, moonFeatureIndex.typeRow);
    InitPopupList(w, kFeaturePopup, kFeatureList, 0, kFeatureRowsShown, -1);
}

void ReleaseControls(Window w) {
    *Redraw() = 1;
    for (int id : kAllControls) ReleaseControl(w, id);
    if (formWindow_ == w) formWindow_ = Window{};
}

// The pen's part of the form: between the title band and the bottom bar.
bool InView(int x, int y) {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    return x >= 0 && x < width && y >= Sv(kTitleBand) && y < height - Sv(kBottomBar);
}

void PenDown(int x, int y) {
    MoonImageView& v = moonImageView;
    if (!InView(x, y)) {
        v.dragging = 0;
        return;
    }
    v.downX = v.lastX = x;
    v.downY = v.lastY = y;
    v.dragging = 1;
    v.moved = 0;
}

void PenMove(int x, int y) {
    MoonImageView& v = moonImageView;
    if (!v.dragging) return;
    if (std::abs(x - v.lastX) < Sh(4) && std::abs(y - v.lastY) < Sh(4)) return;
    PanMoonImage(x, y);
    DrawMoonDateInfo(0, Sv(kTitleBand));
}

void PenUp(int x, int y) {
    MoonImageView& v = moonImageView;
    if (!InView(x, y)) return;
    DrawMoonDateInfo(0, Sv(kTitleBand));
    if (!v.moved && v.dragging) {
        FindNearestFeature(x, y);
    } else if (v.moved) {
        Show(kInfo, true);
        Show(kDate, true);
        v.moved = 0;
    }
    v.dragging = 0;
}

}  // namespace

LResult MoonMap(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        OpenSelfLaidOutForm(w, &formWindow_, Redraw(), &MakeControls, &LayoutMoonForm);
        return 1;
    }
    case platform::kMsgPaint: PaintForm(w, &InitMoonMap, Redraw(), 0, 0); return 1;
    case platform::kMsgDrawItem: {
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (platform::LowWord(wParam) == kFeatureList) DrawOwnerListItem(w, item, &DrawFeatureListRow);
        return 1;
    }
    case platform::kMsgPenDown:
    case platform::kMsgPenMove:
    case platform::kMsgPenUp: {
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [message, p] {
            if (message == platform::kMsgPenDown) PenDown(p.x, p.y);
            else if (message == platform::kMsgPenMove) PenMove(p.x, p.y);
            else PenUp(p.x, p.y);
        });
        return 1;
    }
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != platform::kKeyPageUp && key != platform::kKeyPageDown && (key < platform::kKeyLeft || key > platform::kKeyDown))
            return 0;
        DrawOnForm(w, [key] { MoonMapKey(key); });
        return 1;
    }
    case platform::kMsgDestroy:
        ReleaseControls(w);
        CloseMoonMap();
        return 0;
    case platform::kMsgClose:
        CloseMoonMap();
        ReleaseControls(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseMoonMap();
            ReleaseControls(w);
            CloseForm(kFormId);
            return 1;
        case 1: MoonMapCommand(kBack); return 1;
        case kMirrorPopup:
        case kTypePopup:
        case kFeaturePopup: {
            const int list = platform::HighWord(wParam);
            DrawOnForm(w, [list] { MoonMapCommand(list); });
            return 1;
        }
        default: DrawOnForm(w, [id] { MoonMapCommand(id); }); return 1;
        }
    }
    default: return 0;
    }
}
