#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scripted_platform.h"
#include "tests/workflow/workflow_fixture.h"
#include "workflow/save_flow.h"

namespace lanzhou::test {
namespace {

using platform::Control;

// A message of the save flow leaves the window usable: what the person does
// meanwhile runs its handler, and the flow goes on against what it changed.
class WhileAMessageIsOpen : public WorkflowTest {
  protected:
    // The person chooses ICO at 32 x 32 and saves as out/P; at the success
    // message, a second in, `meanwhile` happens.
    void saveIco32(std::function<void()> meanwhile) {
        dropPhoto();
        platform_.answerNextDialog(output("P"));
        platform_.atNextBox({std::nullopt, 0, {{1000, std::move(meanwhile)}}});
        platform_.click(Control::单选框432);
        platform_.click(Control::选择框1ico);
    }
};

TEST_F(WhileAMessageIsOpen, ADropAndAnotherSizeMakeTheNextCaseFindNoPicture) {
    saveIco32([this] {
        dropFile("notes.txt", {'h', 'i'});
        platform_.click(Control::单选框564);
    });
    EXPECT_EQ(messages(), (std::vector<std::string>{"提示信息: 转换成Ico成功 32*32",
                                                    "提示信息: 无图片可转换"}));
    EXPECT_EQ(platform_.text(Control::编辑框1), in_ + "/notes.txt");
    EXPECT_EQ(platform_.checked(Control::单选框564), 1);
    EXPECT_EQ(platform_.dialogRuns().size(), 1u);
    EXPECT_EQ(outputs(), std::vector<std::string>{"P32.ico"});
}

TEST_F(WhileAMessageIsOpen, ADroppedPngMakesASecondCaseRunInTheSameClick) {
    saveIco32([this] {
        dropFile("pic.png", platform_.readFile(fixture("png/pngsuite/basn2c08.png")));
        platform_.answerNextDialog(output("R"));
    });
    EXPECT_EQ(messages(), (std::vector<std::string>{"提示信息: 转换成Ico成功 32*32",
                                                    "提示信息: 转换成Png成功 32*32"}));
    ASSERT_EQ(platform_.dialogRuns().size(), 2u);
    EXPECT_EQ(platform_.dialogRuns()[1].fileName, output("P32"));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"P32.ico", "R32.png"}));
}

// The picture can only vanish before the first case through what happens in
// a box, and none opens before it; a platform whose preview empties after
// the flow's first look stands in for that.
class PreviewGoneAfterFirstLook : public ScriptedPlatform {
  public:
    platform::Bytes picture(Control control) override {
        platform::Bytes bytes = ScriptedPlatform::picture(control);
        if (control == Control::图片框1 && looks_++ == 1) bytes.clear();
        return bytes;
    }

  private:
    int looks_ = 0;
};

TEST(OriginalSizeIcoCheck, FindingNoPictureSaysThereIsNothingToSave) {
    ScopedTempDir temp;
    PreviewGoneAfterFirstLook platform;
    platform.loadMainWindow();
    platform.setPicture(Control::图片框1, {'B', 'M'});
    platform.setChecked(Control::选择框1ico, 1);
    platform.setChecked(Control::单选框1原大小, 1);
    workflow::onSaveClicked(platform);
    ASSERT_EQ(platform.boxes().size(), 1u);
    EXPECT_EQ(platform.boxes()[0].request.title, "提示信息");
    EXPECT_EQ(platform.boxes()[0].request.text, "无图片可保存");
    EXPECT_TRUE(platform.dialogRuns().empty());
}

}  // namespace
}  // namespace lanzhou::test
