// What a mail send shows while it runs: written by the worker thread, read by the status dialog's
// timer and the console. The worker sets the finished flag last.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace tlx {

struct SendSnapshot {
    std::string status;
    std::string error;
    int percent = 0;
    long long bytesSent = 0;
    long long totalBytes = 0;
    bool finished = false;
    bool failed = false;
};

class SendState {
  public:
    void setStatus(std::string text);
    // Keeps the first error text.
    void fail(std::string text);
    void progress(long long sent, long long total);
    void finish();
    SendSnapshot snapshot() const;

    std::atomic<bool> cancel{false};

  private:
    mutable std::mutex mutex_;
    SendSnapshot state_;
};

} // namespace tlx
