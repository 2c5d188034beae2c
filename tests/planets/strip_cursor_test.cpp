// The strip's cursor on form 2460 headless: the band under it given back pixel for pixel
// when it moves, and a held key repeating its step, then dropping the key messages that
// waited meanwhile.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/settings.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
#include "planets/planets_services.h"
#include "planets/time_strips.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "shell/forms_fixture.h"
#include "support/held_keys.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

using namespace planet_view_form;

namespace {

class StripCursorTest : public FormScreenFixture {
protected:
    void SetUp() override {
        options.start = platform::LocalTime{2025, 1, 16, 21, 30, 0, 0, 4};
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        savedView_ = planetView;
        planetView = PlanetViewState{};
        UseTestSite(48.85, -2.35, 60);
        ClearRecordedReports();
        SetFormDialogProc(kFormId, &PlanetViewAssistant);
        SetFormDialogProc(kHomeFormId, &StandInFormProc<kHomeFormId>);
        StartWithMainWindow(&FormHostProc);
        Call([] {
            SelectJupiterAssistant();
            GotoForm(kFormId);
        });
        ASSERT_EQ(GetCurrentFormId(), kFormId);
        Pick(kSpanPopup, kSpanList, 0);
        layout_ = GetStripLayout(kJupiterMode, 0, 0, planetView.screenHeight);
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(kFormId, nullptr);
        SetFormDialogProc(kHomeFormId, nullptr);
        FreeSatelliteSprites();
        FormScreenFixture::TearDown();
        planetView = savedView_;
    }
    void PrepareSettings() override { SetDefaultSettings(); }

    // The strip's rows as the screen shows them.
    std::vector<std::vector<std::uint16_t>> StripRows() {
        const platform::Surface* s = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        std::vector<std::vector<std::uint16_t>> rows;
        for (int y = layout_.top; y < layout_.top + layout_.height; ++y) {
            const std::uint16_t* row = s->Row(y + o.y) + o.x;
            rows.emplace_back(row, row + planetView.screenWidth);
        }
        return rows;
    }
    void TapStrip(int y) { Tap(platform::ClientToScreen(formWindow, platform::Point{planetView.screenWidth / 2, y})); }
    // Key presses, all waiting together before the first is handled.
    void QueueKeys(std::initializer_list<int> keys) {
        const std::uint32_t now = platform::headless::Tick();
        for (int key : keys) {
            platform::headless::Schedule(platform::InputEvent{platform::InputKind::KeyDown, {}, key, 0, now});
            platform::headless::Schedule(platform::InputEvent{platform::InputKind::KeyUp, {}, key, 0, now});
        }
        RunUntilIdle();
    }

    PlanetViewState savedView_;
    SavedObservingState site_;
    StripLayout layout_{};
};

TEST_F(StripCursorTest, TheBandUnderTheCursorComesBackWhenItMoves) {
    const int a = planetView.stripRow, b = layout_.top + 60, c = layout_.top + 120;
    ASSERT_GT(a, c + 2);
    const auto atA = StripRows();
    TapStrip(b);
    ASSERT_EQ(planetView.stripRow, b);
    const auto atB = StripRows();
    EXPECT_NE(atB[b - layout_.top], atA[b - layout_.top]) << "the cursor is drawn on its row";
    TapStrip(c);
    const auto atC = StripRows();
    // Every row away from the cursor's last and new bands is as before; row b is as it was
    // before the cursor came to it, and row a lost its cursor for good.
    for (int y = layout_.top; y < layout_.top + layout_.height; ++y) {
        const int i = y - layout_.top;
        if (std::abs(y - c) <= 1) continue;
        if (std::abs(y - a) <= 1) {
            EXPECT_EQ(atC[i], atB[i]) << "row " << y;
            continue;
        }
        EXPECT_EQ(atC[i], atA[i]) << "row " << y;
    }
    EXPECT_NE(atC[a - layout_.top], atA[a - layout_.top]);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(StripCursorTest, AHeldKeyRepeatsItsStepThenDropsTheWaitingKeys) {
    const int row = planetView.stripRow;
    std::unique_ptr<HeldNavKeys> held;
    // Down held for four more polls: five rows down; the Up pressed meanwhile is dropped.
    Call([&] { held = std::make_unique<HeldNavKeys>(4); });
    QueueKeys({platform::kKeyDown, platform::kKeyUp});
    Call([&] { held.reset(); });
    EXPECT_EQ(planetView.stripRow, row + 5);
    // The fields follow the cursor: the time of the row.
    StripInstant t{};
    ASSERT_TRUE(StripRowInstant(layout_, row + 5, StripInstant{2025, 1, 16, 0, 0}, &t));
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", t.hour, t.minute);
    EXPECT_EQ(Text(kTime), time);

    // Held as long as the script says: the cursor runs to the strip's last row and stays.
    platform::headless::KeyDown(platform::kKeyDown);
    platform::headless::KeyUp(platform::kKeyDown);
    EXPECT_EQ(planetView.stripRow, layout_.top + layout_.height - 1);
    Key(platform::kKeyUp);
    EXPECT_EQ(planetView.stripRow, layout_.top + layout_.height - 2);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

}  // namespace
