#include "scope/camera_control.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/number_text.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/sound.h"
#include "scope/assistant_forms.h"
#include "scope/camera_log.h"
#include "scope/serial_port.h"
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
using namespace camera_form;

CameraSequence cameraSeq;
std::string cameraStatus;
std::string cameraCountdown;

namespace {

Window cameraWindow;
constexpr const char* kIsoRows[] = {"100", "200", "400", "800", "1600", "3200"};
constexpr int kIsoCount = 6;
// The buttons of an idle form, hidden while a shot runs.
constexpr int kIdleButtons[] = {kStart, kBack, kSave, kDelete, kClear};

constexpr FieldEdit kTextEdits[] = {
    {kShots, "Nb of Shots:", 4},    {kExposure, "Time in Sec:", 5}, {kDelay, "Delay in Sec:", 5},
    {kFileName, "Filename:", kCameraLogNameSize - 1}, {kDescription, "Description:", 250},
};

std::int32_t* Redraw() { return FormRedrawFlag(kCameraFormId); }
bool FormShown() { return platform::IsWindow(cameraWindow); }

std::int64_t NowSeconds() { return static_cast<std::int64_t>(GetSeconds()); }

Bounds StatusArea() { return Bounds{ScaleX(100), ScaleY(7), ScaleX(75), ScaleY(14)}; }

void DrawStatusText(const std::string& text, int x) {
    if (!FormShown() || text.empty()) return;
    const int transparent = SetTextTransparent(1);
    DrawString(text.c_str(), static_cast<int>(text.size()), ScaleX(x), ScaleY(7));
    SetTextTransparent(transparent);
}

void ShowStatus(const std::string& text) {
    ClearCameraStatus();
    cameraStatus = text;
    DrawStatusText(text, 100);
}

void ShowCountdown(long long seconds) {
    char text[24];
    std::snprintf(text, sizeof text, "%llds ", seconds);
    cameraCountdown = text;
    DrawStatusText(cameraCountdown, 160);
}

void ShowIdleButtons(bool idle) {
    if (!FormShown()) return;
    for (int id : kIdleButtons) {
        if (idle) ShowObject(cameraWindow, id);
        else HideObject(cameraWindow, id);
    }
    if (idle) HideObject(cameraWindow, kStop);
    else ShowObject(cameraWindow, kStop);
}

void StopTimer() {
    if (FormShown()) platform::KillTimer(cameraWindow, kTimer);
}

// A refused or failed shot ends the sequence, so that the timer does not ask again every
// half second.
void AbandonSequence() {
    cameraSeq.shotsLeft = 0;
    cameraSeq.running = 0;
    StopTimer();
    ClearCameraStatus();
    ShowIdleButtons(true);
}

void ShowDateTimeFields(bool seconds) {
    const ObservingDateTime& t = observingDateTime;
    ShowDateAndTime(kDate, kTime, {t.year, t.month, t.day, t.hour, t.minute, t.second}, seconds);
}

// A whole number field from 0 to `limit`; a refusal names the field.
bool ReadCount(int id, const char* name, int limit, int* value) {
    const FieldText f = ReadField(id);
    const int v = StrToInt(f.text);
    if (v < 0 || v > limit) {
        char detail[96];
        std::snprintf(detail, sizeof detail, "Type the %s as a whole number from 0 to %d.", name, limit);
        ShowMessage("Invalid camera setting", detail);
        return false;
    }
    *value = v;
    SetIntegerField(id, v);
    return true;
}

void FillLogList() {
    if (!FormShown()) return;
    const Window list = FindListView(cameraWindow, kLogList);
    if (!list) return;
    const int count = CountCameraLog();
    std::vector<std::string> names;
    const CameraLogRecord kept = cameraLogRecord;
    for (int i = 0; i < count; ++i)
        names.push_back(CameraLogEdit(i) ? cameraLogRecord.fileName : "");
    cameraLogRecord = kept;
    std::vector<const char*> texts;
    for (const std::string& n : names) texts.push_back(n.c_str());
    FillList(list, texts.data(), count);
}

void SaveToLog() {
    CameraLogRecord r{};
    const ObservingDateTime& t = observingDateTime;
    r.year = t.year;
    r.month = t.month;
    r.day = t.day;
    r.hour = t.hour;
    r.minute = t.minute;
    const int iso = GetListSelection(kIsoList);
    r.iso = iso >= 0 && iso < kIsoCount ? iso : 0;
    r.shots = StrToInt(ReadField(kShots).text);
    r.exposure = StrToInt(ReadField(kExposure).text);
    r.delay = StrToInt(ReadField(kDelay).text);
    char name[kCameraLogNameSize] = {};
    GetField(kFileName, name, sizeof name);
    if (name[0] == '\0') std::snprintf(name, sizeof name, "Shot %d", CountCameraLog());
    std::memcpy(r.fileName, name, sizeof name);
    GetField(kDescription, r.description, 256);
    CameraLogUpdate(-1, r);
    FillLogList();
}

void DeleteFromLog() {
    const int row = GetListSelection(kLogList);
    if (row < 0) {
        ShowMessage("No log entry selected.", "Tap an entry of the log, then Delete.");
        return;
    }
    CameraLogDel(row);
    CloseCameraLog();
    OpenCameraLog();
    FillLogList();
}

void ShowLogEntry(int row) {
    if (row < 0 || !CameraLogEdit(row)) return;
    const CameraLogRecord& r = cameraLogRecord;
    ShowDateAndTime(kDate, kTime, {r.year, r.month, r.day, r.hour, r.minute, 0}, false);
    SetIntegerField(kShots, r.shots);
    SetIntegerField(kExposure, r.exposure);
    SetIntegerField(kDelay, r.delay);
    SetPopupList(kIsoPopup, kIsoList, r.iso >= 0 && r.iso < kIsoCount ? r.iso : 0);
    SetField(kFileName, r.fileName);
    SetField(kDescription, r.description);
}

void ClearFields() {
    cameraSeq.shotsLeft = 0;
    for (int id : {kShots, kExposure, kDelay, kDate, kTime, kFileName, kDescription}) SetField(id, "");
    SetListSelection(kIsoList, 0);
    SetPopupList(kIsoPopup, kIsoList, 0);
}

void EditDateAndTime(Window w) {
    ObservingDateTime& t = observingDateTime;
    int y = t.year, mo = t.month, d = t.day, h = t.hour, mi = t.minute, s = t.second;
    EditDateTime(&y, &mo, &d, &h, &mi, &s);
    SetObservingDateTime(y, mo, d, h, mi, s);
    // The program may have been closed under the picker: the form is gone with its fields.
    if (platform::IsWindow(w)) ShowDateTimeFields(true);
}

void EditField(Window w, int id) {
    if (id == kDate || id == kTime) {
        EditDateAndTime(w);
        return;
    }
    EditListedField(w, id, kTextEdits);
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "CameraControl");
    InitHelpAndBackButtons(w, kInfo, kBack);
    for (int id : {kStart, kStop, kClear, kSave, kDelete}) InitButton(w, id, -1, 0, 0);
    for (int i = kIsoCount - 1; i >= 0; --i) AppendListItem(w, kIsoList, kIsoRows[i]);
    InitPopupList(w, kIsoPopup, kIsoList, -1, 0, 0);
    for (int id : {kShots, kExposure, kDelay, kDate, kTime, kFileName, kDescription}) InitField(w, id, 0);
    InitList(w, kLogList, 0, -1, 1);
}

