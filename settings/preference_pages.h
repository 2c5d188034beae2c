#pragma once
// The seven preference pages (forms 1400, 1430, 1450, 1620, 1476, 1337, 1357), which
// behave as one tabbed dialog: the tab buttons 1359 to 1365 along the bottom open a page,
// each page has its Ok button and its Next and/or Prev buttons. The page on screen writes
// its controls into the settings before any of these opens another page; a page left by
// a menu command or closed by the dispatcher is not written (only the drive of page 1/7
// and the view icons of page 4/7 are stored at the moment they are chosen).
//
// Every apply announces the change through AfterSettingsHook.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

inline constexpr int kPreferencePage1Form = 1400;
inline constexpr int kPreferencePage2Form = 1430;
inline constexpr int kPreferencePage3Form = 1450;
inline constexpr int kPreferencePage4Form = 1620;
inline constexpr int kPreferencePage5Form = 1476;
inline constexpr int kPreferencePage6Form = 1337;
inline constexpr int kPreferencePage7Form = 1357;

namespace prefpage {
// The tabs, "1" to "7".
constexpr int kFirstTab = 1359;
constexpr int kLastTab = 1365;
constexpr int kInfoBitmap = 5076;

// Page 1/7.
constexpr int kOk1 = 1425, kNext1 = 1426, kInfoDrive = 1485, kInfoComputation = 1487;
constexpr int kDriveTrigger = 1409, kDriveList = 1410;
constexpr int kConnectionTrigger = 1396, kConnectionList = 1397;
constexpr int kStepsLabel = 1427, kAzLabel = 1495, kAltLabel = 1496, kStepsAz = 1419, kStepsAlt = 1420;
constexpr int kScopePortTrigger = 1407, kScopePortList = 1408;
constexpr int kGpsPortTrigger = 1401, kGpsPortList = 1402;
constexpr int kCameraPortTrigger = 1428, kCameraPortList = 1429;
constexpr int kCorrectionTrigger = 1413, kCorrectionList = 1414;
constexpr int kAlignTrigger = 1415, kAlignList = 1416;
constexpr int kHorizonTrigger = 1417, kHorizonList = 1418;

// Page 2/7.
constexpr int kOk2 = 1447, kNext2 = 1448, kPrev2 = 1517;
constexpr int kInfoUser = 1488, kInfoScope = 1489, kInfoOther = 1490;
constexpr int kExperienceTrigger = 1431, kExperienceList = 1432;
constexpr int kAgeTrigger = 1433, kAgeList = 1434;
constexpr int kVisionTrigger = 1435, kVisionList = 1436;
constexpr int kDiameterTrigger = 1437, kDiameterList = 1438, kDiameterField = 1535;
constexpr int kRatioTrigger = 1439, kRatioList = 1440, kRatioField = 1536;
constexpr int kMountTrigger = 1411, kMountList = 1412;
constexpr int kMaxSelectedTrigger = 1441, kMaxSelectedList = 1442;
constexpr int kTimeUpdateTrigger = 1443, kTimeUpdateList = 1444;
constexpr int kNightTrigger = 1445, kNightList = 1446;

// Page 3/7.
constexpr int kOk3 = 1463, kNext3 = 1466, kPrev3 = 1518, kInfoChart = 1469;
constexpr int kStarColorTrigger = 1451, kStarColorList = 1452;
constexpr int kBackgroundTrigger = 1453, kBackgroundList = 1454;
constexpr int kLineColorTrigger = 1455, kLineColorList = 1456;
constexpr int kStarsTrigger = 1457, kStarsList = 1458;
constexpr int kCatalogTrigger = 1472, kCatalogList = 1473;
constexpr int kLineSetTrigger = 1464, kLineSetList = 1465;
constexpr int kEyepieceTrigger = 1467, kEyepieceList = 1468;
constexpr int kChartTypeTrigger = 1480, kChartTypeList = 1481;
constexpr int kFontTrigger = 1474, kFontList = 1475;
constexpr int kTimeStepTrigger = 1459, kTimeStepList = 1460;
constexpr int kCursorLabel = 148, kCursorTrigger = 1398, kCursorList = 1399;

// Page 4/7.
constexpr int kOk4 = 1621, kNext4 = 1622, kPrev4 = 1519, kInfoZoom = 1623;
// Per zoom level 0 to 9: the star popup (levels 5 to 9; the fixed texts of levels 0 to 4
// are labels), the object popup and the view popup, trigger and list.
constexpr int kStarTriggers[10] = {0, 0, 0, 0, 0, 1624, 1626, 1628, 1630, 1632};
constexpr int kObjectTriggers[10] = {1660, 1658, 1656, 1652, 1654, 1638, 1640, 1642, 1644, 1646};
constexpr int kViewTriggers[10] = {1662, 1664, 1666, 1668, 1670, 1672, 1674, 1676, 1678, 1680};
constexpr int kFixedStarLabels[5] = {1690, 1691, 1692, 1693, 1694};
constexpr int kDayIconBase = 1682;
constexpr int kNightIconBase = 2008;

// Page 5/7.
constexpr int kOk5 = 1479, kNext5 = 1338, kPrev5 = 1520;
constexpr int kTelrad[3] = {1532, 1533, 1534};

// Page 6/7.
constexpr int kOk6 = 1340, kPrev6 = 1339, kInfoFormats = 1486, kInfoConstants = 1492;
constexpr int kGrsField = 1477, kDeltaTField = 1478, kDelayField = 1565;
constexpr int kFormulaTrigger = 1497, kFormulaList = 1498;
constexpr int kRaFormatTrigger = 1403, kRaFormatList = 1404;
constexpr int kDecFormatTrigger = 1405, kDecFormatList = 1406;
constexpr int kDistanceTrigger = 1421, kDistanceList = 1422;

// Page 7/7.
constexpr int kOk7 = 1356, kPrev7 = 1348;
constexpr int kClear = 1354, kSync = 1355, kStop = 1358;
constexpr int kSyncCategory = 146, kSyncProgress = 147, kSyncItem = 139;
constexpr int kCometUrl = 1349, kAsteroidUrl = 1350, kIridiumUrl = 1351, kSatelliteUrl = 1352, kDataUrl = 1353;
constexpr unsigned kSyncTimer = 1;
constexpr unsigned kSyncPeriodMs = 10;
}  // namespace prefpage

