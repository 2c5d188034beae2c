#include "objects/list_manager_form.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "catalog/text_import.h"
#include "catalog/user_file_names.h"
#include "catalog/user_lists.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "objects/objects_services.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace list_manager;
namespace fs = std::filesystem;

namespace {

struct KindInfo {
    const char* popupText;
    const char* folder;
    const char* extension;
    const char* defaultName;
    int loadForm;
    const char* help;
    const char* helpDetail;
};

constexpr int kListForm = 1800;
constexpr int kLocationListForm = 1600;
constexpr int kEyepieceSettingsForm = 1450;
constexpr int kObserverLogForm = 2600;

const KindInfo kKinds[5] = {
    {"Lists", "userlists", ".lst", "<New list name>", kListForm,
     "\x95 ill the name of your current list then press Save button to keep it.\n\x95 To remove an old list use Del "
     "button.",
     "\x95 To Reuse a previous one, select it then press Load button."},
    {"User Catalogs", "usercatalogs", ".ppc", "user_object", kListForm,
     "\x95 To import your own custom text based catalog:\n- Upload the catalog (objects.txt for example) at the url "
     "indicated in preference 7/7 download data,\n- Type the catalog Name without .txt (i.e objects),\n- Then press the "
     "@ button.",
     ""},
    {"User Locations", "usercatalogs", ".loc", "location_list", kLocationListForm,
     "\x95 To import your own text based location list:\n- Upload the file (locations.txt for example) at the url "
     "indicated in preference 7/7 download data,\n- Type the file Name without .txt (i.e locations),\n- Then press the "
     "@ button.",
     ""},
    {"User Eyepieces", "usercatalogs", ".eyp", "eyepiece_list", kEyepieceSettingsForm,
     "\x95 To import your own eyepieces list:\n- Upload the file (eyepieces.txt for example) at the url indicated in "
     "preference 7/7 download data,\n- Type the file Name without .txt (i.e eyepieces),\n- Then press the @ button.",
     ""},
    {"User Logs", "usercatalogs", ".txt", "log_list", kObserverLogForm,
     "\x95 To import your own logs:\n- Upload the file (logs.txt for example) at the url indicated in preference 7/7 "
     "download data,\n- Type the file Name without .txt (i.e logs),\n- Then press the @ button.",
     ""},
};

int listManagerMode = kListsKind;
int listManagerRow = -1;
std::vector<std::string> files;
Window managerWindow;
bool formPrepared = false;

std::int32_t* Redraw() { return FormRedrawFlag(kListManagerFormId); }

const KindInfo& Kind() { return kKinds[std::clamp(listManagerMode, 0, 4)]; }

fs::path KindFile(const std::string& name) { return platform::ResolveInFolder(Kind().folder, name); }

bool FormShown() { return platform::IsWindow(managerWindow); }

void ShowIf(int id, bool show) {
    if (!FormShown()) return;
    if (show) ShowObject(managerWindow, id);
    else HideObject(managerWindow, id);
}

std::string FieldText(int id, int characters) {
    char text[80] = {};
    if (FormShown()) GetField(id, text, std::min<int>(characters + 1, sizeof text));
    return text;
}

void ShowDateTime(int day, int month, int year, int hour, int minute) {
    char text[40];
    FormatDate(text, day, month, year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
    SetField(kTime, text);
}

// The files of the kind, sorted by name, into the list; the kind's controls shown.
void Fill() {
    const KindInfo& kind = Kind();
    const fs::path folder = platform::ResolveInFolder(kind.folder, "");
    std::error_code ec;
    fs::create_directories(folder, ec);
    files.clear();
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!it->is_regular_file(ec) || name.size() < std::strlen(kind.extension)) continue;
        if (name.compare(name.size() - std::strlen(kind.extension), std::string::npos, kind.extension) != 0) continue;
        files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    if (!FormShown()) return;
    const bool lists = listManagerMode == kListsKind;
    SetField(kName, kind.defaultName);
    if (lists) {
        const SelectionCriteria& c = selectionCriteria;
        ShowDateTime(c.day, c.month, c.year, c.hour, c.minute);
    } else {
        SetField(kHelpLine, "\x95 Type the file name without .txt, then press @.");
    }
    for (int id : {kDate, kTime, kSave, kDateLabel, kDateLabel + 1}) ShowIf(id, lists);
    for (int id : {kImport, kHelpLine}) ShowIf(id, !lists);
    ShowIf(kDelete, true);

    std::vector<const char*> texts;
    for (const auto& f : files) texts.push_back(f.c_str());
    FillList(platform::GetDialogItem(managerWindow, kFiles), texts.data(), static_cast<int>(texts.size()));
    listManagerRow = std::min(listManagerRow, static_cast<int>(files.size()) - 1);
    SetListSelection(kFiles, listManagerRow);
}

bool RowChosen() { return listManagerRow >= 0 && listManagerRow < static_cast<int>(files.size()); }

// A row of an observing list shows the list's own name, date and time.
void ShowListHeader(const std::string& file) {
    const fs::path path = KindFile(file);
    FileHandle f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        ShowMessage("Can't open file.", path.string().c_str());
        return;
    }
    std::uint8_t header[kUserListHeaderSize];
    if (std::fread(header, 1, sizeof header, f.get()) != sizeof header) {
        ShowMessage("Can't read header.", path.string().c_str());
        return;
    }
    char name[41];
    le::Text(header, 4, 40, name);
    SetField(kName, name);
    ShowDateTime(le::I32(header, 52), le::I32(header, 48), le::I32(header, 44), le::I32(header, 56), le::I32(header, 60));
}

