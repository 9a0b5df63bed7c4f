#pragma once

#include <string>

#include "platform/platform.h"

namespace lanzhou::app {

// The program from start to end: the executable's folder becomes the current
// folder, MainWindow is loaded with every event bound and its message loop
// runs until the window closes. The exit code is always 0.
int runProgram(platform::Platform& platform);

// Start-up: creates the run's update document, empty, and adds its release
// as an exit action.
void prepareUpdateDocument(platform::Platform& platform);

// The created event of MainWindow: single-instance guard, version label,
// drop target and tooltip of 编辑框1, the notification-area icon.
void onMainWindowCreated(platform::Platform& platform);

// True when no other copy runs under this name. Otherwise it shows
// "程序已运行，请确定！" and ends the process, and returns false to a test double.
bool guardSingleInstance(platform::Platform& platform, const std::string& name);

// "版本号：" and the version written as "%.13g" writes it.
std::string versionLabelText(double version);

}  // namespace lanzhou::app
