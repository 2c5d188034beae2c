#pragma once
// The object information form (form 112, "ObjectInfo"): one object of one of eleven catalog
// pages at the observing date and time, with its place, horizontal coordinates, size,
// magnitude, best eyepiece, visibility, rise, transit and set and the months it is best
// seen. The cursor keys step through the page; buttons open the description, the picture,
// the chart, the ephemeris and the darkness graph, and send the telescope to it.
//
// The page is `currentObject.listPosition`, the 1-based number on it `currentObject.number`
// (-1: none); both survive the form.
#include "catalog/records.h"
#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kObjectInfoFormId = 112;

namespace object_info {
constexpr int kTitle = 1040;
constexpr int kCatalogPopup = 1045;
constexpr int kTypeIcon = 1046;
constexpr int kDifficulty = 1047;
constexpr int kPicture = 1048;
constexpr int kObjectPopup = 1101;
constexpr int kObjectList = 1102;
constexpr int kCatalogList = 1103;
constexpr int kRefresh = 1105;
constexpr int kDate = 1108;
constexpr int kTime = 1109;
constexpr int kRa = 1111;
constexpr int kDec = 1112;
constexpr int kAzimuth = 1115;
constexpr int kAltitude = 1116;
constexpr int kRise = 1120;
constexpr int kTransit = 1121;
constexpr int kSet = 1122;
constexpr int kConstellation = 1125;
constexpr int kType = 1126;
constexpr int kMagnitude = 1127;
constexpr int kEyepiece = 1128;
constexpr int kSize = 1131;
constexpr int kUsage = 1132;
constexpr int kTypeText = 1133;
constexpr int kBack = 1134;
constexpr int kFind = 1135;
constexpr int kSky = 1136;
constexpr int kGoto = 1137;
constexpr int kClock = 1138;
constexpr int kDescription = 1139;
constexpr int kSizeLabel = 1140;
constexpr int kMagnitudeLabel = 1141;
constexpr int kEyepieceLabel = 1142;
constexpr int kRiseSet = 1143;
constexpr int kBestPeriod = 1144;
constexpr int kDistance = 1145;
}  // namespace object_info

inline constexpr int kObjectInfoPageCount = 11;
inline constexpr int kObjectInfoFinderPage = 10;

// One catalog page: its label, catalog code (-1 on the finder page, which shows the
// selection) and what the chart command hands the search (category, type).
struct ObjectInfoPage {
    const char* label;
    int catalog;
    int chartCategory;
    int chartType;
};
extern const ObjectInfoPage objectInfoPages[kObjectInfoPageCount];
// How many numbers the page has (1..count); 0 on the finder page and outside the table.
int ObjectInfoPageSize(int page);
// The number after (step 1) or before (step -1) `number` on the page, wrapping past
// either end; 0 when the page has no range.
int StepObjectInfoNumber(int page, int number, int step);

// The month's three-letter name of the meteor shower dates ("---" outside 1..12).
const char* MonthAbbreviation(int month);

struct ObjectInfoState {
    int listNumber = 0;
    int present = 0;
    char name[20] = {};
    double rise = 0, transit = 0, set = 0;
    double altitude = 0;       // of the object at the observing time
    double visibility = 0;     // the value the difficulty scale shows
    int bestEyepiece = 0;      // millimetres, 0 none
    int screenWidth = 0, screenHeight = 0;
    int lowerPanel = 0;        // what the lower band drew: 0 nothing, 1 Jupiter, 2 Saturn, 3 finder chart
    char redSpot[3][8] = {};   // the Red Spot transits drawn, "%02dh%02d"
};
extern ObjectInfoState objectInfoState;

// Reloads the current object of the page and refills the form.
void ShowObjectInfo();
// The help box of field n (0 constellation .. 16 eyepiece; 17 and others: none).
void ShowObjectFieldHelp(int n);
// The rise, transit and set in one message.
void ShowRiseSetMessage();
void ObjectInfoGoto();
// GoTo of an object with the forms' rules: an object must be present, above 2.0 degrees of
// altitude, and not the Sun. 1 when the telescope was sent.
int SendScopeToObject(const ObjectRef& object, int present, int isSun);
// Whether the chart will show an object at this altitude: in the chart modes that hide
// what is below the horizon the user is asked to switch to the whole sky; 0 when declined.
int ConfirmChartShowsObject(double altitude);
void ShowObjectOnChart();
// The object database record a Messier or Caldwell entry stands for (such entries carry the
// list's code and 0-based position); any other object is its own record.
ObjectRef CatalogRecordOf(const ObjectRef& object);
// The description, identifiers or view of the current object, by its catalog.
void ShowObjectDescription();
int ObjectInfoCommand(int id);
int ObjectInfoKeyDown(int key);
int LayoutObjectInfo(platform::Window dialog, int width, int height);

platform::LResult ObjectInfo(platform::Window dialog, unsigned message, platform::WParam wParam,
                             platform::LParam lParam);
