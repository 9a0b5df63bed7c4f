#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <string>
#include <vector>

#include "tests/window/qt_fixture.h"

namespace lanzhou::test {
namespace {

class DropTest : public QtFixture {
  protected:
    DropTest() {
        platform::EventBindings on;
        on.fileDropped = [this](const std::string& paths) { dropped_.push_back(paths); };
        startWith(on);
    }

    // Drags the data onto 编辑框1 and drops it there; whether the field took it.
    bool drop(const QList<QUrl>& urls, const QString& text = {}) {
        QWidget* field = control<QWidget>("编辑框1");
        QMimeData data;
        if (!urls.isEmpty()) data.setUrls(urls);
        if (!text.isEmpty()) data.setText(text);
        const QPoint at(20, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &dropped);
        QTest::qWait(10);
        return dropped.isAccepted();
    }

    std::vector<std::string> dropped_;
};

TEST_F(DropTest, DroppedFilesArriveAsTheirPathsAfterTheDropTargetIsOn) {
    const QUrl photo = QUrl::fromLocalFile(QStringLiteral("/home/人/照片.jpg"));
    const QUrl tool = QUrl::fromLocalFile(QStringLiteral("/opt/tool.exe"));
    EXPECT_FALSE(drop({photo}));

    platform_->enableFileDrop(platform::Control::编辑框1);
    EXPECT_TRUE(drop({photo}));
    EXPECT_TRUE(drop({photo, tool}));
    EXPECT_EQ(dropped_, (std::vector<std::string>{"/home/人/照片.jpg",
                                                  "/home/人/照片.jpg\r\n/opt/tool.exe\r\n"}));
    // The field's text is the handler's to write, not the drop's.
    EXPECT_EQ(platform_->text(platform::Control::编辑框1), "");
}

TEST_F(DropTest, AnythingButLocalFilesIsRefused) {
    platform_->enableFileDrop(platform::Control::编辑框1);
    EXPECT_FALSE(drop({QUrl(QStringLiteral("https://example.org/a.png"))}));
    EXPECT_FALSE(drop({}, QStringLiteral("some text")));
    EXPECT_TRUE(dropped_.empty());
}

}  // namespace
}  // namespace lanzhou::test
