// The text imports of every kind from the "import" folder: user catalogs, eyepiece lists,
// location lists, observer logs and the memo list. Any bytes import or are refused; a
// download that reports success leaves a user file that opens and holds no more records
// than the text had lines (or the old one, when no line was good), and one that fails
// leaves the old file as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/data_service.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/text_import.h"
#include "core/report.h"
#include "fuzz_files.h"
#include "platform/paths.h"

namespace {

std::vector<std::uint8_t> Read(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    platform::ReadWholeFile(path, bytes);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    if (size < 1) return 0;
    const int kind = data[0] % 5;
    fuzz::WriteBytes(scratch / "home" / "import" / "f.txt", data + 1, size - 1);
    fuzz::WriteBytes(scratch / "home" / "import" / "user_object.txt", data + 1, size - 1);
    std::size_t lines = 1;
    for (std::size_t i = 1; i < size; ++i)
        if (data[i] == '\n' || data[i] == '\r') ++lines;

    static const char* kExtensions[] = {".ppc", ".eyp", ".loc"};
    const std::filesystem::path file = scratch / "home" / "usercatalogs" / (std::string("f") + kExtensions[kind % 3]);
    const std::vector<std::uint8_t> before = Read(file);
    int result = 0;
    switch (kind) {
    case 0: result = DownloadUserCatalog(kSourceImportFolder, "f"); break;
    case 1: result = DownloadEyepieces(kSourceImportFolder, "f"); break;
    case 2: result = DownloadLocations(kSourceImportFolder, "f"); break;
    case 3: DownloadObserverLogs(kSourceImportFolder, "f"); return 0;
    default:
        if (!selectionList.records && !AllocSelectionList()) std::abort();
        ImportUserObjects();
        if (selectionList.indexCount < 0 || selectionList.indexCount >= selectionList.capacity) std::abort();
        return 0;
    }
    if (kind > 2) return 0;
    RecordFileImage image;
    if (result == 1) {
        // Replaced by the text's good lines, or left as it was when it had none.
        if (!ReadRecordFileImage(file, image)) std::abort();
        if (image.Count() > lines && Read(file) != before) std::abort();
    } else if (!before.empty() && Read(file) != before) {
        std::abort();  // a failed download keeps the old list
    }
    ClearRecordedReports();
    return 0;
}
