#include "core/report.h"

namespace {

ReportHooks hooks;
std::vector<ReportRecord> recorded;
int busySteps = 0;
bool busyShown = false;

constexpr std::size_t kRecordLimit = 256;

void Record(ReportKind kind, const char* heading, const char* detail) {
    if (recorded.size() >= kRecordLimit) recorded.erase(recorded.begin());
    recorded.push_back(ReportRecord{kind, heading ? heading : "", detail ? detail : ""});
}

}  // namespace

int ShowMessage(const char* heading, const char* detail) {
    if (hooks.showMessage) return hooks.showMessage(heading, detail);
    Record(ReportKind::Message, heading, detail);
    return 1;
}

int AskYesNo(const char* heading, const char* detail) {
    if (hooks.askYesNo) return hooks.askYesNo(heading, detail);
    Record(ReportKind::Question, heading, detail);
    return 0;
}

void ShowBusy(int flag) {
    if (!flag) return;
    ++busySteps;
    busyShown = true;
    if (hooks.showBusy) hooks.showBusy(flag);
}

void HideBusy(int flag) {
    busyShown = false;
    if (hooks.hideBusy) hooks.hideBusy(flag);
}

bool BusyCancelRequested() { return hooks.busyCancelled && hooks.busyCancelled(); }

ReportHooks SetReportHooks(const ReportHooks& next) {
    const ReportHooks previous = hooks;
    hooks = next;
    return previous;
}

int BusySteps() { return busySteps; }
bool IsBusyShown() { return busyShown; }

const std::vector<ReportRecord>& RecordedReports() { return recorded; }
void ClearRecordedReports() { recorded.clear(); }
