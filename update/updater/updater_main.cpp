// lanzhou-updater: started by 澜舟 with the values of the update document,
// it fetches the new version, puts it in place of the old one and starts it.
// Under the offscreen platform it runs without anyone watching: errors go to
// stderr and the exit code, and the window closes by itself.

#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "update/updater/install_update.h"
#include "update/updater/updater_window.h"
#include "update/updater_command.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitRefused = 2;
// How long the new version waits for the old one to end.
constexpr int kStarterExitLimitMs = 10000;

bool runsUnattended() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

std::string ownExecutable() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", &path[0], path.size());
    path.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return path;
}

void reportToStderr(const std::string& error) {
    std::fprintf(stderr, "%s\n", error.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // The arguments come from the network: Qt never sees them, so that a
    // release note cannot pass it options.
    const std::vector<std::string> arguments(argv, argv + argc);
    const pid_t starter = getppid();
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    update::UpdaterValues values;
    if (!update::parseUpdaterArguments(arguments, values)) {
        const char* error = "升级程序只能由澜舟启动。";
        if (runsUnattended())
            reportToStderr(error);
        else
            QMessageBox::warning(nullptr, QStringLiteral("澜舟升级"), QString::fromUtf8(error));
        return kExitRefused;
    }

    const std::string runFolder = updater::runFolderOfExecutable(ownExecutable());
    updater::UpdaterWindow window(values);
    window.show();

    QTimer::singleShot(0, &window, [&] {
        updater::InstallResult result =
            updater::installUpdate(runFolder, values, [&](int64_t received, int64_t total) {
                window.showProgress(received, total);
                QCoreApplication::processEvents();
            });
        if (result.ok) {
            window.showStatus(QStringLiteral("正在启动新版本……"));
            updater::waitForStarterToEnd(starter, runFolder, kStarterExitLimitMs);
            result = updater::startProgram(runFolder + "/" + values.fileName, runFolder);
        }
        if (result.ok) {
            app.exit(0);
            return;
        }
        window.showFailure(QString::fromStdString(result.error));
        if (runsUnattended()) {
            reportToStderr(result.error);
            app.exit(kExitFailed);
        }
    });
    return app.exec();
}
