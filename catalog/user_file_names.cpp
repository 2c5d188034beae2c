#include "catalog/user_file_names.h"

#include <system_error>

std::string SafeFileName(std::string_view text, std::string_view fallback, std::size_t maxLength) {
    std::string name;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || u < 0x20 || u == 0x7f) continue;
        name += c;
    }
    for (std::size_t at; (at = name.find("..")) != std::string::npos;) name.erase(at, 2);
    const std::size_t first = name.find_first_not_of(". ");
    name.erase(0, first == std::string::npos ? name.size() : first);
    if (name.size() > maxLength) name.resize(maxLength);
    const std::size_t last = name.find_last_not_of(' ');
    name.erase(last == std::string::npos ? 0 : last + 1);
    return name.empty() ? std::string(fallback) : name;
}

std::filesystem::path UnusedFileName(const std::filesystem::path& folder, const std::string& stem,
                                     const std::string& extension) {
    std::error_code ec;
    std::filesystem::path path = folder / (stem + extension);
    for (int n = 2; std::filesystem::exists(std::filesystem::symlink_status(path, ec)); ++n)
        path = folder / (stem + "_" + std::to_string(n) + extension);
    return path;
}
