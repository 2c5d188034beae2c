// The program's tests run with the program put together as InitInstance does it.
#include <gtest/gtest.h>

#include "app/composition.h"

namespace {

class AppEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ComposeProgram(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace
