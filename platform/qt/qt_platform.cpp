#include "platform/qt/qt_platform.h"

#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "platform/qt/decode_picture.h"
#include "platform/qt/main_window.h"
#include "platform/qt/message_box.h"
#include "platform/qt/path_field.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/pictures.h"
#include "platform/qt/quit_signals.h"
#include "platform/qt/save_dialog.h"
#include "platform/qt/timing.h"
#include "platform/qt/tray_icon.h"
#include "platform/qt/window_registry.h"

namespace lanzhou::platform::qt {

namespace {

constexpr int kReturnKeyCode = 13;
constexpr int kEscapeKeyCode = 27;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// Started as a child of this process, not detached from it: the updater
// tells by its parent when this program has ended, and only then starts
// the new version, which the single-instance guard would turn away before.
bool startChild(const std::string& program, const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    pid_t child = 0;
    // glibc reports a failed exec as the result.
    const int error =
        posix_spawnp(&child, program.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    return error == 0;
}

class QtPlatform final : public Platform {
  public:
    QtPlatform() : answerItself_(!qEnvironmentVariableIsEmpty(kTestAnswersVariable)) {}

    void bind(const EventBindings& bindings) override { bindings_ = bindings; }

    void loadMainWindow() override {
        window_ = std::make_unique<MainWindow>(bindings_, [this] { onWindowClosed(); });
        tray_ = new TrayIcon(bindings_, window_.get());
        if (bindings_.mainWindowCreated) bindings_.mainWindowCreated();
        window_->show();
        timing::watchFirstExposure(window_.get());
    }

    void runMessageLoop() override {
        if (!windowClosed_) {
            QEventLoop loop;
            mainLoop_ = &loop;
            loop.exec();
            mainLoop_ = nullptr;
        }
        runExitActions();
    }

    void processPendingEvents() override { QCoreApplication::processEvents(); }
    void pause(int ms) override { QThread::msleep(static_cast<unsigned long>(std::max(ms, 0))); }
    void addExitAction(std::function<void()> action) override {
        exitActions_.push_back(std::move(action));
    }

    void endProcess() override {
        runExitActions();
        std::fflush(nullptr);
        std::exit(0);
    }

    std::string text(Control control) override {
        QWidget* widget = widgetOf(control);
        if (widget == nullptr) return {};
        switch (designOf(control).kind) {
            case ControlKind::Window:
                return widget->windowTitle().toStdString();
            case ControlKind::Label:
                return static_cast<QLabel*>(widget)->text().toStdString();
            case ControlKind::PathField:
                return static_cast<QLineEdit*>(widget)->text().toStdString();
            case ControlKind::GroupBox:
                return static_cast<QGroupBox*>(widget)->title().toStdString();
            case ControlKind::RadioButton:
            case ControlKind::CheckBox:
            case ControlKind::PushButton:
                return static_cast<QAbstractButton*>(widget)->text().toStdString();
            default:
                return {};
        }
    }

    void setText(Control control, const std::string& text) override {
        QWidget* widget = widgetOf(control);
        if (widget == nullptr) return;
        switch (designOf(control).kind) {
            case ControlKind::Window:
                widget->setWindowTitle(fromUtf8(text));
                break;
            case ControlKind::Label:
                static_cast<QLabel*>(widget)->setText(fromUtf8(text));
                break;
            case ControlKind::PathField:
                static_cast<QLineEdit*>(widget)->setText(fromUtf8(text));
                break;
            case ControlKind::GroupBox:
                static_cast<QGroupBox*>(widget)->setTitle(fromUtf8(text));
                break;
            case ControlKind::RadioButton:
            case ControlKind::CheckBox:
            case ControlKind::PushButton:
                static_cast<QAbstractButton*>(widget)->setText(fromUtf8(text));
                break;
            default:
                break;
        }
    }

    bool visible(Control control) override {
        QWidget* widget = widgetOf(control);
        return widget != nullptr && widget->isVisible();
    }
    void setVisible(Control control, bool visible) override {
        if (QWidget* widget = widgetOf(control)) widget->setVisible(visible);
    }

    int checked(Control control) override {
        auto* button = qobject_cast<QAbstractButton*>(widgetOf(control));
        return button != nullptr && button->isChecked() ? 1 : 0;
    }
    void setChecked(Control control, int value) override {
        if (window_) window_->setChecked(control, value == 1);
    }

    Bytes picture(Control control) override {
        if (!window_ || control != Control::图片框1) return {};
        return toBytes(window_->pictureBox()->bytes());
    }
    void setPicture(Control control, const Bytes& bytes) override {
        if (window_ && control == Control::图片框1)
            window_->pictureBox()->setBytes(toQByteArray(bytes));
    }

    std::string fileName(Control control) override {
        return control == Control::通用对话框1 ? dialogFileName_ : std::string();
    }
    void setFileName(Control control, const std::string& name) override {
        if (control == Control::通用对话框1) dialogFileName_ = name;
    }
    std::string filter(Control control) override {
        return control == Control::通用对话框1 ? dialogFilter_ : std::string();
    }
    void setFilter(Control control, const std::string& filter) override {
        if (control == Control::通用对话框1) dialogFilter_ = filter;
    }

    int period(Control control) override {
        if (!window_ || control != Control::时钟1关于) return 0;
        const QTimer& timer = window_->aboutTimer();
        return timer.isActive() ? timer.interval() : 0;
    }
    void setPeriod(Control control, int ms) override {
        if (!window_ || control != Control::时钟1关于) return;
        if (ms > 0)
            window_->aboutTimer().start(ms);
        else
            window_->aboutTimer().stop();
    }

    WindowHandle windowHandle(Control control) override {
        return windows_.handleOf(widgetOf(control));
    }
    void setToolTip(Control control, const std::string& tip) override {
        if (QWidget* widget = widgetOf(control)) widget->setToolTip(fromUtf8(tip));
    }
    void enableFileDrop(Control control) override {
        if (window_ && (control == Control::编辑框1 || control == Control::拖放对象1))
            window_->pathField()->enableFileDrop();
    }
    void minimize(Control control) override {
        if (QWidget* widget = widgetOf(control)) widget->showMinimized();
    }

    BoxResult messageBox(const MessageBox& box) override {
        timing::messageBoxRequested();
        return runMessageBox(box, answerItself_);
    }

    bool runSaveDialog(Control dialog) override {
        if (dialog != Control::通用对话框1) return false;
        const std::optional<QString> chosen =
            qt::runSaveDialog(fromUtf8(dialogFileName_), fromUtf8(dialogFilter_), startFolder());
        if (!chosen) return false;
        timing::saveDialogConfirmed();
        dialogFileName_ = chosen->toStdString();
        return true;
    }

    void popupMenu(Point topLeft) override {
        if (window_) window_->popupMenu().exec(QPoint(topLeft.x, topLeft.y));
    }

    WindowHandle findTopLevelWindow(const std::string& title) override {
        const QString wanted = fromUtf8(title);
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->windowTitle() == wanted)
                return windows_.handleOf(widget);
        return kNoWindow;
    }

    void setMessageText(WindowHandle box, const std::string& text) override {
        if (auto* messageBox = qobject_cast<QMessageBox*>(windows_.widgetOf(box)))
            messageBox->setText(displayedText(text));
    }

    void postKeyDown(WindowHandle window, int keyCode) override {
        QWidget* widget = windows_.widgetOf(window);
        const int key = keyCode == kReturnKeyCode   ? Qt::Key_Return
                        : keyCode == kEscapeKeyCode ? Qt::Key_Escape
                                                    : 0;
        if (widget == nullptr || key == 0) return;
        QCoreApplication::postEvent(widget, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    }

    void setTrayIcon(const Bytes& icoBytes, const std::string& tip) override {
        if (tray_) tray_->set(toQByteArray(icoBytes), fromUtf8(tip));
        // The program's own icon serves its windows' title bars too.
        if (QApplication::windowIcon().isNull()) {
            QPixmap picture;
            if (picture.loadFromData(toQByteArray(icoBytes))) QApplication::setWindowIcon(picture);
        }
    }
    bool trayAvailable() override { return QSystemTrayIcon::isSystemTrayAvailable(); }

    Point cursorPosition() override {
        const QPoint at = QCursor::pos();
        return {at.x(), at.y()};
    }

    RgbaImage decodePicture(const Bytes& bytes) override { return qt::decodePicture(bytes); }

    RgbaImage grabWindow(WindowHandle window) override {
        if (window == kNoWindow) {
            QScreen* screen = QGuiApplication::primaryScreen();
            return screen ? toRgbaImage(screen->grabWindow(0).toImage()) : RgbaImage();
        }
        QWidget* widget = windows_.widgetOf(window);
        return widget ? toRgbaImage(widget->grab().toImage()) : RgbaImage();
    }

    int screenDepth() override {
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->depth() : 0;
    }

    RgbaImage themedIcon(const std::string& nameOrPath, int size) override {
        const QString name = fromUtf8(nameOrPath);
        const QIcon icon = QDir::isAbsolutePath(name) ? QIcon(name) : QIcon::fromTheme(name);
        if (icon.isNull() || size <= 0) return {};
        return toRgbaImage(icon.pixmap(QSize(size, size)).toImage());
    }

    std::string executableFileName() override {
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString();
    }
    std::string executableFolder() override {
        return QCoreApplication::applicationDirPath().toStdString();
    }
    bool setCurrentFolder(const std::string& folder) override {
        return QDir::setCurrent(fromUtf8(folder));
    }
    bool startProcess(const std::string& program, const std::vector<std::string>& args) override {
        return startChild(program, args);
    }

  private:
    QWidget* widgetOf(Control control) const {
        return window_ ? window_->widget(control) : nullptr;
    }

    // The folder of the file named in the path field, else the home folder.
    QString startFolder() {
        const QString folder = QFileInfo(fromUtf8(text(Control::编辑框1))).absolutePath();
        return !text(Control::编辑框1).empty() && QFileInfo(folder).isDir() ? folder
                                                                            : QDir::homePath();
    }

    void onWindowClosed() {
        windowClosed_ = true;
        if (mainLoop_) mainLoop_->quit();
    }

    void runExitActions() {
        std::vector<std::function<void()>> actions;
        actions.swap(exitActions_);
        for (const auto& action : actions) action();
    }

    const bool answerItself_;
    EventBindings bindings_;
    std::unique_ptr<MainWindow> window_;
    TrayIcon* tray_ = nullptr;  // owned by the window
    WindowRegistry windows_;
    std::vector<std::function<void()>> exitActions_;
    std::string dialogFileName_;
    std::string dialogFilter_;
    QEventLoop* mainLoop_ = nullptr;
    bool windowClosed_ = false;
};

}  // namespace

std::unique_ptr<Platform> createQtPlatform() {
    QApplication::setQuitOnLastWindowClosed(false);
    return std::make_unique<QtPlatform>();
}

int runOnQt(int argc, char** argv, const std::function<int(Platform&)>& program) {
    QApplication application(argc, argv);
    // Lets the desktop match the windows to the menu entry lanzhou.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("lanzhou"));
    std::unique_ptr<Platform> platform = createQtPlatform();
    QuitSignals quitSignals([&platform] { platform->endProcess(); });
    return program(*platform);
}

}  // namespace lanzhou::platform::qt
