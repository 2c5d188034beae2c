#pragma once
// The image synchronisation: fetches the pictures of the planets, the Messier objects, the
// Moon and Mars features and the deep-sky objects one by one, one item on each tick of the
// timer of preference page 7/7, which starts and stops it and sets networkAllowed while
// the downloads are wanted. The counters stay between ticks and between openings of the
// page, so a stopped synchronisation goes on where it stopped.

// The preference page's labels: the stage, the progress "%d/%d" and the last item with
// " ok" or " ko".
inline constexpr int kSyncStageLabel = 146;
inline constexpr int kSyncProgressLabel = 147;
inline constexpr int kSyncItemLabel = 139;
// The synchronisation control of page 7/7, handed to the page when the network is off.
inline constexpr int kImageSyncControl = 1358;

inline constexpr int kSyncPlanetLast = 10;
inline constexpr int kSyncMessierCount = 110;

struct ImageSyncState {
    int planet = 0;    // the next body index, 0 to 10
    int messier = 1;   // the next Messier number, 1 to 110
    int moon = 1;      // the next Moon feature record
    int mars = 1;      // the next Mars feature record
    int deepSky = 1;   // the next object record
    int stop = 0;      // while set, a step does nothing
};
extern ImageSyncState imageSyncState;

// What the synchronisation asks of the preference pages; the program installs it. Until
// one is installed the call does nothing.
struct ImageSyncLinks {
    // The preference pages' command handler, given the synchronisation control when the
    // data service cannot be reached.
    void (*preferenceCommand)(int controlId) = nullptr;
};
// Installs the links and returns those replaced.
ImageSyncLinks SetImageSyncLinks(const ImageSyncLinks& links);

// The picture-name prefix of a Mars feature kind ("cavus_" for 0 .. "terra_" for 9; "" for
// other kinds).
const char* MarsPicturePrefix(int kind);

// One step on the page now shown: without networkAllowed, the message "The Velkarion web
// site and/or Internet access are not available." and command 1358 to the page. Else the
// first stage with items left does one (the very first step tells the user to keep the
// device plugged in), showing it in the page's labels; when all are done, "Sycnrhonization
// of the images is finished." and networkAllowed is cleared.
void SyncImages();
