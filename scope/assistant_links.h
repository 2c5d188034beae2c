#pragma once
// What the observing assistants of this folder (polar alignment, CCD field of view) need
// from the sky chart and the object search, which live beside this folder: the program
// installs them at start (app/composition.cpp); until then, and in tests that install
// nothing, each call does nothing.
#include "shell/draw_targets.h"

struct ObjectRef;

struct AssistantLinks {
    // Draws a finder chart of the object at the chart's zoom level into `area` (pixels of
    // the current draw target), for the observing date and time.
    void (*drawFinderChart)(const ObjectRef& object, int zoomLevel, const Bounds& area) = nullptr;
    // The object search by criteria into the selection list, keeping the list's position
    // and the chart's view (the candidate stars of the alignment assistants: 0, 54, 0).
    void (*runObjectSelectionQuiet)(int typeClass, int kind, int type) = nullptr;
    // The chart's label of bright star `starNumber` (its HR number) at (x, y) of the current
    // draw target. Not installed: the caller writes the name it has.
    void (*drawBrightStarLabel)(int starNumber, int x, int y) = nullptr;
    // Sets the chart's observing instant (to the minute) before the chart is opened.
    void (*setChartTime)(int year, int month, int day, int hour, int minute) = nullptr;
    // The chart's current object (what the user last tapped there) into *out; false when it
    // has none. Not installed: the selected object stands for it.
    bool (*chartObject)(ObjectRef* out) = nullptr;
};

// The object the user picked on the chart, and its selection-list record (-1 when it is
// not listed): the chart's current object when the chart tells it (a listed one by the
// list's current row, which the chart moves to a listed object tapped, since the chart
// numbers such an object from 1), else the record at the list's current position, else
// the selected object. A listed object carries its record's place, type and label. False
// when nothing is picked.
bool GetChartPick(ObjectRef* object, int* record);

// Installs the links and returns those replaced.
AssistantLinks SetAssistantLinks(const AssistantLinks& links);
const AssistantLinks& GetAssistantLinks();
