#include "services/report_transfer.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/host_lookup.h"
#include "platform/process.h"

#include <chrono>
#include <system_error>
#include <unistd.h>

namespace tlx {

namespace {

constexpr int kProgramPollMs = 50;
constexpr std::size_t kProgramStatusPiece = 256;
constexpr const char* kFtpIdentification = "tellurix@localhost";

ProtocolResult failure(std::string text) {
    return {false, std::move(text)};
}

// An outside program beside the running program, else the bare name for the PATH search.
std::string programPath(const std::filesystem::path& folder, const std::string& name) {
    std::error_code ec;
    const std::filesystem::path beside = folder / name;
    if (!folder.empty() && std::filesystem::is_regular_file(beside, ec) &&
        ::access(beside.c_str(), X_OK) == 0)
        return beside.string();
    return name;
}

} // namespace

// Counts the bytes into the transfer's counter and stops at the size limit.
class TransferReceiver : public ReportReceiver {
  public:
    explicit TransferReceiver(ReportTransfer& transfer) : t_(transfer) {}
    bool append(std::string_view data) override {
        const std::uint64_t total = t_.bytes_.load() + data.size();
        if (total > t_.settings_.maxBytes) return false;
        pending_.append(data);
        if (pending_.size() >= kWriteBlock && !flush()) return false;
        t_.bytes_.store(total);
        return true;
    }
    // Writes what is held back; false when the disk refused it.
    bool flush() {
        if (!pending_.empty() && !t_.writer_->write(pending_.data(), pending_.size())) writeFailed_ = true;
        pending_.clear();
        return !writeFailed_;
    }
    std::string limitText() const override {
        if (writeFailed_) return "Can't write " + t_.reportFile_.string();
        return format("Stopped: the report is larger than %llu MB",
                      static_cast<unsigned long long>(t_.settings_.maxBytes >> 20));
    }

