// The message queue, input routing, timers, accelerators and the loops' waiting.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "platform/window.h"
#include "platform/window_internal.h"

namespace platform {
using namespace detail;

// ---- The plain backend -----------------------------------------------------------------

namespace {

std::mutex plainMutex;
std::condition_variable plainCv;
bool plainWoken = false;

bool PlainPoll(InputEvent*) { return false; }
void PlainWait(int timeoutMs) {
    std::unique_lock lock(plainMutex);
    auto woken = [] { return plainWoken; };
    if (timeoutMs < 0) {
        plainCv.wait(lock, woken);
    } else {
        plainCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), woken);
    }
    plainWoken = false;
}
void PlainWake() {
    {
        std::lock_guard lock(plainMutex);
        plainWoken = true;
    }
    plainCv.notify_all();
}
bool PlainKey(int) { return false; }

const Backend kPlainBackend = [] {
    Backend b;
    b.pollInput = &PlainPoll;
    b.waitInput = &PlainWait;
    b.wake = &PlainWake;
    b.present = nullptr;
    b.tickCount = &RealTickCount;
    b.localTime = &RealLocalTime;
    b.keyIsDown = &PlainKey;
    return b;
}();

std::atomic<const Backend*> backendInUse{&kPlainBackend};

}  // namespace

void SetBackend(const Backend* backend) { backendInUse.store(backend ? backend : &kPlainBackend); }
const Backend& CurrentBackend() { return *backendInUse.load(); }

// ---- Queue state (shared with other threads) ---------------------------------------------

