#include "cli/cli_command.h"

#include "core/text.h"

#include <cstdio>

namespace tlx::cli {

void ConsoleMessages::show(MessageKind kind, const std::string& text) {
    RecordingMessages::show(kind, text);
    if (echo_) std::fprintf(stderr, "%s\n", text.c_str());
}

bool loadForConsole(const std::string& path, ConsoleMessages& messages, LoadResult& result) {
    EventLoader loader(messages, consoleLoaderSettings());
    LoadRequest request;
    request.fileName = path;
    result = loader.load(request);
    if (!result.ok && messages.messages().empty())
        std::fprintf(stderr, "%s: could not be loaded\n", path.c_str());
    return result.ok;
}

bool parseCount(const std::string& text, int& value) {
    return parseInt(text, value) && value >= 0;
}

void StdoutLines::add(const std::string& line) {
    pending_ += line;
    pending_ += '\n';
    if (pending_.size() > (1u << 16)) flush();
}

void StdoutLines::flush() {
    std::fwrite(pending_.data(), 1, pending_.size(), stdout);
    pending_.clear();
}

} // namespace tlx::cli
