#include "scope/ccd_assistant.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "catalog/databases.h"
#include "catalog/records.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "scope/assistant_forms.h"
#include "scope/assistant_links.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace ccd_form;

const CcdPreset ccdPresets[kCcdPresetCount] = {
    {"User Data", 0, 0, 0, 0},
    {"Canon 350D", 2220, 1480, 642, 642},
    {"ToUCam Pro", 460, 397, 560, 560},
    {"SBIG ST-4", 260, 260, 1375, 1600},
    {"SBIG ST-5C", 320, 240, 1000, 1000},
    {"SBIG ST-6B", 860, 650, 2300, 2700},
    {"SBIG ST-7,7E,XE", 690, 460, 900, 900},
    {"SBIG ST-8,8E,XE", 1380, 920, 900, 900},
    {"SBIG ST-9E,XE", 1020, 1020, 2000, 2000},
    {"SBIG ST-10E,XE", 1490, 1000, 680, 680},
    {"SBIG ST-1001E", 2460, 2460, 2400, 2400},
    {"SBIG ST-2000XM", 1180, 890, 740, 740},
    {"StarLight MX5", 490, 260, 980, 1260},
    {"StarLight HX5", 490, 260, 740, 740},
    {"StarLight MX916", 870, 670, 2320, 2240},
};

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;
// The finder chart's object: M31, at the chart's zoom level 9.
constexpr int kFinderMessierPosition = 30;
constexpr int kFinderZoom = 9;

// The size fields: the settings word each fills and the largest value it takes
// (hundredths).
struct SizeField {
    int id;
    int word;
    int limit;
    const char* name;
};
constexpr SizeField kSizeFields[] = {
    {kWidth, pref::sensorWidth, 20000, "sensor width"},
    {kHeight, pref::sensorHeight, 20000, "sensor height"},
    {kPixelWidth, pref::pixelWidth, 10000, "pixel width"},
    {kPixelHeight, pref::pixelHeight, 10000, "pixel height"},
};
constexpr int kOutputFields[] = {kFieldAcross, kFieldDown, kDiagonal, kPixelAcross, kPixelDown};

Window ccdWindow;

std::int32_t* Redraw() { return FormRedrawFlag(kCcdFormId); }
std::int32_t& Word(int n) { return preferences.word[n]; }

int PresetChoice() {
    const int choice = Word(pref::cameraPreset);
    return choice >= 0 && choice < kCcdPresetCount ? choice : 0;
}

void ClearResults() {
    for (int id : kOutputFields) SetField(id, "");
}

void DrawFinder() {
    const AssistantLinks& links = GetAssistantLinks();
    if (!links.drawFinderChart) return;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    Bounds area;
    if (!CcdFinderArea(width, height, &area)) return;
    ObjectRef m31{};
    if (!GetMessierObject(kFinderMessierPosition, &m31)) return;
    std::snprintf(m31.name, sizeof m31.name, "%s", "M31");
    // The chart draws the camera frame only while its CCD layer is on.
    const std::int32_t saved = Word(pref::showFovCcd);
    Word(pref::showFovCcd) = 1;
    links.drawFinderChart(m31, kFinderZoom, area);
    Word(pref::showFovCcd) = saved;
}

void DrawCcdForm() {
    PushFormHistory(kCcdFormId);
    const int choice = PresetChoice();
    SetPopupList(kPresetPopup, kPresetList, choice);
    if (choice != 0) {
        const CcdPreset& p = ccdPresets[choice];
        Word(pref::sensorWidth) = p.width;
        Word(pref::sensorHeight) = p.height;
        Word(pref::pixelWidth) = p.pixelWidth;
        Word(pref::pixelHeight) = p.pixelHeight;
    }
    for (const SizeField& f : kSizeFields) {
        char text[24];
        FormatHundredths(text, sizeof text, Word(f.word));
        SetField(f.id, text);
    }
    SetIntegerField(kFocal, Word(pref::ccdFocalLength));
    DrawFinder();
    ComputeCcdFov();
}

