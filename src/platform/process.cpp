#include "platform/process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace tlx {

namespace {

int decodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

class SpawnActions {
  public:
    SpawnActions() { ok_ = posix_spawn_file_actions_init(&actions_) == 0; }
    ~SpawnActions() {
        if (ok_) posix_spawn_file_actions_destroy(&actions_);
    }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }
    bool ok() const { return ok_; }
    void check(int rc) { ok_ = ok_ && rc == 0; }

  private:
    posix_spawn_file_actions_t actions_{};
    bool ok_ = false;
};

class SpawnAttributes {
  public:
    SpawnAttributes() {
        ok_ = posix_spawnattr_init(&attr_) == 0;
        if (!ok_) return;
        // The child starts with default signal handling and nothing blocked, whatever the parent set.
        sigset_t none, defaults;
        sigemptyset(&none);
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        ok_ = posix_spawnattr_setsigmask(&attr_, &none) == 0 &&
              posix_spawnattr_setsigdefault(&attr_, &defaults) == 0 &&
              posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* get() { return &attr_; }
    bool ok() const { return ok_; }

  private:
    posix_spawnattr_t attr_{};
    bool ok_ = false;
};

} // namespace

ChildProcess::~ChildProcess() {
    release();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(other.pid_), outFd_(other.outFd_), reaped_(other.reaped_), exitCode_(other.exitCode_) {
    other.pid_ = -1;
    other.outFd_ = -1;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        release();
        pid_ = other.pid_;
        outFd_ = other.outFd_;
        reaped_ = other.reaped_;
        exitCode_ = other.exitCode_;
        other.pid_ = -1;
        other.outFd_ = -1;
    }
    return *this;
}

void ChildProcess::release() {
    if (outFd_ >= 0) ::close(outFd_);
    outFd_ = -1;
    if (running()) {
        ::kill(pid_, SIGKILL);
        wait(-1);
    }
    pid_ = -1;
}

bool ChildProcess::start(const std::vector<std::string>& argv, const SpawnOptions& options) {
    release();
    reaped_ = false;
    exitCode_ = -1;
    if (argv.empty() || argv[0].empty()) return false;

    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (options.captureStdout && ::pipe2(pipeFds, O_CLOEXEC) != 0) return false;

    SpawnActions actions;
    SpawnAttributes attributes;
    actions.check(posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0));
    if (options.captureStdout) actions.check(posix_spawn_file_actions_adddup2(actions.get(), pipeFds[1], 1));
    if (options.captureStdout && options.joinStderr)
        actions.check(posix_spawn_file_actions_adddup2(actions.get(), pipeFds[1], 2));
    if (options.discardStderr)
        actions.check(posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0));
    if (!options.workingDirectory.empty())
        actions.check(posix_spawn_file_actions_addchdir_np(actions.get(), options.workingDirectory.c_str()));

    pid_t pid = -1;
    int rc = -1;
    if (actions.ok() && attributes.ok())
        rc = posix_spawnp(&pid, args[0], actions.get(), attributes.get(), args.data(), environ);
    if (options.captureStdout) {
        ::close(pipeFds[1]);
        if (rc == 0)
            outFd_ = pipeFds[0];
        else
            ::close(pipeFds[0]);
    }
    if (rc != 0) return false;
    pid_ = pid;
    return true;
}

ReadResult ChildProcess::readOutput(char* buffer, std::size_t size, int timeoutMs) {
    if (outFd_ < 0 || size == 0) return {ReadStatus::Error, 0};
    pollfd p{outFd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, timeoutMs < 0 ? -1 : timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) return {ReadStatus::Error, 0};
    if (ready == 0) return {ReadStatus::Timeout, 0};
    ssize_t n;
    do {
        n = ::read(outFd_, buffer, size);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return {ReadStatus::Error, 0};
    if (n == 0) return {ReadStatus::End, 0};
    return {ReadStatus::Data, static_cast<std::size_t>(n)};
}

std::string ChildProcess::readAllOutput(std::size_t maxBytes) {
    std::string out;
    char buffer[4096];
    for (;;) {
        const ReadResult r = readOutput(buffer, sizeof buffer, -1);
        if (r.status != ReadStatus::Data) break;
        if (out.size() < maxBytes) out.append(buffer, std::min(r.bytes, maxBytes - out.size()));
    }
    return out;
}

WaitStatus ChildProcess::wait(int timeoutMs) {
    if (pid_ <= 0) return WaitStatus::Failed;
    if (reaped_) return WaitStatus::Exited;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(pid_, &status, timeoutMs < 0 ? 0 : WNOHANG);
        if (r == pid_) {
            reaped_ = true;
            exitCode_ = decodeStatus(status);
            return WaitStatus::Exited;
        }
        if (r < 0 && errno != EINTR) return WaitStatus::Failed;
        if (r == 0) {
            if (std::chrono::steady_clock::now() >= deadline) return WaitStatus::TimedOut;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
}

void ChildProcess::kill(int signal) {
    if (running()) ::kill(pid_, signal);
}

int runProgram(const std::vector<std::string>& argv, const SpawnOptions& options) {
    ChildProcess child;
    if (!child.start(argv, options)) return -1;
    if (child.wait(-1) != WaitStatus::Exited) return -1;
    return child.exitCode();
}

bool startDetached(const std::vector<std::string>& argv, const SpawnOptions& options) {
    auto child = std::make_shared<ChildProcess>();
    if (!child->start(argv, options)) return false;
    std::thread([child] { child->wait(-1); }).detach();
    return true;
}

bool openWithDesktop(const std::string& pathOrUrl) {
    SpawnOptions options;
    options.discardStderr = true;
    return startDetached({"xdg-open", pathOrUrl}, options);
}

} // namespace tlx
