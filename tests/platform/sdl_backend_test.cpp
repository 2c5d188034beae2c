// A smoke test of the SDL backend: a real window (under a private Xvfb when there is no
// display, else SDL's offscreen driver), a frame presented, input translated. Skipped when
// no window can be made at all.
#include <gtest/gtest.h>

#include <signal.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/messages.h"
#include "platform/sdl_backend.h"
#include "platform/sdl_library.h"
#include "platform/window.h"

namespace platform {
namespace {

pid_t xvfb = 0;

// Starts a private Xvfb; true when it is ready. Xvfb picks a free display number itself and
// writes it to a pipe once it accepts connections (-displayfd), so test processes starting
// side by side never share, or kill, each other's server.
bool StartXvfb() {
    if (access("/usr/bin/Xvfb", X_OK) != 0) return false;
    int fds[2];
    if (pipe(fds) != 0) return false;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x800x24", "-nolisten", "tcp",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    std::string number;
    pollfd ready{fds[0], POLLIN, 0};
    char c = 0;
    // Up to 10 s for the server to come up, however loaded the machine.
    while (poll(&ready, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        return false;
    }
    xvfb = pid;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

class SdlBackend : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const char* display = std::getenv("DISPLAY");
        if ((!display || !*display) && !StartXvfb()) setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    static void TearDownTestSuite() {
        if (xvfb > 0) {
            kill(xvfb, SIGTERM);
            waitpid(xvfb, nullptr, 0);
            xvfb = 0;
        }
    }
    void TearDown() override {
        sdl::Uninstall();
        ResetWindows();
    }
    static std::vector<InputEvent> Take() {
        std::vector<InputEvent> got;
        InputEvent e;
        while (CurrentBackend().pollInput(&e)) got.push_back(e);
        return got;
    }
    static void PushMouse(Uint32 type, int x, int y) {
        SDL_Event ev{};
        ev.type = type;
        if (type == SDL_MOUSEMOTION) {
            ev.motion.x = x;
            ev.motion.y = y;
        } else {
            ev.button.button = SDL_BUTTON_LEFT;
            ev.button.x = x;
            ev.button.y = y;
        }
        sdl::Sdl().SDL_PushEvent(&ev);
    }
    static void PushKey(Uint32 type, SDL_Keycode key) {
        SDL_Event ev{};
        ev.type = type;
        ev.key.keysym.sym = key;
        sdl::Sdl().SDL_PushEvent(&ev);
    }
};

TEST_F(SdlBackend, ShowsFramesAndTranslatesInput) {
#if defined(__SANITIZE_ADDRESS__)
    // The display and session-bus libraries under SDL keep allocations for the life of
    // the process, which the leak checker would report; the plain build runs this test.
    GTEST_SKIP() << "not under the address sanitizer";
#endif
    sdl::Options options;
    options.scale = 1;
    std::string why;
    if (!sdl::Install(options, &why)) GTEST_SKIP() << "no window could be opened: " << why;
    EXPECT_TRUE(sdl::Installed());
    EXPECT_EQ(ScreenWidth(), 240);

    WindowSpec desc;
    desc.rect = Rect{0, 0, 240, 320};
    Window w = CreateWindow(desc);
    Dc dc = GetWindowDc(w);
    GfxObject red = MakeBrush(Rgb(255, 0, 0));
    FillRect(dc, Rect{0, 0, 240, 320}, red);
    DeleteObject(red);
    ReleaseDc(w, dc);
    PresentScreen();
    Take();

    PushMouse(SDL_MOUSEMOTION, 5, 5);          // the pen is up: no move
    PushMouse(SDL_MOUSEBUTTONDOWN, 10, 20);
    PushMouse(SDL_MOUSEMOTION, 12, 22);
    PushMouse(SDL_MOUSEBUTTONUP, 12, 23);
    PushKey(SDL_KEYDOWN, SDLK_UP);
    PushKey(SDL_KEYDOWN, SDLK_RETURN);
    PushKey(SDL_KEYUP, SDLK_UP);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    sdl::Sdl().SDL_PushEvent(&quit);

    const std::vector<InputEvent> got = Take();
    ASSERT_EQ(got.size(), 8u);
    EXPECT_EQ(got[0].kind, InputKind::PenDown);
    EXPECT_EQ(got[0].point, (Point{10, 20}));
    EXPECT_EQ(got[1].kind, InputKind::PenMove);
    EXPECT_EQ(got[1].point, (Point{12, 22}));
    EXPECT_EQ(got[2].kind, InputKind::PenUp);
    EXPECT_EQ(got[3].kind, InputKind::KeyDown);
    EXPECT_EQ(got[3].key, kKeyUp);
    EXPECT_EQ(got[4].key, kKeyReturn);
    EXPECT_EQ(got[5].kind, InputKind::Char);
    EXPECT_EQ(got[5].character, '\r');
    EXPECT_EQ(got[6].kind, InputKind::KeyUp);
    EXPECT_EQ(got[7].kind, InputKind::Close);
    EXPECT_TRUE(CurrentBackend().keyIsDown(kKeyReturn));
    EXPECT_FALSE(CurrentBackend().keyIsDown(kKeyUp));

    // A wake from another thread ends a wait that has no limit.
    std::thread waker([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        CurrentBackend().wake();
    });
    CurrentBackend().waitInput(-1);
    waker.join();
}

// A window (screen and menu band) larger than the display's usable area comes at the
// largest scale that fits: Xvfb's 640 x 800 and the offscreen driver's 1024 x 768 both take
// scale 2 when 8 is asked for.
TEST_F(SdlBackend, AScaleTooLargeForTheDisplayIsLoweredToOneThatFits) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "not under the address sanitizer";
#endif
    sdl::Options options;
    options.scale = 8;
    options.bandHeight = 26;
    std::string why;
    if (!sdl::Install(options, &why)) GTEST_SKIP() << "no window could be opened: " << why;
    SDL_Rect usable;
    ASSERT_EQ(sdl::Sdl().SDL_GetDisplayUsableBounds(0, &usable), 0);
    int fits = 8;
    while (fits > 1 && (240 * fits > usable.w || 346 * fits > usable.h)) --fits;
    EXPECT_EQ(sdl::Scale(), fits);
    EXPECT_LT(sdl::Scale(), 8);
    EXPECT_EQ(ScreenWidth(), 240 * sdl::Scale());
    EXPECT_EQ(ScreenHeight(), 320 * sdl::Scale());
    sdl::Uninstall();

    // A scale that fits is kept.
    options.scale = 1;
    ASSERT_TRUE(sdl::Install(options, &why)) << why;
    EXPECT_EQ(sdl::Scale(), 1);
}

}  // namespace
}  // namespace platform
