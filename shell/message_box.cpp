#include "shell/message_box.h"

#include <string>

#include "platform/message_box.h"

// The queueing report box of the forms toolkit replaces this plain version.
int ShowMessage(const char* heading, const char* detail) {
    std::string text = heading ? heading : "";
    text += '\n';
    text += detail ? detail : "";
    platform::MessageBox(platform::Window{}, text, "Information", platform::BoxButtons::Ok);
    return 1;
}
