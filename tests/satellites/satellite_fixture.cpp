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
