#include "scope/polar_assistant.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/apparent_place.h"
#include "astro/time_scales.h"
#include "catalog/object_selection.h"
#include "catalog/records.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "scope/assistant_forms.h"
#include "scope/assistant_links.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace polar_form;

PolarAssistantState polarAssistant;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRadiansPerDegree = kPi / 180.0;
constexpr int kChartFormId = 1900;
constexpr unsigned kAlarmTimer = 2;
constexpr int kFinderStepMinutes = 30;

Window polarWindow;

constexpr const char* kMethodRows[] = {"Quick", "King", "Rambaut"};
constexpr const char* kReticleRows[] = {"Grid", "Cross"};
constexpr const char* kTimerRows[] = {"8mn", "16mn", "24mn", "32mn", "Manual"};
constexpr int kTimerRowMinutes[] = {8, 16, 24, 32, 0};

// The controls of the drift methods, hidden by the quick method.
constexpr int kDriftControls[] = {kRa, kDec, kX, kY, kResolution, kDirection, kLambda, kAzimuth, kElevation,
                                  kSecondDec, kReticlePopup, kTimerPopup, kAssistant1, kAssistant2, kAssistant3,
                                  kRa - 1, kDec - 1, kX - 1, kY - 1, kResolution - 1, kDirectionLabel,
                                  kLambdaLabel, kAzimuthLabel, kElevationLabel, kSecondDec - 1};
constexpr int kFields[] = {kRa, kDec, kX, kY, kResolution, kDirection, kLambda, kAzimuth, kElevation, kSecondDec,
                           kDate, kTime};

constexpr FieldEdit kFieldEdits[] = {
    {kRa, "Ra:", 12}, {kDec, "Dec:", 12}, {kSecondDec, "Dec 2:", 12}, {kX, "X Dir:", 8},
    {kY, "Y Dir:", 8}, {kResolution, "Resolution:", 8},
};

std::int32_t* Redraw() { return FormRedrawFlag(kPolarFormId); }
bool FormShown() { return platform::IsWindow(polarWindow); }
std::int64_t Now() { return static_cast<std::int64_t>(GetSeconds()); }

void Repaint() {
    *Redraw() = 1;
    if (FormShown()) platform::InvalidateRect(polarWindow, nullptr, false);
}

void SetShown(int id, bool shown) {
    if (!FormShown()) return;
    if (shown) ShowObject(polarWindow, id);
    else HideObject(polarWindow, id);
}

void ShowDateTime(bool seconds) {
    const PolarAssistantState& s = polarAssistant;
    ShowDateAndTime(kDate, kTime, {s.year, s.month, s.day, s.hour, s.minute, s.second}, seconds);
}

void ReadDeviceClock() {
    PolarAssistantState& s = polarAssistant;
    GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second);
}

// ---- Drawing --------------------------------------------------------------------------------

platform::Color ReticleColour() {
    const int level = preferences.word[pref::nightMode] != 0 ? GetNightLevel() - 5 : 255;
    return platform::Rgb(level < 0 ? 0 : level, 0, 0);
}
bool Night() { return preferences.word[pref::nightMode] != 0; }

void Text(const char* text, int x, int y) {
    const int transparent = SetTextTransparent(1);
    DrawString(text, static_cast<int>(std::strlen(text)), x, y);
    SetTextTransparent(transparent);
}

void TextCentred(const char* text, int cx, int cy) {
    const int n = static_cast<int>(std::strlen(text));
    Text(text, cx - CharsWidth(text, n) / 2, cy - ScaleY(6));
}

