#include <QAbstractButton>
#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QImage>
#include <QImageWriter>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <string>
#include <vector>

#include "iconlist/icon_theme.h"
#include "tests/iconlist/icon_samples.h"
#include "tests/support/shortcut_builder.h"
#include "tests/window/qt_fixture.h"
#include "tests/window/qt_person.h"
#include "tests/workflow/bmp_reader.h"
#include "tests/workflow/output_checks.h"
#include "workflow/theme_icons.h"

namespace lanzhou::test {
namespace {

using platform::Control;

// The shell on the real window, the person at its boxes and dialogs, the
// temporary folder holding in/ for the files dropped and out/ for the outputs.
class SaveJobOnQt : public QtFixture {
  protected:
    SaveJobOnQt() {
        QDir().mkpath(QString::fromStdString(in_));
        QDir().mkpath(QString::fromStdString(out_));
        startShell();
    }

    // Drags the file onto 编辑框1 and drops it there; its handler has run on return.
    void drop(const std::string& path) {
        QWidget* field = control<QWidget>("编辑框1");
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        const QPoint at(20, 10);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(field, &dropped);
        QCoreApplication::sendPostedEvents();
    }
    std::string dropFile(const std::string& name, const PictureBytes& bytes) {
        const std::string path = in_ + "/" + name;
        EXPECT_TRUE(platform_->writeFile(path, bytes));
        drop(path);
        return path;
    }
    std::string dropPhoto() {
        return dropFile("photo.jpg", platform_->readFile(fixture("jpeg/testorig.jpg")));
    }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(name), Qt::LeftButton);
    }
    // The size first, then ICO, which saves at once; or the format, the size and 保存.
    void chooseAndSave(const char* format, const char* size) {
        click(size);
        click(format);
        if (std::string(format) != "选择框1ico") click("按钮1保存");
    }

    QString out(const std::string& name) const { return QString::fromStdString(out_ + "/" + name); }
    std::string output(const std::string& name) const { return out_ + "/" + name; }
    std::vector<std::string> outputs() const { return listFolder(out_); }
    int temporaryFiles() const { return countEntries(temp_.path(), "RZQCLASS"); }
    int checked(Control control) { return platform_->checked(control); }
    PictureBytes preview() { return platform_->picture(Control::图片框1); }

    const std::string in_ = temp_.file("in");
    const std::string out_ = temp_.file("out");
    QtPerson person_;
};

