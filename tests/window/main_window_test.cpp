#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include "platform/controls.h"
#include "tests/window/qt_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Control;
using platform::ControlKind;
using platform::kMainWindowDesign;

class MainWindowTest : public QtFixture {
  protected:
    MainWindowTest() { startShell(); }
};

QString shownText(QWidget* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* field = qobject_cast<QLineEdit*>(widget)) return field->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget)) return group->title();
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return {};
}

TEST_F(MainWindowTest, EveryControlSitsAtItsDesignedPlaceWithItsText) {
    for (const auto& design : kMainWindowDesign) {
        if (design.width == 0 || design.control == Control::MainWindow) continue;
        SCOPED_TRACE(design.name);
        QWidget* widget = control<QWidget>(design.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(),
                  platform::designOf(design.parent).name);
        EXPECT_EQ(widget->pos(), QPoint(design.x, design.y));
        EXPECT_EQ(widget->height(), design.height);
        EXPECT_GE(widget->width(), design.width);
        // Widened only into the free space beside it, never over a neighbour or the edge.
        EXPECT_LE(widget->geometry().right(), widget->parentWidget()->width());
        if (design.control != Control::版本号标签) {
            EXPECT_EQ(shownText(widget).toStdString(), design.text);
        }
        EXPECT_TRUE(widget->isVisible());
    }
    EXPECT_EQ(control<QLabel>("版本号标签")->text().toStdString(), "版本号：3.2");
}

TEST_F(MainWindowTest, EveryLabelFitsWithTheInstalledFonts) {
    for (const auto& design : kMainWindowDesign) {
        if (design.kind != ControlKind::RadioButton && design.kind != ControlKind::CheckBox &&
            design.kind != ControlKind::PushButton && design.kind != ControlKind::Label)
            continue;
        QWidget* widget = control<QWidget>(design.name);
        EXPECT_LE(widget->sizeHint().width(), widget->width()) << design.name;
    }
    const QRect radio = control<QWidget>("单选框6128")->geometry();
    const QRect box = control<QWidget>("选择框3jpg")->geometry();
    EXPECT_LT(radio.right(), box.left());
}

TEST_F(MainWindowTest, TheWindowIsFixedCentredWithoutMaximiseAndCaptioned) {
    QWidget* window = mainWindow();
    EXPECT_EQ(window->windowTitle().toStdString(), "澜舟");
    EXPECT_EQ(window->size(), QSize(224, 288));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_EQ(window->pos(), centre - QPoint(115, 158));
    EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, StartUpLeavesNothingChosenAndSetsTooltipAndTray) {
    for (const auto& design : kMainWindowDesign) {
        if (design.kind == ControlKind::RadioButton || design.kind == ControlKind::CheckBox) {
            EXPECT_FALSE(control<QAbstractButton>(design.name)->isChecked()) << design.name;
        }
    }
    EXPECT_TRUE(control<QLineEdit>("编辑框1")->text().isEmpty());
    EXPECT_EQ(control<QWidget>("编辑框1")->toolTip().toStdString(), "请把软件或图片拖至此窗口");
    auto* tray = mainWindow()->findChild<QSystemTrayIcon*>();
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->toolTip().toStdString(), "欢迎使用澜舟");
    EXPECT_EQ(tray->icon().availableSizes(), QList<QSize>{QSize(48, 48)});
    EXPECT_TRUE(platform_->picture(Control::图片框1).empty());
    EXPECT_EQ(platform_->period(Control::时钟1关于), 0);
}

TEST_F(MainWindowTest, RadioButtonsExcludeEachOtherWhenClickedButAreSetOneByOne) {
    QTest::mouseClick(control<QWidget>("单选框564"), Qt::LeftButton);
    QTest::mouseClick(control<QWidget>("单选框432"), Qt::LeftButton);
    QTest::mouseClick(control<QWidget>("单选框432"), Qt::LeftButton);
    EXPECT_EQ(platform_->checked(Control::单选框432), 1);
    EXPECT_EQ(platform_->checked(Control::单选框564), 0);

    platform_->setChecked(Control::单选框6128, 1);
    EXPECT_EQ(platform_->checked(Control::单选框432), 1);
    EXPECT_EQ(platform_->checked(Control::单选框6128), 1);
    platform_->setChecked(Control::单选框432, 0);
    platform_->setChecked(Control::单选框6128, 7);
    EXPECT_EQ(platform_->checked(Control::单选框432), 0);
    EXPECT_EQ(platform_->checked(Control::单选框6128), 0);
}

TEST_F(MainWindowTest, EscClosesTheWindowAndEndsTheMessageLoop) {
    bool exitActionRan = false;
    platform_->addExitAction([&] { exitActionRan = true; });
    QTimer::singleShot(50, [this] { QTest::keyClick(mainWindow(), Qt::Key_Escape); });
    platform_->runMessageLoop();
    EXPECT_FALSE(mainWindow()->isVisible());
    EXPECT_TRUE(exitActionRan);
}

}  // namespace
}  // namespace lanzhou::test
