#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/qt/qt_platform.h"
#include "platform/qt/save_dialog.h"
#include "tests/window/qt_fixture.h"

namespace lanzhou::test {
namespace {

using platform::BoxButtons;
using platform::BoxResult;
using platform::Control;
using platform::MessageBox;

// Records the window's events instead of handling them.
class BoxesTest : public QtFixture {
  protected:
    BoxesTest() {
        platform::EventBindings on;
        on.pngClicked = [this] { events_.push_back("png"); };
        on.trayEvent = [this](int code) { events_.push_back("tray " + std::to_string(code)); };
        startWith(on);
    }

    // Acts on the first open message box from a timer in the box's own loop.
    void atOpenBox(std::function<void(QMessageBox*)> act, int afterMs = 50) {
        QTimer::singleShot(afterMs, [act = std::move(act)] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* box = qobject_cast<QMessageBox*>(widget))
                    if (box->isVisible()) return act(box);
        });
    }

    std::vector<std::string> events_;
};

MessageBox box(const char* text, BoxButtons buttons, int timeoutMs = 0, bool taskModal = false) {
    MessageBox request;
    request.text = text;
    request.title = "提示信息";
    request.buttons = buttons;
    request.timeoutMs = timeoutMs;
    request.taskModal = taskModal;
    return request;
}

TEST_F(BoxesTest, ATimedBoxClosesItselfWhileTheWindowStaysUsable) {
    atOpenBox([this](QMessageBox* open) {
        EXPECT_EQ(open->text().toStdString(), "保存成功\n默认大小");
        EXPECT_EQ(open->parentWidget(), nullptr);
        EXPECT_EQ(open->windowModality(), Qt::NonModal);
        QTest::mouseClick(control<QWidget>("选择框2png"), Qt::LeftButton);
    });
    EXPECT_EQ(platform_->messageBox(box("保存成功\r\n默认大小", BoxButtons::Ok, 400)),
              BoxResult::TimedOut);
    EXPECT_EQ(events_, std::vector<std::string>{"png"});
    EXPECT_EQ(platform_->checked(Control::选择框2png), 1);
}

TEST_F(BoxesTest, TheButtonPressedIsTheAnswer) {
    const struct {
        BoxButtons buttons;
        QMessageBox::StandardButton press;
        BoxResult answer;
    } cases[] = {
        {BoxButtons::Ok, QMessageBox::Ok, BoxResult::Ok},
        {BoxButtons::OkCancel, QMessageBox::Ok, BoxResult::Ok},
        {BoxButtons::OkCancel, QMessageBox::Cancel, BoxResult::Cancel},
        {BoxButtons::YesNo, QMessageBox::Yes, BoxResult::Yes},
        {BoxButtons::YesNo, QMessageBox::No, BoxResult::No},
    };
    for (const auto& c : cases) {
        atOpenBox([&c](QMessageBox* open) { open->button(c.press)->click(); });
        EXPECT_EQ(platform_->messageBox(box("?", c.buttons, 5000)), c.answer);
    }
}

TEST_F(BoxesTest, EscapeAndThePostedReturnKeyCloseTheBoxAsItsButtonsWould) {
    atOpenBox([](QMessageBox* open) { QTest::keyClick(open, Qt::Key_Escape); });
    EXPECT_EQ(platform_->messageBox(box("?", BoxButtons::OkCancel)), BoxResult::Cancel);
    atOpenBox([](QMessageBox* open) { QTest::keyClick(open, Qt::Key_Escape); });
    EXPECT_EQ(platform_->messageBox(box("?", BoxButtons::Ok)), BoxResult::Ok);

    atOpenBox([this](QMessageBox* open) {
        const platform::WindowHandle found = platform_->findTopLevelWindow("提示信息");
        ASSERT_NE(found, platform::kNoWindow);
        platform_->setMessageText(found, "换了\r\n文字");
        EXPECT_EQ(open->text().toStdString(), "换了\n文字");
        platform_->postKeyDown(found, 13);
        EXPECT_TRUE(open->isVisible());  // the key is only posted
    });
    EXPECT_EQ(platform_->messageBox(box("?", BoxButtons::YesNo, 0, true)), BoxResult::Yes);
    EXPECT_EQ(platform_->findTopLevelWindow("提示信息"), platform::kNoWindow);
}

