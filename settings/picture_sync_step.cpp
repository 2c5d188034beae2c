// What page 7/7's synchronisation buttons do beside its timer: "Sync" allows the downloads
// when a data-service address is set (without one, the first step says the site cannot be
// reached and stops the run), "Stop" ends the run and the downloads it allowed, "Clear"
// starts the next run from the first picture again.
#include <cstring>

#include "core/settings.h"
#include "objects/image_sync.h"
#include "settings/preference_pages.h"
#include "shell/utilities.h"

void PictureSyncStep() { SyncImages(); }

void StartPictureSync() {
    imageSyncState.stop = 0;
    SetNetworkAllowed(strnlen(preferences.dataUrl, sizeof preferences.dataUrl) > 0 ? 1 : 0);
}

void StopPictureSync() {
    imageSyncState.stop = 1;
    SetNetworkAllowed(0);
}

void ClearPictureSync() { imageSyncState = {}; }
