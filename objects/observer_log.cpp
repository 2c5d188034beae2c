#include "objects/observer_log.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/text_lines.h"
#include "catalog/user_file_names.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/sky_brightness.h"
#include "platform/paths.h"
#include "theories/moon_illumination.h"

namespace fs = std::filesystem;

namespace {

std::string PathText(const fs::path& p) { return p.string(); }

void ReadFailed(const fs::path& path, const std::string& why) {
    const std::string detail = why.empty() ? PathText(path) : PathText(path) + "\n" + why;
    ShowMessage("Fail to read log file.", detail.c_str());
}

bool WritePart(const std::string& text, int number) {
    const fs::path path = ObserverLogPath("logs_" + std::to_string(number) + ".txt");
    std::string why;
    if (platform::EnsureParentFolders(path) && platform::WriteFileAtomically(path, text.data(), text.size(), &why))
        return true;
    ShowMessage("Fail to write log file.", (PathText(path) + "\n" + why).c_str());
    return false;
}

void ShowExported(int count, const char* ending) {
    char text[64];
    std::snprintf(text, sizeof text, "%d Observer log%s exported.%s", count, count >= 2 ? "s" : "", ending);
    ShowMessage(text, "");
}

}  // namespace

fs::path ObserverLogPath(const std::string& fileName) { return platform::ResolveInFolder(kObserverLogFolder, fileName); }

std::vector<std::string> ListObserverLogs() {
    const fs::path folder = platform::ResolveInFolder(kObserverLogFolder, "");
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::vector<std::string> names;
    const std::string_view extension = kObserverLogExtension;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.size() <= extension.size() || !name.ends_with(extension)) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ObserverLogFileName(const char* entryName) {
    const std::string stem = SafeFileName(entryName ? entryName : "", "");
    return stem.empty() ? std::string{} : stem + kObserverLogExtension;
}

bool ReadObserverLogFile(const std::string& fileName, ObserverLogEntry& entry) {
    const fs::path path = ObserverLogPath(fileName);
    std::vector<std::uint8_t> bytes;
    std::string why;
    if (!platform::ReadWholeFile(path, bytes, &why)) {
        ReadFailed(path, why);
        return false;
    }
    if (bytes.size() != static_cast<std::size_t>(kObserverLogEntrySize)) {
        ReadFailed(path, "");
        return false;
    }
    ObserverLogEntry read;
    DecodeObserverLogEntry(bytes.data(), read);
    if (read.magic != kObserverLogMagic) {
        ShowMessage("It seems your log data are corrupted.", PathText(path).c_str());
        return false;
    }
    entry = read;
    return true;
}

bool SaveObserverLogEntry(ObserverLogEntry& entry, const std::string& oldFile, std::string* savedFile) {
    const std::string file = ObserverLogFileName(entry.name);
    if (file.empty()) {
        ShowMessage("You should type an object (or event) name", "");
        return false;
    }
    const fs::path path = ObserverLogPath(file);
    std::error_code ec;
    if (file != oldFile && fs::exists(path, ec) &&
        AskYesNo("An observation log with this name exists.", "Do you want to replace it?"))
        return false;
    entry.magic = kObserverLogMagic;
    std::uint8_t bytes[kObserverLogEntrySize];
    EncodeObserverLogEntry(entry, bytes);
    std::string why;
    if (!platform::EnsureParentFolders(path) || !platform::WriteFileAtomically(path, bytes, sizeof bytes, &why)) {
        if (why.empty()) why = "the folder could not be made";
        ShowMessage("Fail to write log file.", (PathText(path) + "\n" + why).c_str());
        return false;
    }
    // Only once the new file is safe does the entry's old name go.
    if (!oldFile.empty() && oldFile != file) DeleteObserverLogFile(oldFile);
    if (savedFile) *savedFile = file;
    return true;
}

bool DeleteObserverLogFile(const std::string& fileName) {
    const fs::path path = ObserverLogPath(fileName);
    std::error_code ec;
    if (fs::remove(path, ec) || !ec) return true;
    ShowMessage("Can't delete file.", (PathText(path) + "\n" + ec.message()).c_str());
    return false;
}

std::string ObserverLogExportHeader(int part) {
    return "Velkarion Observer log " + std::to_string(part) +
           "\nDate;Time;Object;RA;Dec;Type;Obj Mag;Const;Moon;Sun;Vis. Mag;Transparency;Seeing;Scope;Location;Filter;"
           "Log\n";
}

int ExportObserverLogs(bool ask) {
    const std::vector<std::string> files = ListObserverLogs();
    if (files.empty()) {
        ShowMessage("Nothing to export.", "");
        return 0;
    }
    if (ask && AskYesNo("Do you want to export your Observer Logs to a text file ?", "")) return 0;
    std::string text;
    int part = 1, exported = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        ObserverLogEntry entry;
        if (!ReadObserverLogFile(files[i], entry)) continue;
        entry.listIndex = static_cast<std::int32_t>(i);
        if (text.size() > kObserverLogExportPartLimit) {
            if (!WritePart(text, static_cast<int>(i))) return exported;
            text.clear();
            ShowExported(exported, "\n");
        }
        if (text.empty()) text = ObserverLogExportHeader(part++);
        FormatObserverLogLine(text, entry);
        ++exported;
    }
    if (!WritePart(text, static_cast<int>(files.size()))) return exported;
    ShowExported(exported, "");
    return exported;
}

ObservingCircumstances ComputeObservingCircumstances(int year, int month, int day, int hour, int minute) {
    const ObserverLocation& site = observerLocation;
    ObservingCircumstances c;
    const double fraction =
        ComputeMoonIllumination(year, month, day, hour + minute / 60.0, site.zoneMinutes, nullptr);
    c.moonPercent = static_cast<int>(fraction * 100.0);
    BodyRecord sun{};
    ComputePlanet(&sun, 0, year, month, day, hour, minute, 0);
    const double lst = LocalSiderealTime(year, month, day, hour, minute, 0, site.longitude, site.zoneMinutes);
    c.sunAltitude = static_cast<int>(ComputeAltitude(lst, sun.rightAscension, sun.declination, site.latitude));
    return c;
}

int SkyModelVisualLimit10(int year, int month, int day, int hour, int minute) {
    const ObserverLocation& site = observerLocation;
    SkyModel model;
    model.localSiderealTime =
        static_cast<float>(LocalSiderealTime(year, month, day, hour, minute, 0, site.longitude, site.zoneMinutes));
    ComputeSkyBrightness(&model, year, month, day, hour, minute);
    const double limit = model.limitingMagnitude * 10.0;
    return std::isfinite(limit) ? static_cast<int>(std::clamp(limit, -1000.0, 1000.0)) : 0;
}
