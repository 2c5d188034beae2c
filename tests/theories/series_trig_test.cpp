#include "theories/series_trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

// Distance in units of the last place of the C library's value.
double Ulps(double reference, double value) {
    const double ulp = std::nextafter(std::fabs(reference), INFINITY) - std::fabs(reference);
    return std::fabs(value - reference) / ulp;
}

// Absolute differences count too: next to a zero of the function the relative error of any
// two implementations is large while both are within 2e-16 of the truth.
void ExpectClose(double x, double sine, double cosine) {
    const double s = std::sin(x), c = std::cos(x);
    EXPECT_TRUE(Ulps(s, sine) <= 4.0 || std::fabs(sine - s) <= 2.3e-16) << "sin " << x;
    EXPECT_TRUE(Ulps(c, cosine) <= 4.0 || std::fabs(cosine - c) <= 2.3e-16) << "cos " << x;
}

TEST(SeriesTrig, AgreesWithTheLibraryOverTheRangesTheSeriesUse) {
    std::mt19937_64 rng(19);
    for (double range : {1.0, 7.0, 2e3, 1e5, 9.9e5}) {
        std::uniform_real_distribution<double> angle(-range, range);
        for (int i = 0; i < 20000; ++i) {
            const double x = angle(rng);
            double s, c;
            SeriesSinCos(x, &s, &c);
            ExpectClose(x, s, c);
        }
    }
    // Either side of multiples of pi/2, where the reduction cancels most of the angle.
    for (int k = -4000; k <= 4000; k += 3) {
        double x = k * 1.5707963267948966;
        for (int step = 0; step < 3; ++step) {
            x = std::nextafter(x, INFINITY);
            double s, c;
            SeriesSinCos(x, &s, &c);
            ExpectClose(x, s, c);
        }
    }
}

TEST(SeriesTrig, AnglesBeyondTheReductionAndNotANumberGoToTheLibrary) {
    for (double x : {1.0e6 + 0.5, -3.7e9, 1e300}) {
        double s, c;
        SeriesSinCos(x, &s, &c);
        EXPECT_EQ(s, std::sin(x)) << x;
        EXPECT_EQ(c, std::cos(x)) << x;
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
        double s, c;
        SeriesSinCos(x, &s, &c);
        EXPECT_TRUE(std::isnan(s)) << x;
        EXPECT_TRUE(std::isnan(c)) << x;
    }
}

// Arrays are taken four at a time; every length leaves a different tail, and one large
// angle in a group must not disturb its neighbours.
TEST(SeriesTrig, ArraysOfEveryLengthGiveWhatSingleAnglesGive) {
    for (int count = 0; count <= 9; ++count) {
        std::vector<double> angles(count), sines(count + 1, 7.0), cosines(count + 1, 7.0);
        for (int i = 0; i < count; ++i) angles[i] = i == 2 ? 5.0e7 : 0.37 * i - 1.1;
        SeriesSinCosArray(angles.data(), sines.data(), cosines.data(), count);
        for (int i = 0; i < count; ++i) {
            double s, c;
            SeriesSinCos(angles[i], &s, &c);
            EXPECT_EQ(sines[i], s) << count << " " << i;
            EXPECT_EQ(cosines[i], c) << count << " " << i;
        }
        EXPECT_EQ(sines[count], 7.0) << "wrote past " << count;
        EXPECT_EQ(cosines[count], 7.0) << "wrote past " << count;
    }
}

}  // namespace
