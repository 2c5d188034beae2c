#pragma once
// Yes/no questions answered by the test: while a ScriptedQuestions lives, every question
// is recorded ("heading|detail") and answered No when `answerNo` is set, Yes otherwise;
// messages are recorded as without a shell.
#include <string>
#include <vector>

#include "core/report.h"

class ScriptedQuestions {
public:
    ScriptedQuestions() {
        Asked().clear();
        No() = false;
        ReportHooks hooks;
        hooks.askYesNo = &Ask;
        saved_ = SetReportHooks(hooks);
    }
    ~ScriptedQuestions() { SetReportHooks(saved_); }
    ScriptedQuestions(const ScriptedQuestions&) = delete;
    ScriptedQuestions& operator=(const ScriptedQuestions&) = delete;

    static std::vector<std::string>& Asked() {
        static std::vector<std::string> asked;
        return asked;
    }
    static bool& No() {
        static bool no = false;
        return no;
    }

private:
    static int Ask(const char* heading, const char* detail) {
        Asked().push_back(std::string(heading) + "|" + detail);
        return No() ? 1 : 0;
    }
    ReportHooks saved_;
};
