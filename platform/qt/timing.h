#pragma once

class QWidget;

namespace lanzhou::platform::qt {

inline constexpr const char* kTimingVariable = "LANZHOU_TIMING";

// With LANZHOU_TIMING set and not empty, the moments a benchmark times are
// written to standard error as "lanzhou-timing <event> <CLOCK_MONOTONIC
// nanoseconds>"; without it these calls write nothing.
//   window-shown           the window's first exposure has been painted and flushed
//   save-dialog-confirmed  the save dialog returned a name
//   save-finished          the first message box asked for after that
namespace timing {

// Call right after the window's show().
void watchFirstExposure(QWidget* window);
void saveDialogConfirmed();
void messageBoxRequested();

}  // namespace timing

}  // namespace lanzhou::platform::qt
