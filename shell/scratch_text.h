#pragma once
// The shared scratch text of the forms (control lists, field texts, report texts), made at
// start and released at exit.
#include <cstddef>

inline constexpr std::size_t kTxtBufferSize = 256;
// First byte 0 after allocation; null while not made.
extern char* txtBuffer;

// "Can't allocate txtBuffer" on failure. Returns false when it failed.
bool AllocScratchText();
void FreeScratchText();
