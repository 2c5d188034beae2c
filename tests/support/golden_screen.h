#pragma once
// Golden pictures: the headless screen compared pixel for pixel with a committed PNG.
#include <filesystem>

// Fails the current test when the screen differs from the picture at `file` (the 15 colour
// bits of each pixel). With VELKARION_UPDATE_GOLDEN set, writes the picture instead.
void ExpectScreenLike(const std::filesystem::path& file);