// A polar finder's reticle of radius r centred on (cx, cy).
void DrawFinderReticle(int cx, int cy, int r) {
    SetForeColor(Night() ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 255, 255));
    DrawRectangle(Bounds{cx - r, cy - r, 2 * r, 2 * r}, 0);
    SetForeColor(ReticleColour());
    DrawCircle(cx, cy, r);
    for (int degrees : {0, 15, 30, 45}) {
        const int c = static_cast<int>(r * std::cos(degrees * kRadiansPerDegree));
        const int s = static_cast<int>(r * std::sin(degrees * kRadiansPerDegree));
        DrawLine(cx - c, cy - s, cx + c, cy + s);
        DrawLine(cx - c, cy + s, cx + c, cy - s);
        DrawLine(cx - s, cy - c, cx + s, cy + c);
        DrawLine(cx - s, cy + c, cx + s, cy - c);
    }
    const int inner = r - r / 6;
    DrawCircle(cx, cy, inner);
    DrawFrame(Bounds{cx - inner, cy - inner, 2 * inner, 2 * inner});
    DrawLine(cx - r, cy, cx + r, cy);
    DrawLine(cx, cy - r, cx, cy + r);
    const platform::Color text = SetTextColor(ReticleColour());
    TextCentred("18", cx - inner + ScaleX(8), cy);
    TextCentred("6", cx + inner - ScaleX(6), cy);
    TextCentred("12", cx, cy - inner + ScaleY(8));
    TextCentred("0", cx, cy + inner - ScaleY(6));
    SetTextColor(text);
}

// Polaris's apparent right ascension (hours) at a local moment.
double PolarisRa(int year, int month, int day, int hour, int minute) {
    const int zone = observerLocation.zoneMinutes;
    // The apparent place wants terrestrial time.
    const double jd = DateTimeToJD(year, month, day, hour, minute, 0, zone) + GetDeltaT(year, month, day) / 86400.0;
    SolarSystemBody earth{};
    SetBody(0, kEarth, "Earth", &earth);
    double ra = 0, dec = 0;
    if (AppStar(jd, earth, PolarisEntry(), &ra, &dec) != 0) ra = PolarisEntry().ra;
    return ra;
}

void DrawPolarFinder() {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int r = ScaleX(60);
    const int count = PolarFinderCount(height);
    const PolarAssistantState& s = polarAssistant;
    int year = s.year, month = s.month, day = s.day, hour = s.hour, minute = s.minute;
    const platform::Color text = SetTextColor(Night() ? ReticleColour() : GetForeColor());
    for (int i = 0; i < count; ++i) {
        const int top = ScaleY(24) + (i / 2) * (2 * r + ScaleY(14));
        const int cx = (i % 2) * 2 * r + r;
        const int cy = top + ScaleY(14) + r;
        const double ra = PolarisRa(year, month, day, hour, minute);
        const double lst = LocalSiderealTime(year, month, day, hour, minute, 0, observerLocation.longitude,
                                             observerLocation.zoneMinutes);
        const PolarFinderMark m = PlacePolaris(lst - ra, ra, r, ScaleX(3), cx, cy);
        char label[24];
        std::snprintf(label, sizeof label, "%02dh%02d", hour, minute);
        Text(label, cx - r + ScaleX(2), top);
        std::snprintf(label, sizeof label, "ha:%02dh%02d", m.labelHours, m.labelMinutes);
        Text(label, cx + ScaleX(4), top);
        DrawFinderReticle(cx, cy, r);
        SetForeColor(Night() ? ReticleColour() : platform::Rgb(0, 0, 0));
        if (GetDpiFactor() > 1) DrawDisc(m.x, m.y, 6);
        AddMinutes(&year, &month, &day, &hour, &minute, kFinderStepMinutes);
    }
    SetTextColor(text);
}

// A mark on the drift reticle at reticle pixel (x, y).
void DrawReticleMark(const char* name, int x, int y) {
    const Bounds& b = polarAssistant.reticleBox;
    const int px = b.x + ScaleX(x), py = b.y + ScaleY(y);
    SetForeColor(ReticleColour());
    DrawDisc(px, py, ScaleX(4));
    const platform::Color text = SetTextColor(ReticleColour());
    Text(name, px + ScaleX(3), py - ScaleY(12));
    SetTextColor(text);
}

void DrawDriftReticle(bool markB) {
    const PolarAssistantState& s = polarAssistant;
    DrawBitmap(s.reticle == 0 ? kReticleGridBitmap : kReticleCrossBitmap, s.reticleBox.x, s.reticleBox.y);
    DrawReticleMark("A", kReticleCentre, kReticleCentre);
    if (markB) DrawReticleMark("B", kReticleSize - 4, kReticleCentre);
    if (s.markX >= 0) DrawReticleMark("A'", s.markX, s.markY);
}

