#pragma once
// The MoonMap form (6020): the Moon picture for the observing time with its night side
// darkened, dragged, zoomed, mirrored for the telescope and stepped by the hour, and the
// lunar feature under a tap named and circled. It owns the index of the lunar features
// that the MoonAssistant's type filter and feature list use too.
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/records.h"
#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

namespace moon_map {
constexpr int kFormId = 6020;
constexpr int kTitle = 6068;
constexpr int kBack = 6022;
constexpr int kHelp = 6069;
constexpr int kInfo = 6021;
constexpr int kDate = 6039;
constexpr int kPicture = 5983;
constexpr int kMirrorPopup = 5985;
constexpr int kMirrorList = 5986;
constexpr int kTypePopup = 6066;
constexpr int kTypeList = 6067;
constexpr int kFeaturePopup = 6046;
constexpr int kFeatureList = 6047;
constexpr int kZoomOut = 6037;  // "-"
constexpr int kZoomIn = 6038;   // "+"
// A tap selects the nearest feature within this many large-picture pixels (Manhattan).
constexpr int kTapReach = 500;
}  // namespace moon_map

// ---- The feature index -------------------------------------------------------------------

// One entry per feature of the database's first copy.
struct MoonIndexEntry {
    std::int16_t record = 0;
    std::int16_t column = 0;
    std::int16_t kind = 0;
};
struct MoonFeatureIndex {
    std::vector<MoonIndexEntry> entries;
    bool built = false;
    int runStart = 0;  // the entries the current type filter shows
    int runCount = 0;
    int typeRow = 0;   // 0 "All", 1 "Catena" .. 6 "Oceanus"
};
extern MoonFeatureIndex moonFeatureIndex;

// The type filter's rows and their kinds (row 0, "All", has none).
inline constexpr const char* kMoonTypeRows[7] = {"All", "Catena", "Crater", "Lacus", "Mare", "Mons", "Oceanus"};
inline constexpr int kMoonTypeKinds[7] = {-1, 6, 2, 11, 12, 1, 10};
// The two-letter code of a feature kind ("" for an unknown kind).
const char* MapFeatureKindCode(int kind);

// 1 when the index exists already, 0 after building it (a failed read leaves its entry zero).
int BuildMoonFeatureIndex();
// Key 0 by record number, 1 by kind then record number, 2 by column.
void SortMoonFeatureIndex(int key);
// The first entry of the kind in the kind-sorted index and the run's length; -1 and 0 when
// there is none.
int FindKindRun(int kind, int* outCount);
void SetFeatureRun(int start, int count);
// Record of entry (run start + i); 0 when i is outside the run or there is no index.
int GetIndexedMoonFeature(int i, MoonFeatureRecord* outRecord);
// Position among the first run-count entries of the entry with the record's column and name;
// -1 when none.
int FindIndexPosition(const MoonFeatureRecord& record);
// Sorts the index for the type filter row and makes the row's kind the run.
void ApplyMoonTypeFilter(int row);
// Frees the index; harmless twice.
void FreeMoonIndexBuffer();

// Kind code at 2 x scale and name at 20 x scale inside rect: the rows of the feature lists.
void DrawMoonFeatureRow(const MoonFeatureRecord& record, Bounds rect);
// "Rise"/"Set" lines' local date and time of an instant (JD UT), or "----" for no event.
std::string FormatFeatureEvent(double jd, int zoneMinutes);

// ---- The form ----------------------------------------------------------------------------

struct MoonMapState {
    int selected = -1;    // position in the feature index, -1 none
    int mirrorRow = 0;    // 0 none, 1 vertical, 2 both, 3 horizontal
    bool scrollSaved = false;
    // Where the last circle was drawn: large-picture pixels (mirrored) and screen centre.
    int circleColumn = -1, circleRow = -1;
    int circleX = 0, circleY = 0, circleRadius = 0;
};
extern MoonMapState moonMap;

platform::LResult MoonMap(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
void LayoutMoonForm(platform::Window dialog, int width, int height);
// Shows the zoom buttons for the zoom mode and renders the picture for the observing time;
// false when it could not be rendered.
bool RefreshMoonImage();
void ShowMoonMapView();
void ShowMapFeature(int position);
// The feature under a tap at client point (x, y): selects and shows it; its index position,
// or -1 when nothing lies within reach (or there are no features). A record that cannot be
// read ends the search with "Can't find moon record" and the selection as it was.
int FindNearestFeature(int x, int y);
int MoonMapCommand(int id);
int MoonMapKey(int key);
// The information box's text for a feature, the sunrise and sunset searched from jd (UT).
std::string MoonFeatureInfoText(const MoonFeatureRecord& record, double jd, int zoneMinutes);
void CloseMoonMap();
