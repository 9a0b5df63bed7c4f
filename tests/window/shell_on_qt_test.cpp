#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/module_state.h"
#include "tests/window/qt_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Control;

class ShellOnQtTest : public QtFixture {
  protected:
    ShellOnQtTest() { startShell(); }

    QSystemTrayIcon* tray() const { return mainWindow()->findChild<QSystemTrayIcon*>(); }

    // Presses the right button at a point of the window; returns the popup
    // that opened, closed again after noting where it stood.
    struct Popup {
        bool opened = false;
        QPoint topLeft;
        QString title;
    };
    Popup rightPress(QWidget* target, QPoint at, const char* choose = nullptr) {
        Popup popup;
        QTimer::singleShot(100, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            popup = {true, menu->pos(), menu->title()};
            for (QAction* action : menu->actions())
                if (choose != nullptr && action->text() == QString::fromUtf8(choose))
                    action->trigger();
            menu->close();
        });
        QTest::mousePress(target, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseRelease(target, Qt::RightButton, Qt::NoModifier, at);
        QTest::qWait(200);
        return popup;
    }
};

TEST_F(ShellOnQtTest, RightPressOnTheFreeAreaPopsTheMenuUpBelowRightOfTheCursor) {
    QCursor::setPos(QPoint(321, 234));
    const Popup onWindow = rightPress(mainWindow(), QPoint(4, 150));
    EXPECT_TRUE(onWindow.opened);
    EXPECT_EQ(onWindow.title.toStdString(), "菜单");
    EXPECT_EQ(onWindow.topLeft, QCursor::pos() + QPoint(3, 3));

    const Popup onGroupBox = rightPress(control<QWidget>("分组框1"), QPoint(100, 120));
    EXPECT_TRUE(onGroupBox.opened);
}

TEST_F(ShellOnQtTest, RightPressOnAControlOpensNoMenu) {
    for (const char* name : {"编辑框1", "图片框1", "单选框432", "选择框1ico", "按钮1保存"}) {
        const Popup popup = rightPress(control<QWidget>(name), QPoint(5, 5));
        EXPECT_FALSE(popup.opened) << name;
    }
}

TEST_F(ShellOnQtTest, HideWithoutATrayMinimisesAndChangesTheTip) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    const Popup popup = rightPress(mainWindow(), QPoint(4, 150), "隐藏");
    ASSERT_TRUE(popup.opened);
    EXPECT_TRUE(waitUntil([&] { return tray()->toolTip() == QStringLiteral("澜舟"); }));
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_TRUE(mainWindow()->windowState() & Qt::WindowMinimized);
}

TEST_F(ShellOnQtTest, TrayClicksToggleTheWindowADoubleClickLeavesItAsItWas) {
    emit tray()->activated(QSystemTrayIcon::Trigger);
    EXPECT_FALSE(mainWindow()->isVisible());
    emit tray()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(mainWindow()->isVisible());

    emit tray()->activated(QSystemTrayIcon::Trigger);
    emit tray()->activated(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(mainWindow()->isVisible());

    emit tray()->activated(QSystemTrayIcon::Context);
    emit tray()->activated(QSystemTrayIcon::MiddleClick);
    EXPECT_TRUE(mainWindow()->isVisible());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(tray()->toolTip().toStdString(), "欢迎使用澜舟");
}

TEST_F(ShellOnQtTest, TheWindowCarriesTheProgramsIcon) {
    const QList<QSize> sizes = mainWindow()->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48))) << "the tray icon's 48 x 48 image";
}

// Notes every text the about box shows, until it has closed.
// Each text the box shows, once, in the order shown.
struct AboutWatch {
    std::vector<std::string> texts;
    qint64 openedAt = -1;
    qint64 closedAt = -1;

    void record(const std::string& text) {
        if (texts.empty() || texts.back() != text) texts.push_back(text);
    }
};

QMessageBox* openAboutBox() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget))
            if (box->isVisible() && box->windowTitle() == QStringLiteral("关于作者")) return box;
    return nullptr;
}

void chooseAbout(QWidget* window) {
    for (QAction* action : window->findChildren<QAction*>())
        if (action->text() == QStringLiteral("关于")) action->trigger();
}

// The real box, timer and posted key: one run of six real seconds.
TEST_F(ShellOnQtTest, TheAboutBoxCountsDownAndClosesItselfAfterSixSeconds) {
    AboutWatch watch;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QMessageBox* box = openAboutBox();
        if (box == nullptr) return;
        if (watch.openedAt < 0) {
            watch.openedAt = clock.elapsed();
            // The last text and the close come in one tick, usually too fast
            // for the poll; on a busy machine the poll may see it first.
            QObject::connect(box, &QDialog::finished, [&, box] {
                watch.record(box->text().toStdString());
                watch.closedAt = clock.elapsed();
            });
        }
        watch.record(box->text().toStdString());
    });
    poll.start(20);
    chooseAbout(mainWindow());
    ASSERT_TRUE(waitUntil([&] { return watch.closedAt >= 0; }, 10000));

    const std::string number = app::kContactNumber;
    std::vector<std::string> expected{"墨川\n\n QQ：" + number};
    for (int count = 5; count >= 0; --count)
        expected.push_back("墨川   (" + std::to_string(count) + ")\n\n QQ：" + number);
    EXPECT_EQ(watch.texts, expected);
    // Six ticks of a one-second timer (Qt may fire a coarse timer a little early).
    EXPECT_GE(watch.closedAt - watch.openedAt, 5000);
    EXPECT_EQ(platform_->period(Control::时钟1关于), 0);
    EXPECT_EQ(app::aboutCountdown, 6);
}

// The handler waits inside the box, so the test acts from a timer that runs
// in the box's own loop.
TEST_F(ShellOnQtTest, AfterAnEarlyCloseTheNextAboutBoxGoesOnCounting) {
    std::string firstCountdown;
    int boxesClosed = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QMessageBox* box = openAboutBox();
        if (box == nullptr) return;
        const QString text = box->text();
        const bool closeNow = boxesClosed == 0 ? text.contains(QStringLiteral("(4)"))
                                               : text.contains(QLatin1Char('('));
        if (!closeNow) return;
        if (boxesClosed == 1) firstCountdown = text.toStdString();
        ++boxesClosed;
        box->button(QMessageBox::Ok)->click();
    });
    poll.start(20);

    chooseAbout(mainWindow());
    ASSERT_TRUE(waitUntil([&] { return boxesClosed == 1; }, 8000));
    ASSERT_TRUE(waitUntil([&] { return platform_->period(Control::时钟1关于) == 0; }, 3000));
    EXPECT_EQ(app::aboutCountdown, 4);

    chooseAbout(mainWindow());
    ASSERT_TRUE(waitUntil([&] { return boxesClosed == 2; }, 8000));
    EXPECT_EQ(firstCountdown, std::string("墨川   (3)\n\n QQ：") + app::kContactNumber);
}

}  // namespace
}  // namespace lanzhou::test
