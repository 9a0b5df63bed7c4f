#include "tests/window/program_run.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;

namespace lanzhou::test {

using namespace std::chrono_literals;

ProgramRun::ProgramRun(const std::string& program, bool capture, bool captureErrors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (capture && pipe(output_) == 0) {
        posix_spawn_file_actions_adddup2(&actions, output_[1], STDOUT_FILENO);
        if (captureErrors) posix_spawn_file_actions_adddup2(&actions, output_[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, output_[0]);
    }
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (output_[1] >= 0) close(output_[1]);
}

ProgramRun::~ProgramRun() {
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_[0] >= 0) close(output_[0]);
}

bool ProgramRun::running() {
    if (pid_ <= 0 || exited_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == 0) return true;
    exited_ = true;
    status_ = status;
    return false;
}

int ProgramRun::exitCode(std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (running() && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(20ms);
    if (!exited_) return -1;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

template <typename Done>
void ProgramRun::readUntil(Done done, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (output_[0] >= 0 && !outputClosed_ && !done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left <= 0ms) return;
        pollfd readable{output_[0], POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[256];
        const ssize_t got = read(output_[0], chunk, sizeof chunk);
        if (got <= 0)
            outputClosed_ = true;
        else
            collected_.append(chunk, static_cast<std::size_t>(got));
    }
}

std::string ProgramRun::output(std::chrono::milliseconds limit) {
    readUntil([] { return false; }, limit);
    return collected_;
}

bool ProgramRun::waitForOutput(const std::string& text, std::chrono::milliseconds limit) {
    const auto holdsText = [&] { return collected_.find(text) != std::string::npos; };
    readUntil(holdsText, limit);
    return holdsText();
}

void ProgramRun::terminate() {
    kill(pid_, SIGTERM);
}

}  // namespace lanzhou::test
