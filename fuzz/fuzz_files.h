#pragma once
// What the harnesses share: a private scratch folder per fuzzing process, set as both the
// home and the install root so that every file the code under test writes stays in it,
// and a writer of the fuzzer's bytes into a file there.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/paths.h"

namespace fuzz {

inline const std::filesystem::path& Scratch() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velkarion-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        std::filesystem::path p(pattern);
        std::filesystem::create_directories(p / "home");
        std::filesystem::create_directories(p / "install" / "data");
        platform::SetHomeRoot(p / "home");
        platform::SetInstallRoot(p / "install");
        // Removed when the fuzzer ends normally; a crash leaves it for a look.
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(Scratch(), ec);
        });
        return p;
    }();
    return folder;
}

inline void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace fuzz
