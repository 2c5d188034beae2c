#pragma once
// The program's resources, read from text files of our own under resources/ (see
// resources/README.md): dialog layouts, menus, the string table, accelerator tables and
// the bitmap manifest.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"
#include "platform/window.h"

namespace platform {

// ---- Dialog layouts --------------------------------------------------------------------

// Layout flags (besides the style bits of platform/window.h).
constexpr std::uint32_t kLayoutHidden = 1u << 0;
constexpr std::uint32_t kLayoutDisabled = 1u << 1;

struct ControlLayout {
    WindowKind kind = WindowKind::Static;
    std::uint16_t id = 0;
    std::string text;          // Windows-1252
    Rect rect;                 // design pixels of the 240 x 320 screen, dialog coordinates
    std::uint32_t style = 0;   // kStyle... bits
    std::uint32_t flags = 0;   // kLayout... bits
};

struct DialogLayout {
    int id = 0;
    std::string caption;       // Windows-1252
    Rect rect{0, 0, 240, 320}; // design pixels, screen coordinates
    std::uint32_t flags = 0;   // kLayoutHidden: not shown at creation
    std::vector<ControlLayout> controls;
};

// Parses the text of one layout file. On failure returns false with `error` naming the
// line.
bool ParseDialogLayout(std::string_view text, DialogLayout* out, std::string* error);
// Adds or replaces a layout (tests make theirs this way).
void RegisterDialogLayout(const DialogLayout& layout);
void ForgetDialogLayout(int id);
// Null when there is no layout with the id.
const DialogLayout* FindDialogLayout(int id);
// Reads every *.dlg file of a folder (not its subfolders); returns how many were read.
int LoadDialogFolder(const std::filesystem::path& folder);

// ---- Menus -------------------------------------------------------------------------------

struct MenuItem {
    std::uint16_t command = 0;
    std::string text;          // as written, "&&" included; empty for a separator
    bool separator = false;
};
struct MenuPopup {
    int titleString = 0;       // string table id of the title
    std::string title;         // the title, from the string table
    std::vector<MenuItem> items;
};
struct Menu {
    int id = 0;
    std::vector<MenuPopup> popups;
};
const Menu* FindMenu(int id);

// ---- Strings and accelerators --------------------------------------------------------

// Empty when the string does not exist.
std::string LoadString(int id);
bool HasString(int id);
const AcceleratorTable* FindAccelerators(int id);

// ---- Bitmap manifest ---------------------------------------------------------------------

struct BitmapEntry {
    int id = 0;
    std::string file;          // relative to resources/bitmaps
    int width = 0;             // design pixels
    int height = 0;
    bool hasKey = false;
    Color key = 0;             // transparent colour when hasKey
    std::vector<std::string> users;  // the subsystems that draw it
};
const BitmapEntry* FindBitmapEntry(int id);
const std::vector<BitmapEntry>& BitmapEntries();
// The full path of a bitmap's picture file; empty when the id is unknown.
std::filesystem::path BitmapPath(int id);

// ---- Loading -----------------------------------------------------------------------------

// The resources folder: $VELKARION_RESOURCES, else "resources" in the install root
// (paths.h: beside the program in a build tree, ../share/velkarion when installed).
std::filesystem::path ResourcesFolder();
// Reads everything from the folder (default: ResourcesFolder()). Files that are missing
// leave their part empty; malformed entries are skipped and described in `problems`.
// Returns false when the folder does not exist.
bool LoadResources(const std::filesystem::path& folder = {}, std::vector<std::string>* problems = nullptr);
// Forgets everything loaded or registered.
void ClearResources();

// Parsers of the single files, for tests and tools; they add to what is loaded.
bool ParseMenus(std::string_view text, std::vector<std::string>* problems);
bool ParseStrings(std::string_view text, std::vector<std::string>* problems);
bool ParseAccelerators(std::string_view text, std::vector<std::string>* problems);
bool ParseBitmapManifest(std::string_view text, std::vector<std::string>* problems);

}  // namespace platform
