#pragma once
// The polar alignment assistant (form 2470, "PolarAssistant"): helps the user align an
// equatorial mount on the celestial pole by one of three methods, chosen in its popup:
// "Quick" shows where Polaris stands in a polar finder's reticle for the next hour and a
// half; "King" and "Rambaut" measure the drift of a star in a reticle eyepiece over a
// timed interval and turn it into the corrections of the polar axis (Rambaut's also takes
// out the drift that refraction adds). The arithmetic is "scope/polar_drift.h".
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "scope/polar_drift.h"
#include "shell/draw_targets.h"

inline constexpr int kPolarFormId = 2470;

namespace polar_form {
constexpr int kTitle = 8032;
constexpr int kBack = 2471;
constexpr int kMethodPopup = 2472;
constexpr int kMethodList = 2473;
constexpr int kRa = 2475;
constexpr int kDec = 2477;
constexpr int kX = 2479;
constexpr int kY = 2481;
constexpr int kResolution = 2483;
constexpr int kDirection = 2485;
constexpr int kLambda = 2487;
constexpr int kAzimuth = 2489;
constexpr int kElevation = 2491;
constexpr int kSecondDec = 2493;
constexpr int kDate = 2495;
constexpr int kTime = 2497;
constexpr int kReticlePopup = 2498;
constexpr int kReticleList = 2499;
constexpr int kAssistant3 = 2500;
constexpr int kAssistant1 = 2501;
constexpr int kTimerPopup = 2502;
constexpr int kTimerList = 2503;
constexpr int kAssistant2 = 2504;
constexpr int kClock = 2505;
constexpr int kHelp = 2506;
// The labels of the fields: the field's id less one.
constexpr int kDirectionLabel = 2484;
constexpr int kLambdaLabel = 2486;
constexpr int kAzimuthLabel = 2488;
constexpr int kElevationLabel = 2490;
}  // namespace polar_form

inline constexpr int kReticleGridBitmap = 5090;
inline constexpr int kReticleCrossBitmap = 5091;
// The drift reticle: 59 x 59 reticle pixels, its centre 29 pixels in.
inline constexpr int kReticleSize = 59;
inline constexpr int kReticleCentre = 29;

enum PolarMethod { kPolarQuick = 0, kPolarKing = 1, kPolarRambaut = 2 };

struct PolarAssistantState {
    int method = kPolarQuick;
    int reticle = 0;            // 0 grid, 1 cross
    int step = 0;               // 1 or 3 a star chosen, 5 an interval running, 4 evaluated
    int year = -1, month = 0, day = 0, hour = 0, minute = 0, second = 0;  // year < 0: none set
    std::int64_t driftStart = -1;  // device seconds; -1 none
    std::int64_t driftEnd = -1;
    std::int64_t alarm = -1;
    int markX = -1;             // where the star was tapped in the reticle (reticle pixels); -1 none
    int markY = -1;
    Bounds reticleBox;          // the drift reticle on the form, pixels
};
extern PolarAssistantState polarAssistant;

// Polaris, FK5: what the quick method places in the finder.
struct CatalogStar;
const CatalogStar& PolarisEntry();

// Minutes of the drift timer rows: "8mn", "16mn", "24mn", "32mn", "Manual".
int DriftTimerMinutes(int row);
// How many finder reticles a screen shows: four on a screen taller than 240 x scale, two
// otherwise.
int PolarFinderCount(int screenHeight);

// The drift timer of row `row` starts now.
void StartDriftTimer(int row);
// A tap at (x, y) on the form (pixels): inside the drift reticle while an interval runs it
// ends the interval and evaluates the drift.
int PolarFormPenDown(int x, int y);
// Reads the fields and evaluates the drift by the method; the results go into the fields
// and three messages give the corrections. A fault is named in a message and leaves the
// results empty. 1 when evaluated.
int EvaluateDrift();
int PolarFormCommand(int id, int list);

platform::LResult PolarAssistant(platform::Window dialog, unsigned message, platform::WParam wParam,
                                 platform::LParam lParam);
