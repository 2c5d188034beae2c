#include "shell/dreyer_block.h"

#include <algorithm>
#include <cstring>

#include "catalog/descriptions.h"
#include "catalog/records.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/scratch_text.h"

namespace {

constexpr int kLabelFont = 5;
constexpr int kTextFont = 2;

void Label(const char* text, int x, int y) {
    const int previous = SetFont(kLabelFont);
    DrawString(text, static_cast<int>(std::strlen(text)), x, y);
    SetFont(previous);
}

}  // namespace

void DrawDreyerDesc(const ObjectRef* object, Bounds* rect) {
    if (!rect) return;
    FillRectangle(*rect);
    // The words go into a buffer of their own: the page's text buffer may hold what the
    // caller composed.
    char raw[kDreyerDescriptionSize] = {};
    char words[kTxtBufferSize] = {};
    if (!object || !GetDreyerTexts(object, raw, words, sizeof words)) return;

    const int step = static_cast<int>(13 * screenScale.vertical);
    const int x = rect->x, top = rect->y, width = rect->width;
    const int previous = GetFont();
    Label("Dreyer desc.", x, top);
    SetFont(kTextFont);
    const int used = DrawTextInBox(raw, x, top + step, width, std::max(rect->height - step, step));
    Label("Translation", x, top + step + used);
    SetFont(kTextFont);
    rect->y = top + 2 * step + used;
    DrawTextInBox(words, x, rect->y, width, std::max(top + rect->height - rect->y, step));
    SetFont(previous);
}
