#pragma once
// What the chart asks of the parts of the program beside it (the mount, the object search,
// the map views) and of the night-mode dialog. The chart stands beside those subsystems and
// does not link them: the program installs these at start (app/composition.cpp), and tests
// install fakes that record the calls. Until one is installed each call has the quiet
// default given below.
struct ChartLinks {
    // The mount's slew rate: 0 slew, 1 find, 2 center, 3 guide. Default: nothing.
    void (*scopeSetRate)(int rate) = nullptr;
    // True for a push-to encoder box. Default: by the drive code of the settings.
    bool (*isEncoderDrive)() = nullptr;
    // Frees the map views' cached images and forgets their ids. Default: nothing.
    void (*freeMapImages)() = nullptr;
    // Prepares a search from the chart: clears the selection, refreshes the observing time
    // and the limiting magnitudes. Default: nothing.
    void (*initSelectionCriteria)(int typeClass, int kind, int type) = nullptr;
    // Runs the night-mode dialog. Default: the shell's NightModeSettings.
    void (*nightModeSettings)() = nullptr;
    // The object search by type class, search kind and object type, into the selection
    // list. Default: nothing.
    void (*runObjectSelection)(int typeClass, int kind, int type) = nullptr;
    // Recomputes the limiting magnitudes for the observing time. Default: nothing.
    void (*computeLimitingMagnitude)() = nullptr;
};

// Installs the links (a null member falls back to its default) and returns those replaced.
ChartLinks SetChartLinks(const ChartLinks& links);

// Calls through the installed links.
void ChartScopeSetRate(int rate);
bool ChartIsEncoderDrive();
void ChartFreeMapImages();
void ChartInitSelectionCriteria(int typeClass, int kind, int type);
void ChartNightModeSettings();
void ChartRunObjectSelection(int typeClass, int kind, int type);
void ChartComputeLimitingMagnitude();
