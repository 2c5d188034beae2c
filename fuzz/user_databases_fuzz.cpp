// The user databases the List Manager chooses: any bytes as "usercatalogs/f.ppc" (the user
// objects), "f.loc" (the locations) or "f.eyp" (the eyepieces) load or are refused with a
// message; what loads reads back record by record within its count, with terminated texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "catalog/databases.h"
#include "catalog/locations.h"
#include "catalog/oculars.h"
#include "catalog/user_lists.h"
#include "core/report.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    if (size < 1) return 0;
    const int mode = 1 + data[0] % 3;  // 1 user objects, 2 locations, 3 eyepieces
    static const char* kNames[] = {"f.ppc", "f.loc", "f.eyp"};
    const std::string name = kNames[mode - 1];
    fuzz::WriteBytes(scratch / "home" / "usercatalogs" / name, data + 1, size - 1);
    const int loaded = LoadUserList(name.c_str(), mode);
    if (loaded && mode == 1) {
        const int count = GetUserObjectCount();
        if (count < 0) std::abort();
        for (int i = 0; i < count && i < 64; ++i) {
            ObjectRef object;
            if (GetUserObject(i, &object) && !std::memchr(object.name, 0, sizeof object.name)) std::abort();
        }
        CloseUserObjectDb();
    } else if (loaded && mode == 2 && OpenLocationDb()) {
        const int count = CountLocationRecords();
        for (int i = 0; i < count && i < 64; ++i) {
            LocationRecord location;
            if (ReadOpenLocation(i, &location) && !std::memchr(location.town, 0, sizeof location.town)) std::abort();
        }
        CloseLocationDb();
    } else if (loaded && mode == 3) {
        const int count = CountEyepieceRecords();
        for (int i = 0; i < count && i < 64; ++i) {
            float field = 0, focal = 0;
            char label[40];
            std::memset(label, 'k', sizeof label);
            if (GetEyepieceByIndex(i, &field, &focal, label, sizeof label) && !std::memchr(label, 0, sizeof label))
                std::abort();
        }
        CloseEyepieceDb();
    }
    ClearRecordedReports();
    return 0;
}
