#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>

namespace lanzhou::platform::qt {

// Turns SIGINT and SIGTERM (Ctrl-C, a session ending) into a call of quit from
// the message loop, so the program still ends through its normal clean-up.
class QuitSignals : public QObject {
  public:
    explicit QuitSignals(std::function<void()> quit);
    ~QuitSignals() override;

  private:
    std::function<void()> quit_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace lanzhou::platform::qt
