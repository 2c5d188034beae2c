// The night bars as a function of the Sun's and the object's times: where the night, the
// dark hours and the object's bar fall in the strip around the observing time, the wrap at
// the strip's edges, and the polar and white-night cases from the Sun's real times.
#include "objects/night_bars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "astro/rise_set.h"
#include "core/settings.h"

namespace {

constexpr int kWidth = 240;  // 10 pixels an hour

NightSunTimes Equinox() {
    NightSunTimes s;
    s.result = kRiseSetNormal;
    s.rise = 6, s.transit = 12, s.set = 18;
    s.twilightEnd = 19.5;
    return s;
}

std::vector<std::pair<int, int>> Pixels(const std::vector<BarSpan>& spans) {
    std::vector<std::pair<int, int>> out;
    for (const BarSpan& s : spans) out.emplace_back(s.x, s.x + s.width);
    std::sort(out.begin(), out.end());
    return out;
}

using Spans = std::vector<std::pair<int, int>>;

TEST(NightBars, TheStripIsCentredOnTheObservingTime) {
    // At midnight the night (18 h to 6 h) sits in the middle, the dark hours (19.5 h to
    // 4.5 h) inside it.
    NightBarLayout l = LayoutNightBar(0.0, kWidth, Equinox(), 0, 0);
    EXPECT_EQ(Pixels(l.night), (Spans{{60, 180}}));
    EXPECT_EQ(Pixels(l.dark), (Spans{{75, 165}}));
    EXPECT_TRUE(l.object.empty());  // rise and set both 0: never up
    // At noon the strip runs from midnight to midnight: the night is split to both edges.
    l = LayoutNightBar(12.0, kWidth, Equinox(), 0, 0);
    EXPECT_EQ(Pixels(l.night), (Spans{{0, 60}, {180, 240}}));
    EXPECT_EQ(Pixels(l.dark), (Spans{{0, 45}, {195, 240}}));
}

TEST(NightBars, ObjectBarsWrapAtTheEdgesAndCircumpolarObjectsFillTheRow) {
    const struct {
        double now, rise, set;
        Spans expected;
        bool fills;
    } cases[] = {
        {22.0, 22.0, 3.0, {{120, 170}}, false},        // up across midnight, one bar
        {12.0, 22.0, 3.0, {{0, 30}, {220, 240}}, false},  // the same cut by the strip's edges
        {20.0, 0.0, 23.99, {{0, 240}}, true},          // never sets
        {20.0, 4.0, 3.6, {{0, 240}}, true},            // up 23.6 hours
        {20.0, 4.0, 3.4, {{0, 194}, {200, 240}}, false},  // up 23.4 hours: a gap remains
    };
    for (const auto& c : cases) {
        const NightBarLayout l = LayoutNightBar(c.now, kWidth, Equinox(), c.rise, c.set);
        Spans expected = c.expected;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Pixels(l.object), expected) << c.now << " " << c.rise << " " << c.set;
        EXPECT_EQ(l.objectFillsRow, c.fills);
    }
}

class NightBarsAtASite : public ::testing::Test {
protected:
    void SetUp() override { saved = observerLocation; }
    void TearDown() override { observerLocation = saved; }
    NightBarLayout At(float latitude, int month) {
        SetSiteLatitude(latitude);
        observerLocation.longitude = -20.0f;
        observerLocation.zoneMinutes = 60;
        observerLocation.height = 0;
        return LayoutNightBar(0.0, kWidth, NightSunTimesFor(2025, month, 21), 0, 0);
    }
    ObserverLocation saved{};
};

TEST_F(NightBarsAtASite, PolarDayPolarNightAndWhiteNightsDrawTheirOwnBands) {
    // 70 N in June: the Sun never sets, no night and no dark hours.
    NightBarLayout l = At(70.0f, 6);
    EXPECT_TRUE(l.night.empty());
    EXPECT_TRUE(l.dark.empty());
    // 70 N in December: the Sun never rises, the night fills the row; it still comes
    // within 18 degrees of the horizon around noon, so the dark hours leave a gap there.
    l = At(70.0f, 12);
    EXPECT_EQ(Pixels(l.night), (Spans{{0, kWidth}}));
    ASSERT_FALSE(l.dark.empty());
    int dark = 0;
    for (const BarSpan& s : l.dark) dark += s.width;
    EXPECT_GT(dark, kWidth / 2);
    EXPECT_LT(dark, kWidth);
    // 55 N in June: a short night without astronomical darkness.
    l = At(55.0f, 6);
    ASSERT_EQ(l.night.size(), 1u);
    EXPECT_LT(l.night[0].width, kWidth / 2);
    EXPECT_GT(l.night[0].x, 0);
    EXPECT_TRUE(l.dark.empty());
    // 45 N in June: night and dark hours, the dark inside the night.
    l = At(45.0f, 6);
    ASSERT_EQ(l.night.size(), 1u);
    ASSERT_EQ(l.dark.size(), 1u);
    EXPECT_GT(l.dark[0].x, l.night[0].x);
    EXPECT_LT(l.dark[0].x + l.dark[0].width, l.night[0].x + l.night[0].width);
}

}  // namespace