void Repaint(Window w) {
    *Redraw() = 1;
    platform::InvalidateRect(w, nullptr, false);
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "CCD Assistant");
    InitHelpAndBackButtons(w, kInfo, kBack);
    InitButton(w, kUpdate, -1, 0, 0);
    // Rows show the last one added first: the table goes in from its end.
    for (int i = kCcdPresetCount - 1; i >= 0; --i) AppendListItem(w, kPresetList, ccdPresets[i].name);
    InitPopupList(w, kPresetPopup, kPresetList, -1, 8, PresetChoice());
    for (const SizeField& f : kSizeFields) InitField(w, f.id, 0);
    InitField(w, kFocal, 0);
    for (int id : kOutputFields) InitField(w, id, 0);
}

void EditField(Window w, int id) {
    static constexpr FieldEdit kEdits[] = {
        {kWidth, "Width in mm:", 6},       {kHeight, "Height in mm:", 6}, {kPixelWidth, "Pixel Width:", 6},
        {kPixelHeight, "Pixel Height:", 6}, {kFocal, "Scope Focal:", 5},
    };
    EditListedField(w, id, kEdits);
}

int CcdCommand(Window w, int id, int list) {
    switch (id) {
    case kPresetPopup: {
        const int row = GetListSelection(list);
        if (row < 0 || row >= kCcdPresetCount) return 1;
        Word(pref::cameraPreset) = row;
        DrawOnAssistantForm(w, [] { DrawCcdForm(); });
        return 1;
    }
    case kUpdate: {
        int computed = 0;
        DrawOnAssistantForm(w, [&] { computed = ComputeCcdFov(); });
        // A refused value stays in its field for the user to mend.
        if (computed) Repaint(w);
        return 1;
    }
    case kBack:
    case 1:
        ComputeCcdFov();
        GoBackForm();
        return 1;
    case kInfo:
        ShowMessage("To display your CCD Field Of View (FOV) in RorAdudo:",
                    "\x95 Select your CCD camera from the list or manually enter your CCD sizes.\n\x95 Then tap "
                    "Update to compute the FOV and to save the sizes.");
        return 1;
    default:
        return 0;
    }
}

}  // namespace

bool ComputeCcdField(int width, int height, int pixelWidth, int pixelHeight, int focalMm, CcdField* out) {
    if (focalMm <= 0 || !out) return false;
    const double f = focalMm;
    out->across = 2.0 * std::atan(width * 0.005 / f) * kDegreesPerRadian;
    out->down = 2.0 * std::atan(height * 0.005 / f) * kDegreesPerRadian;
    const double w = width * 0.01, h = height * 0.01;
    out->diagonal = 2.0 * std::atan(0.5 * std::sqrt(w * w + h * h) / f) * kDegreesPerRadian;
    // 2.06: 206.265 arc seconds per radian over the hundredths of a micrometre; the value
    // is cut to hundredths.
    out->pixelAcross = std::floor(pixelWidth * 2.06 / f * 100.0) * 0.01;
    out->pixelDown = std::floor(pixelHeight * 2.06 / f * 100.0) * 0.01;
    return true;
}

void FormatHundredths(char* buffer, int size, std::int32_t value) {
    const char* sign = value < 0 ? "-" : "";
    const long magnitude = std::labs(static_cast<long>(value));
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s%ld.%02ld", sign, magnitude / 100, magnitude % 100);
}

std::int32_t ReadHundredths(const char* text) {
    // To the nearest hundredth: 5.05 is 504.99999... in binary, and must read back as 505.
    const double value = StrToDouble(text) * 100.0;
    if (!(std::fabs(value) < 2e9)) return 0;
    return static_cast<std::int32_t>(std::lround(value));
}

