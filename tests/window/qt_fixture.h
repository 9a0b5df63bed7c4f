#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/platform.h"
#include "tests/support/test_files.h"

namespace lanzhou::test {

// Runs the event loop until done holds or ms have passed; whether it held.
bool waitUntil(const std::function<bool()>& done, int ms = 5000);

// A Qt platform on the offscreen display, with a private folder for the
// instance claim. The handlers are the shell's own unless a test binds others.
class QtFixture : public ::testing::Test {
  protected:
    QtFixture();
    ~QtFixture() override;

    // Binds the shell's handlers and loads MainWindow.
    void startShell();
    // Binds these handlers instead and loads MainWindow.
    void startWith(const platform::EventBindings& bindings);

    QWidget* mainWindow() const;
    template <typename T>
    T* control(const char* name) const {
        return mainWindow()->findChild<T*>(QString::fromUtf8(name));
    }

    ScopedTempDir temp_;
    ScopedEnv runtimeFolder_{"XDG_RUNTIME_DIR", ""};
    std::unique_ptr<platform::Platform> platform_;
};

}  // namespace lanzhou::test
