#pragma once
// Message boxes shown by the layer: caption, multi-line text, OK or Yes/No buttons.
// Every box shown is recorded (caption, text, buttons) so that tests and the headless
// driver can see it; in headless runs the answer comes from a script.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform {

enum class BoxButtons { Ok, YesNo };

// Results, as the system compares them.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

struct ShownBox {
    std::string caption;   // Windows-1252 text, as the program wrote it
    std::string text;
    BoxButtons buttons = BoxButtons::Ok;
    int answer = 0;
};

// Shows a box owned by `owner` (may be null) and returns the button chosen. Closing a
// Yes/No box any other way than with its buttons answers kIdCancel, never kIdNo.
int MessageBox(Window owner, const std::string& text, const std::string& caption, BoxButtons buttons);

// The record of boxes shown since the last Clear.
const std::vector<ShownBox>& ShownBoxes();
void ClearShownBoxes();

// Scripted answers for headless runs, taken in order; when none is queued a box is
// answered with OK, or Yes for a question.
void QueueBoxAnswer(int answer);
void ClearBoxAnswers();

// The interactive layer installs the function that really shows a box; without one the
// box is answered from the script.
using BoxPresenter = std::function<int(Window owner, const std::string& text, const std::string& caption, BoxButtons)>;
void SetBoxPresenter(BoxPresenter presenter);

}  // namespace platform
