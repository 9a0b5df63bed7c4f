#include "tests/window/qt_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdlib>

#include "app/bindings.h"
#include "platform/qt/qt_platform.h"

namespace lanzhou::test {

namespace {

// The one application object of the test program, never destroyed: Qt wants
// it to outlive every widget, and tests make widgets until the end.
void ensureApplication() {
    if (QApplication::instance() != nullptr) return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "window_test";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QtFixture::QtFixture() {
    ensureApplication();
    platform_ = platform::qt::createQtPlatform();
}

QtFixture::~QtFixture() {
    platform_.reset();
    QCoreApplication::processEvents();
}

void QtFixture::startShell() {
    platform_->bind(app::mainWindowBindings(*platform_));
    platform_->loadMainWindow();
}

void QtFixture::startWith(const platform::EventBindings& bindings) {
    platform_->bind(bindings);
    platform_->loadMainWindow();
}

QWidget* QtFixture::mainWindow() const {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == QStringLiteral("MainWindow")) return widget;
    return nullptr;
}

}  // namespace lanzhou::test
