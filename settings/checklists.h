#pragma once
// The three checklist pages (forms 2200, 2203, 2206, "CheckList 1/3" to "3/3"): what to
// bring for a night out, fixed items with check boxes under headings, and on the last page
// five items the user writes. The marks and the five texts last for the run; they are
// kept when a page is left by its own buttons, and a page left another way (a menu
// command) drops that visit's changes.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

namespace checklist {
constexpr int kPage1 = 2200;
constexpr int kPage2 = 2203;
constexpr int kPage3 = 2206;
constexpr int kTitle = 2197;
constexpr int kInfo = 1493;
constexpr int kHeading1 = 138;
constexpr int kHeading2 = 145;
constexpr int kPage1Ok = 2201;
constexpr int kPage1Next = 2202;
constexpr int kPage2Prev = 2204;
constexpr int kPage2Next = 2205;
constexpr int kPage3Prev = 2207;
constexpr int kFirstCheck = 2210;   // check boxes 2210..2241
constexpr int kCheckCount = 32;
constexpr int kFirstLabelField = 2242;  // page 3's personal items 2242..2246
constexpr int kLabelCount = 5;
constexpr int kHomeForm = 1950;
}  // namespace checklist

// One mark per check box, by id - 2210.
extern std::int32_t checklistState[checklist::kCheckCount];

platform::LResult CheckListPage1(platform::Window dialog, unsigned message, platform::WParam wParam,
                                 platform::LParam lParam);
platform::LResult CheckListPage2(platform::Window dialog, unsigned message, platform::WParam wParam,
                                 platform::LParam lParam);
platform::LResult CheckListPage3(platform::Window dialog, unsigned message, platform::WParam wParam,
                                 platform::LParam lParam);
// 1 for a page change, else 0.
int Checklist1Command(int id);
int Checklist2Command(int id);
int Checklist3Command(int id);
