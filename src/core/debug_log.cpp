#include "core/debug_log.h"

#include "core/text.h"

#include <cstdio>
#include <filesystem>
#include <mutex>

namespace tlx {
namespace {

struct LogState {
    std::mutex mutex;
    std::string path;
    bool startedThisRun = false;
};

LogState& state() {
    static LogState s;
    return s;
}

} // namespace

void setDebugLogDirectory(const std::string& directory) {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    s.path = directory.empty() ? std::string() : (std::filesystem::path(directory) / "tlx.log").string();
    s.startedThisRun = false;
}

std::string debugLogPath() {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    return s.path;
}

void logLine(std::string_view message) {
    LogState& s = state();
    std::lock_guard lock(s.mutex);
    if (s.path.empty()) return;
    std::FILE* f = std::fopen(s.path.c_str(), s.startedThisRun ? "a" : "w");
    if (!f) return;
    s.startedThisRun = true;
    std::fwrite(message.data(), 1, message.size(), f);
    std::fputc('\n', f);
    std::fclose(f);
}

void logFormat(const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    std::string text = vformat(fmt, args);
    va_end(args);
    logLine(text);
}

} // namespace tlx
