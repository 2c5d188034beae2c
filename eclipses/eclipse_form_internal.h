#pragma once
// For tests only: how many times the form computed a solar eclipse (refinement, fit,
// central line and tables), so that a test can tell a recomputation from a redraw.
extern int eclipseSolarComputations;
