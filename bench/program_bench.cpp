// The program as a user starts it: the CPU and time from the start to the first screen,
// headless (written as a picture) and in its desktop window (seen on the display), beside
// the floor of a start that draws nothing, and the peak memory of the desktop window at
// scale 2 and 3. The window figures use $DISPLAY, or a private Xvfb started here when no
// display is set.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#ifdef VELKARION_BENCH_X11
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#endif

#include "catalog/settings_file.h"
#include "core/settings.h"
#include "platform/paths.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

void WriteSiteSettings(const fs::path& home) {
    platform::SetHomeRoot(home);
    platform::PrepareHomeFolder();
    SetDefaultSettings();
    std::memset(observerLocation.name, 0, sizeof observerLocation.name);
    std::memcpy(observerLocation.name, "Site", 4);
    SetLatitude(observerLocation, 47.5f);
    observerLocation.longitude = -8.25f;  // west positive: 8.25 degrees east
    observerLocation.zoneMinutes = 60;
    WriteSettingsFile();
    SetDefaultSettings();
    platform::SetHomeRoot({});
}

// A private runtime folder, so that another copy running on this machine does not stop
// the one started here, and two user folders: one of a user who saved a site (the start
// shows the home form), one never used (the first start shows the site form). Removed
// when the benchmarks end.
struct Scratch {
    Scratch()
        : folder(fs::temp_directory_path() / ("vk-bench-program-" + std::to_string(::getpid()))),
          siteHome(folder / "home-site"),
          newHome(folder / "home-new") {
        fs::create_directories(folder / "runtime");
        fs::permissions(folder / "runtime", fs::perms::owner_all);
        fs::create_directories(newHome);
        WriteSiteSettings(siteHome);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const fs::path folder;
    const fs::path siteHome;
    const fs::path newHome;
};

const Scratch& Folders() {
    static const Scratch scratch;
    return scratch;
}

struct Finished {
    bool started = false;
    bool sawScreen = true;     // the watch saw what it waited for
    double seconds = 0.0;      // to the end, or to what the watch saw
    double cpuSeconds = 0.0;   // user and system time of the child
    long peakKilobytes = 0;
};

// Watches a running child; gives whether it saw what it waited for and sets *seen to when.
using Watch = std::function<bool(pid_t, Clock::time_point* seen)>;

// Runs the program with the arguments in the user folder `home`, with the environment's
// variables changed by `variables` ("NAME=value"). With a watch, the child is killed once
// the watch returns. Gives the wall time, the CPU time and the peak resident memory.
Finished RunProgram(const std::vector<std::string>& arguments, const fs::path& home,
                    const std::vector<std::string>& variables = {}, const Watch& watch = {}) {
    std::vector<std::string> settings = {"XDG_RUNTIME_DIR=" + (Folders().folder / "runtime").string(),
                                         "VELKARION_HOME=" + home.string()};
    settings.insert(settings.end(), variables.begin(), variables.end());
    std::vector<char*> envp;
    for (std::string& v : settings) envp.push_back(v.data());
    for (char** e = environ; *e; ++e) {
        const char* equals = std::strchr(*e, '=');
        const std::size_t length = equals ? static_cast<std::size_t>(equals - *e) + 1 : std::strlen(*e);
        const bool replaced = std::any_of(settings.begin(), settings.end(),
                                          [&](const std::string& v) { return v.compare(0, length, *e, length) == 0; });
        if (!replaced) envp.push_back(*e);
    }
    envp.push_back(nullptr);
    std::vector<char*> argv;
    std::string program = VELKARION_PROGRAM;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& a : copies) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Finished result;
    const auto start = Clock::now();
    auto end = start;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    if (watch) {
        result.sawScreen = watch(pid, &end);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid) return result;
    if (!watch) end = Clock::now();
    result.started = true;
    result.seconds = std::chrono::duration<double>(end - start).count();
    result.peakKilobytes = usage.ru_maxrss;
    result.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return result;
}

// The mean CPU of the program started with --help: loaded, linked and ended at once, with
// nothing drawn or read. Measured once per run of the benchmarks.
double FloorCpuMs() {
    static const double floor = [] {
        constexpr int kRuns = 20;
        RunProgram({"--help"}, Folders().siteHome);
        double cpu = 0.0;
        for (int i = 0; i < kRuns; ++i) cpu += RunProgram({"--help"}, Folders().siteHome).cpuSeconds;
        return cpu * 1000.0 / kRuns;
    }();
    return floor;
}

