// The lines of equal magnitude on the globe: their segments, and what lands on the pixels.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "core/settings.h"
#include "eclipses/bessel_elements.h"
#include "eclipses/eclipse_limits_drawing.h"
#include "platform/types.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"

namespace {

struct PathCase {
    const char* name;
    int year, month, day, hour;
    double deltaT;
    double centreLongitudeWest, centreLatitude;  // where the globe is turned to
    int southernBreaks;                           // most breaks allowed in a southern curve
};

// 2012 May 20: the path runs east from China across the 180th meridian to Texas.
// 2021 December 4: the path runs west over Antarctica; the penumbra covers the South Pole,
// so the southern limits of the partial phases sit at the pole, and at the path's last
// longitude the southern umbral limit runs off to it (a jump the curve does not draw).
const PathCase kPaths[] = {
    {"2012 annular", 2012, 5, 20, 24, 67.7, -176.3, 49.1, 0},
    {"2021 total", 2021, 12, 4, 8, 72.6, 46.2, -76.8, 1},
};

TEST(EclipseLimits, CurvesAreContinuousAndClosedAtBothEnds) {
    for (const PathCase& c : kPaths) {
        SCOPED_TRACE(c.name);
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, c.year, c.month, c.day, c.hour), 1);
        auto curves = std::make_unique<LimitCurves>();
        const int count =
            ComputeEclipseLimitCurves(e, 240, 240, c.centreLongitudeWest, 0.0, c.centreLatitude, 200.0, c.deltaT,
                                      curves.get());
        ASSERT_GT(count, 0);
        int perCurve[kLimitSides * kLimitMagnitudes] = {};
        int joins = 0;
        for (int i = 0; i < count; ++i) {
            const LimitSegment& s = curves->segments[i];
            EXPECT_LT(std::abs(s.x1 - s.x0), kLimitJumpPixels);
            if (s.curve == kLimitClosingJoin) {
                ++joins;
                EXPECT_EQ(s.colour, kLimitGrey);
            } else {
                ++perCurve[s.curve];
                EXPECT_EQ(s.colour, s.curve % kLimitMagnitudes == kLimitMagnitudes - 1 ? kLimitRed : kLimitGrey);
            }
        }
        // Each curve one unbroken line through all its visible points (a partial phase's
        // limit that lies only where the Sun is down is not drawn at all); the umbral limits
        // lie on the turned globe's near side the whole way.
        int ends = 0;
        for (int side = 0; side < kLimitSides; ++side) {
            for (int m = 0; m < kLimitMagnitudes; ++m) {
                SCOPED_TRACE(testing::Message() << "side " << side << " magnitude " << m);
                if (curves->points[side][m] == 0) continue;
                const int breaks = curves->points[side][m] - 1 - perCurve[side * kLimitMagnitudes + m];
                EXPECT_GE(breaks, 0);
                EXPECT_LE(breaks, side == 0 ? c.southernBreaks : 0);
                if (m + 1 < kLimitMagnitudes && curves->points[side][m + 1] > 0) ends += 2;
            }
            EXPECT_GE(curves->points[side][kLimitMagnitudes - 1], 10);
        }
        // Neighbouring magnitudes joined at both ends wherever both are drawn.
        EXPECT_EQ(joins, ends);
    }
}

TEST(EclipseLimits, NoCentralLineLeavesNothingToDraw) {
    BesselElements partial;
    ASSERT_EQ(FitBesselElements(&partial, 2007, 3, 19, 3), 1);
    auto curves = std::make_unique<LimitCurves>();
    EXPECT_EQ(ComputeEclipseLimitCurves(partial, 120, 120, 0.0, 0.0, 60.0, 100.0, 65.5, curves.get()), 0);
    EXPECT_EQ(curves->segmentCount, 0);
    EXPECT_EQ(curves->first[0][0].x, kLimitNoPoint);
}

