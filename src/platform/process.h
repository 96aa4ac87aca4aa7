// Outside programs: started from an argument vector (never through a shell), optionally with
// their standard output on a pipe, and waited for with or without a time limit.
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tlx {

struct SpawnOptions {
    bool captureStdout = false;   // the child's standard output goes to a pipe read with readOutput
    bool discardStderr = false;   // the child's standard error goes to /dev/null
    bool joinStderr = false;      // with captureStdout: standard error goes to the same pipe
    std::string workingDirectory; // empty: the caller's current folder
};

enum class ReadStatus { Data, Timeout, End, Error };

struct ReadResult {
    ReadStatus status = ReadStatus::Error;
    std::size_t bytes = 0;
};

enum class WaitStatus { Exited, TimedOut, Failed };

// One child process. Standard input is /dev/null. A child still running when its handle is
// destroyed is killed and reaped, so no zombie outlives the handle.
class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // argv[0] without a "/" is looked up on PATH. False when the program cannot be started.
    bool start(const std::vector<std::string>& argv, const SpawnOptions& options = {});
    bool running() const { return pid_ > 0 && !reaped_; }
    pid_t pid() const { return pid_; }

    // Waits up to timeoutMs (negative: without limit) for output on the pipe and reads what is there.
    ReadResult readOutput(char* buffer, std::size_t size, int timeoutMs);
    // Reads the pipe to its end (at most maxBytes are kept; the rest is read and dropped).
    std::string readAllOutput(std::size_t maxBytes);

    // Waits for the end of the child: negative timeoutMs waits without limit.
    WaitStatus wait(int timeoutMs = -1);
    // The exit code after WaitStatus::Exited; 128 + signal number when a signal ended it.
    int exitCode() const { return exitCode_; }
    // Sends a signal (SIGKILL by default) to a child that has not been reaped.
    void kill(int signal = 9);

  private:
    void release();

    pid_t pid_ = -1;
    int outFd_ = -1;
    bool reaped_ = false;
    int exitCode_ = -1;
};

// Starts argv, waits without limit and returns its exit code; -1 when it could not be started.
int runProgram(const std::vector<std::string>& argv, const SpawnOptions& options = {});

// Starts argv and leaves it running on its own (a viewer, an editor); a thread reaps it when it ends.
bool startDetached(const std::vector<std::string>& argv, const SpawnOptions& options = {});
// A file or address opened in the user's program for it, through xdg-open.
bool openWithDesktop(const std::string& pathOrUrl);

} // namespace tlx
