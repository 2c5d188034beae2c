#include "platform/shared_library.h"

#include <dlfcn.h>

namespace platform {

void* OpenSharedLibrary(const char* fileName, std::string* why) {
    void* handle = ::dlopen(fileName, RTLD_NOW | RTLD_LOCAL);
    if (!handle && why) {
        const char* error = ::dlerror();
        *why = std::string(fileName) + " could not be loaded: " + (error ? error : "unknown reason");
    }
    return handle;
}

void* FindSharedFunction(void* library, const char* fileName, const char* name, std::string* why) {
    void* function = ::dlsym(library, name);
    if (!function && why) *why = std::string(fileName) + " has no function " + name;
    return function;
}

}  // namespace platform
