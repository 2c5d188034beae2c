#pragma once
// A key held for a given number of polls: while installed, the first `polls` questions of
// whether a cursor or page key is down are answered yes, later ones as the headless script
// says. A handler that repeats its step while the key is down then makes exactly `polls`
// extra steps, without the virtual clock having to move inside its loop. Make and destroy
// it on the program's thread (inside Call).
#include <cstdint>
#include <initializer_list>

#include "platform/backend.h"
#include "platform/headless.h"
#include "platform/messages.h"

class HeldNavKeys {
public:
    explicit HeldNavKeys(int polls) : previous_(&platform::CurrentBackend()), backend_(*previous_) {
        remaining_ = polls;
        scripted_ = previous_->keyIsDown;
        backend_.keyIsDown = &KeyIsDown;
        platform::SetBackend(&backend_);
    }
    ~HeldNavKeys() { platform::SetBackend(previous_); }
    HeldNavKeys(const HeldNavKeys&) = delete;
    HeldNavKeys& operator=(const HeldNavKeys&) = delete;

private:
    static bool Nav(int key) {
        return key == platform::kKeyPageUp || key == platform::kKeyPageDown || key == platform::kKeyLeft ||
               key == platform::kKeyRight || key == platform::kKeyUp || key == platform::kKeyDown;
    }
    static bool KeyIsDown(int key) {
        // One answer per poll: the first cursor or page key asked about stands for all.
        if (Nav(key) && remaining_ > 0) {
            --remaining_;
            return true;
        }
        return scripted_ && scripted_(key);
    }
    static inline int remaining_ = 0;
    static inline bool (*scripted_)(int) = nullptr;
    const platform::Backend* previous_;
    platform::Backend backend_;
};

// Presses of the keys, all waiting together before the program handles the first; then
// runs until idle.
inline void QueueKeyPresses(std::initializer_list<int> keys) {
    const std::uint32_t now = platform::headless::Tick();
    for (int key : keys) {
        platform::headless::Schedule(platform::InputEvent{platform::InputKind::KeyDown, {}, key, 0, now});
        platform::headless::Schedule(platform::InputEvent{platform::InputKind::KeyUp, {}, key, 0, now});
    }
    platform::headless::RunUntilIdle();
}
