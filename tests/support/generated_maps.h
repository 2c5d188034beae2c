#pragma once
// A resource folder like the program's for the screens that draw the world maps and the
// Earth globe: every shipped resource linked in, and small one-colour pictures in place of
// the maps that set-up generates (the world map 6010, the globe halves 6042/6043 and
// 6044/6045). Point VELKARION_RESOURCES at it before the resources are loaded.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/surface.h"

struct GeneratedMapColours {
    std::uint16_t worldMap;     // 6010
    std::uint16_t globe;        // 6042, 6043
    std::uint16_t smallGlobe;   // 6044, 6045
};

// One picture of one colour as generated/<id>.png of the resource folder `root`.
inline void WriteGeneratedPicture(const std::filesystem::path& root, int id, int width, int height,
                                  std::uint16_t colour) {
    platform::Surface s = platform::MakeSurface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) s.Row(y)[x] = colour;
    ASSERT_TRUE(platform::SavePng(s, root / "bitmaps" / "generated" / (std::to_string(id) + ".png")));
}

inline std::filesystem::path MakeResourcesWithMaps(const std::filesystem::path& root, const GeneratedMapColours& c) {
    namespace fs = std::filesystem;
    const fs::path real = platform::ResourcesFolder();
    fs::create_directories(root / "bitmaps" / "generated");
    for (const fs::directory_entry& e : fs::directory_iterator(real)) {
        if (e.path().filename() == "bitmaps") continue;
        fs::create_symlink(e.path(), root / e.path().filename());
    }
    for (const fs::directory_entry& e : fs::directory_iterator(real / "bitmaps")) {
        if (e.path().filename() == "generated") continue;
        fs::create_symlink(e.path(), root / "bitmaps" / e.path().filename());
    }
    auto write = [&](int id, int w, int h, std::uint16_t colour) { WriteGeneratedPicture(root, id, w, h, colour); };
    write(6010, 240, 120, c.worldMap);
    write(6042, 460, 460, c.globe);
    write(6043, 460, 460, c.globe);
    write(6044, 230, 230, c.smallGlobe);
    write(6045, 230, 230, c.smallGlobe);
    return root;
}
