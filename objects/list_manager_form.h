#pragma once
// The list manager (form 1050, "ListManager"): the stored files of one kind, observing
// lists (userlists/*.lst), user catalogs (*.ppc), location lists (*.loc), eyepiece lists
// (*.eyp) and observer-log texts (*.txt) of usercatalogs/, listed in the folder's order;
// Load, Save (observing lists), Delete, and the import of a file of the kind by name (@).
// The kind and the chosen row are kept for the run.
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kListManagerFormId = 1050;

namespace list_manager {
constexpr int kTitle = 8012;
constexpr int kFiles = 1051;
constexpr int kName = 1052;
constexpr int kDate = 1053;
constexpr int kTime = 1054;
constexpr int kBack = 1055;
constexpr int kLoad = 1056;
constexpr int kSave = 1057;
constexpr int kDelete = 1058;
constexpr int kInfo = 1059;
constexpr int kImport = 1060;
constexpr int kKindPopup = 1061;
constexpr int kKindList = 1062;
constexpr int kNameLabel = 138;
constexpr int kDateLabel = 140;
constexpr int kHelpLine = 142;
}  // namespace list_manager

// The kinds: 0 observing lists, 1 user catalogs, 2 location lists, 3 eyepiece lists,
// 4 observer logs.
enum ListManagerKind { kListsKind = 0, kUserCatalogsKind, kLocationsKind, kEyepiecesKind, kLogsKind };

// The kind the form shows when it opens next (the chart's "Load/Save List" and "Load
// Catalog" rows set it).
void SetListManagerMode(int kind);
int GetListManagerMode();

platform::LResult ListManager(platform::Window dialog, unsigned message, platform::WParam wParam,
                              platform::LParam lParam);

// The form's steps, for the tests: the files of the kind shown, and a command by id.
const std::vector<std::string>& ListManagerFiles();
int ListManagerCommand(int id);
