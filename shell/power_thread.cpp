#include "shell/power_thread.h"

#include <new>
#include <system_error>

#include "platform/messages.h"
#include "platform/window.h"
#include "shell/commands.h"

PowerNotify powerNotify;

namespace {

// Transitions, resumes and power-information changes; only resumes are acted on.
constexpr std::uint32_t kPowerMask = platform::kPowerTransition | platform::kPowerResume | platform::kPowerInfoChange;
constexpr std::size_t kPowerQueueCapacity = 4;

}  // namespace

int PowerNotifyThread(platform::Window mainWindow, platform::Event* stop) {
    if (!stop) return 0;
    platform::PowerQueue queue(kPowerQueueCapacity, kPowerMask, true);
    while (platform::WaitPowerOrStop(queue, *stop) == platform::PowerWait::Notice) {
        platform::PowerNotice notice;
        while (platform::ReadPowerNotice(queue, &notice)) {
            if (notice.type == platform::kPowerResume)
                platform::PostMessage(mainWindow, platform::kMsgCommand, kCmdResume, 0);
        }
    }
    return 0;
}

bool StartPowerNotify(platform::Window mainWindow) {
    StopPowerNotify();
    powerNotify.stopEvent = new (std::nothrow) platform::Event(true);
    if (!powerNotify.stopEvent) return false;
    try {
        powerNotify.thread = std::thread(PowerNotifyThread, mainWindow, powerNotify.stopEvent);
    } catch (const std::system_error&) {
        // The program runs on without resume notices.
    }
    return true;
}

void StopPowerNotify() {
    if (!powerNotify.stopEvent) return;
    platform::SignalEvent(*powerNotify.stopEvent);
    if (powerNotify.thread.joinable()) powerNotify.thread.join();
    delete powerNotify.stopEvent;
    powerNotify.stopEvent = nullptr;
}
