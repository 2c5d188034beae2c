#include "platform/sdl_library.h"

#include "platform/shared_library.h"

namespace platform::sdl {
namespace {

Library library;

bool Resolve(Library& record, void* handle, const char* fileName, std::string* why) {
    VELKARION_SDL_FUNCTIONS(VELKARION_RESOLVE_FUNCTION)
    return true;
}

}  // namespace

bool LoadLibrary(std::string* why) {
    static std::string failure;
    static const bool ok = [] {
        constexpr const char* kFile = "libSDL2-2.0.so.0";
        void* handle = OpenSharedLibrary(kFile, &failure);
        return handle && Resolve(library, handle, kFile, &failure);
    }();
    if (!ok && why) *why = failure;
    return ok;
}

const Library& Sdl() { return library; }

}  // namespace platform::sdl
