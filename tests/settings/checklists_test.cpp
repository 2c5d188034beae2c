// The three checklist pages (forms 2200, 2203, 2206): marks and personal items kept across
// the pages by their buttons and dropped when a page is left another way, the rows of a
// short screen, Ok to the home form and the information message.
#include "settings/checklists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/report.h"
#include "core/settings.h"
#include "shell/forms_fixture.h"
#include "support/recorded_reports.h"

namespace {

using namespace checklist;

constexpr int kOtherForm = 60201;

class ChecklistTest : public FormScreenFixture {
protected:
    void SetUp() override {
        Configure();
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        std::memset(checklistState, 0, sizeof checklistState);
        std::memset(preferences.checklistLabels, 0, sizeof preferences.checklistLabels);
        ClearRecordedReports();
        platform::DialogLayout layout;
        std::string error;
        for (int id : {kOtherForm, kHomeForm}) {
            ASSERT_TRUE(platform::ParseDialogLayout("dialog " + std::to_string(id) + "\nrect 0 0 240 320\n", &layout,
                                                    &error))
                << error;
            platform::RegisterDialogLayout(layout);
        }
        SetFormDialogProc(kOtherForm, &StandInFormProc<kOtherForm>);
        SetFormDialogProc(kHomeForm, &StandInFormProc<kHomeForm>);
        SetFormDialogProc(kPage1, &CheckListPage1);
        SetFormDialogProc(kPage2, &CheckListPage2);
        SetFormDialogProc(kPage3, &CheckListPage3);
        StartWithMainWindow(&FormHostProc);
    }
    virtual void Configure() {}
    void TearDown() override {
        Stop();
        for (int id : {kPage1, kPage2, kPage3, kHomeForm, kOtherForm}) SetFormDialogProc(id, nullptr);
        FormScreenFixture::TearDown();
    }
    void Go(int form) {
        Call([=] { GotoForm(form); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), form);
    }
    int Checked(int id) {
        int state = -1;
        Call([&] { state = GetCheck(formWindow, id); });
        return state;
    }
    void Tick(int id, int state = 1) {
        Call([=] { SetCheck(formWindow, id, state); });
    }
    static bool Visible(int id) { return platform::IsWindowVisible(Item(id)); }
};

TEST_F(ChecklistTest, MarksAndLabelsLastAcrossThePagesAndAreDroppedByAMenuJump) {
    Go(kPage1);
    Tick(2210);
    Command(kPage1Next);
    ASSERT_EQ(GetCurrentFormId(), kPage2);
    Tick(2221);
    Command(kPage2Next);
    ASSERT_EQ(GetCurrentFormId(), kPage3);
    SetText(2242, "Red torch");
    SetText(2246, "Thermos");
    Tick(2237);
    Command(kPage3Prev);
    ASSERT_EQ(GetCurrentFormId(), kPage2);
    EXPECT_EQ(Checked(2221), 1);
    EXPECT_EQ(Checked(2222), 0);
    Command(kPage2Prev);
    ASSERT_EQ(GetCurrentFormId(), kPage1);
    EXPECT_EQ(Checked(2210), 1);
    EXPECT_STREQ(preferences.checklistLabels[0], "Red torch");
    EXPECT_STREQ(preferences.checklistLabels[4], "Thermos");
    Command(kPage1Next);
    Command(kPage2Next);
    EXPECT_EQ(Text(2242), "Red torch");
    EXPECT_EQ(Checked(2237), 1);

    // Left by another form's call, a page keeps nothing of the visit.
    Tick(2238);
    SetText(2243, "Gloves");
    Go(kOtherForm);
    Go(kPage3);
    EXPECT_EQ(Checked(2238), 0);
    EXPECT_EQ(Text(2243), "");
    EXPECT_EQ(Text(2242), "Red torch");
}

TEST_F(ChecklistTest, OkGoesHomeAndTheInformationIsOnEveryPage) {
    for (int page : {kPage1, kPage2, kPage3}) {
        Go(page);
        Command(kInfo);
    }
    ASSERT_EQ(RecordedReports().size(), 3u);
    for (const ReportRecord& r : RecordedReports())
        EXPECT_EQ(r.heading, "Use this Checklist to remind you to bring everything you will need for your NightTripping.");
    Go(kPage1);
    EXPECT_TRUE(Visible(2220)) << "a 320-high screen shows every row";
    Command(1);  // the OK key is Ok on the first page
    EXPECT_EQ(GetCurrentFormId(), kHomeForm);
}

class ShortChecklistTest : public ChecklistTest {
protected:
    void Configure() override {
        options.width = 320;
        options.height = 240;
    }
};

TEST_F(ShortChecklistTest, AShortScreenEndsTheListsEarlier) {
    Go(kPage1);
    EXPECT_TRUE(Visible(147));
    EXPECT_TRUE(Visible(2217));
    for (int id : {148, 149, 150, 2218, 2220}) EXPECT_FALSE(Visible(id)) << id;
    EXPECT_TRUE(Visible(kPage1Ok));
    Go(kPage2);
    EXPECT_TRUE(Visible(2228));
    EXPECT_FALSE(Visible(2229));
    Go(kPage3);
    EXPECT_TRUE(Visible(2244));
    EXPECT_FALSE(Visible(2245));
    EXPECT_FALSE(Visible(2246));
}

}  // namespace