// The apply function of the page on screen: set by each page's refresh, cleared by each
// page's close, so that a tab never applies a page that is gone.
extern void (*currentPageApply)();

// The command handler the seven pages share (tabs, Ok, Next, Prev, the drive choice, the
// info buttons, and "Stop" of the picture synchronisation).
void PreferenceCommand(int id);

platform::LResult PreferencePage1(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult PreferencePage2(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult PreferencePage3(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult PreferencePage4(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult PreferencePage5(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult PreferencePage6(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult PreferencePage7(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);

// Each page's refresh (its first paint: the controls from the settings) and apply (the
// controls into the settings, then AfterSettingsHook). A typed number that is refused
// (named in a message) keeps its stored value; ApplyPreferencePage2 and 3 then return 0,
// and their Ok, Next and Prev keep the page on screen. The other applies return 1, except
// page 1/7 and 5/7 and 6/7, which return 0 when a typed field was refused.
void RefreshPreferencePage1();
void RefreshPreferencePage2();
void RefreshPreferencePage3();
void RefreshPreferencePage4();
void RefreshPreferencePage5();
void RefreshPreferencePage6();
void RefreshPreferencePage7();
int ApplyPreferencePage1();
int ApplyPreferencePage2();
int ApplyPreferencePage3();
int ApplyPreferencePage4();
int ApplyPreferencePage5();
int ApplyPreferencePage6();
int ApplyPreferencePage7();

// Moves the bottom buttons for a new client size; 0 when it is the design size.
int LayoutPreferencePage(platform::Window dialog, int formId, int width, int height);

// Row painter of the serial port popups: the port list's name n, 2 x scale from the left.
void DrawPortListItem(int row, Bounds rect);

// One step of the picture synchronisation, run at each tick of page 7/7's timer. It ends
// the run itself through PreferenceCommand(prefpage::kStop).
void PictureSyncStep();
// Page 7/7's "Sync", "Stop" and "Clear": the network flag and the synchronisation counters.
void StartPictureSync();
void StopPictureSync();
void ClearPictureSync();
