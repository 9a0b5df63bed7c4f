#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "app/module_state.h"
#include "app/startup.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/test_files.h"
#include "tests/update/loopback_http_server.h"
#include "update/update_offer.h"

namespace lanzhou::test {
namespace {

using platform::MenuItem;

// Notes whether the update document exists when MainWindow is loaded.
class StartUpPlatform : public ScriptedPlatform {
  public:
    bool documentAtLoad = false;

    void loadMainWindow() override {
        documentAtLoad = app::updateDocument != nullptr;
        ScriptedPlatform::loadMainWindow();
    }
};

TEST(UpdateDocumentLifetime, MadeBeforeTheWindowUsedByTheMenuItemAndFreedAtExit) {
    ScopedTempDir temp;
    ScopedEnv runtimeFolder("XDG_RUNTIME_DIR", "");
    LoopbackHttpServer server([](const std::string&) {
        return LoopbackHttpServer::response(
            200, "<最新版本><版本信息 版本号=\"3.2\" 升级说明=\"无\"/></最新版本>");
    });
    ScopedEnv url("LANZHOU_UPDATE_URL", server.url("/澜舟.xml").c_str());
    ASSERT_EQ(mkdir(temp.file("app").c_str(), 0755), 0);

    StartUpPlatform platform;
    platform.placeExecutable(temp.file("app"), "lanzhou");
    std::string notesDuringRun;
    platform.setSession([&] {
        platform.chooseMenuItem(MenuItem::检测升级);
        if (app::updateDocument)
            notesDuringRun = update::offerValue(*app::updateDocument, update::kNotesAttribute);
    });

    EXPECT_EQ(app::runProgram(platform), 0);

    EXPECT_TRUE(platform.documentAtLoad);
    EXPECT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(notesDuringRun, "无");
    EXPECT_EQ(platform.text(platform::Control::MainWindow), "澜舟");
    EXPECT_EQ(app::updateDocument, nullptr);
    EXPECT_EQ(platform.exitActionsRun(), 1);
}

}  // namespace
}  // namespace lanzhou::test
