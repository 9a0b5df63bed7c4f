#pragma once

#include <cstddef>
#include <string>

namespace update {

// Makes sure the updater is on disk: creates runFolder + "/升级文件" when it is
// missing and writes `bytes` to runFolder + "/升级文件/update" (mode 0755) when
// no such file exists. The bytes go to a temporary name in that folder first,
// renamed into place once complete, so a failed write leaves no half updater
// behind. An existing file is kept as it is. True when the updater file is
// there afterwards.
bool ensureUpdater(const std::string& runFolder, const unsigned char* bytes, std::size_t size);

// True when the program in `runFolder` is an installed copy (its menu entry
// lies at ../share/applications/lanzhou.desktop): its package manager updates
// it, and nothing is ever written under the install prefix at run time.
bool isInstalledCopy(const std::string& runFolder);

}  // namespace update
