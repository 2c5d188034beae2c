#include "catalog/satellite_import.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include "catalog/databases.h"
#include "catalog/element_lines.h"
#include "catalog/record_file.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

void CopyField(char* out, std::string_view text) {
    const std::size_t n = text.size() < static_cast<std::size_t>(kSatelliteTextSize) ? text.size() : kSatelliteTextSize;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

bool LooksLikeElementLine(std::string_view line) {
    return line.size() >= 2 && (line[0] == '1' || line[0] == '2') && line[1] == ' ';
}

std::string CatalogueNumber(const char* line1) {
    std::string number(line1 + 2, strnlen(line1 + 2, 5));
    while (!number.empty() && number.front() == ' ') number.erase(number.begin());
    while (!number.empty() && number.back() == ' ') number.pop_back();
    return number;
}

double FileSeconds(const fs::path& path) {
    std::error_code ec;
    const auto stamp = fs::last_write_time(path, ec);
    if (ec) return -1.0;
    const auto system = std::chrono::file_clock::to_sys(stamp);
    return static_cast<double>(std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count());
}

}  // namespace

ElementFileSets ReadElementFile(std::string_view text) {
    ElementFileSets out;
    const std::vector<std::string_view> lines = SplitLines(text);
    std::size_t i = 0;
    while (i < lines.size()) {
        if (lines[i].empty()) {
            ++i;
            continue;
        }
        const bool whole = i + 2 < lines.size();
        SatelliteRecord record;
        if (whole) {
            CopyField(record.name, lines[i]);
            CopyField(record.line1, lines[i + 1]);
            CopyField(record.line2, lines[i + 2]);
        }
        if (whole && !LooksLikeElementLine(lines[i]) && CheckElementSet(record.line1, record.line2) == kElementLineValid) {
            out.sets.push_back(record);
            i += 3;
            continue;
        }
        out.skippedLines.push_back(static_cast<int>(i + 1));
        if (!whole) break;
        i += LooksLikeElementLine(lines[i]) ? 1 : 3;
    }
    return out;
}

double ElementEpochKey(const char* line1) {
    if (strnlen(line1, kSatelliteTextSize + 1) < 32) return -1.0;
    char year[3] = {line1[18], line1[19], '\0'};
    char day[13] = {};
    std::memcpy(day, line1 + 20, 12);
    char* end = nullptr;
    const long yy = std::strtol(year, &end, 10);
    if (end != year + 2) return -1.0;
    const double days = std::strtod(day, &end);
    if (end == day) return -1.0;
    return (yy < 57 ? 2000 + yy : 1900 + yy) * 1000.0 + days;
}

int MergeElementSets(std::vector<SatelliteRecord>& copy, const std::vector<SatelliteRecord>& incoming) {
    int changed = 0;
    for (const SatelliteRecord& set : incoming) {
        const std::string number = CatalogueNumber(set.line1);
        bool found = false;
        for (SatelliteRecord& mine : copy) {
            if (CatalogueNumber(mine.line1) != number) continue;
            found = true;
            if (ElementEpochKey(set.line1) > ElementEpochKey(mine.line1)) {
                mine = set;
                ++changed;
            }
            break;
        }
        if (!found) {
            copy.push_back(set);
            ++changed;
        }
    }
    return changed;
}

fs::path UserElementFilePath() { return platform::HomeRoot() / "import" / "satellites.txt"; }

int ImportUserElementFile() {
    const fs::path file = UserElementFilePath();
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return 0;
    if (!satelliteDb || satelliteDb->mode == 0) return 0;
    const double date = FileSeconds(file);
    if (date < 0.0 || date == PreferenceDouble(pref::elementFileDate)) return 0;

    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!platform::ReadWholeFile(file, bytes, &why)) {
        ShowMessage(("The element file " + file.string() + " could not be read:").c_str(), why.c_str());
        return 0;
    }
    const ElementFileSets read =
        ReadElementFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

    const fs::path copyPath = satelliteDb->path;
    RecordFileImage image;
    if (!ReadRecordFileImage(copyPath, image) || (image.recordSize != 0 && image.recordSize != kSatelliteRecordSize)) {
        ShowMessage(("The satellite database " + copyPath.string() + " could not be read.").c_str(), "");
        return 0;
    }
    std::vector<SatelliteRecord> records(image.Count());
    for (std::uint32_t n = 0; n < image.Count(); ++n)
        DecodeSatelliteRecord(image.Record(n), records[n]);
    MergeElementSets(records, read.sets);
    RecordFileImage merged;
    merged.version = image.version;
    merged.creator = image.creator ? image.creator : kCreatorSatellites;
    merged.recordSize = kSatelliteRecordSize;
    for (const SatelliteRecord& r : records) EncodeSatelliteRecord(r, merged.Append());

    CloseDb(satelliteDb);
    const bool written = WriteRecordFileImage(copyPath, merged);
    OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile);
    if (!written) {
        ShowMessage(("The element sets could not be written into " + copyPath.string() + ".").c_str(),
                    "The satellite database is as it was.");
        return 0;
    }
    SetPreferenceDouble(pref::elementFileDate, date);

    char heading[96];
    std::snprintf(heading, sizeof heading, "%d satellite element set%s taken from import/satellites.txt.",
                  static_cast<int>(read.sets.size()), read.sets.size() == 1 ? "" : "s");
    std::string detail;
    if (!read.skippedLines.empty()) {
        detail = read.skippedLines.size() == 1 ? "Set skipped at line " : "Sets skipped at lines ";
        for (std::size_t k = 0; k < read.skippedLines.size(); ++k) {
            if (k > 0) detail += ", ";
            detail += std::to_string(read.skippedLines[k]);
        }
        detail += ": a line number, length, checksum or catalogue number is wrong.";
    }
    ShowMessage(heading, detail.c_str());
    return 1;
}
