#include "core/calendar.h"

#include <cmath>

namespace {
constexpr int kMonthLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
}  // namespace

bool IsLeapYear(int year) {
    if (year > 1583) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return year % 4 == 0;
}

int DaysInMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    if (month == 2 && IsLeapYear(year)) return 29;
    return kMonthLengths[month];
}

int DayOfWeek(int year, int month, int day) {
    const long long n = static_cast<long long>(std::floor(JulianDay0h(year, month, day))) + 2;
    return static_cast<int>(((n % 7) + 7) % 7);
}

namespace {

void NextDay(int& year, int& month, int& day) {
    ++day;
    if (day > DaysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
}

void PreviousDay(int& year, int& month, int& day) {
    --day;
    if (day < 1) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        day = DaysInMonth(year, month);
    }
}

}  // namespace

bool AddMinutes(int* year, int* month, int* day, int* hour, int* minute, int minutes) {
    if (!year || !month || !day || !hour || !minute) return false;
    // Whole hours are carried at once; the day steps one at a time so every month end
    // and every February is passed as the calendar has it.
    long long m = static_cast<long long>(*minute) + minutes;
    long long h = *hour;
    if (m > 59) {
        h += m / 60;
        m %= 60;
    } else if (m < 0) {
        const long long borrow = (-m + 59) / 60;
        h -= borrow;
        m += borrow * 60;
    }
    while (h > 23) {
        h -= 24;
        NextDay(*year, *month, *day);
    }
    while (h < 0) {
        h += 24;
        PreviousDay(*year, *month, *day);
    }
    *hour = static_cast<int>(h);
    *minute = static_cast<int>(m);
    return IsLeapYear(*year);
}

bool AddDays(int* year, int* month, int* day, int days) {
    if (!year || !month || !day) return false;
    for (long long n = days; n > 0; --n) NextDay(*year, *month, *day);
    for (long long n = days; n < 0; ++n) PreviousDay(*year, *month, *day);
    return IsLeapYear(*year);
}

double JulianDay0h(int year, int month, int day) {
    int y = year;
    int m = month;
    if (m == 1 || m == 2) {
        y -= 1;
        m += 12;
    }
    double b = 0.0;
    if (y > 1583) {
        const int a = y / 100;
        b = 2 - a + a / 4;
    }
    return day + std::floor(30.6001 * (m + 1)) + std::floor(365.25 * (y + 4716.0)) + b - 1524.5;
}

double DateTimeToJD(int year, int month, int day, int hour, int minute, int second, int offsetMinutes) {
    return JulianDay0h(year, month, day) +
           (hour + (static_cast<double>(minute) - offsetMinutes) / 60.0 + second / 3600.0) / 24.0;
}

int JDToDate(double jd, int* year, int* month, int* day, int* hour, int* minute, int* second) {
    double z = std::floor(jd + 0.5);
    const double f = jd + 0.5 - z;

    // Round the time of day to the second before splitting it, so that a fraction just
    // short of a minute, an hour or midnight carries instead of reading second 60.
    double secondsOfDay = std::floor(f * 86400.0 + 0.5);
    if (secondsOfDay >= 86400.0) {
        secondsOfDay -= 86400.0;
        z += 1.0;
    }

    double a = z;
    if (z >= 2299161.0) {
        const double alpha = std::floor((z - 1867216.25) * 2.7379070069885075e-5);
        a = z + 1.0 + alpha - std::floor(alpha / 4.0);
    }
    const double b = a + 1524.0;
    const double c = std::floor((b - 122.1) * 0.0027378507871321013);
    const double d = std::floor(365.25 * c);
    const double e = std::floor((b - d) * 0.03267963176590926);

    const int dayOfMonth = static_cast<int>(b - d - std::floor(30.6001 * e));
    const int mon = e < 14.0 ? static_cast<int>(e) - 1 : static_cast<int>(e) - 13;
    const int yr = mon <= 2 ? static_cast<int>(c) - 4715 : static_cast<int>(c) - 4716;

    const int s = static_cast<int>(secondsOfDay);
    if (year) *year = yr;
    if (month) *month = mon;
    if (day) *day = dayOfMonth;
    if (hour) *hour = s / 3600;
    if (minute) *minute = s % 3600 / 60;
    if (second) *second = s % 60;
    return s % 60;
}

int JDToDateTime(double jd, int* year, int* month, int* day, int* hour, int* minute, int* second) {
    return JDToDate(jd, year, month, day, hour, minute, second);
}

double DateToDecimalYear(int year, int month, int day, int hour, int minute, int second) {
    const bool leap = IsLeapYear(year);
    const int length = leap ? 366 : 365;
    const int k = leap ? 1 : 2;
    const int n = 275 * month / 9 - k * ((month + 9) / 12) + day - 30;
    return year + (n + (hour + minute / 60.0 + second / 3600.0) / 24.0) / length;
}
