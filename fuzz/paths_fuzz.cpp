// Paths: a name from a list, an import file or the user, mapped into the folder it is
// meant for, never lands outside it; program paths never climb out of their root.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "fuzz_files.h"

namespace {

bool Inside(const std::filesystem::path& p, const std::filesystem::path& root) {
    const std::string s = p.lexically_normal().string(), r = root.lexically_normal().string();
    return s.compare(0, r.size(), r) == 0 && (s.size() == r.size() || s[r.size()] == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& scratch = fuzz::Scratch();
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    // The name as the path of a file, cut at a NUL as the system would read it.
    const std::filesystem::path inFolder = platform::ResolveInFolder("userlists", name);
    if (!Inside(std::filesystem::path(inFolder.c_str()), scratch / "home" / "userlists")) std::abort();

    const std::filesystem::path resolved = platform::ResolvePath(name);
    const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
    if (!absolute && !Inside(std::filesystem::path(resolved.c_str()), scratch / "home") &&
        !Inside(std::filesystem::path(resolved.c_str()), scratch / "install"))
        std::abort();
    platform::ResolveInstallPath(name);
    platform::EqualNoCase(name, "data");
    return 0;
}
