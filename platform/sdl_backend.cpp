#include "platform/sdl_backend.h"

#include <cstring>
#include <deque>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/messages.h"
#include "platform/sdl_library.h"
#include "platform/text_fonts.h"
#include "platform/window.h"

namespace platform::sdl {
namespace {

struct State {
    bool installed = false;
    int scale = 1;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;            // the frame's size, as the texture holds it
    int height = 0;
    int windowWidth = 0;      // the size last given to the window
    int windowHeight = 0;
    std::uint32_t wakeEvent = 0;
    std::deque<InputEvent> pending;
    bool keys[kKeyCount] = {};
    bool penDown = false;
    Uint32 format = SDL_PIXELFORMAT_RGB555;   // the texture's
    Backend backend;
};

State& S() {
    static State s;
    return s;
}

int MapKey(SDL_Keycode k) {
    switch (k) {
        case SDLK_LEFT: return kKeyLeft;
        case SDLK_RIGHT: return kKeyRight;
        case SDLK_UP: return kKeyUp;
        case SDLK_DOWN: return kKeyDown;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return kKeyReturn;
        case SDLK_PAGEUP: return kKeyPageUp;
        case SDLK_PAGEDOWN: return kKeyPageDown;
        case SDLK_HOME: return kKeyHome;
        case SDLK_END: return kKeyEnd;
        case SDLK_F1: return kKeyF1;
        case SDLK_F2: return kKeyF2;
        case SDLK_F3: return kKeyF3;
        case SDLK_F4: return kKeyF4;
        case SDLK_ESCAPE: return kKeyEscape;
        case SDLK_BACKSPACE: return kKeyBack;
        case SDLK_TAB: return kKeyTab;
        case SDLK_DELETE: return kKeyDelete;
        case SDLK_SPACE: return kKeySpace;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return kKeyShift;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return kKeyControl;
        case SDLK_LALT:
        case SDLK_RALT: return kKeyAlt;
        default: break;
    }
    if (k >= SDLK_a && k <= SDLK_z) return static_cast<int>('A' + (k - SDLK_a));
    if (k >= SDLK_0 && k <= SDLK_9) return static_cast<int>('0' + (k - SDLK_0));
    return 0;
}

// Keys whose characters SDL does not send as text, as the program's edit fields expect
// them.
unsigned char ControlCharacter(int key) {
    switch (key) {
        case kKeyReturn: return '\r';
        case kKeyBack: return 8;
        case kKeyTab: return '\t';
        case kKeyEscape: return 27;
        default: return 0;
    }
}

// The renderer's logical size maps mouse positions onto the screen's pixels.
Point ToScreen(int x, int y) { return Point{x, y}; }

void Push(InputEvent e) {
    e.time = Sdl().SDL_GetTicks();
    S().pending.push_back(e);
}

void Redraw() {
    State& s = S();
    if (!s.renderer || !s.texture) return;
    Sdl().SDL_RenderClear(s.renderer);
    Sdl().SDL_RenderCopy(s.renderer, s.texture, nullptr, nullptr);
    Sdl().SDL_RenderPresent(s.renderer);
}

// Frames go through SDL's software renderer into the window's own surface. An accelerated
// renderer loads the system's whole graphics driver stack (a hundred megabytes for a
// 480 x 640 picture); so would SDL's check, when it first makes a window surface, for a
// graphics driver it could use instead, unless told to keep to the plain surface.
SDL_Renderer* CreateFrameRenderer(SDL_Window* window) {
    Sdl().SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    Sdl().SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    return Sdl().SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

void Translate(const SDL_Event& ev) {
    State& s = S();
    InputEvent e;
    switch (ev.type) {
        case SDL_QUIT:
            e.kind = InputKind::Close;
            Push(e);
            break;
        case SDL_WINDOWEVENT:
            if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
                e.kind = InputKind::Close;
                Push(e);
            } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) {
                Redraw();
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (ev.button.button != SDL_BUTTON_LEFT || s.penDown) break;
            s.penDown = true;
            s.keys[kKeyPen] = true;
            Sdl().SDL_CaptureMouse(SDL_TRUE);
            e.kind = InputKind::PenDown;
            e.point = ToScreen(ev.button.x, ev.button.y);
            Push(e);
            break;
        case SDL_MOUSEMOTION:
            if (!s.penDown) break;
            e.kind = InputKind::PenMove;
            e.point = ToScreen(ev.motion.x, ev.motion.y);
            Push(e);
            break;
        case SDL_MOUSEBUTTONUP:
            if (ev.button.button != SDL_BUTTON_LEFT || !s.penDown) break;
            s.penDown = false;
            s.keys[kKeyPen] = false;
            Sdl().SDL_CaptureMouse(SDL_FALSE);
            e.kind = InputKind::PenUp;
            e.point = ToScreen(ev.button.x, ev.button.y);
            Push(e);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const int key = MapKey(ev.key.keysym.sym);
            if (key == 0) break;
            const bool down = ev.type == SDL_KEYDOWN;
            s.keys[key] = down;
            e.kind = down ? InputKind::KeyDown : InputKind::KeyUp;
            e.key = key;
            Push(e);
            if (down && ControlCharacter(key)) {
                InputEvent c;
                c.kind = InputKind::Char;
                c.character = ControlCharacter(key);
                Push(c);
            }
            break;
        }
        case SDL_TEXTINPUT:
            for (char ch : Utf8ToProgramText(ev.text.text)) {
                InputEvent c;
                c.kind = InputKind::Char;
                c.character = static_cast<unsigned char>(ch);
                Push(c);
            }
            break;
        default: break;
    }
}

void Drain() {
    SDL_Event ev;
    while (Sdl().SDL_PollEvent(&ev)) Translate(ev);
}

bool Poll(InputEvent* out) {
    State& s = S();
    if (s.pending.empty()) Drain();
    if (s.pending.empty()) return false;
    *out = s.pending.front();
    s.pending.pop_front();
    return true;
}

void Wait(int timeoutMs) {
    State& s = S();
    Drain();
    if (!s.pending.empty() || timeoutMs == 0) return;
    SDL_Event ev;
    const int got = timeoutMs < 0 ? Sdl().SDL_WaitEvent(&ev) : Sdl().SDL_WaitEventTimeout(&ev, timeoutMs);
    if (got) Translate(ev);
}

void Wake() {
    const std::uint32_t type = S().wakeEvent;
    if (!type) return;
    SDL_Event ev{};
    ev.type = type;
    Sdl().SDL_PushEvent(&ev);
}

// The texture's format: the window surface's own (SDL's 8-8-8 on a 24-bit display), so
// that a redraw copies the frame without converting it; the screen's 5-5-5 on any other.
Uint32 FrameFormat(SDL_Window* window) {
    return Sdl().SDL_GetWindowPixelFormat(window) == SDL_PIXELFORMAT_RGB888 ? SDL_PIXELFORMAT_RGB888
                                                                            : SDL_PIXELFORMAT_RGB555;
}

// One screen row into a texture row, top row first.
void CopyRow(const std::uint16_t* row, int width, Uint32 format, std::uint8_t* out) {
    if (format != SDL_PIXELFORMAT_RGB888) {
        std::memcpy(out, row, static_cast<std::size_t>(width) * 2);
        return;
    }
    auto* pixels = reinterpret_cast<std::uint32_t*>(out);
    for (int x = 0; x < width; ++x) {
        const Color c = PixelToColor(row[x]);
        pixels[x] = static_cast<std::uint32_t>(RedOf(c)) << 16 | static_cast<std::uint32_t>(GreenOf(c)) << 8 |
                    static_cast<std::uint32_t>(BlueOf(c));
    }
}

void Present(const Surface& screen) {
    State& s = S();
    if (!s.renderer || !screen.Valid()) return;
    if (!s.texture || screen.width != s.width || screen.height != s.height) {
        if (s.texture) Sdl().SDL_DestroyTexture(s.texture);
        s.format = FrameFormat(s.window);
        s.texture = Sdl().SDL_CreateTexture(s.renderer, s.format, SDL_TEXTUREACCESS_STREAMING, screen.width,
                                            screen.height);
        if (!s.texture) return;
        s.width = screen.width;
        s.height = screen.height;
        // Only a frame of another size resizes the window: SDL remakes the window's
        // surface and asks for a redraw even when the size is the same.
        if (s.width != s.windowWidth || s.height != s.windowHeight) {
            Sdl().SDL_SetWindowSize(s.window, s.width, s.height);
            Sdl().SDL_RenderSetLogicalSize(s.renderer, s.width, s.height);
            s.windowWidth = s.width;
            s.windowHeight = s.height;
        }
    }
    void* pixels = nullptr;
    int pitch = 0;
    if (Sdl().SDL_LockTexture(s.texture, nullptr, &pixels, &pitch) != 0) return;
    // The screen is stored bottom-up; the texture wants its top row first.
    auto* rows = static_cast<std::uint8_t*>(pixels);
    for (int y = 0; y < screen.height; ++y)
        CopyRow(screen.Row(y), screen.width, s.format, rows + static_cast<std::ptrdiff_t>(y) * pitch);
    Sdl().SDL_UnlockTexture(s.texture);
    Redraw();
}

std::uint32_t Ticks() { return Sdl().SDL_GetTicks(); }

bool KeyDown(int key) {
    if (key < 0 || key >= kKeyCount) return false;
    return S().keys[key];
}

void Raise() {
    if (S().window) Sdl().SDL_RaiseWindow(S().window);
}

bool ShowsNothing(const char* driver) {
    return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                      std::strcmp(driver, "evdev") == 0);
}

