#pragma once
// FormScreenFixture: the shell around a headless loop, with a main window that shows forms
// on command 9900, for any test of a form. FormsFixture: that, with small test forms (ids
// 60201 to 60203, outside the program's range) whose behaviour each test scripts: which
// controls they make and release, what their commands do, what they draw. Every form keeps
// a log of what happened to it, in order.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/surface.h"
#include "platform/system_colors.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "core/initialisers.h"
#include "shell/message_box.h"
#include "core/settings.h"
#include "shell/scratch_text.h"
#include "support/headless_fixture.h"
#include "shell/commands.h"

// A main window as the program's: shows the form a kCmdShowForm command names.
inline platform::LResult FormHostProc(platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    if (m == platform::kMsgCommand && platform::LowWord(wp) == kCmdShowForm) {
        ShowForm(static_cast<std::uint16_t>(lp & 0xFFFF));
        return 0;
    }
    return platform::DefWindowProc(w, m, wp, lp);
}

// SetUp loads the resources and leaves day colours and their brushes, a text buffer and no
// form, control or form history; a derived fixture then installs its forms and calls
// StartWithMainWindow. TearDown ends the loop, undoes all that and puts the preferences
// back; a derived TearDown stops the loop itself (Stop) before it takes its forms away.
class FormScreenFixture : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        ASSERT_TRUE(platform::LoadResources());
        savedPreferences = preferences;
        // Day colours, whatever an earlier test of the program left.
        platform::ResetSystemColors();
        PrepareSettings();
        preferences.word[pref::nightMode] = 0;
        InitScreenScale();
        CreateSchemeBrushes();
        if (!txtBuffer) {
            txtBuffer = static_cast<char*>(std::calloc(kTxtBufferSize, 1));
            ownTxtBuffer = true;
        }
        formWindow = platform::Window{};
        controlRegistry.count = 0;
        ResetFormHistory();
        SetAllFormRedrawFlags();
    }
    // The settings the fixture's tests start from, made before the colour scheme (which is
    // the day one whatever they say).
    virtual void PrepareSettings() {}

    // Runs the loop with a full-screen main window of `proc`.
    void StartWithMainWindow(platform::WindowProc proc) {
        Start();
        Call([proc] {
            platform::WindowSpec desc;
            desc.rect = platform::Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
            desc.proc = proc;
            mainWindow = platform::CreateWindow(desc);
        });
    }

    void TearDown() override {
        Stop();
        FreeSavedScreen();
        FreeScreenBuffer();
        ReleaseDrawTarget();
        mainWindow = platform::Window{};
        formWindow = platform::Window{};
        SetActiveFormHandle(platform::Window{});
        controlRegistry.count = 0;
        if (ownTxtBuffer) {
            std::free(txtBuffer);
            txtBuffer = nullptr;
        }
        HeadlessFixture::TearDown();
        DeleteSchemeBrushes();
        platform::ClearResources();
        preferences = savedPreferences;
    }

    static platform::Window Item(int id) { return platform::GetDialogItem(formWindow, static_cast<std::uint16_t>(id)); }

    // A command to the form on screen, as its control `id` sends it (`high`: the
    // notification, or the list of a popup trigger).
    void Command(int id, int high = 0) {
        Call([=] {
            platform::SendMessage(formWindow, platform::kMsgCommand,
                                  platform::MakeLong(static_cast<std::uint16_t>(id), static_cast<std::uint16_t>(high)), 0);
        });
        RunUntilIdle();
    }
    // Picks a row of a popup list as the popup does.
    void Pick(int trigger, int list, int row) {
        Call([=] { SetListSelection(list, row); });
        Command(trigger, list);
    }
    // The label a popup trigger shows in place of its choice ("?" without a popup).
    std::string Label(int trigger) {
        std::string out;
        Call([&] {
            const PopupControl* p = GetPopupControl(Item(trigger));
            out = p ? p->label : "?";
        });
        return out;
    }
    void SetText(int id, const std::string& text) {
        Call([=] { SetField(id, text.c_str()); });
    }
    std::string Text(int id) {
        std::string out;
        Call([&] {
            char text[256] = {};
            GetField(id, text, sizeof text);
            out = text;
        });
        return out;
    }

    Preferences savedPreferences{};
    bool ownTxtBuffer = false;
};

// A form that only stands in for another not under test: it shows, records itself in the
// history and closes when told.
template <int Id>
platform::LResult StandInFormProc(platform::Window w, unsigned m, platform::WParam wp, platform::LParam) {
    switch (m) {
    case platform::kMsgInitDialog:
        InitFormWindow(w);
        InitTitle(w, -1, "");
        return 1;
    case platform::kMsgPaint:
        PaintForm(w, [] { PushFormHistory(Id); }, FormRedrawFlag(Id), 0, 0);
        return 1;
    case platform::kMsgEraseBackground:
        return 1;
    case platform::kMsgCommand:
        if (platform::LowWord(wp) != kCmdCloseForm) return 0;
        *FormRedrawFlag(Id) = 1;
        CloseForm(Id);
        return 1;
    default:
        return 0;
    }
}

namespace forms_test {

constexpr int kFormA = 60201;
constexpr int kFormB = 60202;
constexpr int kFormC = 60203;
constexpr int kTitle = 8001;
constexpr int kGo = 60211;
constexpr int kHold = 60212;
constexpr int kOther = 60213;
constexpr int kField = 60221;
constexpr int kLabel = 60231;
constexpr int kCheck = 60241;
constexpr int kShortField = 60222;

// Design pixels; the same layout for the three forms, so that a control of the next form
// lies where the same control of the previous one was.
inline std::string FormLayoutText(int id) {
    return "dialog " + std::to_string(id) + R"(
rect 0 0 240 294
button 8001 "" 0 0 60 24
button 60211 "Go" 10 40 60 20
button 60212 "Hold" 80 40 60 20
button 60213 "Other" 150 40 60 20
edit 60221 "field text" 10 80 200 40 multiline
edit 60222 "" 10 130 200 13
static 60231 "Label" 10 150 100 14
button 60241 "Check" 10 170 80 16 autothreestate
)";
}

