#pragma once
// Long computations (the pointing-model fit, the satellite pass searches) ask the device to
// stay awake while they run. A desktop has no idle timer to hold off, so a request is only
// counted; the count shows that a computation kept asking.
#include <cstdint>

void ResetIdleTimer();
// Requests since the start of the run.
std::uint32_t IdleTimerResets();