// SDL's video. Without a display SDL falls back to a driver that shows nothing, which
// would leave the user an invisible program: unless the environment asked for such a
// driver, the drivers of real displays are tried alone, so that SDL says why they failed.
bool OpenVideo(std::string* why) {
    constexpr Uint32 kSystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS;
    if (Sdl().SDL_InitSubSystem(kSystems) != 0) {
        *why = Sdl().SDL_GetError();
        return false;
    }
    const char* asked = Sdl().SDL_getenv("SDL_VIDEODRIVER");
    if (!ShowsNothing(Sdl().SDL_GetCurrentVideoDriver()) || (asked && *asked)) return true;
    Sdl().SDL_QuitSubSystem(kSystems);
    std::string real;
    for (int i = 0; i < Sdl().SDL_GetNumVideoDrivers(); ++i) {
        const char* driver = Sdl().SDL_GetVideoDriver(i);
        if (!driver || ShowsNothing(driver)) continue;
        if (!real.empty()) real += ',';
        real += driver;
    }
    if (real.empty()) {
        *why = "SDL has no video driver for a display";
        return false;
    }
    Sdl().SDL_SetHint(SDL_HINT_VIDEODRIVER, real.c_str());
    const bool opened = Sdl().SDL_InitSubSystem(kSystems) == 0;
    if (!opened) *why = Sdl().SDL_GetError();
    Sdl().SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    return opened;
}