// Runs the program at every iteration, timing its wall clock, and prints its mean CPU and
// the floor's beside the label.
void TimeProgramRuns(benchmark::State& state, const std::vector<std::string>& arguments, const fs::path& home,
                     const char* label, const std::vector<std::string>& variables = {}, const Watch& watch = {}) {
    const double floor = FloorCpuMs();
    double cpu = 0.0;
    for (auto _ : state) {
        const Finished run = RunProgram(arguments, home, variables, watch);
        if (!run.started || !run.sawScreen) {
            state.SkipWithError(run.started ? "no first screen in the window (the program ended, or took over 10 s)"
                                            : "the program did not run");
            return;
        }
        cpu += run.cpuSeconds;
        state.SetIterationTime(run.seconds);
    }
    state.counters["cpu_ms"] = cpu * 1000.0 / static_cast<double>(state.iterations());
    state.counters["floor_cpu_ms"] = floor;
    state.SetLabel(label);
}

// ---- A display for the window figures ------------------------------------------------

bool OnPath(const char* tool) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= folders.size()) {
        std::size_t colon = folders.find(':', at);
        if (colon == std::string::npos) colon = folders.size();
        const std::string candidate = folders.substr(at, colon - at) + "/" + tool;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        at = colon + 1;
    }
    return false;
}

// The X display the window figures use: $DISPLAY, else a private Xvfb started at first use
// (it picks a free display number and says it on a pipe) and stopped when the benchmarks
// end. Its name is empty, with the reason, when there is none.
class XDisplay {
public:
    XDisplay() {
        if (const char* d = std::getenv("DISPLAY"); d && *d) {
            name_ = d;
            return;
        }
        if (!OnPath("Xvfb")) {
            why_ = "no DISPLAY and no Xvfb to start one (install xvfb)";
            return;
        }
        int fds[2];
        if (::pipe(fds) != 0) {
            why_ = "no pipe for Xvfb";
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        std::vector<std::string> args = {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                                         "-br", "-noreset"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int spawned = posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        if (spawned != 0) {
            ::close(fds[0]);
            server_ = 0;
            why_ = "Xvfb could not be started";
            return;
        }
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (number.empty()) {
            why_ = "Xvfb started but gave no display";
            return;
        }
        name_ = ":" + number;
    }
    ~XDisplay() {
        if (server_ <= 0) return;
        ::kill(server_, SIGTERM);
        int status = 0;
        ::waitpid(server_, &status, 0);
    }
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Why() const { return why_; }

private:
    std::string name_;
    std::string why_;
    pid_t server_ = 0;
};

const XDisplay& WindowDisplay() {
    static const XDisplay display;
    return display;
}

bool ChildEnded(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
}

#ifdef VELKARION_BENCH_X11

// A window unmapped or resized between two looks makes XGetImage fail; that look then
// counts as nothing seen.
int IgnoreXError(::Display*, XErrorEvent*) { return 0; }

// Eight rows spread over the window's height: enough to tell a drawn screen from an empty
// window and to see a change, at little cost to the X server.
std::vector<unsigned long> LookAt(::Display* d, ::Window w, int width, int height) {
    std::vector<unsigned long> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * 8);
    for (int k = 1; k <= 8; ++k) {
        XImage* row = XGetImage(d, w, 0, height * k / 9, static_cast<unsigned>(width), 1, AllPlanes, ZPixmap);
        if (!row) return {};
        for (int x = 0; x < width; ++x) pixels.push_back(XGetPixel(row, x, 0));
        XDestroyImage(row);
    }
    return pixels;
}

bool OneColour(const std::vector<unsigned long>& pixels) {
    return std::all_of(pixels.begin(), pixels.end(), [&](unsigned long p) { return p == pixels.front(); });
}

// The viewable window of the program `pid` (its _NET_WM_PID), among the top-level windows
// and their children (a window manager's frame holds the program's window), or 0.
::Window ProgramWindow(::Display* d, ::Window parent, pid_t pid, Atom pidAtom, int depth) {
    ::Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, parent, &root, &up, &children, &count)) return 0;
    ::Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(d, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &value) == Success && value) {
            XWindowAttributes a;
            if (format == 32 && items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(value)) == pid &&
                XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable)
                found = children[i];
            XFree(value);
        }
        if (!found && depth > 1) found = ProgramWindow(d, children[i], pid, pidAtom, depth - 1);
    }
    if (children) XFree(children);
    return found;
}

// Watches the display for the program's window: shown, then drawn (not one colour), and
// the same picture for 10 ms, so that a screen still being built is not taken for the
// first one. The time seen is the first look that showed that picture. It looks every
// 3 ms: looking every millisecond kept the X server busy enough to add some 3 ms to the
// program's own CPU (20 ms with the server on another core).
class FirstScreenWatch {
public:
    explicit FirstScreenWatch(const std::string& name) : display_(XOpenDisplay(name.c_str())) {
        if (!display_) return;
        XSetErrorHandler(&IgnoreXError);
        pidAtom_ = XInternAtom(display_, "_NET_WM_PID", False);
    }
    ~FirstScreenWatch() {
        if (display_) XCloseDisplay(display_);
    }
    FirstScreenWatch(const FirstScreenWatch&) = delete;
    FirstScreenWatch& operator=(const FirstScreenWatch&) = delete;

