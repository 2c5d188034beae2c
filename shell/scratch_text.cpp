#include "shell/scratch_text.h"

#include "core/startup_alloc.h"

char* txtBuffer = nullptr;

bool AllocScratchText() { return StartupAllocate(txtBuffer, 1, kTxtBufferSize, "Can't allocate txtBuffer"); }

void FreeScratchText() { StartupRelease(txtBuffer); }