void ShowMethod() {
    const int method = polarAssistant.method;
    const bool drift = method != kPolarQuick;
    for (int id : kDriftControls) SetShown(id, drift);
    SetShown(kSecondDec, method == kPolarRambaut);
    SetShown(kSecondDec - 1, method == kPolarRambaut);
    if (FormShown()) {
        const platform::Window label = platform::GetDialogItem(polarWindow, kLambdaLabel);
        platform::SetWindowText(label, method == kPolarRambaut ? "Lambda" : "lambda");
    }
    if (!drift) {
        DrawPolarFinder();
        return;
    }
    const float resolution = PreferenceFloat(pref::reticleResolution);
    if (resolution > 0) SetDecimalField(kResolution, resolution, 2);
    DrawDriftReticle(false);
}

void DrawPolarForm() {
    PolarAssistantState& s = polarAssistant;
    if (s.year < 0) ReadDeviceClock();
    PushFormHistory(kPolarFormId);
    SetPopupList(kMethodPopup, kMethodList, s.method);
    SetPopupList(kReticlePopup, kReticleList, s.reticle);
    ShowDateTime(s.driftStart >= 0);
    // Back from the chart with a star chosen: its place becomes the target's.
    ObjectRef star{};
    std::uint32_t sub = 0;
    if ((s.step == 1 || s.step == 3) && GetSelectedObject(&star, &sub)) {
        char text[24];
        SetField(kRa, HMSToStr(text, sizeof text, star.ra));
        SetField(kDec, DMSToStr(text, sizeof text, star.dec));
    }
    ShowMethod();
}

// ---- Choosing a star, the resolution --------------------------------------------------

void ChooseStar(int step) {
    const bool wasEmpty = selectionList.indexCount < 1;
    if (const auto run = GetAssistantLinks().runObjectSelectionQuiet) run(0, 54, 0);
    if (step == 1)
        ShowMessage("Point to a star which is", "in the vicinity of the celestial equator (Dec=0\xB0 +/- 10\xB0).");
    if (wasEmpty && selectionList.indexCount > 0 && selectionList.records) {
        ObjectRef first{};
        SelectionRecordToInfo(&first, &selectionList.records[selectionList.index[0]]);
        SelectChartObjectHook(first, 0);
    }
    InvalidateSelectionProjectionHook();
    polarAssistant.step = step;
    GotoForm(kChartFormId);
}

void MeasureResolution() {
    if (polarAssistant.step < 1) {
        ShowMessage("Please before select a star to set resolution.", "");
        return;
    }
    DrawDriftReticle(true);
    ShowMessage("\x95 Put the star on the", "western edge of the field of view (Position A, as shown).");
    ShowMessage("\x95 Now, turn off the tracking", "(drive) motor");
    ShowMessage("\x95 Adjust your reticle so the star will move through the field of view, as shown.", "");
    ShowMessage("\x95 Return the star to", "Position A and then tap Ok");
    const std::int64_t a = Now();
    ShowMessage("\x95 Finally, tap OK ", "when the star reaches Position B.");
    const std::int64_t b = Now();
    const double dec = DmsStrToDeg(ReadField(kDec).text);
    const double resolution = static_cast<double>(b - a) * std::cos(dec * kRadiansPerDegree) * 15.0 / kReticleSize;
    SetDecimalField(kResolution, resolution, 2);
    SetPreferenceFloat(pref::reticleResolution, static_cast<float>(resolution));
}

void ShowHelp() {
    static const char* const kHelp[3][2] = {
        {"\x95 Displays the current position of Polaris as seen through a PolarFinder scope for a quick alignment.",
         "\x95 Use clock button to update time or tap on date and time to manually adjust."},
        {"\x95 Use the King method to achieve a polar alignment that is better than 1' in the Northern hemisphere.",
         "\x95 Tap on the numbered assistants to take you through the process."},
        {"\x95 Use the Rambaut method to achieve a polar alignment everywhere.",
         "\x95 Tap on the numbered assistants to take you through the process."},
    };
    const int m = polarAssistant.method;
    ShowMessage(kHelp[m][0], kHelp[m][1]);
}

