#include "planets/orbit_data_page.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string_view>
#include <vector>

#include "catalog/data_service.h"
#include "catalog/databases.h"
#include "catalog/minor_body_lines.h"
#include "catalog/record_file.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/orbit_solvers.h"
#include "planets/orbit_assistant.h"
#include "planets/orbit_state.h"
#include "platform/paths.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/text_input.h"

using namespace orbit_form;

namespace {

// The database holds at most this many records (the index 65535 means "append").
constexpr int kMaxCometRecords = 65534;
// Room for either of the Center's files (the comet file is over 100 kB).
constexpr std::size_t kSyncBufferSize = std::size_t{8} << 20;
constexpr double kRadToDeg = 57.29577951308232;

std::string FieldText(int id) {
    char text[64] = {};
    GetField(id, text, sizeof text);
    return text;
}

bool ReadNumber(int id, double* out) {
    const std::string text = FieldText(id);
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    while (end && *end == ' ') ++end;
    if (text.empty() || !end || *end != '\0' || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

const char* FieldName(int id) {
    switch (id) {
    case kDistance: return orbitForm.labelMode == 1 ? "q" : "a";
    case kEccentricity: return "e";
    case kArgPerihelion: return "Argmt. of Perihelion";
    case kNode: return "Longitude Asc. Node";
    case kInclination: return "Inclination";
    case kMagnitude: return "Absolute Magnitude";
    case kMeanAnomaly: return "Mean Anomaly";
    default: return "";
    }
}

// The record as the Data page's fields give it; the message says which field is wrong.
bool RecordFromFields(CometRecord* out, std::string* error) {
    const OrbitFormState& s = orbitForm;
    CometRecord r = s.editRecord;
    const bool comet = s.labelMode == 1;
    r.kind = comet ? 13 : 18;
    if (s.currentComet < 0) {
        const std::string name = FieldText(kName);
        std::snprintf(r.name, sizeof r.name, "%s", name.c_str());
    }
    double year = 0, month = 0, day = 0;
    if (!ReadNumber(kYear, &year) || !ReadNumber(kMonth, &month) || !ReadNumber(kDay, &day) ||
        year != std::floor(year) || month != std::floor(month) || year < 1 || year > 9999 || month < 1 ||
        month > 12 || day < 0.0 || day >= 32.0) {
        *error = "The date is not valid.";
        return false;
    }
    double values[7] = {};
    const int ids[7] = {kDistance, kEccentricity, kArgPerihelion, kNode, kInclination, kMagnitude, kMeanAnomaly};
    for (int k = 0; k < 7; ++k) {
        if (ids[k] == kMeanAnomaly && comet) continue;
        if (!ReadNumber(ids[k], &values[k])) {
            *error = std::string(FieldName(ids[k])) + " is not a number.";
            return false;
        }
    }
    r.eccentricity = static_cast<float>(values[1]);
    r.argPerihelion = static_cast<float>(values[2]);
    r.ascendingNode = static_cast<float>(values[3]);
    r.inclination = static_cast<float>(values[4]);
    r.magnitude1 = static_cast<float>(values[5]);
    if (comet) {
        r.year = static_cast<std::int16_t>(year);
        r.month = static_cast<std::int16_t>(month);
        r.perihelionDay = static_cast<float>(day);
        r.perihelionDistance = static_cast<float>(values[0]);
    } else {
        // The fields hold the epoch and a: the perihelion date is the one nearest the epoch.
        const double whole = std::floor(day);
        const double epoch = DateTimeToJD(static_cast<int>(year), static_cast<int>(month), static_cast<int>(whole), 0,
                                          0, 0, 0) + (day - whole);
        const double a = values[0], e = values[1];
        if (!(a > 0.0) || !(e >= 0.0 && e < 1.0)) {
            *error = !(a > 0.0) ? "a must be above 0." : "An asteroid's e must be below 1.";
            return false;
        }
        const double n = kGaussK / (a * std::sqrt(a)) * kRadToDeg;
        const double m = std::fmod(std::fmod(values[6], 360.0) + 360.0, 360.0);
        const double t = m <= 180.0 ? epoch - m / n : epoch + (360.0 - m) / n;
        int py = 0, pm = 0, pd = 0;
        JDToDate(t, &py, &pm, &pd, nullptr, nullptr, nullptr);
        r.year = static_cast<std::int16_t>(py);
        r.month = static_cast<std::int16_t>(pm);
        r.perihelionDay = static_cast<float>(pd + (t - DateTimeToJD(py, pm, pd, 0, 0, 0, 0)));
        r.epochJd = static_cast<float>(epoch);
        r.meanAnomaly = static_cast<float>(values[6]);
        r.perihelionDistance = static_cast<float>(a * (1.0 - e));
    }
    *error = CheckCometRecord(r);
    if (!error->empty()) return false;
    *out = r;
    return true;
}

void Refresh() { RefreshOrbitForm(orbitForm.currentComet); }

void Save() {
    OrbitFormState& s = orbitForm;
    if (!s.editValid) return;
    CometRecord record;
    std::string error;
    if (!RecordFromFields(&record, &error)) {
        ShowMessage("The comet was not saved.", error.c_str());
        return;
    }
    const bool isNew = s.currentComet < 0;
    if (!WriteComet(isNew ? kAppendRecord : s.currentComet, record)) {
        ShowMessage("Could not write comet record!", record.name);
        return;
    }
    s.editRecord = record;
    if (isNew) s.currentComet = GetCometCount() - 1;
    s.editIndex = s.currentComet;
    Refresh();
}

void Delete() {
    OrbitFormState& s = orbitForm;
    if (s.currentComet < 0) {
        // A new record that was never saved is simply dropped.
        s.currentComet = 0;
        s.editValid = false;
        Refresh();
        return;
    }
    CometRecord record;
    if (!GetCometData(s.currentComet, &record)) return;
    char heading[96];
    std::snprintf(heading, sizeof heading, "Delete %s?", record.name);
    if (AskYesNo(heading, "") != 0) return;
    if (!DeleteComet(s.currentComet)) {
        ShowMessage("Could not delete comet record!", record.name);
        return;
    }
    const int count = GetCometCount();
    s.currentComet = count == 0 ? 0 : std::min(s.currentComet, count - 1);
    s.editValid = false;
    Refresh();
}

void ReportImport(const CometImportCounts& c) {
    char detail[160];
    std::snprintf(detail, sizeof detail, "%d lines added, %d renewed, %d refused, %d left out.", c.added, c.renewed,
                  c.refused, c.leftOut);
    ShowMessage("Comets and asteroids imported.", detail);
}

void Import() {
    const platform::Window form = GetActiveForm();
    SetField(kName, "");
    if (!EditTextDialog(form, kName, "File name (import folder)", 64)) return;
    std::string name = FieldText(kName);
    if (name.empty()) return;
    if (name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0) name += ".txt";
    const auto path = platform::ResolveInFolder("import", name);
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!platform::ReadWholeFile(path, bytes, &error)) {
        ShowMessage("Can't read the import file.", (path.string() + "\n" + error).c_str());
        return;
    }
    const CometImportCounts counts = ImportCometText(std::string(bytes.begin(), bytes.end()));
    orbitForm.editValid = false;
    ReportImport(counts);
    Refresh();
}

bool Download(const char* url, std::string* out) {
    std::vector<std::uint8_t> buffer(kSyncBufferSize, 0);
    const std::size_t n = LoadFileFromUrl(url, buffer.data(), buffer.size());
    if (n == 0) return false;
    if (n + 1024 >= buffer.size()) {
        ShowMessage("The file is too large to import.", url);
        return false;
    }
    out->assign(reinterpret_cast<const char*>(buffer.data()), n);
    return true;
}

void Sync() {
    std::string comets, asteroids;
    // Both files first: a failed download changes nothing.
    if (!Download(preferences.cometUrl, &comets) || !Download(preferences.asteroidUrl, &asteroids)) return;
    CometImportCounts total = ImportCometText(comets);
    const CometImportCounts more = ImportCometText(asteroids);
    total.added += more.added, total.renewed += more.renewed, total.refused += more.refused;
    total.leftOut += more.leftOut;
    orbitForm.editValid = false;
    ReportImport(total);
    Refresh();
}

// A tap on an element field: the value is edited and kept in the working record.
void EditElement(int id) {
    OrbitFormState& s = orbitForm;
    if (!s.editValid) return;
    const platform::Window form = GetActiveForm();
    if (id == kName) {
        if (s.currentComet >= 0) return;
        if (EditTextDialog(form, kName, "Name", sizeof s.editRecord.name))
            std::snprintf(s.editRecord.name, sizeof s.editRecord.name, "%s", FieldText(kName).c_str());
        return;
    }
    const std::string before = FieldText(id);
    if (!EditTextDialog(form, id, FieldName(id), 24)) return;
    double v = 0.0;
    if (!ReadNumber(id, &v)) {
        ShowMessage("Not a number:", FieldText(id).c_str());
        SetField(id, before.c_str());
        return;
    }
    CometRecord& r = s.editRecord;
    switch (id) {
    case kDistance:
        if (s.labelMode == 1) r.perihelionDistance = static_cast<float>(v);
        break;
    case kEccentricity: r.eccentricity = static_cast<float>(v); break;
    case kArgPerihelion: r.argPerihelion = static_cast<float>(v); break;
    case kNode: r.ascendingNode = static_cast<float>(v); break;
    case kInclination: r.inclination = static_cast<float>(v); break;
    case kMagnitude: r.magnitude1 = static_cast<float>(v); break;
    case kMeanAnomaly: r.meanAnomaly = static_cast<float>(v); break;
    default: break;
    }
}

}  // namespace

void NewCometRecord(CometRecord* record) {
    *record = CometRecord{};
    record->kind = 13;
    std::snprintf(record->name, sizeof record->name, "%s", "New comet");
    record->year = 2005;
    record->month = 1;
    record->perihelionDay = 0.0f;
    record->perihelionDistance = 1.0f;
    record->eccentricity = 1.0f;
}

std::string CheckCometRecord(const CometRecord& r) {
    auto angle = [](float a) { return std::isfinite(a) && a >= 0.0f && a <= 360.0f; };
    if (r.name[0] == '\0') return "The name is empty.";
    if (!(r.perihelionDistance > 0.0f) || !std::isfinite(r.perihelionDistance)) return "q must be above 0.";
    if (!(r.eccentricity >= 0.0f) || !std::isfinite(r.eccentricity)) return "e must be 0 or more.";
    if (!angle(r.argPerihelion)) return "The argument of perihelion must lie within 0 to 360.";
    if (!angle(r.ascendingNode)) return "The ascending node must lie within 0 to 360.";
    if (!(r.inclination >= 0.0f && r.inclination <= 180.0f)) return "The inclination must lie within 0 to 180.";
    if (r.month < 1 || r.month > 12 || !(r.perihelionDay >= 0.0f && r.perihelionDay < 32.0f) || r.year < 1)
        return "The date is not valid.";
    if (!std::isfinite(r.magnitude1)) return "The magnitude is not a number.";
    return "";
}

CometImportCounts ImportCometText(const std::string& text) {
    CometImportCounts counts;
    // The whole database in memory, written back once: names already held are renewed.
    std::vector<CometRecord> comets;
    std::map<std::string, std::size_t> byName;
    const int count = GetCometCount();
    for (int n = 0; n < count; ++n) {
        CometRecord r;
        if (!GetCometData(n, &r)) return counts;
        byName.emplace(r.name, comets.size());
        comets.push_back(r);
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        CometRecord record;
        if (!ParseMinorBodyLine(line, &record) || !CheckCometRecord(record).empty()) {
            ++counts.refused;
            continue;
        }
        FillCometWorkElements(record);
        if (const auto it = byName.find(record.name); it != byName.end()) {
            comets[it->second] = record;
            ++counts.renewed;
        } else if (static_cast<int>(comets.size()) >= kMaxCometRecords) {
            ++counts.leftOut;
        } else {
            byName.emplace(record.name, comets.size());
            comets.push_back(record);
            ++counts.added;
        }
    }
    if ((counts.added > 0 || counts.renewed > 0) && !ReplaceAllComets(comets)) {
        counts.leftOut += counts.added + counts.renewed;
        counts.added = counts.renewed = 0;
    }
    return counts;
}

int OrbitDataCommand(int id) {
    OrbitFormState& s = orbitForm;
    switch (id) {
    case kNew:
        s.currentComet = -1;
        NewCometRecord(&s.editRecord);
        s.editValid = true;
        s.editIndex = -1;
        s.labelMode = 1;
        Refresh();
        return 1;
    case kSave: Save(); return 1;
    case kDelete: Delete(); return 1;
    case kImport: Import(); return 1;
    case kSync: Sync(); return 1;
    case kName:
    case kDistance:
    case kEccentricity:
    case kArgPerihelion:
    case kNode:
    case kInclination:
    case kMagnitude:
    case kMeanAnomaly: EditElement(id); return 1;
    default: return 0;
    }
}
