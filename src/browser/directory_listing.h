// Listing one folder for the open-file browser on a worker thread: rows come out in batches while
// the folder is read, so a folder of thousands of files never stops the window.
#pragma once

#include "browser/file_entry.h"
#include "browser/summary_cache.h"
#include "record/loader.h"

#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tlx::browser {

// Comma-separated "*"/"?" patterns, matched ignoring case; "*.*" also takes names without a dot.
std::vector<std::string> splitPatterns(std::string_view text);
bool matchesPattern(std::string_view name, std::string_view pattern);

// The name field: a text with a path separator names a folder (and maybe patterns in it).
struct ListingTarget {
    std::filesystem::path directory;
    std::vector<std::string> patterns;
};
ListingTarget resolveNameField(std::string_view text, const std::filesystem::path& current);

class DirectoryListing {
  public:
    // Takes the cache for the run; cache() hands it back once finished().
    DirectoryListing(LoaderSettings settings, SummaryCache cache);
    ~DirectoryListing();
    DirectoryListing(const DirectoryListing&) = delete;
    DirectoryListing& operator=(const DirectoryListing&) = delete;

    void start(const ListingTarget& target);
    // Rows found since the last call.
    std::vector<FileEntry> takeReady();
    bool finished() const { return finished_; }
    // Files whose headers were read (not taken from the cache) in this run.
    int loads() const { return loads_; }
    // Waits for the worker (stopping it early) and returns the cache.
    SummaryCache& cache();

  private:
    void run(ListingTarget target);

    LoaderSettings settings_;
    SummaryCache cache_;
    std::thread worker_;
    std::mutex mutex_;
    std::vector<FileEntry> ready_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int> loads_{0};
};

} // namespace tlx::browser
