#include "platform/sound.h"

#include <filesystem>

#include "platform/resources.h"
#include "platform/sdl_backend.h"
#include "platform/sdl_library.h"

namespace platform {
namespace {

std::vector<std::string>& Played() {
    static std::vector<std::string> played;
    return played;
}

bool keptOn = false;
bool saverWasEnabled = true;

// The audio device, opened for the first sound's format and kept; a sound of another
// format opens it anew.
struct Audio {
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec format{};
};
Audio audio;

bool SameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
    return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}

bool PlayWave(const std::filesystem::path& path) {
    if (sdl::Sdl().SDL_WasInit(SDL_INIT_AUDIO) == 0 && sdl::Sdl().SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec format{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (!sdl::Sdl().SDL_LoadWAV_RW(sdl::Sdl().SDL_RWFromFile(path.c_str(), "rb"), 1, &format, &samples, &length)) return false;
    if (audio.device != 0 && !SameFormat(audio.format, format)) {
        sdl::Sdl().SDL_CloseAudioDevice(audio.device);
        audio.device = 0;
    }
    if (audio.device == 0) {
        audio.device = sdl::Sdl().SDL_OpenAudioDevice(nullptr, 0, &format, &audio.format, 0);
        if (audio.device == 0) {
            sdl::Sdl().SDL_FreeWAV(samples);
            return false;
        }
    }
    // A sound asked for while the last one still plays replaces it.
    sdl::Sdl().SDL_ClearQueuedAudio(audio.device);
    const bool queued = sdl::Sdl().SDL_QueueAudio(audio.device, samples, length) == 0;
    sdl::Sdl().SDL_FreeWAV(samples);
    sdl::Sdl().SDL_PauseAudioDevice(audio.device, 0);
    return queued;
}

}  // namespace

bool PlaySound(const char* name) {
    if (!name || !*name) return false;
    Played().push_back(name);
    const std::filesystem::path path = ResourcesFolder() / "sounds" / (std::string(name) + ".wav");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    if (!sdl::Installed()) return true;
    return PlayWave(path);
}

const std::vector<std::string>& PlayedSounds() { return Played(); }

void ClearPlayedSounds() { Played().clear(); }

void KeepScreenOn(bool on) {
    if (on == keptOn) return;
    keptOn = on;
    if (!sdl::Installed()) return;
    if (on) {
        saverWasEnabled = sdl::Sdl().SDL_IsScreenSaverEnabled() == SDL_TRUE;
        sdl::Sdl().SDL_DisableScreenSaver();
    } else if (saverWasEnabled) {
        sdl::Sdl().SDL_EnableScreenSaver();
    }
}

bool ScreenKeptOn() { return keptOn; }

}  // namespace platform
