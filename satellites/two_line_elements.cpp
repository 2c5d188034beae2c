#include "satellites/two_line_elements.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "satellites/satellite_math.h"

namespace {

// The walk both parsers share: digits, the place of the last '.', and the sign. Positions
// outside the 71-byte field or after its first NUL read as blanks.
struct FieldDigits {
    double value = 0.0;      // digits as a whole number
    std::int64_t decimals = 0;
    bool negative = false;
};

template <typename OnDigit>
FieldDigits WalkField(const char* line, int column, int width, bool readPoint, OnDigit onDigit) {
    FieldDigits field;
    if (line == nullptr || width < 1) return field;
    for (std::int64_t i = 0; i < width; ++i) {
        const std::int64_t position = static_cast<std::int64_t>(column) + i;
        if (position < 0) continue;
        if (position >= kSatelliteTextSize) break;
        const char c = line[position];
        if (c == '\0') break;
        if (c >= '0' && c <= '9') {
            onDigit(field, c - '0');
        } else if (c == '.' && readPoint) {
            field.decimals = width - 1 - i;
        } else if (c == '-') {
            field.negative = true;
        }
    }
    return field;
}

// Mantissa (times 1e-5) and exponent of the packed fields of line 1: " 12345-4" is
// 0.12345e-4.
double ParsePackedExponential(const char* line, int column) {
    const double mantissa = ParseTleReal(line, column, 6) * 1e-5;
    const std::int32_t exponent = ParseTleInt(line, column + 6, 2);
    return mantissa * std::pow(10.0, exponent);
}

double YearStart(double year) {
    const double x = year - 1.0;
    const double a = std::floor(0.01 * x);
    const double b = std::floor(a / 4.0);
    return std::floor(365.25 * x) + 428.0 + 2.0 - a + b + 1720994.5;
}

}  // namespace

double ParseTleReal(const char* line, int column, int width) {
    const FieldDigits field = WalkField(line, column, width, true,
                                        [](FieldDigits& f, int d) { f.value = f.value * 10.0 + d; });
    const double value = field.decimals > 0 ? field.value / std::pow(10.0, static_cast<double>(field.decimals))
                                            : field.value;
    return field.negative ? -value : value;
}

std::int32_t ParseTleInt(const char* line, int column, int width) {
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
    const FieldDigits field = WalkField(line, column, width, false, [](FieldDigits& f, int d) {
        f.value = std::fmin(f.value * 10.0 + d, kLimit);
    });
    const auto value = static_cast<std::int32_t>(field.value);
    return field.negative ? -value : value;
}

double JulianDayOfYearStart(int year) { return YearStart(year); }

double TleEpochToJD(double epochField) {
    const double yy = std::floor(0.001 * epochField);
    const double year = yy < 57.0 ? 2000.0 + yy : 1900.0 + yy;
    return YearStart(year) + (epochField - 1000.0 * yy);
}

int CheckTleElements(const TleElements& e) {
    const double read[] = {e.epochField, e.nDot,       e.nDDot,        e.bstar, e.inclination,
                           e.raan,       e.eccentricity, e.argPerigee, e.meanAnomaly, e.meanMotion};
    for (double value : read) {
        if (!std::isfinite(value)) return kElementsInvalid;
    }
    if (!(e.meanMotion > 0.0 && e.meanMotion <= kSatMaxMeanMotionRevPerDay * kSatRevPerDayToRadPerMin)) {
        return kElementsInvalid;
    }
    if (!(e.eccentricity >= 0.0 && e.eccentricity < 1.0)) return kElementsInvalid;
    if (!(e.inclination >= 0.0 && e.inclination <= DegToRad(180.0))) return kElementsInvalid;
    return kElementsValid;
}

int ConvertTleElements(const SatelliteRecord& record, TleElements* elements) {
    TleElements& e = *elements;
    const char* line1 = record.line1;
    const char* line2 = record.line2;

    e.epochField = ParseTleReal(line1, 18, 14);
    e.epochJD = TleEpochToJD(e.epochField);
    e.nDot = ParseTleReal(line1, 33, 10);
    e.nDDot = ParsePackedExponential(line1, 44);
    e.bstar = ParsePackedExponential(line1, 53);

    e.inclination = DegToRad(ParseTleReal(line2, 8, 8));
    e.raan = DegToRad(ParseTleReal(line2, 17, 8));
    e.eccentricity = ParseTleReal(line2, 26, 7) * 1e-7;
    e.argPerigee = DegToRad(ParseTleReal(line2, 34, 8));
    e.meanAnomaly = DegToRad(ParseTleReal(line2, 43, 8));
    e.meanMotion = ParseTleReal(line2, 52, 11) * kSatRevPerDayToRadPerMin;
    e.nDot = e.nDot / (1440.0 * 1440.0) * kSatTwoPi;
    e.nDDot = e.nDDot / (1440.0 * 1440.0 * 1440.0) * kSatTwoPi;

    const double n0 = e.meanMotion;
    const double e0 = e.eccentricity;
    const double k = kSatKe;
    const double cosI = std::cos(e.inclination);
    const double betaCubed = std::pow(1.0 - e0 * e0, 1.5);

    // The period from the Brouwer mean motion.
    {
        const double a = std::pow(k / n0, 2.0 / 3.0);
        const double d = kSatCk2Times1_5 * (3.0 * cosI * cosI - 1.0) / betaCubed;
        const double d1 = d / (a * a);
        const double a0 = a * (1.0 - d1 * (1.0 / 3.0 + d1 * (1.0 + d1 * kSatKozaiFactor)));
        const double d0 = d / (a0 * a0);
        e.period = kSatTwoPi / (n0 / (1.0 + d0));
        e.deepSpace = e.period >= kSatDeepSpacePeriod ? 1 : 0;
    }

    // The constants of the SGP model.
    e.ke = k;
    e.keOverN = e.ke / n0;
    e.a1 = std::pow(e.keOverN, 2.0 / 3.0);
    e.cosIncl = cosI;
    e.sinIncl = std::sin(e.inclination);
    e.delta1 = kSatCk2Times1_5 * (3.0 * cosI * cosI - 1.0) / (betaCubed * e.a1 * e.a1);
    e.a0 = e.a1 * (1.0 - e.delta1 / 3.0 - e.delta1 * e.delta1 - kSatKozaiFactor * Cube(e.delta1));
    e.p0 = (1.0 - e0 * e0) * e.a0;
    e.q0 = (1.0 - e0) * e.a0;
    e.l0 = e.raan + e.argPerigee + e.meanAnomaly;
    e.raanRate = kSatCk2TimesMinus3 * cosI * n0 / (e.p0 * e.p0);
    e.perigeeRate = kSatCk2Times1_5 * (5.0 * cosI * cosI - 1.0) * n0 / (e.p0 * e.p0);

    return CheckTleElements(e);
}
