#pragma once

#include <cstdint>

namespace imgconv {

// Optional progress notification of the readers and writers: direction 1
// while reading, 0 while writing; the percent done after `row`; reserved 0.
using ProgressCallback = void (*)(int32_t direction, int32_t percent, int32_t row,
                                  int32_t reserved);

enum ProgressDirection : int32_t { Writing = 0, Reading = 1 };

// Calls `progress`, when there is one, for the row just transferred:
// percent = (row + 1) / height * 100 in floating point, truncated.
inline void notifyProgress(ProgressCallback progress, int32_t direction, int32_t row,
                           int32_t height) {
    if (progress == nullptr || height <= 0) return;
    const double percent = static_cast<double>(row + 1) / height * 100.0;
    progress(direction, static_cast<int32_t>(percent), row, 0);
}

}  // namespace imgconv
