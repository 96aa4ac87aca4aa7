// One fetch of a report list from a network service on a worker thread: the status text and the
// byte count for the dialog's poll, Cancel, time-outs and a size limit. The ".rpt" file appears
// whole on success; a failed or cancelled fetch leaves the earlier file as it was.
#pragma once

#include "services/network_services.h"
#include "services/report_protocols.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace tlx {

class AtomicFileWriter;

struct TransferSettings {
    int timeoutMs = 30'000;                 // every network wait
    std::uint64_t maxBytes = 64u << 20;     // a report larger than this is stopped
    int programTimeoutMs = 180'000;         // an outside program
    std::filesystem::path programDirectory; // where an outside program is looked for first
};

// The heading feedgrab prints above its report; a program's report is stored under it so that
// the report list recognises its lines.
constexpr const char* kFeedReportHeading = "       TIME          LAT     LONG   MAG    DEP          LOCATION";

class ReportTransfer {
  public:
    ReportTransfer();
    ~ReportTransfer(); // cancels and waits
    ReportTransfer(const ReportTransfer&) = delete;
    ReportTransfer& operator=(const ReportTransfer&) = delete;

    // Starts the worker; false with the status text when the fetch cannot begin.
    bool start(const ReportService& service, const HistoricalQuery& query,
               const std::filesystem::path& folder, const TransferSettings& settings = {});
    void cancel();
    void join();

    bool started() const { return worker_.joinable(); }
    bool finished() const { return finished_.load(); }
    bool succeeded() const { return finished_.load() && succeeded_; }
    std::string status() const;
    std::uint64_t bytesReceived() const { return bytes_.load(); }
    const std::filesystem::path& reportFile() const { return reportFile_; }

  private:
    friend class TransferReceiver;
    void run();
    void setStatus(std::string text);
    ProtocolResult runSocketService(ReportReceiver& out);
    ProtocolResult runFtp(ReportReceiver& out);
    ProtocolResult runProgram();

    ReportService service_;
    HistoricalQuery query_;
    TransferSettings settings_;
    std::filesystem::path folder_;
    std::filesystem::path reportFile_;
    std::unique_ptr<AtomicFileWriter> writer_;
    std::thread worker_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> finished_{false};
    bool succeeded_ = false; // written before finished_
    std::atomic<std::uint64_t> bytes_{0};
    mutable std::mutex statusMutex_;
    std::string status_;
};

// A fetch run to its end on the calling thread (the console).
bool fetchReport(const ReportService& service, const HistoricalQuery& query,
                 const std::filesystem::path& folder, const TransferSettings& settings,
                 std::filesystem::path& reportFile, std::string& error);

} // namespace tlx
