#pragma once
// Libraries opened when a feature first needs them rather than when the program starts
// (SDL for the window, libcurl for downloads): a start that doesn't use them pays nothing
// for them. A library opened stays open for the rest of the run.
#include <string>

namespace platform {

// The library of that file name, or nullptr and the reason in *why.
void* OpenSharedLibrary(const char* fileName, std::string* why);
// A function of an opened library, or nullptr and the reason in *why.
void* FindSharedFunction(void* library, const char* fileName, const char* name, std::string* why);

// Fills every pointer of a record listed by its X-macro: true when all were found.
#define VELKARION_RESOLVE_FUNCTION(name)                                                               \
    if (!(record.name = reinterpret_cast<decltype(record.name)>(                                        \
              ::platform::FindSharedFunction(handle, fileName, #name, why))))                           \
        return false;

}  // namespace platform
