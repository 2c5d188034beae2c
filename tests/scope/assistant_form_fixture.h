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
    void Command(int id, int high = 0) {
        Call([=] {
            platform::SendMessage(formWindow, platform::kMsgCommand,
                                  platform::MakeLong(static_cast<std::uint16_t>(id), static_cast<std::uint16_t>(high)), 0);
        });
        RunUntilIdle();
    }
    // Picks a row of a popup list as the popup does.
    void Pick(int trigger, int list, int row) {
        Call([=] { SetListSelection(list, row); });
        Command(trigger, list);
    }
    void SetText(int id, const std::string& text) {
        Call([=] { SetField(id, text.c_str()); });
    }
    std::string Text(int id) {
        std::string out;
        Call([&] {
            char text[256] = {};
            GetField(id, text, sizeof text);
            out = text;
        });
        return out;
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
