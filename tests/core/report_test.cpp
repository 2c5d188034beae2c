#include "core/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> shown;
int busyHook = 0;

int ShowHook(const char* heading, const char* detail) {
    shown.push_back(std::string(heading) + "|" + detail);
    return 7;
}
int AskHook(const char*, const char*) { return 1; }
void BusyHook(int) { ++busyHook; }

TEST(Reports, WithoutHooksEveryReportIsRecorded) {
    ClearRecordedReports();
    EXPECT_EQ(ShowMessage("Could not open star database", nullptr), 1);
    EXPECT_EQ(AskYesNo("Restore?", "last alignment"), 0) << "the recording default answers Yes";
    ASSERT_EQ(RecordedReports().size(), 2u);
    EXPECT_EQ(RecordedReports()[0].kind, ReportKind::Message);
    EXPECT_EQ(RecordedReports()[0].heading, "Could not open star database");
    EXPECT_EQ(RecordedReports()[0].detail, "");
    EXPECT_EQ(RecordedReports()[1].kind, ReportKind::Question);

    // The record keeps the latest reports only.
    for (int i = 0; i < 300; ++i) ShowMessage(std::to_string(i).c_str(), "");
    EXPECT_EQ(RecordedReports().size(), 256u);
    EXPECT_EQ(RecordedReports().back().heading, "299");
    ClearRecordedReports();
}

TEST(Reports, InstalledHooksReplaceTheRecordUntilRemoved) {
    ClearRecordedReports();
    shown.clear();
    ReportHooks hooks;
    hooks.showMessage = &ShowHook;
    hooks.askYesNo = &AskHook;
    hooks.showBusy = &BusyHook;
    const ReportHooks previous = SetReportHooks(hooks);
    EXPECT_EQ(ShowMessage("a", "b"), 7);
    EXPECT_EQ(AskYesNo("q", ""), 1);
    EXPECT_EQ(shown, std::vector<std::string>{"a|b"});
    EXPECT_TRUE(RecordedReports().empty());

    // Busy steps are counted whoever draws them; a zero flag is no step.
    const int steps = BusySteps();
    busyHook = 0;
    ShowBusy(1);
    ShowBusy(0);
    ShowBusy(1);
    EXPECT_TRUE(IsBusyShown());
    HideBusy();
    EXPECT_FALSE(IsBusyShown());
    EXPECT_EQ(BusySteps() - steps, 2);
    EXPECT_EQ(busyHook, 2);

    SetReportHooks(previous);
    ShowMessage("again", "");
    EXPECT_EQ(RecordedReports().size(), 1u);
    ClearRecordedReports();
}

}  // namespace