// Left half red, right half blue, as Qt writes it as PNG.
PictureBytes halvesPng() {
    QImage image(40, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, x < 20 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return PictureBytes(bytes.begin(), bytes.end());
}

struct SaveRow {
    const char* name;
    const char* format;
    const char* size;
    int side;
    const char* filter;
    const char* suffix;
    const char* extension;
    const char* message;
};

const SaveRow kRows[] = {
    {"IcoOriginal", "选择框1ico", "单选框1原大小", 0, "*.ico", "原大小", ".ico",
     "保存成功 默认大小"},
    {"Ico32", "选择框1ico", "单选框432", 32, "*.ico", "32", ".ico", "转换成Ico成功 32*32"},
    {"Ico64", "选择框1ico", "单选框564", 64, "*.ico", "64", ".ico", "转换成Ico成功 64*64"},
    {"Ico128", "选择框1ico", "单选框6128", 128, "*.ico", "128", ".ico", "转换成Ico成功 128*128"},
    {"PngOriginal", "选择框2png", "单选框1原大小", 0, "*.png", "原大小", ".png",
     "保存成功 默认大小"},
    {"Png32", "选择框2png", "单选框432", 32, "*.png", "32", ".png", "转换成Png成功 32*32"},
    {"Png64", "选择框2png", "单选框564", 64, "*.png", "64", ".png", "转换成Png成功 64*64"},
    {"Png128", "选择框2png", "单选框6128", 128, "*.png", "128", ".png", "转换成Png成功 128*128"},
    {"JpgOriginal", "选择框3jpg", "单选框1原大小", 0, "*.jpg", "原大小", ".jpg",
     "保存成功 默认大小"},
    {"Jpg32", "选择框3jpg", "单选框432", 32, "*.jpg", "32", ".jpg", "转换成Jpg成功 32*32"},
    {"Jpg64", "选择框3jpg", "单选框564", 64, "*.jpg", "64", ".jpg", "转换成Jpg成功 64*64"},
    {"Jpg128", "选择框3jpg", "单选框6128", 128, "*.jpg", "128", ".jpg", "转换成Jpg成功 128*128"},
};

void PrintTo(const SaveRow& row, std::ostream* out) {
    *out << row.name;
}

class EveryCaseOnQt : public SaveJobOnQt, public testing::WithParamInterface<SaveRow> {};

// A JPEG dropped, the case chosen, the dialog confirmed: the one output file,
// nothing else in its folder or the temporary folder, and the message.
TEST_P(EveryCaseOnQt, DropChooseConfirmAndFindTheOutput) {
    const SaveRow& row = GetParam();
    const std::string photo = dropPhoto();
    EXPECT_EQ(checked(Control::选择框3jpg), 1);
    person_.typeAtNextDialog(out("输出"));
    chooseAndSave(row.format, row.size);

    ASSERT_EQ(person_.dialogs().size(), 1u);
    EXPECT_EQ(person_.dialogs()[0].filters, QStringList{QString::fromUtf8(row.filter)});
    EXPECT_EQ(person_.dialogs()[0].folder.toStdString(), in_) << "the dropped file's folder";
    const std::string name = std::string("输出") + row.suffix + row.extension;
    EXPECT_EQ(outputs(), std::vector<std::string>{name});
    EXPECT_EQ(temporaryFiles(), 0);
    EXPECT_EQ(platform_->fileName(Control::通用对话框1), output("输出") + row.suffix);
    ASSERT_EQ(person_.messages(),
              std::vector<std::string>{std::string("提示信息: ") + row.message});
    const QtPerson::SeenBox& box = person_.boxes()[0];
    EXPECT_EQ(box.buttons, QMessageBox::Ok);
    EXPECT_EQ(box.icon, QMessageBox::NoIcon);
    EXPECT_EQ(box.modality, Qt::NonModal);
    EXPECT_FALSE(box.owned);

    const std::string file = output(name);
    const int side = row.side;
    if (std::string(row.format) == "选择框1ico") {
        const Bitmap ico = readIcoFile(platform_->readFile(file));
        EXPECT_EQ(ico.width, side == 0 ? 227 : side);
        EXPECT_EQ(ico.height, side == 0 ? 149 : side);
        for (uint32_t p : ico.pixels) ASSERT_EQ(alphaOf(p), 255u);
    } else if (std::string(row.format) == "选择框2png") {
        expectRgbPng(file, side == 0 ? 227 : side, side == 0 ? 149 : side);
    } else {
        expectColourJpeg(file, side == 0 ? 227 : side, side == 0 ? 149 : side);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryCaseOnQt, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<SaveRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SaveJobOnQt, TheCaptureIsWhatThePreviewShows) {
    dropFile("halves.png", halvesPng());
    EXPECT_EQ(checked(Control::选择框2png), 1);
    person_.typeAtNextDialog(out("P"));
    chooseAndSave("选择框2png", "单选框564");
    const Picture png = expectRgbPng(output("P64.png"), 64, 64);
    ASSERT_TRUE(png.ok);
    EXPECT_TRUE(near(rgbAt(png, 16, 32), 0xFF0000, 30));
    EXPECT_TRUE(near(rgbAt(png, 48, 32), 0x0000FF, 30));
    EXPECT_EQ(outputs(), std::vector<std::string>{"P64.png"});
}

TEST_F(SaveJobOnQt, WithoutAPictureTheEmptyMessageClosesItselfAfterThreeSeconds) {
    person_.leaveNextBox();
    QElapsedTimer clock;
    clock.start();
    click("按钮1保存");
    // Qt's coarse timers may fire up to 5 % early.
    EXPECT_GE(clock.elapsed(), 2850);
    EXPECT_EQ(person_.messages(), std::vector<std::string>{"保存: 保存不能为空"});
    click("单选框564");
    click("选择框1ico");
    EXPECT_EQ(person_.messages().size(), 2u);
    EXPECT_TRUE(person_.dialogs().empty());
}

TEST_F(SaveJobOnQt, SuffixesAddUpAndTheDialogOpensWithTheBaseName) {
    dropPhoto();
    person_.typeAtNextDialog(out("P"));
    chooseAndSave("选择框1ico", "单选框432");
    person_.keepNameAtNextDialog();
    chooseAndSave("选择框2png", "单选框1原大小");
    ASSERT_EQ(person_.dialogs().size(), 2u);
    EXPECT_EQ(person_.dialogs()[1].name.toStdString(), "P32");
    EXPECT_EQ(person_.dialogs()[1].folder.toStdString(), out_);
    EXPECT_EQ(outputs(), (std::vector<std::string>{"P32.ico", "P32原大小.png"}));
    EXPECT_EQ(checked(Control::选择框2png) + checked(Control::单选框1原大小), 2);
    EXPECT_EQ(checked(Control::选择框1ico) + checked(Control::单选框432), 0);
}

TEST_F(SaveJobOnQt, CancellingWritesNothingAndSaysNothing) {
    dropPhoto();
    person_.cancelNextDialog();
    chooseAndSave("选择框3jpg", "单选框1原大小");
    person_.cancelNextDialog();
    chooseAndSave("选择框1ico", "单选框6128");
    EXPECT_EQ(person_.dialogs().size(), 2u);
    EXPECT_TRUE(person_.boxes().empty());
    EXPECT_TRUE(outputs().empty());
    EXPECT_EQ(platform_->fileName(Control::通用对话框1), "");
}

TEST_F(SaveJobOnQt, AnExistingOutputIsReplacedOnlyAfterYes) {
    dropPhoto();
    ASSERT_TRUE(writeFile(output("P64.png"), "mine"));
    ASSERT_TRUE(writeFile(output("P64.jpg"), "my JPEG"));
    person_.typeAtNextDialog(out("P"));
    person_.atNextBox(QMessageBox::No);
    chooseAndSave("选择框2png", "单选框564");
    EXPECT_EQ(readFile(output("P64.png")), "mine");
    ASSERT_EQ(person_.messages(), std::vector<std::string>{"确认另存为: " + output("P64.png") +
                                                           " 已存在。\n要替换它吗？"});
    const QtPerson::SeenBox& question = person_.boxes()[0];
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.icon, QMessageBox::Warning);
    EXPECT_EQ(question.modality, Qt::ApplicationModal);

    person_.typeAtNextDialog(out("P"));
    person_.atNextBox(QMessageBox::Yes);
    chooseAndSave("选择框2png", "单选框564");
    ASSERT_EQ(person_.messages().size(), 3u);
    EXPECT_EQ(person_.messages()[2], "提示信息: 转换成Png成功 64*64");
    expectRgbPng(output("P64.png"), 64, 64);
    EXPECT_EQ(readFile(output("P64.jpg")), "my JPEG") << "the old intermediate's name";
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(SaveJobOnQt, AnUnusableTemporaryFolderOrSourceGivesTheFailureMessages) {
    dropPhoto();
    {
        ScopedEnv proc("TMPDIR", "/proc");
        person_.typeAtNextDialog(out("P"));
        chooseAndSave("选择框2png", "单选框432");
        person_.typeAtNextDialog(out("P"));
        chooseAndSave("选择框3jpg", "单选框1原大小");
    }
    // Typed into the path field: a source no reader takes.
    control<QLineEdit>("编辑框1")->setText(QString::fromStdString(in_));
    person_.typeAtNextDialog(out("Q"));
    chooseAndSave("选择框2png", "单选框1原大小");
    EXPECT_EQ(person_.messages(), (std::vector<std::string>{"提示信息: 转换成Png失败 32*32",
                                                            "提示信息: 保存失败 默认大小",
                                                            "提示信息: 保存失败 默认大小"}));
    EXPECT_TRUE(outputs().empty());
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(SaveJobOnQt, WhatHappensWhileAMessageIsOpenDecidesWhatTheFlowDoesNext) {
    dropPhoto();
    person_.typeAtNextDialog(out("P"));
    person_.atNextBox(QMessageBox::Ok, [this] {
        dropFile("halves.png", halvesPng());
        person_.typeAtNextDialog(out("R"));
    });
    chooseAndSave("选择框1ico", "单选框432");
    EXPECT_EQ(person_.messages(), (std::vector<std::string>{"提示信息: 转换成Ico成功 32*32",
                                                            "提示信息: 转换成Png成功 32*32"}));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"P32.ico", "R32.png"}));

    person_.typeAtNextDialog(out("S"));
    person_.atNextBox(QMessageBox::Ok, [this] {
        dropFile("notes.txt", {'h', 'i'});
        click("单选框564");
    });
    chooseAndSave("选择框2png", "单选框432");
    EXPECT_EQ(person_.messages().size(), 4u);
    EXPECT_EQ(person_.messages().back(), "提示信息: 无图片可转换");
}

