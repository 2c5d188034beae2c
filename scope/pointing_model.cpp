#include "scope/pointing_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

#include "astro/angle_text.h"
#include "astro/matrices.h"
#include "core/report.h"
#include "core/settings.h"
#include "shell/keep_awake.h"

double pointingTerms[kPointingTermsMax] = {};
std::int32_t pointingTermCount = 7;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kRowEntries = 7;

void (*alignmentErrorSink)(const char* text) = nullptr;

bool ExternalMethod() { return preferences.word[pref::alignMethod] == 1; }

// Copies the first n entries of a full row (entries past 4 only while n is above 4).
void TakeRow(const double (&full)[kRowEntries], double* row, int n) {
    for (int k = 0; k < n; ++k) row[k] = (k < 4 || n > 4) && k < kRowEntries ? full[k] : 0.0;
}

// The two rows of a position by the mount type.
void PositionRows(double x, double y, double* first, double* second, int n) {
    if (IsAltAzMount()) {
        PointingRowAzimuth(x, y, first, n);
        PointingRowAltitude(x, y, second, n);
    } else {
        PointingRowEquatorialRa(x, y, first, n);
        PointingRowEquatorialDec(x, y, second, n);
    }
}

// Where the 1/cos and tan columns stay finite and meaningful: at least 1° from the pole
// (equatorial rows), from the horizon and from the zenith (alt-azimuth rows).
bool UsableForTerms(const AlignStar& r) {
    if (!std::isfinite(r.axis1) || !std::isfinite(r.axis2)) return false;
    if (IsAltAzMount()) return r.axis2 >= 1.0 && r.axis2 <= 89.0;
    return std::fabs(r.axis2) <= 89.0;
}

// What the model with its fitted corrections predicts for a record, in mount degrees: the
// angles a GoTo would send (the first mirrored back on alt-azimuth mounts).
void PredictCorrected(AlignStar& record) {
    AlignStar copy = record;
    SkyToMount(copy);
    double first = copy.modelAxis1;
    double second = copy.modelAxis2;
    const bool altAz = IsAltAzMount();
    if (altAz) first = kTwoPi - first;
    MountErrorCorrect(&second, &first);
    record.correctedAxis1 = altAz ? 360.0 - first * kRadToDeg : first * kRadToDeg;
    record.correctedAxis2 = second * kRadToDeg;
}

}  // namespace

double WrappedAngle(double difference, double turn) {
    difference = std::fmod(difference, turn);
    if (difference > turn / 2) difference -= turn;
    if (difference <= -turn / 2) difference += turn;
    return difference;
}

void PointingRowEquatorialRa(double x, double y, double* row, int n) {
    const double xr = x * kDegToRad;
    const double yr = y * kDegToRad;
    const double t = std::tan(yr);
    const double full[kRowEntries] = {1, 0, 1.0 / std::cos(yr), t, -t * std::cos(xr), t * std::sin(xr), 0};
    TakeRow(full, row, n);
}

void PointingRowEquatorialDec(double x, double, double* row, int n) {
    const double xr = x * kDegToRad;
    const double full[kRowEntries] = {0, 1, 0, 0, std::sin(xr), std::cos(xr), 0};
    TakeRow(full, row, n);
}

void PointingRowAzimuth(double x, double y, double* row, int n) {
    const double xr = x * kDegToRad;
    const double yr = y * kDegToRad;
    const double t = std::tan(yr);
    const double full[kRowEntries] = {1, 0, 1.0 / std::sin(yr), t, 0, std::sin(xr) * t, -std::cos(xr) * t};
    TakeRow(full, row, n);
}

void PointingRowAltitude(double x, double y, double* row, int n) {
    const double xr = x * kDegToRad;
    const double yr = y * kDegToRad;
    const double full[kRowEntries] = {0, 1, 0, 0, std::cos(yr), std::cos(xr), std::sin(xr)};
    TakeRow(full, row, n);
}

void ClearPointingModel() { std::fill(std::begin(pointingTerms), std::end(pointingTerms), 0.0); }

