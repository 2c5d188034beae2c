// A benchmark's own install root and resource folder, in place for the time of one benchmark.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "moon/map_textures.h"
#include "platform/paths.h"
#include "shell/draw_targets.h"

// Points the install root at a benchmark's files for its own time and puts back the one
// that was there: left in place, a later benchmark would take those few files for the
// program's own.
class InstallRootInPlace {
public:
    explicit InstallRootInPlace(const std::filesystem::path& install) : before_(platform::InstallRoot()) {
        platform::SetInstallRoot(install);
    }
    ~InstallRootInPlace() { platform::SetInstallRoot(before_); }
    InstallRootInPlace(const InstallRootInPlace&) = delete;
    InstallRootInPlace& operator=(const InstallRootInPlace&) = delete;

private:
    std::filesystem::path before_;
};

// Points the install root and the resource folder (VELKARION_RESOURCES) at a benchmark's
// files and, when it goes, puts back what was there and lets go of the pictures and maps
// loaded from them. Left in place for the rest of the run, every later benchmark loaded its
// pictures and dialogs from those few files: the program's forms came up without them and
// drew nothing, and a benchmark timing such a form never reached its iteration count.
class FilesInPlace {
public:
    FilesInPlace(const std::filesystem::path& install, const std::filesystem::path& resources) : install_(install) {
        if (const char* r = std::getenv(kResources)) {
            hadResources_ = true;
            resources_ = r;
        }
        ::setenv(kResources, resources.c_str(), 1);
    }
    ~FilesInPlace() {
        ClearPictureCache();
        FreeMapImages();
        if (hadResources_) ::setenv(kResources, resources_.c_str(), 1);
        else ::unsetenv(kResources);
    }
    FilesInPlace(const FilesInPlace&) = delete;
    FilesInPlace& operator=(const FilesInPlace&) = delete;

private:
    static constexpr const char* kResources = "VELKARION_RESOURCES";
    InstallRootInPlace install_;
    bool hadResources_ = false;
    std::string resources_;
};
