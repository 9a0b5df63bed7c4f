#pragma once

#include <gtest/gtest.h>

#include "tests/support/scripted_platform.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {

// The shell's handlers bound to a scripted platform. Instance claims go into a
// private folder, so every test starts as the only copy.
class ShellTest : public ::testing::Test {
  protected:
    // Loads MainWindow with every event bound, as start-up does.
    void start();

    ScopedTempDir temp_;
    ScopedEnv runtimeFolder_{"XDG_RUNTIME_DIR", ""};
    ScriptedPlatform platform_;
};

}  // namespace lanzhou::test
