#include "core/number_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

TEST(Numbers, FormatFixedRoundsHalfUp) {
    struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {2.25, 1, "2.3"},          {-0.004, 2, "-0.00"},        {9.999, 2, "10.00"},
        {3.7, 0, "4"},             {0.0, 2, "0.00"},            {0.05, 1, "0.1"},
        {-12.345, -1, "-12.345000"}, {1.5, 7, "1.50000000"},    {123456.789, 2, "123456.79"},
        {-0.5, 0, "-1"},           {99.95, 1, "100.0"},         {1e20, 0, "999999999999999"},
        {std::nan(""), 2, "0.00"},
    };
    for (const auto& c : cases) {
        char buffer[32] = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
        const int n = FormatFixed(buffer, c.value, c.decimals);
        EXPECT_STREQ(buffer, c.text) << c.value << " " << c.decimals;
        EXPECT_EQ(n, static_cast<int>(std::string(c.text).size()));
    }
}

TEST(Numbers, StrToIntSaturatesLongDigitStrings) {
    struct {
        const char* text;
        int value;
    } cases[] = {
        {"-+7", -7},  {"+7", 7},   {"12abc", 12},     {" 5", 0},   {"-", 0},   {"+-3", 0},  {"007", 7},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
        {"99999999999999999999999999", INT_MAX}, {"-99999999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToInt(nullptr), 0);
}

TEST(Numbers, StrToDoubleReadsPointOrComma) {
    struct {
        const char* text;
        double value;
    } cases[] = {
        {"12,5", 12.5},   {" 12.5", 12.5},  {"-.5", -0.5},     {"7x", 7.0},    {"+3.25", 3.25},
        {"\t-2,75", -2.75}, {"abc", 0.0},   {"-", 0.0},        {"5.", 5.0},    {"1.1234567891234", 1.123456789},
        {"123456789012.5", 123456789012.5}, {"99999999999999999999999", 1e18},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToDouble(c.text), c.value) << c.text;
    EXPECT_EQ(StrToDouble(nullptr), 0.0);
}

TEST(Numbers, HoursToHMSRoundsByHalfASecond) {
    struct {
        double hours;
        int h, m, s;
    } cases[] = {{1.99999, 2, 0, 0}, {12.5, 12, 30, 0}, {0.0, 0, 0, 0}, {23.999, 23, 59, 56}};
    for (const auto& c : cases) {
        int h = -1, m = -1, s = -1;
        HoursToHMS(c.hours, &h, &m, &s);
        EXPECT_EQ(h, c.h) << c.hours;
        EXPECT_EQ(m, c.m) << c.hours;
        EXPECT_EQ(s, c.s) << c.hours;
    }
    int h = 0;
    HoursToHMS(std::nan(""), &h, nullptr, nullptr);
    EXPECT_EQ(h, 0);
}

}  // namespace
