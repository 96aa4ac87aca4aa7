// One row of the open-file browser: a listed file (or one channel of a data set) with the summary
// taken from its header, the columns shown, and how rows sort.
#pragma once

#include "core/civil_time.h"
#include "record/loader.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlx::browser {

// Shorter files are never listed: they cannot hold a fixed header.
inline constexpr std::uintmax_t kMinListedSize = 155;

enum Column { kColumnFile = 0, kColumnTime = 1, kColumnComment = 2 };
inline constexpr const char* kColumnTitles[3] = {"File", "UTC Time", "Comment (Sensor Orientation)"};

struct FileEntry {
    std::string path;
    int kind = kKindUnknown;
    bool dataSet = false; // a volume whose channels are listed on their own before opening
    int channel = -1;     // in the data-set list: the channel's index in its volume
    std::int64_t writeTime = 0;
    CivilTime start;
    std::int64_t startSeconds = 0;
    std::string station, component;
    double sps = 0;
    int sampleCount = 0;
    int sensorType = 0;
    std::string columns[3];
};

// The directory-level row of a file from its header-only load.
FileEntry summarise(const std::string& path, std::int64_t writeTime, const LoadResult& header);
// The rows of a data set's channels.
std::vector<FileEntry> dataSetEntries(const std::string& path, const LoadResult& header);

// Name and comment compare as text; time by start, then station.
void sortEntries(std::vector<FileEntry>& entries, int column, bool descending);

// The sort column and direction ("FileOpenType", "FileOpenDirection").
struct SortOrder {
    int column = kColumnFile;
    bool descending = false;
    // A click on the current column flips the direction, on another makes it the sort column.
    void click(int clicked);
};

// Two or three SVX Type 4 rows (or channels) that can share one window: same count and rate,
// starts within one sample.
bool entriesAgree(const std::vector<const FileEntry*>& rows);

} // namespace tlx::browser
