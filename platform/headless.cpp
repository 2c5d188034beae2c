#include "platform/headless.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace platform::headless {

namespace {

// A wait that nothing can end, or a program that never comes back to its loop, would hang
// a test run; after this long (real time) the run is stopped with a message instead.
constexpr auto kWatchdog = std::chrono::seconds(60);

bool Before(std::uint32_t a, std::uint32_t b) { return static_cast<std::int32_t>(a - b) < 0; }

// ---- The backend ---------------------------------------------------------------------------

struct Machine {
    std::mutex mutex;
    std::condition_variable cv;
    bool woken = false;
    std::atomic<std::uint32_t> tick{1000};
    LocalTime base;
    std::uint32_t baseTick = 1000;
    std::deque<InputEvent> script;  // by time
    std::deque<InputEvent> ready;   // due, not yet taken by the loop
    bool keys[kKeyCount] = {};
    Point pen;
    Surface frame;
    std::uint64_t frames = 0;
    bool installed = false;
    bool setHome = false;
};

Machine& M() {
    static Machine m;
    return m;
}

void NoteKeyLocked(Machine& m, const InputEvent& e) {
    switch (e.kind) {
        case InputKind::PenDown: m.keys[kKeyPen] = true; break;
        case InputKind::PenUp: m.keys[kKeyPen] = false; break;
        case InputKind::KeyDown:
            if (e.key >= 0 && e.key < kKeyCount) m.keys[e.key] = true;
            break;
        case InputKind::KeyUp:
            if (e.key >= 0 && e.key < kKeyCount) m.keys[e.key] = false;
            break;
        default: break;
    }
}

void ReleaseDueLocked(Machine& m) {
    const std::uint32_t now = m.tick.load();
    while (!m.script.empty() && !Before(now, m.script.front().time)) {
        NoteKeyLocked(m, m.script.front());
        m.ready.push_back(m.script.front());
        m.script.pop_front();
    }
}

bool Poll(InputEvent* out) {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    ReleaseDueLocked(m);
    if (m.ready.empty()) return false;
    *out = m.ready.front();
    m.ready.pop_front();
    return true;
}

void Wait(int timeoutMs) {
    Machine& m = M();
    std::unique_lock lock(m.mutex);
    ReleaseDueLocked(m);
    if (!m.ready.empty() || m.woken) {
        m.woken = false;
        return;
    }
    if (timeoutMs >= 0 || !m.script.empty()) {
        const std::uint32_t now = m.tick.load();
        std::uint32_t next = timeoutMs == 0 ? now + 1 : now + static_cast<std::uint32_t>(timeoutMs);
        if (timeoutMs < 0) next = m.script.front().time;
        if (timeoutMs > 0 && !m.script.empty() && Before(m.script.front().time, next)) next = m.script.front().time;
        if (Before(now, next)) m.tick.store(next);
        ReleaseDueLocked(m);
        return;
    }
    // Nothing scripted and no timer: only another thread can give the loop something.
    if (!m.cv.wait_for(lock, kWatchdog, [&] { return m.woken; })) {
        std::fprintf(stderr,
                     "headless: a loop waits for input that no script will give; run loops that may block "
                     "through headless::StartProgram or headless::Call\n");
        std::abort();
    }
    m.woken = false;
}

void WakeUp() {
    Machine& m = M();
    {
        std::lock_guard lock(m.mutex);
        m.woken = true;
    }
    m.cv.notify_all();
}

void Present(const Surface& screen) {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    m.frame = screen;
    ++m.frames;
}

std::uint32_t Ticks() { return M().tick.load(); }

LocalTime Local() {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    return AddMilliseconds(m.base, static_cast<std::int32_t>(m.tick.load() - m.baseTick));
}

bool KeyState(int key) {
    if (key < 0 || key >= kKeyCount) return false;
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    ReleaseDueLocked(m);
    return m.keys[key];
}

const Backend kHeadless = [] {
    Backend b;
    b.pollInput = &Poll;
    b.waitInput = &Wait;
    b.wake = &WakeUp;
    b.present = &Present;
    b.tickCount = &Ticks;
    b.localTime = &Local;
    b.keyIsDown = &KeyState;
    return b;
}();

// ---- The driver ----------------------------------------------------------------------------

struct Driver {
    std::mutex mutex;
    std::condition_variable cv;
    bool programTurn = false;
    bool running = false;
    bool finished = false;
    bool stopping = false;
    int exitCode = 0;
    std::thread thread;
    std::thread::id programId;
};

Driver& D() {
    static Driver d;
    return d;
}

void StopActions() {
    const std::vector<Window> stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) EndDialog(*it, kIdCancel);
    if (AsyncKeyIsDown(kKeyPen)) {
        InputEvent up;
        up.kind = InputKind::PenUp;
        up.point = PenPosition();
        Schedule(up);
    }
    PostQuitMessage(0);
}

