#include "scope/scope_services.h"

#include <string>

#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/startup_alloc.h"
#include "core/observing_time.h"

int telescopeEmulation = 0;
std::uint8_t* alignmentStars = nullptr;

namespace {
int serialHold = 0;
bool serialPortOpen = false;
}  // namespace

bool IsEncoderDrive() { return IsEncoderDriveCode(preferences.word[pref::scopeDrive]); }

void SetSerialHold(int flag) {
    // Serial trace keeps the port from being held open.
    serialHold = preferences.word[pref::serialWriteDelay] != 0 ? 0 : flag;
}

int GetSerialHold() { return serialHold; }

void CloseSerialPort() {
    if (serialPortOpen && serialHold == 0) serialPortOpen = false;
}

StrBuf* StringArrayAt(StrBufArray& array, int index) { return GrowableAt(array, index); }

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
    return StartupAllocate(alignmentStars, 1, kAlignmentStarsSize, std::string(kStartupAllocFailure) + "alignment stars");
}

void FreeAlignmentStars() { StartupRelease(alignmentStars); }