// The largest scale up to `wanted` whose window fits the usable area of the display.
int FittingScale(int wanted, int designWidth, int designHeight) {
    SDL_Rect usable;
    if (Sdl().SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return wanted;
    int scale = wanted;
    while (scale > 1 && (designWidth * scale > usable.w || designHeight * scale > usable.h)) --scale;
    return scale;
}

}  // namespace

bool Install(const Options& options, std::string* why) {
    State& s = S();
    if (s.installed) return true;
    std::string reason;
    if (!LoadLibrary(&reason) || !OpenVideo(&reason)) {
        if (why) *why = reason;
        return false;
    }
    int scale = options.scale < 1 ? 1 : options.scale;
    if (options.width == 0 && options.height == 0) scale = FittingScale(scale, 240, 320 + options.bandHeight);
    SetScreenGeometry(scale, options.width, options.height);
    // Made at the size of the first frame, the band below the screen included: a window
    // resized at its first frame is drawn twice over.
    const int w = ScreenWidth(), h = ScreenHeight() + options.bandHeight * scale;
    s.window = Sdl().SDL_CreateWindow(options.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE);
    if (s.window) {
        s.renderer = CreateFrameRenderer(s.window);
    }
    if (!s.window || !s.renderer) {
        if (why) *why = Sdl().SDL_GetError();
        if (s.window) Sdl().SDL_DestroyWindow(s.window);
        s.window = nullptr;
        Sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    // Nearest-neighbour when the desktop window is resized: pixels stay crisp.
    Sdl().SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    Sdl().SDL_RenderSetLogicalSize(s.renderer, w, h);
    s.windowWidth = w;
    s.windowHeight = h;
    Sdl().SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    s.wakeEvent = Sdl().SDL_RegisterEvents(1);
    if (s.wakeEvent == static_cast<std::uint32_t>(-1)) s.wakeEvent = 0;
    Sdl().SDL_StartTextInput();
    s.pending.clear();
    for (bool& k : s.keys) k = false;
    s.penDown = false;

    s.backend = Backend{};
    s.backend.pollInput = &Poll;
    s.backend.waitInput = &Wait;
    s.backend.wake = &Wake;
    s.backend.present = &Present;
    s.backend.tickCount = &Ticks;
    s.backend.localTime = &RealLocalTime;
    s.backend.keyIsDown = &KeyDown;
    s.backend.raise = &Raise;
    s.installed = true;
    s.scale = scale;
    SetBackend(&s.backend);
    // Everything is shown once the loop first presents.
    MarkScreenChanged();
    return true;
}

void Uninstall() {
    State& s = S();
    if (!s.installed) return;
    SetBackend(nullptr);
    Sdl().SDL_StopTextInput();
    if (s.texture) Sdl().SDL_DestroyTexture(s.texture);
    if (s.renderer) Sdl().SDL_DestroyRenderer(s.renderer);
    if (s.window) Sdl().SDL_DestroyWindow(s.window);
    s.texture = nullptr;
    s.renderer = nullptr;
    s.window = nullptr;
    s.width = s.height = 0;
    s.windowWidth = s.windowHeight = 0;
    s.pending.clear();
    s.installed = false;
    Sdl().SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    // With nothing else of SDL in use, shut it down whole: that also releases its
    // session-bus connection.
    if (Sdl().SDL_WasInit(SDL_INIT_EVERYTHING) == 0) Sdl().SDL_Quit();
}

bool Installed() { return S().installed; }

int Scale() { return S().scale; }

}  // namespace platform::sdl
