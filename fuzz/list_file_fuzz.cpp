// Observing-list files: any bytes in a ".lst" file load into the selection list or leave it
// as it was, never past its end; the list then saves and loads back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "catalog/selection_list.h"
#include "catalog/user_lists.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    if (!selectionList.records && !AllocSelectionList()) std::abort();
    fuzz::WriteBytes(scratch / "home" / "userlists" / "f.lst", data, size);

    const int before = selectionList.recordCount;
    if (LoadUserList("f.lst", 0)) {
        const int n = selectionList.recordCount;
        if (n < 0 || n >= selectionList.capacity || selectionList.records[n].objectNumber != -1) std::abort();
        for (int i = 0; i < n; ++i)
            if (std::memchr(selectionList.records[i].label, 0, sizeof selectionList.records[i].label) == nullptr)
                std::abort();
        // What was loaded saves whole and loads back the same.
        if (n > 0) {
            if (!SaveUserList("g")) std::abort();
            if (!LoadUserList("g.lst", 0) || selectionList.recordCount != n) std::abort();
        }
    } else if (selectionList.recordCount != before) {
        std::abort();  // a list that fails to load leaves the previous one
    }
    // An automatic save never writes over the file just read when it was cut or damaged.
    SaveUserList("f", ListSave::Automatic);
    return 0;
}
