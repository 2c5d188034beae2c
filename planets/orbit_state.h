#pragma once
// The orbit assistant's state (form 2550): one record of the comet database at a time, the
// form's own date, time and step, and what each page keeps between drawings. It lives for
// the whole run; the form, its drawn pages and its lists share it.
#include <cstdint>

#include "catalog/records.h"
#include "shell/draw_targets.h"

namespace orbit_form {
inline constexpr int kFormId = 2550;
inline constexpr int kTitle = 8020;
inline constexpr int kPagePopup = 2551;
inline constexpr int kPageList = 2552;
inline constexpr int kHelp = 2553;
inline constexpr int kBack = 2554;
inline constexpr int kZoomIn = 2555;
inline constexpr int kZoomOut = 2556;
inline constexpr int kDate = 2557;
inline constexpr int kTime = 2558;
inline constexpr int kNow = 2559;
inline constexpr int kCometPopup = 2561;
inline constexpr int kCometList = 2562;
inline constexpr int kFieldPopup = 2548;
inline constexpr int kFieldList = 2549;
inline constexpr int kStepPopup = 2577;
inline constexpr int kStepList = 2578;
inline constexpr int kRowList = 2547;
inline constexpr int kObjectInfo = 2580;
// The Data page: the name, the date of perihelion (or the epoch), q (or a), e, the three
// angles, H (or g) and the mean anomaly; the labels 138 to 154; the kind and edit buttons.
inline constexpr int kName = 2565;
inline constexpr int kYear = 2566;
inline constexpr int kMonth = 2567;
inline constexpr int kDay = 2568;
inline constexpr int kDistance = 2569;
inline constexpr int kEccentricity = 2570;
inline constexpr int kArgPerihelion = 2571;
inline constexpr int kNode = 2572;
inline constexpr int kInclination = 2573;
inline constexpr int kMagnitude = 2574;
inline constexpr int kMeanAnomaly = 2583;
inline constexpr int kFirstLabel = 138;
inline constexpr int kLastLabel = 154;
inline constexpr int kCometKind = 2581;
inline constexpr int kAsteroidKind = 2582;
inline constexpr int kNew = 2579;
inline constexpr int kSave = 2575;
inline constexpr int kDelete = 2576;
inline constexpr int kImport = 2589;
inline constexpr int kSync = 2590;

enum Page : int { k3DView = 0, kSkyView, kEphemeris, kBestDates, kBrightest, kData };
inline constexpr int kStepDays[9] = {1, 2, 5, 7, 10, 14, 30, 60, 90};
}  // namespace orbit_form

struct OrbitFormState {
    std::int32_t currentComet = 0;   // a record index; below 0 a new, unsaved record
    std::int32_t page = 0;           // orbit_form::Page
    // The form's date and time; year -1 until the first opening takes the observing instant.
    std::int32_t year = -1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    std::int32_t stepIndex = 3;
    std::int32_t zoom3D = 5;         // one AU is 2^zoom pixels
    std::int32_t angles[3] = {0, 0, 0};
    // The sky view's centre as DrawSkyView takes it (turn, tilt; degrees); both 0: not set.
    float skyCentre[2] = {0.0f, 0.0f};
    std::int32_t skyCentrePoint = -1;  // the track point centred while skyCentre is not set; -1 is point 6
    std::int32_t skyFieldIndex = 5;    // chart zoom level of the field of view
    Bounds viewRect;
    std::int32_t labelMode = 1;      // 1 comet elements, 0 asteroid elements on the Data page
    // The pen: where it went down, the page centre then, the last point of a drag step.
    std::int32_t penX = 0, penY = 0, penCentreX = 0, penCentreY = 0, penMoved = 0, penDown = 0;
    float penSkyCentre[2] = {0.0f, 0.0f};
    std::int32_t handlingKey = 0;
    // The record the Data page edits in memory until Save.
    CometRecord editRecord;
    bool editValid = false;
    std::int32_t editIndex = -1;  // the record editRecord was read from (-1: a new one)
};
extern OrbitFormState orbitForm;

// The form's step in days.
int OrbitStepDays();
// Reads the current comet (the Data page's working record for a new one) into `out` with
// its work block filled. False when the record cannot be read.
bool LoadCurrentComet(CometRecord* out);
// The form's instant as a Julian day, with the site's zone offset (views) or without (lists).
double OrbitFormJD(bool withZone);
