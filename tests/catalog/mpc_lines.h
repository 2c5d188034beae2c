#pragma once
// Lines of the Minor Planet Center's comet and MPCORB formats for the import tests, each
// field at its columns.
#include <string>

// Puts text at 1-based column `column` of the line, growing it with blanks.
inline void Put(std::string& line, std::size_t column, const std::string& text) {
    if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
    line.replace(column - 1, text.size(), text);
}

inline std::string CometLine(const std::string& name = "2P/Encke") {
    std::string line;
    Put(line, 1, "0002P");
    Put(line, 15, "2023 10 22.5064");
    Put(line, 31, " 0.339495");
    Put(line, 42, "0.847133");
    Put(line, 52, "186.5466");
    Put(line, 62, "334.1942");
    Put(line, 72, " 11.3492");
    Put(line, 82, "20231017");
    Put(line, 92, "11.5");
    Put(line, 97, " 4.0");
    Put(line, 103, name);
    return line;
}

inline std::string AsteroidLine() {
    std::string line;
    Put(line, 1, "00001    3.34  0.15 K107N 113.41085   72.58981   80.39320   10.58682  0.0789125  0.21404813   "
                 "2.7653485");
    Put(line, 167, "(1) Ceres");
    return line;
}

