#pragma once
// Form 1300, "2-StarAligment": two stars picked on the chart or typed in, the mount read
// for each, and Align solving the two-star model (two_star_alignment.h).
#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kTwoStarFormId = 1300;

platform::LResult TwoStarAlignment(platform::Window w, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam);
// The form's commands; 1 when handled.
int TwoStarFormCommand(platform::Window form, int id);
