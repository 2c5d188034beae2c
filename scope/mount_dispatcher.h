#pragma once
// One entry point per mount operation (connect, disconnect, read the position, GoTo,
// sync, slew rate, start and stop a move, stop everything), routed by the drive code
// (`Preferences` word 0) to the driver row of its family (mount_drivers.h), or to the
// emulated mount while `telescopeEmulation` is set.
//
// Drive codes: 0 "None", 1 "AAM Skyvector", 2 "AutoStar", 3 "BBox", 4 "Dave Ek",
// 5 "LX200", 6 "Magelan-I", 7 "Magelan-II", 8 "Nexstar 5&8", 9 "NexStar old GT",
// 10 "NexStarGPS,GT,CGE", 11 "NGC-Max", 12 "Ouranos", 13 "ServoCat", 14 "Takahashi",
// 15 "Ultima2000", 16 "Intelliscope", 17 "Losmandy", 18 "SiderealTech",
// 19 "SkyCommander", 20 "SkyScan EQ6".
//
// Right ascension in hours, declination, azimuth and altitude in degrees. Rate index
// 0 "Fast", 1 "Find", 2 "Center", 3 "Guide"; direction 0 north, 1 south, 2 east, 3 west.
#include <cstdint>

// 1 once the ScopeControl form was opened for the mount.
extern std::uint32_t scopeInUse;

inline constexpr int kScopeControlFormId = 2400;

// What the dispatcher asks of the parts of the program above it. The program installs
// them at start (app/composition.cpp); tests install fakes. Until then each call has the
// default given.
struct MountDispatchLinks {
    // Opens a form. Default: GotoForm.
    void (*openForm)(int formId) = nullptr;
    // True while the chart is shown and follows the mount. Default: false.
    bool (*chartFollowsMount)() = nullptr;
};
// Installs the links (a null member falls back to its default) and returns those replaced.
MountDispatchLinks SetMountDispatchLinks(const MountDispatchLinks& links);

// 1 connected, 0 not. 1 at once while emulating. Code 0: "Sorry, no scope drive is
// selected"; a code outside 0..20: "Unknown scope drive".
std::uint32_t ScopeConnect();
// The family's disconnect. Code 0: "Disconnect scope not supported" (emulating or not);
// outside 0..20: "Unknown scope drive.".
std::uint32_t ScopeDisconnect();
// Connects and reads the mount. With a two-star alignment (method 0) the reading is
// turned into the sky position through the model; an alt-azimuth box without one is
// turned into right ascension and declination at the site for now. 1 when read.
std::uint32_t ScopeGetPosition(double* first, double* second);
// Connects, reads and disconnects, with the family's message on a failed read; no
// alignment model. Both results 0.0 unless read. 1 when read.
std::uint32_t ScopeReadPositionOnce(double* first, double* second);
// A GoTo to a catalog position: the apparent place for `mode` (-1 none, 0 geocentric,
// 1 with refraction, 2 topocentric, 3 with refraction) now, corrected by the pointing
// model (method 1) or turned into mount axes by the two-star model (method 0), sent to
// the mount; on success the ScopeControl form opens unless the chart follows the mount.
void ScopeGoto(double raHours, double decDeg, int mode);
// Connects, syncs the mount on the position as given (codes 2, 5, 17, 10, 14, 15, 20;
// others: not implemented), then always disconnects; the disconnect's result.
std::uint32_t ScopeSync(double raHours, double decDeg);
// The family's rate, move, stop-move and stop-all; on the emulated codes the emulated
// mount's, only while emulating (else the argument, 0 for stop-all). Callers ignore the
// results.
int ScopeSetRate(int rate);
int ScopeStartMove(int direction);
int ScopeStopMove(int direction);
int ScopeStop();
// Marks the scope in use; with connectFirst, connects first and stays on the current
// form when that fails; then opens the ScopeControl form.
void OpenScopeControl(int connectFirst);
