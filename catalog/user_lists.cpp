#include "catalog/user_lists.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "astro/time_scales.h"
#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/selection_hooks.h"
#include "catalog/text_lines.h"
#include "core/settings.h"
#include "catalog/selection_list.h"
#include "core/observing_time.h"
#include "platform/paths.h"
#include "core/report.h"

static_assert(std::endian::native == std::endian::little,
              "list files hold the selection records exactly as they are in memory");

namespace {

namespace fs = std::filesystem;

// List files that an automatic save must not replace this run: loaded cut short, or found
// damaged. The user's own save replaces them.
std::set<fs::path> keptLists;

// A list name is one file name: a name with a folder separator would reach outside the
// lists folder.
bool IsPlainFileName(const char* name) {
    if (!name || !*name) return false;
    const std::string s(name);
    return s.find_first_of("/\\") == std::string::npos && s != "." && s != "..";
}

void RebuildIndex(int n) {
    for (int k = 0; k < selectionList.capacity; ++k) {
        selectionList.index[k] = k < n ? k : -1;
        selectionListPtr[k] = &selectionList.records[k];
    }
    selectionList.indexCount = n;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Reports a damaged list and keeps it from automatic saves; returns 0 for LoadUserList.
int Damaged(const fs::path& path, const char* heading, const std::string& why) {
    keptLists.insert(path);
    const std::string detail = path.string() + ": " + why + ".\nThe file was left as it is.";
    ShowMessage(heading, detail.c_str());
    return 0;
}

int Unwritten(const fs::path& path, const char* heading, const std::string& why) {
    const std::string detail = path.string() + ": " + why + ".\nThe file on disk was left as it was.";
    ShowMessage(heading, detail.c_str());
    return 0;
}

// The user catalog the user chose this run, held open as the user objects.
std::string chosenUserCatalog;

// Mode 1: the chosen user catalog becomes the user-object database and stays open.
int ChooseUserCatalog(const char* fileName) {
    chosenUserCatalog.clear();
    std::snprintf(preferences.userCatalogFile, sizeof preferences.userCatalogFile, "%s", fileName);
    CloseUserObjectDb();
    int opened = 0;
    if (OpenDb(userObjectDb, kCreatorUserObjects, kTypeCodeQvn1, 1, "", fileName)) {
        if (userObjectDb->creator == kCreatorUserObjects &&
            (userObjectDb->recordSize == 0 || userObjectDb->recordSize == kUserObjectRecordSize)) {
            opened = 1;
            chosenUserCatalog = fileName;
        } else {
            CloseUserObjectDb();
            const auto path = platform::ResolveInFolder("usercatalogs", fileName);
            ShowMessage("This is not a user catalog.", (path.string() + " holds other records; it was not opened.").c_str());
        }
    }
    InvalidateSelectionProjectionHook();
    if (selectionList.records && selectionList.recordCount > 0)
        selectionList.indexCount =
            FilterSelectionByType(selectionList.categoryFilter, selectionList.records, selectionList.recordCount);
    return opened;
}

// Modes 2 and 3: a location or eyepiece list of "usercatalogs" becomes the database the
// program reads, replacing the user's copy in "usercatalogs/data" as a whole. A file of
// another kind is refused: it would leave the program without its list.
int InstallUserDatabase(const char* fileName, std::uint32_t creator, std::uint32_t recordSize, const char* target,
                        const char* kindName) {
    const auto source = platform::ResolveInFolder("usercatalogs", fileName);
    RecordFilePtr db;
    if (OpenRecordFile(std::string("usercatalogs\\") + fileName, 0, db) != 0 || !db) {
        ShowMessage("Can't open file.", source.string().c_str());
        return 0;
    }
    const bool fits = db->creator == creator && db->recordSize == recordSize;
    db.reset();
    if (!fits) {
        const std::string text = std::string("This is not ") + kindName + ".";
        ShowMessage(text.c_str(), (source.string() + " holds other records; nothing was installed.").c_str());
        return 0;
    }
    std::vector<std::uint8_t> bytes;
    std::string why;
    const auto destination = platform::ResolvePath(std::string("usercatalogs\\data\\") + target);
    if (creator == kCreatorLocations) CloseDb(locationDb);
    if (!platform::ReadWholeFile(source, bytes, &why) ||
        !platform::WriteFileAtomically(destination, bytes.data(), bytes.size(), &why)) {
        ShowMessage("Can't write data.", (destination.string() + ": " + why + ".\nThe list in use was left as it was.").c_str());
        return 0;
    }
    return 1;
}

int LoadListFile(const char* fileName) {
    if (!selectionList.records || selectionList.capacity < 1) return 0;
    const fs::path path = platform::ResolveInFolder("userlists", fileName);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return 0;
    if (fs::is_directory(path, ec)) return Damaged(path, "Can't read header.", "it is a folder, not a file");
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f) return Damaged(path, "Can't read header.", std::strerror(errno));

    std::uint8_t header[kUserListHeaderSize];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header)
        return Damaged(path, "Can't read header.",
                       std::ferror(f.get()) ? std::string(std::strerror(errno))
                                            : "it is shorter than a list header (" +
                                                  std::to_string(kUserListHeaderSize) + " bytes)");
    const std::int32_t claimed = le::I32(header, 64);
    if (claimed < 0) return Damaged(path, "Can't read header.", "its header counts " + std::to_string(claimed) + " objects");
    if (::fseeko(f.get(), 0, SEEK_END) != 0) return Damaged(path, "Can't read data.", std::strerror(errno));
    const off_t length = ::ftello(f.get());
    const std::uint64_t held =
        length > kUserListHeaderSize ? static_cast<std::uint64_t>(length - kUserListHeaderSize) / sizeof(SelectionRecord) : 0;
    if (held < static_cast<std::uint64_t>(claimed))
        return Damaged(path, "Can't read data.",
                       "its header counts " + std::to_string(claimed) + " objects but the file holds " +
                           std::to_string(held));

