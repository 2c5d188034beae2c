#pragma once
// The selection criteria form (form 1700, "Choose Selection Criteria"): what to look for in a
// night (visibility, eyepiece, magnitude, catalog, type, constellation, elevation) and the
// date and time of the observation. Its buttons make a new observing list from the matching
// objects, add them to the current list or remove them from it, then open the list. The
// choices live on in `selectionCriteria` after the form closes.
#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kSelectionCriteriaFormId = 1700;

namespace criteria_form {
constexpr int kTitle = 8013;
constexpr int kVisibilityPopup = 1701;
constexpr int kVisibilityList = 1702;
constexpr int kEyepiecePopup = 1703;
constexpr int kEyepieceList = 1704;
constexpr int kMagnitudePopup = 1705;
constexpr int kMagnitudeList = 1706;
constexpr int kTypePopup = 1707;
constexpr int kTypeList = 1708;
constexpr int kConstellationPopup = 1709;
constexpr int kConstellationList = 1710;
constexpr int kElevationPopup = 1711;
constexpr int kElevationList = 1712;
constexpr int kDate = 1713;
constexpr int kTime = 1714;
constexpr int kNow = 1715;
constexpr int kCatalogPopup = 1716;
constexpr int kCatalogList = 1717;
constexpr int kShowList = 1718;
constexpr int kAddSearch = 1719;
constexpr int kRemoveMatching = 1720;
constexpr int kNewSearch = 1722;
constexpr int kHelp = 1723;
constexpr int kResetBoth = 1725;
constexpr int kResetVision = 1726;
constexpr int kResetObject = 1727;
constexpr int kVisionLabel = 138;
constexpr int kObjectLabel = 139;
constexpr int kDateLabel = 140;
constexpr int kDateRowLabel = 141;
}  // namespace criteria_form

// The form the searches open on their results.
inline constexpr int kNightTripperFormId = 1800;

// Shows the criteria in the controls.
void FillSelectionCriteriaForm();
// Reads the controls into the criteria and prepares the search instant. A date or time
// that is not a real one is refused with a message: nothing changes, and the result is
// false.
bool ReadSelectionCriteriaForm();
// The device's date and time become the observing time and the criteria's instant.
void SetCriteriaToNow();
// 1 when it handled the control id.
int SelectionCriteriaCommand(int id);
void StartNewSearch();
void StartAddSearch();
void StartRemoveMatching();
int LayoutSelectionCriteriaForm(platform::Window dialog, int width, int height);

platform::LResult SelectionCriteriaForm(platform::Window dialog, unsigned message, platform::WParam wParam,
                                        platform::LParam lParam);
