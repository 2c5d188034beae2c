#include "settings/checklists.h"

#include <cstring>

#include "core/report.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/text_input.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace checklist;

std::int32_t checklistState[kCheckCount];

namespace {

struct Page {
    int formId;
    const char* title;
    int firstCheck, lastCheck;
    int leftButton, rightButton;  // rightButton 0: none
    int leftForm, rightForm;
    int okButton;                 // what the OK key stands for
    int alwaysShown[2];           // the row at the sixth place: label or field, check box
    int tallRows[3][2];           // the rows shown on screens over 260 (x scale) high
};

constexpr Page kPages[3] = {
    {kPage1, "CheckList 1/3", 2210, 2220, kPage1Ok, kPage1Next, kHomeForm, kPage2, kPage1Ok, {147, 2217},
     {{148, 2218}, {149, 2219}, {150, 2220}}},
    {kPage2, "CheckList 2/3", 2221, 2231, kPage2Prev, kPage2Next, kPage1, kPage3, kPage2Next, {147, 2228},
     {{148, 2229}, {149, 2230}, {150, 2231}}},
    {kPage3, "CheckList 3/3", 2232, 2241, kPage3Prev, 0, kPage2, 0, kPage3Prev, {2244, 2239},
     {{2245, 2240}, {2246, 2241}, {0, 0}}},
};

Window pageWindows[3];

std::int32_t* Redraw(const Page& p) { return FormRedrawFlag(p.formId); }

int ScreenHeightLimit() { return static_cast<int>(260 * screenScale.vertical); }

void ShowPage(int n) {
    const Page& p = kPages[n];
    const Window w = pageWindows[n];
    if (n == 2)
        for (int i = 0; i < kLabelCount; ++i) SetField(kFirstLabelField + i, preferences.checklistLabels[i]);
    if (platform::IsWindow(w))
        for (int id = p.firstCheck; id <= p.lastCheck; ++id) SetCheck(w, id, checklistState[id - kFirstCheck]);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (!platform::IsWindow(w)) return;
    if (height > ScreenHeightLimit())
        for (const auto& row : p.tallRows)
            for (int id : row)
                if (id) ShowObject(w, id);
    for (int id : p.alwaysShown) ShowObject(w, id);
    ShowObject(w, p.leftButton);
    if (p.rightButton) ShowObject(w, p.rightButton);
}

void ShowPage1() { ShowPage(0); }
void ShowPage2() { ShowPage(1); }
void ShowPage3() { ShowPage(2); }
constexpr FormDrawFunction kShowPage[3] = {&ShowPage1, &ShowPage2, &ShowPage3};

// The page's marks (and on page 3 its texts) are kept before another page opens.
void StorePage(int n) {
    const Page& p = kPages[n];
    const Window w = pageWindows[n];
    if (platform::IsWindow(w))
        for (int id = p.firstCheck; id <= p.lastCheck; ++id) checklistState[id - kFirstCheck] = GetCheck(w, id) ? 1 : 0;
    if (n != 2) return;
    for (int i = 0; i < kLabelCount; ++i) {
        char text[30] = {};
        GetField(kFirstLabelField + i, text, 30);
        std::memcpy(preferences.checklistLabels[i], text, sizeof text);
        preferences.checklistLabels[i][29] = '\0';
    }
}

int PageCommand(int n, int id) {
    const Page& p = kPages[n];
    if (id == kInfo) {
        ShowMessage("Use this Checklist to remind you to bring everything you will need for your NightTripping.", "");
        return 0;
    }
    int next = 0;
    if (id == p.leftButton) next = p.leftForm;
    else if (p.rightButton && id == p.rightButton) next = p.rightForm;
    if (!next) return 0;
    StorePage(n);
    GotoForm(next);
    return 1;
}

void LayoutPage(int n, Window dialog, int width, int height) {
    const Page& p = kPages[n];
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return;
    MoveObject(dialog, p.leftButton, 0, dy, 0, 0);
    if (p.rightButton) MoveObject(dialog, p.rightButton, dx, dy, 0, 0);
    MoveObject(dialog, kInfo, dx, 0, 0, 0);
}

void ReleasePage(int n, Window dialog) {
    *Redraw(kPages[n]) = 1;
    for (int id : {kTitle, kInfo, kHeading1, kHeading2}) ReleaseControl(dialog, id);
    if (n == 2)
        for (int i = 0; i < kLabelCount; ++i) ReleaseControl(dialog, kFirstLabelField + i);
    if (pageWindows[n] == dialog) pageWindows[n] = Window{};
}

LResult PageProc(int n, Window w, unsigned message, WParam wParam, LParam lParam) {
    const Page& p = kPages[n];
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(p), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        pageWindows[n] = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, p.title);
        InitButton(w, kInfo, 5076, 0, 0);
        InitLabel(w, kHeading1);
        InitLabel(w, kHeading2);
        if (n == 2)
            for (int i = 0; i < kLabelCount; ++i) InitField(w, kFirstLabelField + i, 0);
        *Redraw(p) = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutPage(n, w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, kShowPage[n], Redraw(p), 1, 0);
        return 1;
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (n != 2 || id < kFirstLabelField || id >= kFirstLabelField + kLabelCount) return 1;
        SaveScreen();
        EditTextDialog(w, id, "Label:", 26);
        return 1;
    }
    case platform::kMsgClose:
        ReleasePage(n, w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id == kCmdCloseForm) {
            ReleasePage(n, w);
            CloseForm(p.formId);
            return 1;
        }
        if (id == 1) {
            PageCommand(n, p.okButton);
            return 1;
        }
        if (id == kInfo || id == p.leftButton || (p.rightButton && id == p.rightButton)) {
            PageCommand(n, id);
            return 1;
        }
        return 0;
    }
    default:
        return 0;
    }
}

}  // namespace

int Checklist1Command(int id) { return PageCommand(0, id); }
int Checklist2Command(int id) { return PageCommand(1, id); }
int Checklist3Command(int id) { return PageCommand(2, id); }

LResult CheckListPage1(Window w, unsigned m, WParam wp, LParam lp) { return PageProc(0, w, m, wp, lp); }
LResult CheckListPage2(Window w, unsigned m, WParam wp, LParam lp) { return PageProc(1, w, m, wp, lp); }
LResult CheckListPage3(Window w, unsigned m, WParam wp, LParam lp) { return PageProc(2, w, m, wp, lp); }