TEST_F(BoxesTest, ATaskModalBoxBlocksTheWindowButNotTheTray) {
    atOpenBox([this](QMessageBox* open) {
        EXPECT_EQ(open->windowModality(), Qt::ApplicationModal);
        EXPECT_EQ(QApplication::activeModalWidget(), open);
        emit mainWindow()->findChild<QSystemTrayIcon*>()->activated(QSystemTrayIcon::Context);
        open->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(platform_->messageBox(box("?", BoxButtons::Ok, 0, true)), BoxResult::Ok);
    EXPECT_EQ(events_, std::vector<std::string>{"tray 3"});
}

TEST_F(BoxesTest, UnderTestAnswersEveryBoxAnswersItselfAndSaysWhatItShowed) {
    ScopedEnv answers(platform::qt::kTestAnswersVariable, "1");
    std::unique_ptr<platform::Platform> automated = platform::qt::createQtPlatform();
    ::testing::internal::CaptureStdout();
    const BoxResult yes = automated->messageBox(box("要替换它吗？", BoxButtons::YesNo));
    const BoxResult ok = automated->messageBox(box("程序已运行，请确定！", BoxButtons::OkCancel));
    const std::string output = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(yes, BoxResult::Yes);
    EXPECT_EQ(ok, BoxResult::Ok);
    EXPECT_EQ(output, "提示信息\n要替换它吗？\n提示信息\n程序已运行，请确定！\n");
}

TEST(SaveDialogFilter, LabelsAndPatternsBecomeQtNameFilters) {
    using platform::qt::nameFilters;
    EXPECT_EQ(nameFilters(QStringLiteral("*.ico")), QStringList{QStringLiteral("*.ico")});
    EXPECT_EQ(nameFilters(QStringLiteral("图片|*.png;*.jpg|全部|*")),
              (QStringList{QStringLiteral("图片 (*.png *.jpg)"), QStringLiteral("全部 (*)")}));
    EXPECT_TRUE(nameFilters(QString()).isEmpty());
}

class SaveDialogTest : public BoxesTest {
  protected:
    // Answers the dialog from a timer in its own loop: a name to save under, or cancel.
    void answerDialog(const QString& name, QString* openedIn = nullptr,
                      QString* nameShown = nullptr) {
        QTimer::singleShot(100, [name, openedIn, nameShown] {
            QFileDialog* dialog = nullptr;
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (widget->isVisible() && qobject_cast<QFileDialog*>(widget) != nullptr)
                    dialog = static_cast<QFileDialog*>(widget);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName().toStdString(), "通用对话框1");
            EXPECT_EQ(QApplication::activeModalWidget(), dialog);
            auto* nameField = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (openedIn != nullptr) *openedIn = dialog->directory().absolutePath();
            if (nameShown != nullptr) *nameShown = nameField->text();
            if (name.isEmpty()) return dialog->reject();
            // Typed into the name field, as a person does.
            nameField->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }
};

TEST_F(SaveDialogTest, ConfirmingSetsTheFileNameAndCancellingKeepsIt) {
    const QString folder = QString::fromStdString(temp_.path());
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("图片")));
    platform_->setText(Control::编辑框1, temp_.file("图片/照片.jpg"));
    platform_->setFilter(Control::通用对话框1, "*.png");

    QString openedIn;
    answerDialog(folder + QStringLiteral("/输出"), &openedIn);
    ASSERT_TRUE(platform_->runSaveDialog(Control::通用对话框1));
    EXPECT_EQ(openedIn, folder + QStringLiteral("/图片"));
    EXPECT_EQ(platform_->fileName(Control::通用对话框1), temp_.file("输出"));

    QString nameShown;
    answerDialog(QString(), &openedIn, &nameShown);
    EXPECT_FALSE(platform_->runSaveDialog(Control::通用对话框1));
    EXPECT_EQ(openedIn, folder);
    EXPECT_EQ(nameShown.toStdString(), "输出");
    EXPECT_EQ(platform_->fileName(Control::通用对话框1), temp_.file("输出"));
}

TEST_F(SaveDialogTest, WithNoPathInTheFieldTheDialogOpensInTheHomeFolder) {
    QString openedIn;
    answerDialog(QString(), &openedIn);
    EXPECT_FALSE(platform_->runSaveDialog(Control::通用对话框1));
    EXPECT_EQ(openedIn, QDir::homePath());
}

TEST_F(BoxesTest, ProcessesStartWithoutAShellAndTheThreadCanPause) {
    EXPECT_TRUE(platform_->startProcess("/bin/sh", {"-c", "exit 0"}));
    EXPECT_FALSE(platform_->startProcess(temp_.file("no such program"), {}));

    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    platform_->pause(150);
    EXPECT_GE(clock.elapsed(), 150);
    EXPECT_FALSE(ran);
    platform_->processPendingEvents();
    EXPECT_TRUE(ran);
}

// The updater waits for its parent to end before it starts the new version,
// so the program must be that parent.
TEST_F(BoxesTest, AStartedProgramIsAChildOfThisOne) {
    const std::string parentFile = temp_.file("parent");
    ASSERT_TRUE(platform_->startProcess("/bin/sh", {"-c", "echo $PPID > \"$0\"", parentFile}));
    ASSERT_TRUE(waitUntil([&] { return !readFile(parentFile).empty(); }));
    EXPECT_EQ(readFile(parentFile), std::to_string(getpid()) + "\n");

    ASSERT_TRUE(writeFile(temp_.file("not runnable"), "#!/bin/sh\n"));
    EXPECT_FALSE(platform_->startProcess(temp_.file("not runnable"), {}));
}

}  // namespace
}  // namespace lanzhou::test
