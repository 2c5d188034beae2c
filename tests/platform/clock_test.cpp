#include <gtest/gtest.h>

#include <locale.h>

#include <cstdlib>
#include <string>

#include "platform/clock.h"
#include "platform/headless.h"
#include "support/headless_fixture.h"

using namespace platform;

namespace {

TEST(ClockTest, CalendarArithmeticCarriesAcrossMonthsAndYears) {
    const struct {
        LocalTime from;
        std::int64_t ms;
        LocalTime to;
    } cases[] = {
        {{2008, 2, 28, 23, 59, 59, 999}, 1, {2008, 2, 29, 0, 0, 0, 0, 5}},
        {{2007, 12, 31, 23, 59, 0, 0}, 60000, {2008, 1, 1, 0, 0, 0, 0, 2}},
        {{2008, 3, 1, 0, 0, 0, 0}, -1, {2008, 2, 29, 23, 59, 59, 999, 5}},
        {{1900, 2, 28, 12, 0, 0, 0}, 86400000, {1900, 3, 1, 12, 0, 0, 0, 4}},
        {{2000, 1, 1, 0, 0, 0, 0}, 0, {2000, 1, 1, 0, 0, 0, 0, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        EXPECT_EQ(AddMilliseconds(c.from, c.ms), c.to);
    }
}

class VirtualClockTest : public HeadlessFixture {};

TEST_F(VirtualClockTest, LocalTimeMovesWithTheVirtualTicks) {
    headless::SetLocalTime({2024, 12, 31, 23, 59, 59, 500});
    EXPECT_EQ(GetLocalTime(), (LocalTime{2024, 12, 31, 23, 59, 59, 500, 2}));
    const std::uint32_t tick = TickCount();
    Advance(600);
    EXPECT_EQ(TickCount(), tick + 600);
    EXPECT_EQ(GetLocalTime(), (LocalTime{2025, 1, 1, 0, 0, 0, 100, 3}));
}

// Restores the environment and the override a test changes.
class DateOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* v : {"LC_ALL", "LC_TIME", "LANG"}) {
            const char* s = std::getenv(v);
            saved.push_back(s ? std::optional<std::string>(s) : std::nullopt);
            unsetenv(v);
        }
    }
    void TearDown() override {
        const char* names[] = {"LC_ALL", "LC_TIME", "LANG"};
        for (int i = 0; i < 3; ++i) {
            if (saved[i]) setenv(names[i], saved[i]->c_str(), 1);
            else unsetenv(names[i]);
        }
        SetShortDateOrder(std::nullopt);
    }
    std::vector<std::optional<std::string>> saved;
};

bool Installed(const char* name) {
    locale_t l = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) return false;
    freelocale(l);
    return true;
}

TEST_F(DateOrderTest, TheOverrideWinsAndTheCLocaleDecidesNothing) {
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(ShortDateOrder(), DateOrder::DayFirst);  // not the C locale's 12/01/07
    setenv("LC_ALL", "POSIX", 1);
    EXPECT_EQ(ShortDateOrder(), DateOrder::DayFirst);
    SetShortDateOrder(DateOrder::MonthFirst);
    EXPECT_EQ(ShortDateOrder(), DateOrder::MonthFirst);
    SetShortDateOrder(std::nullopt);
    EXPECT_EQ(ShortDateOrder(), DateOrder::DayFirst);
    EXPECT_EQ(DateOrderOfLocale("no_SUCH.locale"), DateOrder::DayFirst);
    // Real locales, where the machine has them.
    if (Installed("en_US.UTF-8")) {
        setenv("LC_ALL", "en_US.UTF-8", 1);
        EXPECT_EQ(ShortDateOrder(), DateOrder::MonthFirst);
    }
    if (Installed("de_DE.UTF-8")) {
        EXPECT_EQ(DateOrderOfLocale("de_DE.UTF-8"), DateOrder::DayFirst);
    }
}

}  // namespace
