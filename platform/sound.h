#pragma once
// Short sounds and the screen saver. A sound is a WAVE file of resources/sounds/ named
// after the sound ("startTimer" is sounds/startTimer.wav). With the SDL backend installed
// it is played through SDL audio without waiting for its end; headless nothing is heard,
// and every sound asked for is recorded for the tests either way.
#include <string>
#include <vector>

namespace platform {

// Starts the sound and returns at once. False when its file is missing or cannot be
// played (the sound is still recorded).
bool PlaySound(const char* name);
// The sounds asked for since the last clear, oldest first.
const std::vector<std::string>& PlayedSounds();
void ClearPlayedSounds();

// While on, the desktop's screen saver and blanking are held off (with the SDL backend;
// headless nothing happens). Turning it off restores what the desktop had.
void KeepScreenOn(bool on);
bool ScreenKeptOn();

}  // namespace platform
