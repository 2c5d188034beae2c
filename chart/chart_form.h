#pragma once
// Form 1900, the sky chart: its dialog procedure, the first drawing (InitChartForm), the
// full redraw in passes and layers (DrawChart), the timer that steps the clock and blinks
// the cursor, and the pen: a pen that moves more than 6 pixels drags the chart, any other
// pen-up is a tap on the chart.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kChartFormId = 1900;
inline constexpr int kChartTimerId = 1;

struct ChartFormState {
    platform::Window window;
    std::uint8_t penDownResult = 0;   // nonzero while an accepted pen-down is followed
    int penX = 0;                     // where the pen went down
    int penY = 0;
    int dragging = 0;                 // set once the pen moved past the drag threshold
    int dragX = 0;                    // the drag's offset from the last full drawing
    int dragY = 0;
    int panX = 0;                     // the chart's offset from its current object, kept
    int panY = 0;                     // until the zoom or the current object changes
    unsigned timerPeriod = 0;         // the period timer 1 was last set to; 0 while stopped
    int initRuns = 0;                 // times InitChartForm ran
    int drawRuns = 0;                 // full redraws
    int lastCommand = 0;              // the last command asked of the chart's handlers
    int objectChosen = 0;             // 1 once the user chose the current object (a tap, a
                                      // list row, the finder); the row shown at start is none
};
extern ChartFormState chartForm;

// The sky-view modes (2 to 4) are drawn, tapped and dragged by the sky-view renderer,
// which installs these; while one is null the chart does nothing for that mode.
struct ChartSkyModes {
    void (*draw)() = nullptr;                 // DrawChart's pass for modes 2..4
    int (*tap)(int x, int y) = nullptr;       // the tap in modes 2..4 (IdentifyStellarTap)
    void (*drag)(int dx, int dy) = nullptr;   // the view centre following the pen
};
extern ChartSkyModes chartSkyModes;

platform::LResult ScopeAssistant(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);

// The form's draw function: the first picture of the chart.
void InitChartForm();
// The full redraw of the chart into its offscreen bitmap, shown on the current target.
void DrawChart();

// The pen: 1 when the pen-down is taken by the chart; the move and up return nonzero when
// they drew (the screen is then saved).
int ChartFormPenDown(int x, int y);
int ChartFormPenMove(int x, int y);
int ChartFormPenUp(int x, int y);

// The chart's commands and popup choices (chart/chart_commands.cpp); each records its id
// in chartForm.lastCommand.
int ChartFormCommand(int controlId);
void ChartFormSelect(int listId);

// Closing: saves the zoom level, frees the chart's bitmaps; then the controls and timer.
int CloseChartForm();
void ReleaseChartControls(platform::Window form);
// Moves the controls after a size change.
void LayoutChartForm(platform::Window form, int width, int height);

// The timer's period for the settings: 250 ms while the mount is followed, 1000 ms with a
// blinking cursor, else 10 s.
unsigned ChartTimerPeriod();
// One tick of timer 1 on the form (what kMsgTimer does).
void ChartTimerTick(platform::Window form);
