#pragma once
// How the computations and the stores report to the user: a message, a yes/no question,
// and the busy indicator of a long computation.
//
// The calls go through hooks. The program installs the shell's message boxes and busy
// animation at start; until then (and in tests and tools that install nothing) each call
// is recorded, so a headless run still sees every report it raised.
#include <string>
#include <vector>

// A report with a heading and a detail (empty for none). Returns what the installed hook
// returns; the recording default returns 1.
int ShowMessage(const char* heading, const char* detail);
// A yes/no question; 1 only when the user answered No. The recording default answers Yes (0).
int AskYesNo(const char* heading, const char* detail);
// A non-zero flag steps the busy indicator once (0 does nothing); HideBusy removes it.
void ShowBusy(int flag);
void HideBusy(int flag = 1);
// Whether the user asked to end the wait the busy indicator stands for (Escape, or a tap
// on the screen while it is up). The recording default never asks.
bool BusyCancelRequested();

struct ReportHooks {
    int (*showMessage)(const char* heading, const char* detail) = nullptr;
    int (*askYesNo)(const char* heading, const char* detail) = nullptr;
    void (*showBusy)(int flag) = nullptr;
    void (*hideBusy)(int flag) = nullptr;
    bool (*busyCancelled)() = nullptr;
};
// Installs the hooks (a null member records instead) and returns the ones replaced.
ReportHooks SetReportHooks(const ReportHooks& hooks);

// Busy steps taken since the program started, and whether the indicator is up.
int BusySteps();
bool IsBusyShown();

// What the recording default saw, oldest first (at most the last 256).
enum class ReportKind { Message, Question };
struct ReportRecord {
    ReportKind kind;
    std::string heading;
    std::string detail;
};
const std::vector<ReportRecord>& RecordedReports();
void ClearRecordedReports();
