#pragma once

#include <QWidget>

#include "update/updater_command.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace updater {

// The small window that shows what is being installed and how far the
// download has come.
class UpdaterWindow : public QWidget {
  public:
    explicit UpdaterWindow(const update::UpdaterValues& values);

    void showProgress(int64_t received, int64_t total);
    void showStatus(const QString& text);
    // The error in plain words; the window then waits for its close button.
    void showFailure(const QString& error);

  private:
    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* closeButton_;
};

}  // namespace updater