// ---- The drift evaluation -----------------------------------------------------------------

DriftInput ReadDriftInput() {
    const PolarAssistantState& s = polarAssistant;
    const ObserverLocation& site = observerLocation;
    DriftInput in;
    in.latitude = site.latitude * kRadiansPerDegree;
    in.longitude = site.longitude * kRadiansPerDegree;
    in.temperature = site.temperature + 273.15;
    in.zoneHours = site.zoneMinutes / 60;
    in.ra = HmsStrToHours(ReadField(kRa).text) * 15.0 * kRadiansPerDegree;
    in.dec = DmsStrToDeg(ReadField(kDec).text) * kRadiansPerDegree;
    in.secondDec = DmsStrToDeg(ReadField(kSecondDec).text) * kRadiansPerDegree;
    in.x = StrToDouble(ReadField(kX).text);
    in.y = StrToDouble(ReadField(kY).text);
    in.resolution = StrToDouble(ReadField(kResolution).text);
    in.elapsed = s.driftStart >= 0 && s.driftEnd >= s.driftStart ? static_cast<double>(s.driftEnd - s.driftStart) : 0;
    in.year = s.year;
    in.month = s.month;
    in.day = s.day;
    in.hour = s.hour;
    in.minute = s.minute;
    in.second = s.second;
    return in;
}

void SetCutField(int id, double value, int decimals, int characters) {
    char text[32];
    FormatFixed(text, value, decimals);
    text[characters] = '\0';
    SetField(id, text);
}

// Whole degrees, cut towards zero; a value a rounding error short of a whole degree counts
// as that degree.
int WholeDegrees(double degrees) { return static_cast<int>(degrees + std::copysign(1e-9, degrees)); }

void ShowCorrections(const DriftInput& in, double azimuth, double elevation, bool rambaut) {
    const char* axis = rambaut ? "hour" : "hh";
    const char* degreeWord = rambaut ? "degrees" : "degree";
    char fields[32], text[128];
    FormatFixed(fields, FieldsOfView(azimuth, in.resolution), 2);
    std::snprintf(text, sizeof text, "Move the north end of the %s axis %s FOV to the %s.", axis, fields,
                  azimuth <= 0 ? "WEST" : "EAST");
    ShowMessage(text, "");
    FormatFixed(fields, FieldsOfView(std::sin(in.dec - in.latitude) * azimuth, in.resolution), 2);
    std::snprintf(text, sizeof text, "with star at declination %d %s %s FOV to the %s",
                  WholeDegrees(in.dec / kRadiansPerDegree), degreeWord, fields, azimuth <= 0 ? "WEST" : "EAST");
    ShowMessage(text, "");
    FormatFixed(fields, FieldsOfView(elevation, in.resolution), 2);
    std::snprintf(text, sizeof text, elevation <= 0 ? "Increase  elevation of the %s axis %s FOV"
                                                    : "Lower elevation of the %s axis %s FOV",
                  axis, fields);
    ShowMessage(text, "");
}

void ClearResults() {
    for (int id : {kDirection, kLambda, kAzimuth, kElevation}) SetField(id, "");
}

}  // namespace

const CatalogStar& PolarisEntry() {
    static const CatalogStar polaris = {"FK5", "POLARIS", 0, 2.5301955556, 89.2640888889, 19.877, -1.52, 0.007,
                                        -17.0};
    return polaris;
}

int DriftTimerMinutes(int row) { return row >= 0 && row < 5 ? kTimerRowMinutes[row] : 0; }

int PolarFinderCount(int screenHeight) { return screenHeight > ScaleX(240) ? 4 : 2; }

