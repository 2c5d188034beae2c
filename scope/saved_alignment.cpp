#include "scope/saved_alignment.h"

#include <string>

#include "astro/time_scales.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/startup_alloc.h"

std::uint8_t* alignmentStars = nullptr;

int RestoreLastAlignment() {
    const double saved = PreferenceDouble(pref::savedAlignment);
    if (saved <= 0.0) return 0;
    const ObservingDateTime& t = observingDateTime;
    const double now = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.zoneMinutes);
    if (now - saved >= 0.5) return 0;
    AskYesNo("Would you want to restore your last alignment?", "");
    return 1;
}

bool AllocAlignmentStars() {
    return StartupAllocate(alignmentStars, 1, kAlignmentStarsSize,
                           std::string(kStartupAllocFailure) + "alignment stars");
}

void FreeAlignmentStars() { StartupRelease(alignmentStars); }
