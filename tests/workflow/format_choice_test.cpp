#include <gtest/gtest.h>

#include <vector>

#include "tests/workflow/workflow_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Control;

class FormatChoice : public WorkflowTest {
  protected:
    std::vector<int> formats() {
        return {platform_.checked(Control::选择框1ico), platform_.checked(Control::选择框2png),
                platform_.checked(Control::选择框3jpg)};
    }
};

TEST_F(FormatChoice, EachClickLeavesExactlyItsOwnBox) {
    dropPhoto();
    platform_.click(Control::单选框432);
    platform_.setChecked(Control::选择框1ico, 1);
    platform_.click(Control::选择框2png);
    EXPECT_EQ(formats(), (std::vector<int>{0, 1, 0}));
    platform_.click(Control::选择框3jpg);
    EXPECT_EQ(formats(), (std::vector<int>{0, 0, 1}));
    // A click on the checked box unchecks it, and its handler checks it again.
    platform_.click(Control::选择框3jpg);
    EXPECT_EQ(formats(), (std::vector<int>{0, 0, 1}));
    platform_.click(Control::选择框2png);
    EXPECT_EQ(formats(), (std::vector<int>{0, 1, 0}));
    EXPECT_TRUE(platform_.dialogRuns().empty());
    EXPECT_TRUE(platform_.boxes().empty());
    EXPECT_TRUE(outputs().empty());
}

TEST_F(FormatChoice, IcoSavesAtOnceEvenWhenItWasCheckedAlready) {
    dropPhoto();
    platform_.click(Control::单选框564);
    platform_.setChecked(Control::选择框1ico, 1);
    platform_.answerNextDialog(output("P"));
    platform_.click(Control::选择框1ico);
    EXPECT_EQ(formats(), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(messages(), std::vector<std::string>{"提示信息: 转换成Ico成功 64*64"});
    EXPECT_EQ(outputs(), std::vector<std::string>{"P64.ico"});
}

}  // namespace
}  // namespace lanzhou::test
