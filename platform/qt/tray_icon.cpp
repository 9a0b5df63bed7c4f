#include "platform/qt/tray_icon.h"

#include <QPixmap>

namespace lanzhou::platform::qt {

namespace {

constexpr int kLeftRelease = 1;
constexpr int kLeftDoubleClick = 2;
constexpr int kContextRequest = 3;

}  // namespace

TrayIcon::TrayIcon(const EventBindings& bindings, QObject* parent)
    : QObject(parent), bindings_(bindings), icon_(this) {
    icon_.setObjectName(QStringLiteral("托盘图标"));
    connect(&icon_, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
}

void TrayIcon::set(const QByteArray& icoBytes, const QString& tip) {
    QPixmap image;
    image.loadFromData(icoBytes, "ICO");
    icon_.setIcon(QIcon(image));
    icon_.setToolTip(tip);
    icon_.show();
}

void TrayIcon::raise(int code) {
    if (bindings_.trayEvent) bindings_.trayEvent(code);
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            raise(kLeftRelease);
            break;
        case QSystemTrayIcon::DoubleClick:
            raise(kLeftRelease);
            raise(kLeftDoubleClick);
            break;
        case QSystemTrayIcon::Context:
            raise(kContextRequest);
            break;
        case QSystemTrayIcon::MiddleClick:
        case QSystemTrayIcon::Unknown:
            break;
    }
}

}  // namespace lanzhou::platform::qt
