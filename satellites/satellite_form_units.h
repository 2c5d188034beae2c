#pragma once
// Design units of the satellite form's drawings: a coordinate of the 240 x 320 layout times
// the screen scale (each term truncated on its own), and a text drawn at a point.
#include <cstring>

#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/draw_targets.h"

namespace satellites_form {
inline int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
inline int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }
inline void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }
}  // namespace satellites_form
