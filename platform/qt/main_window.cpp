#include "platform/qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>

#include "platform/qt/path_field.h"
#include "platform/qt/picture_box.h"

namespace lanzhou::platform::qt {

namespace {

// The designed outer size, frame and title bar included; used to centre the window.
constexpr int kOuterWidth = 230;
constexpr int kOuterHeight = 316;
// Space kept between a widened control and whatever stands to its right.
constexpr int kWidenGap = 4;

std::size_t indexOf(Control control) {
    return static_cast<std::size_t>(control);
}

bool isRadio(Control control) {
    return designOf(control).kind == ControlKind::RadioButton;
}

}  // namespace

MainWindow::MainWindow(const EventBindings& bindings, std::function<void()> closed)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      bindings_(bindings),
      closed_(std::move(closed)) {
    const ControlDesign& design = designOf(Control::MainWindow);
    setObjectName(QString::fromUtf8(design.name));
    setWindowTitle(QString::fromUtf8(design.text));
    setFixedSize(design.width, design.height);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);

    buildControls();
    connectButtons();
    buildMenu();
    aboutTimer_.setObjectName(QString::fromUtf8(designOf(Control::时钟1关于).name));
    connect(&aboutTimer_, &QTimer::timeout, this, [this] {
        if (bindings_.aboutTimerTick) bindings_.aboutTimerTick();
    });

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - QPoint(kOuterWidth / 2, kOuterHeight / 2));
}

QWidget* MainWindow::widget(Control control) const {
    return control == Control::MainWindow ? const_cast<MainWindow*>(this)
                                          : widgets_[indexOf(control)];
}

PathField* MainWindow::pathField() const {
    return static_cast<PathField*>(widget(Control::编辑框1));
}

PictureBox* MainWindow::pictureBox() const {
    return static_cast<PictureBox*>(widget(Control::图片框1));
}

void MainWindow::buildControls() {
    for (const ControlDesign& design : kMainWindowDesign) {
        if (design.control == Control::MainWindow) continue;
        widgets_[indexOf(design.control)] = makeControl(design, widget(design.parent));
    }
    for (const ControlDesign& design : kMainWindowDesign)
        if (widgets_[indexOf(design.control)] != nullptr) widenToFit(design.control);
}

QWidget* MainWindow::makeControl(const ControlDesign& design, QWidget* parent) {
    const QString text = QString::fromUtf8(design.text);
    QWidget* control = nullptr;
    switch (design.kind) {
        case ControlKind::Label:
            control = new QLabel(text, parent);
            break;
        case ControlKind::PathField:
            control = new PathField(bindings_, parent);
            break;
        case ControlKind::PictureBox:
            control = new PictureBox(parent);
            break;
        case ControlKind::GroupBox:
            control = new QGroupBox(text, parent);
            break;
        case ControlKind::RadioButton: {
            // Exclusion is ours: the program must be able to uncheck every radio.
            auto* radio = new QRadioButton(text, parent);
            radio->setAutoExclusive(false);
            control = radio;
            break;
        }
        case ControlKind::CheckBox:
            control = new QCheckBox(text, parent);
            break;
        case ControlKind::PushButton:
            control = new QPushButton(text, parent);
            break;
        case ControlKind::Window:
        case ControlKind::Timer:
        case ControlKind::DropTarget:
        case ControlKind::SaveDialog:
            return nullptr;
    }
    control->setObjectName(QString::fromUtf8(design.name));
    control->setGeometry(design.x, design.y, design.width, design.height);
    return control;
}

// A label the installed font cannot fit into its designed width grows to the
// right, up to the nearest control beside it or the edge of its parent.
void MainWindow::widenToFit(Control control) {
    QWidget* self = widget(control);
    const int wanted = self->sizeHint().width();
    if (wanted <= self->width()) return;
    int limit = self->parentWidget()->width();
    for (QObject* child : self->parentWidget()->children()) {
        auto* sibling = qobject_cast<QWidget*>(child);
        if (sibling == nullptr || sibling == self) continue;
        const QRect other = sibling->geometry();
        const bool besideIt = other.left() >= self->geometry().right() &&
                              other.top() < self->geometry().bottom() &&
                              other.bottom() > self->geometry().top();
        if (besideIt) limit = std::min(limit, other.left());
    }
    self->resize(std::min(wanted, limit - kWidenGap - self->x()), self->height());
}

void MainWindow::connectButtons() {
    const auto onClick = [this](Control control, const std::function<void()>& handler) {
        connect(static_cast<QAbstractButton*>(widget(control)), &QAbstractButton::clicked, this,
                [&handler] {
                    if (handler) handler();
                });
    };
    onClick(Control::选择框1ico, bindings_.icoClicked);
    onClick(Control::选择框2png, bindings_.pngClicked);
    onClick(Control::选择框3jpg, bindings_.jpgClicked);
    onClick(Control::按钮1保存, bindings_.saveClicked);
    for (const ControlDesign& design : kMainWindowDesign) {
        if (!isRadio(design.control)) continue;
        const Control radio = design.control;
        connect(static_cast<QAbstractButton*>(widget(radio)), &QAbstractButton::clicked, this,
                [this, radio] { keepOneRadioChecked(radio); });
    }
}

// A click checks the radio and unchecks the others of the group, also when it
// was checked already.
void MainWindow::keepOneRadioChecked(Control clicked) {
    for (const ControlDesign& design : kMainWindowDesign)
        if (isRadio(design.control)) setChecked(design.control, design.control == clicked);
}

void MainWindow::setChecked(Control control, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(widget(control));
    if (button == nullptr) return;
    const QSignalBlocker quiet(button);
    button->setChecked(checked);
}

void MainWindow::buildMenu() {
    popupMenu_ = new QMenu(QString::fromUtf8(kMenuTitle), this);
    QMenu* upgrade = popupMenu_->addMenu(QString::fromUtf8(kUpgradeSubmenuText));
    const auto addItem = [this](QMenu* menu, MenuItem item) {
        QAction* action = menu->addAction(QString::fromUtf8(menuItemText(item)));
        // The chosen item's handler runs from the message loop once the menu has closed.
        connect(
            action, &QAction::triggered, this,
            [this, item] {
                if (bindings_.menuChosen) bindings_.menuChosen(item);
            },
            Qt::QueuedConnection);
    };
    addItem(upgrade, MenuItem::检测升级);
    addItem(popupMenu_, MenuItem::隐藏);
    addItem(popupMenu_, MenuItem::关于);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted() && closed_) closed_();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// The group box and the version label let clicks through to the window, as
// static frames do; every other control keeps its clicks.
bool MainWindow::isFreeClientArea(QPoint position) const {
    QWidget* hit = childAt(position);
    return hit == nullptr || hit == widget(Control::分组框1) || hit == widget(Control::版本号标签);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && isFreeClientArea(event->position().toPoint())) {
        if (bindings_.mainWindowRightMouseDown) bindings_.mainWindowRightMouseDown();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace lanzhou::platform::qt