namespace {

struct Entry {
    Message m;
    bool input = false;
    InputEvent event;
};

struct Queue {
    std::mutex mutex;
    std::deque<Entry> entries;
    bool quit = false;
    int quitCode = 0;
    std::vector<std::uint32_t> live;  // per slot: the generation of the live window, or 0
    std::map<std::uint64_t, std::function<void()>> tasks;
    std::uint64_t nextTask = 1;
};

Queue& Q() {
    static Queue q;
    return q;
}

bool LiveLocked(Queue& q, Window w) {
    const std::uint64_t index = w.value & 0xFFFFFFFFu;
    return index != 0 && index <= q.live.size() && q.live[index - 1] == static_cast<std::uint32_t>(w.value >> 32);
}

void Wake() {
    if (auto wake = CurrentBackend().wake) wake();
}

unsigned InputMessage(const InputEvent& e) {
    switch (e.kind) {
        case InputKind::PenDown: return kMsgPenDown;
        case InputKind::PenMove: return kMsgPenMove;
        case InputKind::PenUp: return kMsgPenUp;
        case InputKind::KeyDown: return kMsgKeyDown;
        case InputKind::KeyUp: return kMsgKeyUp;
        case InputKind::Char: return kMsgChar;
        case InputKind::Close: return kMsgCloseRequest;
    }
    return kMsgNull;
}

bool InRange(unsigned message, unsigned first, unsigned last) {
    if (first == 0 && last == 0) return true;
    return message >= first && message <= last;
}

// Moves what the backend has into the queue, behind what is already there.
void PullInput() {
    const Backend& b = CurrentBackend();
    if (!b.pollInput) return;
    InputEvent e;
    std::vector<Entry> got;
    while (b.pollInput(&e)) {
        Entry entry;
        entry.input = true;
        entry.event = e;
        got.push_back(entry);
    }
    if (got.empty()) return;
    Queue& q = Q();
    std::lock_guard lock(q.mutex);
    for (auto& g : got) q.entries.push_back(std::move(g));
}

// The window an input event goes to. With `take`, the pen capture and activation follow.
Window InputTarget(const InputEvent& e, bool take) {
    Core& c = C();
    const Window captured = Find(c.capture) ? c.capture : Window{};
    switch (e.kind) {
        case InputKind::PenDown: {
            const Window target = captured ? captured : WindowFromPoint(e.point);
            if (take && target) {
                const Window top = TopLevelOf(target);
                if (top != c.active && IsWindowEnabled(top)) Activate(top, kClickActive);
                if (Find(target)) c.capture = target;
            }
            return Find(target) ? target : Window{};
        }
        case InputKind::PenMove:
            return captured ? captured : WindowFromPoint(e.point);
        case InputKind::PenUp: {
            const Window target = captured ? captured : WindowFromPoint(e.point);
            if (take) c.capture = Window{};
            return target;
        }
        case InputKind::KeyDown:
        case InputKind::KeyUp:
        case InputKind::Char:
            if (Find(c.focus)) return c.focus;
            return Find(c.active) ? c.active : Window{};
        case InputKind::Close:
            return Window{};
    }
    return Window{};
}

Message InputToMessage(const InputEvent& e, Window target) {
    Message m;
    m.window = target;
    m.message = InputMessage(e);
    m.time = e.time;
    m.point = e.point;
    switch (e.kind) {
        case InputKind::PenDown:
        case InputKind::PenMove:
        case InputKind::PenUp:
            m.wParam = e.kind == InputKind::PenUp ? 0 : kPenIsDown;
            m.lParam = PointToParam(target ? ScreenToClient(target, e.point) : e.point);
            break;
        case InputKind::KeyDown:
        case InputKind::KeyUp:
            m.wParam = static_cast<WParam>(e.key);
            break;
        case InputKind::Char:
            m.wParam = e.character;
            break;
        case InputKind::Close:
            break;
    }
    return m;
}

void NoteKeys(const InputEvent& e) {
    Core& c = C();
    switch (e.kind) {
        case InputKind::PenDown: c.syncKeys[kKeyPen] = true; break;
        case InputKind::PenUp: c.syncKeys[kKeyPen] = false; break;
        case InputKind::KeyDown:
            if (e.key >= 0 && e.key < kKeyCount) c.syncKeys[e.key] = true;
            break;
        case InputKind::KeyUp:
            if (e.key >= 0 && e.key < kKeyCount) c.syncKeys[e.key] = false;
            break;
        default: break;
    }
}

bool IsPen(InputKind k) { return k == InputKind::PenDown || k == InputKind::PenMove || k == InputKind::PenUp; }

// Posted and input messages, in order.
bool TakeQueued(Message& out, Window filter, unsigned first, unsigned last, bool remove) {
    Queue& q = Q();
    std::unique_lock lock(q.mutex);
    for (auto it = q.entries.begin(); it != q.entries.end();) {
        if (!it->input) {
            if (it->m.window && !Find(it->m.window)) {
                it = q.entries.erase(it);
                continue;
            }
            if (!InRange(it->m.message, first, last) || (filter && !InSubtree(filter, it->m.window))) {
                ++it;
                continue;
            }
            out = it->m;
            if (remove) q.entries.erase(it);
            return true;
        }
        const InputEvent e = it->event;
        if (!InRange(InputMessage(e), first, last)) {
            ++it;
            continue;
        }
        const Window target = InputTarget(e, false);
        if (IsPen(e.kind) && !target) {
            // Nobody takes the pen here (a disabled window swallows it).
            if (remove) {
                it = q.entries.erase(it);
                lock.unlock();
                NoteKeys(e);
                InputTarget(e, true);
                lock.lock();
                it = q.entries.begin();
                continue;
            }
            ++it;
            continue;
        }
        if (filter && !InSubtree(filter, target)) {
            ++it;
            continue;
        }
        if (!remove) {
            out = InputToMessage(e, target);
            return true;
        }
        q.entries.erase(it);
        lock.unlock();
        NoteKeys(e);
        const Window taken = InputTarget(e, true);
        out = InputToMessage(e, taken);
        return true;
    }
    return false;
}

WindowRecord* NeedsPaint(WindowRecord* r, Window filter) {
    if (!r || !r->visible || r->destroying) return nullptr;
    if (!r->update.empty() && (!filter || InSubtree(filter, r->self))) return r;
    for (Window cw : r->children)
        if (WindowRecord* f = NeedsPaint(Find(cw), filter)) return f;
    return nullptr;
}

bool TakePaint(Message& out, Window filter) {
    for (Window tw : C().topLevels) {
        if (WindowRecord* r = NeedsPaint(Find(tw), filter)) {
            out = Message{};
            out.window = r->self;
            out.message = kMsgPaint;
            out.time = Now();
            return true;
        }
    }
    return false;
}

bool TakeTimer(Message& out, Window filter, bool remove) {
    Core& c = C();
    const std::uint32_t now = Now();
    TimerRecord* best = nullptr;
    for (TimerRecord& t : c.timers) {
        if (!TickReached(t.due, now)) continue;
        if (filter && !InSubtree(filter, t.window)) continue;
        if (!best || static_cast<std::int32_t>(t.due - best->due) < 0) best = &t;
    }
    if (!best) return false;
    out = Message{};
    out.window = best->window;
    out.message = kMsgTimer;
    out.wParam = best->id;
    out.time = now;
    if (remove) {
        best->due += best->period;
        // Periods missed while the loop was busy are dropped, not delivered in a burst.
        if (TickReached(best->due, now)) best->due = now + best->period;
    }
    return true;
}

bool Take(Message& out, Window filter, unsigned first, unsigned last, bool remove) {
    PullInput();
    if (TakeQueued(out, filter, first, last, remove)) return true;
    if (!filter && first == 0 && last == 0) {
        Queue& q = Q();
        std::lock_guard lock(q.mutex);
        if (q.quit) {
            out = Message{};
            out.message = kMsgQuit;
            out.wParam = static_cast<WParam>(q.quitCode);
            out.time = Now();
            if (remove) q.quit = false;
            return true;
        }
    }
    if (InRange(kMsgPaint, first, last) && TakePaint(out, filter)) return true;
    if (InRange(kMsgTimer, first, last) && TakeTimer(out, filter, remove)) return true;
    return false;
}

int TimeToNextTimer() {
    std::uint32_t due;
    if (!NextTimerDue(&due)) return -1;
    const std::int32_t left = static_cast<std::int32_t>(due - Now());
    return left < 0 ? 0 : left;
}

}  // namespace

