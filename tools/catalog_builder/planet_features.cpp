#include "tools/catalog_builder/planet_features.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <map>
#include <sstream>

#include "core/calendar.h"
#include "tools/catalog_builder/names.h"

namespace catalog_builder {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMoonRadiusKm = 1737.4;
constexpr double kMoonPictureHalf = 480.0;
constexpr int kMarsMapWidth = 640;
constexpr int kMarsMapHeight = 320;
constexpr double kGaussDegreesPerDay = 0.9856076686;
constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();

double Rad(double d) { return d * kPi / 180.0; }

// −180 to 180 (180 itself stays 180).
double SignedLongitude(double east) {
    double l = std::fmod(east, 360.0);
    if (l > 180.0) l -= 360.0;
    if (l < -180.0) l += 360.0;
    return l;
}

bool ParseDouble(std::string_view s, double& out) {
    const std::string text = Trim(s);
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(out);
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) break;
        start = tab + 1;
    }
    return fields;
}

template <typename F>
void ForEachLine(const std::string& text, F f) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        f(line);
        if (end == text.size()) break;
        start = end + 1;
    }
}

// The name of a `_("name","type")` field (or a plain name).
bool GazetteerName(std::string_view field, std::string& name) {
    const std::size_t open = field.find("_(\"");
    if (open == std::string_view::npos) {
        name = Trim(field);
        return !name.empty();
    }
    const std::size_t close = field.find('"', open + 3);
    if (close == std::string_view::npos) return false;
    name = std::string(field.substr(open + 3, close - open - 3));
    return !name.empty();
}

// A name in the program's text, cut to `size` bytes.
template <std::size_t N>
void PutName(char (&dest)[N], const std::string& utf8, std::size_t size) {
    const std::string text = ToProgramText(utf8).substr(0, size);
    std::snprintf(dest, N, "%s", text.c_str());
}

bool ByteLess(const char* a, const char* b) {
    return std::lexicographical_compare(a, a + std::strlen(a), b, b + std::strlen(b),
                                        [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
}

}  // namespace

bool ReadGazetteer(const std::string& text, std::vector<GazetteerFeature>& out, std::string& error, int* skipped) {
    int bad = 0;
    ForEachLine(text, [&](std::string_view line) {
        if (line.empty() || line[0] == '#') return;
        const auto f = SplitTabs(line);
        GazetteerFeature g;
        if (f.size() < 7 || !GazetteerName(f[2], g.name) || !ParseDouble(f[4], g.latitude) ||
            !ParseDouble(f[5], g.longitude) || !ParseDouble(f[6], g.sizeKm) || std::fabs(g.latitude) > 90.0) {
            ++bad;
            return;
        }
        g.body = Trim(f[0]);
        g.code = Trim(f[3]);
        out.push_back(std::move(g));
    });
    if (skipped) *skipped += bad;
    if (out.empty()) {
        error = "no features";
        return false;
    }
    return true;
}

bool ReadLandingMarkers(const std::string& text, std::vector<LandingSite>& out, std::string& error, int* skipped) {
    bool inSection = false;
    int bad = 0;
    ForEachLine(text, [&](std::string_view line) {
        const std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed[0] == '#') {
            inSection = trimmed.find("Landing Sites") != std::string::npos;
            return;
        }
        if (!inSection) return;
        if (trimmed.empty()) {
            inSection = false;
            return;
        }
        const std::size_t q1 = trimmed.find('"');
        const std::size_t q2 = q1 == std::string::npos ? q1 : trimmed.find('"', q1 + 1);
        std::istringstream numbers(trimmed.substr(0, q1 == std::string::npos ? trimmed.size() : q1));
        double latitude = 0.0, westLongitude = 0.0;
        if (q2 == std::string::npos || !(numbers >> latitude >> westLongitude) || std::fabs(latitude) > 90.0) {
            ++bad;
            return;
        }
        out.push_back({trimmed.substr(q1 + 1, q2 - q1 - 1), latitude, SignedLongitude(-westLongitude)});
    });
    if (skipped) *skipped += bad;
    if (out.empty()) {
        error = "no landing sites";
        return false;
    }
    return true;
}

