// The resource text: dialog layouts, menus, strings, accelerators and the bitmap manifest
// are parsed from text files; any text gives entries or problems, never a fault.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::DialogLayout layout;
    std::string error;
    if (platform::ParseDialogLayout(text, &layout, &error)) {
        platform::RegisterDialogLayout(layout);
        platform::FindDialogLayout(layout.id);
    }
    std::vector<std::string> problems;
    platform::ParseMenus(text, &problems);
    platform::ParseStrings(text, &problems);
    platform::ParseAccelerators(text, &problems);
    platform::ParseBitmapManifest(text, &problems);
    platform::ClearResources();
    return 0;
}
