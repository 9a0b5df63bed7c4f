#pragma once

#include <QPointer>
#include <QWidget>
#include <map>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

// Hands out a handle per widget and finds the widget again while it lives; a
// handle never names another widget, so a destroyed window's handle finds nothing.
class WindowRegistry {
  public:
    WindowHandle handleOf(QWidget* widget);
    QWidget* widgetOf(WindowHandle handle) const;

  private:
    std::map<WindowHandle, QPointer<QWidget>> widgets_;
    WindowHandle next_ = 1;
};

}  // namespace lanzhou::platform::qt
