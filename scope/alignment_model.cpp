#include "scope/alignment_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "astro/angle_text.h"
#include "astro/matrices.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/encoder_boxes.h"
#include "shell/utilities.h"

AlignmentModel alignmentModel;
double siderealRateFactor = kSiderealRate;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// The sky turns under mounts that do not report right ascension themselves.
bool TimeDependentFrame() { return IsAltAzMount() || IsEncoderDrive(); }

// The first axis reading (degrees) as the model's angle (radians).
double FirstAxisAngle(double axis1Deg) { return (IsAltAzMount() ? 360.0 - axis1Deg : axis1Deg) * kDegToRad; }

// A star time (degrees) measured from the alignment, never negative.
double SinceReference(double timeDeg) {
    double dt = timeDeg * kDegToRad - alignmentModel.referenceTime;
    if (dt < 0.0) dt += kTwoPi;
    return dt;
}

void MountVector(double first, double second, double out[3]) {
    out[0] = MountDirectionX(second, first);
    out[1] = MountDirectionY(second, first);
    out[2] = std::sin(second + alignmentModel.axisError[2]);
}

void SkyVector(double theta, double dec, double out[3]) {
    out[0] = std::cos(theta) * std::cos(dec);
    out[1] = std::sin(theta) * std::cos(dec);
    out[2] = std::sin(dec);
}

void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

double Length(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

// The sky angle of a star in the model's frame.
double SkyAngle(double raDeg, double timeDeg) {
    double theta = raDeg * kDegToRad;
    if (TimeDependentFrame())
        theta -= siderealRateFactor * SinceReference(timeDeg) + alignmentModel.platformAngle;
    return theta;
}

}  // namespace

bool IsAltAzMount() { return preferences.word[pref::mountType] != 0; }

double MountDirectionX(double second, double first) {
    const double c0 = alignmentModel.axisError[0];
    const double c1 = alignmentModel.axisError[1];
    const double e = second + alignmentModel.axisError[2];
    return std::cos(first) * std::cos(e) + c0 * std::sin(first) * std::sin(e) - c1 * std::sin(first);
}

double MountDirectionY(double second, double first) {
    const double c0 = alignmentModel.axisError[0];
    const double c1 = alignmentModel.axisError[1];
    const double e = second + alignmentModel.axisError[2];
    return std::sin(first) * std::cos(e) - c0 * std::cos(first) * std::sin(e) + c1 * std::cos(first);
}

void NormalizeVector3(double v[3]) {
    const double length = Length(v);
    if (length > 1e-8)
        for (int i = 0; i < 3; ++i) v[i] /= length;
}

int SolveTwoStarMatrix(const char* timeText, const AlignStar& first, const AlignStar& second) {
    AlignmentModel& m = alignmentModel;
    m.aligned = 0;
    m.referenceTime = HmsStrToDeg(timeText) * kDegToRad;

    double mount[3][3];
    MountVector(FirstAxisAngle(first.axis1), first.axis2 * kDegToRad, mount[0]);
    MountVector(FirstAxisAngle(second.axis1), second.axis2 * kDegToRad, mount[1]);
    Cross(mount[0], mount[1], mount[2]);
    if (Length(mount[2]) < 1e-7) {
        ShowMessage("Please, fill all values", "");
        return 0;
    }
    NormalizeVector3(mount[2]);

    double sky[3][3];
    SkyVector(SkyAngle(first.ra, first.time), first.dec * kDegToRad, sky[0]);
    SkyVector(SkyAngle(second.ra, second.time), second.dec * kDegToRad, sky[1]);
    Cross(sky[0], sky[1], sky[2]);
    if (Length(sky[2]) < 1e-7) return 0;
    NormalizeVector3(sky[2]);

    // The vectors are the columns of M and S.
    double M[9];
    double S[9];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            M[row * 3 + column] = mount[column][row];
            S[row * 3 + column] = sky[column][row];
        }
    double inverse[9];
    if (!Invert3x3(S, inverse)) return 0;
    MultiplyMatrix3(M, inverse, m.transform);
    m.aligned = 1;
    return 1;
}

