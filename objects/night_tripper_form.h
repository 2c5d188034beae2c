#pragma once
// The NightTripper form (form 1800): the observing list with the details of the
// highlighted object, in a name view (the object's chart symbol and label) or a bar view
// (each row a 24-hour strip of night, darkness and the object's time above the horizon).
// It filters, sorts, removes, adds and clears, and hands the object to the chart, the
// picture view and the observer log.
#include <string>

#include "platform/types.h"
#include "platform/window.h"

struct SelectionRecord;

namespace night_tripper {
constexpr int kTitle = 8014;
constexpr int kFilterPopup = 1801;
constexpr int kFilterList = 1802;
constexpr int kSortPopup = 1836;
constexpr int kSortList = 1837;
constexpr int kNameList = 1803;
constexpr int kBarList = 1795;
constexpr int kAdd = 1797;
constexpr int kDelete = 1720;
constexpr int kName = 1799;
constexpr int kPicture = 1809;
constexpr int kRa = 1804;
constexpr int kDec = 1805;
constexpr int kAzimuth = 1806;
constexpr int kAltitude = 1807;
constexpr int kVisibility = 1808;
constexpr int kTransitAltitude = 1817;
constexpr int kMagnitude = 1819;
constexpr int kConstellation = 1821;
constexpr int kType = 1822;
constexpr int kEyepiece = 1823;
constexpr int kSize = 1824;
constexpr int kDistance = 1825;
constexpr int kDistanceLabel = 1826;
constexpr int kMagnitudeLabel = 1841;
constexpr int kEyepieceLabel = 1842;
constexpr int kSizeLabel = 1843;
constexpr int kBack = 1830;
constexpr int kCriteria = 1831;
constexpr int kChart = 1832;
constexpr int kHelp = 1834;
constexpr int kRowPicture = 1840;
constexpr int kObserverLog = 1844;
constexpr int kToggleView = 1793;
constexpr int kClear = 2247;
constexpr int kPositionGroup = 145;
constexpr int kInformationGroup = 146;
constexpr int kFirstLabel = 138;
constexpr int kLastLabel = 142;
}  // namespace night_tripper

struct NightTripperState {
    int sortOrder = 0;          // row of the sort list
    int barView = 0;            // 0 name view, 1 bar view
    int selectedRecord = -1;    // the record behind the highlighted row
    int screenWidth = 0, screenHeight = 0;
    std::string name;           // the highlighted object's name as shown
    int typeBitmap = 0;         // its type picture, 0 none
    int eyepieceFocal = 0;      // millimetres of the eyepiece shown, 0 none
    double grade = 0;           // the visibility scale's value
};
extern NightTripperState nightTripperState;

// The picture name and catalog code of a record, as the picture button asks for it.
std::string NightTripperPictureName(const SelectionRecord& record, int* catalogCode);

// Rebuilds the visible list for the filter and shows the highlighted object.
void RefreshNightTripperList();
// The highlighted row's object in the detail fields; blank fields when there is none.
void ShowNightTripperDetails();
// 1 when it handled the control id.
int NightTripperCommand(int id);
int LayoutNightTripper(platform::Window dialog, int width, int height);

platform::LResult NightTripper(platform::Window dialog, unsigned message, platform::WParam wParam,
                               platform::LParam lParam);
