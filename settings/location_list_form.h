#pragma once
// The location list (form 1600): the towns of the location database with their country;
// choosing a row shows its latitude and longitude and records it in locationChoice
// (catalog/location_choice.h); Ok goes back keeping it, Cancel clears it.
#include "platform/messages.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

namespace location_list {
inline constexpr int kFormId = 1600;
inline constexpr int kTitle = 8010;
inline constexpr int kList = 1601;
inline constexpr int kLatitude = 1602;
inline constexpr int kLongitude = 1603;
inline constexpr int kOk = 1605;
inline constexpr int kCancel = 1606;
inline constexpr int kLatitudeLabel = 1607;
inline constexpr int kLongitudeLabel = 1608;
inline constexpr int kLatitudeColon = 1609;
inline constexpr int kLongitudeColon = 1610;
}  // namespace location_list

// The first paint: opens the database (or says it could not), counts the rows, clears the
// choice.
void InitLocationList();
int LayoutLocationList(platform::Window dialog, int width, int height);
// 1 when the control id was handled.
int LocationListCommand(int id);
// Page up and page down move the choice, wrapping; 1 when handled.
int LocationListKeyDown(int key);
void DrawLocationRow(int row, Bounds rect, int flag, int rowWidth);
void ReleaseLocationListControls(platform::Window dialog);
platform::LResult LocationList(platform::Window w, unsigned message, platform::WParam wParam,
                               platform::LParam lParam);