  private:
    static constexpr std::size_t kWriteBlock = 1 << 16;
    ReportTransfer& t_;
    std::string pending_;
    bool writeFailed_ = false;
};

ReportTransfer::ReportTransfer() = default;

ReportTransfer::~ReportTransfer() {
    cancel();
    join();
}

void ReportTransfer::setStatus(std::string text) {
    const std::lock_guard lock(statusMutex_);
    status_ = std::move(text);
}

std::string ReportTransfer::status() const {
    const std::lock_guard lock(statusMutex_);
    return status_;
}

void ReportTransfer::cancel() {
    cancel_.store(true);
}

void ReportTransfer::join() {
    if (worker_.joinable()) worker_.join();
}

bool ReportTransfer::start(const ReportService& service, const HistoricalQuery& query,
                           const std::filesystem::path& folder, const TransferSettings& settings) {
    join();
    service_ = service;
    query_ = query;
    settings_ = settings;
    folder_ = folder;
    cancel_.store(false);
    finished_.store(false);
    succeeded_ = false;
    bytes_.store(0);
    if (service.reportName.empty()) {
        setStatus("Error: Can't parse host and file name");
        return false;
    }
    reportFile_ = folder / service.reportName;
    writer_ = std::make_unique<AtomicFileWriter>(reportFile_);
    if (service.kind != ServiceKind::Program) {
        const std::string title = service.kind == ServiceKind::WebPage && !service.description.empty()
                                      ? service.description
                                      : service.host;
        const std::string first = "[" + title + "]\n";
        if (!writer_->open() || !writer_->write(first.data(), first.size())) {
            writer_->abandon();
            setStatus("Error: " + format("Can't open %s file for writting.", reportFile_.string().c_str()));
            return false;
        }
    }
    setStatus(service.kind == ServiceKind::FtpFile ? "Connecting to host..." : "");
    worker_ = std::thread([this] { run(); });
    return true;
}

void ReportTransfer::run() {
    TransferReceiver receiver(*this);
    ProtocolResult result;
    switch (service_.kind) {
    case ServiceKind::FtpFile:
        result = runFtp(receiver);
        break;
    case ServiceKind::Program:
        result = runProgram();
        break;
    default:
        result = runSocketService(receiver);
        break;
    }
    if (cancel_.load()) result = failure("Canceled");
    if (result.ok && service_.kind != ServiceKind::Program && (!receiver.flush() || !writer_->commit()))
        result = failure("Can't write " + reportFile_.string());
    if (!result.ok) writer_->abandon();
    setStatus(result.ok ? "Done..." : result.error);
    succeeded_ = result.ok;
    finished_.store(true);
}

ProtocolResult ReportTransfer::runSocketService(ReportReceiver& out) {
    const int timeout = settings_.timeoutMs;
    setStatus("Looking up host name...");
    std::string error;
    if (!hostResolves(service_.host, error)) return failure("Host name lookup error.");
    TcpSocket socket;
    socket.setCancelFlag(&cancel_);
    setStatus("Connecting...");
    if (socket.connect(service_.host, service_.port, timeout) != NetStatus::Ok)
        return failure(cancel_.load() ? "Canceled" : "connect failed.");
    setStatus("Connected, sending command...");
    const std::string prefix = service_.longListing ? "/W " : "";
    if (service_.kind == ServiceKind::DataServer) {
        setStatus("Receiving data...");
        return service_.lineProtocol ? runLineProtocol(socket, query_, out, timeout)
                                     : runFramedProtocol(socket, query_, out, timeout);
    }
    if (service_.kind == ServiceKind::WebPage) {
        const bool defaultPort = service_.port == kHttpPort;
        const std::string host =
            defaultPort ? service_.host : format("%s:%d", service_.host.c_str(), service_.port);
        const std::string request =
            prefix + "GET " + service_.path + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: Close\r\n\r\n";
        if (socket.write(request, timeout) != NetStatus::Ok)
            return failure("send error: " + socket.errorText());
    } else if (socket.write(prefix + service_.user + "\r\n", timeout) != NetStatus::Ok) {
        return failure("send #2 error: " + socket.errorText());
    }
    setStatus("Receiving data...");
    return receiveToEnd(socket, out, timeout);
}

ProtocolResult ReportTransfer::runFtp(ReportReceiver& out) {
    const int timeout = settings_.timeoutMs;
    const std::string& host = service_.host;
    setStatus("Connecting to host...");
    std::string error;
    if (!hostResolves(host, error)) return failure(format("Error: Connecting to %s.", host.c_str()));
    TcpSocket control;
    control.setCancelFlag(&cancel_);
    if (control.connect(host, service_.port, timeout) != NetStatus::Ok)
        return failure(cancel_.load() ? "Canceled" : format("Cannot connect to %s", host.c_str()));
    LineReader replies(control, kMaxFtpReplyLine);
    int code = 0;
    std::string text;
    // One command at a time: each waits for the reply to the one before.
    const auto command = [&](const std::string& line) -> NetStatus {
        if (!line.empty() && control.write(line + "\r\n", timeout) != NetStatus::Ok) return NetStatus::Error;
        return readFtpReply(replies, timeout, code, text);
    };
    if (command("") != NetStatus::Ok || code / 100 != 2)
        return failure(code == 0 ? format("Cannot connect to %s", host.c_str()) : "FTP server: " + text);
    NetStatus status = command("USER anonymous");
    if (status == NetStatus::Ok && code == 331) status = command(std::string("PASS ") + kFtpIdentification);
    if (status == NetStatus::Timeout) return failure("Login Connect Timeout");
    if (status != NetStatus::Ok) return failure(receiveError(status, control));
    if (code == 530) return failure("Login failed");
    if (code != 230) return failure("Login failed: " + text);

    setStatus("Receiving data...");
    const std::string local = control.localAddress();
    TcpListener listener;
    if (!listener.listen(local)) return failure(format("Cannot bind to %s", local.c_str()));
    std::string portCommand;
    if (control.isIpv6()) {
        portCommand = format("EPRT |2|%s|%d|", local.c_str(), listener.port());
    } else {
        std::string commas = local;
        std::replace(commas.begin(), commas.end(), '.', ',');
        portCommand = format("PORT %s,%d,%d", commas.c_str(), listener.port() >> 8, listener.port() & 0xff);
    }
    if (command(portCommand) != NetStatus::Ok || code / 100 != 2) return failure("FTP server: " + text);
    if (command("TYPE I") != NetStatus::Ok || code / 100 != 2) return failure("FTP server: " + text);
    if (command("RETR " + service_.path) != NetStatus::Ok)
        return failure(receiveError(NetStatus::Error, control));
    if (code == 550) return failure("File Not Found");
    if (code / 100 != 1) return failure("FTP server: " + text);
    TcpSocket data;
    if (listener.accept(data, timeout, &cancel_) != NetStatus::Ok) return failure("Data Read Error");
    const ProtocolResult received = receiveToEnd(data, out, timeout);
    if (!received.ok)
        return received.error.starts_with("recv failed") ? failure("Data Read Error") : received;
    data.close();
    if (readFtpReply(replies, timeout, code, text) == NetStatus::Ok && code / 100 != 2)
        return failure("FTP server: " + text);
    control.write("QUIT\r\n", timeout);
    return {true, {}};
}

ProtocolResult ReportTransfer::runProgram() {
    std::error_code ec;
    const std::filesystem::path written = folder_ / (service_.reportName + ".new");
    std::filesystem::remove(written, ec);
    // The program's own file never outlives the fetch, whatever its end.
    const struct Cleanup {
        const std::filesystem::path& path;
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    } cleanup{written};
    std::vector<std::string> argv = {programPath(settings_.programDirectory, service_.program), "-f",
                                     written.string(), service_.arg1};
    if (!service_.arg2.empty()) argv.push_back(service_.arg2);
    SpawnOptions options;
    options.captureStdout = true;
    options.joinStderr = true;
    options.workingDirectory = folder_.string(); // the program's download lands beside the report
    ChildProcess child;
    if (!child.start(argv, options)) return failure("Error: can't start " + service_.program);
    setStatus("Running " + service_.program + "...");
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(settings_.programTimeoutMs);
    std::string last;
    char piece[kProgramStatusPiece];
    for (;;) {
        if (cancel_.load()) return failure("Canceled"); // the child is killed with its handle
        if (Clock::now() >= end) return failure("Timeout Error");
        const ReadResult r = child.readOutput(piece, sizeof piece, kProgramPollMs);
        if (r.status == ReadStatus::End) break;
        if (r.status == ReadStatus::Data) {
            std::string_view text(piece, r.bytes);
            text = text.substr(0, text.find_first_of("\r\n"));
            if (!text.empty()) setStatus(last = std::string(text));
        }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (child.wait(static_cast<int>(std::max<long long>(left, 0))) != WaitStatus::Exited)
        return failure("Timeout Error");
    std::string report;
    if (!readTextFile(written, report, settings_.maxBytes))
        return failure(last.empty() ? "Error: " + service_.program + " wrote no report" : last);
    report.insert(0, std::string(kFeedReportHeading) + "\n");
    bytes_.store(report.size());
    if (!writeFileAtomically(reportFile_, report)) return failure("Can't write " + reportFile_.string());
    return {true, {}};
}

bool fetchReport(const ReportService& service, const HistoricalQuery& query,
                 const std::filesystem::path& folder, const TransferSettings& settings,
                 std::filesystem::path& reportFile, std::string& error) {
    ReportTransfer transfer;
    if (!transfer.start(service, query, folder, settings)) {
        error = transfer.status();
        return false;
    }
    transfer.join();
    reportFile = transfer.reportFile();
    if (!transfer.succeeded()) error = transfer.status();
    return transfer.succeeded();
}

} // namespace tlx
