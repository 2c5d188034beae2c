#pragma once
// The eyepiece popup lists of the forms: the row drawer ("None", then each eyepiece with
// its focal length and apparent field) and the popup label of a choice.
#include <cstddef>

#include "shell/draw_targets.h"

// A focal length as the rows show it: "6.5mm", "7mm".
void FormatEyepieceFocal(float focal, char* out, std::size_t size);
// Row 0 "None", row n the eyepiece n - 1. The signature of an owner-drawn list's rows.
void DrawEyepieceRow(int row, Bounds rect, int flag, int rowWidth);
// Selects the choice in the list and sets the popup's label: noneText for 0, else the
// eyepiece's name, a hyphen and its focal length in whole millimetres.
void SetEyepieceField(int choice, int popupId, int listId, const char* noneText);
