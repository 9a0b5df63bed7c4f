#pragma once

#include <QSystemTrayIcon>

#include "platform/platform.h"

namespace lanzhou::platform::qt {

// The notification-area icon. It exists from the start, also on desktops that
// show no tray, so that its image and tip are always there to set and read.
// Activations become the tray event codes: a click 1, a double click 1 and 2
// (after the click Qt reports first, so a double click toggles twice, as two
// releases do), a context request 3.
class TrayIcon : public QObject {
  public:
    TrayIcon(const EventBindings& bindings, QObject* parent);

    void set(const QByteArray& icoBytes, const QString& tip);
    QSystemTrayIcon& icon() { return icon_; }

  private:
    void raise(int code);
    void onActivated(QSystemTrayIcon::ActivationReason reason);

    const EventBindings& bindings_;
    QSystemTrayIcon icon_;
};

}  // namespace lanzhou::platform::qt
