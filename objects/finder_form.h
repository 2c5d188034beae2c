#pragma once
// The finder (form 2350, "FinderAssistant"): one object found by catalog and number, typed
// on a keypad or picked from the catalog's list, made the selection and shown with its
// place, visibility and rise and set; from it the chart, the ephemeris, the picture, the
// description and the telescope. Its entry state lives in `finderEntry`.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

inline constexpr int kFinderFormId = 2350;

namespace finder_form {
constexpr int kTitle = 8018;
constexpr int kCatalogPopup = 2351;
constexpr int kCatalogList = 2352;
constexpr int kNumber = 2353;
constexpr int kOk = 2354;
constexpr int kDigit0 = 2355;  // then 2356 .. 2364 for 1 .. 9
constexpr int kSky = 2366;
constexpr int kGoto = 2368;
constexpr int kInfo = 2369;
constexpr int kClear = 2371;
constexpr int kFind = 2372;
constexpr int kPicture = 2373;
constexpr int kDescription = 2374;
constexpr int kObjectPopup = 2376;
constexpr int kObjectList = 2377;
constexpr int kGrade = 2379;
constexpr int kEphemeris = 2380;
}  // namespace finder_form

// Digits the keypad takes for a catalog; 0 for the catalogs picked from the list.
int FinderDigitLimit(int catalog);
// The TYC key (region x 100000 + number) of a text "nnnn-nnnnn-1" (the part after "TYC");
// false when the region or the number is missing or out of range (region 1..9537, number
// 1..99999).
bool ParseTychoKey(const char* text, std::int64_t* key);
// The object database record of (catalog, number) found by halving over the catalog's
// records; its index, or -1.
int FindCatalogRecord(int catalog, long long number);

// One keypad digit on the number field.
void CheckFinderDigit(int digit);
// Finds what the typed number or the list names; refreshOnly skips the place.
void FinderLookup(int refreshOnly);
int FinderCommand(int id);
int LayoutFinderAssistant(platform::Window dialog, int width, int height);

platform::LResult FinderAssistant(platform::Window dialog, unsigned message, platform::WParam wParam,
                                  platform::LParam lParam);
