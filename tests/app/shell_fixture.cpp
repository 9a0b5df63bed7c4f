#include "tests/app/shell_fixture.h"

#include "app/bindings.h"

namespace lanzhou::test {

void ShellTest::start() {
    platform_.bind(app::mainWindowBindings(platform_));
    platform_.loadMainWindow();
}

}  // namespace lanzhou::test
