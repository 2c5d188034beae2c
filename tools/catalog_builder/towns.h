#pragma once
// Towns for the location list: npm city-timezones' cityMap.json (town, country, ISO code,
// place, population and IANA time zone), and each zone's standard offset from the
// machine's tzdata (the POSIX rule that ends a TZif file names it).
#include <string>
#include <string_view>
#include <vector>

namespace catalog_builder {

struct Town {
    std::string name;     // program text
    std::string country;  // program text
    std::string countryCode;  // ISO 3166 two-letter code
    double latitude = 0.0;    // degrees, north positive
    double longitude = 0.0;   // degrees, east positive
    double population = 0.0;
    std::string zone;  // IANA name, "Europe/Paris"
};

bool ReadTowns(std::string_view json, std::vector<Town>& out, std::string& error);

// The standard (winter) offset of a zone in minutes, local time minus UT, from the rule
// text that ends a version 2 or later TZif file. false when the file carries none.
bool ZoneStandardOffset(std::string_view tzif, int& minutes);

}  // namespace catalog_builder
