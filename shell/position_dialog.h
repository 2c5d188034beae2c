#pragma once
// Position input (dialog layout 2950): a name, two coordinates (right ascension and
// declination, or azimuth and altitude) and an object type, for the chart's manual input
// of a position.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

constexpr int kPositionDialog = 2950;
constexpr int kPositionTitle = 8016;
constexpr int kPositionName = 2957;
constexpr int kPositionFirstLabel = 2951;
constexpr int kPositionFirst = 2952;
constexpr int kPositionSecondLabel = 2953;
constexpr int kPositionSecond = 2954;
constexpr int kPositionTypeTrigger = 2958;
constexpr int kPositionTypeList = 2959;
constexpr int kPositionOk = 2955;
constexpr int kPositionCancel = 2956;

// Texts the caller hands in are read up to this length; what Ok hands back is at most
// kPositionTextOut characters (the caller's buffers hold kPositionTextOut + 1 bytes).
constexpr int kPositionTextIn = 25;
constexpr int kPositionTextOut = 14;

// Type rows as the popup shows them (the value returned).
constexpr int kPositionTypeNone = 0;
constexpr int kPositionTypeStar = 7;

struct PositionInputState {
    char name[kPositionTextIn + 1];
    char first[kPositionTextIn + 1];
    char second[kPositionTextIn + 1];
    int mode;          // 1 right ascension and declination, 0 azimuth and altitude
    int type;          // the chosen type row
    int result;        // 1 after Ok
    int closing;
    platform::Window previousForm;
    platform::Window menuBar;
};
extern PositionInputState positionInput;

// Runs the dialog owned by parent. After Ok (or a tap on the title) the three texts (at
// most 14 characters each) and the type row are written back and the result is 1;
// otherwise the result is 0 and the caller's texts stay as they were. Null pointers are
// read as empty texts and not written.
int PositionInput(platform::Window parent, int mode, char* name, char* first, char* second, int* type);

platform::LResult PositionInputDlgProc(platform::Window dialog, unsigned message, platform::WParam wParam,
                                       platform::LParam lParam);
