// One step of the picture synchronisation of preference page 7/7. The picture download is
// not part of the program yet, so every run ends at its first step the way a run without
// a data-service address or network ends: with its message, stopping the page's timer.
#include "core/report.h"
#include "settings/preference_pages.h"

void PictureSyncStep() {
    ShowMessage("The Velkarion web site and/or Internet access are not available.", "");
    PreferenceCommand(prefpage::kStop);
}
