#include "browser/directory_listing.h"

#include "browser/file_walk.h"
#include "core/debug_log.h"
#include "core/text.h"

#include <algorithm>
#include <set>

namespace tlx::browser {
namespace fs = std::filesystem;
namespace {

char lowered(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool glob(std::string_view name, std::string_view pattern) {
    // Iterative wildcard match with one backtrack point.
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowered(pattern[p]) == lowered(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

std::vector<std::string> splitPatterns(std::string_view text) {
    std::vector<std::string> out;
    for (const std::string& part : split(text, ',')) {
        const std::string_view t = trim(part);
        if (!t.empty()) out.emplace_back(t);
    }
    if (out.empty()) out.emplace_back("*");
    return out;
}

bool matchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") return true;
    return glob(name, pattern);
}

ListingTarget resolveNameField(std::string_view text, const fs::path& current) {
    ListingTarget target{current, {}};
    std::string t(trim(text));
    std::error_code ec;
    if (t.find('/') != std::string::npos || t.find('\\') != std::string::npos) {
        std::replace(t.begin(), t.end(), '\\', '/');
        fs::path p(t);
        if (p.is_relative()) p = current / p;
        if (fs::is_directory(p, ec)) {
            target.directory = p;
            t = "*";
        } else {
            target.directory = p.parent_path();
            t = p.filename().string();
        }
    }
    target.patterns = splitPatterns(t);
    return target;
}

DirectoryListing::DirectoryListing(LoaderSettings settings, SummaryCache cache)
    : settings_(std::move(settings)), cache_(std::move(cache)) {}

DirectoryListing::~DirectoryListing() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
}

void DirectoryListing::start(const ListingTarget& target) {
    if (worker_.joinable()) return;
    worker_ = std::thread([this, target] { run(target); });
}

std::vector<FileEntry> DirectoryListing::takeReady() {
    std::lock_guard lock(mutex_);
    std::vector<FileEntry> out;
    out.swap(ready_);
    return out;
}

SummaryCache& DirectoryListing::cache() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    return cache_;
}

void DirectoryListing::run(ListingTarget target) {
    RecordingMessages quiet;
    EventLoader loader(quiet, settings_);
    std::set<std::string> seen;
    std::vector<FileEntry> batch;
    auto flush = [&] {
        std::lock_guard lock(mutex_);
        for (FileEntry& e : batch)
            ready_.push_back(std::move(e));
        batch.clear();
    };
    for (const fs::path& file : listFiles(target.directory)) {
        if (stop_) break;
        const std::string name = file.filename().string();
        bool wanted = false;
        for (const std::string& p : target.patterns)
            wanted = wanted || matchesPattern(name, p);
        std::error_code ec;
        if (!wanted || fs::file_size(file, ec) < kMinListedSize || ec) continue;
        const auto written = writeTimeOf(file);
        if (!written) continue;
        const std::string path = file.string();
        seen.insert(path);
        if (const FileEntry* cached = cache_.find(path, *written)) {
            if (cached->kind != kKindUnknown) batch.push_back(*cached);
        } else {
            ++loads_;
            LoadResult header = loader.readHeaderOnly(file);
            // A rejected file is remembered too, so that it is not read again while unchanged.
            if (!header.ok || header.channels.empty()) {
                logFormat("browser: %s is not an event file", path.c_str());
                header = LoadResult{};
            }
            FileEntry entry = summarise(path, *written, header);
            cache_.store(entry);
            if (entry.kind != kKindUnknown) batch.push_back(std::move(entry));
        }
        if (batch.size() >= 64) flush();
    }
    flush();
    if (!stop_) cache_.forgetUnseen(target.directory, seen);
    finished_ = true;
}

} // namespace tlx::browser