TEST_F(SaveJobOnQt, FormatClicksLeaveOneBoxAndAPictureWithoutSizeSavesNothing) {
    dropPhoto();
    click("选择框1ico");
    EXPECT_TRUE(person_.dialogs().empty());
    EXPECT_TRUE(person_.boxes().empty());
    EXPECT_EQ(checked(Control::选择框1ico), 1);
    click("选择框2png");
    EXPECT_EQ(checked(Control::选择框1ico) + checked(Control::选择框3jpg), 0);
    EXPECT_EQ(checked(Control::选择框2png), 1);
    click("选择框2png");
    EXPECT_EQ(checked(Control::选择框2png), 1);
    click("按钮1保存");
    EXPECT_TRUE(person_.boxes().empty());
    EXPECT_TRUE(outputs().empty());
}

TEST_F(SaveJobOnQt, OriginalSizeIconsKeepIcoBytesAlphaAndFitLargePictures) {
    const auto saveOriginalIco = [this](const std::string& base) {
        person_.typeAtNextDialog(out(base));
        chooseAndSave("选择框1ico", "单选框1原大小");
        return platform_->readFile(output(base + "原大小.ico"));
    };
    const PictureBytes ico =
        icoFile({dibIcoImage(samplePicture(16, 3), 8), pngIcoImage(samplePicture(48, 5, true))});
    dropFile("icon.ico", ico);
    EXPECT_EQ(saveOriginalIco("A"), ico);

    const Bitmap picture = samplePicture(40, 9, true);
    dropFile("alpha.png", pngImage(picture));
    EXPECT_EQ(readIcoFile(saveOriginalIco("B")).pixels, picture.pixels);

    QImage large(600, 300, QImage::Format_RGB32);
    large.fill(qRgb(10, 200, 30));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(large);
    dropFile("large.jpg", PictureBytes(jpeg.begin(), jpeg.end()));
    const Bitmap fitted = readIcoFile(saveOriginalIco("C"));
    EXPECT_EQ(fitted.width, 256);
    EXPECT_EQ(fitted.height, 128);
    EXPECT_EQ(person_.messages(), std::vector<std::string>(3, "提示信息: 保存成功 默认大小"));
}

