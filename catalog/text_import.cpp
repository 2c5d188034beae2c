#include "catalog/text_import.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "catalog/data_service.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "catalog/text_lines.h"
#include "catalog/user_file_names.h"
#include "catalog/user_lists.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/paths.h"

namespace fs = std::filesystem;

namespace {

// A memo holds at most this much before the next one is started.
constexpr std::size_t kMemoFlushAt = 65336;

std::string Text(const std::vector<std::uint8_t>& buffer) {
    return std::string(reinterpret_cast<const char*>(buffer.data()),
                       strnlen(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
}

// What a failed download tells the user to look at: the address (or the import folder)
// with the file's name.
std::string WhereFrom(int source, const std::string& file, const char* tryName) {
    std::string where = source == kSourceImportFolder
                            ? platform::ResolveInFolder("import", "").string()
                            : std::string(preferences.dataUrl, strnlen(preferences.dataUrl, sizeof preferences.dataUrl));
    if (!where.empty() && where.back() != '/') where += '/';
    return where + file + "\n\nTry " + tryName + " as a test.";
}

// The lines of a text, each handed to `line` (which returns the bytes it used, or a
// negative value for a bad line) until the text ends or `line` asks to stop (0).
template <typename Line>
void EachLine(std::string_view text, Line line) {
    std::size_t at = 0;
    while (at < text.size()) {
        ShowBusy(1);
        const std::string_view rest = text.substr(at);
        const int used = line(rest);
        if (used == 0) break;
        if (used > 0) {
            at += static_cast<std::size_t>(used);
            continue;
        }
        const int skip = LineLength(rest);
        if (skip <= 0) break;
        at += static_cast<std::size_t>(skip);
    }
    HideBusy();
}

// The record databases a download fills.
struct RecordKind {
    const char* extension;
    std::uint32_t creator;
    std::size_t recordSize;
    const char* failed;     // heading of a failed download
    const char* tryName;
    const char* uploaded;   // "%d ... uploaded, %d rejected"
    const char* noneLoaded; // heading when no line was good, or null to say nothing
    const char* format;     // the line format shown with it
};

constexpr RecordKind kUserObjects{".ppc", kCreatorUserObjects, kUserObjectRecordSize,
                                  "Fail to download custom catalog:", "user_object",
                                  "%d User Objects uploaded, %d rejected", nullptr, ""};
constexpr RecordKind kEyepieces{".eyp", kCreatorEyepieces, kEyepieceRecordSize, "Fail to download eyepiece catalog:",
                                "eyepiece_list", "%d User eyepieces uploaded, %d rejected",
                                "No eyepiece has been loaded.\nPlease check the file format:", kEyepieceLineFormat};
constexpr RecordKind kLocations{".loc", kCreatorLocations, kLocationRecordSize, "Fail to download location catalog:",
                                "location_list", "%d User locations uploaded, %d rejected.",
                                "No location has been loaded.\nPlease check the file format:", kLocationLineFormat};

// Opens usercatalogs/<file> as a database of the kind, making an empty one when missing.
// A file of another kind is refused and left alone.
bool OpenKindFile(RecordFilePtr& db, const RecordKind& kind, const std::string& file) {
    const fs::path path = platform::ResolveInFolder("usercatalogs", file);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec)) && CreateRecordFile(file, kTypeCodeQvn1, kind.creator) != 0) {
        fs::remove(path, ec);
        return false;
    }
    if (!OpenDb(db, kind.creator, kTypeCodeQvn1, 1, "", file)) return false;
    if (db->creator != kind.creator || (db->recordSize != 0 && db->recordSize != kind.recordSize)) {
        CloseDb(db);
        ShowMessage("This file holds another kind of records.",
                    (path.string() + " was left as it is; choose another name.").c_str());
        return false;
    }
    return true;
}

