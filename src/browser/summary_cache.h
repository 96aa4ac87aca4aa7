// The browser's summaries kept between listings and between runs, keyed by path and last-write
// time: an unchanged file is never opened again to be listed.
#pragma once

#include "browser/file_entry.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace tlx::browser {

inline constexpr const char* kSummaryCacheName = "browser.cache";

class SummaryCache {
  public:
    // The cached row when the file still has this write time.
    const FileEntry* find(const std::string& path, std::int64_t writeTime) const;
    void store(const FileEntry& entry);
    // Forgets the files of `dir` that the last listing did not see (deleted or renamed).
    void forgetUnseen(const std::filesystem::path& dir, const std::set<std::string>& seen);
    std::size_t size() const { return entries_.size(); }

    // Unreadable or damaged lines are dropped; false when the file cannot be read.
    bool load(const std::filesystem::path& file);
    void parse(std::string_view text);
    // Written through a temporary file; rows beyond kMaxEntries are dropped.
    bool save(const std::filesystem::path& file) const;
    std::string text() const;

    static constexpr std::size_t kMaxEntries = 50'000;

  private:
    std::map<std::string, FileEntry> entries_;
};

// A file's last-write time as the cache key; none when the file cannot be looked at.
std::optional<std::int64_t> writeTimeOf(const std::filesystem::path& path);

} // namespace tlx::browser
