#include <string>
#include <vector>

#include "app/about.h"
#include "app/module_state.h"
#include "tests/app/shell_fixture.h"

namespace lanzhou::test {
namespace {

using platform::BoxResult;
using platform::Control;
using platform::MenuItem;

std::string aboutText() {
    return std::string("墨川\r\n\r\n QQ：") + app::kContactNumber;
}

std::string countdown(int count) {
    return "墨川   (" + std::to_string(count) + ")\r\n\r\n QQ：" + app::kContactNumber;
}

class AboutTest : public ShellTest {
  protected:
    AboutTest() { start(); }
};

TEST_F(AboutTest, LeftAloneTheBoxCountsDownFromFiveAndClosesItselfAtZero) {
    // A second about box cannot open meanwhile: the first blocks the window.
    platform_.atNextBox({std::nullopt, 0, {{1500, [&] { platform_.rightClickFreeArea(); }}}});
    platform_.chooseMenuItem(MenuItem::关于);

    ASSERT_EQ(platform_.boxes().size(), 1u);
    const auto& box = platform_.boxes()[0];
    EXPECT_EQ(box.request.title, "关于作者");
    EXPECT_EQ(box.request.buttons, platform::BoxButtons::Ok);
    EXPECT_EQ(box.request.icon, platform::BoxIcon::None);
    EXPECT_EQ(box.request.timeoutMs, 0);
    EXPECT_TRUE(box.request.taskModal);
    EXPECT_EQ(box.texts,
              (std::vector<std::string>{aboutText(), countdown(5), countdown(4), countdown(3),
                                        countdown(2), countdown(1), countdown(0)}));
    EXPECT_EQ(box.closedAtMs - box.openedAtMs, 6000);
    EXPECT_EQ(box.result, BoxResult::Ok);
    EXPECT_EQ(platform_.period(Control::时钟1关于), 0);
    EXPECT_EQ(app::aboutCountdown, 6);
    EXPECT_EQ(platform_.refusedEvents(), 1);
    EXPECT_TRUE(platform_.popups().empty());
}

TEST_F(AboutTest, AnEarlyCloseStopsTheTimerAtTheNextTickAndTheNextBoxGoesOnCounting) {
    platform_.pressAtNextBox(BoxResult::Ok, 2500);
    platform_.chooseMenuItem(MenuItem::关于);
    EXPECT_EQ(platform_.boxes()[0].texts,
              (std::vector<std::string>{aboutText(), countdown(5), countdown(4)}));
    EXPECT_EQ(platform_.period(Control::时钟1关于), 1000);

    platform_.advance(1000);
    EXPECT_EQ(platform_.period(Control::时钟1关于), 0);
    EXPECT_EQ(app::aboutCountdown, 4);

    platform_.advance(20000);
    platform_.chooseMenuItem(MenuItem::关于);
    ASSERT_EQ(platform_.boxes().size(), 2u);
    const auto& next = platform_.boxes()[1];
    EXPECT_EQ(next.texts, (std::vector<std::string>{aboutText(), countdown(3), countdown(2),
                                                    countdown(1), countdown(0)}));
    EXPECT_EQ(next.closedAtMs - next.openedAtMs, 4000);
    EXPECT_EQ(app::aboutCountdown, 6);
}

TEST_F(AboutTest, TheTrayStillWorksWhileTheBoxIsOpen) {
    platform_.atNextBox({BoxResult::Ok, 3000, {{1200, [&] { platform_.trayEvent(1); }}}});
    platform_.chooseMenuItem(MenuItem::关于);

    EXPECT_FALSE(platform_.visible(Control::MainWindow));
    EXPECT_EQ(platform_.boxes()[0].texts.size(), 4u);  // the about text, (5), (4), (3)
}

}  // namespace
}  // namespace lanzhou::test
