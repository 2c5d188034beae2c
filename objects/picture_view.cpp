#include "objects/picture_view.h"

#include <cstdio>
#include <cstring>

#include "catalog/designations.h"
#include "catalog/selection_list.h"
#include "objects/object_pictures.h"
#include "platform/gfx_context.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"

namespace {

// Entries of the observing list as the list shows them (its index).
int ListCount() {
    if (!selectionList.records || !selectionListPtr || selectionList.indexCount <= 0) return 0;
    return selectionList.indexCount < selectionList.capacity ? selectionList.indexCount : selectionList.capacity;
}

// The picture name of entry k: a Caldwell entry (group 3) by its catalog designation, the
// others by their label.
const SelectionRecord* Entry(int k, char* name, std::size_t size) {
    const SelectionRecord* r = selectionListPtr[k];
    if (!r) return nullptr;
    if (r->group == kGroupCaldwell)
        FormatDesignation(name, size, r->catalogCode, r->objectNumber);
    else
        std::snprintf(name, size, "%.*s", kSelectionLabelLength, r->label);
    return r;
}

// Whether entry k has a picture; with `take`, it becomes the current picture. A look-up
// leaves its catalog code behind, which must not change the folder the current picture is
// drawn from when the view paints again.
bool EntryPicture(int k, bool take) {
    char name[40];
    const SelectionRecord* r = Entry(k, name, sizeof name);
    const int catalog = pictureState.catalogCode;
    if (r && FindObjectPicture(name, pictureState.folderKind, r->catalogCode)) {
        if (take)
            std::snprintf(pictureState.fileName, sizeof pictureState.fileName, "%s.jpg", pictureState.foundName);
        else
            pictureState.catalogCode = catalog;
        return true;
    }
    pictureState.catalogCode = catalog;
    return false;
}

bool IsForwardKey(int key) {
    return key == platform::kKeyRight || key == platform::kKeyDown || key == platform::kKeyPageUp;
}
bool IsBackwardKey(int key) {
    return key == platform::kKeyLeft || key == platform::kKeyUp || key == platform::kKeyPageDown;
}

// A long stretch without pictures is left as soon as the user lets a key be held.
constexpr int kMissesBeforeKeyCheck = 10;

}  // namespace

void ShowListPictureFrom(int a, int b) {
    const int count = ListCount();
    int& position = pictureState.listPicturePosition;
    if (position >= count) {
        pictureState.morePictures = 0;
        return;
    }
    GetScreenSize(&pictureState.screenWidth, &pictureState.screenHeight);
    if (position < 0) position = 0;
    if (position == 0 && a && b) position = 1;
    for (; position < count; ++position) {
        if (!EntryPicture(position, true)) continue;
        DrawCurrentPicture(0, 0, pictureState.screenWidth, pictureState.screenHeight, 1);
        ++position;
        break;
    }
    if (position >= count) pictureState.morePictures = 0;
}

void PictureViewKey(int key) {
    const int count = ListCount();
    if (count <= 0) return;
    int& position = pictureState.listPicturePosition;
    if (key >= kFirstApplicationKey && key <= kLastApplicationKey) {
        pictureState.morePictures = 0;
        ShowListPictureFrom(0, 0);
        return;
    }
    if (!IsForwardKey(key) && !IsBackwardKey(key)) return;
    const bool forward = IsForwardKey(key);
    const int step = forward ? 1 : -1;
    int k = forward ? (position <= 0 ? 1 : position) : (position - 2 > 0 ? position - 2 : 0);
    for (int misses = 0; forward ? k < count : k >= 0; k += step) {
        if (EntryPicture(k, false)) {
            position = k;
            ShowListPictureFrom(forward, forward);
            return;
        }
        if (++misses > kMissesBeforeKeyCheck && IsNavKeyDown()) {
            position = k;
            return;
        }
    }
    if (!forward)
        position = 0;
    else if (position >= count)
        position = count - 1;
}

int ShowNextListPicture() {
    const int count = ListCount();
    const int current = selectionList.currentPosition;
    const int start = current >= 0 && current < count ? current : 0;
    int& position = pictureState.listPicturePosition;
    position = start;
    bool shown = false;
    for (int k = start; k < count && !shown; ++k) {
        char name[40];
        const SelectionRecord* r = Entry(k, name, sizeof name);
        if (!r) continue;
        // Set before the view opens, so that its keys go on from the picture it shows.
        position = k + 1;
        shown = ShowObjectPicture(name, 0, 0, 160, 160, 1, kPictureFolderCatalog, r->catalogCode) != 0;
    }
    // No picture in the rest of the list: none may follow either.
    if (!shown) position = count;
    pictureState.morePictures = position < count ? 1 : 0;
    return pictureState.morePictures;
}

platform::LResult ImageViewForm(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam) {
    switch (message) {
    case platform::kMsgInitDialog:
        ShellInitDialog(w, kShellFormDialog);
        GetScreenSize(&pictureState.screenWidth, &pictureState.screenHeight);
        platform::SetFocus(w);
        return 1;
    case platform::kMsgPaint: {
        const platform::Dc dc = platform::BeginPaint(w, nullptr);
        if (!dc) return 1;
        SetDrawTarget(w, dc);
        ShowCurrentPicture();
        platform::EndPaint(w, dc);
        return 1;
    }
    case platform::kMsgEraseBackground:
        return 1;
    case platform::kMsgPenUp:
        platform::EndDialog(w, platform::kIdOk);
        return 1;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id != platform::kIdOk && id != platform::kIdCancel) return 0;
        platform::EndDialog(w, id);
        return 1;
    }
    case platform::kMsgKeyDown: {
        const platform::Dc dc = platform::GetWindowDc(w);
        SetDrawTarget(w, dc);
        PictureViewKey(static_cast<int>(wParam));
        platform::ReleaseDc(w, dc);
        return 1;
    }
    default:
        return 0;
    }
}