int ApplyPointingModel(double* first, double* second) {
    if (pointingTermCount > kPointingTermsMax) {
        ShowMessage("Too much errors parameters", "");
        return -1;
    }
    const int n = std::max(pointingTermCount, 0);
    double row1[kPointingTermsMax];
    double row2[kPointingTermsMax];
    PositionRows(*first, *second, row1, row2, n);
    double d1 = 0.0;
    double d2 = 0.0;
    for (int k = 0; k < n; ++k) {
        // A term left at 0 adds nothing, even where its column is infinite.
        if (pointingTerms[k] == 0.0) continue;
        d1 += row1[k] * pointingTerms[k] * kRadToDeg;
        d2 += row2[k] * pointingTerms[k] * kRadToDeg;
    }
    *first += d1;
    *second += d2;
    return 0;
}

int FitPointingModel(AlignStar* table, int count) {
    if (count < 1 || !table) return 0;
    ClearPointingModel();
    ShowBusy(1);

    std::vector<const AlignStar*> usable;
    for (int i = 0; i < count; ++i)
        if (UsableForTerms(table[i])) usable.push_back(&table[i]);
    const int left = count - static_cast<int>(usable.size());

    if (count >= 3 && usable.size() >= 3) {
        if (left > 0) {
            char heading[64];
            std::snprintf(heading, sizeof heading, "Stars left out of the fit: %d", left);
            ShowMessage(heading, IsAltAzMount() ? "Within 1 degree of the horizon or the zenith"
                                                : "Within 1 degree of the pole");
        }
        const int stars = static_cast<int>(usable.size());
        const int n = stars == 3 ? 4 : (IsAltAzMount() ? 7 : 6);
        pointingTermCount = n;
        const int m = 2 * stars;
        std::vector<double> a(static_cast<std::size_t>(m * n + 2), 0.0);
        std::vector<double> b(static_cast<std::size_t>(m + 2), 0.0);
        for (int i = 0; i < stars; ++i) {
            const AlignStar& r = *usable[i];
            ShowBusy(1);
            PositionRows(r.axis1, r.axis2, &a[static_cast<std::size_t>(2 * i * n)],
                         &a[static_cast<std::size_t>((2 * i + 1) * n)], n);
            b[static_cast<std::size_t>(2 * i)] = WrappedAngle(r.measuredAxis1 - r.axis1, 360.0) * kDegToRad;
            b[static_cast<std::size_t>(2 * i + 1)] = (r.measuredAxis2 - r.axis2) * kDegToRad;
        }
        int status = 0;
        LeastSquaresSolve(a.data(), b.data(), m, n, &status);
        bool finite = true;
        for (int k = 0; k < n; ++k) finite = finite && std::isfinite(b[static_cast<std::size_t>(k)]);
        if (status != 0 || !finite) {
            HideBusy(1);
            ShowMessage("The pointing model could not be fitted",
                        status != 0 ? "The stars do not determine its terms" : "Its terms are not finite");
            return status != 0 ? status : -1;
        }
        for (int k = 0; k < n; ++k) pointingTerms[k] = b[static_cast<std::size_t>(k)];
    } else {
        // A pure offset of the two axes needs no column that can grow without bound.
        double sum1 = 0.0;
        double sum2 = 0.0;
        for (int i = 0; i < count; ++i) {
            sum1 += WrappedAngle(table[i].measuredAxis1 - table[i].axis1, 360.0);
            sum2 += table[i].measuredAxis2 - table[i].axis2;
        }
        pointingTerms[0] = sum1 / count * kDegToRad;
        pointingTerms[1] = sum2 / count * kDegToRad;
    }

    for (int i = 0; i < count; ++i) {
        ShowBusy(1);
        double first = table[i].axis1;
        double second = table[i].axis2;
        ApplyPointingModel(&first, &second);
        table[i].modelAxis1 = table[i].correctedAxis1 = first;
        table[i].modelAxis2 = table[i].correctedAxis2 = second;
    }
    HideBusy(1);
    return 0;
}

