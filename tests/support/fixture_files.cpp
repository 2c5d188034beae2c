#include "support/fixture_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
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

std::vector<std::vector<double>> ReadFixtureRows(const std::string& relativePath) {
    std::vector<std::vector<double>> rows;
    for (const std::string& line : ReadFixtureLines(relativePath)) {
        std::istringstream fields(line);
        std::vector<double> row;
        double value;
        while (fields >> value) row.push_back(value);
        rows.push_back(row);
    }
    return rows;
}

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
