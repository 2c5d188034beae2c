#pragma once
// The text input through which forms edit the text of their fields: dialog layout 135 with
// a label (136), the text (137), OK (1) and Cancel (2), run modally over the form.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

constexpr int kTextInputDialog = 135;
constexpr int kTextInputLabel = 136;
constexpr int kTextInputEdit = 137;
constexpr int kTextInputSize = 500;
constexpr int kTextInputLabelSize = 80;

struct TextInputState {
    char text[kTextInputSize];         // what the dialog edits; only OK changes it
    char label[kTextInputLabelSize];
    int limit = kTextInputSize;        // OK keeps at most limit - 1 characters
    int closing = 0;
    platform::Window menuBar;
};
extern TextInputState textInput;

// Edits the text of control id of the dialog under `label` (empty: no label, the text
// takes the full width). OK stores at most limit - 1 characters (limit kept within 1..500);
// Cancel leaves the control as it was. True when OK stored the text; false for Cancel, or
// when the pad ended otherwise (the program quitting), after which the form may be gone.
bool EditTextDialog(platform::Window dialog, int id, const char* label, int limit);

platform::LResult TextInputDlgProc(platform::Window dialog, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam);
