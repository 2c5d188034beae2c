#pragma once
// The CCD assistant (form 1550, "CCD Assistant"): the field of view of a camera sensor on
// the user's telescope. The user picks a camera from the presets or types the sensor and
// pixel sizes, gives the focal length (0: the telescope's), and the form shows the field
// across, down and along the diagonal and the sky one pixel covers. The values stay in the
// settings for the run. On a screen larger than 320 layout pixels either way a finder
// chart of M31 shows the frame on the sky (through the assistant links).
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

inline constexpr int kCcdFormId = 1550;

namespace ccd_form {
constexpr int kTitle = 8033;
constexpr int kInfo = 1494;
constexpr int kBack = 1553;
constexpr int kUpdate = 1564;
constexpr int kPresetPopup = 1551;
constexpr int kPresetList = 1552;
constexpr int kWidth = 1554;
constexpr int kHeight = 1555;
constexpr int kPixelWidth = 1556;
constexpr int kPixelHeight = 1557;
constexpr int kFocal = 1558;
constexpr int kFieldAcross = 1559;
constexpr int kFieldDown = 1560;
constexpr int kDiagonal = 1561;
constexpr int kPixelAcross = 1562;
constexpr int kPixelDown = 1563;
}  // namespace ccd_form

// One camera of the preset table: sensor in hundredths of a millimetre, pixels in
// hundredths of a micrometre.
struct CcdPreset {
    char name[20];
    std::int32_t width;
    std::int32_t height;
    std::int32_t pixelWidth;
    std::int32_t pixelHeight;
};
inline constexpr int kCcdPresetCount = 15;
extern const CcdPreset ccdPresets[kCcdPresetCount];

// The field of a sensor: degrees across, down and along the diagonal, and the arc seconds
// one pixel covers (cut, not rounded, to hundredths).
struct CcdField {
    double across;
    double down;
    double diagonal;
    double pixelAcross;
    double pixelDown;
};
// Sizes as stored (hundredths), focal length in millimetres. False for a focal length of
// 0 or less, which has no field.
bool ComputeCcdField(int width, int height, int pixelWidth, int pixelHeight, int focalMm, CcdField* out);
// A size as the fields show it: hundredths as "5.05".
void FormatHundredths(char* buffer, int size, std::int32_t value);
// A typed size back into hundredths, to the nearest ("5.05" is 505).
std::int32_t ReadHundredths(const char* text);

// Reads the fields into the settings and shows the field of view; a focal length of 0 or
// less everywhere is refused with a message and leaves the results empty. 1 when shown.
int ComputeCcdFov();
void InitCcdForm(platform::Window dialog);
// Moves the buttons for the screen; 0 when the size is the design size.
int LayoutCcdForm(platform::Window dialog, int width, int height);
// Where the finder chart goes on this screen (pixels); false on a screen of at most 320
// layout pixels each way, which has no room for it.
bool CcdFinderArea(int screenWidth, int screenHeight, Bounds* area);
void CloseCcdForm(platform::Window dialog);

platform::LResult CcdAssistant(platform::Window dialog, unsigned message, platform::WParam wParam,
                               platform::LParam lParam);
