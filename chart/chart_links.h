#pragma once
// What the chart asks of the parts of the program beside it (the mount, the object search,
// the map views) and of the night-mode dialog. The chart stands beside those subsystems and
// does not link them: the program installs these at start (app/composition.cpp), and tests
// install fakes that record the calls. Until one is installed each call has the quiet
// default given below.
struct ChartLinks {
    // The mount's slew rate: 0 slew, 1 find, 2 center, 3 guide. Default: nothing.
    void (*scopeSetRate)(int rate) = nullptr;
    // The mount as the chart follows and drives it (right ascension in hours, declination
    // in degrees; results 1 done, 0 not). Defaults: 0, nothing.
    unsigned (*scopeConnect)() = nullptr;
    unsigned (*scopeDisconnect)() = nullptr;
    unsigned (*scopeGetPosition)(double* raHours, double* decDeg) = nullptr;
    unsigned (*scopeSync)(double raHours, double decDeg) = nullptr;
    // A GoTo with the apparent-place mode (-1 none .. 3 topocentric with refraction).
    void (*scopeGoto)(double raHours, double decDeg, int mode) = nullptr;
    // Opens the mount's hand paddle, connecting first when asked.
    void (*openScopeControl)(int connectFirst) = nullptr;
    // Moves the mount (0 north, 1 south, 2 east, 3 west) for as long as the key that asked
    // for it stays down.
    void (*moveScopeWhileKeyHeld)(int direction) = nullptr;
    // True while every mount operation runs on the emulated mount. Default: false.
    bool (*telescopeEmulated)() = nullptr;
    // Forgets an encoder box's push-to target. Default: nothing.
    void (*clearEncoderTarget)() = nullptr;
    // Lets the serial port be chosen again for the mount. Default: nothing.
    void (*clearSerialAuxFlag)() = nullptr;
    // Adds the chart's current object as a star of the N-star alignment. Default: nothing.
    void (*addChartObjectAsAlignStar)() = nullptr;
    // What the list manager opens for: 0 the lists to load or save, 1 the catalogs to
    // load. Default: nothing.
    void (*setListManagerMode)(int mode) = nullptr;
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
    // The object pictures: finds the picture of (name, folder kind, catalog code) and draws
    // it into the rectangle, or opens the picture view with openView. 1 when shown.
    // Default: 0, no picture.
    int (*showObjectPicture)(const char* name, int x, int y, int width, int height, int openView, int folderKind,
                             int catalogCode) = nullptr;
    // Opens the observer log on a new entry, which goes back to the chart when done.
    // Default: the observer log form in the mode it was left in.
    void (*openObserverLogNew)() = nullptr;
};

// Installs the links (a null member falls back to its default) and returns those replaced.
ChartLinks SetChartLinks(const ChartLinks& links);

// Calls through the installed links.
void ChartScopeSetRate(int rate);
unsigned ChartScopeConnect();
unsigned ChartScopeDisconnect();
unsigned ChartScopeGetPosition(double* raHours, double* decDeg);
unsigned ChartScopeSync(double raHours, double decDeg);
void ChartScopeGoto(double raHours, double decDeg, int mode);
void ChartOpenScopeControl(int connectFirst);
void ChartMoveScopeWhileKeyHeld(int direction);
bool ChartTelescopeEmulated();
void ChartClearEncoderTarget();
void ChartClearSerialAuxFlag();
void ChartAddObjectAsAlignStar();
void ChartSetListManagerMode(int mode);
bool ChartIsEncoderDrive();
void ChartFreeMapImages();
void ChartInitSelectionCriteria(int typeClass, int kind, int type);
void ChartNightModeSettings();
void ChartRunObjectSelection(int typeClass, int kind, int type);
void ChartComputeLimitingMagnitude();
int ChartShowObjectPicture(const char* name, int x, int y, int width, int height, int openView, int folderKind,
                           int catalogCode);
void ChartOpenObserverLogNew();