double MeanAlignmentError(const AlignStar* table, int count) {
    if (!table || count < 1) return 0.0;
    const bool altAz = IsAltAzMount();
    const double z = alignmentModel.axisError[2];
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const AlignStar& r = table[i];
        const double model1 = (altAz ? 360.0 - r.modelAxis1 : r.modelAxis1) * kDegToRad;
        const double measured1 = (altAz ? 360.0 - r.measuredAxis1 : r.measuredAxis1) * kDegToRad;
        const double measured2 = r.measuredAxis2 * kDegToRad;
        double a = std::atan2(MountDirectionY(measured2, measured1), MountDirectionX(measured2, measured1));
        if (a < 0.0) a += kTwoPi;
        // Either side of the zero of the first axis is one angle apart, not a turn.
        const double d1 = WrappedAngle(model1 - a, kTwoPi);
        const double d2 = r.modelAxis2 * kDegToRad - std::asin(std::sin(z + measured2));
        sum += std::sqrt(d1 * d1 + d2 * d2);
    }
    return sum / count;
}

double ComputeAlignmentResiduals(const AlignStar* table, int count) {
    if (!table || count < 1) return 0.0;
    double s = 0.0;
    for (int i = 0; i < count; ++i) {
        // Either side of the zero of the first axis is one angle apart, not a turn.
        const double d1 = WrappedAngle(table[i].measuredAxis1 - table[i].modelAxis1, 360.0);
        const double d2 = table[i].measuredAxis2 - table[i].modelAxis2;
        s += d1 * d1 + d2 * d2;
    }
    return std::sqrt(s) / count;
}

void SetAlignmentErrorSink(void (*sink)(const char* text)) { alignmentErrorSink = sink; }

double ShowAlignmentError(const AlignStar* table, int count) {
    const double value =
        ExternalMethod() ? ComputeAlignmentResiduals(table, count) : MeanAlignmentError(table, count) * kRadToDeg;
    char text[32];
    if (count >= 1 && table) DMSToStr(text, sizeof text, value);
    else std::snprintf(text, sizeof text, "No stars");
    if (alignmentErrorSink) alignmentErrorSink(text);
    return value;
}

double EvaluateAlignmentModel(const char* alignTimeText, const AlignStar& first, const AlignStar& second,
                              AlignStar* table, int count) {
    SolveTwoStarMatrix(alignTimeText, first, second);
    for (int i = 0; i < count; ++i) {
        if (i % 5 == 0) ShowBusy(1);
        SkyToMount(table[i]);
        table[i].modelAxis1 *= kRadToDeg;
        table[i].modelAxis2 *= kRadToDeg;
    }
    return MeanAlignmentError(table, count);
}

