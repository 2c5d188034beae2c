#include "settings/preference_pages.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "scope/serial_port.h"
#include "settings/preference_pages_internal.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/scratch_text.h"
#include "shell/text_input.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;

void (*currentPageApply)() = nullptr;

namespace prefpage {
namespace {

Window pageWindow;
// The controls the page on screen made, which its close releases.
std::vector<int> made;
// What the page's refresh wrote into its fields.
std::map<int, std::string> shownTexts;
// The page whose paint is running.
const PageSpec* painting = nullptr;
// A synchronisation step is running (its message box lets the timer tick meanwhile).
bool inSyncStep = false;

constexpr int kPageForms[7] = {kPreferencePage1Form, kPreferencePage2Form, kPreferencePage3Form, kPreferencePage4Form,
                               kPreferencePage5Form, kPreferencePage6Form, kPreferencePage7Form};

bool IsPageForm(int formId) { return std::find(std::begin(kPageForms), std::end(kPageForms), formId) != std::end(kPageForms); }

// The pages count as one place in the form history: moving between them replaces the
// page recorded, so that Ok goes back to the form the pages were opened from.
void RecordInHistory(int formId) {
    std::int32_t& newest = formHistory.slots[kFormHistorySize - 1];
    if (IsPageForm(newest)) {
        newest = formId;
        preferences.word[pref::lastPushedForm] = formId;
        return;
    }
    PushFormHistory(formId);
}

void DrawPage() {
    if (!painting) return;
    RecordInHistory(painting->formId);
    painting->refresh();
}

void ClosePage(const PageSpec& page, Window w) {
    if (page.formId == kPreferencePage7Form) platform::KillTimer(w, kSyncTimer);
    *FormRedrawFlag(page.formId) = 1;
    for (int id : made) ReleaseControl(w, id);
    made.clear();
    shownTexts.clear();
    currentPageApply = nullptr;
    if (pageWindow == w) pageWindow = Window{};
}

void Remember(int id) {
    if (std::find(made.begin(), made.end(), id) == made.end()) made.push_back(id);
}

void EditField(const PageSpec& page, Window w, int id) {
    for (int i = 0; i < page.editCount; ++i) {
        const FieldEdit& f = page.edits[i];
        if (f.id != id) continue;
        SaveScreen();
        EditTextDialog(w, id, f.title, f.characters + 1);
        return;
    }
}

// The pages in order, with their apply.
struct PageNav {
    int formId;
    int (*apply)();
};
constexpr PageNav kPages[7] = {
    {kPreferencePage1Form, &ApplyPreferencePage1}, {kPreferencePage2Form, &ApplyPreferencePage2},
    {kPreferencePage3Form, &ApplyPreferencePage3}, {kPreferencePage4Form, &ApplyPreferencePage4},
    {kPreferencePage5Form, &ApplyPreferencePage5}, {kPreferencePage6Form, &ApplyPreferencePage6},
    {kPreferencePage7Form, &ApplyPreferencePage7},
};

// Ok, Next and Prev: the page they stand on (0-based) and where they go (0: back).
struct PageButton {
    int id;
    int page;
    int target;
};
constexpr PageButton kPageButtons[] = {
    {kOk1, 0, 0},
    {kNext1, 0, kPreferencePage2Form},
    {kOk2, 1, 0},
    {kNext2, 1, kPreferencePage3Form},
    {kPrev2, 1, kPreferencePage1Form},
    {kOk3, 2, 0},
    {kNext3, 2, kPreferencePage4Form},
    {kPrev3, 2, kPreferencePage2Form},
    {kOk4, 3, 0},
    {kNext4, 3, kPreferencePage5Form},
    {kPrev4, 3, kPreferencePage3Form},
    {kOk5, 4, 0},
    {kNext5, 4, kPreferencePage6Form},
    {kPrev5, 4, kPreferencePage4Form},
    {kOk6, 5, 0},
    {kPrev6, 5, kPreferencePage5Form},
    {kOk7, 6, 0},
    {kPrev7, 6, kPreferencePage6Form},
};

struct InfoText {
    int id;
    const char* heading;
    const char* detail;
};
constexpr InfoText kInfoTexts[] = {
    {kInfoDrive,
     "\x95 Select your drive from the list or tap None if yours is not present.\n\x95 Encoders require binary input "
     "pulses and negative value for a reverse setting!",
     "\x95 If applicable set Scope Port, GPS Port,and Camera Port."},
    {kInfoComputation,
     "\x95 A star's position will be corrected for refraction and/or Earth effects of aberration, precession & "
     "nutation.",
     "\x95 Use Polar for polar aligned scopes and 2-Star for all others.\n\x95 Horizon is used to compute rise and "
     "set."},
    {kInfoUser,
     "\x95 These items are used, along with the Sun's and Moon's brightness, to compute your naked eye visual "
     "magnitude limit.",
     "\x95 It is a NightTripper selection criteria."},
    {kInfoScope, "\x95 Scope Diameter (in mm) and F-Ratio are used to compute an object's visibility indicator.",
     "\x95 Mount Type is used for the 2- and N-StarAlignment tools."},
    {kInfoOther, "\x95 The number selected is the set of objects to be displayed on the RorAdudo.",
     "\x95 Time mode allows you to manually enter a date and time.\n\x95 Night Mode will darken and redden the "
     "display to preserve night vision."},
    {kInfoChart, "\x95 Set Rendering to Precision to get more accurate star and object positions.",
     "\x95 Select your eyepiece to display its field of view within Roradudo."},
    {kInfoZoom, "Set Star and Object magnitude limit for each Zoom Level.", ""},
    {kInfoFormats, "\x95 Set the format for RA and Dec.", "\x95 Set the unit of display of the distances."},
    {kInfoConstants, "\x95 Jupiter's Great Red Spot (GRS) longitude is used to compute its transit time.",
     "\x95 DeltaT (difference between \"Terrestrial Time\" TT, and \"Universal Time\" UT) is used to compute "
     "Topocentric positions."},
};

// Ok, Next and Prev of each page, for the layout.
struct BottomButtons {
    int formId;
    int ok;
    int moved[2];  // the Next and Prev buttons: they keep to the right edge
};
constexpr BottomButtons kBottomButtons[] = {
    {kPreferencePage1Form, kOk1, {kNext1, 0}},      {kPreferencePage2Form, kOk2, {kNext2, kPrev2}},
    {kPreferencePage3Form, kOk3, {kNext3, kPrev3}}, {kPreferencePage4Form, kOk4, {kNext4, kPrev4}},
    {kPreferencePage5Form, kOk5, {kNext5, kPrev5}}, {kPreferencePage6Form, kOk6, {kPrev6, 0}},
    {kPreferencePage7Form, 0, {0, 0}},
};

void StopSync() {
    if (GetCurrentFormId() == kPreferencePage7Form && platform::IsWindow(pageWindow))
        platform::KillTimer(pageWindow, kSyncTimer);
}

}  // namespace

// ---- Shared with the page files ------------------------------------------------------------

Window PageWindow() { return pageWindow; }

void MakeButton(Window w, int id) {
    Remember(id);
    InitButton(w, id, -1, 0, 0);
}

void MakeInfoButton(Window w, int id) {
    Remember(id);
    // The help picture is shared by many forms; until it is drawn, the button shows its text.
    InitButton(w, id, platform::FindBitmapEntry(kInfoBitmap) ? kInfoBitmap : -1, 0, 0);
}

void MakeLabel(Window w, int id) {
    Remember(id);
    InitLabel(w, id);
}

void MakeField(Window w, int id) {
    Remember(id);
    InitField(w, id, 0);
}

void MakePopup(Window w, int trigger, int list, const char* const* texts, int count, int visible) {
    Remember(trigger);
    for (int i = count - 1; i >= 0; --i) AppendListItem(w, list, texts[i]);
    InitPopupList(w, trigger, list, -1, visible, -1);
}

void MakeOwnerPopup(Window w, int trigger, int list, int rows, int visible) {
    Remember(trigger);
    FillList(FindListView(w, list), nullptr, rows);
    InitPopupList(w, trigger, list, rows, visible, -1);
}

void ShowTabs() {
    for (int id = kFirstTab; id <= kLastTab; ++id) ShowObject(pageWindow, id);
}

void ShowIds(std::initializer_list<int> ids) {
    for (int id : ids) ShowObject(pageWindow, id);
}

int ListRow(int list) { return std::max(0, GetListSelection(list)); }

void ShowFieldText(int id, const std::string& text) {
    shownTexts[id] = text;
    SetField(id, text.c_str());
}

bool FieldEdited(int id, std::string* text) {
    char buffer[256] = {};
    GetField(id, buffer, sizeof buffer);
    *text = buffer;
    const auto it = shownTexts.find(id);
    return it == shownTexts.end() || it->second != *text;
}

bool ReadTypedNumber(const std::string& text, double* value) {
    std::size_t i = 0, end = text.size();
    while (i < end && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    while (end > i && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    std::size_t p = i;
    if (p < end && (text[p] == '-' || text[p] == '+')) ++p;
    int digits = 0, separators = 0;
    for (; p < end; ++p) {
        const char c = text[p];
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.' || c == ',') ++separators;
        else return false;
    }
    if (digits == 0 || separators > 1) return false;
    *value = StrToDouble(text.c_str() + i);
    return true;
}

void RefuseField(const char* name, const char* expected, const std::string& text) {
    char heading[64];
    char detail[192];
    std::snprintf(heading, sizeof heading, "Invalid %s", name);
    if (text.empty()) std::snprintf(detail, sizeof detail, "Type %s.", expected);
    else std::snprintf(detail, sizeof detail, "Type %s, not \"%s\".", expected, text.c_str());
    ShowMessage(heading, detail);
}

Typed ReadEditedNumber(int field, const char* name, const char* expected, double low, double high, double* value) {
    std::string text;
    if (!FieldEdited(field, &text)) return Typed::Untouched;
    if (!ReadTypedNumber(text, value) || !(*value >= low && *value <= high)) {
        RefuseField(name, expected, text);
        return Typed::Refused;
    }
    return Typed::Taken;
}

LResult RunPage(const PageSpec& page, Window w, unsigned message, WParam wParam, LParam lParam) {
    std::int32_t* const redraw = FormRedrawFlag(page.formId);
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, redraw, &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        pageWindow = w;
        made.clear();
        shownTexts.clear();
        *redraw = 1;
        InitFormWindow(w);
        Remember(page.titleId);
        InitTitle(w, page.titleId, page.title);
        for (int id = kFirstTab; id <= kLastTab; ++id) MakeButton(w, id);
        for (int id : {page.ok, page.next, page.prev})
            if (id) MakeButton(w, id);
        page.build(w);
        const platform::Rect client = platform::GetClientRect(w);
        LayoutPreferencePage(w, page.formId, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        painting = &page;
        PaintForm(w, &DrawPage, redraw, 1, 0);
        painting = nullptr;
        return 1;
    case platform::kMsgClose:
        ClosePage(page, w);
        return 0;
    case kMsgFieldTap:
        EditField(page, w, platform::LowWord(wParam));
        return 1;
    case platform::kMsgMeasureItem: {
        auto* info = reinterpret_cast<platform::MeasureItemInfo*>(lParam);
        if (!info || !page.rowHeight) return 0;
        const int height = page.rowHeight(info->controlId);
        if (height <= 0) return 0;
        info->height = height;
        return 1;
    }
    case platform::kMsgDrawItem: {
        auto* info = reinterpret_cast<platform::DrawItemInfo*>(lParam);
        if (!info || !page.drawItem) return 0;
        page.drawItem(w, info);
        return 1;
    }
    case platform::kMsgTimer:
        if (page.formId != kPreferencePage7Form || wParam != kSyncTimer || inSyncStep) return 0;
        inSyncStep = true;
        DrawOnForm(w, [] { PictureSyncStep(); });
        inSyncStep = false;
        return 1;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id == kCmdCloseForm) {
            ClosePage(page, w);
            CloseForm(page.formId);
            return 1;
        }
        // The title bar or the OK key: the page's Ok.
        if (id == 1) {
            if (page.formId == kPreferencePage7Form) platform::KillTimer(w, kSyncTimer);
            DrawOnForm(w, [&] { PreferenceCommand(page.ok); });
            return 1;
        }
        if (page.local && page.local(w, id, platform::HighWord(wParam))) return 1;
        DrawOnForm(w, [id] { PreferenceCommand(id); });
        return 1;
    }
    default:
        return 0;
    }
}

}  // namespace prefpage

