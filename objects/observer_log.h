#pragma once
// The observer log's files: one 456-byte entry per observation in "userlogs", named after
// the entry's object or event with ".log", and the text export "logs_<n>.txt" beside
// them. Every file is written whole through a temporary file, so that a crash leaves
// either the old file or the new one.
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/observer_log_entry.h"

inline constexpr const char* kObserverLogFolder = "userlogs";
inline constexpr const char* kObserverLogExtension = ".log";
// An export part is written out once its text passes this many bytes.
inline constexpr std::size_t kObserverLogExportPartLimit = 65036;

// The entry files of the folder (made when missing), sorted by name bytewise, so that the
// list keeps its order whatever file system holds it.
std::vector<std::string> ListObserverLogs();
std::filesystem::path ObserverLogPath(const std::string& fileName);

// The file name an entry is saved under: the entry's name made a plain file name, with
// ".log"; empty when nothing of the name is left.
std::string ObserverLogFileName(const char* entryName);

// Reads an entry file. Shows "Fail to read log file." (a file that does not open or is not
// 456 bytes long) or "It seems your log data are corrupted." (a wrong first word), each
// with the path, and returns false; the entry is then untouched.
bool ReadObserverLogFile(const std::string& fileName, ObserverLogEntry& entry);

// Saves an entry under its name. `oldFile` is the file it was read from ("" for a new
// entry). An empty name is refused; a name that belongs to another entry asks before that
// entry is replaced (No writes nothing); the file is written whole before the old file of
// a renamed entry is removed. A failed write shows "Fail to write log file." with the path
// and the system's reason. Returns true when the entry was written; `savedFile` (when
// given) receives its file name.
bool SaveObserverLogEntry(ObserverLogEntry& entry, const std::string& oldFile, std::string* savedFile = nullptr);

// Removes an entry file; a failure is shown with the path and the system's reason.
bool DeleteObserverLogFile(const std::string& fileName);

// The header of export part n.
std::string ObserverLogExportHeader(int part);

// Exports every entry as text after asking (unless `ask` is false). Entries that cannot be
// read are reported and skipped. Returns the number of entries exported.
int ExportObserverLogs(bool ask = true);

// The Moon's illuminated percentage (truncated) and the Sun's altitude at the site in
// whole degrees (truncated) for a local date and time.
struct ObservingCircumstances {
    int moonPercent = 0;
    int sunAltitude = 0;
};
ObservingCircumstances ComputeObservingCircumstances(int year, int month, int day, int hour, int minute);

// The naked-eye limiting magnitude of the sky model at the site for a local date and time,
// times 10, truncated.
int SkyModelVisualLimit10(int year, int month, int day, int hour, int minute);