// Fetches <name>.txt and replaces the records of the kind's file with its good lines, in
// one write of the whole file through a temporary file renamed into place: a download is
// all or nothing (a crash or a failed write leaves the old list whole) and takes one save,
// however many lines it brings. No good line leaves the old records. `parse` fills the
// record bytes from a line.
template <typename Parse>
int DownloadRecords(RecordFilePtr& db, const RecordKind& kind, int source, const char* name, Parse parse) {
    const std::string stem = SafeFileName(name ? name : "", kind.tryName);
    const std::string file = stem + kind.extension;
    if (&db == &userObjectDb) {
        std::snprintf(preferences.userCatalogFile, sizeof preferences.userCatalogFile, "%s", file.c_str());
        CloseUserObjectDb();
    }
    if (!OpenKindFile(db, kind, file)) return 0;

    std::vector<std::uint8_t> buffer(kDownloadBufferSize, 0);
    const int fetched = FetchDataFile(source == kSourceImportFolder ? source : kSourceDataService,
                                      (stem + ".txt").c_str(), buffer.data());
    if (!fetched || IsFailedReply(buffer.data())) {
        ShowMessage(kind.failed, WhereFrom(source, stem + ".txt", kind.tryName).c_str());
        if (&db != &userObjectDb) CloseDb(db);
        return 0;
    }
    RecordFileImage image;
    image.version = db->version;
    image.creator = kind.creator;
    image.recordSize = static_cast<std::uint32_t>(kind.recordSize);
    int good = 0, rejected = 0;
    EachLine(Text(buffer), [&](std::string_view line) {
        std::uint8_t* record = image.Append();
        const int used = parse(line, record);
        if (used < 0) {
            image.records.resize(image.records.size() - kind.recordSize);
            ++rejected;
            return used;
        }
        ++good;
        return used;
    });
    const fs::path path = db->path;
    bool written = true;
    if (good > 0) {
        // The open handle would go on reading the replaced file: closed first, opened again
        // below for the user objects.
        CloseDb(db);
        written = WriteRecordFileImage(path, image);
    }
    char text[128];
    if (!written) {
        ShowMessage(kind.failed, (path.string() + " could not be written; the old records are kept.").c_str());
    } else if (good > 0 || !kind.noneLoaded) {
        std::snprintf(text, sizeof text, kind.uploaded, good, rejected);
        ShowMessage(text, "");
    } else {
        ShowMessage(kind.noneLoaded, kind.format);
    }
    // The user catalog stays the user objects, as if chosen in the list manager.
    if (&db == &userObjectDb) LoadUserList(file.c_str(), 1);
    else CloseDb(db);
    return written ? 1 : 0;
}

// A line parser and a record encoder as one step: the line's record in the file's bytes.
template <typename Record>
auto LineToBytes(int (*parse)(std::string_view, Record&), void (*encode)(const Record&, std::uint8_t*)) {
    return [parse, encode](std::string_view line, std::uint8_t* bytes) {
        Record record;
        const int used = parse(line, record);
        if (used >= 0) encode(record, bytes);
        return used;
    };
}

// The object record of a list entry, and its group and index in the list.
void ChooseListPlace(ObjectRef& ref, int* group, int* index) {
    const int number = static_cast<int>(ref.number);
    *group = kGroupCatalog;
    *index = number;
    int (*lookup)(int, ObjectRef*) = nullptr;
    int listGroup = kGroupCatalog;
    switch (ref.catalog) {
    case kCatalogPlanet:
        *group = kGroupBody;
        return;
    case kCatalogMessier:
        lookup = &GetMessierObject, listGroup = kGroupMessier;
        break;
    case kCatalogCaldwell:
        lookup = &GetCaldwellObject, listGroup = kGroupCaldwell;
        break;
    case kCatalogHerschel:
        lookup = &GetHerschelObject, listGroup = kGroupHerschel;
        break;
    case kCatalogBestNgc:
        lookup = &GetBestNgcObject, listGroup = kGroupBestNgc;
        break;
    default:
        return;
    }
    ObjectRef found;
    if (number < 1 || !lookup(number - 1, &found)) return;  // not in its list: an ordinary object
    std::memcpy(found.name, ref.name, sizeof found.name);
    ref = found;
    *group = listGroup;
    *index = number - 1;
}

}  // namespace

void ExportNoop() {}

int ExportMemo(const std::string& text) {
    const ObservingDateTime& t = observingDateTime;
    char stem[64];
    std::snprintf(stem, sizeof stem, "%04d%02d%02d_velkamemo_%02d%02d", t.year, t.month, t.day, t.hour, t.minute);
    const fs::path folder = platform::ResolveInFolder("userlists", "");
    const fs::path path = UnusedFileName(folder, stem, ".txt");
    platform::AtomicFile file(path);
    if (!file.Ok()) {
        ShowMessage("Can't open memo:", (path.string() + "\n" + file.Error()).c_str());
        return 1;
    }
    if (!file.Write(text.data(), text.size()) || !file.Commit())
        ShowMessage("Error while exporting memo.", (path.string() + "\n" + file.Error()).c_str());
    return 1;
}

