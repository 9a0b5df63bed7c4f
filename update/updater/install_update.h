#pragma once

#include <sys/types.h>

#include <string>

#include "update/updater/download.h"
#include "update/updater_command.h"

namespace updater {

// A name for a file directly in the run folder: not empty, not "." or "..",
// no "/" and no control characters.
bool isPlainFileName(const std::string& name);

// The folder the updater serves: the parent of the folder its own executable
// is in (the updater lives in run folder + "/升级文件").
std::string runFolderOfExecutable(const std::string& executablePath);

struct InstallResult {
    bool ok = false;
    std::string error;  // plain words when !ok
};

// Downloads values.downloadAddress into a temporary file in `runFolder` and
// puts it in place as runFolder + "/" + values.fileName with the mode of the
// file it replaces (0755 when there was none), the old file kept as fileName
// + ".bak". The replacement is one rename, so the program is always either
// the old file or the complete new one. A refused name or address is
// reported before anything is written; any failure leaves the old program
// untouched and no temporary file behind.
InstallResult installUpdate(const std::string& runFolder, const update::UpdaterValues& values,
                            const DownloadProgress& progress);

// When the process that started the updater is the program of `runFolder`,
// waits (at most `limitMs`) until it has ended, so that its single-instance
// guard does not turn the new version away.
void waitForStarterToEnd(pid_t starter, const std::string& runFolder, int limitMs);

// Starts `program` with no arguments in `folder`, without waiting for it.
InstallResult startProgram(const std::string& program, const std::string& folder);

}  // namespace updater