void StartDriftTimer(int row) {
    PolarAssistantState& s = polarAssistant;
    ReadDeviceClock();
    ShowDateTime(true);
    const int minutes = DriftTimerMinutes(row);
    s.driftStart = Now();
    s.driftEnd = -1;
    s.markX = s.markY = -1;
    if (minutes == 0) {
        ShowMessage("Wait some minutes without tracking and then tap on the reticule chart to point where the stars "
                    "is placed after this period",
                    "");
        s.alarm = -1;
    } else {
        char text[128];
        std::snprintf(text, sizeof text,
                      "An alarm will remain you in %dmn to indicate where is the targeted star on your the reticle.",
                      minutes);
        ShowMessage(text, "");
        s.alarm = s.driftStart + minutes * 60;
        if (FormShown()) platform::SetTimer(polarWindow, kAlarmTimer, 1000);
    }
    s.step = 5;
}

int EvaluateDrift() {
    const DriftInput in = ReadDriftInput();
    const bool rambaut = polarAssistant.method == kPolarRambaut;
    SetPreferenceFloat(pref::reticleResolution, static_cast<float>(in.resolution));
    DriftResult r;
    const DriftFault fault = rambaut ? RambautDrift(in, &r) : KingDrift(in, &r);
    if (fault != DriftFault::None) {
        ShowMessage(DriftFaultHeading(fault), DriftFaultDetail(fault));
        ClearResults();
        return 0;
    }
    char text[32];
    SetField(kRa, HMSToStr(text, sizeof text, in.ra / kRadiansPerDegree / 15.0));
    SetField(kDec, DMSToStr(text, sizeof text, in.dec / kRadiansPerDegree));
    const int decimals = rambaut ? 4 : 2;
    SetDecimalField(kX, in.x, decimals);
    SetDecimalField(kY, in.y, decimals);
    SetDecimalField(kResolution, in.resolution, 2);
    if (rambaut) {
        SetField(kSecondDec, DMSToStr(text, sizeof text, in.secondDec / kRadiansPerDegree));
        SetCutField(kDirection, r.direction / kRadiansPerDegree, 6, 10);
        SetDecimalField(kLambda, r.total * kArcSecondsPerRadian, 2);
        SetCutField(kAzimuth, r.azimuth * kArcSecondsPerRadian, 4, 7);
        SetCutField(kElevation, r.elevation * kArcSecondsPerRadian, 4, 7);
    } else {
        SetDecimalField(kDirection, r.direction / kRadiansPerDegree, 2);
        SetDecimalField(kLambda, r.total * kArcSecondsPerRadian, 2);
        SetDecimalField(kAzimuth, r.azimuth * kArcSecondsPerRadian, 2);
        SetDecimalField(kElevation, r.elevation * kArcSecondsPerRadian, 2);
    }
    ShowCorrections(in, r.azimuth, r.elevation, rambaut);
    return 1;
}

int PolarFormPenDown(int x, int y) {
    PolarAssistantState& s = polarAssistant;
    if (s.method == kPolarQuick) return 0;
    const int rx = static_cast<int>((x - s.reticleBox.x) / screenScale.horizontal);
    const int ry = static_cast<int>((y - s.reticleBox.y) / screenScale.vertical);
    if (x < s.reticleBox.x || y < s.reticleBox.y || rx >= kReticleSize || ry >= kReticleSize) return 0;
    if (s.step != 5) {
        ShowMessage("Star timer fisrt", "");
        s.step = 4;
        return 1;
    }
    s.driftEnd = Now();
    SetIntegerField(kX, rx - kReticleCentre);
    SetIntegerField(kY, kReticleCentre - ry);
    if (s.alarm >= 0 && s.driftEnd < s.alarm) ShowMessage("Remove previous alarm.", "");
    s.alarm = -1;
    if (FormShown()) platform::KillTimer(polarWindow, kAlarmTimer);
    s.markX = rx;
    s.markY = ry;
    DrawDriftReticle(false);
    EvaluateDrift();
    s.step = 4;
    return 1;
}

