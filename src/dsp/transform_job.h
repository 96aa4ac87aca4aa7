// A long transform run off the user-interface thread: the window starts it with a copy of the
// samples, polls done() and percent(), may cancel, and takes the result when done.
#pragma once

#include <atomic>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tlx {

// Progress and cancel shared with a worker thread.
struct SpectrumProgress {
    std::atomic<int> percent{0};
    std::atomic<bool> cancel{false};
};

template <class Result, class Request> class TransformJob {
  public:
    TransformJob() = default;
    ~TransformJob() {
        cancel();
        if (thread_.joinable()) thread_.join();
    }
    TransformJob(const TransformJob&) = delete;
    TransformJob& operator=(const TransformJob&) = delete;

    int percent() const { return progress_.percent.load(); }
    bool done() const { return done_.load(); }
    void cancel() { progress_.cancel = true; }

  protected:
    // A running transform is cancelled and waited for first.
    void launch(std::vector<double> samples, const Request& request) {
        if (thread_.joinable()) {
            cancel();
            thread_.join();
        }
        samples_ = std::move(samples);
        request_ = request;
        progress_.percent = 0;
        progress_.cancel = false;
        done_ = false;
        ok_ = false;
        thread_ = std::thread([this] {
            std::string error;
            ok_ = result_.compute(samples_, request_, &progress_, error);
            error_ = progress_.cancel.load() ? "Cancelled" : error;
            samples_ = {};
            done_ = true;
        });
    }
    // After done(): the result, or false when it failed or was cancelled.
    bool takeResult(Result& out, std::string& error) {
        if (thread_.joinable()) thread_.join();
        error = error_;
        if (!ok_ || progress_.cancel.load()) return false;
        out = std::move(result_);
        result_ = Result{};
        return true;
    }

  private:
    std::vector<double> samples_;
    Request request_;
    SpectrumProgress progress_;
    std::atomic<bool> done_{false};
    bool ok_ = false;
    std::string error_;
    Result result_;
    std::thread thread_;
};

} // namespace tlx