    bool Open() const { return display_ != nullptr; }

    bool Wait(pid_t pid, Clock::time_point* seen) {
        using namespace std::chrono_literals;
        const auto deadline = Clock::now() + 10s;
        ::Window window = 0;
        std::vector<unsigned long> last;
        Clock::time_point since{};
        for (; Clock::now() < deadline && !ChildEnded(pid); std::this_thread::sleep_for(3ms)) {
            if (!window) window = ProgramWindow(display_, DefaultRootWindow(display_), pid, pidAtom_, 2);
            // The first frame may resize the window (the menu band below the screen).
            XWindowAttributes a;
            if (!window || !XGetWindowAttributes(display_, window, &a)) continue;
            std::vector<unsigned long> pixels = LookAt(display_, window, a.width, a.height);
            const auto now = Clock::now();
            if (pixels != last) {
                last = std::move(pixels);
                since = now;
            } else if (!last.empty() && !OneColour(last) && now - since >= 10ms) {
                *seen = since;
                return true;
            }
        }
        return false;
    }

private:
    ::Display* display_;
    Atom pidAtom_ = 0;
};

#endif

// ---- The figures -----------------------------------------------------------------------

// A headless start in the user folder `home` to its first screen, written as a picture.
// One run comes before the timed ones: the folder gets the copies a first run makes, and
// the files read are in the system's cache, as at any start but the first after booting.
void TimeHeadlessStart(benchmark::State& state, const fs::path& home, const char* label) {
    const std::string shot = (Folders().folder / "first.png").string();
    const std::vector<std::string> arguments = {"--headless", "--wait", "0", "--screenshot", shot};
    RunProgram(arguments, home);
    TimeProgramRuns(state, arguments, home, label);
}

// A user who saved a site: the start shows the home form.
void BM_StartToFirstScreen(benchmark::State& state) {
    TimeHeadlessStart(state, Folders().siteHome, "home form; wall target 50 ms, CPU target 35 ms");
}
BENCHMARK(BM_StartToFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The very first start: no settings yet, so the site form and its hint are shown.
void BM_FirstStartToFirstScreen(benchmark::State& state) {
    TimeHeadlessStart(state, Folders().newHome, "site form; CPU target 35 ms");
}
BENCHMARK(BM_FirstStartToFirstScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The floor under the start on its own row, with its wall time.
void BM_StartFloor(benchmark::State& state) {
    TimeProgramRuns(state, {"--help"}, Folders().siteHome, "the program with --help: what any start costs");
}
BENCHMARK(BM_StartFloor)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The desktop window at scale 2 to its first screen on the display (the home form). The
// CPU is the program's alone: the X server's share is not counted.
void BM_StartToFirstScreenWindow(benchmark::State& state) {
#ifdef VELKARION_BENCH_X11
    if (WindowDisplay().Name().empty()) {
        state.SkipWithError(WindowDisplay().Why().c_str());
        return;
    }
    FirstScreenWatch watch(WindowDisplay().Name());
    if (!watch.Open()) {
        state.SkipWithError(("cannot open display " + WindowDisplay().Name()).c_str());
        return;
    }
    const std::vector<std::string> variables = {"DISPLAY=" + WindowDisplay().Name()};
    const Watch firstScreen = [&](pid_t pid, Clock::time_point* seen) { return watch.Wait(pid, seen); };
    // The first window start on a display pays for the server's first use of its fonts
    // and keyboard maps; it is not timed.
    RunProgram({"--scale", "2"}, Folders().siteHome, variables, firstScreen);
    TimeProgramRuns(state, {"--scale", "2"}, Folders().siteHome, "home form in the window; CPU target 60 ms",
                    variables, firstScreen);
#else
    state.SkipWithError("built without the X11 headers (libx11-dev): the window cannot be watched");
#endif
}
BENCHMARK(BM_StartToFirstScreenWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The window opened and shown for two seconds; the peak of the whole process.
void BM_WindowPeakMemory(benchmark::State& state) {
    if (WindowDisplay().Name().empty()) {
        state.SkipWithError(WindowDisplay().Why().c_str());
        return;
    }
    const Watch twoSeconds = [](pid_t, Clock::time_point* seen) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        *seen = Clock::now();
        return true;
    };
    long peak = 0;
    for (auto _ : state) {
        const Finished run = RunProgram({"--scale", std::to_string(state.range(0))}, Folders().siteHome,
                                        {"DISPLAY=" + WindowDisplay().Name()}, twoSeconds);
        if (!run.started) {
            state.SkipWithError("the program did not run");
            return;
        }
        peak = std::max(peak, run.peakKilobytes);
        state.SetIterationTime(run.seconds);
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    state.SetLabel("target 64 MB");
}
BENCHMARK(BM_WindowPeakMemory)->Arg(2)->Arg(3)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
