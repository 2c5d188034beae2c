// The shell tests run with the shell's report boxes installed, as the program has them.
#include <gtest/gtest.h>

#include "shell/message_box.h"

namespace {

class ShellEnvironment : public ::testing::Environment {
public:
    void SetUp() override { InstallShellReportHooks(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ShellEnvironment);

}  // namespace
