#pragma once
// The description block of an object page: Dreyer's description of an NGC or IC object as
// he wrote it and in words, each under its label.
#include "shell/draw_targets.h"

struct ObjectRef;

// Clears the rectangle; then, for an object that carries a description (GetDreyerTexts),
// draws "Dreyer desc." with the description and "Translation" with its words, each text
// wrapped to the rectangle's width. The rectangle's y moves down to the top of the words,
// where the caller goes on; it stays as it was when nothing is drawn.
void DrawDreyerDesc(const ObjectRef* object, Bounds* rect);