// The program's loop would block: give the turn to the caller until it lets the program
// run again.
bool Hook() {
    Driver& d = D();
    std::unique_lock lock(d.mutex);
    if (!d.running || std::this_thread::get_id() != d.programId) return false;
    d.programTurn = false;
    d.cv.notify_all();
    d.cv.wait(lock, [&] { return d.programTurn; });
    const bool stop = d.stopping;
    lock.unlock();
    if (stop) StopActions();
    return true;
}

// Gives the program the turn until it is idle again; false when it has ended.
bool Resume() {
    Driver& d = D();
    std::unique_lock lock(d.mutex);
    if (d.finished) return false;
    d.programTurn = true;
    d.cv.notify_all();
    if (!d.cv.wait_for(lock, kWatchdog, [&] { return !d.programTurn; })) {
        std::fprintf(stderr,
                     "headless: the program did not come back to its loop (a paint that is never validated, or a "
                     "loop that never waits)\n");
        std::abort();
    }
    return !d.finished;
}

// The next moment something is due: a scripted event or a timer, at or before `limit`.
bool NextEvent(std::uint32_t limit, bool bounded, std::uint32_t* at) {
    bool any = false;
    std::uint32_t best = limit;
    std::uint32_t t;
    if (NextScriptedTime(&t) && (!bounded || Before(t, best))) {
        best = t;
        any = true;
    }
    if (any || bounded) {
        if (NextTimerDue(&t) && Before(t, best)) best = t;
    }
    *at = best;
    return any || bounded;
}

void MoveClockTo(std::uint32_t t) {
    if (Before(Tick(), t)) SetTick(t);
}

bool PumpHere() {
    detail::Core& c = detail::C();
    for (;;) {
        Message m;
        // Looking first keeps the pump from polling empty, which would move the clock.
        if (HasPendingWork() && PeekMessage(m, Window{}, 0, 0, true)) {
            if (m.message == kMsgQuit) {
                PostQuitMessage(static_cast<int>(m.wParam));
                return true;
            }
            if (c.hasAccel && TranslateAccelerator(c.accelWindow, c.accelTable, m)) continue;
            DispatchMessage(m);
            continue;
        }
        std::uint32_t at;
        if (HasScriptedInput() && NextEvent(0, false, &at)) {
            MoveClockTo(at);
            continue;
        }
        return true;
    }
}

}  // namespace

// ---- Install -------------------------------------------------------------------------------

void Install(const Options& options) {
    StopProgram();  // also joins a program that ended by itself
    SetBackend(nullptr);
    ResetWindows();
    Machine& m = M();
    {
        std::lock_guard lock(m.mutex);
        m.woken = false;
        m.tick.store(options.startTick);
        m.base = AddMilliseconds(options.start, 0);  // with its day of week
        m.baseTick = options.startTick;
        m.script.clear();
        m.ready.clear();
        std::fill(std::begin(m.keys), std::end(m.keys), false);
        m.pen = Point{};
        m.frame = Surface{};
        m.frames = 0;
        m.installed = true;
        m.setHome = !options.home.empty();
    }
    SetScreenGeometry(options.scale, options.width, options.height);
    if (!options.home.empty()) SetHomeRoot(options.home);
    SetShortDateOrder(options.dateOrder);
    ClearShownBoxes();
    ClearBoxAnswers();
    SetBackend(&kHeadless);
}

