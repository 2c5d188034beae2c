#include "shell/keep_awake.h"

namespace {
std::uint32_t idleTimerResets = 0;
}  // namespace

void ResetIdleTimer() { ++idleTimerResets; }

std::uint32_t IdleTimerResets() { return idleTimerResets; }