    // One slot stays free for the end marker.
    const int n = std::min(claimed, selectionList.capacity - 1);
    std::vector<SelectionRecord> records(static_cast<std::size_t>(n));
    if (::fseeko(f.get(), kUserListHeaderSize, SEEK_SET) != 0 ||
        std::fread(records.data(), sizeof(SelectionRecord), records.size(), f.get()) != records.size())
        return Damaged(path, "Can't read data.", std::strerror(errno ? errno : EIO));
    f.reset();

    // The whole list has been read: only now does it replace the one in memory.
    selectionCriteria.year = static_cast<std::int16_t>(le::I32(header, 44));
    selectionCriteria.month = static_cast<std::int16_t>(le::I32(header, 48));
    selectionCriteria.day = static_cast<std::int16_t>(le::I32(header, 52));
    selectionCriteria.hour = static_cast<std::int16_t>(le::I32(header, 56));
    selectionCriteria.minute = static_cast<std::int16_t>(le::I32(header, 60));
    for (auto& r : records) r.label[sizeof r.label - 1] = '\0';  // a label read from a file ends in the record
    if (n > 0) std::memcpy(selectionList.records, records.data(), records.size() * sizeof(SelectionRecord));
    selectionList.records[n].objectNumber = -1;
    selectionList.recordCount = n;
    selectionList.currentPosition = 0;
    RebuildIndex(n);

    if (n < claimed) {
        // Saving this list back would cut the user's file: it is kept until the user saves.
        keptLists.insert(path);
        const std::string name = path.stem().string();
        const std::string text = "Only " + std::to_string(n) + " of " + std::to_string(claimed) + " objects of " +
                                 name + " were loaded";
        const std::string detail = path.string() + " keeps all " + std::to_string(claimed) +
                                   "; it is not saved over unless you save the list.";
        ShowMessage(text.c_str(), detail.c_str());
    }
    return 1;
}

}  // namespace

int SaveUserList(const char* name, ListSave how) {
    if (selectionList.recordCount < 1 || !selectionList.records || !IsPlainFileName(name)) return 0;
    if (how == ListSave::Automatic && !platform::HomeUsable()) return 0;
    const auto path = platform::ResolveInFolder("userlists", std::string(name) + ".lst");
    if (how == ListSave::Automatic && keptLists.count(path)) return 0;
    const int n = std::min(selectionList.recordCount, selectionList.capacity);

    std::uint8_t header[kUserListHeaderSize] = {};
    std::strncpy(reinterpret_cast<char*>(header + 4), name, 39);
    le::PutI32(header, 44, selectionCriteria.year);
    le::PutI32(header, 48, selectionCriteria.month);
    le::PutI32(header, 52, selectionCriteria.day);
    le::PutI32(header, 56, selectionCriteria.hour);
    le::PutI32(header, 60, selectionCriteria.minute);
    le::PutI32(header, 64, n);

    platform::AtomicFile file(path);
    if (!file.Ok() || !file.Write(header, sizeof header)) return Unwritten(path, "Can't write header.", file.Error());
    if (!file.Write(selectionList.records, sizeof(SelectionRecord) * static_cast<std::size_t>(n)) || !file.Commit())
        return Unwritten(path, "Can't write data.", file.Error());
    keptLists.erase(path);
    return 1;
}

int ReopenChosenUserCatalog() {
    if (chosenUserCatalog.empty()) return 0;
    std::error_code ec;
    if (!fs::is_regular_file(platform::ResolveInFolder("usercatalogs", chosenUserCatalog), ec)) return 0;
    return OpenDb(userObjectDb, kCreatorUserObjects, kTypeCodeQvn1, 1, "", chosenUserCatalog);
}

int LoadUserList(const char* fileName, int mode) {
    if (!IsPlainFileName(fileName)) return 0;
    switch (mode) {
    case 0:
        return LoadListFile(fileName);
    case 1:
        return ChooseUserCatalog(fileName);
    case 2:
        return InstallUserDatabase(fileName, kCreatorLocations, kLocationRecordSize, kLocationFile, "a location list");
    case 3:
        return InstallUserDatabase(fileName, kCreatorEyepieces, kEyepieceRecordSize, kEyepieceFile, "an eyepiece list");
    default:
        return 0;
    }
}
