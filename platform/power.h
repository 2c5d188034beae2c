#pragma once
// Power notifications: a queue of notices (suspend and resume transitions) that a thread
// of the program reads, and an event with which the program tells that thread to stop.
// The thread waits for either with WaitPowerOrStop.
//
// Interactively a queue that watches the clock notices a resume when the boot-time clock
// (which counts suspended time) jumps ahead of the monotonic clock (which does not).
// Tests inject notices.
#include <cstddef>
#include <cstdint>
#include <deque>

namespace platform {

// Notice types, also the bits of a queue's mask.
constexpr std::uint32_t kPowerTransition = 0x01;
constexpr std::uint32_t kPowerResume = 0x02;
constexpr std::uint32_t kPowerInfoChange = 0x08;

struct PowerNotice {
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
};

// An event a thread can wait for. An auto-reset event is cleared by the wait it ends.
struct Event {
    explicit Event(bool autoReset = true) : autoReset(autoReset) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    bool autoReset;
    bool signalled = false;
};
void SignalEvent(Event& e);
void ResetEvent(Event& e);
// -1: no limit. True when the event was signalled.
bool WaitEvent(Event& e, int timeoutMs);

// A queue of at most `capacity` notices of the types in `mask`; registered while it
// exists. Notices that find it full are dropped.
struct PowerQueue {
    PowerQueue(std::size_t capacity, std::uint32_t mask, bool watchClock);
    ~PowerQueue();
    PowerQueue(const PowerQueue&) = delete;
    PowerQueue& operator=(const PowerQueue&) = delete;

    std::size_t capacity;
    std::uint32_t mask;
    bool watchClock;
    std::int64_t sleptMs = 0;  // boot-time minus monotonic clock when last looked at
    std::deque<PowerNotice> notices;
};

// Takes the next notice without waiting.
bool ReadPowerNotice(PowerQueue& q, PowerNotice* out);

enum class PowerWait { Notice, Stop, TimedOut };
// Waits until the queue holds a notice or the stop event is signalled (the stop event
// wins when both are). -1: no limit.
PowerWait WaitPowerOrStop(PowerQueue& q, Event& stop, int timeoutMs = -1);

// Delivers a notice to every queue whose mask takes it. Any thread.
void InjectPowerNotice(const PowerNotice& n);
// A resume, as after the machine woke up.
void InjectResume();

}  // namespace platform
