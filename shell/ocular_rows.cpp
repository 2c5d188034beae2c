#include "shell/ocular_rows.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalog/oculars.h"
#include "shell/fonts.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"

void FormatEyepieceFocal(float focal, char* out, std::size_t size) {
    const float whole = std::trunc(focal);
    if (focal - whole > 0.0f) std::snprintf(out, size, "%0.1fmm", focal);
    else std::snprintf(out, size, "%dmm", static_cast<int>(whole));
}

void DrawEyepieceRow(int row, Bounds rect, int, int) {
    if (row == 0) {
        DrawString("None", 4, rect.x + 1, rect.y);
        return;
    }
    float field = 0.0f, focal = 0.0f;
    char label[31];
    if (!GetEyepieceByIndex(row - 1, &field, &focal, label, sizeof label)) return;
    rect.width -= 7;
    const int sx = static_cast<int>(screenScale.horizontal);
    DrawString(label, static_cast<int>(std::strlen(label)), rect.x + 1, rect.y);
    char text[24];
    FormatEyepieceFocal(focal, text, sizeof text);
    DrawString(text, static_cast<int>(std::strlen(text)), rect.x + 100 * sx + 4, rect.y);
    const int n = std::snprintf(text, sizeof text, "%d\xB0", static_cast<int>(field));
    DrawString(text, n, rect.x + 155 * sx + 4, rect.y);
}

void SetEyepieceField(int choice, int popupId, int listId, const char* noneText) {
    SetListSelection(listId, choice);
    if (choice == 0) {
        SetPopupLabel(popupId, noneText);
        return;
    }
    float focal = 0.0f;
    char label[31];
    if (!GetEyepieceByIndex(choice - 1, nullptr, &focal, label, sizeof label)) return;
    char text[48];
    std::snprintf(text, sizeof text, "%s-%d", label, static_cast<int>(focal));
    // The brand code and its hyphen are left out: the popup names the eyepiece.
    const char* hyphen = std::strchr(text, '-');
    SetPopupLabel(popupId, hyphen ? hyphen + 1 : text);
}
