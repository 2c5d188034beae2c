#pragma once
// AssistantFormTest: one of the observing assistants of the telescope folder on the
// headless screen, opened the way the program opens it, with the commands, popup picks and
// field texts the tests need. Reports are recorded, not shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/report.h"
#include "platform/messages.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "support/recorded_reports.h"

class AssistantFormTest : public FormScreenFixture {
protected:
    AssistantFormTest(int formId, platform::DialogProc proc) : formId_(formId), proc_(proc) {}

    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        ClearRecordedReports();
        SetFormDialogProc(formId_, proc_);
        StartWithMainWindow(&FormHostProc);
    }
    void PrepareSettings() override {
        observerLocation = ObserverLocation{};
        SetDefaultSettings();
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(formId_, nullptr);
        FormScreenFixture::TearDown();
    }

    void Open() {
        Call([this] { GotoForm(formId_); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), formId_);
        ASSERT_TRUE(platform::IsWindow(formWindow));
    }
    // A tap on the form, in its client coordinates.
    void TapForm(int x, int y) {
        Tap(platform::ClientToScreen(formWindow, platform::Point{x, y}));
        RunUntilIdle();
    }
    static std::vector<std::string> Headings() {
        std::vector<std::string> out;
        for (const ReportRecord& r : RecordedReports()) out.push_back(r.heading);
        return out;
    }

private:
    int formId_;
    platform::DialogProc proc_;
};
