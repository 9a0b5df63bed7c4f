#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <string>
#include <vector>

#include "app/startup.h"
#include "tests/update/loopback_http_server.h"
#include "tests/window/qt_fixture.h"

namespace lanzhou::test {
namespace {

using Log = std::vector<std::string>;

// Notes, in order, each caption MainWindow takes and each message box that
// opens, with its text as shown.
class WindowWatch : public QObject {
  public:
    Log log;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (widget == nullptr) return false;
        if (event->type() == QEvent::WindowTitleChange &&
            widget->objectName() == QStringLiteral("MainWindow"))
            log.push_back("caption " + widget->windowTitle().toStdString());
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && event->type() == QEvent::Show)
            log.push_back("box " + box->windowTitle().toStdString() + ": " +
                          box->text().toStdString());
        return false;
    }
};

QMessageBox* openBox() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget))
            if (box->isVisible()) return box;
    return nullptr;
}

// The shell in the real window, from a run folder of this test's own (its
// executable's folder, where the updater is written), against a loopback
// update server.
class UpdateCheckOnQtTest : public QtFixture {
  protected:
    UpdateCheckOnQtTest() {
        app::prepareUpdateDocument(*platform_);
        startShell();
        qApp->installEventFilter(&watch_);
    }
    ~UpdateCheckOnQtTest() override { qApp->removeEventFilter(&watch_); }

    void serveVersion(const std::string& version) {
        document_ = "<最新版本><版本信息 版本号=\"" + version +
                    "\" 升级说明=\"修正 保存\" 下载地址=\"http://127.0.0.1:1/new\" "
                    "文件标题=\"澜舟\" 文件名=\"lanzhou\"/></最新版本>";
    }

    // Chooses the menu item as the popup menu does.
    void chooseUpdateCheck() {
        for (QAction* action : mainWindow()->findChildren<QAction*>())
            if (action->text() == QStringLiteral("检测升级")) action->trigger();
    }

    bool backToIdle() {
        return waitUntil([&] { return !watch_.log.empty() && watch_.log.back() == "caption 澜舟"; },
                         15000);
    }

    std::string document_;
    LoopbackHttpServer server_{
        [this](const std::string&) { return LoopbackHttpServer::response(200, document_); }};
    ScopedEnv url_{"LANZHOU_UPDATE_URL", server_.url("/澜舟.xml").c_str()};
    WindowWatch watch_;
};

// The handler waits inside each box, so the tests look at a box from a timer
// that runs in the box's own loop.
TEST_F(UpdateCheckOnQtTest, AnUnreachableServerGivesABoxThatClosesItself) {
    const std::string closed = "http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/x";
    ScopedEnv url("LANZHOU_UPDATE_URL", closed.c_str());
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QMessageBox* box = openBox();
        if (box == nullptr || seen) return;
        seen = true;
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->windowModality(), Qt::NonModal);
        EXPECT_EQ(mainWindow()->windowTitle().toStdString(), "检测升级中...");
    });
    poll.start(20);
    chooseUpdateCheck();
    ASSERT_TRUE(backToIdle());
    EXPECT_TRUE(seen);
    EXPECT_EQ(watch_.log,
              (Log{"caption 检测升级中...", "box 提示信息: 未接通升级服务器", "caption 澜舟"}));
    EXPECT_EQ(openBox(), nullptr) << "the box closed itself";
}

TEST_F(UpdateCheckOnQtTest, NoNewerVersionShowsOnlyInTheCaption) {
    serveVersion("3.2000001");
    chooseUpdateCheck();
    ASSERT_TRUE(backToIdle());
    EXPECT_EQ(watch_.log, (Log{"caption 检测升级中...", "caption 未检测到新版本", "caption 澜舟"}));
    EXPECT_EQ(server_.requests().size(), 1u);
}

TEST_F(UpdateCheckOnQtTest, ANewerVersionIsOfferedAndCancelled) {
    serveVersion("３．３");
    bool checked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QMessageBox* box = openBox();
        if (box == nullptr || checked) return;
        checked = true;
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        box->button(QMessageBox::Cancel)->click();
    });
    poll.start(20);
    chooseUpdateCheck();
    ASSERT_TRUE(backToIdle());
    EXPECT_TRUE(checked);
    EXPECT_EQ(watch_.log,
              (Log{"caption 检测升级中...",
                   "box 版本升级: 发现有新版本可以更新！\n\n版本号：３．３\n下载说明：修正 保存",
                   "caption 澜舟"}));
    EXPECT_TRUE(mainWindow()->isVisible());
}

}  // namespace
}  // namespace lanzhou::test
