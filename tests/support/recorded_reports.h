#pragma once
// The reports a computation raised with no shell installed, as the report box would show
// them: "heading\ndetail".
#include <string>
#include <vector>

#include "core/report.h"

inline std::string ReportText(std::size_t i) {
    const ReportRecord& r = RecordedReports().at(i);
    return r.heading + "\n" + r.detail;
}

inline std::vector<std::string> ReportTexts() {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < RecordedReports().size(); ++i) texts.push_back(ReportText(i));
    return texts;
}