int PolarFormCommand(int id, int list) {
    PolarAssistantState& s = polarAssistant;
    switch (id) {
    case kBack:
    case 1:
        GoBackForm();
        return 1;
    case kMethodPopup: {
        const int row = GetListSelection(list);
        if (row < 0 || row > 2) return 1;
        s.method = row;
        Repaint();
        return 1;
    }
    case kReticlePopup: {
        const int row = GetListSelection(list);
        if (row < 0 || row > 1) return 1;
        s.reticle = row;
        Repaint();
        return 1;
    }
    case kTimerPopup:
        StartDriftTimer(GetListSelection(list));
        return 1;
    case kClock:
        ReadDeviceClock();
        Repaint();
        return 1;
    case kHelp:
        ShowHelp();
        return 1;
    case kAssistant1:
        ChooseStar(1);
        return 1;
    case kAssistant2:
        MeasureResolution();
        return 1;
    case kAssistant3:
        DrawDriftReticle(false);
        ShowMessage("\x95 Choose a star close to the object you want to",
                    "follow and put it at the center of the field of view (Position A).");
        ChooseStar(3);
        return 1;
    default:
        return 0;
    }
}

namespace {

void MakeControls(Window w) {
    InitTitle(w, kTitle, "PolarAssistant");
    InitHelpAndBackButtons(w, kHelp, kBack);
    for (int id : {kClock, kAssistant1, kAssistant2, kAssistant3}) InitButton(w, id, -1, 0, 0);
    for (int i = 2; i >= 0; --i) AppendListItem(w, kMethodList, kMethodRows[i]);
    InitPopupList(w, kMethodPopup, kMethodList, -1, 0, polarAssistant.method);
    for (int i = 1; i >= 0; --i) AppendListItem(w, kReticleList, kReticleRows[i]);
    InitPopupList(w, kReticlePopup, kReticleList, -1, 0, polarAssistant.reticle);
    for (int i = 4; i >= 0; --i) AppendListItem(w, kTimerList, kTimerRows[i]);
    InitPopupList(w, kTimerPopup, kTimerList, -1, 0, -1);
    SetPopupLabel(kTimerPopup, "Timer");
    for (int id : kFields) InitField(w, id, 0);
}

void EditField(Window w, int id) {
    PolarAssistantState& s = polarAssistant;
    if (id == kDate || id == kTime) {
        if (s.year < 0) ReadDeviceClock();
        EditDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second);
        Repaint();
        return;
    }
    EditListedField(w, id, kFieldEdits);
}

void ClosePolarForm(Window w) {
    platform::KillTimer(w, kAlarmTimer);
    *Redraw() = 1;
    for (int id : {kTitle, kHelp, kBack, kClock, kAssistant1, kAssistant2, kAssistant3, kMethodPopup, kReticlePopup,
                   kTimerPopup})
        ReleaseControl(w, id);
    for (int id : kFields) ReleaseControl(w, id);
    if (polarWindow == w) polarWindow = Window{};
}

void CheckAlarm() {
    PolarAssistantState& s = polarAssistant;
    if (s.alarm < 0 || Now() < s.alarm) return;
    s.alarm = -1;
    if (FormShown()) platform::KillTimer(polarWindow, kAlarmTimer);
    platform::PlaySound("startTimer");
    ShowMessage("The drift interval is over.", "Tap on the reticle where the star now stands.");
}

}  // namespace

LResult PolarAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    static const AssistantForm form = [] {
        AssistantForm f;
        f.formId = kPolarFormId;
        f.init = [](Window dialog) {
            polarWindow = dialog;
            MakeControls(dialog);
            // The drift reticle's place on the form (design pixels 176, 52).
            polarAssistant.reticleBox = Bounds{ScaleX(176), ScaleY(52), ScaleX(kReticleSize), ScaleY(kReticleSize)};
            if (polarAssistant.alarm >= 0) platform::SetTimer(dialog, kAlarmTimer, 1000);
        };
        f.draw = &DrawPolarForm;
        f.close = &ClosePolarForm;
        f.command = [](Window dialog, int id, int list) {
            int handled = 0;
            DrawOnAssistantForm(dialog, [&] { handled = PolarFormCommand(id, list); });
            return handled;
        };
        f.fieldTap = &EditField;
        f.timer = [](Window, unsigned id) {
            if (id == kAlarmTimer) CheckAlarm();
        };
        f.penDown = [](Window dialog, int x, int y) {
            DrawOnAssistantForm(dialog, [&] { PolarFormPenDown(x, y); });
        };
        return f;
    }();
    return HandleAssistantForm(form, w, message, wParam, lParam);
}
