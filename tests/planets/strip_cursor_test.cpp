// The strip's cursor on form 2460 headless: the band under it given back pixel for pixel
// when it moves, and a held key repeating its step, then dropping the key messages that
// waited meanwhile.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "planets/planet_view_fixture.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
#include "planets/time_strips.h"
#include "platform/surface.h"
#include "support/held_keys.h"
#include "support/recorded_reports.h"

using namespace planet_view_form;

namespace {

class StripCursorTest : public PlanetViewFormFixture {
protected:
    void SetUp() override {
        PlanetViewFormFixture::SetUp();
        if (HasFatalFailure()) return;
        Open(&SelectJupiterAssistant);
        Pick(kSpanPopup, kSpanList, 0);
        layout_ = GetStripLayout(kJupiterMode, 0, 0, planetView.screenHeight);
    }

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
    QueueKeyPresses({platform::kKeyDown, platform::kKeyUp});
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
