#include "catalog/user_lists.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/time_scales.h"
#include "catalog/byte_order.h"
#include "catalog/selection_list.h"
#include "core/observing_time.h"
#include "platform/paths.h"
#include "core/report.h"

static_assert(std::endian::native == std::endian::little,
              "list files hold the selection records exactly as they are in memory");

namespace {

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

}  // namespace

int LoadUserList(const char* fileName, int mode) {
    if (mode != 0 || !IsPlainFileName(fileName) || !selectionList.records || selectionList.capacity < 1) return 0;
    std::FILE* f = std::fopen(platform::ResolvePath(std::string("userlists\\") + fileName).c_str(), "rb");
    if (!f) return 0;

    std::uint8_t header[kUserListHeaderSize];
    if (std::fread(header, 1, sizeof header, f) != sizeof header) {
        std::fclose(f);
        ShowMessage("Can't read header.", "");
        return 0;
    }
    int n = le::I32(header, 64);
    if (n < 0) n = 0;
    if (n >= selectionList.capacity) n = selectionList.capacity - 1;

    selectionCriteria.year = static_cast<std::int16_t>(le::I32(header, 44));
    selectionCriteria.month = static_cast<std::int16_t>(le::I32(header, 48));
    selectionCriteria.day = static_cast<std::int16_t>(le::I32(header, 52));
    selectionCriteria.hour = static_cast<std::int16_t>(le::I32(header, 56));
    selectionCriteria.minute = static_cast<std::int16_t>(le::I32(header, 60));
    selectionList.indexCount = n;
    selectionList.recordCount = n;
    selectionList.currentPosition = 0;

    const std::size_t got = std::fread(selectionList.records, sizeof(SelectionRecord), static_cast<std::size_t>(n), f);
    std::fclose(f);
    if (got != static_cast<std::size_t>(n)) {
        ShowMessage("Can't read data.", "");
        return 0;
    }
    selectionList.records[n].objectNumber = -1;
    RebuildIndex(n);
    return 1;
}

int SaveUserList(const char* name) {
    if (selectionList.recordCount < 1 || !selectionList.records || !IsPlainFileName(name)) return 0;
    const int n = std::min(selectionList.recordCount, selectionList.capacity);

    std::uint8_t header[kUserListHeaderSize] = {};
    std::strncpy(reinterpret_cast<char*>(header + 4), name, 39);
    le::PutI32(header, 44, selectionCriteria.year);
    le::PutI32(header, 48, selectionCriteria.month);
    le::PutI32(header, 52, selectionCriteria.day);
    le::PutI32(header, 56, selectionCriteria.hour);
    le::PutI32(header, 60, selectionCriteria.minute);
    le::PutI32(header, 64, n);

    const auto path = platform::ResolvePath(std::string("userlists\\") + name + ".lst");
    if (!platform::EnsureParentFolders(path)) return 0;
    platform::AtomicFile file(path);
    if (!file.Ok()) return 0;
    if (!file.Write(header, sizeof header)) {
        ShowMessage("Can't write header.", "");
        return 0;
    }
    if (!file.Write(selectionList.records, sizeof(SelectionRecord) * static_cast<std::size_t>(n)) || !file.Commit()) {
        ShowMessage("Can't write data.", "");
        return 0;
    }
    return 1;
}

int ImportUserObjects() {
    CopyObservingDateToCriteria();
    // No user-object text is fetched yet, and an empty text imports nothing.
    return 0;
}

int ExportUserObjects() {
    ShowMessage("0 Object exported.\n", "");
    return 1;
}
