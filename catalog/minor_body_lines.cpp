#include "catalog/minor_body_lines.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/calendar.h"

namespace {

constexpr double kGaussK = 0.01720209895;
constexpr double kRadToDeg = 57.29577951308232;

std::string_view Columns(std::string_view line, std::size_t first, std::size_t last) {
    if (line.size() < first) return {};
    return line.substr(first - 1, std::min(last, line.size()) - (first - 1));
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// A number filling its columns (blanks around it); false for anything else.
bool Number(std::string_view line, std::size_t first, std::size_t last, double* out) {
    const std::string_view s = Trim(Columns(line, first, last));
    if (s.empty()) return false;
    const std::string text(s);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// A number that may be blank (then `fallback`).
bool OptionalNumber(std::string_view line, std::size_t first, std::size_t last, double fallback, double* out) {
    if (Trim(Columns(line, first, last)).empty()) {
        *out = fallback;
        return true;
    }
    return Number(line, first, last, out);
}

void SetName(CometRecord* out, std::string_view name) {
    name = Trim(name);
    const std::size_t n = std::min(name.size(), sizeof out->name - 1);
    name.copy(out->name, n);
    out->name[n] = '\0';
}

int PackedDigit(char c) {
    if (c >= '1' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'V') return c - 'A' + 10;
    return -1;
}

}  // namespace

double UnpackMpcDate(std::string_view packed) {
    if (packed.size() != 5) return 0.0;
    const char century = packed[0];
    if (century < 'I' || century > 'L' || !std::isdigit(static_cast<unsigned char>(packed[1])) ||
        !std::isdigit(static_cast<unsigned char>(packed[2])))
        return 0.0;
    const int year = (century - 'I' + 18) * 100 + (packed[1] - '0') * 10 + (packed[2] - '0');
    const int month = PackedDigit(packed[3]), day = PackedDigit(packed[4]);
    if (month < 1 || month > 12 || day < 1 || day > 31) return 0.0;
    return DateTimeToJD(year, month, day, 0, 0, 0, 0);
}

bool ParseCometLine(std::string_view line, CometRecord* out) {
    if (line.size() < 91) return false;
    double year = 0, month = 0, day = 0, q = 0, e = 0, w = 0, node = 0, incl = 0, h = 0, g = 0;
    if (!Number(line, 15, 18, &year) || !Number(line, 20, 21, &month) || !Number(line, 23, 29, &day) ||
        !Number(line, 31, 39, &q) || !Number(line, 42, 49, &e) || !Number(line, 52, 59, &w) ||
        !Number(line, 62, 69, &node) || !Number(line, 72, 79, &incl) || !OptionalNumber(line, 92, 95, 0.0, &h) ||
        !OptionalNumber(line, 97, 100, 0.0, &g))
        return false;
    if (year != std::floor(year) || month != std::floor(month) || month < 1 || month > 12) return false;
    CometRecord r;
    r.kind = 13;
    const std::string_view name = Trim(Columns(line, 103, 158));
    SetName(&r, name.empty() ? Columns(line, 1, 12) : name);
    if (r.name[0] == '\0') return false;
    r.year = static_cast<std::int16_t>(year);
    r.month = static_cast<std::int16_t>(month);
    r.perihelionDay = static_cast<float>(day);
    r.perihelionDistance = static_cast<float>(q);
    r.eccentricity = static_cast<float>(e);
    r.argPerihelion = static_cast<float>(w);
    r.ascendingNode = static_cast<float>(node);
    r.inclination = static_cast<float>(incl);
    r.magnitude1 = static_cast<float>(h);
    r.magnitude2 = static_cast<float>(2.5 * g);
    double epoch = 0, em = 0, ed = 0;
    if (Number(line, 82, 85, &epoch) && Number(line, 86, 87, &em) && Number(line, 88, 89, &ed))
        r.epochJd = static_cast<float>(DateTimeToJD(static_cast<int>(epoch), static_cast<int>(em), static_cast<int>(ed),
                                                    0, 0, 0, 0));
    else
        r.epochJd = static_cast<float>(DateTimeToJD(r.year, r.month, 0, 0, 0, 0, 0) + day);
    *out = r;
    return true;
}

bool ParseMpcorbLine(std::string_view line, CometRecord* out) {
    if (line.size() < 103) return false;
    const double epoch = UnpackMpcDate(Trim(Columns(line, 21, 25)));
    double h = 0, g = 0.15, m = 0, w = 0, node = 0, incl = 0, e = 0, a = 0;
    if (epoch == 0.0 || !OptionalNumber(line, 9, 13, 0.0, &h) || !OptionalNumber(line, 15, 19, 0.15, &g) ||
        !Number(line, 27, 35, &m) || !Number(line, 38, 46, &w) || !Number(line, 49, 57, &node) ||
        !Number(line, 60, 68, &incl) || !Number(line, 71, 79, &e) || !Number(line, 93, 103, &a))
        return false;
    if (!(a > 0.0) || !(e >= 0.0 && e < 1.0)) return false;
    CometRecord r;
    r.kind = 18;
    const std::string_view name = Trim(Columns(line, 167, 194));
    SetName(&r, name.empty() ? Columns(line, 1, 7) : name);
    if (r.name[0] == '\0') return false;
    // The perihelion passage nearest the epoch: back by M / n, or on by (360 - M) / n.
    const double n = kGaussK / (a * std::sqrt(a)) * kRadToDeg;
    const double mean = std::fmod(std::fmod(m, 360.0) + 360.0, 360.0);
    const double perihelion = mean <= 180.0 ? epoch - mean / n : epoch + (360.0 - mean) / n;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    JDToDate(perihelion, &year, &month, &day, &hour, &minute, &second);
    const double dayStart = DateTimeToJD(year, month, day, 0, 0, 0, 0);
    r.year = static_cast<std::int16_t>(year);
    r.month = static_cast<std::int16_t>(month);
    r.perihelionDay = static_cast<float>(day + (perihelion - dayStart));
    r.epochJd = static_cast<float>(epoch);
    r.meanAnomaly = static_cast<float>(m);
    r.perihelionDistance = static_cast<float>(a * (1.0 - e));
    r.eccentricity = static_cast<float>(e);
    r.argPerihelion = static_cast<float>(w);
    r.ascendingNode = static_cast<float>(node);
    r.inclination = static_cast<float>(incl);
    r.magnitude1 = static_cast<float>(h);
    r.magnitude2 = static_cast<float>(g);
    *out = r;
    return true;
}

int ParseMinorBodyLine(std::string_view line, CometRecord* out) {
    if (ParseMpcorbLine(line, out)) return 2;
    if (ParseCometLine(line, out)) return 1;
    return 0;
}
