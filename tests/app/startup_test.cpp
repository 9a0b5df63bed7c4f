#include <string>

#include "app/bindings.h"
#include "app/module_state.h"
#include "app/startup.h"
#include "app/tray_icon.h"
#include "tests/app/shell_fixture.h"

namespace lanzhou::test {
namespace {

using platform::BoxButtons;
using platform::BoxIcon;
using platform::Control;

TEST_F(ShellTest, ProgramRunsInItsOwnFolderUntilTheWindowClosesAndEndsWithZero) {
    platform_.placeExecutable("/srv/tools/bin", "lanzhou");
    bool shownDuringSession = false;
    platform_.setSession([&] { shownDuringSession = platform_.visible(Control::MainWindow); });

    EXPECT_EQ(app::runProgram(platform_), 0);

    EXPECT_EQ(platform_.currentFolders(), std::vector<std::string>{"/srv/tools/bin"});
    EXPECT_TRUE(shownDuringSession);
    EXPECT_TRUE(platform_.boxes().empty());
    EXPECT_FALSE(platform_.processEnded());
}

TEST_F(ShellTest, StartUpSetsLabelTooltipDropTargetAndTrayIconWithNothingChosen) {
    app::aboutCountdown = 2;
    start();

    EXPECT_EQ(platform_.text(Control::版本号标签), "版本号：3.2");
    EXPECT_EQ(platform_.text(Control::MainWindow), "澜舟");
    EXPECT_EQ(platform_.toolTip(Control::编辑框1), "请把软件或图片拖至此窗口");
    EXPECT_TRUE(platform_.fileDropEnabled(Control::编辑框1));
    ASSERT_EQ(platform_.trayIcons().size(), 1u);
    EXPECT_EQ(platform_.trayIcons()[0].tip, "欢迎使用澜舟");
    EXPECT_EQ(platform_.trayIcons()[0].ico, app::trayIconBytes());
    EXPECT_EQ(app::aboutCountdown, 6);
    EXPECT_EQ(platform_.period(Control::时钟1关于), 0);
    EXPECT_TRUE(platform_.visible(Control::MainWindow));
    EXPECT_EQ(platform_.text(Control::编辑框1), "");
    EXPECT_TRUE(platform_.picture(Control::图片框1).empty());
    for (Control choice :
         {Control::单选框432, Control::单选框564, Control::单选框6128, Control::单选框1原大小,
          Control::选择框1ico, Control::选择框2png, Control::选择框3jpg})
        EXPECT_EQ(platform_.checked(choice), 0) << platform::designOf(choice).name;
    EXPECT_TRUE(platform_.boxes().empty());
}

TEST(VersionLabel, WritesAtMostThirteenSignificantDigitsInTheShortestForm) {
    const struct {
        double version;
        const char* label;
    } cases[] = {
        {3.2, "版本号：3.2"},
        {10.0, "版本号：10"},
        {3.25, "版本号：3.25"},
        {1.0 / 3.0, "版本号：0.3333333333333"},
        {12345678901234.0, "版本号：1.234567890123e+13"},
    };
    for (const auto& c : cases) EXPECT_EQ(app::versionLabelText(c.version), c.label);
}

TEST_F(ShellTest, SecondCopyShowsTheMessageAndEndsBeforeSettingAnythingUp) {
    ASSERT_TRUE(platform_.claimInstance("lanzhou"));  // the first copy
    platform_.pressAtNextBox(platform::BoxResult::Ok, 1500);
    bool sessionRan = false;
    platform_.setSession([&] { sessionRan = true; });

    EXPECT_EQ(app::runProgram(platform_), 0);

    ASSERT_EQ(platform_.boxes().size(), 1u);
    const auto& box = platform_.boxes()[0].request;
    EXPECT_EQ(box.text, "程序已运行，请确定！");
    EXPECT_EQ(box.title, "提示信息");
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_EQ(box.timeoutMs, 0);
    EXPECT_TRUE(box.taskModal);
    EXPECT_TRUE(platform_.processEnded());
    EXPECT_FALSE(sessionRan);
    EXPECT_FALSE(platform_.visible(Control::MainWindow));
    EXPECT_TRUE(platform_.trayIcons().empty());
    EXPECT_EQ(platform_.toolTip(Control::编辑框1), "");
    EXPECT_EQ(platform_.text(Control::版本号标签), "");
}

TEST_F(ShellTest, CopiesExcludeEachOtherByFileNameWhateverTheirFolder) {
    ASSERT_TRUE(platform_.claimInstance("lanzhou"));
    const struct {
        const char* folder;
        const char* name;
        bool starts;
    } cases[] = {
        {"/home/user/other", "lanzhou", false},
        {"/srv/tools/bin", "lanzhou-copy", true},
        {"/srv/tools/bin", "Lanzhou", true},
    };
    for (const auto& c : cases) {
        ScriptedPlatform copy;
        copy.placeExecutable(c.folder, c.name);
        if (!c.starts) copy.pressAtNextBox(platform::BoxResult::Ok);
        copy.bind(app::mainWindowBindings(copy));
        copy.loadMainWindow();
        EXPECT_EQ(copy.processEnded(), !c.starts) << c.folder << "/" << c.name;
        EXPECT_EQ(copy.boxes().size(), c.starts ? 0u : 1u);
        EXPECT_EQ(copy.trayIcons().size(), c.starts ? 1u : 0u);
    }
}

TEST(TrayIconBytes, AreOne48By48ImageOf32BitsInTheFixedLayout) {
    const platform::Bytes& ico = app::trayIconBytes();
    ASSERT_EQ(ico.size(), 9662u);
    const auto u16 = [&](std::size_t at) { return ico[at] | ico[at + 1] << 8; };
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(u16(at) | u16(at + 2) << 16);
    };
    EXPECT_EQ(u16(0), 0);   // reserved
    EXPECT_EQ(u16(2), 1);   // icon
    EXPECT_EQ(u16(4), 1);   // one image
    EXPECT_EQ(ico[6], 48);  // width
    EXPECT_EQ(ico[7], 48);  // height
    EXPECT_EQ(ico[8], 32);  // colour-count byte
    EXPECT_EQ(ico[9], 0);
    EXPECT_EQ(u16(10), 0);  // planes
    EXPECT_EQ(u16(12), 0);  // bit count
    EXPECT_EQ(u32(14), 9640u);
    EXPECT_EQ(u32(18), 22u);
    EXPECT_EQ(u32(22), 40u);  // header size
    EXPECT_EQ(u32(26), 48u);
    EXPECT_EQ(u32(30), 96u);
    EXPECT_EQ(u16(34), 1);
    EXPECT_EQ(u16(36), 32);
    EXPECT_EQ(u32(38), 0u);
    EXPECT_EQ(u32(42), 9216u);

    // The alpha channel varies, and the AND mask is set exactly where alpha is 0.
    const std::size_t pixels = 62;
    const std::size_t mask = pixels + 9216;
    bool opaque = false, clear = false, between = false;
    for (int row = 0; row < 48; ++row) {
        for (int x = 0; x < 48; ++x) {
            const int alpha = ico[pixels + (row * 48 + x) * 4 + 3];
            opaque |= alpha == 255;
            clear |= alpha == 0;
            between |= alpha > 0 && alpha < 255;
            const bool masked = (ico[mask + row * 8 + x / 8] >> (7 - x % 8)) & 1;
            EXPECT_EQ(masked, alpha == 0) << "row " << row << " x " << x;
        }
    }
    EXPECT_TRUE(opaque && clear && between);
}

}  // namespace
}  // namespace lanzhou::test
