#pragma once
// Form 2100, "   N-Star   ": up to 20 stars picked on the chart and synchronised with the
// mount (the N-star table, nstar_table.h), the catalog, measured and computed position of
// the selected one, the mean error, two residual plots and a sky view around the star;
// Calc fits the pointing correction (pointing_model.h).
#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

inline constexpr int kNStarFormId = 2100;

// What the form keeps between its visits.
struct NStarFormState {
    int leftScale = 0;         // rows of the plot-scale popups
    int rightScale = 0;
    bool pendingPick = false;  // Add left for the chart; the star is taken when the form draws
    Bounds plot;               // left plot: x, y and its size (width) in pixels
    DrawWindow* skyView = nullptr;
};
extern NStarFormState nStarForm;

// The degrees a plot's half width stands for, by the popup row ("7'" .. "10°").
inline constexpr int kNStarScaleRows = 7;
double NStarPlotScale(int row);

platform::LResult NStarAlignment(platform::Window w, unsigned message, platform::WParam wParam,
                                 platform::LParam lParam);
// The form's commands (list: the popup's list); 1 when handled.
int NStarFormCommand(platform::Window form, int id, int list);
