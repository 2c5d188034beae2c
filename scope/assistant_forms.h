#pragma once
// What the assistant forms of this folder share: their dialog procedure, drawing on a form
// outside its paint, numbers into fields, and the screen scale of a design length.
#include <cstddef>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/controls.h"
#include "shell/form_dispatcher.h"

// A form's own parts; the shared procedure does the rest (set-up, paint, activation,
// closing). Null parts are skipped.
struct AssistantForm {
    int formId = 0;
    void (*init)(platform::Window form) = nullptr;       // after the shell's set-up
    FormDrawFunction draw = nullptr;
    void (*close)(platform::Window form) = nullptr;      // releases the form's controls
    // A command (list: the high word, the popup's list); 1 when handled.
    int (*command)(platform::Window form, int id, int list) = nullptr;
    void (*fieldTap)(platform::Window form, int id) = nullptr;
    void (*timer)(platform::Window form, unsigned id) = nullptr;
    void (*penDown)(platform::Window form, int x, int y) = nullptr;
};
platform::LResult HandleAssistantForm(const AssistantForm& form, platform::Window w, unsigned message,
                                      platform::WParam wParam, platform::LParam lParam);

// Runs a drawing step on the form's own window outside a paint, and keeps what it drew as
// the screen the form repaints from (unless the step closed the form).
template <typename Step>
void DrawOnAssistantForm(platform::Window w, Step step);

// A design length in pixels of the screen, horizontally and vertically.
int ScaleX(double n);
int ScaleY(double n);
// "%d" into a field of the current form.
void SetIntegerField(int id, int value);
// A fixed number of decimals into a field of the current form.
void SetDecimalField(int id, double value, int decimals);
// The text of a field of the current form (at most 63 characters).
struct FieldText {
    char text[64];
};
FieldText ReadField(int id);

// A date (in the device's order) and a time ("%02d:%02d", with ":%02d" seconds when
// asked) into two fields of the current form. `t` holds year, month, day, hour, minute,
// second.
void ShowDateAndTime(int dateId, int timeId, const int (&t)[6], bool seconds);

// A field the text input edits: its caption and how many characters it takes.
struct FieldEdit {
    int id;
    const char* caption;
    int characters;
};
// Opens the text input on field `id` when the table lists it; false otherwise.
template <std::size_t N>
bool EditListedField(platform::Window w, int id, const FieldEdit (&edits)[N]) {
    return EditListedField(w, id, edits, N);
}
bool EditListedField(platform::Window w, int id, const FieldEdit* edits, std::size_t count);

// ---- implementation of the template -----------------------------------------------------
#include "platform/gfx_context.h"
#include "shell/draw_targets.h"

template <typename Step>
void DrawOnAssistantForm(platform::Window w, Step step) {
    const platform::Dc dc = platform::GetWindowDc(w);
    SetDrawTarget(w, dc);
    step();
    if (platform::IsWindow(w)) SaveScreen();
    platform::ReleaseDc(w, dc);
}