bool ReadMinorBodies(const std::string& text, std::vector<MinorBody>& out, std::string& error, int* skipped) {
    std::map<std::string, std::string> keys;
    bool open = false;
    int bad = 0;
    auto value = [&](const char* key) {
        double v = kNoValue;
        auto it = keys.find(key);
        if (it != keys.end() && !ParseDouble(it->second, v)) v = kNoValue;
        return v;
    };
    auto finish = [&] {
        if (!open) return;
        open = false;
        MinorBody b{};
        b.name = keys.count("name") ? keys["name"] : "";
        b.type = keys.count("type") ? keys["type"] : "";
        b.absoluteMagnitude = value("absolute_magnitude");
        b.slope = value("slope_parameter");
        b.epoch = value("orbit_Epoch");
        b.meanAnomaly = value("orbit_MeanAnomaly");
        b.semiMajorAxis = value("orbit_SemiMajorAxis");
        b.eccentricity = value("orbit_Eccentricity");
        b.argPerihelion = value("orbit_ArgOfPericenter");
        b.ascendingNode = value("orbit_AscendingNode");
        b.inclination = value("orbit_Inclination");
        b.perihelionDistance = value("orbit_PericenterDistance");
        b.perihelionTime = value("orbit_TimeAtPericenter");
        if (b.name.empty() || std::isnan(b.eccentricity) || std::isnan(b.argPerihelion) ||
            std::isnan(b.ascendingNode) || std::isnan(b.inclination)) {
            ++bad;
            return;
        }
        out.push_back(std::move(b));
    };
    ForEachLine(text, [&](std::string_view line) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == ';') return;
        if (trimmed[0] == '[') {
            finish();
            keys.clear();
            open = true;
            return;
        }
        const std::size_t eq = trimmed.find('=');
        if (!open || eq == std::string::npos) return;
        std::string v = Trim(trimmed.substr(eq + 1));
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        keys[Trim(trimmed.substr(0, eq))] = v;
    });
    finish();
    if (skipped) *skipped += bad;
    if (out.empty()) {
        error = "no bodies";
        return false;
    }
    return true;
}

std::vector<LandingSite> LaterLandingSites() {
    return {{"Opportunity", -1.9462, 354.4734},   {"Phoenix", 68.2188, 234.2508},      {"Curiosity", -4.5895, 137.4417},
            {"InSight", 4.502, 135.623},          {"Perseverance", 18.4447, 77.4508}, {"Zhurong", 25.066, 109.925}};
}

int MoonFeatureKind(std::string_view code) {
    static const std::map<std::string_view, int> kinds = {{"MO", 1}, {"AA", 2},  {"CA", 6},
                                                          {"OC", 10}, {"LC", 11}, {"ME", 12}};
    auto it = kinds.find(code);
    return it == kinds.end() ? -1 : it->second;
}

int MarsFeatureKind(std::string_view code) {
    static const std::map<std::string_view, int> kinds = {{"CB", 0}, {"MO", 1}, {"AA", 2}, {"PL", 3}, {"PM", 4},
                                                          {"CA", 6}, {"CM", 7}, {"RU", 8}, {"TA", 9}};
    auto it = kinds.find(code);
    return it == kinds.end() ? -1 : it->second;
}

void MoonPicturePoint(double longitudeEast, double latitude, int* column, int* row) {
    *column = static_cast<int>(std::lround(kMoonPictureHalf * (1.0 + std::sin(Rad(longitudeEast)) * std::cos(Rad(latitude)))));
    *row = static_cast<int>(std::lround(kMoonPictureHalf * (1.0 - std::sin(Rad(latitude)))));
}

