#include "shell/utilities.h"
#include "shell/utilities_internal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <deque>
#include <string>

#include "astro/time_scales.h"
#include "platform/clock.h"

namespace {

class DateTextTest : public ::testing::Test {
protected:
    void UseShortDate(const std::string& sample) {
        SetShortDateSource([sample](int, int, int, int) { return sample; });
        ResetDateOrder();
    }
    void TearDown() override {
        SetShortDateSource(nullptr);
        ResetDateOrder();
    }
};

TEST_F(DateTextTest, DayFirstDevice) {
    UseShortDate("01.12.2007");
    EXPECT_EQ(GetDateOrder(), 5);
    char buffer[36];
    FormatDate(buffer, 1, 12, 2007);
    EXPECT_STREQ(buffer, "01/12/2007");
    FormatDateShort(buffer, 5, 3, 2024);
    EXPECT_STREQ(buffer, "05/03/24");
    int d = 0, m = 0, y = 0;
    ParseDate("24/12/2023", &d, &m, &y);
    EXPECT_EQ(d, 24);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(y, 2023);
}

TEST_F(DateTextTest, MonthFirstDevice) {
    UseShortDate("12/1/2007");
    EXPECT_EQ(GetDateOrder(), 2);
    EXPECT_EQ(GetDateOrder(1), 0);
    char buffer[36];
    FormatDate(buffer, 1, 12, 2007);
    EXPECT_STREQ(buffer, "12/01/2007");
    FormatDateShort(buffer, 5, 3, 2024);
    EXPECT_STREQ(buffer, "03/05/24");
    int d = 0, m = 0, y = 0;
    ParseDate("12/24/2023", &d, &m, &y);
    EXPECT_EQ(d, 24);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(y, 2023);
}

TEST_F(DateTextTest, OrderIsAskedOnceAndPartialDatesReadZeroFields) {
    int asked = 0;
    SetShortDateSource([&asked](int, int, int, int) {
        ++asked;
        return std::string("2007-12-01");
    });
    ResetDateOrder();
    EXPECT_EQ(GetDateOrder(), 5);
    EXPECT_EQ(GetDateOrder(), 5);
    EXPECT_EQ(asked, 1);

    // A decimal number is no date: only its integer part is read.
    int d = 9, m = 9, y = 9;
    ParseDate("1.5", &d, &m, &y);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(y, 0);
    ParseDate(nullptr, &d, nullptr, nullptr);
    EXPECT_EQ(d, 0);
}

TEST_F(DateTextTest, WithoutASourceThePlatformOrderHolds) {
    SetShortDateSource(nullptr);
    platform::SetShortDateOrder(platform::DateOrder::MonthFirst);
    ResetDateOrder();
    EXPECT_EQ(GetDateOrder(), 2);
    platform::SetShortDateOrder(platform::DateOrder::DayFirst);
    ResetDateOrder();
    EXPECT_EQ(GetDateOrder(), 5);
    platform::SetShortDateOrder(std::nullopt);
}

TEST(DeviceClock, LocalTime) {
    SetLocalClockSource([] { return LocalDateTimeFields{2024, 2, 29, 21, 45, 7}; });
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    EXPECT_EQ(y, 2024);
    EXPECT_EQ(mo, 2);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(mi, 45);
    EXPECT_EQ(s, 7);
    GetLocalDateTime(nullptr, nullptr, &d, nullptr, nullptr, nullptr);
    SetLocalClockSource(nullptr);
    GetLocalDateTime(&y, &mo, &d, nullptr, nullptr, nullptr);
    EXPECT_GE(y, 2024);

}

TEST(DeviceInput, FlushAndWaitTakeOnlyTheirMessages) {
    std::deque<unsigned> queue;
    SetPendingInputSource([&queue](unsigned first, unsigned last) -> unsigned {
        for (auto it = queue.begin(); it != queue.end(); ++it) {
            if (*it >= first && *it <= last) {
                const unsigned m = *it;
                queue.erase(it);
                return m;
            }
        }
        return 0;
    });
    queue = {0x100, 0x201, 0x0F, 0x101, 0x202};
    FlushKeyEvents();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x201, 0x0F, 0x202}));
    FlushPenEvents();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x0F}));

    // A pen move is dropped on the way to the pen-up, which ends the wait.
    queue = {0x200, 0x200, 0x202, 0x200, 0x0F};
    WaitPenOrKey();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x200, 0x0F}));
    // A key ends it too.
    queue = {0x0F, 0x104};
    WaitPenOrKey();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x0F}));
    SetPendingInputSource(nullptr);
}

TEST(DeviceTicks, SecondsFromTheTickCount) {
    SetTickSource([] { return 123999u; });
    EXPECT_EQ(GetSeconds(), 123u);
    EXPECT_EQ(GetTicksPerSecond(), 1000u);
    SetTickSource(nullptr);
    EXPECT_EQ(IsNetworkAllowed(), 0);
}

}  // namespace
