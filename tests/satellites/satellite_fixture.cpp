#include "satellites/satellite_fixture.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/fixture_files.h"

std::vector<ReferenceCase> ReadSgp4Reference() {
    std::vector<ReferenceCase> cases;
    const std::vector<std::string> lines = ReadFixtureLines("satellites/sgp4_verification.txt");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::istringstream fields(lines[i]);
        std::string word;
        fields >> word;
        if (word == "case") {
            ReferenceCase c;
            std::string kind, start, stop, step;
            fields >> c.number >> kind >> start >> stop >> step >> c.source;
            c.deep = kind == "deep";
            if (i + 2 >= lines.size()) {
                ADD_FAILURE() << "case " << c.number << " has no element lines";
                break;
            }
            c.line1 = lines[++i];
            c.line2 = lines[++i];
            cases.push_back(c);
        } else if (cases.empty()) {
            ADD_FAILURE() << "a row before the first case: " << lines[i];
        } else if (word == "nopos") {
            double minutes = 0.0;
            fields >> minutes;
            cases.back().noPosition.push_back(minutes);
        } else {
            std::istringstream values(lines[i]);
            ReferenceRow row;
            values >> row.minutes;
            for (double& v : row.state.position) values >> v;
            for (double& v : row.state.velocity) values >> v;
            if (!values) ADD_FAILURE() << "short row in case " << cases.back().number << ": " << lines[i];
            cases.back().rows.push_back(row);
        }
    }
    return cases;
}

std::array<std::string, 2> ObserverReference::Lines(const std::string& name) const {
    for (const auto& [setName, lines] : sets)
        if (setName == name) return lines;
    ADD_FAILURE() << "no set " << name;
    return {};
}

TleElements ObserverReference::Elements(const std::string& name) const {
    const std::array<std::string, 2> lines = Lines(name);
    return ConvertLines(lines[0], lines[1]);
}

ObserverSite ObserverReference::Site(const std::string& name) const {
    for (const auto& [siteName, site] : sites)
        if (siteName == name) return site;
    ADD_FAILURE() << "no site " << name;
    return {};
}

const ObserverReference& ReadObserverReference() {
    static const ObserverReference reference = [] {
        ObserverReference r;
        const std::vector<std::string> lines = ReadFixtureLines("satellites/observer_geometry.txt");
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::istringstream fields(lines[i]);
            std::string kind;
            fields >> kind;
            if (kind == "set" && i + 2 < lines.size()) {
                std::string name;
                fields >> name;
                r.sets.push_back({name, {lines[i + 1], lines[i + 2]}});
                i += 2;
            } else if (kind == "site") {
                std::string name;
                ObserverSite s;
                fields >> name >> s.latitude >> s.longitudeWest >> s.heightMetres;
                r.sites.push_back({name, s});
            } else if (kind == "look") {
                LookRow row;
                fields >> row.set >> row.site >> row.jd >> row.azimuth >> row.elevation >> row.range >>
                    row.subLatitude >> row.subLongitudeWest >> row.height >> row.eclipsed >> row.umbraDepth;
                r.looks.push_back(row);
            } else if (kind == "pass") {
                PassRow row;
                fields >> row.set >> row.site >> row.aos >> row.los >> row.maxElevation >> row.eclipsedRise >> row.eclipsedSet;
                r.passes.push_back(row);
            } else if (kind == "moon" || kind == "transit") {
                MoonRow row;
                fields >> row.set >> row.site >> row.jd >> row.separation;
                (kind == "moon" ? r.moons : r.transits).push_back(row);
            } else {
                ADD_FAILURE() << "unknown row: " << lines[i];
                continue;
            }
            if (!fields) ADD_FAILURE() << "short row: " << lines[i];
        }
        return r;
    }();
    return reference;
}

void PlaceObserver(const ObserverSite& site) {
    SetSiteLatitude(static_cast<float>(site.latitude));
    observerLocation.longitude = static_cast<float>(site.longitudeWest);
    observerLocation.height = static_cast<std::int16_t>(site.heightMetres);
    observerLocation.zoneMinutes = 0;
}
