#include "support/golden_screen.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "platform/headless.h"
#include "platform/picture.h"
#include "platform/surface.h"

#ifndef VELKARION_FREETYPE_VERSION
#error "the build passes FreeType's version as VELKARION_FREETYPE_VERSION"
#endif

namespace fs = std::filesystem;

namespace {

constexpr char kVersionsFile[] = "GOLDEN_VERSIONS";
// The face the program's text is drawn with (the bold face comes from the same package).
constexpr char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Versions {
    std::string freetype;
    std::string dejavu;
};

std::string RuntimeFreeTypeVersion() {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return {};
    FT_Int major = 0, minor = 0, patch = 0;
    FT_Library_Version(lib, &major, &minor, &patch);
    FT_Done_FreeType(lib);
    return std::to_string(major) + "." + std::to_string(minor) + "." + std::to_string(patch);
}

// The version in the font's name table ("Version 2.37" gives "2.37"); empty when unreadable.
std::string FontVersion(const char* path) {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) return {};
    std::string version;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, path, 0, &face) == 0) {
        const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
        for (FT_UInt i = 0; i < count && version.empty(); ++i) {
            FT_SfntName name;
            if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != TT_NAME_ID_VERSION_STRING) continue;
            if (name.platform_id == TT_PLATFORM_MACINTOSH) {
                version.assign(reinterpret_cast<const char*>(name.string), name.string_len);
            } else if (name.platform_id == TT_PLATFORM_MICROSOFT) {
                // UTF-16 big-endian; a version string is plain ASCII.
                for (FT_UInt k = 1; k < name.string_len; k += 2) version += static_cast<char>(name.string[k]);
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    if (version.rfind("Version ", 0) == 0) version.erase(0, 8);
    return version;
}

Versions CurrentVersions() {
    Versions v;
    v.freetype = VELKARION_FREETYPE_VERSION;
    // FindFreetype leaves the version empty when it cannot read the headers; the library
    // says it too.
    if (v.freetype.empty()) v.freetype = RuntimeFreeTypeVersion();
    v.dejavu = FontVersion(kDejaVuSans);
    return v;
}

Versions RecordedVersions(const fs::path& folder) {
    Versions v;
    std::ifstream in(folder / kVersionsFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string key, value;
        if (!(words >> key >> value) || key[0] == '#') continue;
        if (key == "freetype") v.freetype = value;
        else if (key == "dejavu-sans") v.dejavu = value;
    }
    return v;
}

bool WriteVersions(const fs::path& folder, const Versions& v) {
    std::ofstream out(folder / kVersionsFile, std::ios::trunc);
    out << "# The golden pictures of this folder were drawn with these. A picture that differs\n"
           "# while these differ from the build's may show a font change, not a drawing fault.\n"
        << "freetype " << v.freetype << "\n"
        << "dejavu-sans " << v.dejavu << "\n";
    return static_cast<bool>(out);
}

std::string Shown(const std::string& version) { return version.empty() ? "unknown" : version; }

// A note for the failure message when the pictures were drawn with other versions.
std::string VersionNote(const fs::path& folder) {
    const Versions now = CurrentVersions();
    const Versions then = RecordedVersions(folder);
    if (then.freetype.empty() && then.dejavu.empty())
        return "\nNo " + std::string(kVersionsFile) + " beside the golden: the versions it was drawn with are unknown.";
    if (now.freetype == then.freetype && now.dejavu == then.dejavu) return {};
    return "\nThe golden was drawn with FreeType " + Shown(then.freetype) + " and DejaVu Sans " + Shown(then.dejavu) +
           "; this build has FreeType " + Shown(now.freetype) + " and DejaVu Sans " + Shown(now.dejavu) +
           ": the difference may come from the fonts rather than the drawing.";
}

fs::path FailureFolder() {
    const char* named = std::getenv("VELKARION_GOLDEN_OUT");
    fs::path folder = named && *named ? fs::path(named) : fs::current_path() / "golden_failures";
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::absolute(folder, ec);
}

bool Excluded(const std::vector<platform::Rect>& excluded, int x, int y) {
    return std::any_of(excluded.begin(), excluded.end(),
                       [x, y](const platform::Rect& r) { return r.Contains(platform::Point{x, y}); });
}

constexpr std::uint16_t kColourBits = 0x7FFF;
constexpr std::uint16_t kMagenta = 0x7C1F;

// Each channel of a 5-5-5 pixel at a quarter, plus a blue tint for the left-out areas.
std::uint16_t Dimmed(std::uint16_t p, bool tinted) {
    const int r = ((p >> 10) & 31) / 4, g = ((p >> 5) & 31) / 4, b = (p & 31) / 4;
    return static_cast<std::uint16_t>(r << 10 | g << 5 | (tinted ? std::min(31, b + 12) : b));
}

}  // namespace

void ExpectScreenLike(const fs::path& file, const std::vector<platform::Rect>& excluded) {
    const platform::Surface& frame = platform::headless::Frame();
    if (std::getenv("VELKARION_UPDATE_GOLDEN")) {
        fs::create_directories(file.parent_path());
        ASSERT_TRUE(platform::SavePng(frame, file)) << file;
        ASSERT_TRUE(WriteVersions(file.parent_path(), CurrentVersions())) << file.parent_path() / kVersionsFile;
        return;
    }
    const fs::path out = FailureFolder();
    const std::string name = file.stem().string();
    const fs::path actual = out / (name + ".actual.png");
    const fs::path diff = out / (name + ".diff.png");

    platform::Surface golden;
    if (!platform::LoadPicture(file, &golden)) {
        platform::SavePng(frame, actual);
        ADD_FAILURE() << "cannot read the golden " << file << "\nthe screen: " << actual;
        return;
    }
    if (golden.width != frame.width || golden.height != frame.height) {
        platform::SavePng(frame, actual);
        ADD_FAILURE() << file.filename() << " is " << golden.width << "x" << golden.height << ", the screen "
                      << frame.width << "x" << frame.height << "\nthe screen: " << actual;
        return;
    }

    platform::Surface mask = platform::MakeSurface(frame.width, frame.height);
    long differ = 0;
    platform::Rect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const std::uint16_t want = golden.Row(y)[x] & kColourBits;
            const bool left = Excluded(excluded, x, y);
            const bool different = !left && (frame.Row(y)[x] & kColourBits) != want;
            mask.Row(y)[x] = different ? kMagenta : Dimmed(want, left);
            if (!different) continue;
            ++differ;
            box = platform::Rect{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                                 std::max(box.bottom, y + 1)};
        }
    }
    if (differ == 0) return;
    const bool saved = platform::SavePng(frame, actual) && platform::SavePng(mask, diff);
    ADD_FAILURE() << file.filename() << ": " << differ << " pixels differ, within (" << box.left << "," << box.top
                  << ")-(" << box.right << "," << box.bottom << ")"
                  << "\nthe screen:      " << actual << "\nthe differences: " << diff
                  << (saved ? "" : "\n(writing them failed)") << VersionNote(file.parent_path());
}
