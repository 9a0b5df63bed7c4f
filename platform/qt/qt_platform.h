#pragma once

// The platform on Qt 6 Widgets. This header holds no Qt type, so that the
// program's entry can start it without seeing Qt.

#include <functional>
#include <memory>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

// Makes the application object from the command line and a Platform on it,
// runs program with it and returns program's result. Ctrl-C and SIGTERM end
// the process through endProcess.
int runOnQt(int argc, char** argv, const std::function<int(Platform&)>& program);

// A Platform on the QApplication that exists already.
std::unique_ptr<Platform> createQtPlatform();

// The environment variable that makes every message box answer itself with
// its default button, writing its title and text to standard output. It
// stands in for the person in automated runs of the real program.
inline constexpr const char* kTestAnswersVariable = "LANZHOU_TEST_ANSWERS";

}  // namespace lanzhou::platform::qt
