#pragma once
// SDL2, loaded when the first window opens rather than when the program starts: a headless
// run (the tests, scripted screenshots) then never maps SDL and the fifty libraries it
// brings, which was most of the cost of starting. Only the functions below are used; the
// window and the sounds call them through Sdl().
#include <SDL.h>

#include <string>

namespace platform::sdl {

#define VELKARION_SDL_FUNCTIONS(X)                                                                    \
    X(SDL_CaptureMouse) X(SDL_ClearQueuedAudio) X(SDL_CloseAudioDevice) X(SDL_CreateRenderer)         \
    X(SDL_CreateTexture) X(SDL_CreateWindow) X(SDL_DestroyRenderer) X(SDL_DestroyTexture)             \
    X(SDL_DestroyWindow) X(SDL_DisableScreenSaver) X(SDL_EnableScreenSaver) X(SDL_FreeWAV)            \
    X(SDL_GetCurrentVideoDriver) X(SDL_GetDisplayUsableBounds) X(SDL_GetError)                        \
    X(SDL_GetNumVideoDrivers) X(SDL_GetTicks) X(SDL_GetVideoDriver) X(SDL_GetWindowPixelFormat)       \
    X(SDL_InitSubSystem) X(SDL_IsScreenSaverEnabled) X(SDL_LoadWAV_RW) X(SDL_LockTexture)             \
    X(SDL_RWFromFile) X(SDL_OpenAudioDevice) X(SDL_PauseAudioDevice) X(SDL_PollEvent)                 \
    X(SDL_PushEvent) X(SDL_QueueAudio) X(SDL_Quit) X(SDL_QuitSubSystem) X(SDL_RaiseWindow)            \
    X(SDL_RegisterEvents) X(SDL_RenderClear) X(SDL_RenderCopy) X(SDL_RenderPresent)                   \
    X(SDL_RenderSetLogicalSize) X(SDL_ResetHint) X(SDL_SetHint) X(SDL_SetRenderDrawColor)             \
    X(SDL_SetWindowSize) X(SDL_StartTextInput) X(SDL_StopTextInput) X(SDL_UnlockTexture)              \
    X(SDL_WaitEvent) X(SDL_WaitEventTimeout) X(SDL_WasInit) X(SDL_getenv)

struct Library {
#define VELKARION_SDL_POINTER(name) decltype(&::name) name = nullptr;
    VELKARION_SDL_FUNCTIONS(VELKARION_SDL_POINTER)
#undef VELKARION_SDL_POINTER
};

// Loads SDL2 once per run; false, with the reason in *why, when the library or one of its
// functions can't be found (the program then runs without a window, saying why).
bool LoadLibrary(std::string* why = nullptr);
// The loaded functions; only after LoadLibrary() succeeded.
const Library& Sdl();

}  // namespace platform::sdl