int ExportUserObjects() {
    std::string buffer;
    const int count = selectionList.records ? std::max(selectionList.indexCount, 0) : 0;
    for (int i = 0; i < count; ++i) {
        SelectionRecord r = selectionList.records[i];
        // Entries of the fixed lists go out under their list's catalog and position.
        const struct {
            int group, catalog, offset;
        } kLists[] = {{kGroupBody, kCatalogPlanet, 0},       {kGroupMessier, kCatalogMessier, 1},
                      {kGroupCaldwell, kCatalogCaldwell, 1}, {kGroupHerschel, kCatalogHerschel, 1},
                      {kGroupBestNgc, kCatalogBestNgc, 1}};
        for (const auto& l : kLists)
            if (r.group == l.group) {
                r.objectNumber = r.objectIndex + l.offset;
                r.catalogCode = static_cast<std::int16_t>(l.catalog);
            }
        FormatUserObjectLine(buffer, r);
        if (i % 5 == 0) ShowBusy(1);
        if (buffer.size() > kMemoFlushAt) {
            ExportMemo(buffer);
            ExportNoop();
            buffer.clear();
        }
    }
    HideBusy();
    if (!buffer.empty()) {
        ExportMemo(buffer);
        ExportNoop();
    }
    char text[48];
    std::snprintf(text, sizeof text, "%d Object%s exported.\n", count, count > 1 ? "s" : "");
    ShowMessage(text, "");
    return 1;
}

int ImportUserObjects() {
    CopyObservingDateToCriteria();
    std::vector<std::uint8_t> buffer(kDownloadBufferSize, 0);
    FetchDataFile(kSourceImportFolder, "user_object.txt", buffer.data());
    const std::string text = Text(buffer);
    if (text.empty()) {
        ShowMessage("No objects to import.",
                    ("Put the list in " + platform::ResolveInFolder("import", "user_object.txt").string() +
                     ", one object a line.")
                        .c_str());
        return 0;
    }
    if (!AllocSelectionList()) return 0;
    selectionList.indexCount = 0;
    EachLine(text, [&](std::string_view line) {
        ObjectRef ref;
        const int used = ParseUserObjectLine(line, ref);
        if (used < 0) {
            const std::string_view shown = line.substr(0, std::min<std::size_t>(line.size(), 200));
            ShowMessage("Failed to load data. Check line", std::string(shown).c_str());
            return 0;
        }
        int group = 0, index = 0;
        ChooseListPlace(ref, &group, &index);
        if (!AddObjectToSelection(index, group, selectionList.records, ref)) {
            const std::string_view shown = line.substr(0, std::min<std::size_t>(line.size(), 30));
            ShowMessage("Already loaded:", std::string(shown).c_str());
        } else {
            ++selectionList.indexCount;
        }
        return used;
    });
    selectionList.recordCount = selectionList.indexCount;
    InvalidateSelectionProjectionHook();
    return 1;
}

int DownloadUserCatalog(int source, const char* name) {
    return DownloadRecords(userObjectDb, kUserObjects, source, name,
                           LineToBytes<ObjectRef>(&ParseUserObjectLine, &EncodeUserObjectRecord));
}

int DownloadEyepieces(int source, const char* name) {
    return DownloadRecords(eyepieceDb, kEyepieces, source, name,
                           LineToBytes<EyepieceRecord>(&ParseEyepieceLine, &EncodeEyepieceRecord));
}

int DownloadLocations(int source, const char* name) {
    return DownloadRecords(locationDb, kLocations, source, name,
                           LineToBytes<LocationRecord>(&ParseLocationLine, &EncodeLocationRecord));
}

int DownloadObserverLogs(int /*source*/, const char* name) {
    const std::string stem = SafeFileName(name ? name : "", "velkarion_log_export");
    std::vector<std::uint8_t> buffer(kDownloadBufferSize, 0);
    FetchDataFile(kSourceImportFolder, (stem + ".txt").c_str(), buffer.data());
    if (IsFailedReply(buffer.data())) {
        ShowMessage("Fail to download observation logs:",
                    WhereFrom(kSourceImportFolder, stem + ".txt", "velkarion_log_export").c_str());
        return 0;
    }
    int good = 0, rejected = 0;
    EachLine(Text(buffer), [&](std::string_view line) {
        ObserverLogEntry entry;
        const int used = ParseObserverLogLine(line, entry);
        if (used < 0) {
            ++rejected;
            return used;
        }
        std::uint8_t bytes[kObserverLogEntrySize];
        EncodeObserverLogEntry(entry, bytes);
        const fs::path path = platform::ResolveInFolder("userlogs", SafeFileName(entry.name, "log") + ".log");
        std::string why;
        if (!platform::WriteFileAtomically(path, bytes, sizeof bytes, &why)) {
            ShowMessage("Fail to write log file.\n", (path.string() + "\n" + why).c_str());
            return 0;
        }
        ++good;
        return used;
    });
    char text[64];
    if (good > 0) {
        std::snprintf(text, sizeof text, "%d User log uploaded, %d rejected.", good, rejected);
        ShowMessage(text, "");
    } else {
        ShowMessage("No observer log has been loaded.\nPlease check the file format.", "");
    }
    return 1;
}
