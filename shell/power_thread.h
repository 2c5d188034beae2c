#pragma once
// The thread that listens for power notifications. It waits on a power queue and a stop
// event; each resume it reads makes it post command 9901 to the main window, which the
// window takes as a notice and nothing more. The window is handed to the thread when it
// is started: the thread starts inside the window's creation, before anyone has stored
// the window's handle anywhere else.
#include <thread>

#include "platform/power.h"
#include "platform/types.h"

struct PowerNotify {
    platform::Event* stopEvent = nullptr;  // auto-reset, made when the thread is started
    std::thread thread;                    // not joinable when no thread runs
};
extern PowerNotify powerNotify;

// The thread's body: listens until `stop` is signalled. Returns 0.
int PowerNotifyThread(platform::Window mainWindow, platform::Event* stop);

// Makes the stop event and starts the thread for `mainWindow`. False when the event could
// not be made (no thread then); when only the thread could not be started, the event is
// kept and shutting down skips the thread.
bool StartPowerNotify(platform::Window mainWindow);

// Signals the stop event, waits for the thread and frees the event. Does nothing for
// what was never made, so it can run twice.
void StopPowerNotify();