void TapRow() {
    listManagerRow = GetListSelection(kFiles);
    if (!RowChosen()) return;
    const std::string& file = files[static_cast<std::size_t>(listManagerRow)];
    if (listManagerMode == kListsKind) {
        ShowListHeader(file);
        return;
    }
    SetField(kName, (file.size() > 4 ? file.substr(0, file.size() - 4) : file).c_str());
}

void Load() {
    if (!RowChosen()) return;
    const std::string& file = files[static_cast<std::size_t>(listManagerRow)];
    // A list that did not load (damaged, or a file of another kind) keeps the user here
    // with its message rather than opening a form on the old contents.
    if (LoadUserList(file.c_str(), listManagerMode) == 0 && listManagerMode != kLogsKind) return;
    DropFormHistory();
    if (listManagerMode == kUserCatalogsKind) RunObjectSelection(0, kCatalogUser, 0);
    GotoForm(Kind().loadForm);
}

void Save() {
    if (selectionList.indexCount < 1) {
        ShowMessage("Please select at least one object", "");
        return;
    }
    // The hint the field shows ("<New list name>") is not a name.
    std::string typed = FieldText(kName, 35);
    if (typed == Kind().defaultName && typed.starts_with('<')) typed.clear();
    const std::string name = SafeFileName(typed, "list", 35);
    SaveUserList(name.c_str());
    Fill();
}

void Delete() {
    if (!RowChosen()) return;
    std::error_code ec;
    const fs::path path = KindFile(files[static_cast<std::size_t>(listManagerRow)]);
    if (!fs::remove(path, ec) && ec) ShowMessage("Can't delete file.", (path.string() + "\n" + ec.message()).c_str());
    Fill();
}

void Import() {
    if (listManagerMode == kListsKind) {
        if (ImportUserObjects()) GotoForm(kListForm);
        return;
    }
    const std::string name = FieldText(kName, 64);
    switch (listManagerMode) {
    case kUserCatalogsKind: DownloadUserCatalog(1, name.c_str()); break;
    case kLocationsKind: DownloadLocations(1, name.c_str()); break;
    case kEyepiecesKind: DownloadEyepieces(1, name.c_str()); break;
    default: DownloadObserverLogs(1, name.c_str()); break;
    }
    Fill();
}

void DrawListManager() {
    PushFormHistory(kListManagerFormId);
    if (formPrepared) return;
    formPrepared = true;
    Fill();
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "ListManager");
    InitButton(w, kInfo, -1, 0, 0);
    for (int id : {kBack, kLoad, kSave, kDelete, kImport}) InitButton(w, id, -1, 0, 0);
    for (int k = 4; k >= 0; --k) AppendListItem(w, kKindList, kKinds[k].popupText);
    InitPopupList(w, kKindPopup, kKindList, -1, 0, listManagerMode);
    InitList(w, kFiles, -1, -1, 1);
    for (int id : {kName, kDate, kTime}) InitField(w, id, 0);
    for (int id = kNameLabel; id <= kHelpLine; ++id) InitLabel(w, id);
}

void Release(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kKindPopup, kFiles, kName, kDate, kTime, kBack, kLoad, kSave, kDelete, kImport})
        ReleaseControl(w, id);
    for (int id = kNameLabel; id <= kHelpLine; ++id) ReleaseControl(w, id);
    if (managerWindow == w) managerWindow = Window{};
    formPrepared = false;
}

}  // namespace

void SetListManagerMode(int kind) { listManagerMode = std::clamp(kind, 0, 4); }
int GetListManagerMode() { return listManagerMode; }
const std::vector<std::string>& ListManagerFiles() { return files; }

int ListManagerCommand(int id) {
    switch (id) {
    case kFiles: TapRow(); return 1;
    case kLoad: Load(); return 1;
    case kSave: Save(); return 1;
    case kDelete: Delete(); return 1;
    case kImport: Import(); return 1;
    case kInfo: ShowMessage(Kind().help, Kind().helpDetail); return 1;
    case kKindList: {
        const int row = GetListSelection(kKindList);
        if (row < 0 || row > 4) return 1;
        listManagerMode = row;
        SetPopupList(kKindPopup, kKindList, row);
        Fill();
        return 1;
    }
    case 1:
    case kBack: GoBackForm(); return 1;
    default: return 0;
    }
}

LResult ListManager(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result))
        return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        managerWindow = w;
        formPrepared = false;
        SetListChartFlag(0);
        SelectionCriteria& c = selectionCriteria;
        if (c.year == 0) {
            int year, month, day, hour, minute, second;
            GetLocalDateTime(&year, &month, &day, &hour, &minute, &second);
            c.year = static_cast<std::int16_t>(year), c.month = static_cast<std::int16_t>(month);
            c.day = static_cast<std::int16_t>(day), c.hour = static_cast<std::int16_t>(hour);
            c.minute = static_cast<std::int16_t>(minute);
        }
        InitFormWindow(w);
        MakeControls(w);
        *Redraw() = 1;
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &DrawListManager, Redraw(), 1, 0);
        return 1;
    case platform::kMsgClose:
        Release(w);
        return 0;
    case kMsgFieldTap:
        if (platform::LowWord(wParam) == kName) {
            SaveScreen();
            EditTextDialog(w, kName, "Name:", (listManagerMode == kListsKind ? 35 : 64) + 1);
        }
        return 1;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id == kCmdCloseForm) {
            Release(w);
            CloseForm(kListManagerFormId);
            return 1;
        }
        if (id == kKindPopup) return ListManagerCommand(platform::HighWord(wParam));
        return ListManagerCommand(id);
    }
    default:
        return 0;
    }
}
