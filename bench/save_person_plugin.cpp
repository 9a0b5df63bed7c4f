// A Qt generic plugin that plays the person in a timed run of the real
// program: once MainWindow is shown it drops the picture named by
// LANZHOU_BENCH_PICTURE on the path field, ticks PNG and 64 × 64, presses
// 保存 and types LANZHOU_BENCH_SAVE_AS into the save dialog. bench/window.py
// loads it with QT_PLUGIN_PATH and QT_QPA_GENERIC_PLUGINS and reads the
// program's timing lines.

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QGenericPlugin>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

constexpr int kPollMs = 5;

template <typename Widget>
Widget* child(QWidget* window, const char* name) {
    return window->findChild<Widget*>(QString::fromUtf8(name));
}

class SavePerson : public QObject {
  public:
    SavePerson()
        : picture_(qEnvironmentVariable("LANZHOU_BENCH_PICTURE")),
          saveAs_(qEnvironmentVariable("LANZHOU_BENCH_SAVE_AS")) {
        connect(&poll_, &QTimer::timeout, this, [this] { look(); });
        poll_.start(kPollMs);
    }

  private:
    enum class Step { Drop, ChooseAndSave, AnswerDialog };

    void look() {
        switch (step_) {
            case Step::Drop:
                if (QWidget* window = mainWindow(); window && dropPicture(window))
                    step_ = Step::ChooseAndSave;
                break;
            case Step::ChooseAndSave:
                // The drop's handler has filled the path field.
                if (QWidget* window = mainWindow();
                    window && !child<QLineEdit>(window, "编辑框1")->text().isEmpty()) {
                    chooseAndSave(window);
                    step_ = Step::AnswerDialog;
                }
                break;
            case Step::AnswerDialog:
                if (answerDialog()) poll_.stop();
                break;
        }
    }

    static QWidget* mainWindow() {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QStringLiteral("MainWindow") && window->isVisible())
                return window;
        return nullptr;
    }

    // Drags the picture onto the path field and drops it there, once the
    // field takes drops; whether it took this one.
    bool dropPicture(QWidget* window) {
        auto* field = child<QLineEdit>(window, "编辑框1");
        if (!field->acceptDrops()) return false;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(picture_)});
        const QPoint at = field->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &drop);
        return drop.isAccepted();
    }

    static void chooseAndSave(QWidget* window) {
        child<QAbstractButton>(window, "选择框2png")->click();
        child<QAbstractButton>(window, "单选框564")->click();
        // From the message loop: the save dialog runs a loop of its own, in
        // which this poll must go on.
        QMetaObject::invokeMethod(child<QAbstractButton>(window, "按钮1保存"),
                                  &QAbstractButton::click, Qt::QueuedConnection);
    }

    bool answerDialog() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (dialog == nullptr || !dialog->isVisible()) continue;
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name->setText(saveAs_);
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            return true;
        }
        return false;
    }

    const QString picture_;
    const QString saveAs_;
    Step step_ = Step::Drop;
    QTimer poll_;
};

class SavePersonPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "save_person.json")

  public:
    QObject* create(const QString&, const QString&) override {
        qunsetenv("QT_QPA_GENERIC_PLUGINS");
        return new SavePerson;
    }
};

}  // namespace

#include "save_person_plugin.moc"