struct FormScript {
    const char* title = "Form";
    int titleId = kTitle;  // -1: the form bookkeeping without a title bar
    std::vector<int> buttons{kGo, kHold, kOther};
    std::vector<int> autoRepeat;
    std::vector<std::pair<int, int>> fields;  // id, style
    std::vector<int> labels;
    std::vector<int> release{kTitle, kGo, kHold, kOther};
    std::function<void(platform::Window, int)> onCommand;
    FormDrawFunction draw = nullptr;
};

inline std::map<int, FormScript>& Scripts() {
    static std::map<int, FormScript> s;
    return s;
}
inline std::vector<std::string>& Log() {
    static std::vector<std::string> l;
    return l;
}
inline void Note(const std::string& s) { Log().push_back(s); }

inline platform::LResult HandleTestForm(int id, platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    FormScript& s = Scripts()[id];
    const std::string me = std::to_string(id);
    switch (m) {
        case platform::kMsgInitDialog:
            Note("init " + me);
            InitFormWindow(w);
            InitTitle(w, s.titleId, s.title);
            for (int b : s.buttons) InitButton(w, b, -1, 0, 0);
            for (int b : s.autoRepeat) SetButtonAutoRepeat(w, b, 1);
            for (auto [f, style] : s.fields) InitField(w, f, style);
            for (int l : s.labels) InitLabel(w, l);
            return 1;
        case platform::kMsgPaint:
            PaintForm(w, s.draw, FormRedrawFlag(id), 0, 0);
            return 1;
        case platform::kMsgEraseBackground: return 1;
        case platform::kMsgActivate:
            HandleFormActivate(w, wp, lp, &formActivateInfo, FormRedrawFlag(id));
            return 0;
        case kMsgFieldTap:
            Note("tap " + me + " " + std::to_string(wp));
            return 1;
        case platform::kMsgCommand: {
            const int cmd = platform::LowWord(wp);
            if (cmd == kCmdCloseForm) {
                Note("close " + me);
                for (int r : s.release) ReleaseControl(w, r);
                *FormRedrawFlag(id) = 1;
                CloseForm(id);
                Note("closed " + me);
                return 1;
            }
            Note("cmd " + me + " " + std::to_string(cmd));
            if (s.onCommand) s.onCommand(w, cmd);
            Note("cmd done " + me + " " + std::to_string(cmd));
            return 1;
        }
        case platform::kMsgDestroy:
            Note("destroy " + me);
            return 0;
        default: return 0;
    }
}

template <int Id>
platform::LResult TestForm(platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    return HandleTestForm(Id, w, m, wp, lp);
}

inline std::vector<int>& ShownIds() {
    static std::vector<int> v;
    return v;
}

inline platform::LResult TestMainProc(platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    if (m == platform::kMsgCommand && platform::LowWord(wp) == kCmdShowForm)
        ShownIds().push_back(static_cast<int>(lp & 0xFFFF));
    return FormHostProc(w, m, wp, lp);
}

class FormsFixture : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        for (int id : {kFormA, kFormB, kFormC}) {
            platform::DialogLayout layout;
            std::string error;
            ASSERT_TRUE(platform::ParseDialogLayout(FormLayoutText(id), &layout, &error)) << error;
            platform::RegisterDialogLayout(layout);
        }
        Scripts().clear();
        Log().clear();
        ShownIds().clear();
        SetFormDialogProc(kFormA, &TestForm<kFormA>);
        SetFormDialogProc(kFormB, &TestForm<kFormB>);
        SetFormDialogProc(kFormC, &TestForm<kFormC>);
        // Real forms the tests open by id stay out of the way: their rows answer as rows
        // whose form is not built.
        for (int id : kParkedForms) parked[id] = SetFormDialogProc(id, nullptr);
        messageHeadingTexts.count = messageDetailTexts.count = 0;
        messageQueue.busy = 0;
        lastPressedButton = platform::Window{};
        ClearShellCalls();
        StartWithMainWindow(&TestMainProc);
    }
    void PrepareSettings() override { preferences.word[pref::scopeDrive] = 0; }

    void TearDown() override {
        Stop();
        for (int id : {kFormA, kFormB, kFormC}) SetFormDialogProc(id, nullptr);
        for (auto [id, proc] : parked) SetFormDialogProc(id, proc);
        platform::SetBoxPresenter(nullptr);
        FormScreenFixture::TearDown();
    }

    // Opens a form the way the program does, and runs until it is shown.
    void Open(int id) {
        Call([id] { GotoForm(id); });
    }
    static std::vector<int> Registry() {
        return std::vector<int>(controlRegistry.data, controlRegistry.data + controlRegistry.count);
    }
    static std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const platform::ShownBox& b : platform::ShownBoxes()) out.push_back(b.text);
        return out;
    }
    static int Count(const std::string& event) {
        int n = 0;
        for (const std::string& e : Log()) n += e == event;
        return n;
    }
    // The colour of a pixel of the screen surface under a window's client point.
    static platform::Color PixelOf(platform::Window w, int x, int y) {
        const platform::Surface* s = platform::WindowSurface(w);
        const platform::Point o = platform::WindowOrigin(w);
        return platform::PixelToColor(s->Row(y + o.y)[x + o.x]);
    }

    static constexpr int kParkedForms[] = {112, 1200, 1950, 2400};
    std::map<int, platform::DialogProc> parked;
};

}  // namespace forms_test