void MarsMapPoint(double longitudeEast, double latitude, int* x, int* y) {
    const double l = SignedLongitude(longitudeEast);
    *x = std::clamp(static_cast<int>((l + 180.0) / 360.0 * kMarsMapWidth), 0, kMarsMapWidth - 1);
    *y = std::clamp(static_cast<int>((90.0 - latitude) / 180.0 * kMarsMapHeight), 0, kMarsMapHeight - 1);
}

std::vector<MoonFeatureRecord> BuildMoonFeatures(const std::vector<GazetteerFeature>& gazetteer) {
    std::vector<const GazetteerFeature*> kept, craters;
    for (const GazetteerFeature& g : gazetteer) {
        if (g.body != "Moon") continue;
        const int kind = MoonFeatureKind(g.code);
        // The near side only: the picture shows nothing else.
        if (kind < 0 || std::cos(Rad(g.longitude)) * std::cos(Rad(g.latitude)) <= 0.0) continue;
        (kind == 2 ? craters : kept).push_back(&g);
    }
    std::stable_sort(craters.begin(), craters.end(),
                     [](const GazetteerFeature* a, const GazetteerFeature* b) { return a->sizeKm > b->sizeKm; });
    for (const GazetteerFeature* c : craters) {
        if (kept.size() >= static_cast<std::size_t>(kMoonFeatureLimit)) break;
        kept.push_back(c);
    }
    if (kept.size() > static_cast<std::size_t>(kMoonFeatureLimit)) kept.resize(kMoonFeatureLimit);
    std::vector<MoonFeatureRecord> out;
    for (const GazetteerFeature* g : kept) {
        MoonFeatureRecord r;
        r.kind = static_cast<std::int16_t>(MoonFeatureKind(g->code));
        const double longitude = SignedLongitude(g->longitude);
        int column = 0, row = 0;
        MoonPicturePoint(longitude, g->latitude, &column, &row);
        r.column = static_cast<std::int16_t>(column);
        r.row = static_cast<std::int16_t>(row);
        r.radius = static_cast<std::int16_t>(std::lround(g->sizeKm / 2.0 / kMoonRadiusKm * kMoonPictureHalf));
        // The program's Moon code counts latitude south positive.
        r.latitude = static_cast<float>(-g->latitude);
        r.longitude = static_cast<float>(longitude);
        r.diameter = static_cast<float>(g->sizeKm);
        PutName(r.name, g->name, 23);
        out.push_back(r);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const MoonFeatureRecord& a, const MoonFeatureRecord& b) { return ByteLess(a.name, b.name); });
    return out;
}

std::vector<MarsFeatureRecord> BuildMarsFeatures(const std::vector<GazetteerFeature>& gazetteer,
                                                 const std::vector<LandingSite>& landers) {
    std::vector<MarsFeatureRecord> out;
    auto add = [&](const std::string& name, int kind, double latitude, double longitudeEast, double sizeKm) {
        MarsFeatureRecord r;
        PutName(r.name, name, 19);
        r.kind = static_cast<std::int16_t>(kind);
        int x = 0, y = 0;
        MarsMapPoint(longitudeEast, latitude, &x, &y);
        r.x = static_cast<std::int16_t>(x);
        r.y = static_cast<std::int16_t>(y);
        r.sizeKm = static_cast<std::int16_t>(std::clamp(std::lround(sizeKm), 0L, 32767L));
        r.latitude = static_cast<float>(latitude);
        r.longitude = static_cast<float>(SignedLongitude(longitudeEast));
        out.push_back(r);
    };
    for (const GazetteerFeature& g : gazetteer) {
        if (g.body != "Mars") continue;
        const int kind = MarsFeatureKind(g.code);
        if (kind < 0 || (kind == 2 && g.sizeKm < kMarsSmallestCrater)) continue;
        add(g.name, kind, g.latitude, g.longitude, g.sizeKm);
    }
    for (const LandingSite& l : landers) add(l.name, kMarsLandingKind, l.latitude, l.longitude, 0.0);
    std::stable_sort(out.begin(), out.end(), [](const MarsFeatureRecord& a, const MarsFeatureRecord& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        return ByteLess(a.name, b.name);
    });
    return out;
}