void DrawCameraForm() { PushFormHistory(kCameraFormId); }

void CloseCameraForm(Window w) {
    // Leaving the form never leaves the shutter open.
    if (cameraSeq.exposing || cameraSeq.running) {
        cameraSeq.shotsLeft = 0;
        EndCameraShot();
    }
    platform::KillTimer(w, kTimer);
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kBack, kStart, kStop, kClear, kSave, kDelete, kIsoPopup, kShots, kExposure, kDelay,
                   kDate, kTime, kFileName, kDescription, kLogList})
        ReleaseControl(w, id);
    CloseCameraLog();
    if (cameraWindow == w) cameraWindow = Window{};
}

int CameraCommand(Window w, int id, int list) {
    switch (id) {
    case kStart:
        DrawOnAssistantForm(w, [] { StartCameraSequence(); });
        return 1;
    case kStop:
        DrawOnAssistantForm(w, [] { StopCameraSequence(); });
        return 1;
    case kBack:
    case 1:
        StopTimer();
        cameraSeq.shotsLeft = 0;
        DrawOnAssistantForm(w, [] { EndCameraShot(); });
        GoBackForm();
        return 1;
    case kClear:
        ClearFields();
        return 1;
    case kSave:
        SaveToLog();
        return 1;
    case kDelete:
        DeleteFromLog();
        return 1;
    case kLogList:
        ShowLogEntry(GetListSelection(kLogList));
        return 1;
    case kIsoPopup: {
        const int row = GetListSelection(list);
        if (row >= 0 && row < kIsoCount) SetPopupList(kIsoPopup, kIsoList, row);
        return 1;
    }
    case kInfo:
        ShowMessage("\x95 This assistant lets you control you Canon DSLR camera.\n\x95 To do this you need to build a "
                    "dedicated cable",
                    "\x95 The wiring plan is provided on Velkarion web site.");
        return 1;
    default:
        return 0;
    }
}

}  // namespace

void ClearCameraStatus() {
    cameraStatus.clear();
    cameraCountdown.clear();
    if (FormShown()) FillRectangle(StatusArea());
}

