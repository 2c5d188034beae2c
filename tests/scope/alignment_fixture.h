#pragma once
// Synthetic mounts for the alignment tests: a known rotation between the sky and the
// mount, known axis-error terms, and the readings such a mount gives for a star.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "core/settings.h"
#include "scope/alignment_model.h"
#include "scope/pointing_model.h"
#include "support/recorded_reports.h"

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kArcSecond = 1.0 / 3600.0;  // degrees

// r = a · b for 3 × 3 matrices.
inline void Multiply3(const double a[9], const double b[9], double r[9]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            r[i * 3 + j] = 0;
            for (int k = 0; k < 3; ++k) r[i * 3 + j] += a[i * 3 + k] * b[k * 3 + j];
        }
}

// A rotation: about z by a, then about y by b, then about z by c (radians).
inline void MakeRotation(double a, double b, double c, double r[9]) {
    const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
                 sc = std::sin(c);
    const double za[9] = {ca, -sa, 0, sa, ca, 0, 0, 0, 1};
    const double yb[9] = {cb, 0, sb, 0, 1, 0, -sb, 0, cb};
    const double zc[9] = {cc, -sc, 0, sc, cc, 0, 0, 0, 1};
    double t[9];
    Multiply3(yb, za, t);
    Multiply3(zc, t, r);
}

// The mount and the model state of one test, put back after it.
class AlignmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = preferences;
        alignmentModel = AlignmentModel{};
        SetPlatformMode(0);
        pointingTermCount = 7;
        ClearPointingModel();
        preferences.word[pref::scopeDrive] = 5;
        preferences.word[pref::mountType] = 0;
        preferences.word[pref::alignMethod] = 0;
        preferences.word[pref::degreeFormat] = 0;
        preferences.word[pref::hourFormat] = 0;
        ClearRecordedReports();
    }
    void TearDown() override {
        preferences = saved_;
        alignmentModel = AlignmentModel{};
        SetPlatformMode(0);
        pointingTermCount = 7;
        ClearPointingModel();
    }

    // The true mount: rotation, terms c0, c1, z (radians), the alignment time (degrees).
    double rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double trueTerms[3] = {0, 0, 0};
    double referenceDeg = 300.0;  // 20:00

    bool AltAz() const { return preferences.word[pref::mountType] != 0; }
    bool TimeDependent() const { return AltAz() || IsEncoderDriveCode(preferences.word[pref::scopeDrive]); }

    // The reading (degrees, as the mount shows it) of a star at a clock time (degrees).
    void Reading(double raDeg, double decDeg, double timeDeg, double* axis1, double* axis2) const {
        double theta = raDeg * kPi / 180;
        if (TimeDependent()) {
            double dt = (timeDeg - referenceDeg) * kPi / 180;
            if (dt < 0) dt += 2 * kPi;
            theta -= kSiderealRate * dt;
        }
        const double d = decDeg * kPi / 180;
        const double s[3] = {std::cos(theta) * std::cos(d), std::sin(theta) * std::cos(d), std::sin(d)};
        double m[3];
        for (int i = 0; i < 3; ++i) m[i] = rotation[i * 3] * s[0] + rotation[i * 3 + 1] * s[1] + rotation[i * 3 + 2] * s[2];
        // The axis angles whose direction with the terms is m: Newton from the ideal angles.
        double a = std::atan2(m[1], m[0]);
        double e = std::asin(m[2]) - trueTerms[2];
        const auto direction = [&](double aa, double ee, double out[3]) {
            const double c0 = trueTerms[0], c1 = trueTerms[1], ez = ee + trueTerms[2];
            out[0] = std::cos(aa) * std::cos(ez) + c0 * std::sin(aa) * std::sin(ez) - c1 * std::sin(aa);
            out[1] = std::sin(aa) * std::cos(ez) - c0 * std::cos(aa) * std::sin(ez) + c1 * std::cos(aa);
            out[2] = std::sin(ez);
        };
        for (int iteration = 0; iteration < 20; ++iteration) {
            double v[3];
            direction(a, e, v);
            const double da = std::atan2(m[1], m[0]) - std::atan2(v[1], v[0]);
            a += std::remainder(da, 2 * kPi);
            e += std::asin(m[2]) - std::asin(v[2]);
        }
        a = std::fmod(a + 4 * kPi, 2 * kPi);
        *axis1 = AltAz() ? 360.0 - a * 180 / kPi : a * 180 / kPi;
        *axis2 = e * 180 / kPi;
    }

    AlignStar Star(double raDeg, double decDeg, double timeDeg) const {
        AlignStar s;
        s.time = timeDeg;
        s.ra = raDeg;
        s.dec = decDeg;
        Reading(raDeg, decDeg, timeDeg, &s.axis1, &s.axis2);
        s.measuredAxis1 = s.axis1;
        s.measuredAxis2 = s.axis2;
        return s;
    }

private:
    Preferences saved_{};
};