class EclipseLimitsPixels : public ::testing::Test {
protected:
    void SetUp() override {
        preferences.word[pref::nightMode] = 0;
        off = CreateOffscreenDIB(kSize, kSize, 16);
        ASSERT_NE(off, nullptr);
        previous = SetDrawWindow(off);
    }
    void TearDown() override {
        SetDrawWindow(previous);
        DeleteOffscreen(off);
    }
    std::uint16_t Pixel(int x, int y) const {
        return reinterpret_cast<const std::uint16_t*>(off->pixels + (off->height - 1 - y) * off->stride)[x];
    }
    int Count(std::uint16_t value) const {
        int n = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) n += Pixel(x, y) == value;
        return n;
    }
    static std::uint16_t Pixel16(int r, int g, int b) { return static_cast<std::uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)); }

    static constexpr int kSize = 480;
    DrawWindow* off = nullptr;
    DrawWindow* previous = nullptr;
};

TEST_F(EclipseLimitsPixels, UmbralLimitsRedAndTheRestGreyOnTheGlobe) {
    const PathCase& c = kPaths[1];
    BesselElements e;
    ASSERT_EQ(FitBesselElements(&e, c.year, c.month, c.day, c.hour), 1);
    DrawEclipseLimits(e, 240, 240, c.centreLongitudeWest, 0.0, c.centreLatitude, 200.0, c.deltaT);
    const std::uint16_t red = Pixel16(255, 0, 0), grey = Pixel16(203, 203, 203);
    EXPECT_GT(Count(red), 100);
    EXPECT_GT(Count(grey), 100);

    // Every segment's ends were drawn in its colour (a later line may cross an end).
    auto curves = std::make_unique<LimitCurves>();
    const int count =
        ComputeEclipseLimitCurves(e, 240, 240, c.centreLongitudeWest, 0.0, c.centreLatitude, 200.0, c.deltaT, curves.get());
    int matching = 0;
    for (int i = 0; i < count; ++i) {
        const LimitSegment& s = curves->segments[i];
        matching += Pixel(s.x1, s.y1) == (s.colour == kLimitRed ? red : grey);
    }
    EXPECT_GT(matching, count * 9 / 10);

    // Nothing falls outside the globe's disc.
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            if (Pixel(x, y) != 0) {
                ASSERT_LE((x - 240) * (x - 240) + (y - 240) * (y - 240), 202 * 202) << x << "," << y;
            }
}

TEST_F(EclipseLimitsPixels, PartialEclipseDrawsNothing) {
    BesselElements partial;
    ASSERT_EQ(FitBesselElements(&partial, 2007, 3, 19, 3), 1);
    DrawEclipseLimits(partial, 240, 240, 0.0, 0.0, 60.0, 200.0, 65.5);
    EXPECT_EQ(Count(0), kSize * kSize);
}
}  // namespace

namespace {
// The segments' integers, folded: the globe's shared arithmetic must give exactly the
// lines it gave when the eclipse code turned the globe by itself.
std::uint64_t SegmentHash(const LimitCurves& curves) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](int v) {
        h ^= static_cast<std::uint32_t>(v);
        h *= 1099511628211ull;
    };
    for (int i = 0; i < curves.segmentCount; ++i) {
        const LimitSegment& s = curves.segments[i];
        for (int v : {s.x0, s.y0, s.x1, s.y1, s.colour, s.curve}) mix(v);
    }
    return h;
}

TEST(EclipseLimits, SegmentsKeepTheirIntegers) {
    struct Expected {
        int count;
        std::uint64_t hash;
    };
    // The partial phases' limits end where the Sun sets: fewer segments than the curves had
    // when they ran on into the night.
    const Expected expected[] = {{238, 11776909175064265631ull}, {92, 452130528096626742ull}};
    for (int i = 0; i < 2; ++i) {
        const PathCase& c = kPaths[i];
        SCOPED_TRACE(c.name);
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, c.year, c.month, c.day, c.hour), 1);
        auto curves = std::make_unique<LimitCurves>();
        // A turned, tilted and pole-rotated globe, so every entry of the view counts.
        const int count = ComputeEclipseLimitCurves(e, 150, 160, c.centreLongitudeWest + 7.5, 12.25,
                                                    c.centreLatitude - 3.0, 137.0, c.deltaT, curves.get());
        EXPECT_EQ(count, expected[i].count);
        EXPECT_EQ(SegmentHash(*curves), expected[i].hash);
    }
}
}  // namespace
