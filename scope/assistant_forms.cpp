#include "scope/assistant_forms.h"

#include <cstdio>

#include "core/number_text.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/fields.h"
#include "shell/text_input.h"
#include "shell/utilities.h"

int ScaleX(double n) { return static_cast<int>(n * screenScale.horizontal); }
int ScaleY(double n) { return static_cast<int>(n * screenScale.vertical); }

void SetIntegerField(int id, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetField(id, text);
}

void SetDecimalField(int id, double value, int decimals) {
    char text[32];
    FormatFixed(text, value, decimals);
    SetField(id, text);
}

FieldText ReadField(int id) {
    FieldText f{};
    GetField(id, f.text, sizeof f.text);
    return f;
}

platform::LResult HandleAssistantForm(const AssistantForm& form, platform::Window w, unsigned message,
                                      platform::WParam wParam, platform::LParam lParam) {
    std::int32_t* const redraw = FormRedrawFlag(form.formId);
    if (platform::LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, redraw, &result))
        return result;
    switch (message) {
    case platform::kMsgInitDialog:
        InitFormWindow(w);
        if (form.init) form.init(w);
        *redraw = 1;
        return 1;
    case platform::kMsgPaint:
        PaintForm(w, form.draw, redraw, 0, 0);
        return 1;
    case platform::kMsgTimer:
        if (form.timer) form.timer(w, static_cast<unsigned>(wParam));
        return 1;
    case platform::kMsgKeyDown:
        // The hardware keys do nothing on these forms.
        return 1;
    case platform::kMsgPenDown:
        if (form.penDown) {
            const platform::Point p = platform::PointFromParam(lParam);
            form.penDown(w, p.x, p.y);
            return 1;
        }
        return 0;
    case platform::kMsgClose:
        *redraw = 1;
        if (form.close) form.close(w);
        return 0;
    case kMsgFieldTap:
        if (form.fieldTap) form.fieldTap(w, platform::LowWord(wParam));
        return 1;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id == kCmdCloseForm) {
            *redraw = 1;
            if (form.close) form.close(w);
            CloseForm(form.formId);
            return 1;
        }
        return form.command ? form.command(w, id, platform::HighWord(wParam)) : 0;
    }
    default:
        return 0;
    }
}

bool EditListedField(platform::Window w, int id, const FieldEdit* edits, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (edits[i].id != id) continue;
        SaveScreen();
        EditTextDialog(w, id, edits[i].caption, edits[i].characters + 1);
        return true;
    }
    return false;
}

void ShowDateAndTime(int dateId, int timeId, const int (&t)[6], bool seconds) {
    char text[40];
    FormatDate(text, t[2], t[1], t[0]);
    SetField(dateId, text);
    if (seconds) std::snprintf(text, sizeof text, "%02d:%02d:%02d", t[3], t[4], t[5]);
    else std::snprintf(text, sizeof text, "%02d:%02d", t[3], t[4]);
    SetField(timeId, text);
}
