#pragma once
// What the object forms ask of the planet views, the orbit assistant, the darkness graph
// and the telescope. The program installs the links; tests install recorders. A link left
// empty falls back as each caller says.
#include "platform/types.h"
#include "shell/draw_targets.h"

struct ObjectFormLinks {
    // Sends the mount to a place (mode -1: already of date; 3: topocentric with refraction).
    void (*scopeGoto)(double raHours, double decDeg, int mode) = nullptr;
    // Chooses the planet view's mode before form 2460 opens.
    void (*selectMarsView)() = nullptr;
    void (*selectJupiterView)() = nullptr;
    void (*selectSaturnView)() = nullptr;
    // The orbit assistant's comet (0-based) and page, set before form 2550 opens.
    void (*setCurrentComet)(int index) = nullptr;
    void (*setOrbitPage)(int page) = nullptr;
    // The three Red Spot transits of a local date, counted from its midnight (the third may
    // pass hour 24).
    void (*redSpotTransits)(int year, int month, int day, int hours[3], int minutes[3]) = nullptr;
    // Jupiter and Saturn with their moons at a local date and time, in a band of the screen.
    void (*drawJupiter)(int year, int month, int day, int hour, int minute, Bounds band) = nullptr;
    void (*drawSaturn)(int year, int month, int day, int hour, int minute, Bounds band) = nullptr;
    // The yearly darkness graph of one object; unset, form 2410 is asked for directly.
    void (*openDarknessForm)(const char* name, int catalog, int index, double ra, double dec, int bodyNumber,
                             int year, int month) = nullptr;
};
extern ObjectFormLinks objectFormLinks;
// Installs the links and returns those replaced.
ObjectFormLinks SetObjectFormLinks(const ObjectFormLinks& links);
