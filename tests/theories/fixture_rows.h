#pragma once
// Reads the whitespace-separated numeric rows of a committed reference file.
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::vector<double>> ReadFixtureRows(const std::string& name) {
    std::vector<std::vector<double>> rows;
    std::ifstream in(std::string(VELKARION_TEST_DATA) + "/theories/" + name);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::vector<double> row;
        double value;
        while (fields >> value) row.push_back(value);
        rows.push_back(row);
    }
    return rows;
}