int StartCameraShot() {
    CameraSequence& s = cameraSeq;
    if (s.shotsLeft <= 0) return 0;
    const int port = preferences.word[pref::cameraPort];
    if (port <= 0) {
        ShowMessage("No camera port selected.", "Choose the Camera Port on preference page 1/7.");
        AbandonSequence();
        return 0;
    }
    // An open port belongs to a mount connection (a shot always closes its own).
    if (IsSerialOpen()) {
        ShowMessage("The serial port is in use by the mount.",
                    "Disconnect the mount before taking shots: the shutter lines would go onto its line.");
        AbandonSequence();
        return 0;
    }
    if (port >= AddDefaultComPort()) {
        char detail[96];
        std::snprintf(detail, sizeof detail, "Camera Port %d is not among the serial ports found.", port);
        ShowMessage("Can't open serial port", detail);
        AbandonSequence();
        return 0;
    }
    // Both report what went wrong themselves.
    if (!OpenSerialPort(port, kShutterBaud) || !SetSerialParams(kShutterLineMask)) {
        SetSerialHold(0);
        CloseSerialPort();
        AbandonSequence();
        return 0;
    }
    // From here the shutter is open.
    ShowIdleButtons(false);
    char text[32];
    std::snprintf(text, sizeof text, "Shot %d/%d", s.totalShots - s.shotsLeft + 1, s.totalShots);
    ShowStatus(text);
    s.exposing = 1;
    s.running = 1;
    s.now = NowSeconds();
    s.exposureEnd = s.now + s.exposureSeconds;
    s.shotStart = s.now;
    platform::KeepScreenOn(true);
    platform::PlaySound("startTimer");
    return 1;
}

void EndCameraShot() {
    CameraSequence& s = cameraSeq;
    s.shotsLeft -= 1;
    if (s.shotsLeft < 1) {
        s.shotsLeft = 0;
        s.running = 0;
        ShowIdleButtons(true);
    }
    if (!s.exposing) return;
    SetSerialHold(0);
    CloseSerialPort();
    s.exposing = 0;
    platform::KeepScreenOn(false);
    platform::PlaySound("stopTimer");
}

void HandleCameraTimer() {
    CameraSequence& s = cameraSeq;
    const std::int64_t now = NowSeconds();
    const std::int64_t remaining = s.exposureEnd - now;
    s.now = now;
    if (s.exposing && now >= s.exposureEnd) {
        EndCameraShot();
        if (s.shotsLeft == 0) ShowStatus("All done");
        else s.shotStart = now + s.delaySeconds;
    }
    if (!s.exposing && s.running && s.shotsLeft > 0) {
        // A stall (a message box, the settling wait) may have passed the start second.
        if (now >= s.shotStart) {
            StartCameraShot();
        } else {
            char text[32];
            std::snprintf(text, sizeof text, "Wait %llds", static_cast<long long>(s.shotStart - now));
            ShowStatus(text);
        }
    }
    if (remaining >= 0 && s.exposing) {
        ShowCountdown(remaining);
    } else if (remaining <= -2 && !s.running) {
        ClearCameraStatus();
        StopTimer();
    }
}

void StartCameraSequence() {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &sec);
    SetObservingDateTime(y, mo, d, h, mi, sec);
    ShowDateTimeFields(false);
    int shots = 0, exposure = 0, delay = 0;
    if (!ReadCount(kShots, "number of shots", 9999, &shots) ||
        !ReadCount(kExposure, "exposure time in seconds", 99999, &exposure) ||
        !ReadCount(kDelay, "delay in seconds", 99999, &delay))
        return;
    CameraSequence& s = cameraSeq;
    s.shotsLeft = s.totalShots = shots;
    s.exposureSeconds = exposure;
    s.delaySeconds = delay;
    s.exposing = 0;
    s.running = 0;
    if (!StartCameraShot()) return;
    HandleCameraTimer();
    if (FormShown()) platform::SetTimer(cameraWindow, kTimer, kTimerMs);
}

void StopCameraSequence() {
    StopTimer();
    cameraSeq.shotsLeft = 0;
    ClearCameraStatus();
    EndCameraShot();
}

LResult CameraControl(Window w, unsigned message, WParam wParam, LParam lParam) {
    static const AssistantForm form = [] {
        AssistantForm f;
        f.formId = kCameraFormId;
        f.init = [](Window dialog) {
            cameraWindow = dialog;
            MakeControls(dialog);
            OpenCameraLog();
            FillLogList();
        };
        f.draw = &DrawCameraForm;
        f.close = &CloseCameraForm;
        f.command = &CameraCommand;
        f.fieldTap = &EditField;
        f.timer = [](Window dialog, unsigned id) {
            if (id == kTimer) DrawOnAssistantForm(dialog, [] { HandleCameraTimer(); });
        };
        return f;
    }();
    return HandleAssistantForm(form, w, message, wParam, lParam);
}
