#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/workflow/output_checks.h"
#include "tests/workflow/workflow_fixture.h"

namespace lanzhou::test {
namespace {

using platform::BoxButtons;
using platform::BoxIcon;
using platform::BoxResult;
using platform::Control;

constexpr Control kChoices[] = {Control::选择框1ico,    Control::选择框2png, Control::选择框3jpg,
                                Control::单选框1原大小, Control::单选框432,  Control::单选框564,
                                Control::单选框6128};

struct SaveRow {
    const char* name;
    Control format;
    Control size;
    int side;  // 0: original size
    const char* filter;
    const char* suffix;
    const char* extension;
    const char* message;
};

const SaveRow kRows[] = {
    {"IcoOriginal", Control::选择框1ico, Control::单选框1原大小, 0, "*.ico", "原大小", ".ico",
     "保存成功 默认大小"},
    {"Ico32", Control::选择框1ico, Control::单选框432, 32, "*.ico", "32", ".ico",
     "转换成Ico成功 32*32"},
    {"Ico64", Control::选择框1ico, Control::单选框564, 64, "*.ico", "64", ".ico",
     "转换成Ico成功 64*64"},
    {"Ico128", Control::选择框1ico, Control::单选框6128, 128, "*.ico", "128", ".ico",
     "转换成Ico成功 128*128"},
    {"PngOriginal", Control::选择框2png, Control::单选框1原大小, 0, "*.png", "原大小", ".png",
     "保存成功 默认大小"},
    {"Png32", Control::选择框2png, Control::单选框432, 32, "*.png", "32", ".png",
     "转换成Png成功 32*32"},
    {"Png64", Control::选择框2png, Control::单选框564, 64, "*.png", "64", ".png",
     "转换成Png成功 64*64"},
    {"Png128", Control::选择框2png, Control::单选框6128, 128, "*.png", "128", ".png",
     "转换成Png成功 128*128"},
    {"JpgOriginal", Control::选择框3jpg, Control::单选框1原大小, 0, "*.jpg", "原大小", ".jpg",
     "保存成功 默认大小"},
    {"Jpg32", Control::选择框3jpg, Control::单选框432, 32, "*.jpg", "32", ".jpg",
     "转换成Jpg成功 32*32"},
    {"Jpg64", Control::选择框3jpg, Control::单选框564, 64, "*.jpg", "64", ".jpg",
     "转换成Jpg成功 64*64"},
    {"Jpg128", Control::选择框3jpg, Control::单选框6128, 128, "*.jpg", "128", ".jpg",
     "转换成Jpg成功 128*128"},
};

void PrintTo(const SaveRow& row, std::ostream* out) {
    *out << row.name;
}

class SaveCases : public WorkflowTest {
  protected:
    // Chooses as a person does and starts the save: the size first, then
    // ICO, whose click saves at once; or the format, the size and 保存.
    void chooseAndSave(Control format, Control size) {
        platform_.click(size);
        platform_.click(format);
        if (format != Control::选择框1ico) platform_.click(Control::按钮1保存);
    }