void Uninstall() {
    StopProgram();  // also joins a program that ended by itself
    ResetWindows();
    SetBackend(nullptr);
    Machine& m = M();
    bool home;
    {
        std::lock_guard lock(m.mutex);
        home = m.setHome;
        m.installed = false;
        m.setHome = false;
        m.script.clear();
        m.ready.clear();
    }
    if (home) SetHomeRoot({});
    SetShortDateOrder(std::nullopt);
    SetScreenGeometry(1, 0, 0);
    ClearShownBoxes();
    ClearBoxAnswers();
}

bool Installed() {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    return m.installed;
}

// ---- The virtual clock -------------------------------------------------------------------

std::uint32_t Tick() { return M().tick.load(); }

void SetTick(std::uint32_t tick) {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    m.tick.store(tick);
}

void SetLocalTime(const LocalTime& t) {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    m.base = AddMilliseconds(t, 0);  // with its day of week
    m.baseTick = m.tick.load();
}

// ---- Input ---------------------------------------------------------------------------------

void Schedule(InputEvent e) {
    Machine& m = M();
    {
        std::lock_guard lock(m.mutex);
        if (e.time == 0) e.time = m.tick.load();
        if (e.kind == InputKind::PenDown || e.kind == InputKind::PenMove || e.kind == InputKind::PenUp) m.pen = e.point;
        auto at = std::find_if(m.script.begin(), m.script.end(), [&](const InputEvent& x) { return Before(e.time, x.time); });
        m.script.insert(at, e);
    }
    m.cv.notify_all();
}

bool HasScriptedInput() {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    return !m.script.empty();
}

bool NextScriptedTime(std::uint32_t* tick) {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    if (m.script.empty()) return false;
    if (tick) *tick = m.script.front().time;
    return true;
}

Point PenPosition() {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    return m.pen;
}

const Surface& Frame() { return M().frame; }

std::uint64_t FrameCount() {
    Machine& m = M();
    std::lock_guard lock(m.mutex);
    return m.frames;
}

// ---- The driver ----------------------------------------------------------------------------

void StartProgram(std::function<int()> program) {
    StopProgram();  // also joins a program that ended by itself
    Driver& d = D();
    if (d.thread.joinable()) d.thread.join();
    if (!program) program = [] { return RunMessageLoop(); };
    {
        std::lock_guard lock(d.mutex);
        d.running = true;
        d.finished = false;
        d.stopping = false;
        d.programTurn = false;
        d.exitCode = 0;
    }
    SetIdleHook(&Hook);
    d.thread = std::thread([program = std::move(program)] {
        Driver& dd = D();
        {
            std::unique_lock lock(dd.mutex);
            dd.programId = std::this_thread::get_id();
            dd.cv.wait(lock, [&] { return dd.programTurn; });
        }
        const int code = program();
        {
            std::lock_guard lock(dd.mutex);
            dd.exitCode = code;
            dd.finished = true;
            dd.programTurn = false;
        }
        dd.cv.notify_all();
    });
    RunUntilIdle();
}

bool ProgramRunning() {
    Driver& d = D();
    std::lock_guard lock(d.mutex);
    return d.running && !d.finished;
}

bool RunUntilIdle() {
    Driver& d = D();
    bool running;
    {
        std::lock_guard lock(d.mutex);
        running = d.running;
    }
    if (!running) return PumpHere();
    for (;;) {
        if (!Resume()) return false;
        std::uint32_t at;
        if (HasScriptedInput() && NextEvent(0, false, &at)) {
            MoveClockTo(at);
            continue;
        }
        if (HasPendingWork()) continue;
        return true;
    }
}