using namespace prefpage;

void PreferenceCommand(int id) {
    if (id >= kFirstTab && id <= kLastTab) {
        if (currentPageApply) currentPageApply();
        GotoForm(kPageForms[id - kFirstTab]);
        return;
    }
    for (const PageButton& b : kPageButtons) {
        if (b.id != id) continue;
        // A refused value keeps the page on screen, with the value named, for the user to mend.
        if (!kPages[b.page].apply()) return;
        if (b.target) GotoForm(b.target);
        else GoBackForm();
        return;
    }
    for (const InfoText& t : kInfoTexts) {
        if (t.id != id) continue;
        ShowMessage(t.heading, t.detail);
        return;
    }
    switch (id) {
    case kDriveList:
        ChooseScopeDrive();
        return;
    case kSync:
        StartPictureSync();
        return;
    case kStop:
        // The synchronisation ends itself this way too, so the page's timer stops here.
        StopSync();
        StopPictureSync();
        return;
    case kClear:
        ClearPictureSync();
        return;
    default:
        return;
    }
}

int LayoutPreferencePage(Window dialog, int formId, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    if ((formId == kPreferencePage4Form || formId == kPreferencePage5Form) &&
        height <= static_cast<int>(260 * screenScale.vertical))
        dy = -static_cast<int>(20 * screenScale.vertical);
    for (int id = kFirstTab; id <= kLastTab; ++id) MoveObject(dialog, id, 0, dy, 0, 0);
    for (const BottomButtons& b : kBottomButtons) {
        if (b.formId != formId) continue;
        if (b.ok) MoveObject(dialog, b.ok, 0, dy, 0, 0);
        for (int id : b.moved)
            if (id) MoveObject(dialog, id, dx, dy, 0, 0);
    }
    return 1;
}

void DrawPortListItem(int row, Bounds rect) {
    if (!txtBuffer) return;
    GetComPortName(row, txtBuffer, kTxtBufferSize);
    DrawStringNoFont(txtBuffer, static_cast<int>(std::strlen(txtBuffer)), rect.x + static_cast<int>(2 * screenScale.horizontal),
                     rect.y);
}
