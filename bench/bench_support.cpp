#include "bench_support.h"

#include "record/loader.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace tlx::bench {
std::int64_t statusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return std::stoll(line.substr(std::strlen(key)));
    return -1;
}

double bestSeconds(int repeats, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (s < best) best = s;
    }
    return best;
}

std::int64_t peakMemoryBytes(const std::function<void()>& work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeFds[0]);
        { std::ofstream("/proc/self/clear_refs") << "5"; } // resets the high-water mark
        const std::int64_t before = statusKb("VmRSS:");
        work();
        const std::int64_t peak = statusKb("VmHWM:");
        const std::int64_t added = (peak - before) * 1024;
        if (::write(pipeFds[1], &added, sizeof added) != sizeof added) _exit(1);
        _exit(0);
    }
    ::close(pipeFds[1]);
    std::int64_t added = -1;
    if (::read(pipeFds[0], &added, sizeof added) != sizeof added) added = -1;
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return added;
}

EventRecord benchRecord() {
    EventRecord record;
    std::memcpy(record.header.magic, "SVXTYPE4", 8);
    record.header.startTime = {2024, 1, 1, 0, 0, 0, 0, 0};
    record.header.sps = 100;
    return record;
}

double bestLoadSeconds(const std::string& path, int repeats, std::size_t expectedCount) {
    RecordingMessages messages;
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = path;
    return bestSeconds(repeats, [&] {
        const LoadResult r = loader.load(request);
        if (!r.ok || r.channels[0].samples.size() != expectedCount) std::abort();
    });
}

std::vector<unsigned char> freadWholeFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) std::abort();
    std::fseek(f, 0, SEEK_END);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(std::ftell(f)));
    std::rewind(f);
    if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
    return bytes;
}

std::string scratchPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir ? dir : "/tmp") + "/tlx-bench-" + name;
}

} // namespace tlx::bench
