#include "tools/catalog_builder/towns.h"

#include <cctype>
#include <nlohmann/json.hpp>

#include "tools/catalog_builder/names.h"

namespace catalog_builder {

bool ReadTowns(std::string_view json, std::vector<Town>& out, std::string& error) {
    nlohmann::json doc;
    try {
        doc = nlohmann::json::parse(json.begin(), json.end());
    } catch (const nlohmann::json::parse_error& e) {
        error = "towns: bad JSON at byte " + std::to_string(e.byte);
        return false;
    }
    if (!doc.is_array()) {
        error = "towns: expected an array of towns";
        return false;
    }
    auto text = [](const nlohmann::json& t, const char* key) {
        auto it = t.find(key);
        return it != t.end() && it->is_string() ? it->get<std::string>() : std::string();
    };
    auto number = [](const nlohmann::json& t, const char* key, double& v) {
        auto it = t.find(key);
        if (it == t.end() || !it->is_number()) return false;
        v = it->get<double>();
        return true;
    };
    for (const auto& t : doc) {
        if (!t.is_object()) continue;
        Town town;
        town.name = ToProgramText(text(t, "city"));
        town.country = ToProgramText(text(t, "country"));
        town.countryCode = Trim(text(t, "iso2"));
        town.zone = Trim(text(t, "timezone"));
        if (!number(t, "lat", town.latitude) || !number(t, "lng", town.longitude)) continue;
        number(t, "pop", town.population);
        if (town.name.empty() || town.zone.empty()) continue;
        out.push_back(std::move(town));
    }
    return true;
}

bool ZoneStandardOffset(std::string_view tzif, int& minutes) {
    // The rule is the last line: "\n<rule>\n", as "CET-1CEST,M3.5.0,M10.5.0/3",
    // "<+0545>-5:45" or "EST5EDT,M3.2.0,M11.1.0".
    if (tzif.size() < 8 || tzif.substr(0, 4) != "TZif" || tzif[4] < '2' || tzif.back() != '\n') return false;
    std::size_t start = tzif.rfind('\n', tzif.size() - 2);
    if (start == std::string_view::npos) return false;
    std::string_view rule = tzif.substr(start + 1, tzif.size() - start - 2);
    std::size_t i = 0;
    if (i < rule.size() && rule[i] == '<') {
        i = rule.find('>');
        if (i == std::string_view::npos) return false;
        ++i;
    } else {
        while (i < rule.size() && std::isalpha(static_cast<unsigned char>(rule[i]))) ++i;
    }
    if (i == 0 || i >= rule.size()) return false;
    int sign = 1;
    if (rule[i] == '+' || rule[i] == '-') sign = rule[i++] == '-' ? -1 : 1;
    int parts[3] = {0, 0, 0};
    for (int p = 0; p < 3 && i < rule.size(); ++p) {
        if (!std::isdigit(static_cast<unsigned char>(rule[i]))) return false;
        while (i < rule.size() && std::isdigit(static_cast<unsigned char>(rule[i]))) parts[p] = parts[p] * 10 + (rule[i++] - '0');
        if (i < rule.size() && rule[i] == ':') ++i;
        else break;
    }
    // POSIX offsets are UT minus local time.
    minutes = -sign * (parts[0] * 60 + parts[1]);
    return true;
}

}  // namespace catalog_builder
