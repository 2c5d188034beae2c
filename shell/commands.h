#pragma once
// The program's own message and command numbers, beside the platform's messages.
#include <cstdint>

// A field of style 0 was tapped; wParam: the field id.
inline constexpr unsigned kMsgFieldTap = 9500;
// Command sent to a form to close it.
inline constexpr std::uint16_t kCmdCloseForm = 9502;
// Command posted to the main window; lParam: the form id to show.
inline constexpr std::uint16_t kCmdShowForm = 9900;
// Command posted to the main window when the device resumes.
inline constexpr std::uint16_t kCmdResume = 9901;