    std::vector<int> choices() {
        std::vector<int> states;
        for (Control c : kChoices) states.push_back(platform_.checked(c));
        return states;
    }
};

class EveryCase : public SaveCases, public testing::WithParamInterface<SaveRow> {};

// The capture of 图片框1 scaled to a square: red on the left, blue on the right.
void expectCapture(uint32_t left, uint32_t right, int side, int tolerance) {
    EXPECT_TRUE(near(left, 0xFF0000, tolerance)) << std::hex << left << " at side " << side;
    EXPECT_TRUE(near(right, 0x0000FF, tolerance)) << std::hex << right << " at side " << side;
}

TEST_P(EveryCase, WritesItsFileUnderTheBaseNameAndSaysSo) {
    const SaveRow& row = GetParam();
    const std::string photo = dropPhoto();
    platform_.answerNextDialog(output("输出"));
    chooseAndSave(row.format, row.size);

    ASSERT_EQ(platform_.dialogRuns().size(), 1u);
    EXPECT_EQ(platform_.dialogRuns()[0].filter, row.filter);
    EXPECT_EQ(platform_.filter(Control::通用对话框1), row.filter);
    const std::string base = output("输出") + row.suffix;
    EXPECT_EQ(platform_.fileName(Control::通用对话框1), base);
    const std::string name = std::string("输出") + row.suffix + row.extension;
    EXPECT_EQ(outputs(), std::vector<std::string>{name});
    EXPECT_EQ(listFolder(temp_.path()), (std::vector<std::string>{"in", "out"}));

    ASSERT_EQ(messages(), std::vector<std::string>{std::string("提示信息: ") + row.message});
    const auto& box = platform_.boxes()[0];
    EXPECT_EQ(box.request.buttons, BoxButtons::Ok);
    EXPECT_EQ(box.request.icon, BoxIcon::None);
    EXPECT_EQ(box.request.timeoutMs, 3000);
    EXPECT_FALSE(box.request.taskModal);
    EXPECT_EQ(box.result, BoxResult::TimedOut);

    std::vector<int> own;
    for (Control c : kChoices) own.push_back(c == row.format || c == row.size ? 1 : 0);
    EXPECT_EQ(choices(), own);

    const std::string file = output(name);
    const int side = row.side;
    if (row.format == Control::选择框1ico) {
        const Bitmap ico = readIcoFile(platform_.readFile(file));
        if (side == 0) {
            // The JPEG preview, decoded as the preview shows it, opaque.
            const platform::RgbaImage shown = platform_.decodePicture(platform_.readFile(photo));
            ASSERT_EQ(ico.width, 227);
            ASSERT_EQ(ico.height, 149);
            for (std::size_t i = 0; i < ico.pixels.size(); ++i) {
                const uint8_t* p = shown.pixels.data() + 4 * i;
                ASSERT_EQ(ico.pixels[i], makeArgb(p[3], p[0], p[1], p[2])) << i;
            }
        } else {
            ASSERT_EQ(ico.width, side);
            ASSERT_EQ(ico.height, side);
            for (uint32_t pixel : ico.pixels) ASSERT_EQ(alphaOf(pixel), 255u);
            expectCapture(ico.at(side / 4, side / 2), ico.at(3 * side / 4, side / 2), side, 8);
        }
        return;
    }
    const bool png = row.format == Control::选择框2png;
    const int width = side == 0 ? 227 : side;
    const int height = side == 0 ? 149 : side;
    const Picture picture =
        png ? expectRgbPng(file, width, height) : expectColourJpeg(file, width, height);
    ASSERT_TRUE(picture.ok);
    if (side == 0) {
        // The source file converted, not the preview.
        const Picture source = decodeJpeg(photo);
        EXPECT_LE(largestDifference(picture.pixels, source.pixels), png ? 8 : 60);
    } else {
        expectCapture(rgbAt(picture, side / 4, side / 2), rgbAt(picture, 3 * side / 4, side / 2),
                      side, png ? 8 : 40);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryCase, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<SaveRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(SaveCases, WithoutAPictureOnlyTheEmptyMessageWhateverTheChoice) {
    platform_.click(Control::按钮1保存);
    platform_.click(Control::单选框564);
    platform_.click(Control::选择框1ico);
    platform_.setChecked(Control::单选框564, 0);
    platform_.click(Control::选择框1ico);
    EXPECT_EQ(messages(), std::vector<std::string>(3, "保存: 保存不能为空"));
    for (const auto& box : platform_.boxes()) {
        EXPECT_EQ(box.request.timeoutMs, 3000);
        EXPECT_EQ(box.closedAtMs - box.openedAtMs, 3000);
    }
    EXPECT_TRUE(platform_.dialogRuns().empty());
}

TEST_F(SaveCases, APictureWithoutASizeDoesNothingVisible) {
    dropPhoto();
    platform_.click(Control::选择框1ico);
    platform_.click(Control::按钮1保存);
    EXPECT_TRUE(platform_.boxes().empty());
    EXPECT_TRUE(platform_.dialogRuns().empty());
    EXPECT_EQ(platform_.checked(Control::选择框1ico), 1);
}

TEST_F(SaveCases, SuffixesAddUpFromOneSaveToTheNext) {
    dropPhoto();
    platform_.answerNextDialog(output("P"));
    chooseAndSave(Control::选择框1ico, Control::单选框432);
    // The next dialog opens with the base name; the person keeps it.
    platform_.answerNextDialog(output("P32"));
    chooseAndSave(Control::选择框2png, Control::单选框1原大小);

    ASSERT_EQ(platform_.dialogRuns().size(), 2u);
    EXPECT_EQ(platform_.dialogRuns()[1].fileName, output("P32"));
    EXPECT_EQ(platform_.fileName(Control::通用对话框1), output("P32原大小"));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"P32.ico", "P32原大小.png"}));
}

TEST_F(SaveCases, CancellingTheDialogEndsTheCaseWithoutFileOrMessage) {
    dropPhoto();
    platform_.setFileName(Control::通用对话框1, output("earlier"));
    for (const SaveRow& row : {kRows[0], kRows[4], kRows[6], kRows[8], kRows[11]}) {
        SCOPED_TRACE(row.name);
        platform_.answerNextDialog(std::nullopt);
        chooseAndSave(row.format, row.size);
        EXPECT_EQ(platform_.fileName(Control::通用对话框1), output("earlier"));
        EXPECT_EQ(platform_.filter(Control::通用对话框1), row.filter);
    }
    EXPECT_EQ(platform_.dialogRuns().size(), 5u);
    EXPECT_TRUE(outputs().empty());
    EXPECT_TRUE(platform_.boxes().empty());
    EXPECT_EQ(temporaryFiles(), 0);
}

TEST_F(SaveCases, AnExistingOutputIsReplacedOnlyWhenThePersonSaysYes) {
    dropPhoto();
    const std::string existing = output("P64.png");
    ASSERT_TRUE(writeFile(existing, "mine"));

    platform_.answerNextDialog(output("P"));
    platform_.pressAtNextBox(BoxResult::No, 500);
    chooseAndSave(Control::选择框2png, Control::单选框564);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"确认另存为: " + existing + " 已存在。\r\n要替换它吗？"});
    const auto& question = platform_.boxes()[0].request;
    EXPECT_EQ(question.buttons, BoxButtons::YesNo);
    EXPECT_EQ(question.icon, BoxIcon::Warning);
    EXPECT_EQ(question.timeoutMs, 0);
    EXPECT_EQ(readFile(existing), "mine");

    platform_.answerNextDialog(output("P"));
    platform_.pressAtNextBox(BoxResult::Yes, 500);
    chooseAndSave(Control::选择框2png, Control::单选框564);
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[2], "提示信息: 转换成Png成功 64*64");
    expectRgbPng(existing, 64, 64);
    EXPECT_EQ(outputs(), std::vector<std::string>{"P64.png"});
}