int ComputeCcdFov() {
    bool valid = true;
    for (const SizeField& f : kSizeFields) {
        const std::int32_t v = ReadHundredths(ReadField(f.id).text);
        if (v < 0 || v > f.limit) {
            char detail[96];
            std::snprintf(detail, sizeof detail, "Type a %s from 0 to %d.", f.name, f.limit / 100);
            ShowMessage("Invalid CCD value", detail);
            valid = false;
            continue;
        }
        Word(f.word) = v;
    }
    const int typed = StrToInt(ReadField(kFocal).text);
    Word(pref::ccdFocalLength) = typed;
    const int focal = typed == 0 ? GetFocalLengthMm() : typed;
    CcdField field{};
    if (!valid) {
        ClearResults();
        return 0;
    }
    if (!ComputeCcdField(Word(pref::sensorWidth), Word(pref::sensorHeight), Word(pref::pixelWidth),
                         Word(pref::pixelHeight), focal, &field)) {
        ShowMessage("No focal length",
                    "Type the focal length of the telescope in mm, or set its aperture and focal ratio on the "
                    "preference page 2/7.");
        ClearResults();
        return 0;
    }
    char text[32];
    SetField(kFieldAcross, DMSToStr(text, sizeof text, field.across));
    SetField(kFieldDown, DMSToStr(text, sizeof text, field.down));
    SetField(kDiagonal, DMSToStr(text, sizeof text, field.diagonal));
    SetDecimalField(kPixelAcross, field.pixelAcross, 2);
    SetDecimalField(kPixelDown, field.pixelDown, 2);
    return 1;
}

bool CcdFinderArea(int screenWidth, int screenHeight, Bounds* area) {
    const double layoutWidth = screenWidth / screenScale.horizontal;
    const double layoutHeight = screenHeight / screenScale.vertical;
    if (layoutWidth <= 320 && layoutHeight <= 320) return false;
    const int spareWidth = screenWidth - ScaleX(240);
    const int spareHeight = screenHeight - ScaleY(320);
    if (spareWidth >= spareHeight) {
        // Beside the fields.
        *area = Bounds{ScaleX(240), ScaleY(26), spareWidth - ScaleX(2), screenHeight - ScaleY(28)};
    } else {
        // Below the fields, above the update button.
        *area = Bounds{ScaleX(2), ScaleY(288), screenWidth - ScaleX(4), spareHeight};
    }
    return area->width > 0 && area->height > 0;
}

void InitCcdForm(Window dialog) {
    ccdWindow = dialog;
    MakeControls(dialog);
    if (Word(pref::ccdFocalLength) == 0) Word(pref::ccdFocalLength) = GetFocalLengthMm();
    *Redraw() = 1;
}

int LayoutCcdForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    MoveObject(dialog, kInfo, dx, 0, 0, 0);
    MoveObject(dialog, kBack, dx, 0, 0, 0);
    MoveObject(dialog, kUpdate, 0, dy, 0, 0);
    return 1;
}

void CloseCcdForm(Window dialog) {
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kBack, kUpdate, kPresetPopup, kWidth, kHeight, kPixelWidth, kPixelHeight, kFocal,
                   kFieldAcross, kFieldDown, kDiagonal, kPixelAcross, kPixelDown})
        ReleaseControl(dialog, id);
    if (ccdWindow == dialog) ccdWindow = Window{};
}

LResult CcdAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    static const AssistantForm form = [] {
        AssistantForm f;
        f.formId = kCcdFormId;
        f.init = [](Window dialog) {
            InitCcdForm(dialog);
            const platform::Rect client = platform::GetClientRect(dialog);
            LayoutCcdForm(dialog, client.Width(), client.Height());
        };
        f.draw = &DrawCcdForm;
        f.close = &CloseCcdForm;
        f.command = &CcdCommand;
        f.fieldTap = &EditField;
        return f;
    }();
    return HandleAssistantForm(form, w, message, wParam, lParam);
}
