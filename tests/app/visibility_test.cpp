#include <string>
#include <vector>

#include "app/bindings.h"
#include "app/tray_icon.h"
#include "tests/app/shell_fixture.h"

namespace lanzhou::test {
namespace {

using platform::Control;
using platform::MenuItem;

TEST_F(ShellTest, HideChangesTheTipAndHidesTheWindow) {
    start();
    platform_.chooseMenuItem(MenuItem::隐藏);

    ASSERT_EQ(platform_.trayIcons().size(), 2u);
    EXPECT_EQ(platform_.trayIcons()[1].tip, "澜舟");
    EXPECT_EQ(platform_.trayIcons()[1].ico, app::trayIconBytes());
    EXPECT_FALSE(platform_.visible(Control::MainWindow));
    EXPECT_FALSE(platform_.minimized());
}

TEST_F(ShellTest, HideWithoutATrayMinimisesSoTheWindowCanComeBack) {
    platform_.setTrayAvailable(false);
    start();
    platform_.chooseMenuItem(MenuItem::隐藏);

    EXPECT_EQ(platform_.trayIcons().back().tip, "澜舟");
    EXPECT_TRUE(platform_.visible(Control::MainWindow));
    EXPECT_TRUE(platform_.minimized());
}

TEST_F(ShellTest, TrayLeftClicksToggleTheWindowAndOtherCodesDoNothing) {
    const struct {
        std::vector<int> codes;
        bool visibleAfter;
    } cases[] = {
        {{1}, false},       {{1, 1}, true},
        {{1, 2, 1}, true},  // a double click: two releases and the double-click code
        {{2}, true},        {{3}, true},
        {{0, 4, -1}, true},
    };
    for (const auto& c : cases) {
        ScriptedPlatform platform;
        platform.bind(app::mainWindowBindings(platform));
        platform.placeExecutable("/opt/lanzhou", "lanzhou-tray-" + std::to_string(&c - cases));
        platform.loadMainWindow();
        for (int code : c.codes) platform.trayEvent(code);
        EXPECT_EQ(platform.visible(Control::MainWindow), c.visibleAfter) << &c - cases;
        EXPECT_TRUE(platform.popups().empty());
        EXPECT_EQ(platform.trayIcons().size(), 1u);
    }
}

TEST_F(ShellTest, ShowingAgainWithTheTrayKeepsTheTipOfHiding) {
    start();
    platform_.chooseMenuItem(MenuItem::隐藏);
    platform_.trayEvent(1);

    EXPECT_TRUE(platform_.visible(Control::MainWindow));
    EXPECT_EQ(platform_.trayIcons().size(), 2u);
    EXPECT_EQ(platform_.trayIcons().back().tip, "澜舟");
}

TEST_F(ShellTest, RightClickPopsTheMenuUpBelowRightOfTheCursorAndRunsTheChoiceAfterwards) {
    start();
    platform_.setCursor({517, 233});
    platform_.rightClickFreeArea();
    ASSERT_EQ(platform_.popups().size(), 1u);
    EXPECT_EQ(platform_.popups()[0].x, 520);
    EXPECT_EQ(platform_.popups()[0].y, 236);
    EXPECT_TRUE(platform_.visible(Control::MainWindow));

    platform_.chooseAtNextMenu(MenuItem::隐藏);
    platform_.rightClickFreeArea();
    EXPECT_EQ(platform_.popups().size(), 2u);
    EXPECT_FALSE(platform_.visible(Control::MainWindow));
}

}  // namespace
}  // namespace lanzhou::test
