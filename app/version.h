#pragma once

namespace lanzhou::app {

// The program's own version: shown in 版本号标签 and compared with the update document's.
constexpr double kOwnVersion = 3.2;

}  // namespace lanzhou::app
