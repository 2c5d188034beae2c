#include "platform/power.h"

#include <time.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace platform {

namespace {

// Events and queues are few and quiet: one lock and one condition serve them all, which
// lets a thread wait for a queue and an event together.
std::mutex powerMutex;
std::condition_variable powerCv;
std::vector<PowerQueue*> queues;

// How far the boot-time clock is ahead of the monotonic clock: the time spent suspended.
std::int64_t SleptMs() {
    timespec boot{}, mono{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    clock_gettime(CLOCK_MONOTONIC, &mono);
    return (static_cast<std::int64_t>(boot.tv_sec) - mono.tv_sec) * 1000 + (boot.tv_nsec - mono.tv_nsec) / 1000000;
}

// A jump of more than this is a suspension, not clock jitter.
constexpr std::int64_t kSuspendJumpMs = 1500;
// How often a clock-watching wait looks at the clocks.
constexpr int kWatchSliceMs = 1000;

void DeliverLocked(PowerQueue& q, const PowerNotice& n) {
    if ((q.mask & n.type) == 0 || q.notices.size() >= q.capacity) return;
    q.notices.push_back(n);
}

void WatchClockLocked(PowerQueue& q) {
    const std::int64_t slept = SleptMs();
    if (slept - q.sleptMs > kSuspendJumpMs) DeliverLocked(q, PowerNotice{kPowerResume, 0});
    q.sleptMs = slept;
}

}  // namespace

void SignalEvent(Event& e) {
    {
        std::lock_guard lock(powerMutex);
        e.signalled = true;
    }
    powerCv.notify_all();
}

void ResetEvent(Event& e) {
    std::lock_guard lock(powerMutex);
    e.signalled = false;
}

bool WaitEvent(Event& e, int timeoutMs) {
    std::unique_lock lock(powerMutex);
    auto ready = [&] { return e.signalled; };
    bool got;
    if (timeoutMs < 0) {
        powerCv.wait(lock, ready);
        got = true;
    } else {
        got = powerCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    }
    if (got && e.autoReset) e.signalled = false;
    return got;
}

PowerQueue::PowerQueue(std::size_t capacity, std::uint32_t mask, bool watchClock)
    : capacity(capacity), mask(mask), watchClock(watchClock) {
    std::lock_guard lock(powerMutex);
    sleptMs = SleptMs();
    queues.push_back(this);
}

PowerQueue::~PowerQueue() {
    std::lock_guard lock(powerMutex);
    queues.erase(std::remove(queues.begin(), queues.end(), this), queues.end());
}

bool ReadPowerNotice(PowerQueue& q, PowerNotice* out) {
    std::lock_guard lock(powerMutex);
    if (q.notices.empty()) return false;
    if (out) *out = q.notices.front();
    q.notices.pop_front();
    return true;
}

PowerWait WaitPowerOrStop(PowerQueue& q, Event& stop, int timeoutMs) {
    std::unique_lock lock(powerMutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        if (q.watchClock) WatchClockLocked(q);
        if (stop.signalled) {
            if (stop.autoReset) stop.signalled = false;
            return PowerWait::Stop;
        }
        if (!q.notices.empty()) return PowerWait::Notice;
        auto until = std::chrono::steady_clock::time_point::max();
        if (timeoutMs >= 0) {
            if (std::chrono::steady_clock::now() >= deadline) return PowerWait::TimedOut;
            until = deadline;
        }
        if (q.watchClock) until = std::min(until, std::chrono::steady_clock::now() + std::chrono::milliseconds(kWatchSliceMs));
        if (until == std::chrono::steady_clock::time_point::max()) {
            powerCv.wait(lock);
        } else {
            powerCv.wait_until(lock, until);
        }
    }
}

void InjectPowerNotice(const PowerNotice& n) {
    {
        std::lock_guard lock(powerMutex);
        for (PowerQueue* q : queues) DeliverLocked(*q, n);
    }
    powerCv.notify_all();
}

void InjectResume() { InjectPowerNotice(PowerNotice{kPowerResume, 0}); }

}  // namespace platform
