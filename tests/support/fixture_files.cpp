#include "support/fixture_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

std::string FixturePath(const std::string& relativePath) {
    return std::string(VELKARION_TEST_DATA) + "/" + relativePath;
}

std::vector<std::string> ReadFixtureLines(const std::string& relativePath) {
    std::vector<std::string> lines;
    std::ifstream in(FixturePath(relativePath));
    if (!in) {
        ADD_FAILURE() << "missing reference file " << FixturePath(relativePath);
        return lines;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::vector<std::string>> ReadFixtureWords(const std::string& relativePath) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : ReadFixtureLines(relativePath)) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        std::string word;
        while (fields >> word) words.push_back(word);
        rows.push_back(words);
    }
    return rows;
}

namespace {

// The words from `first` on as numbers; a word that is not one fails the test.
std::vector<double> Numbers(const std::string& relativePath, const std::vector<std::string>& words,
                            std::size_t first) {
    std::vector<double> row;
    for (std::size_t i = first; i < words.size(); ++i) {
        std::istringstream in(words[i]);
        double value;
        if (!(in >> value) || !in.eof()) {
            ADD_FAILURE() << relativePath << ": \"" << words[i] << "\" is not a number (word " << i + 1 << ")";
            break;
        }
        row.push_back(value);
    }
    return row;
}

}  // namespace

std::vector<std::vector<double>> ReadFixtureRows(const std::string& relativePath) {
    std::vector<std::vector<double>> rows;
    for (const auto& words : ReadFixtureWords(relativePath)) rows.push_back(Numbers(relativePath, words, 0));
    return rows;
}

std::vector<std::vector<double>> ReadTaggedFixtureRows(const std::string& relativePath, const std::string& kind) {
    std::vector<std::vector<double>> rows;
    for (const auto& words : ReadFixtureWords(relativePath)) {
        if (!words.empty() && words[0] == kind) rows.push_back(Numbers(relativePath, words, 1));
    }
    return rows;
}

std::vector<PlanetEphemRow> ReadPlanetEphemRows() {
    const std::string path = "astro/planets_ephem.txt";
    constexpr std::size_t kWords = 21, kKindWord = 7;
    std::vector<PlanetEphemRow> rows;
    for (const std::string& line : ReadFixtureLines(path)) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        std::string word;
        while (fields >> word) words.push_back(word);
        if (words.size() < kWords) {
            ADD_FAILURE() << path << ": short line " << line;
            continue;
        }
        PlanetEphemRow r;
        r.line = line;
        r.kind = words[kKindWord];
        words.erase(words.begin() + kKindWord);
        const std::vector<double> v = Numbers(path, words, 0);
        if (v.size() < kWords - 1) continue;
        r.year = static_cast<int>(v[0]);
        r.month = static_cast<int>(v[1]);
        r.day = static_cast<int>(v[2]);
        r.hour = static_cast<int>(v[3]);
        r.minute = static_cast<int>(v[4]);
        r.second = static_cast<int>(v[5]);
        r.body = static_cast<int>(v[6]);
        double* const fieldsAfterKind[] = {&r.latitude,  &r.longitudeEast, &r.deltaT,    &r.ra,
                                           &r.dec,       &r.distance,      &r.magnitude, &r.fraction,
                                           &r.diameter,  &r.elongation,    &r.sunDistance, &r.altitude,
                                           &r.azimuth};
        for (std::size_t i = 0; i < std::size(fieldsAfterKind); ++i) *fieldsAfterKind[i] = v[7 + i];
        rows.push_back(r);
    }
    return rows;
}

double CenturiesFromJ2000(double jd) { return (jd - 2451545.0) / 36525.0; }

double SeparationArcsec(double ra1, double dec1, double ra2, double dec2) {
    using namespace test_units;
    const double a1 = ra1 * 15.0 * kDeg, d1 = dec1 * kDeg;
    const double a2 = ra2 * 15.0 * kDeg, d2 = dec2 * kDeg;
    const double sd = std::sin((d2 - d1) / 2.0);
    const double sa = std::sin((a2 - a1) / 2.0);
    const double h = sd * sd + std::cos(d1) * std::cos(d2) * sa * sa;
    return 2.0 * std::asin(std::sqrt(std::min(1.0, h))) * kRadToArcsec;
}

double Hms(double h, double m, double s) { return h < 0 ? h - m / 60.0 - s / 3600.0 : h + m / 60.0 + s / 3600.0; }
double Dms(double d, double m, double s) { return d < 0 ? d - m / 60.0 - s / 3600.0 : d + m / 60.0 + s / 3600.0; }
