#pragma once
// The Twilight form (2410): the yearly darkness chart of the site with one object's rise,
// transit and set curves over it, and a date cursor moved with the stylus or the arrow
// keys. The object comes from the object information form (OpenDarknessForm), from the
// finder (the pick button) or from the form's planet list; the form keeps it, its month
// and its time mode between visits.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

namespace twilight {
constexpr int kFormId = 2410;
constexpr int kTitle = 8022;
constexpr int kHelp = 2413;
constexpr int kBack = 2414;
constexpr int kNothing = 2415;
constexpr int kDate = 2416;
constexpr int kThisMonth = 2417;
constexpr int kPick = 2418;
constexpr int kTimeModePopup = 2419;
constexpr int kTimeModeList = 2420;
constexpr int kPlanetPopup = 2421;
constexpr int kPlanetList = 2422;
constexpr int kFinderFormId = 2350;
constexpr int kPlanetBitmap = 5152;
}  // namespace twilight

struct DarknessFormState {
    char name[15] = {};       // at most 14 characters
    float ra = -1.0f;         // hours; negative: no object, the darkness alone
    float dec = 0.0f;
    std::int32_t bodyIndex = -1;  // `BodyIndex` of a planet, -1 for a catalog object
    std::int32_t catalog = 0;
    std::int32_t number = 0;
    std::int32_t chartYear = -1;
    std::int32_t chartMonth = -1;  // -1: not set, the device's month at the next opening
    std::int32_t dayShown = 1;
    std::int32_t cursorX = 20;
    std::int32_t cursorY = 80;
    std::int32_t objectFlag = 0;
    std::int32_t pickRequest = 0;
    std::int32_t timeMode = 0;
    std::int32_t penTracking = 0;
    std::int32_t penMoved = 0;     // the pen went 3 x scale from its down point
};
extern DarknessFormState darknessForm;

// Makes the object (name cut to 14 characters) and month the form's and opens it.
void OpenDarknessForm(const char* name, int catalog, int number, double ra, double dec, int bodyIndex, int year,
                      int month);

platform::LResult TwilightForm(platform::Window dialog, unsigned message, platform::WParam wParam,
                               platform::LParam lParam);
void CloseDarknessForm(platform::Window dialog);
void InitDarknessForm();
void RefreshDarknessForm();
int DarknessFormCommand(int id);
int SetDarknessPenPoint(int x, int y);
int DarknessFormPen(int x, int y);
int DrawDarknessGraph(int x, int y);
int DarknessFormKey(int key);
void LayoutDarknessForm(platform::Window dialog, int width, int height);