TEST_F(SaveJobOnQt, FailedOutputsSaySoAndKeepWhatWasThere) {
    dropFile("broken.png", {'n', 'o', ' ', 'p', 'n', 'g'});
    ASSERT_TRUE(writeFile(output("P原大小.ico"), "old icon"));
    person_.typeAtNextDialog(out("P"));
    person_.atNextBox(QMessageBox::Yes);
    chooseAndSave("选择框1ico", "单选框1原大小");
    EXPECT_EQ(readFile(output("P原大小.ico")), "old icon");

    dropPhoto();
    person_.typeAtNextDialog(out("missing/Q"));
    chooseAndSave("选择框1ico", "单选框432");
    ASSERT_EQ(person_.messages().size(), 3u);
    EXPECT_EQ(person_.messages()[1], "提示信息: 保存失败 默认大小");
    EXPECT_EQ(person_.messages()[2], "提示信息: 转换成Ico失败 32*32");
    EXPECT_EQ(outputs(), std::vector<std::string>{"P原大小.ico"});
}

TEST_F(SaveJobOnQt, ShortcutsProgramsAndDesktopEntriesAsTheyAreDropped) {
    const PictureBytes png = halvesPng();
    const std::string target = in_ + "/target.png";
    ASSERT_TRUE(platform_->writeFile(target, png));
    const lnk::LinkBytes shortcut = lnk::typicalShortcut(target, "");
    dropFile("picture.lnk", PictureBytes(shortcut.begin(), shortcut.end()));
    EXPECT_EQ(control<QLineEdit>("编辑框1")->text().toStdString(), target);
    EXPECT_EQ(preview(), png);
    EXPECT_EQ(checked(Control::选择框1ico) + checked(Control::选择框3jpg), 0);
    EXPECT_EQ(checked(Control::选择框2png), 1);

    dropFile("photo.JPG", platform_->readFile(fixture("jpeg/testorig.jpg")));
    EXPECT_TRUE(preview().empty());
    EXPECT_EQ(checked(Control::选择框2png), 1);
    const PictureBytes ico = icoFile({dibIcoImage(samplePicture(32, 4), 8)});
    dropFile("icon.ico", ico);
    EXPECT_EQ(preview(), ico);
    EXPECT_EQ(checked(Control::选择框1ico), 1);
    EXPECT_EQ(checked(Control::选择框2png), 0);
    drop(in_ + "/gone.jpg");
    EXPECT_TRUE(preview().empty());
    EXPECT_EQ(checked(Control::选择框3jpg), 1);
    dropFile("broken.lnk", {'L', 0, 0, 0});
    EXPECT_EQ(control<QLineEdit>("编辑框1")->text().toStdString(), "");
    EXPECT_EQ(checked(Control::选择框1ico), 1);
    EXPECT_EQ(checked(Control::选择框3jpg), 0);
    platform_->setChecked(Control::选择框2png, 1);
    platform_->setChecked(Control::选择框1ico, 0);

    ASSERT_TRUE(writeBytes(in_ + "/app.ico", icoFile({dibIcoImage(samplePicture(32, 4), 8)})));
    const std::string dll = buildResourceDll(in_, "1 ICON \"app.ico\"\n", false);
    ASSERT_FALSE(dll.empty());
    drop(dll);
    EXPECT_EQ(preview().size(), 3126u);
    EXPECT_EQ(readBmp24(preview()).width, 32);
    EXPECT_EQ(checked(Control::选择框2png), 1);

    const IconThemeLookup previous = setIconThemeLookup(workflow::platformIconTheme(*platform_));
    const std::string iconPath = in_ + "/viewer.png";
    ASSERT_TRUE(platform_->writeFile(iconPath, png));
    const std::string entry = "[Desktop Entry]\nType=Application\nIcon=" + iconPath + "\n";
    dropFile("viewer.desktop", PictureBytes(entry.begin(), entry.end()));
    setIconThemeLookup(previous);
    const Bitmap shown = readBmp24(preview());
    ASSERT_EQ(shown.width, 32);
    EXPECT_TRUE(near(shown.at(4, 16), 0xFF0000, 30));
    EXPECT_TRUE(near(shown.at(28, 16), 0x0000FF, 30));
    EXPECT_TRUE(person_.boxes().empty());
}

}  // namespace
}  // namespace lanzhou::test
