#include "browser/summary_cache.h"

#include "core/atomic_file.h"
#include "core/mapped_file.h"
#include "core/text.h"

#include <vector>

namespace tlx::browser {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kHeader = "Tellurix browser cache 1";
constexpr std::size_t kMaxLine = 8192;

// Tab-separated lines written with C strings: no field may hold a tab, a line break or a NUL.
bool plain(std::string_view s) {
    return s.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string_view::npos;
}

bool parseEntry(std::string_view line, FileEntry& e) {
    if (line.find('\0') != std::string_view::npos) return false;
    const std::vector<std::string> f = split(line, '\t');
    if (f.size() != 14) return false;
    long long write = 0, seconds = 0;
    int ns = 0;
    if (!parseInt(f[1], e.kind) || e.kind < kKindUnknown || e.kind > kKindAh) return false;
    int dataSet = 0;
    if (!parseInt(f[2], dataSet) || !parseInt(f[3], write) || !parseInt(f[4], seconds) ||
        !parseInt(f[5], ns) || !parseDouble(f[8], e.sps) || !parseInt(f[9], e.sampleCount) ||
        !parseInt(f[10], e.sensorType))
        return false;
    // Whole seconds within years 0..9999.
    if (seconds < -62'167'219'200LL || seconds > 253'402'300'799LL || ns < 0 || ns > 999'999'999)
        return false;
    e.path = f[0];
    e.dataSet = dataSet != 0;
    e.writeTime = write;
    e.startSeconds = seconds;
    e.start = civilFromEpoch(seconds, ns);
    e.station = f[6];
    e.component = f[7];
    for (int c = 0; c < 3; ++c)
        e.columns[c] = f[static_cast<std::size_t>(11 + c)];
    return !e.path.empty();
}

} // namespace

const FileEntry* SummaryCache::find(const std::string& path, std::int64_t writeTime) const {
    const auto it = entries_.find(path);
    return it != entries_.end() && it->second.writeTime == writeTime ? &it->second : nullptr;
}

void SummaryCache::store(const FileEntry& entry) {
    if (entry.channel >= 0 || !plain(entry.path) || !plain(entry.station) || !plain(entry.component)) return;
    for (const std::string& c : entry.columns)
        if (!plain(c)) return;
    entries_[entry.path] = entry;
}

void SummaryCache::forgetUnseen(const fs::path& dir, const std::set<std::string>& seen) {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (fs::path(it->first).parent_path() == dir && !seen.count(it->first))
            it = entries_.erase(it);
        else
            ++it;
    }
}

bool SummaryCache::load(const fs::path& file) {
    MappedFile mapped;
    if (!mapped.open(file)) return false;
    parse(asText(mapped.bytes()));
    return true;
}

void SummaryCache::parse(std::string_view text) {
    entries_.clear();
    TextLines lines(text, kMaxLine);
    std::string_view line;
    if (!lines.next(line) || line != kHeader) return;
    while (lines.next(line) && entries_.size() < kMaxEntries) {
        FileEntry e;
        if (parseEntry(line, e)) entries_[e.path] = std::move(e);
    }
}

std::string SummaryCache::text() const {
    std::string out(kHeader);
    out += '\n';
    std::size_t written = 0;
    for (const auto& [path, e] : entries_) {
        if (++written > kMaxEntries) break;
        out += format("%s\t%d\t%d\t%lld\t%lld\t%d\t%s\t%s\t%s\t%d\t%d\t%s\t%s\t%s\n", path.c_str(), e.kind,
                      e.dataSet ? 1 : 0, static_cast<long long>(e.writeTime),
                      static_cast<long long>(e.startSeconds), static_cast<int>(e.start.nanoseconds),
                      e.station.c_str(), e.component.c_str(), shortestDouble(e.sps).c_str(), e.sampleCount,
                      e.sensorType, e.columns[0].c_str(), e.columns[1].c_str(), e.columns[2].c_str());
    }
    return out;
}

bool SummaryCache::save(const fs::path& file) const {
    return writeFileAtomically(file, text());
}

std::optional<std::int64_t> writeTimeOf(const fs::path& path) {
    std::error_code ec;
    const auto t = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return static_cast<std::int64_t>(t.time_since_epoch().count());
}

} // namespace tlx::browser
