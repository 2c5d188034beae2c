#include "objects/object_pictures.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/constellations.h"
#include "catalog/data_service.h"
#include "catalog/databases.h"
#include "catalog/user_file_names.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/picture_view.h"
#include "platform/http.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/message_box.h"
#include "shell/utilities.h"

PictureState pictureState{};

namespace {

namespace fs = std::filesystem;

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// What a picture folder holds, read again whenever the folder changed since: the chart asks
// for the picture of every listed object at each redraw, and a folder of thousands of
// pictures is not to be searched name by name for the missing ones.
struct FolderListing {
    std::string programFolder;   // "img\ngc"
    fs::path root;               // the home it was found in
    fs::path folder;             // where it is
    timespec changed{};
    // Read so soon after the folder's last change that a file added within the same tick
    // of the file system's clock might not show in the time stamp: read again next time.
    bool settled = false;
    std::unordered_map<std::string, std::string> files;   // lower-case name -> name
};
std::vector<FolderListing> listings;

// Longer than a tick of the clock the file system stamps changes with.
constexpr double kSettleSeconds = 0.1;

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

void ReadListing(FolderListing& listing, const timespec& changed) {
    listing.files.clear();
    listing.changed = changed;
    std::error_code ec;
    for (fs::directory_iterator it(listing.folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string name = it->path().filename().string();
        listing.files.emplace(Lower(name), name);
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    const double since = static_cast<double>(now.tv_sec - changed.tv_sec) + (now.tv_nsec - changed.tv_nsec) * 1e-9;
    listing.settled = since > kSettleSeconds;
}

// The picture file `fileName` of the program folder, matched without regard to case;
// empty when it is not there. The folder found for a home is kept, so that a look-up costs
// one look at the folder's time stamp.
fs::path ListedPicture(const char* folder, const std::string& fileName) {
    const fs::path root = platform::IsInstalledFolder(folder) ? fs::path{} : platform::HomeRoot();
    FolderListing* listing = nullptr;
    for (FolderListing& l : listings)
        if (l.programFolder == folder && l.root == root) listing = &l;
    struct stat st {};
    const auto isFolder = [&st](const fs::path& dir) { return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode); };
    if (!listing || root.empty() || !isFolder(listing->folder)) {
        const fs::path dir = platform::ResolvePath(folder);
        if (!isFolder(dir)) return {};
        if (!listing) {
            listings.push_back(FolderListing{});
            listing = &listings.back();
            listing->programFolder = folder;
            listing->root = root;
        }
        if (listing->folder != dir) {
            listing->folder = dir;
            listing->settled = false;
        }
    }
    if (!listing->settled || !SameTime(listing->changed, st.st_mtim)) ReadListing(*listing, st.st_mtim);
    const auto found = listing->files.find(Lower(fileName));
    return found == listing->files.end() ? fs::path{} : listing->folder / found->second;
}

// The constellation of a name: its number 0 to 88, or its abbreviation; -1 for neither.
int ConstellationOfName(std::string_view name) {
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    if (name.empty()) return -1;
    if (name.find_first_not_of("0123456789") == std::string_view::npos) {
        if (name.size() > 3) return -1;
        const int n = std::atoi(std::string(name).c_str());
        return n < kConstellationCount ? n : -1;
    }
    for (int n = 0; n < kConstellationCount; ++n)
        if (platform::EqualNoCase(name, ConstellationTable[n].abbreviation)) return n;
    return -1;
}

// Asks the data service for the picture and saves a good reply. 1 when saved.
int FetchPicture(const char* folder, const std::string& fileName) {
    std::string relative = Lower(folder) + "/" + Lower(fileName);
    for (char& c : relative)
        if (c == '\\') c = '/';
    const std::string url = DataServiceRequest(relative.c_str(), kDataRequestPicture);
    if (url.empty()) {
        // No service address: as a service with nothing to give, once for the run.
        SetNetworkAllowed(0);
        return 0;
    }
    // Room beyond the limit, so that a reply of the limit or more is seen as such rather
    // than cut quietly to a size that looks whole (the transfer keeps its last block back).
    std::vector<std::uint8_t> reply(kPictureReplyLimit + platform::kHttpBlockSize + 2, 0);
    const std::size_t got = LoadFileFromUrl(url.c_str(), reply.data(), reply.size());
    if (got == 0) {
        SetNetworkAllowed(0);
        return 0;
    }
    if (got <= kPictureReplyMinimum || got >= kPictureReplyLimit) return 0;
    // An error page, or a picture cut short, would stay in the folder for good: a later run
    // finds it and never asks again.
    if (!platform::CheckPictureData(reply.data(), got)) return 0;
    const fs::path path = platform::ResolveInFolder(folder, fileName);
    std::string error;
    if (!platform::EnsureParentFolders(path)) error = "the folder " + path.parent_path().string() + " cannot be made";
    if (error.empty() && platform::WriteFileAtomically(path, reply.data(), got, &error)) return 1;
    ShowMessage("Can't save picture", (path.string() + ": " + error).c_str());
    // Nothing more can be kept: the downloads stop for the run.
    SetNetworkAllowed(0);
    return 0;
}

void CopyName(char* out, std::size_t size, const std::string& text) { std::snprintf(out, size, "%s", text.c_str()); }

}  // namespace

const char* PictureFolder(int folderKind, int catalogCode) {
    switch (folderKind) {
    case kPictureFolderCatalog:
        switch (catalogCode) {
        case 1: return "img\\abell";
        case kCatalogConstellation: return "img\\const";
        case kCatalogIc: return "img\\ic";
        case kCatalogMessier: return "img\\messier";
        case kCatalogNgc: return "img\\ngc";
        case kCatalogPlanet: return "img\\planet";
        default: return "img\\misc";
        }
    case kPictureFolderShots: return "shots";
    case kPictureFolderMars: return "mars";
    case kPictureFolderMoon: return "moon";
    case kPictureFolderSmallMoon: return "small_moon";
    case kPictureFolderMaps: return "maps";
    default: return nullptr;
    }
}

std::string PictureStem(const char* name, int folderKind, int catalogCode) {
    if (!name) return {};
    std::string_view text(name);
    text = text.substr(0, text.find(','));
    if (folderKind == kPictureFolderCatalog && catalogCode == kCatalogConstellation) {
        const int n = ConstellationOfName(text);
        return n < 0 ? std::string{} : std::string(ConstellationTable[n].abbreviation);
    }
    return SafeFileName(text, "", kPictureNameSize - 1);
}

int FindObjectPicture(const char* name, int folderKind, int catalogCode) {
    pictureState.catalogCode = catalogCode;
    const char* folder = PictureFolder(folderKind, catalogCode);
    if (!folder) {
        const std::string detail = "folder kind " + std::to_string(folderKind);
        ShowMessage("Unkown image folder", detail.c_str());
        return 0;
    }
    const std::string stem = PictureStem(name, folderKind, catalogCode);
    if (stem.empty()) return 0;
    CopyName(pictureState.foundName, sizeof pictureState.foundName, stem);
    const std::string fileName = stem + ".jpg";
    if (!ListedPicture(folder, fileName).empty()) return 1;
    if (!IsNetworkAllowed()) return 0;
    return FetchPicture(folder, fileName);
}

int ShowObjectPicture(const char* name, int x, int y, int width, int height, int openView, int folderKind,
                      int catalogCode) {
    pictureState.folderKind = folderKind;
    pictureState.catalogCode = catalogCode;
    pictureState.morePictures = 0;
    if (!FindObjectPicture(name, folderKind, catalogCode)) return 0;
    std::snprintf(pictureState.fileName, sizeof pictureState.fileName, "%s.jpg", pictureState.foundName);
    if (openView) {
        // The dialog leaves the form cleared to its background when it ends.
        SaveScreen();
        ShowDialogResource(kPictureViewFormId, &ImageViewForm);
        RestoreScreen(0);
    } else {
        FlushPenEvents();
        DrawCurrentPicture(x, y, width, height, 1);
    }
    return 1;
}

void DrawCurrentPicture(int x, int y, int width, int height, int framed) {
    const char* folder = PictureFolder(pictureState.folderKind, pictureState.catalogCode);
    if (!folder) {
        const std::string detail = "folder kind " + std::to_string(pictureState.folderKind);
        ShowMessage("Unkown image folder", detail.c_str());
        return;
    }
    const std::string relative = std::string(folder) + "\\" + pictureState.fileName;
    if (framed) FillRectangle(Bounds{x, y, width, height});
    DrawImageFileFit(relative.c_str(), x, y, width, height);
    if (!framed) return;
    const bool night = preferences.word[pref::nightMode] != 0;
    const platform::Color text = SetTextColor(night ? platform::Rgb(255, 0, 0) : platform::Rgb(255, 255, 255));
    const int transparent = SetTextTransparent(1);
    const int length = static_cast<int>(strnlen(pictureState.fileName, sizeof pictureState.fileName));
    if (width < 160)
        DrawString(pictureState.fileName, length, x, y);
    else
        DrawStringNoFont(pictureState.fileName, length, x, y);
    SetTextTransparent(transparent);
    SetTextColor(text);
}

void ShowCurrentPicture() {
    GetScreenSize(&pictureState.screenWidth, &pictureState.screenHeight);
    DrawCurrentPicture(0, 0, pictureState.screenWidth, pictureState.screenHeight, 1);
}
