#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace lanzhou::test {

// One run of a program with the test's environment, ended by the test if it
// is still running.
class ProgramRun {
  public:
    // Starts program; with capture its standard output goes into a pipe,
    // with captureErrors too its standard error.
    ProgramRun(const std::string& program, bool capture, bool captureErrors = false);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool running();
    // Waits for the end; the exit code, or -1 for a signal or a time-out.
    int exitCode(std::chrono::milliseconds limit = std::chrono::seconds(30));
    // Everything written to the pipe, once every writer has closed it
    // (programs it started included) or the limit has passed.
    std::string output(std::chrono::milliseconds limit = std::chrono::seconds(30));
    // Whether standard output has come to hold text within the limit.
    bool waitForOutput(const std::string& text,
                       std::chrono::milliseconds limit = std::chrono::seconds(30));
    pid_t pid() const { return pid_; }
    void terminate();

  private:
    // Reads what arrives until done holds, the pipe is closed or the limit passes.
    template <typename Done>
    void readUntil(Done done, std::chrono::milliseconds limit);

    pid_t pid_ = -1;
    int output_[2] = {-1, -1};
    bool outputClosed_ = false;
    std::string collected_;
    bool exited_ = false;
    int status_ = 0;
};

}  // namespace lanzhou::test
