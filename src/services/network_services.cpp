#include "services/network_services.h"

#include "core/text.h"
#include "platform/tcp_socket.h"

#include <algorithm>
#include <array>

namespace tlx {

namespace {

// Hosts of the maker's own data servers speak the line protocol; a server on the user's own
// machine is taken to be one of them.
constexpr std::array<std::string_view, 3> kLineProtocolDomains = {"tellurix.org", "tellurix.net",
                                                                  "localhost"};

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && iequals(s.substr(s.size() - tail.size()), tail);
}

bool inLineDomains(const std::string& host) {
    for (std::string_view domain : kLineProtocolDomains) {
        if (iequals(host, domain)) return true;
        if (endsWith(host, domain) && host[host.size() - domain.size() - 1] == '.') return true;
    }
    return false;
}

std::string reportFileName(std::string name) {
    if (name.empty()) return {};
    std::replace(name.begin(), name.end(), '.', '_');
    return name + ".rpt";
}

bool splitHost(std::string_view hostText, int defaultPort, std::size_t minLength, ReportService& out) {
    return splitHostPort(hostText, defaultPort, out.host, out.port) && out.host.size() >= minLength;
}

bool parseUrl(std::string_view rest, int defaultPort, ReportService& out) {
    const std::size_t slash = rest.find('/');
    if (slash == std::string_view::npos || !splitHost(rest.substr(0, slash), defaultPort, 3, out))
        return false;
    out.path = std::string(rest.substr(slash));
    std::vector<std::string> segments = split(std::string_view(out.path).substr(1), '/');
    std::string last = segments.empty() ? std::string() : segments.back();
    if (segments.size() > 1) {
        if (const std::size_t at = last.find('@'); at != std::string::npos) last = last.substr(at + 1);
    }
    out.reportName = reportFileName(last);
    return true;
}

} // namespace

bool parseServiceString(std::string_view text, ReportService& out) {
    std::string service(text);
    std::replace(service.begin(), service.end(), '\\', '/');
    out.service = service;
    const std::string_view s = out.service;
    if (s.starts_with("http://")) {
        out.kind = ServiceKind::WebPage;
        return parseUrl(s.substr(7), kHttpPort, out);
    }
    if (s.starts_with("ftp://")) {
        out.kind = ServiceKind::FtpFile;
        return parseUrl(s.substr(6), kFtpPort, out);
    }
    if (s.starts_with("data@")) {
        out.kind = ServiceKind::DataServer;
        if (!splitHost(s.substr(5), kDataServerPort, 6, out)) return false;
        out.lineProtocol = inLineDomains(out.host);
        out.reportName = reportFileName(out.host);
        return true;
    }
    if (s.starts_with("exe:")) {
        out.kind = ServiceKind::Program;
        const std::vector<std::string> parts = split(s.substr(4), '|');
        if (parts.size() < 2 || parts.size() > 3 || parts[0].empty() ||
            parts[0].find('/') != std::string::npos)
            return false;
        out.program = parts[0];
        out.arg1 = parts[1];
        out.arg2 = parts.size() > 2 ? parts[2] : std::string();
        out.port = 0;
        out.reportName = reportFileName(kProgramReportName);
        return true;
    }
    const std::size_t at = s.find('@');
    if (at == std::string_view::npos || at == 0) return false;
    out.kind = ServiceKind::Finger;
    out.user = std::string(s.substr(0, at));
    if (!splitHost(s.substr(at + 1), kFingerPort, 3, out) || out.host.find('.') == std::string::npos)
        return false;
    out.reportName = reportFileName(out.host);
    return true;
}

bool parseServiceLine(std::string_view line, ReportService& out) {
    out = ReportService{};
    out.line = std::string(line);
    const std::size_t blank = line.find(' ');
    const std::string_view service = line.substr(0, blank);
    out.longListing = line.find(" -l ") != std::string_view::npos;
    if (service.empty() || !parseServiceString(service, out)) return false;
    const std::size_t open = line.find('(', service.size());
    if (open == std::string_view::npos) return false;
    const std::size_t close = line.find(')', open + 1);
    if (close == std::string_view::npos) return false;
    out.description = std::string(line.substr(open + 1, close - open - 1));
    return true;
}

std::string serviceListText(const ReportService& service) {
    const std::string_view line = service.line;
    const std::string_view before = trimTrailingBlanks(line.substr(0, line.find('(')));
    return std::string(skipBlanks(service.description)) + " - " + std::string(before);
}

void NetworkServices::parse(std::string_view text) {
    lines_.clear();
    TextLines lines(text, kMaxNetworkLine);
    for (std::string_view line; lines.next(line);) {
        std::string stored(line);
        std::erase(stored, '\r');
        if (!trim(stored).empty()) lines_.push_back(std::move(stored));
    }
    changed_ = false;
}

std::vector<ReportService> NetworkServices::offered(bool dataServersOnly) const {
    std::vector<ReportService> out;
    for (const std::string& line : lines_) {
        ReportService s;
        if (parseServiceLine(line, s) && (!dataServersOnly || s.kind == ServiceKind::DataServer))
            out.push_back(std::move(s));
    }
    return out;
}

bool NetworkServices::add(const std::string& line, std::string& error) {
    ReportService s;
    const std::string trimmed(trim(line).substr(0, kMaxNetworkLine));
    const std::string_view service = std::string_view(trimmed).substr(0, trimmed.find(' '));
    if (service.empty() || !parseServiceString(service, s)) {
        error = "Invalid Network Service String";
        return false;
    }
    for (const std::string& stored : lines_) {
        ReportService known;
        const std::string_view knownService = std::string_view(stored).substr(0, stored.find(' '));
        if (parseServiceString(knownService, known) && known.service == s.service) return true;
    }
    // A line without a description would not be offered; the service string stands in for it.
    lines_.push_back(trimmed.find('(') == std::string::npos ? trimmed + " (" + s.service + ")" : trimmed);
    changed_ = true;
    return true;
}

void NetworkServices::remove(const ReportService& service) {
    const auto it = std::find(lines_.begin(), lines_.end(), service.line);
    if (it == lines_.end()) return;
    lines_.erase(it);
    changed_ = true;
}

std::string NetworkServices::text() const {
    std::string out;
    for (const std::string& line : lines_)
        out += line + "\n";
    return out;
}

} // namespace tlx