TEST_F(SaveCases, TheIntermediateLeavesTheUsersFilesAloneAndIsGoneAfterwards) {
    dropPhoto();
    // Where the capture once went: the other format's name beside the output.
    ASSERT_TRUE(writeFile(output("P64.jpg"), "the person's own JPEG"));
    ASSERT_TRUE(writeFile(output("Q128.png"), "the person's own PNG"));
    platform_.answerNextDialog(output("P"));
    chooseAndSave(Control::选择框2png, Control::单选框564);
    platform_.answerNextDialog(output("Q"));
    chooseAndSave(Control::选择框3jpg, Control::单选框6128);

    EXPECT_EQ(messages(), (std::vector<std::string>{"提示信息: 转换成Png成功 64*64",
                                                    "提示信息: 转换成Jpg成功 128*128"}));
    EXPECT_EQ(readFile(output("P64.jpg")), "the person's own JPEG");
    EXPECT_EQ(readFile(output("Q128.png")), "the person's own PNG");
    EXPECT_EQ(outputs(), (std::vector<std::string>{"P64.jpg", "P64.png", "Q128.jpg", "Q128.png"}));
    EXPECT_EQ(listFolder(temp_.path()), (std::vector<std::string>{"in", "out"}));
}

}  // namespace
}  // namespace lanzhou::test