void AdvanceTime(std::uint32_t ms) {
    const std::uint32_t target = Tick() + ms;
    if (!RunUntilIdle()) return;
    while (Before(Tick(), target)) {
        std::uint32_t next;
        NextEvent(target, true, &next);
        if (!Before(Tick(), next)) next = Tick() + 1;
        MoveClockTo(next);
        if (!RunUntilIdle()) return;
    }
}

void Call(std::function<void()> fn) {
    if (ProgramRunning()) {
        PostTask(std::move(fn));
    } else {
        fn();
    }
    RunUntilIdle();
}

int StopProgram() {
    Driver& d = D();
    {
        std::lock_guard lock(d.mutex);
        if (!d.running) return d.exitCode;
        d.stopping = true;
    }
    for (int round = 0; round < 10000 && Resume(); ++round) {
    }
    bool finished;
    {
        std::lock_guard lock(d.mutex);
        finished = d.finished;
    }
    if (!finished) {
        std::fprintf(stderr, "headless: the program does not end after the quit message\n");
        std::abort();
    }
    d.thread.join();
    SetIdleHook(nullptr);
    std::lock_guard lock(d.mutex);
    d.running = false;
    d.stopping = false;
    return d.exitCode;
}

// ---- Actions -------------------------------------------------------------------------------

namespace {
void Put(InputKind kind, Point p, int key = 0, unsigned char ch = 0, std::uint32_t at = 0) {
    InputEvent e;
    e.kind = kind;
    e.point = p;
    e.key = key;
    e.character = ch;
    e.time = at;
    Schedule(e);
}
}  // namespace

void PenDown(Point screen) {
    Put(InputKind::PenDown, screen);
    RunUntilIdle();
}

void PenMove(Point screen) {
    Put(InputKind::PenMove, screen);
    RunUntilIdle();
}

void PenUp(Point screen) {
    Put(InputKind::PenUp, screen);
    RunUntilIdle();
}

void Tap(Point screen, std::uint32_t holdMs) {
    const std::uint32_t now = Tick();
    Put(InputKind::PenDown, screen, 0, 0, now);
    Put(InputKind::PenUp, screen, 0, 0, now + holdMs);
    RunUntilIdle();
}

void Drag(Point from, Point to, int steps, std::uint32_t durationMs) {
    const std::uint32_t now = Tick();
    if (steps < 1) steps = 1;
    Put(InputKind::PenDown, from, 0, 0, now);
    for (int i = 1; i <= steps; ++i) {
        const Point p{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        Put(InputKind::PenMove, p, 0, 0, now + static_cast<std::uint32_t>(static_cast<std::uint64_t>(durationMs) * i / (steps + 1)));
    }
    Put(InputKind::PenUp, to, 0, 0, now + durationMs);
    RunUntilIdle();
}

void KeyDown(int key) {
    Put(InputKind::KeyDown, PenPosition(), key);
    RunUntilIdle();
}

void KeyUp(int key) {
    Put(InputKind::KeyUp, PenPosition(), key);
    RunUntilIdle();
}

void KeyPress(int key, bool control) {
    const Point p = PenPosition();
    if (control) Put(InputKind::KeyDown, p, kKeyControl);
    Put(InputKind::KeyDown, p, key);
    Put(InputKind::KeyUp, p, key);
    if (control) Put(InputKind::KeyUp, p, kKeyControl);
    RunUntilIdle();
}

void TypeText(std::string_view text) {
    for (char ch : text) Put(InputKind::Char, PenPosition(), 0, static_cast<unsigned char>(ch));
    RunUntilIdle();
}

void TypeKey(int key, char typed, bool control) {
    const Point p = PenPosition();
    if (control) Put(InputKind::KeyDown, p, kKeyControl);
    if (key) Put(InputKind::KeyDown, p, key);
    if (typed) Put(InputKind::Char, p, 0, static_cast<unsigned char>(typed));
    if (key) Put(InputKind::KeyUp, p, key);
    if (control) Put(InputKind::KeyUp, p, kKeyControl);
    RunUntilIdle();
}

void RequestClose() {
    Put(InputKind::Close, PenPosition());
    RunUntilIdle();
}

}  // namespace platform::headless