double PerihelionJdOfMeanAnomaly(double epochJd, double meanAnomalyDeg, double semiMajorAxis) {
    const double n = kGaussDegreesPerDay / std::pow(semiMajorAxis, 1.5);
    double m = std::fmod(meanAnomalyDeg, 360.0);
    if (m < 0.0) m += 360.0;
    if (m > 180.0) m -= 360.0;  // the coming perihelion is the nearer one
    return epochJd - m / n;
}

std::vector<CometRecord> BuildCometRecords(const std::vector<MinorBody>& bodies, int* skipped) {
    std::vector<CometRecord> out;
    std::set<std::string> seen;
    int bad = 0;
    for (const MinorBody& b : bodies) {
        // A body listed in both files keeps its first elements.
        if (!seen.insert(b.name).second) {
            ++bad;
            continue;
        }
        CometRecord r;
        double perihelionJd = kNoValue;
        const bool elliptic = !std::isnan(b.meanAnomaly) && !std::isnan(b.semiMajorAxis) && !std::isnan(b.epoch) &&
                              b.semiMajorAxis > 0.0 && b.eccentricity < 1.0;
        const bool cometary = !std::isnan(b.perihelionDistance) && !std::isnan(b.perihelionTime);
        if (b.type == "artificial" || (!elliptic && !cometary)) {
            ++bad;
            continue;
        }
        if (b.type == "comet" || !elliptic) {
            r.kind = kCometKind;
            perihelionJd = b.perihelionTime;
            r.perihelionDistance = static_cast<float>(b.perihelionDistance);
            r.epochJd = static_cast<float>(std::isnan(b.epoch) ? b.perihelionTime : b.epoch);
            r.magnitude1 = static_cast<float>(std::isnan(b.absoluteMagnitude) ? 10.0 : b.absoluteMagnitude);
            // The list's slope n multiplies 2.5 log10 r; without one, the usual n = 4.
            r.magnitude2 = static_cast<float>(2.5 * (std::isnan(b.slope) ? 4.0 : b.slope));
        } else {
            r.kind = kMinorPlanetKind;
            perihelionJd = PerihelionJdOfMeanAnomaly(b.epoch, b.meanAnomaly, b.semiMajorAxis);
            r.perihelionDistance = static_cast<float>(b.semiMajorAxis * (1.0 - b.eccentricity));
            r.epochJd = static_cast<float>(b.epoch);
            r.meanAnomaly = static_cast<float>(b.meanAnomaly);
            r.magnitude1 = static_cast<float>(std::isnan(b.absoluteMagnitude) ? 15.0 : b.absoluteMagnitude);
            r.magnitude2 = static_cast<float>(std::isnan(b.slope) ? 0.15 : b.slope);
        }
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
        const double midnight = std::floor(perihelionJd - 0.5) + 0.5;
        JDToDate(midnight, &year, &month, &day, &hour, &minute, &second);
        r.year = static_cast<std::int16_t>(year);
        r.month = static_cast<std::int16_t>(month);
        r.perihelionDay = static_cast<float>(day + (perihelionJd - midnight));
        r.eccentricity = static_cast<float>(b.eccentricity);
        r.argPerihelion = static_cast<float>(b.argPerihelion);
        r.ascendingNode = static_cast<float>(b.ascendingNode);
        r.inclination = static_cast<float>(b.inclination);
        PutName(r.name, b.name, 43);
        if (r.name[0] == '\0') {
            ++bad;
            continue;
        }
        out.push_back(r);
    }
    std::stable_sort(out.begin(), out.end(), [](const CometRecord& a, const CometRecord& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        return ByteLess(a.name, b.name);
    });
    if (out.size() > kMaxCometRecords) {
        bad += static_cast<int>(out.size() - kMaxCometRecords);
        out.resize(kMaxCometRecords);
    }
    if (skipped) *skipped += bad;
    return out;
}

}  // namespace catalog_builder
