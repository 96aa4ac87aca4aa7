#include "core/messages.h"

#include <algorithm>

namespace tlx {

void RecordingMessages::show(MessageKind kind, const std::string& text) {
    messages_.push_back({kind, text});
}

Answer RecordingMessages::ask(const std::string& text, Buttons) {
    messages_.push_back({MessageKind::Question, text});
    if (answers_.empty()) return defaultAnswer_;
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::vector<std::string> RecordingMessages::texts() const {
    std::vector<std::string> out;
    for (const auto& m : messages_)
        out.push_back(m.text);
    return out;
}

bool RecordingMessages::contains(const std::string& text) const {
    return std::any_of(messages_.begin(), messages_.end(), [&](const auto& m) { return m.text == text; });
}

} // namespace tlx
