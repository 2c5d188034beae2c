#pragma once
// The user's settings between runs: the settings record, the current site and its three
// stored sites, in one file of the user folder ("settings.dat"), written field by field,
// little-endian, through a temporary file renamed into place.
//
// Layout: "VKSET" and a 0, the version (u16), the length of the body (u32), the body, and
// an FNV-1a check of the body (u32). A file of another version, torn or changed by hand is
// refused whole and left where it is until the next save replaces it.
#include <filesystem>
#include <string>

inline constexpr int kSettingsFileVersion = 1;

std::filesystem::path SettingsFilePath();

enum class SettingsRead {
    Missing,  // no file: the defaults stand
    Read,     // the settings were taken
    Refused,  // the file was unusable; `why` says how, the defaults stand
};

// Takes the settings file over the settings now in force (the defaults at start), then
// brings every value into range. A refused file changes nothing.
SettingsRead ReadSettingsFile(std::string* why = nullptr);
// Writes the settings now in force. False (and `why`) when it cannot; nothing is written
// while the user folder is unusable.
bool WriteSettingsFile(std::string* why = nullptr);

// The store AfterSettingsHook calls while the program runs: writes the file and names the
// file and the reason when that fails.
void StoreSettings();