namespace detail {

std::uint32_t Now() {
    const Backend& b = CurrentBackend();
    return b.tickCount ? b.tickCount() : RealTickCount();
}

bool TickReached(std::uint32_t due, std::uint32_t now) { return static_cast<std::int32_t>(now - due) >= 0; }

void NoteAlive(Window w) {
    Queue& q = Q();
    std::lock_guard lock(q.mutex);
    const std::uint64_t index = w.value & 0xFFFFFFFFu;
    if (q.live.size() < index) q.live.resize(index, 0);
    q.live[index - 1] = static_cast<std::uint32_t>(w.value >> 32);
}

void NoteDead(Window w) {
    Queue& q = Q();
    std::lock_guard lock(q.mutex);
    const std::uint64_t index = w.value & 0xFFFFFFFFu;
    if (index != 0 && index <= q.live.size()) q.live[index - 1] = 0;
    q.entries.erase(std::remove_if(q.entries.begin(), q.entries.end(),
                                   [&](const Entry& e) { return !e.input && e.m.window == w; }),
                    q.entries.end());
}

void ClearQueue() {
    Queue& q = Q();
    std::lock_guard lock(q.mutex);
    q.entries.clear();
    q.quit = false;
    q.quitCode = 0;
    q.tasks.clear();
}

}  // namespace detail

// ---- Messages ------------------------------------------------------------------------

LResult SendMessage(Window w, unsigned message, WParam wParam, LParam lParam) {
    WindowRecord* r = Find(w);
    if (!r) return 0;
    return Invoke(r->proc, w, message, wParam, lParam);
}

bool PostMessage(Window w, unsigned message, WParam wParam, LParam lParam) {
    Queue& q = Q();
    {
        std::lock_guard lock(q.mutex);
        if (!LiveLocked(q, w)) return false;
        Entry e;
        e.m.window = w;
        e.m.message = message;
        e.m.wParam = wParam;
        e.m.lParam = lParam;
        e.m.time = Now();
        q.entries.push_back(e);
    }
    Wake();
    return true;
}

void PostQuitMessage(int exitCode) {
    Queue& q = Q();
    {
        std::lock_guard lock(q.mutex);
        q.quit = true;
        q.quitCode = exitCode;
    }
    Wake();
}

void WakeLoop() { Wake(); }

void PostTask(std::function<void()> task) {
    Queue& q = Q();
    {
        std::lock_guard lock(q.mutex);
        const std::uint64_t id = q.nextTask++;
        q.tasks[id] = std::move(task);
        Entry e;
        e.m.message = kMsgRunTask;
        e.m.lParam = static_cast<LParam>(id);
        e.m.time = Now();
        q.entries.push_back(e);
    }
    Wake();
}

bool GetMessage(Message& out) {
    for (;;) {
        if (Take(out, Window{}, 0, 0, true)) return out.message != kMsgQuit;
        PresentScreen();
        if (C().idle && C().idle()) continue;
        if (Take(out, Window{}, 0, 0, true)) return out.message != kMsgQuit;
        CurrentBackend().waitInput(TimeToNextTimer());
    }
}

bool PeekMessage(Message& out, Window filter, unsigned first, unsigned last, bool remove) {
    if (filter && !Find(filter)) return false;
    if (Take(out, filter, first, last, remove)) return true;
    PresentScreen();
    CurrentBackend().waitInput(0);
    return false;
}

