#pragma once
// The observer log form (form 2600, "ObserverLog"): the list of entries with new, open,
// delete and the text export ("Memo"), and the entry page, prefilled with the observing
// circumstances (date, time, site, the object, the Moon, the Sun, the visual limit, the
// telescope), that saves the entry under its object's name.
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kObserverLogFormId = 2600;

namespace observer_log_form {
constexpr int kTitle = 8030;
constexpr int kInfo = 2601;
constexpr int kBack = 2602;
constexpr int kOpen = 2605;
constexpr int kNew = 2606;
constexpr int kDelete = 2607;
constexpr int kEntries = 2608;
constexpr int kDate = 2609;
constexpr int kTime = 2610;
constexpr int kNow = 2611;
constexpr int kName = 2612;
constexpr int kShot = 2613;
constexpr int kFind = 2614;
constexpr int kLocation = 2615;
constexpr int kComments = 2616;
constexpr int kTransparencyPopup = 2617;
constexpr int kTransparencyList = 2618;
constexpr int kSeeingPopup = 2619;
constexpr int kSeeingList = 2620;
constexpr int kVisualLimit = 2621;
constexpr int kEasePopup = 2622;
constexpr int kEaseList = 2623;
constexpr int kScope = 2624;
constexpr int kEyepiecePopup = 2625;
constexpr int kEyepieceList = 2627;
constexpr int kFilter = 2628;
constexpr int kBrightnessPopup = 2629;
constexpr int kBrightnessList = 2630;
constexpr int kCancel = 2639;
constexpr int kSave = 2640;
constexpr int kExport = 2642;
// The captions of the entry page.
constexpr int kFirstLabel = 2650;
constexpr int kLastLabel = 2658;
}  // namespace observer_log_form

// Modes of the form.
inline constexpr int kObserverLogList = 0;
inline constexpr int kObserverLogNewEntry = 2;
inline constexpr int kObserverLogEditEntry = 3;

struct ObserverLogState {
    int mode = kObserverLogList;
    int openedNew = 0;                // opened by another form in new-entry mode
    std::vector<std::string> files;   // the list's entry files
    std::string entryFile;            // the file the entry being edited was read from
    int keepEntry = 0;                // the page left for the Finder: what was typed comes back
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    // Remembered between entries for the run.
    int lastVisualLimit = -1;         // x 10; -1: none yet
    std::string lastFilter;
    int lastTransparency = 0, lastSeeing = 0, lastEyepiece = 0;
};
extern ObserverLogState observerLogState;

// Opens the form on a new entry; its Cancel and Save go back to the form that asked.
void OpenObserverLogNew();
// Shows the mode's controls; the entry modes prefill the entry. Any other mode: "ObsLog
// Unknown action".
void ApplyObserverLogMode();
// 1 when it handled the control id.
int ObserverLogCommand(int id);
int LayoutObserverLog(platform::Window dialog, int width, int height);

platform::LResult ObserverLog(platform::Window dialog, unsigned message, platform::WParam wParam,
                              platform::LParam lParam);
