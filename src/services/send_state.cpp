#include "services/send_state.h"

#include <algorithm>
#include <cmath>

namespace tlx {

void SendState::setStatus(std::string text) {
    std::lock_guard lock(mutex_);
    state_.status = std::move(text);
}

void SendState::fail(std::string text) {
    std::lock_guard lock(mutex_);
    if (state_.failed) return;
    state_.failed = true;
    state_.error = std::move(text);
}

void SendState::progress(long long sent, long long total) {
    std::lock_guard lock(mutex_);
    state_.bytesSent = sent;
    state_.totalBytes = total;
    state_.percent =
        total > 0 ? std::min(100, static_cast<int>(std::lround(100.0 * static_cast<double>(sent) / total)))
                  : 100;
}

void SendState::finish() {
    std::lock_guard lock(mutex_);
    state_.finished = true;
}

SendSnapshot SendState::snapshot() const {
    std::lock_guard lock(mutex_);
    return state_;
}

} // namespace tlx