int FitAlignmentModel(const char* alignTimeText, const AlignStar& first, const AlignStar& second, AlignStar* table,
                      int count) {
    double* const terms = alignmentModel.axisError;
    const auto evaluate = [&] { return EvaluateAlignmentModel(alignTimeText, first, second, table, count); };

    // Which term moves the error most: that one is searched first.
    std::fill(terms, terms + 3, 0.0);
    const double e0 = evaluate();
    double gradient[3];
    for (int k = 0; k < 3; ++k) {
        terms[k] += 1.7453292519943297e-9;
        gradient[k] = (evaluate() - e0) * 1e7;
    }
    int order[3] = {0, 1, 2};
    int largest = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(gradient[k]) > std::fabs(gradient[largest])) largest = k;
    int rest[2];
    for (int k = 0, j = 0; k < 3; ++k)
        if (k != largest) rest[j++] = k;
    if (std::fabs(gradient[rest[0]]) > std::fabs(gradient[rest[1]])) std::swap(rest[0], rest[1]);
    order[0] = largest;
    order[1] = rest[0];
    order[2] = rest[1];

    std::fill(terms, terms + 3, 0.0);
    int evaluations = 5;
    bool converged = false;
    double step = 1.74532925199433;
    // One bracket search of a term around its value; whether the model already fits.
    const auto searchTerm = [&](double& term, double step) {
        ResetIdleTimer();
        double a = term - step;
        double b = term + step;
        term = a;
        double ea = evaluate();
        term = b;
        double eb = evaluate();
        evaluations += 2;
        ShowAlignmentError(table, count);
        const double tolerance = 0.02 * step;
        for (;;) {
            if (std::fabs(b - a) < tolerance) return false;
            if (std::fabs(std::fabs(eb) - std::fabs(ea)) < 1e-8) {
                // Ends that agree hold the best value between them. Only a model that
                // already fits ends the whole search; otherwise the next term goes on.
                term = (a + b) / 2;
                return std::max(std::fabs(ea), std::fabs(eb)) < 1e-8;
            }
            if (std::fabs(eb) > std::fabs(ea)) {
                b = a + (b - a) / 2;
                term = b;
                eb = evaluate();
            } else {
                a = b - (b - a) / 2;
                term = a;
                ea = evaluate();
            }
            ++evaluations;
        }
    };
    // Nine scales of step, from a tenth of a radian down. The terms pull on each other
    // (the two-star solution absorbs part of each), so at every scale the round over the
    // three terms is repeated until none of them moves by more than a tenth of the step.
    constexpr int kRoundsPerScale = 40;
    for (int scale = 0; scale < 9 && !converged; ++scale) {
        step *= 0.1;
        for (int round = 0; round < kRoundsPerScale && !converged; ++round) {
            double moved = 0.0;
            for (int o = 0; o < 3 && !converged; ++o) {
                double& term = terms[order[o]];
                const double before = term;
                converged = searchTerm(term, step);
                moved = std::max(moved, std::fabs(term - before));
            }
            if (moved < 0.1 * step) break;
        }
        if (step < 1e-8) break;
    }

    // The model of the terms as they are left (the last evaluation may have held others).
    SolveTwoStarMatrix(alignTimeText, first, second);
    alignmentModel.axis2Offset = 0.0;
    alignmentModel.axis1Offset = 0.0;
    ClearPointingModel();
    double min1 = 10.0, max1 = -10.0, min2 = 10.0, max2 = -10.0;
    for (int i = 0; i < count; ++i) {
        PredictCorrected(table[i]);
        const double d2 = table[i].correctedAxis2 - table[i].measuredAxis2;
        const double d1 = WrappedAngle(table[i].correctedAxis1 - table[i].measuredAxis1, 360.0);
        min1 = std::min(min1, d1);
        max1 = std::max(max1, d1);
        min2 = std::min(min2, d2);
        max2 = std::max(max2, d2);
    }
    if (count > 0) {
        double offset1 = 0.0, offset2 = 0.0;
        ResidualOffsets(min1, max1, min2, max2, IsAltAzMount(), &offset1, &offset2);
        alignmentModel.axis1Offset = offset1 * kDegToRad;
        alignmentModel.axis2Offset = offset2 * kDegToRad;
    }

    HideBusy(1);
    char text[160];
    int length = std::snprintf(text, sizeof text, "Converge in %d iteration", evaluations);
    for (int k = 0; k < 3; ++k) {
        char angle[32];
        DMSToStr(angle, sizeof angle, terms[k] * kRadToDeg);
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), "\nz%d :%s", k, angle);
    }
    ShowMessage(text, "");
    return evaluations;
}

void ResidualOffsets(double min1, double max1, double min2, double max2, bool altAz, double* axis1Offset,
                     double* axis2Offset) {
    *axis2Offset = max2 > 0.0 ? (min2 + max2) * 0.5 : (max2 - min2) * -0.5;
    // MountErrorCorrect takes the offset off the model's angle, which on alt-azimuth mounts
    // runs against the reading.
    const double centre1 = (min1 + max1) * 0.5;
    *axis1Offset = altAz ? -centre1 : centre1;
}

int ComputePointingCorrection(int fromChart, AlignStar* table, int count, const char* alignTimeText,
                              const AlignStar& first, const AlignStar& second) {
    if (ExternalMethod() || fromChart) {
        if (count < 1 || !table) return 0;
        FitPointingModel(table, count);
        return 1;
    }
    if (count < 4 || !table) return 0;
    FitAlignmentModel(alignTimeText, first, second, table, count);
    for (int i = 0; i < count; ++i) PredictCorrected(table[i]);
    return 1;
}
