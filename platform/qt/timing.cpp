#include "platform/qt/timing.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <ctime>

namespace lanzhou::platform::qt::timing {

namespace {

bool wanted() {
    static const bool on = !qEnvironmentVariableIsEmpty(kTimingVariable);
    return on;
}

void mark(const char* event) {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "lanzhou-timing %s %lld\n", event,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stderr);
}

// Lets the window handle its first exposure, which paints every widget and
// flushes the backing store to the screen, and marks the moment after it.
class FirstExposure : public QObject {
  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWindow*>(watched);
        if (event->type() != QEvent::Expose || !window->isExposed()) return false;
        window->removeEventFilter(this);
        watched->event(event);
        mark("window-shown");
        deleteLater();
        return true;
    }
};

bool saveUnderway = false;

}  // namespace

void watchFirstExposure(QWidget* window) {
    // Shown already: its native window exists, and the exposure is on its way.
    if (!wanted() || window->windowHandle() == nullptr) return;
    window->windowHandle()->installEventFilter(new FirstExposure);
}

void saveDialogConfirmed() {
    if (!wanted()) return;
    mark("save-dialog-confirmed");
    saveUnderway = true;
}

void messageBoxRequested() {
    if (!wanted() || !saveUnderway) return;
    mark("save-finished");
    saveUnderway = false;
}

}  // namespace lanzhou::platform::qt::timing
