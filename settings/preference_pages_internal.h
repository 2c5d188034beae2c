#pragma once
// What the preference page files share: how a page is described to the common dialog
// procedure, the control makers that remember what the page made (its close releases
// exactly that), and the reading of typed numbers.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "core/settings.h"
#include "platform/messages.h"
#include "platform/types.h"
#include "platform/window.h"
#include "settings/preference_pages.h"

namespace prefpage {

// A field the text input edits: its title and how many characters it takes.
struct FieldEdit {
    int id;
    const char* title;
    int characters;
};

struct PageSpec {
    int formId;
    int titleId;
    const char* title;
    int ok, next, prev;              // 0: the page has none
    void (*build)(platform::Window); // the page's own controls
    void (*refresh)();
    int (*apply)();
    const FieldEdit* edits;
    int editCount;
    // A command the page handles itself (a popup choice: list is its list id); true when
    // it was the page's.
    bool (*local)(platform::Window, int id, int list);
    // Owner-drawn rows: the page paints the rows of its lists (null: none).
    void (*drawItem)(platform::Window, const platform::DrawItemInfo*);
    int (*rowHeight)(int listId);   // 0: the list's own
};

// The common dialog procedure of the seven pages.
platform::LResult RunPage(const PageSpec& page, platform::Window w, unsigned message, platform::WParam wParam,
                          platform::LParam lParam);

// The window of the page on screen (null when none).
platform::Window PageWindow();

// Control makers: each remembers the id for the page's close.
void MakeButton(platform::Window w, int id);
void MakeInfoButton(platform::Window w, int id);
void MakeLabel(platform::Window w, int id);
void MakeField(platform::Window w, int id);
// A popup whose list shows `texts` in that order (filled from the last, since each new
// row goes on top), so a stored value is the row shown.
void MakePopup(platform::Window w, int trigger, int list, const char* const* texts, int count, int visible = 0);
// A popup whose `rows` rows the page draws.
void MakeOwnerPopup(platform::Window w, int trigger, int list, int rows, int visible = 0);
void ShowTabs();
void ShowIds(std::initializer_list<int> ids);

// The row of a list, 0 when none is chosen.
int ListRow(int list);

// Fields whose text a refresh wrote: an apply reads back only what the user changed, so
// a visit never rounds a stored value to its shown text.
void ShowFieldText(int id, const std::string& text);
// The field's text, and whether it differs from what the refresh showed.
bool FieldEdited(int id, std::string* text);

// A typed number: blanks around it, an optional sign, digits with at most one '.' or ','.
bool ReadTypedNumber(const std::string& text, double* value);
// Refuses a typed value: "Invalid <name>" with what to type instead.
void RefuseField(const char* name, const char* expected, const std::string& text);
// A number field as an apply finds it: untouched (its shown text), typed and taken, or
// typed and refused (named in a message: not a number, or outside low..high).
enum class Typed { Untouched, Taken, Refused };
Typed ReadEditedNumber(int field, const char* name, const char* expected, double low, double high, double* value);
// Stores a typed number through `store`; false when the field was refused.
template <typename Store>
bool ApplyNumberField(int field, const char* name, const char* expected, double low, double high, Store store) {
    double value = 0;
    const Typed typed = ReadEditedNumber(field, name, expected, low, high, &value);
    if (typed == Typed::Taken) store(value);
    return typed != Typed::Refused;
}

// The settings word, and a popup of a fixed list of texts.
inline std::int32_t& Word(int word) { return preferences.word[word]; }
template <std::size_t N>
void Popup(platform::Window w, int trigger, int list, const char* const (&texts)[N], int visible = 0) {
    MakePopup(w, trigger, list, texts, static_cast<int>(N), visible);
}

// Page 1/7's drive choice: stored at once, the encoder fields shown or hidden for it.
void ChooseScopeDrive();

}  // namespace prefpage