LResult DispatchMessage(const Message& m) {
    if (!m.window) {
        if (m.message != kMsgRunTask) return 0;
        std::function<void()> task;
        {
            Queue& q = Q();
            std::lock_guard lock(q.mutex);
            auto it = q.tasks.find(static_cast<std::uint64_t>(m.lParam));
            if (it == q.tasks.end()) return 0;
            task = std::move(it->second);
            q.tasks.erase(it);
        }
        Core& c = C();
        ++c.depth;
        task();
        if (--c.depth == 0) FreePending();
        return 0;
    }
    return SendMessage(m.window, m.message, m.wParam, m.lParam);
}

void FlushMessages(unsigned first, unsigned last) {
    Message m;
    while (Take(m, Window{}, first, last, true)) {
        if (m.message == kMsgPaint || m.message == kMsgQuit) break;  // neither can be removed
    }
}

bool HasPendingWork() {
    Message m;
    return Take(m, Window{}, 0, 0, false);
}

void SetIdleHook(IdleHook hook) { C().idle = hook; }

void IdleWait() {
    PresentScreen();
    if (C().idle && C().idle()) return;
    int wait = TimeToNextTimer();
    if (wait < 0 || wait > 1) wait = 1;
    CurrentBackend().waitInput(wait);
}

// ---- Timers --------------------------------------------------------------------------

bool SetTimer(Window w, unsigned id, unsigned periodMs) {
    WindowRecord* r = Find(w);
    if (!r || r->destroying) return false;
    Core& c = C();
    const unsigned period = periodMs == 0 ? 1 : periodMs;
    const std::uint32_t due = Now() + period;
    for (TimerRecord& t : c.timers) {
        if (t.window == w && t.id == id) {
            t.period = period;
            t.due = due;
            return true;
        }
    }
    c.timers.push_back(TimerRecord{w, id, period, due});
    return true;
}

bool KillTimer(Window w, unsigned id) {
    Core& c = C();
    auto it = std::find_if(c.timers.begin(), c.timers.end(), [&](const TimerRecord& t) { return t.window == w && t.id == id; });
    if (it == c.timers.end()) return false;
    c.timers.erase(it);
    return true;
}

bool NextTimerDue(std::uint32_t* tick) {
    Core& c = C();
    if (c.timers.empty()) return false;
    const std::uint32_t now = Now();
    std::uint32_t best = c.timers.front().due;
    for (const TimerRecord& t : c.timers)
        if (static_cast<std::int32_t>((t.due - now) - (best - now)) < 0) best = t.due;
    if (tick) *tick = best;
    return true;
}

// ---- Keys ----------------------------------------------------------------------------

bool KeyIsDown(int key) { return key >= 0 && key < kKeyCount && C().syncKeys[key]; }

bool AsyncKeyIsDown(int key) {
    const Backend& b = CurrentBackend();
    return b.keyIsDown && b.keyIsDown(key);
}

// ---- Accelerators and the main loop ---------------------------------------------------

bool TranslateAccelerator(Window w, const AcceleratorTable& table, const Message& m) {
    if (!Find(w)) return false;
    int key;
    bool control, shift, alt;
    if (m.message == kMsgCloseRequest) {
        key = 'Q';
        control = true;
        shift = alt = false;
    } else if (m.message == kMsgKeyDown) {
        key = static_cast<int>(m.wParam);
        control = KeyIsDown(kKeyControl);
        shift = KeyIsDown(kKeyShift);
        alt = KeyIsDown(kKeyAlt);
    } else {
        return false;
    }
    for (const Accelerator& a : table.entries) {
        if (a.key == key && a.control == control && a.shift == shift && a.alt == alt) {
            SendMessage(w, kMsgCommand, MakeLong(a.command, 1), 0);
            return true;
        }
    }
    return false;
}

void SetMainAccelerators(Window w, const AcceleratorTable* table) {
    Core& c = C();
    c.hasAccel = table != nullptr && Find(w) != nullptr;
    c.accelWindow = c.hasAccel ? w : Window{};
    c.accelTable = table ? *table : AcceleratorTable{};
}

int RunMessageLoop() {
    Message m;
    while (GetMessage(m)) {
        Core& c = C();
        if (c.hasAccel && TranslateAccelerator(c.accelWindow, c.accelTable, m)) continue;
        DispatchMessage(m);
    }
    return static_cast<int>(m.wParam);
}

}  // namespace platform
