#include "platform/message_box.h"

namespace platform {
namespace {
std::vector<ShownBox> shown;
std::deque<int> answers;
BoxPresenter presenter;
}  // namespace

int MessageBox(Window owner, const std::string& text, const std::string& caption, BoxButtons buttons) {
    shown.push_back(ShownBox{caption, text, buttons, 0});
    const std::size_t index = shown.size() - 1;
    int answer;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    } else if (presenter) {
        answer = presenter(owner, text, caption, buttons);
    } else {
        answer = buttons == BoxButtons::YesNo ? kIdYes : kIdOk;
    }
    shown[index].answer = answer;
    return answer;
}

const std::vector<ShownBox>& ShownBoxes() { return shown; }
void ClearShownBoxes() { shown.clear(); }
void QueueBoxAnswer(int answer) { answers.push_back(answer); }
void ClearBoxAnswers() { answers.clear(); }
void SetBoxPresenter(BoxPresenter p) { presenter = std::move(p); }

}  // namespace platform
