// The feedgrab run: fetch the feed with the download program, turn it into the report.
#pragma once

#include "feedgrab/feed_report.h"

#include <string>
#include <vector>

namespace tlx::feedgrab {

constexpr const char* kDownloadFile = "__usgstmp";
constexpr const char* kLogFile = "feedgrab.log";

// Standard output for messages and report lines; feedgrab.log in the current folder for the log.
class StandardConsole : public FeedConsole {
  public:
    void print(std::string_view text) override;
    void log(std::string_view message) override;
};

// Appends "month/day/yy hh:mm:ss message" (local time) to the log file.
void appendLogLine(const std::string& path, std::string_view message);

struct ReportRequest {
    std::string outFile;              // empty: the report goes to the console with a heading
    const HomeFilter* home = nullptr; // filtering and distances
};

// Reads a downloaded feed and writes the report. A report file appears whole or not at all.
void processDownload(const std::string& feedPath, const ReportRequest& request, FeedConsole& console);

// The whole program after its arguments (without the program name); returns the exit code.
int runFeedgrab(const std::vector<std::string>& args, FeedConsole& console,
                const std::string& downloader = "wget");

} // namespace tlx::feedgrab
