// NETWORK.DAT: the report services a user can fetch from, one line each, and the parts of a
// service string (web page, FTP file, data server, finger query, outside program).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

enum class ServiceKind { WebPage, FtpFile, DataServer, Finger, Program };

constexpr const char* kNetworkDatName = "NETWORK.DAT";
constexpr std::size_t kMaxNetworkLine = 255;
constexpr int kHttpPort = 80;
constexpr int kFtpPort = 21;
constexpr int kFingerPort = 79;
constexpr int kDataServerPort = 16012;
constexpr const char* kProgramReportName = "EventReport";

struct ReportService {
    std::string line;        // the line as stored in NETWORK.DAT
    std::string service;     // the service string (backslashes made "/")
    std::string description; // the text in "(...)"
    bool longListing = false;
    ServiceKind kind = ServiceKind::WebPage;
    std::string host; // without the port
    int port = 0;
    std::string path;                // web page and FTP: from the first "/" after the host
    std::string user;                // finger
    bool lineProtocol = false;       // data server: the line protocol, else the framed one
    std::string program, arg1, arg2; // outside program
    std::string reportName;          // "list_html.rpt"; empty when none can be made
};

// Parses a service string; false when it has none of the valid forms.
bool parseServiceString(std::string_view service, ReportService& out);
// Parses a NETWORK.DAT line; false when it is not offered (bad service string or no description).
bool parseServiceLine(std::string_view line, ReportService& out);
// What the list shows: the description, " - " and the line before its "(".
std::string serviceListText(const ReportService& service);

// The lines of NETWORK.DAT as stored, and the services offered from them.
class NetworkServices {
  public:
    // Reads the file text; CR and LF removed, lines cut at 255 characters.
    void parse(std::string_view text);
    const std::vector<std::string>& lines() const { return lines_; }
    // The offered services (all, or only data servers for a historical look-up).
    std::vector<ReportService> offered(bool dataServersOnly = false) const;
    // Add: false with "Invalid Network Service String" for a bad string; a string already in the
    // list is ignored (true, nothing added).
    bool add(const std::string& line, std::string& error);
    // Removes the stored line of an offered service.
    void remove(const ReportService& service);
    bool changed() const { return changed_; }
    // The stored lines, one per line.
    std::string text() const;
    void markSaved() { changed_ = false; }

  private:
    std::vector<std::string> lines_;
    bool changed_ = false;
};

} // namespace tlx
