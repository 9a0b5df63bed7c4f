#include "app/startup.h"
#include "platform/qt/qt_platform.h"

int main(int argc, char** argv) {
    return lanzhou::platform::qt::runOnQt(argc, argv, lanzhou::app::runProgram);
}