void SkyToMount(AlignStar& record) {
    if (!alignmentModel.aligned) return;
    double sky[3];
    SkyVector(SkyAngle(record.ra, record.time), record.dec * kDegToRad, sky);
    double mount[3];
    MatrixTimesVector3(alignmentModel.transform, sky, mount);
    if (std::fabs(mount[2]) > 1.0) NormalizeVector3(mount);
    double first = std::atan2(mount[1], mount[0]);
    if (first < 0.0) first += kTwoPi;
    if (IsAltAzMount()) first = kTwoPi - first;
    record.modelAxis1 = first;
    record.modelAxis2 = std::asin(mount[2]);
}

int MountToSky(double timeDeg, double axis1Deg, double axis2Deg, double* raHours, double* decDeg) {
    if (!alignmentModel.aligned) return 0;
    double mount[3];
    MountVector(FirstAxisAngle(axis1Deg), axis2Deg * kDegToRad, mount);
    double inverse[9];
    if (!Invert3x3(alignmentModel.transform, inverse)) return 0;
    double sky[3];
    MatrixTimesVector3(inverse, mount, sky);
    // A mount vector off the unit sphere (axis-error terms) must not leave asin's domain.
    const double z = std::clamp(sky[2] / std::max(Length(sky), 1e-300), -1.0, 1.0);
    *decDeg = std::asin(z) * kRadToDeg;
    double theta = std::atan2(sky[1], sky[0]);
    if (TimeDependentFrame())
        theta = siderealRateFactor * SinceReference(timeDeg) + theta + alignmentModel.platformAngle;
    // The time term can carry the angle past a full turn either way.
    theta = std::fmod(theta, kTwoPi);
    if (theta < 0.0) theta += kTwoPi;
    double hours = theta * kRadToDeg * 0.06666666666666667;
    if (hours >= 24.0) hours -= 24.0;
    *raHours = hours;
    return 1;
}

void MountErrorCorrect(double* second, double* first) {
    const AlignmentModel& m = alignmentModel;
    const double c0 = m.axisError[0];
    const double c1 = m.axisError[1];
    const double a = *first;
    const double e = *second;
    const double x = std::cos(a) * std::cos(e) + c1 * std::sin(a) - c0 * std::sin(a) * std::sin(e);
    const double y = std::sin(a) * std::cos(e) - c1 * std::cos(a) + c0 * std::cos(a) * std::sin(e);
    double corrected = std::atan2(y, x);
    if (corrected < 0.0) corrected += kTwoPi;
    *first = corrected * kRadToDeg * kDegToRad - m.axis1Offset;
    *second = (e - m.axisError[2]) * kRadToDeg * kDegToRad - m.axis2Offset;
}

int IsAligned() { return alignmentModel.aligned != 0 ? 1 : 0; }
void ClearAlignment() { alignmentModel.aligned = 0; }

int GetPlatformMode() { return alignmentModel.platformMode; }

void SetPlatformMode(int on) {
    if (on == 0) {
        siderealRateFactor = kSiderealRate;
        alignmentModel.platformAngle = 0.0;
        alignmentModel.platformMode = 0;
    } else {
        siderealRateFactor = 0.0;
        alignmentModel.platformMode = on;
    }
}

void ResetPlatform() {
    alignmentModel.platformAngle = 0.0;
    if (alignmentModel.platformMode == 0) {
        ShowMessage("ResetPlatform", "PlatFormMode is not activated.");
        return;
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    GetLocalDateTime(nullptr, nullptr, nullptr, &hour, &minute, &second);
    const double clock = second * 0.0002777777777777778 + minute * 0.016666666666666666 + hour;
    alignmentModel.platformAngle = (clock * 0.26179938779914946 - alignmentModel.referenceTime) * kSiderealRate;
}

void FillStarRecord(AlignStar* star, const char* timeText, const char* raText, const char* decText,
                    const char* axis1Text, const char* axis2Text, const char* nameText) {
    if (!star || !timeText || !raText || !decText || !axis1Text || !axis2Text) return;
    if (*timeText) star->time = HmsStrToDeg(timeText);
    if (*raText) star->ra = HmsStrToDeg(raText);
    if (*decText) star->dec = DmsStrToDeg(decText);
    if (*axis1Text) star->axis1 = DmsStrToDeg(axis1Text);
    if (*axis2Text) star->axis2 = DmsStrToDeg(axis2Text);
    if (nameText && *nameText) {
        std::strncpy(star->name, nameText, sizeof star->name - 1);
        star->name[sizeof star->name - 1] = '\0';
    }
}
