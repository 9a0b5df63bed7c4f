#pragma once

#include <QString>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

// Shows a parentless standard message box and waits in a loop of its own
// until a button, Esc, the close box or the time-out ends it. With
// answerItself the box is not shown: its title and text go to standard output
// and the default button (OK or Yes) is taken at once.
BoxResult runMessageBox(const MessageBox& box, bool answerItself);

// Message text as a box shows it: "\r\n" line breaks become "\n".
QString displayedText(const std::string& text);

}  // namespace lanzhou::platform::qt
