#include "scope/scope_services.h"

#include "astro/time_scales.h"
#include "shell/message_box.h"
#include "shell/settings.h"

int telescopeEmulation = 0;

namespace {
int serialHold = 0;
bool serialPortOpen = false;
}  // namespace

bool IsEncoderDrive() {
    switch (preferences.word[pref::scopeDrive]) {
        case 1: case 3: case 4: case 11: case 12: case 16: case 22:
            return true;
        default:
            return false;
    }
}

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
