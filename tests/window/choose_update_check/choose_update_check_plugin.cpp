// A Qt generic plugin that plays the person in a run of the real program:
// once MainWindow is shown it chooses the menu item "检测升级" as the popup
// menu does, and from then on writes each caption MainWindow takes to
// standard output as "caption " + text. A test loads it into the program with
// QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS; the programs the run starts do
// not load it again.

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

constexpr int kPollMs = 50;

class UpdateCheckChooser : public QObject {
  public:
    UpdateCheckChooser() {
        connect(&poll_, &QTimer::timeout, this, [this] { chooseOnceShown(); });
        poll_.start(kPollMs);
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::WindowTitleChange) {
            std::printf("caption %s\n",
                        static_cast<QWidget*>(object)->windowTitle().toUtf8().constData());
            std::fflush(stdout);
        }
        return false;
    }

  private:
    void chooseOnceShown() {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != QStringLiteral("MainWindow") || !window->isVisible())
                continue;
            for (QAction* action : window->findChildren<QAction*>()) {
                if (action->text() != QStringLiteral("检测升级")) continue;
                poll_.stop();
                window->installEventFilter(this);
                action->trigger();
                return;
            }
        }
    }

    QTimer poll_;
};

class ChooseUpdateCheckPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "choose_update_check.json")

  public:
    QObject* create(const QString&, const QString&) override {
        qunsetenv("QT_QPA_GENERIC_PLUGINS");
        return new UpdateCheckChooser;
    }
};

}  // namespace

#include "choose_update_check_plugin.moc"
